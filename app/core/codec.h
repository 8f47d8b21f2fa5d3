// The body codecs: the token encoder of an export and the token decoder of an
// import, each with a portable loop and vector loops chosen at run time.
//
//   CodecPath        which loops run: portable, AVX2 or AVX-512
//   Encoder          bytes to tokens; defines each code character at its first use
//   Decoder          tokens to bytes, strictly: anything the encoder cannot have
//                    written is a fault with its position; CR and LF are skipped
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/core/codetable.h"
#include "app/core/kernels.h"

namespace brivox {

enum class CodecPath { Portable, Avx2, Avx512 };
const char* CodecPathName(CodecPath path);
bool CodecPathAvailable(CodecPath path);
// The fastest path this processor has; in use unless another is forced.
CodecPath BestCodecPath();
CodecPath CurrentCodecPath();
// Forces a path (tests and the benchmark); one the processor lacks falls back
// to the portable loops. Returns the path now in use.
CodecPath UseCodecPath(CodecPath path);

class Encoder {
 public:
  // Encode may store up to this many characters past the last one it writes.
  static constexpr size_t kOutputSlack = 64;

  explicit Encoder(CodeTable& table);
  // Encodes count bytes to out; returns the characters written.
  size_t Encode(const uint8_t* in, size_t count, char* out);

 private:
  size_t EncodePortable(const uint8_t* in, size_t count, char* out);
  void Define(uint8_t v);

  struct Token {
    char chars[3];
    uint8_t length;
  };
  CodeTable& table_;
  Token tokens_[256];
  int16_t rank_[256];
  EncodeTables tables_;
};

class Decoder {
 public:
  // Decode may store up to this many bytes past the last byte it decodes.
  static constexpr size_t kOutputSlack = 64;

  enum class Fault {
    None,
    Character,  // a character outside the alphabet
    Token,      // a token the encoder cannot have written
  };
  struct Result {
    size_t written = 0;  // bytes stored to out
    Fault fault = Fault::None;
    size_t at = 0;  // index of the faulty character in the input
    uint8_t character = 0;
  };

  Decoder();
  // Decodes count characters into out; a fault stops the decoding at its character.
  Result Decode(const uint8_t* in, size_t count, uint8_t* out);

  bool Idle() const { return !pending_ && !defining_; }
  // Alphabet characters decoded so far (CR and LF not counted) and the length
  // of the last whole token among them.
  uint64_t Characters() const { return characters_; }
  int LastTokenLength() const { return lastToken_; }
  // The byte a code character stands for, or -1 while it has none.
  int CodeValue(int rank) const;
  // How often each byte value was decoded so far.
  void Counts(uint64_t totals[256]) { counts_.Totals(totals); }

 private:
  Result DecodePortable(const uint8_t* in, size_t count, uint8_t* out);
  // Decode with CR and LF taken out first; faults are placed in the text as given.
  Result DecodeWithoutBreaks(const uint8_t* in, size_t count, uint8_t* out);
  // False when the byte cannot get a code character here: it has one, or it
  // was seen already (the encoder defines at a byte's first occurrence).
  bool Define(uint8_t b, bool seen);

  DecodeTables tables_;
  ByteCounter counts_;
  int byteOfRank_[kCodeCount];
  bool pending_ = false;
  bool defining_ = false;
  uint8_t high_ = 0;
  int current_ = 0;
  int tokenLength_ = 0;  // characters of the token under way
  int lastToken_ = 0;
  uint64_t characters_ = 0;
};

}  // namespace brivox
