// Import: follow the chain from its first piece and decode every body into the target.
#include <algorithm>
#include <cstring>
#include <memory>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "app/core/blocks.h"
#include "app/core/converter.h"

namespace brivox {

namespace {

using komp::TFile;


#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define BRIVOX_VECTOR_DECODER 1
#endif

// The token decoder. Its state lives for the whole chain: a code character
// defined in one piece stands for its byte in all later ones, and a token may
// in principle run on into the next piece.
class Decoder {
 public:
  // Decode may store up to this many bytes past the last byte it decodes.
  static constexpr size_t kOutputSlack = 64;

  Decoder() {
    for (int c = 0; c < 256; ++c) kind_[c] = kNibble;
    for (int rank = 0; rank < kCodeCount; ++rank) {
      table_[rank].code = CodeCharacter(rank);
      table_[rank].used = false;
      kind_[uint8_t(table_[rank].code)] = uint16_t(kUndefined + rank);
      undefined_[uint8_t(table_[rank].code)] = 0xFF;
    }
  }

  bool Idle() const { return !pending_ && !defining_; }
  bool Pending() const { return pending_; }

  // Decodes count characters into out; returns the bytes written.
  size_t Decode(const uint8_t* in, size_t count, uint8_t* out) {
#ifdef BRIVOX_VECTOR_DECODER
    if (count >= 16 && VectorCodecsEnabled())
      return DecodeVector(in, count, out);
#endif
    return DecodeScalar(in, count, out);
  }

 private:
  // kind_: below 256 the byte of a defined code character.
  static constexpr uint16_t kUndefined = 256;  // + rank: a code character without byte
  static constexpr uint16_t kNibble = 512;     // anything else: a hex digit

  size_t DecodeScalar(const uint8_t* in, size_t count, uint8_t* out) {
    uint8_t* o = out;
    size_t i = 0;
    while (i < count) {
      if (pending_) {
        const uint8_t b = uint8_t((high_ << 4) | Nibble(in[i++]));
        pending_ = false;
        if (defining_) Define(b);
        *o++ = b;
        continue;
      }
      if (defining_) {
        high_ = Nibble(in[i++]);
        pending_ = true;
        continue;
      }
      // Idle: the common case, a used code character or a whole hex pair.
      while (i < count) {
        const uint8_t c = in[i];
        const unsigned k = kind_[c];
        if (k < 256) {
          *o++ = uint8_t(k);
          ++i;
        } else if (k == kNibble) {
          if (i + 1 == count) {
            high_ = Nibble(c);
            pending_ = true;
            ++i;
            break;
          }
          *o++ = HexByte(c, in[i + 1]);
          i += 2;
        } else {
          current_ = int(k - kUndefined);
          defining_ = true;
          ++i;
          break;
        }
      }
    }
    return size_t(o - out);
  }

#ifdef BRIVOX_VECTOR_DECODER
  // 64 characters a step while idle: the code characters and the pairs of the
  // hex runs are found as bit masks, every token's byte is made in place and
  // the bytes are packed together. A stretch with a code character still
  // waiting for its byte, or with a pair cut short by a code character, goes
  // through the scalar loop.
  __attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,popcnt")))
  size_t DecodeVector(const uint8_t* in, size_t count, uint8_t* out) {
    constexpr uint64_t kEven = 0x5555555555555555ull;
    constexpr uint64_t kOdd = ~kEven;
    const __m512i space = _mm512_set1_epi8(' ');
    const __m512i upperG = _mm512_set1_epi8('G');
    const __m512i lowerA = _mm512_set1_epi8('a');
    const __m512i n20 = _mm512_set1_epi8(20);
    const __m512i n26 = _mm512_set1_epi8(26);
    const __m512i nine = _mm512_set1_epi8('9');
    const __m512i digitBase = _mm512_set1_epi8('0');
    const __m512i letterBase = _mm512_set1_epi8(55);
    const __m512i highMask = _mm512_set1_epi8(char(0xF0));
    __m512i valueLo = _mm512_load_si512(value_), valueHi = _mm512_load_si512(value_ + 64);
    __m512i undefLo = _mm512_load_si512(undefined_), undefHi = _mm512_load_si512(undefined_ + 64);

    uint8_t* o = out;
    size_t i = 0;
    while (i < count) {
      if (!Idle()) {
        o += DecodeScalar(in + i, 1, o);
        ++i;
        continue;
      }
      const size_t n = std::min<size_t>(64, count - i);
      const uint64_t valid = n == 64 ? ~0ull : (1ull << n) - 1;
      const __m512i c = _mm512_maskz_loadu_epi8(valid, in + i);
      const __m512i next = _mm512_maskz_loadu_epi8(valid >> 1, in + i + 1);
      const uint64_t code =
          (_mm512_cmpeq_epi8_mask(c, space) |
           _mm512_cmplt_epu8_mask(_mm512_sub_epi8(c, upperG), n20) |
           _mm512_cmplt_epu8_mask(_mm512_sub_epi8(c, lowerA), n26)) & valid;
      const __m512i undefined = _mm512_permutex2var_epi8(undefLo, c, undefHi);
      const uint64_t hex = ~code & valid;
      // Runs of hex digits pair up from their start: a run that starts at an
      // odd place is cleared by adding its first bit, which marks the others.
      const uint64_t runStart = hex & ~(hex << 1);
      const uint64_t evenRuns = hex & (hex + (runStart & kOdd));
      const uint64_t firstHalf = (evenRuns & kEven) | (hex & ~evenRuns & kOdd);
      const uint64_t cutPair = firstHalf & ~(hex >> 1) & (valid >> 1);
      if ((_mm512_test_epi8_mask(undefined, undefined) & code) != 0 || cutPair != 0) {
        o += DecodeScalar(in + i, n, o);
        i += n;
        valueLo = _mm512_load_si512(value_);
        valueHi = _mm512_load_si512(value_ + 64);
        undefLo = _mm512_load_si512(undefined_);
        undefHi = _mm512_load_si512(undefined_ + 64);
        continue;
      }
      uint64_t starts = code | firstHalf;
      size_t used = n;
      const uint64_t last = 1ull << (n - 1);
      if (firstHalf & last) {
        starts &= ~last;
        if (i + n < count) {
          used = n - 1;  // the pair is taken whole in the next step
        } else {
          high_ = Nibble(in[i + n - 1]);
          pending_ = true;
        }
      }
      const __m512i highNibble = _mm512_sub_epi8(
          c, _mm512_mask_blend_epi8(_mm512_cmpgt_epu8_mask(c, nine), digitBase, letterBase));
      const __m512i lowNibble = _mm512_sub_epi8(
          next, _mm512_mask_blend_epi8(_mm512_cmpgt_epu8_mask(next, nine), digitBase, letterBase));
      const __m512i pairs =
          _mm512_or_si512(_mm512_and_si512(_mm512_slli_epi16(highNibble, 4), highMask), lowNibble);
      const __m512i bytes =
          _mm512_mask_blend_epi8(code, pairs, _mm512_permutex2var_epi8(valueLo, c, valueHi));
      _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(starts, bytes));
      o += __builtin_popcountll(starts);
      i += used;
    }
    return size_t(o - out);
  }
#endif

  void Define(uint8_t b) {
    CodeEntry& e = table_[current_];
    e.value = b;
    e.used = true;
    kind_[uint8_t(e.code)] = b;
    value_[uint8_t(e.code)] = b;
    undefined_[uint8_t(e.code)] = 0;
    defining_ = false;
  }

  CodeTable table_;
  uint16_t kind_[256];
  // By character below 128 (all code characters are): the byte of a defined
  // code character, and 0xFF for one still waiting for its byte.
  alignas(64) uint8_t value_[128] = {};
  alignas(64) uint8_t undefined_[128] = {};
  bool pending_ = false;
  bool defining_ = false;
  uint8_t high_ = 0;
  int current_ = 0;
};

class Importer {
 public:
  Importer(ImportSettings s, ConversionHost& host, bool write)
      : s_(std::move(s)), host_(host), write_(write) {}
  ImportResult Run();

 private:
  enum class Outcome { Done, Failed, Stop };
  bool TargetIsAPiece(const std::string& firstPath, const std::string& targetPath);
  Outcome DecodeBody(TFile& piece, uint64_t body, size_t firstBlock);
  bool Flush();

  ImportSettings s_;
  ConversionHost& host_;
  const bool write_;
  Decoder decoder_;
  TFile target_;
  std::string targetPath_;
  ImportResult result_;
  uint8_t in_[kBlock];
  uint8_t out_[kBlock + 4 + Decoder::kOutputSlack];
  size_t outLength_ = 0;
};

bool Importer::Flush() {
  if (outLength_ == 0) return true;
  if (write_ && !target_.Write(out_, outLength_)) {
    host_.Message(MsgWriteError(targetPath_), kCaptionWarning);
    return false;
  }
  result_.bytes += outLength_;
  outLength_ = 0;
  return true;
}

bool Importer::TargetIsAPiece(const std::string& firstPath, const std::string& targetPath) {
  if (komp::SameFile(targetPath, s_.piecePath)) return true;
  std::string path = firstPath;
  for (int64_t i = 1; i <= s_.header.record.pieceCount && !path.empty(); ++i) {
    if (komp::SameFile(targetPath, path)) return true;
    TFile piece;
    char magic[8];
    HeaderState h;
    if (!piece.Open(path, TFile::Mode::Read) || piece.Read(magic, 8) != 8 ||
        std::memcmp(magic, kMagic.data(), 8) != 0 || !ReadHeader(piece, h))
      break;  // the run itself will report it
    path = ResolvePiece(s_.directory, h.nextPieceName);
  }
  return false;
}

Importer::Outcome Importer::DecodeBody(TFile& piece, uint64_t body, size_t blockLength) {
  uint64_t done = 0;
  size_t pos = 0;
  while (done < body) {
    // A stretch in which only its last character can reach a progress point,
    // the end of the block or a full buffer; those are handled around it.
    uint64_t run = blockLength - pos;
    run = std::min(run, kProgressStep - done % kProgressStep);
    run = std::min<uint64_t>(run, kFlushAbove + 1 - std::min(outLength_, kFlushAbove));
    const size_t head = size_t(run - 1);
    outLength_ += decoder_.Decode(in_ + pos, head, out_ + outLength_);
    pos += head;
    done += head;

    ++done;
    const bool blockEnd = pos + 1 == blockLength;
    if (done % kProgressStep == 0 || blockEnd) {
      host_.ProgressPosition(int64_t(done));
      if (!host_.ProcessMessages()) return Outcome::Stop;
    }
    outLength_ += decoder_.Decode(in_ + pos, 1, out_ + outLength_);
    ++pos;
    // Never between the two halves of a hex pair.
    if (!decoder_.Pending() && (outLength_ > kFlushAbove || blockEnd) && !Flush())
      return Outcome::Stop;
    if (blockEnd && done < body) {
      const size_t want = size_t(std::min<uint64_t>(kBlock, body - done));
      const int64_t got = piece.Read(in_, want);
      if (got != int64_t(want)) return Outcome::Failed;  // the piece ends here, quietly
      blockLength = want;
      pos = 0;
    }
  }
  return Outcome::Done;
}

ImportResult Importer::Run() {
  const HeaderState& picked = s_.header;
  const int64_t count = picked.record.pieceCount;
  const std::string target = SafeTargetName(picked.targetName);
  if (count < 1 || target.empty()) {
    host_.Message(kMsgWrongFormat, kCaptionWarning);
    return result_;
  }
  const std::string firstPath =
      count < 2 ? s_.piecePath : ResolvePiece(s_.directory, picked.firstPieceName);
  targetPath_ = ResolvePath(s_.directory, target);
  if (write_ && TargetIsAPiece(firstPath, targetPath_)) {
    host_.Message(MsgTargetIsPiece(targetPath_), kCaptionWarning);
    return result_;
  }

  bool ok = true;
  std::string path = firstPath;
  for (int64_t i = 1; i <= count; ++i) {
    TFile piece;
    if (!piece.Open(path, TFile::Mode::Read, kFileBuffer)) {
      host_.Message(MsgCannotOpen(path), kCaptionWarning);
      return result_;
    }
    char magic[8];
    HeaderState header;
    if (piece.Read(magic, 8) != 8 || std::memcmp(magic, kMagic.data(), 8) != 0 ||
        !ReadHeader(piece, header)) {
      host_.Message(kMsgWrongFormat, kCaptionWarning);
      Flush();
      return result_;
    }
    const int64_t size = piece.Size();
    const int64_t bodyLength = std::max<int64_t>(0, size - 8 - header.record.headerLength);
    const uint64_t body = uint64_t(bodyLength);
    host_.ProgressStart(bodyLength);
    const size_t first = body <= kBlock ? size_t(body) : kFirstBlock;
    if (piece.Read(in_, first) != int64_t(first)) {
      host_.Message(MsgReadError(path), kCaptionWarning);
      if (i == 1) return result_;
      ok = false;
    } else {
      if (i == 1 && write_ && !target_.Open(targetPath_, TFile::Mode::CreateTruncate, kFileBuffer)) {
        host_.Message(kMsgCannotCreate, kCaptionWarning);
        return result_;
      }
      const Outcome outcome = DecodeBody(piece, body, first);
      if (outcome == Outcome::Stop) return result_;
      if (outcome == Outcome::Failed) ok = false;
    }
    ++result_.pieces;
    path = ResolvePiece(s_.directory, header.nextPieceName);
  }
  if (!decoder_.Idle()) {
    // The chain ends inside a token: keep the whole bytes, fail the run.
    Flush();
    host_.Message(kMsgWrongFormat, kCaptionWarning);
    return result_;
  }
  if (!Flush()) return result_;
  if (write_ && !target_.Close()) {
    host_.Message(MsgWriteError(targetPath_), kCaptionWarning);
    return result_;
  }
  result_.success = ok;
  return result_;
}

}  // namespace

std::string ResolvePiece(const std::string& directory, const std::string& storedName) {
  const std::string path = ResolvePath(directory, storedName);
  if (path.empty() || komp::FileExists(path)) return path;
  const std::string bare = BareName(storedName);
  if (bare.empty() || bare == storedName.substr(0, storedName.find('\0'))) return path;
  const std::string beside = ResolvePath(directory, bare);
  return komp::FileExists(beside) ? beside : path;
}

bool RunImport(ImportSettings settings, ConversionHost& host) {
  return std::make_unique<Importer>(std::move(settings), host, true)->Run().success;
}

ImportResult VerifyChain(ImportSettings settings, ConversionHost& host) {
  return std::make_unique<Importer>(std::move(settings), host, false)->Run();
}

Inspection InspectFile(const std::string& path, ConversionHost& host) {
  Inspection r;
  r.status = "Import/Export";
  TFile file;
  if (!file.Open(path, TFile::Mode::Read)) {
    host.Message(kMsgChosenFileNotOpened, kCaptionWarning);
    return r;
  }
  char magic[8];
  if (file.Read(magic, 8) != 8 || std::memcmp(magic, kMagic.data(), 8) != 0) {
    r.kind = FileKind::Export;
    r.status.clear();
    return r;
  }
  const bool read = ReadHeader(file, r.header);
  const std::string target = SafeTargetName(r.header.targetName);
  if (!read || r.header.record.pieceCount < 1 || target.empty()) {
    r.header.targetName.clear();
    r.header.firstPieceName.clear();
    r.header.nextPieceName.clear();
    host.Message(kMsgWrongFormat, kCaptionWarning);
    r.kind = FileKind::WrongFormat;
    r.status = "Falsche Datei";
    return r;
  }
  r.kind = FileKind::Import;
  r.status = "Import Zieldatei:" + target;
  return r;
}

std::string ChainPieceName(const std::string& firstPieceName, int64_t number) {
  // base + "1" + extension, where the base holds no point and the extension starts with one.
  const size_t point = std::min(firstPieceName.find('.'), firstPieceName.size());
  if (point == 0 || firstPieceName[point - 1] != '1') return {};
  return firstPieceName.substr(0, point - 1) + std::to_string(number) + firstPieceName.substr(point);
}

void ShowClosingMessage(ConversionHost& host, bool success) {
  host.Message(ClosingMessage(success), kCaptionDone);
}

}  // namespace brivox
