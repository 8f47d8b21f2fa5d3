#include "components/druckreport/pdf/sink.h"

namespace komp::pdf {

bool TPdfMemorySink::Write(std::string_view bytes) {
  if (failed_) return false;
  if (bytes.size() > limit_ - bytes_.size()) {
    failed_ = true;
    return false;
  }
  bytes_.append(bytes);
  return true;
}

void TPdfMemorySink::Discard() {
  bytes_.clear();
  bytes_.shrink_to_fit();
}

namespace {
// Content streams come in many small pieces; one system call per 64 KiB.
constexpr size_t kFileBuffer = 64 * 1024;
}  // namespace

bool TPdfFileSink::Create(std::string_view systemName) {
  Discard();
  failed_ = false;
  position_ = 0;
  open_ = file_.Create(systemName, kFileBuffer);
  return open_;
}

bool TPdfFileSink::Write(std::string_view bytes) {
  if (!open_ || failed_) return false;
  if (!file_.Write(bytes.data(), bytes.size())) {
    failed_ = true;
    return false;
  }
  position_ += int64_t(bytes.size());
  return true;
}

bool TPdfFileSink::Finish() {
  if (!open_) return false;
  open_ = false;
  if (failed_) {
    file_.Discard();
    return false;
  }
  return file_.Commit();
}

void TPdfFileSink::Discard() {
  open_ = false;
  file_.Discard();
}

}  // namespace komp::pdf
