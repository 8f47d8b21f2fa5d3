// Where the bytes of a PDF go.
//
//   TPdfSink        the interface: append bytes, the position so far, finish or discard
//   TPdfMemorySink  keeps the bytes in memory (tests, counting); an optional limit
//                   makes writes past it fail, as a full disk would
//   TPdfFileSink    a file written whole or not at all (framework TNewFile:
//                   temporary file in the target's folder, renamed when complete)
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/file.h"

namespace komp::pdf {

class TPdfSink {
 public:
  virtual ~TPdfSink() = default;
  // False when not all bytes could be written; the sink stays failed after that.
  virtual bool Write(std::string_view bytes) = 0;
  // Bytes accepted so far: the offset the next byte will have in the file.
  virtual int64_t Position() const = 0;
  // Completes the output (for a file: flush, close and rename into place);
  // false when any write failed or completing did.
  virtual bool Finish() = 0;
  // Drops everything; a file sink leaves no file behind.
  virtual void Discard() = 0;
};

class TPdfMemorySink final : public TPdfSink {
 public:
  TPdfMemorySink() = default;
  explicit TPdfMemorySink(size_t limit) : limit_(limit) {}
  bool Write(std::string_view bytes) override;
  int64_t Position() const override { return int64_t(bytes_.size()); }
  bool Finish() override { return !failed_; }
  void Discard() override;
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  size_t limit_ = SIZE_MAX;
  bool failed_ = false;
};

class TPdfFileSink final : public TPdfSink {
 public:
  // systemName is the file system's name of the target (see ToSystemName).
  // False when the temporary file cannot be created; nothing is written then.
  bool Create(std::string_view systemName);
  bool Write(std::string_view bytes) override;
  int64_t Position() const override { return position_; }
  bool Finish() override;
  void Discard() override;

 private:
  TNewFile file_;
  int64_t position_ = 0;
  bool open_ = false;
  bool failed_ = false;
};

}  // namespace komp::pdf
