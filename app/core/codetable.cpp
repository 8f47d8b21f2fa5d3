#include "app/core/codetable.h"

#include <algorithm>

namespace brivox {

char CodeCharacter(int rank) {
  if (rank == 0) return ' ';
  if (rank >= 1 && rank <= 20) return char('G' + rank - 1);
  if (rank >= 21 && rank < kCodeCount) return char('a' + rank - 21);
  return 0;
}

int CodeRank(unsigned char c) {
  if (c == ' ') return 0;
  if (c >= 'G' && c <= 'Z') return 1 + (c - 'G');
  if (c >= 'a' && c <= 'z') return 21 + (c - 'a');
  return -1;
}

void ByteCounter::Add(const uint8_t* bytes, size_t n) {
  constexpr uint64_t kEmptyEvery = uint64_t(1) << 31;
  if ((sinceEmptied_ += n) >= kEmptyEvery) {
    Empty();
    sinceEmptied_ = n;
  }
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    ++counts_[0][bytes[i]];
    ++counts_[1][bytes[i + 1]];
    ++counts_[2][bytes[i + 2]];
    ++counts_[3][bytes[i + 3]];
    ++counts_[4][bytes[i + 4]];
    ++counts_[5][bytes[i + 5]];
    ++counts_[6][bytes[i + 6]];
    ++counts_[7][bytes[i + 7]];
  }
  for (; i < n; ++i) ++counts_[0][bytes[i]];
}

void ByteCounter::Empty() {
  for (int v = 0; v < 256; ++v) {
    for (auto& c : counts_) total_[v] += c[v];
    for (auto& c : counts_) c[v] = 0;
  }
}

void ByteCounter::Totals(uint64_t totals[256]) {
  Empty();
  sinceEmptied_ = 0;
  for (int v = 0; v < 256; ++v) totals[v] = total_[v];
}

uint64_t ByteCounter::Count(uint8_t value) const {
  uint64_t n = total_[value];
  for (const auto& c : counts_) n += c[value];
  return n;
}

void CodeTable::Reset() {
  for (int v = 0; v < 256; ++v) entries_[size_t(v)] = CodeEntry{uint8_t(v), 0, 0, false};
}

void CodeTable::SetCounts(const uint64_t counts[256]) {
  Reset();
  for (int v = 0; v < 256; ++v) entries_[size_t(v)].count = counts[v];
}

void CodeTable::Assign() {
  // Stable: equal counts keep ascending byte order, as the neighbour-exchange sort did.
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const CodeEntry& a, const CodeEntry& b) { return a.count > b.count; });
  for (int rank = 0; rank < 256; ++rank) {
    entries_[size_t(rank)].code = CodeCharacter(rank);
    entries_[size_t(rank)].used = false;
  }
}

const CodeEntry* CodeTable::Lookup(uint8_t byte) const {
  for (int rank = 0; rank < kCodeCount; ++rank) {
    const CodeEntry& e = entries_[size_t(rank)];
    if (e.count < kMinCodedCount) return nullptr;
    if (e.value == byte) return &e;
  }
  return nullptr;
}

CodeEntry* CodeTable::Lookup(uint8_t byte) {
  return const_cast<CodeEntry*>(static_cast<const CodeTable*>(this)->Lookup(byte));
}

uint64_t CodeTable::BodyLength() const {
  uint64_t total = 0;
  for (int rank = 0; rank < 256; ++rank) {
    const CodeEntry& e = entries_[size_t(rank)];
    if (rank < kCodeCount && e.count >= kMinCodedCount)
      total += e.count + 2;
    else
      total += 2 * e.count;
  }
  return total;
}

uint64_t CodeTable::Estimate(uint64_t sourceSize, uint64_t targetNameLength) const {
  uint64_t e = 2 * sourceSize;
  for (int rank = 0; rank < kCodeCount && entries_[size_t(rank)].count > 2; ++rank)
    e -= entries_[size_t(rank)].count;
  return e + 32 + targetNameLength;
}

uint64_t PlanPieceCount(uint64_t limit, uint64_t estimate, uint64_t exportNameLength,
                        uint64_t bodyLength) {
  if (limit == 0) return 1;
  uint64_t n = 1;
  if (estimate > limit) {
    const uint64_t need = estimate + exportNameLength + 1;
    n = std::max<uint64_t>(2, need / limit + (need % limit != 0));
  }
  const uint64_t exact = bodyLength / limit + (bodyLength % limit != 0);
  return std::max(n, exact);
}

}  // namespace brivox
