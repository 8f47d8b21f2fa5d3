// Byte statistics and the 47 code characters that stand for the most frequent bytes.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brivox {

inline constexpr int kCodeCount = 47;
// A byte needs this many occurrences to earn a code character.
inline constexpr uint64_t kMinCodedCount = 3;

// Rank 0 the space, ranks 1-20 "G"-"Z", ranks 21-46 "a"-"z".
char CodeCharacter(int rank);
// The rank of a code character, or -1.
int CodeRank(unsigned char c);

struct CodeEntry {
  uint8_t value = 0;
  uint64_t count = 0;
  char code = 0;  // 0: none
  bool used = false;
};

// How often each byte value occurs in a stream of blocks. Eight 32-bit
// tables, so that a run of one value does not wait on one counter; emptied
// into 64-bit totals long before they could overflow.
class ByteCounter {
 public:
  void Add(const uint8_t* bytes, size_t count);
  // The totals so far, by byte value.
  void Totals(uint64_t totals[256]);
  uint64_t Count(uint8_t value) const;

 private:
  void Empty();
  uint32_t counts_[8][256] = {};
  uint64_t total_[256] = {};
  uint64_t sinceEmptied_ = 0;
};

class CodeTable {
 public:
  CodeTable() { Reset(); }

  // Entry v holds byte v, count 0, no code character, not used.
  void Reset();
  void SetCounts(const uint64_t counts[256]);
  // Sorts by count, largest first, ties in ascending byte order, and gives
  // the code characters by rank.
  void Assign();
  // The entry whose code character stands for this byte, or null: one of the
  // 47 first ranks, with a count of at least 3.
  const CodeEntry* Lookup(uint8_t byte) const;
  CodeEntry* Lookup(uint8_t byte);

  const CodeEntry& operator[](int rank) const { return entries_[size_t(rank)]; }
  CodeEntry& operator[](int rank) { return entries_[size_t(rank)]; }

  // Exact body characters of an export: 1 per substituted byte plus 2 for its
  // defining use, 2 for every other byte.
  uint64_t BodyLength() const;
  // The estimate of the piece planning: twice the size minus the counts of the
  // leading ranks down to the first count of 2 or less, plus 32 and the target length.
  uint64_t Estimate(uint64_t sourceSize, uint64_t targetNameLength) const;

 private:
  std::array<CodeEntry, 256> entries_;
};

// Piece count: one piece when the estimate fits the limit, otherwise the
// smallest n >= 2 with estimate + exportNameLength + 1 <= n * limit; raised to
// ceil(bodyLength / limit) where the estimate falls short, so no tail is lost.
// limit 0 means no limit.
uint64_t PlanPieceCount(uint64_t limit, uint64_t estimate, uint64_t exportNameLength,
                        uint64_t bodyLength);

}  // namespace brivox
