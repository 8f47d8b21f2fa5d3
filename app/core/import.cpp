// Import: follow the chain from its first piece and decode every body into the target.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "app/core/blocks.h"
#include "app/core/codec.h"
#include "app/core/converter.h"

namespace brivox {

namespace {

using komp::FromSystemName;
using komp::TFile;
using komp::TNewFile;
using komp::ToSystemName;


class Importer {
 public:
  Importer(ImportSettings s, ConversionHost& host, bool write)
      : s_(std::move(s)), host_(host), write_(write) {}
  ImportResult Run();

 private:
  enum class Outcome { Done, Failed, Stop };
  // What the length check needs of each piece.
  struct PieceStats {
    std::string path;
    uint64_t characters = 0;
    int lastToken = 0;
  };

  bool TargetIsAPiece(const std::string& firstPath);
  // Opens piece number and checks its header against the chain; false (message shown) when it does not fit.
  bool OpenPiece(int64_t number, const std::string& path, TFile& piece, HeaderState& header);
  Outcome DecodeBody(TFile& piece, const std::string& path, uint64_t bodyStart, uint64_t body);
  bool CheckLengths();
  bool CheckCodeTable(const std::string& firstPath);
  bool Flush();

  ImportSettings s_;
  ConversionHost& host_;
  const bool write_;
  Decoder decoder_;
  TNewFile target_;
  std::string targetPath_;
  std::vector<PieceStats> stats_;
  ImportResult result_;
  const uint8_t* in_ = nullptr;  // the block being decoded, in the piece's file buffer
  // Decoded bytes gather here and go to the target in large writes, with no
  // file buffer between.
  static constexpr size_t kOutFlushAbove = kFileBuffer - kBlock;
  uint8_t out_[kOutFlushAbove + 4 + Decoder::kOutputSlack];
  size_t outLength_ = 0;
};

bool Importer::Flush() {
  if (outLength_ == 0) return true;
  if (write_ && !target_.Write(out_, outLength_)) {
    host_.Message(MsgWriteError(FromSystemName(targetPath_)), kCaptionWarning);
    return false;
  }
  result_.bytes += outLength_;
  outLength_ = 0;
  return true;
}

bool Importer::TargetIsAPiece(const std::string& firstPath) {
  if (komp::SameFile(targetPath_, s_.piecePath)) return true;
  std::string path = firstPath;
  for (int64_t i = 1; i <= s_.header.record.pieceCount && !path.empty(); ++i) {
    if (komp::SameFile(targetPath_, path)) return true;
    TFile piece;
    char magic[8];
    HeaderState h;
    if (!piece.Open(path, TFile::Mode::Read) || piece.Read(magic, 8) != 8 ||
        std::memcmp(magic, kMagic.data(), 8) != 0 || !ReadHeader(piece, h))
      break;  // the run itself will report it
    path = PiecePath(s_.directory, h.nextPieceName);
  }
  return false;
}

bool Importer::OpenPiece(int64_t number, const std::string& path, TFile& piece, HeaderState& header) {
  const std::string shown = FromSystemName(path);
  if (!piece.Open(path, TFile::Mode::Read, kFileBuffer)) {
    host_.Message(MsgCannotOpen(shown), kCaptionWarning);
    return false;
  }
  char magic[8];
  if (piece.Read(magic, 8) != 8 || std::memcmp(magic, kMagic.data(), 8) != 0) {
    host_.Message(MsgPieceNoPiece(shown), kCaptionWarning);
    return false;
  }
  if (!ReadHeader(piece, header)) {
    host_.Message(MsgPieceBadHeader(shown), kCaptionWarning);
    return false;
  }
  // Every piece must belong to the chain of the picked one, at its place.
  const HeaderState& chain = s_.header;
  const int64_t count = chain.record.pieceCount;
  std::string message;
  if (header.record.pieceCount != count)
    message = MsgPieceOtherCount(shown, count, header.record.pieceCount);
  else if (header.targetName != chain.targetName)
    message = MsgPieceOtherChain(shown, "Zieldatei", chain.targetName, header.targetName);
  else if (header.firstPieceName != chain.firstPieceName)
    message = MsgPieceOtherChain(shown, "erster Teil", chain.firstPieceName, header.firstPieceName);
  else if (header.record.pieceNumber != number)
    message = MsgPieceWrongPlace(shown, number, header.record.pieceNumber, count);
  else if (header.nextPieceName.empty() != (number == count))
    message = MsgPieceBadHeader(shown);
  if (message.empty()) return true;
  host_.Message(message, kCaptionWarning);
  return false;
}

Importer::Outcome Importer::DecodeBody(TFile& piece, const std::string& path, uint64_t bodyStart,
                                       uint64_t body) {
  uint64_t done = 0;
  size_t pos = 0;
  size_t blockLength = body <= kBlock ? size_t(body) : kFirstBlock;
  const auto readBlock = [&](size_t want) {
    int64_t got = 0;
    in_ = piece.ReadInPlace(want, got);
    if (in_ && got == int64_t(want)) return true;
    host_.Message(MsgReadError(FromSystemName(path)), kCaptionWarning);
    return false;
  };
  if (!readBlock(blockLength)) return Outcome::Failed;
  const auto decode = [&](size_t count) {
    const Decoder::Result r = decoder_.Decode(in_ + pos, count, out_ + outLength_);
    outLength_ += r.written;
    if (r.fault == Decoder::Fault::None) return true;
    // Places count from 1, from the start of the file.
    const uint64_t place = bodyStart + done + (r.at - 0) + 1;
    const std::string shown = FromSystemName(path);
    host_.Message(r.fault == Decoder::Fault::Character ? MsgPieceBadCharacter(shown, place, r.character)
                                                       : MsgPieceBadToken(shown, place),
                  kCaptionWarning);
    return false;
  };
  while (done < body) {
    // A stretch in which only its last character can reach a progress point,
    // the end of the block or a full buffer; those are handled around it.
    uint64_t run = blockLength - pos;
    run = std::min(run, kProgressStep - done % kProgressStep);
    run = std::min<uint64_t>(run, kOutFlushAbove + 1 - std::min(outLength_, kOutFlushAbove));
    const size_t head = size_t(run - 1);
    if (!decode(head)) return Outcome::Failed;
    pos += head;
    done += head;

    const bool blockEnd = pos + 1 == blockLength;
    if ((done + 1) % kProgressStep == 0 || blockEnd) {
      host_.ProgressPosition(int64_t(done + 1));
      if (!host_.ProcessMessages()) return Outcome::Stop;
    }
    if (!decode(1)) return Outcome::Failed;
    ++pos;
    ++done;
    if (outLength_ > kOutFlushAbove && !Flush())
      return Outcome::Failed;
    if (blockEnd && done < body) {
      const size_t want = size_t(std::min<uint64_t>(kBlock, body - done));
      if (!readBlock(want)) return Outcome::Failed;
      blockLength = want;
      pos = 0;
    }
  }
  return Outcome::Done;
}

// An encoder-made chain fills its pieces in order: every piece before the
// last one with a body stopped at the same limit, a whole number of
// kilobytes that its last token reached, and the pieces after it are empty.
bool Importer::CheckLengths() {
  size_t last = stats_.size();
  for (size_t i = 0; i < stats_.size(); ++i)
    if (stats_[i].characters > 0) last = i;
  if (last == stats_.size() || last == 0) return true;
  // Whether one limit fits all pieces up to the last with a body, leaving one out.
  const auto fits = [&](size_t without) {
    uint64_t lowest = 1;            // the limit is above each body without its last token
    uint64_t highest = UINT64_MAX;  // and not above any full body
    for (size_t i = 0; i <= last; ++i) {
      const PieceStats& p = stats_[i];
      if (i == without) continue;
      if (p.characters > 0) lowest = std::max(lowest, p.characters - uint64_t(p.lastToken) + 1);
      if (i < last) highest = std::min(highest, p.characters);
    }
    return (lowest + 1023) / 1024 * 1024 <= highest;
  };
  if (fits(stats_.size())) return true;
  // Name the piece without which the others fit: the shortest full one, or
  // else the longest.
  size_t shortest = 0, longest = 0;
  for (size_t i = 0; i <= last; ++i) {
    const PieceStats& p = stats_[i];
    if (i < last && p.characters < stats_[shortest].characters) shortest = i;
    if (p.characters - uint64_t(p.lastToken) >
        stats_[longest].characters - uint64_t(stats_[longest].lastToken))
      longest = i;
  }
  const bool tooLong = !fits(shortest) && fits(longest);
  const std::string shown = FromSystemName(stats_[tooLong ? longest : shortest].path);
  host_.Message(tooLong ? MsgPieceLong(shown) : MsgPieceShort(shown), kCaptionWarning);
  return false;
}

// The code characters are a function of the file: the 47 most frequent
// bytes that occur at least 3 times, by rank. A decoded file that would get
// other ones is not the file the chain was written from.
bool Importer::CheckCodeTable(const std::string& firstPath) {
  uint64_t total[256];
  decoder_.Counts(total);
  CodeTable table;
  table.SetCounts(total);
  table.Assign();
  for (int rank = 0; rank < kCodeCount; ++rank) {
    const int expected = table[rank].count >= kMinCodedCount ? table[rank].value : -1;
    if (decoder_.CodeValue(rank) != expected) {
      host_.Message(MsgChainInconsistent(FromSystemName(firstPath)), kCaptionWarning);
      return false;
    }
  }
  return true;
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
      count < 2 ? s_.piecePath : PiecePath(s_.directory, picked.firstPieceName);
  if (firstPath.empty()) {
    host_.Message(MsgPieceBadHeader(FromSystemName(s_.piecePath)), kCaptionWarning);
    return result_;
  }
  targetPath_ = ResolvePath(s_.directory, ToSystemName(target));
  if (write_) {
    if (TargetIsAPiece(firstPath)) {
      host_.Message(MsgTargetIsPiece(FromSystemName(targetPath_)), kCaptionWarning);
      return result_;
    }
    if (!target_.Create(targetPath_)) {
      host_.Message(kMsgCannotCreate, kCaptionWarning);
      return result_;
    }
  }

  std::string path = firstPath;
  for (int64_t i = 1; i <= count; ++i) {
    TFile piece;
    HeaderState header;
    if (!OpenPiece(i, path, piece, header)) return result_;
    const uint64_t bodyStart = 8 + uint64_t(header.record.headerLength);
    const int64_t size = piece.Size();
    const uint64_t body = size > int64_t(bodyStart) ? uint64_t(size) - bodyStart : 0;
    host_.ProgressStart(int64_t(body));
    const uint64_t before = decoder_.Characters();
    if (body > 0) {
      const Outcome outcome = DecodeBody(piece, path, bodyStart, body);
      if (outcome != Outcome::Done) return result_;
    }
    // The encoder never splits a token between two pieces.
    if (!decoder_.Idle()) {
      host_.Message(MsgPieceCutToken(FromSystemName(path)), kCaptionWarning);
      return result_;
    }
    stats_.push_back({path, decoder_.Characters() - before, decoder_.LastTokenLength()});
    ++result_.pieces;
    if (i < count) {
      path = PiecePath(s_.directory, header.nextPieceName);
      if (path.empty()) {
        host_.Message(MsgPieceBadHeader(FromSystemName(stats_.back().path)), kCaptionWarning);
        return result_;
      }
    }
  }
  if (!Flush() || !CheckLengths() || !CheckCodeTable(firstPath)) return result_;
  if (write_ && !target_.Commit()) {
    host_.Message(MsgWriteError(FromSystemName(targetPath_)), kCaptionWarning);
    return result_;
  }
  result_.success = true;
  return result_;
}

}  // namespace

std::string PiecePath(const std::string& directory, const std::string& storedName) {
  const std::string bare = SafeTargetName(storedName);
  if (bare.empty()) return {};
  return ResolvePath(directory, ToSystemName(bare));
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
