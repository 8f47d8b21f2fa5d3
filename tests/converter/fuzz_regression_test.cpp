// Every input the fuzzers ever found a fault with, run through the harnesses again.
#include <gtest/gtest.h>

#include "fuzz/converter/fuzz_targets.h"
#include "tests/converter/test_support.h"

namespace brivox {
namespace {

TEST(FuzzRegressions, KeptInputsRunClean) {
  int inputs = 0;
  for (const auto& e : std::filesystem::directory_iterator(BRIVOX_FUZZ_REGRESSIONS)) {
    if (!e.is_regular_file() || e.path().filename() == "README") continue;
    const std::string data = test::ReadFile(e.path().string());
    SCOPED_TRACE(e.path().filename().string());
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    fuzz::FuzzHeader(bytes, data.size());
    fuzz::FuzzChain(bytes, data.size());
    fuzz::FuzzDamage(bytes, data.size());
    ++inputs;
  }
  EXPECT_GT(inputs, 0);
}

}  // namespace
}  // namespace brivox
