// Numbered objects and the cross-reference table.
//
// TPdfObjects writes through a sink and notes the byte offset at which each
// object begins, so that the table at the end describes the file as written:
// every entry 20 bytes, /Size the number of entries, startxref the table's offset.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "components/druckreport/pdf/sink.h"

namespace komp::pdf {

class TPdfObjects {
 public:
  explicit TPdfObjects(TPdfSink& sink) : sink_(sink) {}

  // Numbers run from 1 to count; objects may be begun in any order, each once.
  void Reserve(int64_t count);
  // Notes the offset of object `number` and writes "number 0 obj\r".
  bool Begin(int64_t number);
  bool Write(std::string_view bytes);
  // Writes "xref", one entry per object 0..count, the trailer with /Root 1 0 R,
  // startxref and "%%EOF". False when an object of the range was never begun
  // or a write failed.
  bool Finish();
  int64_t Count() const { return int64_t(offsets_.size()) - 1; }

 private:
  TPdfSink& sink_;
  std::vector<int64_t> offsets_{0};  // [0] is the free list head; -1 = not yet written
  bool failed_ = false;
};

}  // namespace komp::pdf
