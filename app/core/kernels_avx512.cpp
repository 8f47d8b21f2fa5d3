// The AVX-512 loops (with VBMI and VBMI2): 32 source bytes or 64 body
// characters a step. Compiled for that instruction set function by function,
// called only where the processor has it.
#include <algorithm>

#include "app/core/kernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define BRIVOX_AVX512 1
#endif

namespace brivox {

#ifdef BRIVOX_AVX512

namespace {

#define AVX512_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi2,popcnt")))

AVX512_TARGET void LoadTable(const uint8_t* bytes, __m512i t[4]) {
  for (int k = 0; k < 4; ++k) t[k] = _mm512_load_si512(bytes + 64 * k);
}

// 256-entry byte table lookup: two 128-entry halves chosen by the top bit.
AVX512_TARGET __m512i Lookup256(const __m512i t[4], __m512i v) {
  return _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), _mm512_permutex2var_epi8(t[0], v, t[1]),
                                _mm512_permutex2var_epi8(t[2], v, t[3]));
}

}  // namespace

bool CpuHasAvx512Codecs() {
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                          __builtin_cpu_supports("avx512vbmi") &&
                          __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("bmi2") &&
                          __builtin_cpu_supports("popcnt");
  return has;
}

// 32 bytes a step: the code character or high digit of every byte and its low
// digit, interleaved, then the low digits of coded bytes packed out.
AVX512_TARGET
size_t EncodeAvx512(const uint8_t* in, size_t count, char* out, const EncodeTables& t,
                    size_t* written) {
  __m512i code[4], undefined[4];
  LoadTable(t.code, code);
  LoadTable(t.undefined, undefined);
  alignas(64) static constexpr char kDigits4[] =
      "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF";
  const __m512i digits = _mm512_load_si512(kDigits4);
  const __m512i low4 = _mm512_set1_epi8(0x0F);
  alignas(64) uint8_t order[64];
  for (int k = 0; k < 32; ++k) {
    order[2 * k] = uint8_t(k);
    order[2 * k + 1] = uint8_t(64 + k);
  }
  const __m512i interleave = _mm512_load_si512(order);

  char* o = out;
  size_t i = 0;
  while (i < count) {
    const size_t n = std::min<size_t>(32, count - i);
    const uint64_t valid = n == 32 ? 0xFFFFFFFFull : (1ull << n) - 1;
    const __m512i v = _mm512_maskz_loadu_epi8(valid, in + i);
    const __m512i waiting = Lookup256(undefined, v);
    if ((_mm512_test_epi8_mask(waiting, waiting) & valid) != 0) break;
    const __m512i c = Lookup256(code, v);
    const uint64_t coded = _mm512_test_epi8_mask(c, c) & valid;
    const __m512i high = _mm512_shuffle_epi8(digits, _mm512_and_si512(_mm512_srli_epi16(v, 4), low4));
    const __m512i low = _mm512_shuffle_epi8(digits, _mm512_and_si512(v, low4));
    const __m512i first = _mm512_mask_blend_epi8(coded, high, c);
    const __m512i pairs = _mm512_permutex2var_epi8(first, interleave, low);
    const uint64_t keep = _pdep_u64(valid, 0x5555555555555555ull) |
                          _pdep_u64(valid & ~coded, 0xAAAAAAAAAAAAAAAAull);
    _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(keep, pairs));
    o += __builtin_popcountll(keep);
    i += n;
  }
  *written = size_t(o - out);
  return i;
}

// 64 characters a step: the code characters and the pairs of the hex runs are
// found as bit masks, every token's byte is made at its last character and
// the bytes are packed together. A pair cut by the end of a step is finished
// in the next one, so that no step waits for the one before to know where to
// start.
AVX512_TARGET
size_t DecodeAvx512(const uint8_t* in, size_t count, uint8_t* out, const DecodeTables& t,
                    size_t* written) {
  constexpr uint64_t kEven = 0x5555555555555555ull;
  constexpr uint64_t kOdd = ~kEven;
  const __m512i space = _mm512_set1_epi8(' ');
  const __m512i upperG = _mm512_set1_epi8('G');
  const __m512i lowerA = _mm512_set1_epi8('a');
  const __m512i digit0 = _mm512_set1_epi8('0');
  const __m512i upperA = _mm512_set1_epi8('A');
  const __m512i n6 = _mm512_set1_epi8(6);
  const __m512i n10 = _mm512_set1_epi8(10);
  const __m512i n20 = _mm512_set1_epi8(20);
  const __m512i n26 = _mm512_set1_epi8(26);
  const __m512i nine = _mm512_set1_epi8('9');
  const __m512i letterBase = _mm512_set1_epi8(55);
  const __m512i highMask = _mm512_set1_epi8(char(0xF0));
  const __m512i valueLo = _mm512_load_si512(t.value), valueHi = _mm512_load_si512(t.value + 64);
  const __m512i undefLo = _mm512_load_si512(t.undefined);
  const __m512i undefHi = _mm512_load_si512(t.undefined + 64);
  __m512i coded[4];
  LoadTable(t.coded, coded);
  // Each character's predecessor: the last of the step before, then 0..62.
  alignas(64) uint8_t before[64];
  before[0] = 64 + 63;
  for (int k = 1; k < 64; ++k) before[k] = uint8_t(k - 1);
  const __m512i predecessor = _mm512_load_si512(before);

  uint8_t* o = out;
  size_t i = 0;
  uint64_t carry = 0;  // 1: the step before ended with the first digit of a pair
  __m512i nibbleBefore = _mm512_setzero_si512();
  for (; count - i >= 64; i += 64) {
    const __m512i c = _mm512_loadu_si512(in + i);
    const uint64_t code = _mm512_cmpeq_epi8_mask(c, space) |
                          _mm512_cmplt_epu8_mask(_mm512_sub_epi8(c, upperG), n20) |
                          _mm512_cmplt_epu8_mask(_mm512_sub_epi8(c, lowerA), n26);
    const uint64_t hex = _mm512_cmplt_epu8_mask(_mm512_sub_epi8(c, digit0), n10) |
                         _mm512_cmplt_epu8_mask(_mm512_sub_epi8(c, upperA), n6);
    if ((code | hex) != ~0ull) break;
    const __m512i undefined = _mm512_permutex2var_epi8(undefLo, c, undefHi);
    if ((_mm512_test_epi8_mask(undefined, undefined) & code) != 0) break;
    // Runs of hex digits pair up from their start: a run that starts at an
    // odd place, or continues a pair of the step before, is cleared by adding
    // its first bit, which marks the others.
    const uint64_t runStart = hex & ~(hex << 1);
    const uint64_t evenRuns = hex & (hex + ((runStart & kOdd) | carry));
    const uint64_t firstHalf = (evenRuns & kEven) | (hex & ~evenRuns & kOdd);
    // A pair cut by a code character.
    if (((firstHalf & ~(hex >> 1) & (~0ull >> 1)) | (carry & ~hex)) != 0) break;
    const uint64_t secondHalf = (firstHalf << 1) | carry;

    const __m512i nibble = _mm512_sub_epi8(
        c, _mm512_mask_blend_epi8(_mm512_cmpgt_epu8_mask(c, nine), digit0, letterBase));
    const __m512i high = _mm512_permutex2var_epi8(nibble, predecessor, nibbleBefore);
    const __m512i pairs =
        _mm512_or_si512(_mm512_and_si512(_mm512_slli_epi16(high, 4), highMask), nibble);
    const __m512i pairCoded = Lookup256(coded, pairs);
    if ((_mm512_test_epi8_mask(pairCoded, pairCoded) & secondHalf) != 0) break;
    const uint64_t ends = code | secondHalf;
    const __m512i bytes =
        _mm512_mask_blend_epi8(code, pairs, _mm512_permutex2var_epi8(valueLo, c, valueHi));
    _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(ends, bytes));
    o += __builtin_popcountll(ends);
    carry = firstHalf >> 63;
    nibbleBefore = nibble;
  }
  *written = size_t(o - out);
  // A pair left open is the portable loop's, from its first digit.
  return i - carry;
}

#else

bool CpuHasAvx512Codecs() { return false; }
size_t EncodeAvx512(const uint8_t*, size_t, char*, const EncodeTables&, size_t* written) {
  *written = 0;
  return 0;
}
size_t DecodeAvx512(const uint8_t*, size_t, uint8_t*, const DecodeTables&, size_t* written) {
  *written = 0;
  return 0;
}

#endif

}  // namespace brivox
