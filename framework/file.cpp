#include "framework/file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

#include "framework/cp1252.h"

namespace komp {

std::string ToSystemName(std::string_view cp1252Name) { return Cp1252ToUtf8(cp1252Name); }
std::string FromSystemName(std::string_view systemName) { return Utf8ToCp1252(systemName); }
std::string ToStoredName(std::string_view systemName) { return Utf8ToCp1252(systemName, '_'); }

namespace {

// File systems whose files report sizes that have nothing to do with what a
// read gives: kernel interfaces such as /proc and /sys.
bool IsVirtualFileSystem(const struct statfs& fs) {
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x9fa0:      // proc
    case 0x62656572:  // sysfs
    case 0x64626720:  // debugfs
    case 0x74726163:  // tracefs
    case 0x73636673:  // securityfs
    case 0x63677270:  // cgroup2
    case 0x27e0eb:    // cgroup
    case 0x62656570:  // configfs
    case 0x50495045:  // pipefs
      return true;
    default:
      return false;
  }
}

FileType TypeOfOpen(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return FileType::Missing;
  if (S_ISDIR(st.st_mode)) return FileType::Directory;
  if (!S_ISREG(st.st_mode)) return FileType::Special;
  struct statfs fs {};
  if (::fstatfs(fd, &fs) == 0 && IsVirtualFileSystem(fs)) return FileType::Virtual;
  return FileType::Regular;
}

std::string NameUpToNul(std::string_view name) { return std::string(name.substr(0, name.find('\0'))); }

}  // namespace

FileType TypeOf(std::string_view systemName) {
  const std::string name = NameUpToNul(systemName);
  if (name.empty()) return FileType::Missing;
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return FileType::Missing;
  if (S_ISDIR(st.st_mode)) return FileType::Directory;
  if (!S_ISREG(st.st_mode)) return FileType::Special;
  struct statfs fs {};
  if (::statfs(name.c_str(), &fs) == 0 && IsVirtualFileSystem(fs)) return FileType::Virtual;
  return FileType::Regular;
}

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

bool TFile::Open(std::string_view systemName, Mode mode, size_t bufferBytes) {
  Close();
  // A name ends at its first NUL, as it would for the operating system.
  const std::string sys = NameUpToNul(systemName);
  if (sys.empty()) return false;
  // Reading opens without blocking, so that a FIFO or a terminal is refused
  // at once instead of waiting for a writer.
  const int flags = mode == Mode::Read           ? O_RDONLY | O_NONBLOCK | O_NOCTTY
                    : mode == Mode::CreateNew    ? O_WRONLY | O_CREAT | O_EXCL
                                                 : O_WRONLY | O_CREAT | O_TRUNC;
  do {
    fd_ = ::open(sys.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) return false;
  if (mode == Mode::Read) {
    if (TypeOfOpen(fd_) != FileType::Regular) {
      Close();
      return false;
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  }
  writing_ = mode != Mode::Read;
  if (bufferBytes > 0) {
    buffer_.reset(new char[bufferBytes]);  // not zeroed: only written bytes are read
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

const uint8_t* TFile::ReadInPlace(size_t count, int64_t& got) {
  got = 0;
  if (fd_ < 0 || !buffer_ || writing_ || count > capacity_) return nullptr;
  if (end_ - begin_ < count) {
    // Keep what is left at the front and fill the rest of the buffer.
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    while (end_ < count) {
      const ssize_t r = ::read(fd_, buffer_.get() + end_, capacity_ - end_);
      if (r < 0) {
        if (errno == EINTR) continue;
        break;
      }
      if (r == 0) break;
      end_ += size_t(r);
    }
  }
  const size_t n = std::min(count, end_ - begin_);
  const auto* p = reinterpret_cast<const uint8_t*>(buffer_.get() + begin_);
  begin_ += n;
  got = int64_t(n);
  return n > 0 ? p : nullptr;
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

TNewFile::TNewFile(TNewFile&& other) noexcept { *this = std::move(other); }

TNewFile& TNewFile::operator=(TNewFile&& other) noexcept {
  if (this != &other) {
    Discard();
    file_ = std::move(other.file_);
    target_ = std::move(other.target_);
    temporary_ = std::exchange(other.temporary_, std::string());
    failed_ = std::exchange(other.failed_, false);
  }
  return *this;
}

namespace {
// Only a regular file or a symbolic link is ever replaced: renaming onto a
// device, FIFO or directory would put a plain file in its place.
bool Replaceable(const std::string& name) {
  struct stat st {};
  if (::lstat(name.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode) || S_ISLNK(st.st_mode);
}
}  // namespace

bool TNewFile::Create(std::string_view systemName, size_t bufferBytes) {
  Discard();
  target_ = NameUpToNul(systemName);
  if (target_.empty() || target_.back() == '/' || !Replaceable(target_)) {
    target_.clear();
    return false;
  }
  const size_t cut = target_.rfind('/');
  const std::string directory = cut == std::string::npos ? std::string() : target_.substr(0, cut + 1);
  // Hidden, beside the target, and recognisable should it ever be left over;
  // short enough for any name length the system allows.
  const std::string base = target_.substr(cut == std::string::npos ? 0 : cut + 1).substr(0, 200);
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    const unsigned long stamp = static_cast<unsigned long>(tick) ^
                                (static_cast<unsigned long>(::getpid()) << 20) ^ (++serial * 2654435761u);
    static const char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string tag;
    for (unsigned long v = stamp, k = 0; k < 6; ++k, v /= 36) tag += kDigits[v % 36];
    std::string name = directory + "." + base + "." + tag + ".part";
    if (file_.Open(name, TFile::Mode::CreateNew, bufferBytes)) {
      temporary_ = std::move(name);
      failed_ = false;
      return true;
    }
    if (errno != EEXIST) break;
  }
  target_.clear();
  return false;
}

bool TNewFile::Finish() {
  if (temporary_.empty()) return false;
  if (file_.IsOpen() && !file_.Close()) failed_ = true;
  return !failed_;
}

bool TNewFile::Commit() {
  if (!Finish()) {
    Discard();
    return false;
  }
  // A file that is replaced keeps its permissions.
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    ::chmod(temporary_.c_str(), st.st_mode & 07777);
  if (!Replaceable(target_) || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void TNewFile::Discard() {
  if (temporary_.empty()) return;
  file_.Close();
  ::unlink(temporary_.c_str());
  temporary_.clear();
}

FileStamp TFile::Stamp() const {
  FileStamp r;
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return r;
  r.size = int64_t(st.st_size);
  r.modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + int64_t(st.st_mtim.tv_nsec);
  return r;
}

bool FileExists(std::string_view systemName) { return TypeOf(systemName) == FileType::Regular; }

bool SameFile(std::string_view a, std::string_view b) {
  struct stat sa {}, sb {};
  const std::string na = NameUpToNul(a);
  const std::string nb = NameUpToNul(b);
  if (na.empty() || nb.empty()) return false;
  if (::stat(na.c_str(), &sa) != 0 || ::stat(nb.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace komp
