// Cell texts and the row pool of the icon table.
#include "components/icontab/icontab_data.h"

#include <cstdlib>
#include <new>

namespace komp {

void TCellText::Free() {
  if (b_[15] == kHeap) {
    char* p;
    std::memcpy(&p, b_, sizeof p);
    std::free(p);
  }
  std::memset(b_, 0, sizeof b_);
}

void TCellText::Assign(std::string_view s) {
  if (s.size() <= 15) {
    // Copy first: s may point into this cell.
    char tmp[15];
    std::memcpy(tmp, s.data(), s.size());
    Free();
    std::memcpy(b_, tmp, s.size());
    b_[15] = char(s.size());
    return;
  }
  if (s.size() > UINT32_MAX) throw std::bad_alloc();
  char* p = static_cast<char*>(std::malloc(s.size()));
  if (!p) throw std::bad_alloc();
  std::memcpy(p, s.data(), s.size());
  Free();
  const uint32_t n = uint32_t(s.size());
  std::memcpy(b_, &p, sizeof p);
  std::memcpy(b_ + 8, &n, sizeof n);
  b_[15] = kHeap;
}

RowDef* TRowPool::New(const RowDef& init) {
  RowDef* r;
  if (!free_.empty()) {
    r = free_.back();
    free_.pop_back();
  } else {
    if (used_ == kSlab) {
      slabs_.push_back(std::unique_ptr<RowDef[]>(new RowDef[kSlab]));
      used_ = 0;
    }
    r = &slabs_.back()[used_++];
  }
  *r = init;
  return r;
}

void TRowPool::Free(RowDef* r) {
  if (r) free_.push_back(r);
}

void TRowPool::Clear() {
  slabs_.clear();
  free_.clear();
  used_ = kSlab;
}

}  // namespace komp
