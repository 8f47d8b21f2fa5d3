// Import: follow the chain from its first piece and decode every body into the target.
#include <algorithm>
#include <cstring>
#include <memory>

#include "app/core/blocks.h"
#include "app/core/codec.h"
#include "app/core/converter.h"

namespace brivox {

namespace {

using komp::TFile;


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
    outLength_ += decoder_.Decode(in_ + pos, head, out_ + outLength_).written;
    pos += head;
    done += head;

    ++done;
    const bool blockEnd = pos + 1 == blockLength;
    if (done % kProgressStep == 0 || blockEnd) {
      host_.ProgressPosition(int64_t(done));
      if (!host_.ProcessMessages()) return Outcome::Stop;
    }
    outLength_ += decoder_.Decode(in_ + pos, 1, out_ + outLength_).written;
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
