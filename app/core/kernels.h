// The vector loops of the codecs and the tables they read. Each loop only
// handles the common, clean case and stops where the portable loop must take
// over; so every path gives the same bytes and the same faults.
#pragma once
#include <cstddef>
#include <cstdint>

namespace brivox {

struct EncodeTables {
  // By byte: its code character, 0 for none.
  alignas(64) uint8_t code[256] = {};
  // By byte: 0xFF while its code character still awaits its defining use.
  alignas(64) uint8_t undefined[256] = {};
};

struct DecodeTables {
  // By character below 128 (all code characters are): the byte of a code
  // character that has one, and 0xFF for a code character still without.
  alignas(64) uint8_t value[128] = {};
  alignas(64) uint8_t undefined[128] = {};
  // By byte: 0xFF once a code character stands for it; the encoder never
  // writes such a byte as a hex pair.
  alignas(64) uint8_t coded[256] = {};
};

// Encode from in while no byte of a block awaits its defining use; stop before
// the first block where one does. May leave a tail shorter than a block.
// Returns the bytes consumed; *written gets the characters stored in out,
// which may be written up to 64 characters past them.
size_t EncodeAvx512(const uint8_t* in, size_t count, char* out, const EncodeTables& t,
                    size_t* written);
size_t EncodeAvx2(const uint8_t* in, size_t count, char* out, const EncodeTables& t,
                  size_t* written);

// Decode from an idle decoder while a block is clean: only hex digits, in
// pairs, and code characters that have their byte, and no hex pair of a coded
// byte. Stop before the first block that is not. May leave a tail shorter than
// a block, and never ends inside a hex pair. Returns the characters consumed;
// *written gets the bytes stored in out, which may be written up to 64 bytes
// past them.
size_t DecodeAvx512(const uint8_t* in, size_t count, uint8_t* out, const DecodeTables& t,
                    size_t* written);
size_t DecodeAvx2(const uint8_t* in, size_t count, uint8_t* out, const DecodeTables& t,
                  size_t* written);

bool CpuHasAvx512Codecs();
bool CpuHasAvx2Codecs();

}  // namespace brivox
