// The portable encoder and decoder, and the choice of loops.
#include "app/core/codec.h"

#include <algorithm>
#include <cstring>

#include "app/core/piece.h"

namespace brivox {

namespace {

CodecPath& PathInUse() {
  static CodecPath path = BestCodecPath();
  return path;
}

// What a body character is to the decoder.
enum : uint8_t { kInvalid, kHex, kCode, kSkip };

struct CharClasses {
  uint8_t kind[256];
  CharClasses() {
    std::memset(kind, kInvalid, sizeof kind);
    for (const char* d = "0123456789ABCDEF"; *d; ++d) kind[uint8_t(*d)] = kHex;
    for (int rank = 0; rank < kCodeCount; ++rank) kind[uint8_t(CodeCharacter(rank))] = kCode;
    kind[uint8_t('\r')] = kSkip;
    kind[uint8_t('\n')] = kSkip;
  }
};
const CharClasses kClasses;

// Scratch room for a block with its line breaks taken out.
constexpr size_t kScratch = 4096;

}  // namespace

const char* CodecPathName(CodecPath path) {
  switch (path) {
    case CodecPath::Avx2: return "AVX2";
    case CodecPath::Avx512: return "AVX-512";
    default: return "portabel";
  }
}

bool CodecPathAvailable(CodecPath path) {
  switch (path) {
    case CodecPath::Avx2: return CpuHasAvx2Codecs();
    case CodecPath::Avx512: return CpuHasAvx512Codecs();
    default: return true;
  }
}

CodecPath BestCodecPath() {
  if (CpuHasAvx512Codecs()) return CodecPath::Avx512;
  if (CpuHasAvx2Codecs()) return CodecPath::Avx2;
  return CodecPath::Portable;
}

CodecPath CurrentCodecPath() { return PathInUse(); }

CodecPath UseCodecPath(CodecPath path) {
  PathInUse() = CodecPathAvailable(path) ? path : CodecPath::Portable;
  return PathInUse();
}

// ---- Encoder ----

Encoder::Encoder(CodeTable& table) : table_(table) {
  for (int v = 0; v < 256; ++v) {
    tokens_[v] = Token{{kHexDigits[v >> 4], kHexDigits[v & 15], 0}, 2};
    rank_[v] = -1;
  }
  for (int rank = 0; rank < kCodeCount && table[rank].count >= kMinCodedCount; ++rank) {
    const uint8_t v = table[rank].value;
    tokens_[v] = Token{{table[rank].code, kHexDigits[v >> 4], kHexDigits[v & 15]}, 3};
    rank_[v] = int16_t(rank);
    tables_.code[v] = uint8_t(table[rank].code);
    tables_.undefined[v] = 0xFF;
  }
}

void Encoder::Define(uint8_t v) {
  table_[rank_[v]].used = true;
  tokens_[v] = Token{{tokens_[v].chars[0], 0, 0}, 1};
  tables_.undefined[v] = 0;
}

size_t Encoder::EncodePortable(const uint8_t* in, size_t count, char* out) {
  static_assert(sizeof(Token) == 4);
  char* o = out;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t v = in[i];
    const Token t = tokens_[v];
    std::memcpy(o, &t, 4);
    o += t.length;
    if (t.length == 3) Define(v);
  }
  return size_t(o - out);
}

size_t Encoder::Encode(const uint8_t* in, size_t count, char* out) {
  constexpr size_t kBlockBytes = 32;
  const CodecPath path = CurrentCodecPath();
  char* o = out;
  size_t i = 0;
  while (i < count) {
    size_t stretch = count - i;
    if (path != CodecPath::Portable && stretch >= kBlockBytes) {
      size_t written = 0;
      const size_t used = path == CodecPath::Avx512
                              ? EncodeAvx512(in + i, stretch, o, tables_, &written)
                              : EncodeAvx2(in + i, stretch, o, tables_, &written);
      o += written;
      i += used;
      // The block the vector loop left: one with a byte to define, or the tail.
      stretch = std::min(kBlockBytes, count - i);
    }
    o += EncodePortable(in + i, stretch, o);
    i += stretch;
  }
  return size_t(o - out);
}

// ---- Decoder ----

Decoder::Decoder() {
  for (int rank = 0; rank < kCodeCount; ++rank) {
    byteOfRank_[rank] = -1;
    tables_.undefined[uint8_t(CodeCharacter(rank))] = 0xFF;
  }
}

int Decoder::CodeValue(int rank) const { return byteOfRank_[rank]; }

bool Decoder::Define(uint8_t b, bool seen) {
  defining_ = false;
  if (tables_.coded[b] || seen) return false;
  const uint8_t c = uint8_t(CodeCharacter(current_));
  byteOfRank_[current_] = b;
  tables_.value[c] = b;
  tables_.undefined[c] = 0;
  tables_.coded[b] = 0xFF;
  return true;
}

Decoder::Result Decoder::DecodePortable(const uint8_t* in, size_t count, uint8_t* out) {
  Result r;
  uint8_t* o = out;
  const auto fault = [&](Fault f, size_t at) {
    r.fault = f;
    r.at = at;
    r.character = in[at];
    r.written = size_t(o - out);
    return r;
  };
  // A byte whose code character is defined here must not have come before,
  // neither in earlier calls (counted) nor in this one (still in out).
  const auto seen = [&](uint8_t b) {
    return counts_.Count(b) > 0 || std::memchr(out, b, size_t(o - out)) != nullptr;
  };
  for (size_t i = 0; i < count; ++i) {
    const uint8_t c = in[i];
    const uint8_t kind = kClasses.kind[c];
    if (kind == kSkip) continue;
    if (kind == kInvalid) {
      counts_.Add(out, size_t(o - out));
      return fault(Fault::Character, i);
    }
    ++characters_;
    ++tokenLength_;
    if (pending_) {
      if (kind != kHex) return fault(Fault::Token, i);
      const uint8_t b = uint8_t((high_ << 4) | Nibble(c));
      pending_ = false;
      if (defining_ ? !Define(b, seen(b)) : tables_.coded[b] != 0) return fault(Fault::Token, i);
      *o++ = b;
    } else if (defining_) {
      if (kind != kHex) return fault(Fault::Token, i);
      high_ = Nibble(c);
      pending_ = true;
      continue;
    } else if (kind == kHex) {
      high_ = Nibble(c);
      pending_ = true;
      continue;
    } else {
      const int rank = CodeRank(c);
      if (byteOfRank_[rank] < 0) {
        current_ = rank;
        defining_ = true;
        continue;
      }
      *o++ = uint8_t(byteOfRank_[rank]);
    }
    lastToken_ = tokenLength_;
    tokenLength_ = 0;
  }
  counts_.Add(out, size_t(o - out));
  r.written = size_t(o - out);
  return r;
}

Decoder::Result Decoder::DecodeWithoutBreaks(const uint8_t* in, size_t count, uint8_t* out) {
  Result total;
  size_t i = 0;
  uint8_t scratch[kScratch];
  while (i < count) {
    size_t n = 0;
    const size_t start = i;
    for (; i < count && n < kScratch; ++i)
      if (in[i] != '\n' && in[i] != '\r') scratch[n++] = in[i];
    const Result part = Decode(scratch, n, out + total.written);
    total.written += part.written;
    if (part.fault != Fault::None) {
      // Back to the place in the text as it came, line breaks and all.
      size_t seen = 0, at = start;
      for (;; ++at) {
        if (in[at] == '\n' || in[at] == '\r') continue;
        if (seen++ == part.at) break;
      }
      total.fault = part.fault;
      total.at = at;
      total.character = part.character;
      return total;
    }
  }
  return total;
}

Decoder::Result Decoder::Decode(const uint8_t* in, size_t count, uint8_t* out) {
  constexpr size_t kBlockChars = 64;
  const CodecPath path = CurrentCodecPath();
  if (path == CodecPath::Portable) return DecodePortable(in, count, out);
  Result r;
  uint8_t* o = out;
  size_t i = 0;
  while (i < count) {
    size_t stretch = count - i;
    if (!Idle()) {
      // Only the token under way, so that the vector loop takes the rest.
      stretch = std::min<size_t>(stretch, pending_ ? 1 : 2);
    } else if (stretch >= kBlockChars) {
      size_t written = 0;
      const size_t used = path == CodecPath::Avx512
                              ? DecodeAvx512(in + i, stretch, o, tables_, &written)
                              : DecodeAvx2(in + i, stretch, o, tables_, &written);
      if (used > 0) {
        counts_.Add(o, written);
        o += written;
        i += used;
        characters_ += used;
        // Clean blocks hold code characters of one and hex pairs of two.
        lastToken_ = kClasses.kind[in[i - 1]] == kCode ? 1 : 2;
        tokenLength_ = 0;
      }
      if (i == count) break;
      // The block the vector loop left: one it could not take, or the tail.
      stretch = std::min(kBlockChars, count - i);
      // Line breaks (mail programs add them) would stop the vector loop at
      // every line: they are taken out of the rest at once.
      if (std::memchr(in + i, '\n', stretch) || std::memchr(in + i, '\r', stretch)) {
        const Result rest = DecodeWithoutBreaks(in + i, count - i, o);
        o += rest.written;
        if (rest.fault != Fault::None) {
          r.fault = rest.fault;
          r.at = i + rest.at;
          r.character = rest.character;
        }
        break;
      }
    }
    const Result part = DecodePortable(in + i, stretch, o);
    o += part.written;
    if (part.fault != Fault::None) {
      r.fault = part.fault;
      r.at = i + part.at;
      r.character = part.character;
      break;
    }
    i += stretch;
  }
  r.written = size_t(o - out);
  return r;
}

}  // namespace brivox
