// File access by the file system's own names, in binary, with 64-bit sizes. No Qt here.
//
//   names     the system's names are bytes (UTF-8 here) taken as they are; texts
//             of the program (code page 1252) turn into names and back here
//   TFile     one open file, optionally buffered; reads only regular files
//   TNewFile  a file written whole or not at all, through a temporary file
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace komp {

// Turns a code page 1252 name into the file system's (UTF-8) name and back.
std::string ToSystemName(std::string_view cp1252Name);
std::string FromSystemName(std::string_view systemName);
// The code page 1252 form of a system name for a record that stores 1252
// text: a character that has none becomes "_", so that the stored name is
// still a usable file name.
std::string ToStoredName(std::string_view systemName);

enum class FileType {
  Missing,    // nothing there, or not reachable
  Regular,
  Directory,
  Special,    // device, FIFO or socket: reading may block or give bytes only once
  Virtual,    // a file of /proc, /sys and the like: its size says nothing
};
// What a name stands for (through symbolic links); never blocks.
FileType TypeOf(std::string_view systemName);

struct FileStamp {
  int64_t size = -1;
  int64_t modified = 0;  // ns
};

class TFile {
 public:
  // Read takes regular files only: a name of any other type (see FileType) is
  // refused without blocking. CreateNew fails when the name exists.
  enum class Mode { Read, CreateTruncate, CreateNew };

  TFile() = default;
  ~TFile();
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;
  TFile(TFile&& other) noexcept;
  TFile& operator=(TFile&& other) noexcept;

  // Opens by a system name; false when the file cannot be opened or created.
  // With bufferBytes above 0 the file keeps a buffer of that size, so that many
  // small reads or writes become one system call; what the caller sees stays the same.
  bool Open(std::string_view cp1252Name, Mode mode, size_t bufferBytes = 0);
  bool IsOpen() const { return fd_ >= 0; }
  // Writes what is still buffered and closes; false when that write failed
  // or an earlier buffered write had failed.
  bool Close();
  // Writes what is still buffered; false on a write error (then and later).
  bool Flush();

  // Reads up to count bytes; returns what arrived (less at the end of the file), -1 on an error.
  int64_t Read(void* buffer, size_t count);
  // The same without a copy, for a file opened with a buffer of at least count
  // bytes: the bytes stay in the file's buffer, valid until the next call.
  // Null when the file has no such buffer or nothing could be read.
  const uint8_t* ReadInPlace(size_t count, int64_t& got);
  // Writes all count bytes; false when not all could be written. Buffered, a
  // failure may only show at a later Write, Flush, Seek or Close.
  bool Write(const void* buffer, size_t count);
  bool Seek(int64_t offset);
  // The size including bytes still buffered for writing.
  int64_t Size() const;
  // Size and time of the last change, to notice a file changing under a reader.
  FileStamp Stamp() const;

 private:
  int64_t ReadDirect(char* p, size_t count);
  bool WriteDirect(const char* p, size_t count);

  int fd_ = -1;
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;
  size_t begin_ = 0;  // reading: next unread byte in the buffer
  size_t end_ = 0;    // reading: end of the buffered bytes; writing: bytes pending
  bool writing_ = false;
  bool failed_ = false;  // a buffered write was lost
};

// Writes a file whole or not at all. The bytes go to a new temporary file in
// the target's directory; Commit renames it onto the target, which so changes
// in one step (a symbolic link of the target's name is replaced, never written
// through; a device, FIFO or directory of that name is never replaced).
// Discard, a failed Commit and the destructor remove the temporary
// file and leave the target as it was.
class TNewFile {
 public:
  TNewFile() = default;
  ~TNewFile() { Discard(); }
  TNewFile(const TNewFile&) = delete;
  TNewFile& operator=(const TNewFile&) = delete;
  TNewFile(TNewFile&& other) noexcept;
  TNewFile& operator=(TNewFile&& other) noexcept;

  bool Create(std::string_view systemName, size_t bufferBytes = 0);
  bool Write(const void* buffer, size_t count) { return file_.Write(buffer, count); }
  int64_t Size() const { return file_.Size(); }
  // Writes what is buffered and closes the temporary file, which waits for
  // Commit; false when a write failed.
  bool Finish();
  // Finishes, then puts the file in place of the target.
  bool Commit();
  void Discard();
  const std::string& Target() const { return target_; }
  const std::string& TemporaryName() const { return temporary_; }

 private:
  TFile file_;
  std::string target_;
  std::string temporary_;
  bool failed_ = false;
};

bool FileExists(std::string_view systemName);
// The same file on disk (same device and inode), whatever the names say.
bool SameFile(std::string_view systemNameA, std::string_view systemNameB);

}  // namespace komp
