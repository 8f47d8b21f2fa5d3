// What the fuzzers share: the input read as a stream of values (zeros once it is used up), and
// invariant checks that name their line before they stop the run.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace komp::fuzz {

struct Eingabe {
  const uint8_t* p;
  size_t n;
  uint8_t Byte() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  int16_t Wort() { return int16_t(Byte() | (Byte() << 8)); }
  std::string Bytes(size_t k) {
    k = std::min(k, n);
    std::string s(reinterpret_cast<const char*>(p), k);
    p += k;
    n -= k;
    return s;
  }
  // Any 64-bit pattern, NaN and infinities included.
  double Double() {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= uint64_t(Byte()) << (8 * i);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
};

inline void Pruefe(bool ok, const char* datei, int zeile) {
  if (ok) return;
  std::fprintf(stderr, "invariant broken at %s:%d\n", datei, zeile);
  __builtin_trap();
}

}  // namespace komp::fuzz

#define Pruefe(ok) ::komp::fuzz::Pruefe((ok), __FILE__, __LINE__)
