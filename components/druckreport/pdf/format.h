// Number formatting for PDF bytes: decimal, no locale, no leading zeros.
#pragma once
#include <charconv>
#include <cstdint>
#include <string>

namespace komp::pdf {

// Appends v in decimal ("-" for negatives); std::to_chars so that no locale
// setting can change a byte of the file.
inline void AppendInt(std::string& out, int64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// Appends v as exactly `digits` decimal digits with leading zeros (cross-reference entries).
inline void AppendPadded(std::string& out, uint64_t v, int digits) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  const int len = int(r.ptr - buf);
  if (len < digits) out.append(size_t(digits - len), '0');
  out.append(buf, r.ptr);
}

}  // namespace komp::pdf
