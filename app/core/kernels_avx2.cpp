// The AVX2 loops (with BMI2 and POPCNT): 32 source bytes or 32 body characters
// a step. AVX2 has no byte permute over a whole table and no compress, so
// tables are looked up through 16-entry slices and the output is packed by
// shuffles from small tables, 8 or 16 bytes at a time. Compiled for AVX2
// function by function, called only where the processor has it.
#include <array>

#include "app/core/kernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define BRIVOX_AVX2 1
#endif

namespace brivox {

#ifdef BRIVOX_AVX2

namespace {

#define AVX2_TARGET __attribute__((target("avx2,bmi2,popcnt")))

// By mask of 8 bytes: the shuffle that packs the bytes whose bit is set.
constexpr std::array<std::array<uint8_t, 8>, 256> kPack8 = [] {
  std::array<std::array<uint8_t, 8>, 256> t{};
  for (int m = 0; m < 256; ++m) {
    int n = 0;
    for (int j = 0; j < 8; ++j)
      if (m >> j & 1) t[m][n++] = uint8_t(j);
    while (n < 8) t[m][n++] = 0x80;
  }
  return t;
}();

// The same for the upper 8 bytes of a 16-byte lane.
constexpr std::array<std::array<uint8_t, 8>, 256> kPack8High = [] {
  std::array<std::array<uint8_t, 8>, 256> t = kPack8;
  for (auto& row : t)
    for (auto& index : row) index = uint8_t(index + 8);
  return t;
}();

// By mask of the coded bytes among 8: the shuffle that packs their 16
// interleaved characters (first, low digit), leaving out the low digit of a
// coded byte.
alignas(16) constexpr std::array<std::array<uint8_t, 16>, 256> kPack16 = [] {
  std::array<std::array<uint8_t, 16>, 256> t{};
  for (int m = 0; m < 256; ++m) {
    int n = 0;
    for (int j = 0; j < 8; ++j) {
      t[m][n++] = uint8_t(2 * j);
      if (!(m >> j & 1)) t[m][n++] = uint8_t(2 * j + 1);
    }
    while (n < 16) t[m][n++] = 0x80;
  }
  return t;
}();

// Sets of characters below 128 as rows: bit h of row[lo] stands for the
// character 16 * h + lo. A byte's high nibble picks its bit from kRowBit.
struct Rows {
  alignas(16) uint8_t row[16] = {};
  constexpr void Add(int c) { row[c & 15] |= uint8_t(1 << (c >> 4)); }
};
constexpr Rows kHexRows = [] {
  Rows r;
  for (const char* d = "0123456789ABCDEF"; *d; ++d) r.Add(*d);
  return r;
}();
constexpr Rows kCodeRows = [] {
  Rows r;
  r.Add(' ');
  for (int c = 'G'; c <= 'Z'; ++c) r.Add(c);
  for (int c = 'a'; c <= 'z'; ++c) r.Add(c);
  return r;
}();
// Bit by high nibble, twice: for a set of bytes below 128 nibbles 8-15 must
// not match (the row lookup already gives 0 there), for the upper half of a
// 256-byte set they stand for rows 0-7 again.
alignas(16) constexpr uint8_t kRowBit[16] = {1, 2, 4, 8, 16, 32, 64, 128,
                                             1, 2, 4, 8, 16, 32, 64, 128};

AVX2_TARGET inline __m256i Broadcast(__m128i x) { return _mm256_broadcastsi128_si256(x); }

AVX2_TARGET inline __m128i Load16(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The rows of those among the 128 table bytes from p that are not 0.
AVX2_TARGET __m128i RowsOf(const uint8_t* p) {
  __m128i r = _mm_setzero_si128();
  for (int h = 0; h < 8; ++h)
    r = _mm_or_si128(r, _mm_and_si128(Load16(p + 16 * h), _mm_set1_epi8(char(1 << h))));
  return r;
}

}  // namespace

bool CpuHasAvx2Codecs() {
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2") &&
                          __builtin_cpu_supports("popcnt");
  return has;
}

// 32 bytes a step. One 256-entry lookup gives both the code character (bits
// 0-6) and whether it still awaits its defining use (bit 7). The lookup runs
// through 16 slices of 16: an index lowered by 16 a slice reaches the byte's
// own slice last and then goes negative (no more hits), so slices stored as
// the difference to the one before add up, by xor, to the byte's own entry.
// The halves below and from 128 run one such chain each.
AVX2_TARGET
size_t EncodeAvx2(const uint8_t* in, size_t count, char* out, const EncodeTables& t,
                  size_t* written) {
  __m256i slice[16];
  __m128i before = _mm_setzero_si128();
  for (int k = 0; k < 16; ++k) {
    const __m128i entry =
        _mm_or_si128(Load16(t.code + 16 * k),
                     _mm_and_si128(Load16(t.undefined + 16 * k), _mm_set1_epi8(char(0x80))));
    slice[k] = Broadcast(k == 8 ? entry : _mm_xor_si128(entry, before));
    before = entry;
  }
  const __m256i digits = Broadcast(_mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9',
                                                 'A', 'B', 'C', 'D', 'E', 'F'));
  const __m256i low4 = _mm256_set1_epi8(0x0F);
  const __m256i sixteen = _mm256_set1_epi8(16);
  const __m256i top = _mm256_set1_epi8(char(0x80));
  const __m256i zero = _mm256_setzero_si256();

  char* o = out;
  size_t i = 0;
  for (; count - i >= 32; i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    __m256i lowIndex = v, highIndex = _mm256_xor_si256(v, top);
    __m256i lowHalf = zero, highHalf = zero;
    for (int k = 0; k < 8; ++k) {
      lowHalf = _mm256_xor_si256(lowHalf, _mm256_shuffle_epi8(slice[k], lowIndex));
      highHalf = _mm256_xor_si256(highHalf, _mm256_shuffle_epi8(slice[8 + k], highIndex));
      lowIndex = _mm256_sub_epi8(lowIndex, sixteen);
      highIndex = _mm256_sub_epi8(highIndex, sixteen);
    }
    const __m256i entry = _mm256_blendv_epi8(lowHalf, highHalf, v);
    if (_mm256_movemask_epi8(entry) != 0) break;
    const __m256i plain = _mm256_cmpeq_epi8(entry, zero);
    const __m256i high = _mm256_shuffle_epi8(digits, _mm256_and_si256(_mm256_srli_epi16(v, 4), low4));
    const __m256i low = _mm256_shuffle_epi8(digits, _mm256_and_si256(v, low4));
    const __m256i first = _mm256_blendv_epi8(entry, high, plain);
    // Bytes 0-7 and 16-23, and 8-15 and 24-31, as (first, low) pairs.
    const __m256i pairs0 = _mm256_unpacklo_epi8(first, low);
    const __m256i pairs1 = _mm256_unpackhi_epi8(first, low);
    const uint32_t coded = ~uint32_t(_mm256_movemask_epi8(plain));
    const uint32_t m0 = coded & 0xFF, m1 = coded >> 8 & 0xFF, m2 = coded >> 16 & 0xFF,
                   m3 = coded >> 24;
    const __m256i packed0 = _mm256_shuffle_epi8(
        pairs0, _mm256_inserti128_si256(
                    _mm256_castsi128_si256(Load16(kPack16[m0].data())), Load16(kPack16[m2].data()), 1));
    const __m256i packed1 = _mm256_shuffle_epi8(
        pairs1, _mm256_inserti128_si256(
                    _mm256_castsi128_si256(Load16(kPack16[m1].data())), Load16(kPack16[m3].data()), 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm256_castsi256_si128(packed0));
    o += 16 - _mm_popcnt_u32(m0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm256_castsi256_si128(packed1));
    o += 16 - _mm_popcnt_u32(m1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm256_extracti128_si256(packed0, 1));
    o += 16 - _mm_popcnt_u32(m2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm256_extracti128_si256(packed1, 1));
    o += 16 - _mm_popcnt_u32(m3);
  }
  *written = size_t(o - out);
  return i;
}

// 32 characters a step: hex digits and defined code characters are found
// through row sets, the pairs of the hex runs as bit masks, every token's byte
// is made at its last character and the bytes are packed 8 at a time. A pair
// cut by the end of a step is finished in the next, so every step starts 32
// characters after the one before and steps do not wait for each other.
AVX2_TARGET
size_t DecodeAvx2(const uint8_t* in, size_t count, uint8_t* out, const DecodeTables& t,
                  size_t* written) {
  constexpr uint64_t kEven = 0x5555555555555555ull;
  constexpr uint64_t kOdd = ~kEven;
  const __m128i undefinedRows = RowsOf(t.undefined);
  const __m256i definedRows = Broadcast(
      _mm_andnot_si128(undefinedRows, _mm_load_si128(reinterpret_cast<const __m128i*>(kCodeRows.row))));
  const __m256i hexRows = Broadcast(_mm_load_si128(reinterpret_cast<const __m128i*>(kHexRows.row)));
  const __m256i rowBit = Broadcast(_mm_load_si128(reinterpret_cast<const __m128i*>(kRowBit)));
  const __m256i codedBelow = Broadcast(RowsOf(t.coded));
  const __m256i codedAbove = Broadcast(RowsOf(t.coded + 128));
  // Code characters lie in 0x20 and 0x47-0x7A: the slices 4-7 hold them, and
  // the space, whose bits 4 and 5 pick slice 6, takes the unused place of "`".
  const __m256i value4 = Broadcast(Load16(t.value + 0x40));
  const __m256i value5 = Broadcast(Load16(t.value + 0x50));
  const __m256i value6 = Broadcast(_mm_insert_epi8(Load16(t.value + 0x60), t.value[' '], 0));
  const __m256i value7 = Broadcast(Load16(t.value + 0x70));
  const __m256i low4 = _mm256_set1_epi8(0x0F);
  const __m256i top = _mm256_set1_epi8(char(0x80));
  const __m256i nine = _mm256_set1_epi8('9');
  const __m256i letterStep = _mm256_set1_epi8(9);
  const __m256i zero = _mm256_setzero_si256();

  uint8_t* o = out;
  size_t i = 0;
  uint64_t carry = 0;  // 1: the step before ended with the first digit of a pair
  __m256i nibbleBefore = zero;
  for (; count - i >= 32; i += 32) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    const __m256i bit = _mm256_shuffle_epi8(rowBit, _mm256_and_si256(_mm256_srli_epi16(c, 4), low4));
    const __m256i notCode =
        _mm256_cmpeq_epi8(_mm256_and_si256(_mm256_shuffle_epi8(definedRows, c), bit), zero);
    const __m256i notHex =
        _mm256_cmpeq_epi8(_mm256_and_si256(_mm256_shuffle_epi8(hexRows, c), bit), zero);
    if (_mm256_movemask_epi8(_mm256_and_si256(notCode, notHex)) != 0) break;
    // Every character is one or the other now.
    const uint64_t hex = uint32_t(_mm256_movemask_epi8(notCode));
    const uint64_t code = ~hex & 0xFFFFFFFFull;
    // Runs of hex digits pair up from their start: a run that starts at an
    // odd place, or continues a pair of the step before, is cleared by adding
    // its first bit, which marks the others.
    const uint64_t runStart = hex & ~(hex << 1);
    const uint64_t evenRuns = hex & (hex + ((runStart & kOdd) | carry));
    const uint64_t firstHalf = (evenRuns & kEven) | (hex & ~evenRuns & kOdd);
    // A pair cut by a code character.
    if (((firstHalf & ~(hex >> 1) & 0x7FFFFFFFull) | (carry & ~hex)) != 0) break;
    const uint64_t secondHalf = ((firstHalf << 1) | carry) & 0xFFFFFFFFull;

    // Digits are below 128 here, so a signed compare tells letters.
    const __m256i nibble = _mm256_and_si256(
        _mm256_add_epi8(c, _mm256_and_si256(_mm256_cmpgt_epi8(c, nine), letterStep)), low4);
    // Each nibble's predecessor, the first from the step before.
    const __m256i high =
        _mm256_alignr_epi8(nibble, _mm256_permute2x128_si256(nibbleBefore, nibble, 0x21), 15);
    const __m256i pairs = _mm256_or_si256(_mm256_slli_epi16(high, 4), nibble);
    const __m256i codedRow =
        _mm256_or_si256(_mm256_shuffle_epi8(codedBelow, pairs),
                        _mm256_shuffle_epi8(codedAbove, _mm256_xor_si256(pairs, top)));
    const __m256i notCoded =
        _mm256_cmpeq_epi8(_mm256_and_si256(codedRow, _mm256_shuffle_epi8(rowBit, high)), zero);
    if ((~uint64_t(uint32_t(_mm256_movemask_epi8(notCoded))) & secondHalf) != 0) break;

    const __m256i bit4 = _mm256_slli_epi16(c, 3), bit5 = _mm256_slli_epi16(c, 2);
    const __m256i value = _mm256_blendv_epi8(
        _mm256_blendv_epi8(_mm256_shuffle_epi8(value4, c), _mm256_shuffle_epi8(value5, c), bit4),
        _mm256_blendv_epi8(_mm256_shuffle_epi8(value6, c), _mm256_shuffle_epi8(value7, c), bit4),
        bit5);
    const __m256i bytes = _mm256_blendv_epi8(value, pairs, notCode);
    const uint64_t ends = code | secondHalf;
    const uint32_t m0 = ends & 0xFF, m1 = ends >> 8 & 0xFF, m2 = ends >> 16 & 0xFF, m3 = ends >> 24;
    const __m128i order0 = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(kPack8[m0].data())),
                                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kPack8High[m1].data())));
    const __m128i order1 = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(kPack8[m2].data())),
                                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kPack8High[m3].data())));
    const __m256i packed =
        _mm256_shuffle_epi8(bytes, _mm256_inserti128_si256(_mm256_castsi128_si256(order0), order1, 1));
    const __m128i half0 = _mm256_castsi256_si128(packed);
    const __m128i half1 = _mm256_extracti128_si256(packed, 1);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o), half0);
    o += _mm_popcnt_u32(m0);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_unpackhi_epi64(half0, half0));
    o += _mm_popcnt_u32(m1);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o), half1);
    o += _mm_popcnt_u32(m2);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_unpackhi_epi64(half1, half1));
    o += _mm_popcnt_u32(m3);
    carry = firstHalf >> 31;
    nibbleBefore = nibble;
  }
  *written = size_t(o - out);
  // A pair left open is the portable loop's, from its first digit.
  return i - carry;
}

#else

bool CpuHasAvx2Codecs() { return false; }
size_t EncodeAvx2(const uint8_t*, size_t, char*, const EncodeTables&, size_t* written) {
  *written = 0;
  return 0;
}
size_t DecodeAvx2(const uint8_t*, size_t, uint8_t*, const DecodeTables&, size_t* written) {
  *written = 0;
  return 0;
}

#endif

}  // namespace brivox
