// File access by code page 1252 names, in binary, with 64-bit sizes. No Qt here.
#pragma once
#include <cstddef>
#include <cstdint>
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
  bool Open(std::string_view cp1252Name, Mode mode);
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  // Reads up to count bytes; returns what arrived (less at the end of the file), -1 on an error.
  int64_t Read(void* buffer, size_t count);
  // Writes all count bytes; false when not all could be written.
  bool Write(const void* buffer, size_t count);
  bool Seek(int64_t offset);
  int64_t Size() const;

 private:
  int fd_ = -1;
};

bool FileExists(std::string_view cp1252Name);
// The same file on disk (same device and inode), whatever the names say.
bool SameFile(std::string_view cp1252NameA, std::string_view cp1252NameB);

}  // namespace komp
