#include "fuzz/converter/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  brivox::fuzz::FuzzDamage(data, size);
  return 0;
}
