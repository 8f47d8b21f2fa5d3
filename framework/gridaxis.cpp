#include "framework/gridaxis.h"

#include <algorithm>

namespace komp {

int TGridAxis::Size(int i) const {
  if (i < 0 || i >= count) return 0;
  return sizes.empty() ? defSize : sizes[size_t(i)];
}

int64_t TGridAxis::Extent(int i) const {
  const int s = Size(i);
  return s > 0 ? int64_t(s) + lw : 0;
}

int64_t TGridAxis::FixedExtent() const {
  if (sizes.empty()) return defSize > 0 ? int64_t(fixed) * (int64_t(defSize) + lw) : 0;
  int64_t sum = 0;
  for (int i = 0; i < fixed; ++i) sum += Extent(i);
  return sum;
}

int64_t TGridAxis::Start(int i, int len) const {
  if (i < 0 || i >= count || Size(i) <= 0) return -1;
  int64_t pos = 0;
  if (i < fixed) {
    for (int k = 0; k < i; ++k) pos += Extent(k);
  } else {
    if (i < first) return -1;
    pos = FixedExtent();
    // Stops at the area's end: a cell far below the view costs no walk over all rows.
    for (int k = first; k < i && pos < len; ++k) pos += Extent(k);
  }
  return pos < len ? pos : -1;
}

int TGridAxis::LastFullVisible(int len) const {
  int64_t pos = FixedExtent();
  int last = first - 1;
  for (int k = first; k < count; ++k) {
    const int s = Size(k);
    if (s > 0) {
      if (pos + s > len) break;
      pos += int64_t(s) + lw;
    }
    last = k;
  }
  return last;
}

int TGridAxis::FirstToShow(int last, int len) const {
  if (last < fixed) return fixed;
  const int64_t avail = int64_t(len) - FixedExtent();
  int64_t used = 0;
  int result = last;
  for (int k = last; k >= fixed; --k) {
    const int s = Size(k);
    if (s <= 0) continue;  // a view does not begin with hidden cells it can do without
    if (used > 0 && used + s > avail) break;
    used += int64_t(s) + lw;
    result = k;
  }
  return result;
}

int TGridAxis::CellAt(int p, int len) const {
  if (p < 0 || p >= len) return -1;
  int64_t pos = 0;
  for (int k = 0; k < fixed && k < count; ++k) {
    const int64_t e = Extent(k);
    if (p < pos + e) return k;
    pos += e;
  }
  for (int k = first; k < count && pos < len; ++k) {
    const int64_t e = Extent(k);
    if (p < pos + e) return k;
    pos += e;
  }
  return -1;
}

void TGridAxis::Resize(int n) {
  count = n;
  if (!sizes.empty()) sizes.resize(size_t(n), defSize);
}

}  // namespace komp
