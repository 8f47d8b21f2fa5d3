#include "framework/file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/cp1252.h"

namespace komp {

std::string ToSystemName(std::string_view cp1252Name) { return Cp1252ToUtf8(cp1252Name); }
std::string FromSystemName(std::string_view systemName) { return Utf8ToCp1252(systemName); }

TFile::~TFile() { Close(); }

TFile::TFile(TFile&& other) noexcept { *this = std::move(other); }

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    buffer_ = std::move(other.buffer_);
    capacity_ = std::exchange(other.capacity_, 0);
    begin_ = std::exchange(other.begin_, 0);
    end_ = std::exchange(other.end_, 0);
    writing_ = std::exchange(other.writing_, false);
    failed_ = std::exchange(other.failed_, false);
  }
  return *this;
}

bool TFile::Open(std::string_view cp1252Name, Mode mode, size_t bufferBytes) {
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
  if (fd_ < 0) return false;
  writing_ = mode == Mode::CreateTruncate;
  if (bufferBytes > 0) {
    buffer_ = std::make_unique<char[]>(bufferBytes);
    capacity_ = bufferBytes;
  }
  return true;
}

bool TFile::Flush() {
  if (fd_ < 0) return false;
  if (writing_ && end_ > 0) {
    const size_t pending = std::exchange(end_, 0);
    if (!WriteDirect(buffer_.get(), pending)) failed_ = true;
  }
  return !failed_;
}

bool TFile::Close() {
  if (fd_ < 0) return true;
  const bool ok = Flush();
  ::close(fd_);
  fd_ = -1;
  buffer_.reset();
  capacity_ = begin_ = end_ = 0;
  writing_ = failed_ = false;
  return ok;
}

int64_t TFile::ReadDirect(char* p, size_t count) {
  size_t done = 0;
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

bool TFile::WriteDirect(const char* p, size_t count) {
  size_t done = 0;
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

int64_t TFile::Read(void* buffer, size_t count) {
  if (fd_ < 0) return -1;
  auto* p = static_cast<char*>(buffer);
  if (!buffer_ || writing_) return ReadDirect(p, count);
  size_t done = 0;
  while (done < count) {
    if (begin_ == end_) {
      // A request as large as the buffer goes straight to the caller's memory.
      if (count - done >= capacity_) {
        const int64_t r = ReadDirect(p + done, count - done);
        if (r < 0) return done > 0 ? int64_t(done) : -1;
        return int64_t(done) + r;
      }
      begin_ = end_ = 0;
      const ssize_t r = ::read(fd_, buffer_.get(), capacity_);
      if (r < 0) {
        if (errno == EINTR) continue;
        return done > 0 ? int64_t(done) : -1;
      }
      if (r == 0) break;
      end_ = size_t(r);
    }
    const size_t n = std::min(count - done, end_ - begin_);
    std::memcpy(p + done, buffer_.get() + begin_, n);
    begin_ += n;
    done += n;
  }
  return int64_t(done);
}

bool TFile::Write(const void* buffer, size_t count) {
  if (fd_ < 0) return false;
  const auto* p = static_cast<const char*>(buffer);
  if (!buffer_ || !writing_) return WriteDirect(p, count);
  if (failed_) return false;
  if (end_ + count > capacity_) {
    if (!Flush()) return false;
    if (count >= capacity_) {
      if (WriteDirect(p, count)) return true;
      failed_ = true;
      return false;
    }
  }
  std::memcpy(buffer_.get() + end_, p, count);
  end_ += count;
  return true;
}

bool TFile::Seek(int64_t offset) {
  if (fd_ < 0) return false;
  if (buffer_) {
    if (writing_ && !Flush()) return false;
    begin_ = end_ = 0;  // reading: the next read refills from the new place
  }
  return ::lseek(fd_, off_t(offset), SEEK_SET) == off_t(offset);
}

int64_t TFile::Size() const {
  if (fd_ < 0) return -1;
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return -1;
  int64_t size = int64_t(st.st_size);
  if (writing_ && end_ > 0) {
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) return -1;
    size = std::max(size, int64_t(at) + int64_t(end_));
  }
  return size;
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
