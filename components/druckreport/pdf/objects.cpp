#include "components/druckreport/pdf/objects.h"

#include "components/druckreport/pdf/format.h"

namespace komp::pdf {

void TPdfObjects::Reserve(int64_t count) { offsets_.assign(size_t(count) + 1, -1); }

bool TPdfObjects::Begin(int64_t number) {
  if (failed_ || number < 1 || number >= int64_t(offsets_.size()) || offsets_[size_t(number)] >= 0) {
    failed_ = true;
    return false;
  }
  offsets_[size_t(number)] = sink_.Position();
  std::string head;
  AppendInt(head, number);
  head += " 0 obj\r";
  return Write(head);
}

bool TPdfObjects::Write(std::string_view bytes) {
  if (failed_) return false;
  if (!sink_.Write(bytes)) failed_ = true;
  return !failed_;
}

bool TPdfObjects::Finish() {
  if (failed_) return false;
  const int64_t start = sink_.Position();
  const int64_t size = int64_t(offsets_.size());
  std::string t;
  t.reserve(size_t(size) * 20 + 64);
  t += "xref\r0 ";
  AppendInt(t, size);
  // Entries end in CR LF: together with the single spaces that makes the 20 bytes each.
  t += "\r0000000000 65535 f\r\n";
  for (int64_t i = 1; i < size; ++i) {
    const int64_t off = offsets_[size_t(i)];
    if (off < 0 || off > 9999999999) {
      failed_ = true;
      return false;
    }
    AppendPadded(t, uint64_t(off), 10);
    t += " 00000 n\r\n";
  }
  t += "trailer\r<< /Size ";
  AppendInt(t, size);
  t += "\r/Root 1 0 R\r>>\rstartxref\r";
  AppendInt(t, start);
  t += "\r%%EOF";
  return Write(t);
}

}  // namespace komp::pdf
