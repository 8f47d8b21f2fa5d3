// Sizes of the converter's reads and writes, shared by export and import.
#pragma once
#include <cstddef>
#include <cstdint>

namespace brivox {

// The first block of a source or body is read whole when it is small, else in this size.
inline constexpr size_t kFirstBlock = 1000;
inline constexpr size_t kBlock = 3000;
inline constexpr uint64_t kProgressStep = 1000;
// The file layer gathers the logical blocks into system calls of this size.
inline constexpr size_t kFileBuffer = 256 * 1024;

}  // namespace brivox
