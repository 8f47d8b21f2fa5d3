#include "framework/file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/cp1252.h"

namespace komp {

std::string ToSystemName(std::string_view cp1252Name) { return Cp1252ToUtf8(cp1252Name); }
std::string FromSystemName(std::string_view systemName) { return Utf8ToCp1252(systemName); }

TFile::~TFile() { Close(); }

TFile::TFile(TFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool TFile::Open(std::string_view cp1252Name, Mode mode) {
  Close();
  // A name ends at its first NUL, as it would for the operating system.
  const std::string_view name = cp1252Name.substr(0, cp1252Name.find('\0'));
  if (name.empty()) return false;
  const std::string sys = ToSystemName(name);
  const int flags = mode == Mode::Read ? O_RDONLY : (O_WRONLY | O_CREAT | O_TRUNC);
  do {
    fd_ = ::open(sys.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ >= 0 && mode == Mode::Read) {
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
      Close();
      return false;
    }
  }
  return fd_ >= 0;
}

void TFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

int64_t TFile::Read(void* buffer, size_t count) {
  if (fd_ < 0) return -1;
  size_t done = 0;
  auto* p = static_cast<char*>(buffer);
  while (done < count) {
    const ssize_t r = ::read(fd_, p + done, count - done);
    if (r < 0) {
      if (errno == EINTR) continue;
      return done > 0 ? int64_t(done) : -1;
    }
    if (r == 0) break;
    done += size_t(r);
  }
  return int64_t(done);
}

bool TFile::Write(const void* buffer, size_t count) {
  if (fd_ < 0) return false;
  size_t done = 0;
  const auto* p = static_cast<const char*>(buffer);
  while (done < count) {
    const ssize_t w = ::write(fd_, p + done, count - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += size_t(w);
  }
  return true;
}

bool TFile::Seek(int64_t offset) {
  if (fd_ < 0) return false;
  return ::lseek(fd_, off_t(offset), SEEK_SET) == off_t(offset);
}

int64_t TFile::Size() const {
  if (fd_ < 0) return -1;
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return -1;
  return int64_t(st.st_size);
}

bool FileExists(std::string_view cp1252Name) {
  struct stat st {};
  const std::string sys = ToSystemName(cp1252Name.substr(0, cp1252Name.find('\0')));
  return !sys.empty() && ::stat(sys.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SameFile(std::string_view a, std::string_view b) {
  struct stat sa {}, sb {};
  const std::string na = ToSystemName(a.substr(0, a.find('\0')));
  const std::string nb = ToSystemName(b.substr(0, b.find('\0')));
  if (na.empty() || nb.empty()) return false;
  if (::stat(na.c_str(), &sa) != 0 || ::stat(nb.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace komp
