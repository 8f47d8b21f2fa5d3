// Export: count, plan, then one pass over the source that fills the pieces.
#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "app/core/blocks.h"
#include "app/core/codec.h"
#include "app/core/converter.h"

namespace brivox {

namespace {

using komp::FromSystemName;
using komp::TFile;
using komp::TNewFile;
using komp::ToSystemName;

constexpr size_t kCountBlock = 1000;
// The count pass has no progress of its own; the loop still runs now and then.
constexpr int kCountBlocksPerLoopRun = 256;

class Exporter {
 public:
  Exporter(ExportSettings s, ConversionHost& host) : s_(std::move(s)), host_(host) {}
  bool Run();

 private:
  bool Count();
  bool CheckPlan(const ExportNames& names);
  // Encodes into the open piece until it is full or the input ends.
  // False when the run must end (write error or the window closing).
  bool EncodeBody(TNewFile& piece, const std::string& piecePath);
  bool Flush(TNewFile& piece, const std::string& piecePath);
  // The source as it was when counting began: any change fails the run.
  bool SourceUnchanged();

  ExportSettings s_;
  ConversionHost& host_;
  TFile source_;
  CodeTable table_;
  uint64_t size_ = 0;
  int64_t modified_ = 0;  // the source's change time when counting began, in ns
  uint64_t pieces_ = 1;
  Encoder* encoder_ = nullptr;

  const uint8_t* in_ = nullptr;  // the block being encoded, in the source's file buffer
  size_t blockLength_ = 0;
  size_t blockPos_ = 0;
  uint64_t done_ = 0;
  bool inputOk_ = true;
  // Encoded characters gather here and go to the piece in large writes, with
  // no file buffer between.
  static constexpr size_t kOutFlushAbove = kFileBuffer - kBlock;
  char out_[kOutFlushAbove + 4 + Encoder::kOutputSlack];
  size_t outLength_ = 0;
};

bool Exporter::Count() {
  ByteCounter counter;
  uint64_t counted = 0;
  int blocks = 0;
  while (counted < size_) {
    const size_t want = size_t(std::min<uint64_t>(kCountBlock, size_ - counted));
    int64_t got = 0;
    const uint8_t* block = source_.ReadInPlace(want, got);
    const size_t n = block && got > 0 ? size_t(got) : 0;
    counter.Add(block, n);
    counted += n;
    if (n < want) break;
    if (++blocks % kCountBlocksPerLoopRun == 0) {
      host_.ProgressPosition(int64_t(counted));
      if (!host_.ProcessMessages()) return false;
    }
  }
  uint64_t total[256];
  counter.Totals(total);
  table_.SetCounts(total);
  if (counted != size_) {
    host_.Message(MsgSourceChanged(FromSystemName(s_.sourcePath)), kCaptionWarning);
    return false;
  }
  return true;
}

bool Exporter::SourceUnchanged() {
  const komp::FileStamp now = source_.Stamp();
  if (now.size == int64_t(size_) && now.modified == modified_) return true;
  host_.Message(MsgSourceChanged(FromSystemName(s_.sourcePath)), kCaptionWarning);
  return false;
}

bool Exporter::CheckPlan(const ExportNames& names) {
  if (pieces_ > uint64_t(kMaxPieces)) {
    host_.Message(kMsgTooManyPieces, kCaptionWarning);
    return false;
  }
  // The longest header is that of the last-but-one piece, which names the last.
  const uint64_t first = pieces_ > 1 ? names.PieceName(1, pieces_).size() : 0;
  const uint64_t next = pieces_ > 1 ? names.PieceName(pieces_, pieces_).size() : 0;
  if (kRecordChars + s_.targetName.size() + first + next > uint64_t(kMaxHeaderLength)) {
    host_.Message(kMsgNamesTooLong, kCaptionWarning);
    return false;
  }
  for (uint64_t i = 1; i <= pieces_; ++i) {
    const std::string path = ResolvePath(s_.directory, ToSystemName(names.PieceName(i, pieces_)));
    if (komp::SameFile(path, s_.sourcePath)) {
      host_.Message(MsgPieceIsSource(FromSystemName(path)), kCaptionWarning);
      return false;
    }
  }
  return true;
}

bool Exporter::Flush(TNewFile& piece, const std::string& piecePath) {
  if (outLength_ == 0) return true;
  if (!piece.Write(out_, outLength_)) {
    host_.Message(MsgWriteError(FromSystemName(piecePath)), kCaptionWarning);
    return false;
  }
  outLength_ = 0;
  return true;
}

bool Exporter::EncodeBody(TNewFile& piece, const std::string& piecePath) {
  const uint64_t limit = s_.limit;
  Encoder& enc = *encoder_;
  uint64_t body = 0;
  while (inputOk_ && done_ < size_ && body < limit) {
    // A stretch in which only its last byte can reach a progress point, the
    // end of the block, a full buffer or the limit; those are handled after it.
    uint64_t run = blockLength_ - blockPos_;
    run = std::min(run, kProgressStep - done_ % kProgressStep);
    run = std::min<uint64_t>(run, (kOutFlushAbove - outLength_) / 3 + 1);
    run = std::min(run, (limit - body - 1) / 3 + 1);
    const size_t head = size_t(run - 1);
    size_t chars = enc.Encode(in_ + blockPos_, head, out_ + outLength_);
    blockPos_ += head;
    done_ += head;
    outLength_ += chars;
    body += chars;

    ++done_;
    const bool blockEnd = blockPos_ + 1 == blockLength_;
    if (done_ % kProgressStep == 0 || blockEnd) {
      host_.ProgressPosition(int64_t(size_ + done_));
      if (!host_.ProcessMessages()) return false;
    }
    chars = enc.Encode(in_ + blockPos_, 1, out_ + outLength_);
    ++blockPos_;
    outLength_ += chars;
    body += chars;
    if (outLength_ > kOutFlushAbove) {
      if (!Flush(piece, piecePath)) return false;
    }
    if (blockEnd && done_ < size_) {
      const size_t want = size_t(std::min<uint64_t>(kBlock, size_ - done_));
      int64_t got = 0;
      in_ = source_.ReadInPlace(want, got);
      blockPos_ = 0;
      blockLength_ = want;
      // The source shrank since it was counted.
      if (got != int64_t(want)) inputOk_ = false;
    }
  }
  return Flush(piece, piecePath);
}

bool Exporter::Run() {
  const std::string exportName = s_.exportName.empty() ? kDefaultExportName : s_.exportName;
  if (s_.targetName.empty()) s_.targetName = komp::ToStoredName(BareName(s_.sourcePath));
  const std::string shownSource = FromSystemName(s_.sourcePath);

  // Counting and encoding read the source twice: a pipe or a device would
  // give its bytes only once, a /proc file other ones each time.
  const komp::FileType type = komp::TypeOf(s_.sourcePath);
  if (type == komp::FileType::Special || type == komp::FileType::Virtual) {
    host_.Message(MsgNotAFile(shownSource), kCaptionWarning);
    return false;
  }
  if (!source_.Open(s_.sourcePath, TFile::Mode::Read, kFileBuffer)) {
    host_.Message(MsgCannotOpen(shownSource), kCaptionWarning);
    return false;
  }
  const komp::FileStamp stamp = source_.Stamp();
  size_ = stamp.size > 0 ? uint64_t(stamp.size) : 0;
  modified_ = stamp.modified;
  // Every byte takes at least one character: a plan beyond the piece limit
  // is clear before a large source is counted.
  if (s_.limit != kNoLimit && size_ / (s_.limit + 2) >= uint64_t(kMaxPieces)) {
    host_.Message(kMsgTooManyPieces, kCaptionWarning);
    return false;
  }
  // Counting is the first half of the work shown.
  host_.ProgressStart(int64_t(size_) * 2);
  if (!Count()) return false;
  source_.Seek(0);
  table_.Assign();

  pieces_ = PlanPieceCount(s_.limit == kNoLimit ? 0 : s_.limit,
                           table_.Estimate(size_, s_.targetName.size()), exportName.size(),
                           table_.BodyLength());
  const ExportNames names = SplitExportName(exportName);
  if (!CheckPlan(names)) return false;

  blockLength_ = size_ <= kBlock ? size_t(size_) : kFirstBlock;
  int64_t got = 0;
  in_ = source_.ReadInPlace(blockLength_, got);
  if ((blockLength_ > 0 && !in_) || got != int64_t(blockLength_)) {
    host_.Message(MsgReadError(shownSource), kCaptionWarning);
    return false;
  }

  Encoder encoder(table_);
  encoder_ = &encoder;
  HeaderState header;
  header.record.pieceCount = int16_t(pieces_);
  header.targetName = s_.targetName;
  header.firstPieceName = pieces_ > 1 ? names.PieceName(1, pieces_) : std::string();
  // Written under temporary names and put in place together at the end, so
  // that a failed run leaves no piece and no older piece is overwritten.
  std::vector<TNewFile> written;
  written.reserve(size_t(pieces_));
  std::string name = names.PieceName(1, pieces_);
  for (uint64_t i = 1; i <= pieces_; ++i) {
    header.record.pieceNumber = int16_t(i);
    header.nextPieceName = i < pieces_ ? names.PieceName(i + 1, pieces_) : std::string();
    const std::string path = ResolvePath(s_.directory, ToSystemName(name));
    TNewFile& piece = written.emplace_back();
    if (!piece.Create(path)) {
      host_.Message(kMsgCannotCreate, kCaptionWarning);
      return false;
    }
    const std::string text = HeaderText(header);
    bool ok = piece.Write(kMagic.data(), kMagic.size()) && piece.Write(text.data(), kRecordChars);
    size_t at = kRecordChars;
    for (const std::string* n : {&header.targetName, &header.firstPieceName, &header.nextPieceName}) {
      if (ok && !n->empty()) ok = piece.Write(text.data() + at, n->size());
      at += n->size();
    }
    if (!ok) {
      host_.Message(MsgWriteError(FromSystemName(path)), kCaptionWarning);
      return false;
    }
    if (!EncodeBody(piece, path)) return false;
    // Buffered bytes still go out here; a failure now fails the run too.
    if (!piece.Finish()) {
      host_.Message(MsgWriteError(FromSystemName(path)), kCaptionWarning);
      return false;
    }
    name = header.nextPieceName;
  }
  if (!inputOk_ || done_ != size_) {
    host_.Message(MsgSourceChanged(shownSource), kCaptionWarning);
    return false;
  }
  if (!SourceUnchanged()) return false;
  for (TNewFile& piece : written) {
    if (!piece.Commit()) {
      host_.Message(MsgWriteError(FromSystemName(piece.Target())), kCaptionWarning);
      return false;
    }
  }
  return true;
}

}  // namespace

bool CheckSizeText(const std::string& text, ConversionHost& host, uint64_t* limitChars) {
  uint64_t limit = kNoLimit;
  const SizeText r = ParseSizeText(text, limit);
  if (r != SizeText::Ok) {
    host.Message(r == SizeText::TooLarge ? kMsgSizeTooLarge : kMsgSizeNotWhole, kCaptionWarning);
    return false;
  }
  *limitChars = limit;
  return true;
}

SizeText ParseSizeText(const std::string& text, uint64_t& limitChars) {
  limitChars = kNoLimit;
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return SizeText::Ok;
  const size_t e = text.find_last_not_of(" \t") + 1;
  bool negative = false;
  if (text[b] == '-' || text[b] == '+') negative = text[b++] == '-';
  if (b == e) return SizeText::NotWhole;
  uint64_t kb = 0;
  bool overflow = false;
  for (size_t i = b; i < e; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return SizeText::NotWhole;
    if (kb > (std::numeric_limits<uint64_t>::max() - 9) / 10) overflow = true;
    else kb = kb * 10 + uint64_t(c - '0');
  }
  if (negative) return SizeText::Ok;  // below 0: no limit, however large
  if (overflow || kb > uint64_t(std::numeric_limits<int64_t>::max()) / 1024)
    return SizeText::TooLarge;
  if (kb > 0) limitChars = kb * 1024;
  return SizeText::Ok;
}

ExportNames SplitExportName(const std::string& exportName) {
  const size_t point = exportName.find('.');
  if (point == std::string::npos) return {exportName, {}};
  return {exportName.substr(0, point), exportName.substr(point)};
}

std::string ExportNames::PieceName(uint64_t number, uint64_t count) const {
  if (count == 1) return base + extension;
  return base + std::to_string(number) + extension;
}

bool RunExport(ExportSettings settings, ConversionHost& host) {
  auto exporter = std::make_unique<Exporter>(std::move(settings), host);
  return exporter->Run();
}

}  // namespace brivox
