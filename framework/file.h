// File access by code page 1252 names, in binary, with 64-bit sizes. No Qt here.
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

class TFile {
 public:
  enum class Mode { Read, CreateTruncate };

  TFile() = default;
  ~TFile();
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;
  TFile(TFile&& other) noexcept;
  TFile& operator=(TFile&& other) noexcept;

  // Opens by a code page 1252 name; false when the file cannot be opened or created.
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
  // Writes all count bytes; false when not all could be written. Buffered, a
  // failure may only show at a later Write, Flush, Seek or Close.
  bool Write(const void* buffer, size_t count);
  bool Seek(int64_t offset);
  // The size including bytes still buffered for writing.
  int64_t Size() const;

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

bool FileExists(std::string_view cp1252Name);
// The same file on disk (same device and inode), whatever the names say.
bool SameFile(std::string_view cp1252NameA, std::string_view cp1252NameB);

}  // namespace komp
