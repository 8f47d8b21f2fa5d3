// The AVX2 loops: for processors with AVX2 but without AVX-512.
#include "app/core/kernels.h"

namespace brivox {

bool CpuHasAvx2Codecs() { return false; }

size_t EncodeAvx2(const uint8_t*, size_t, char*, const EncodeTables&, size_t* written) {
  *written = 0;
  return 0;
}

size_t DecodeAvx2(const uint8_t*, size_t, uint8_t*, const DecodeTables&, size_t* written) {
  *written = 0;
  return 0;
}

}  // namespace brivox
