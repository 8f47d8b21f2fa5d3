// Damaged chains, one case for each way a real chain was seen to go wrong:
// wrapped and trailing lines, cut, copied, foreign, renumbered, looping,
// swapped and missing pieces, bad bytes, names that lead out of the chain's
// directory or into a FIFO. Every failure keeps an older target as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "framework/cp1252.h"
#include "tests/converter/chain_support.h"

namespace brivox {
namespace {

using test::Chain;
using test::Cli;
using test::CliRun;
using test::Exists;
using test::ListDir;
using test::PieceParts;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kSentinel = "an older, good src.bin that no failed import may touch\n";

std::string Warning(const std::string& text) { return "Achtung: " + komp::Cp1252ToUtf8(text) + "\n"; }
const std::string kClosingFailure = "Fertig: Fehler bei der Konvertierung\n";

class Damage : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = root_ / "chain/";
    std::filesystem::create_directory(dir_);
    chain_ = test::MakeChain(dir_, "src.bin", test::MixedData(200 * 1024, 7), "64");
    ASSERT_GE(chain_.names.size(), 3u);
    ASSERT_LE(chain_.names.size(), 5u);
    std::filesystem::remove(Path("src.bin"));
  }

  std::string Path(const std::string& name) const { return dir_ + name; }
  std::string PiecePath(size_t index) const { return Path(chain_.names[index]); }
  int Count() const { return int(chain_.names.size()); }
  void Put(size_t index, const std::string& bytes) { WriteFile(PiecePath(index), bytes); }
  PieceParts Parts(size_t index) const { return PieceParts::Split(chain_.pieces[index]); }
  std::vector<std::string> Bodies() const {
    std::vector<std::string> b;
    for (size_t i = 0; i < chain_.pieces.size(); ++i) b.push_back(Parts(i).body);
    return b;
  }

  // import through the command line over an older good target: the run must
  // fail with exactly this warning, keep the target and leave nothing behind.
  // A picked file that is no import ends before the run: no closing message.
  void ExpectImportFails(const std::string& picked, const std::string& warning) {
    const auto before = ListDir(dir_);
    const bool run = warning != kMsgWrongFormat;
    WriteFile(Path("src.bin"), kSentinel);
    const CliRun r = Cli({"import", picked});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, Warning(warning) + (run ? kClosingFailure : ""));
    EXPECT_EQ(r.err.find("Datei:\"\""), std::string::npos);
    EXPECT_TRUE(ReadFile(Path("src.bin")) == kSentinel);
    auto after = ListDir(dir_);
    after.erase(std::find(after.begin(), after.end(), "src.bin"));
    EXPECT_EQ(after, before);
    std::filesystem::remove(Path("src.bin"));

    // verify finds the same fault and says so in its own words.
    const CliRun v = Cli({"verify", picked});
    EXPECT_EQ(v.status, 1);
    EXPECT_EQ(v.err, Warning(warning));
    if (run) {
      EXPECT_EQ(v.out.rfind("Kette unvollst\xC3\xA4ndig oder fehlerhaft: ", 0), 0u) << v.out;
    } else {
      EXPECT_EQ(v.out, "");
    }
  }

  void ExpectImportsExactly(const std::string& picked) {
    WriteFile(Path("src.bin"), kSentinel);
    const CliRun r = Cli({"import", picked});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Fertig: Konvertierung erfolgreich abgeschlossen\n");
    EXPECT_TRUE(ReadFile(Path("src.bin")) == chain_.source);
    std::filesystem::remove(Path("src.bin"));
    const CliRun v = Cli({"verify", picked});
    EXPECT_EQ(v.status, 0) << v.err;
    EXPECT_EQ(v.out.find("fehlerfrei"), std::string::npos);
  }

  void Restore() {
    for (size_t i = 0; i < chain_.names.size(); ++i) Put(i, chain_.pieces[i]);
  }

  TempDir root_;
  // The chain lives one level down, so that reads outside it can be offered.
  std::string dir_;
  Chain chain_;
};

TEST_F(Damage, LineBreaksAndTrailingLinesFromMailProgramsAreSkipped) {
  // What a mail program does: a break every 76 characters of the file.
  for (const std::string eol : {"\r\n", "\n"}) {
    for (size_t i = 0; i < chain_.pieces.size(); ++i) {
      ASSERT_LT(Parts(i).BodyStart(), 76u);
      std::string wrapped;
      const std::string& p = chain_.pieces[i];
      for (size_t at = 0; at < p.size(); at += 76) wrapped += p.substr(at, 76) + eol;
      Put(i, wrapped);
    }
    SCOPED_TRACE(eol.size());
    ExpectImportsExactly(PiecePath(1));
    Restore();
  }
  // A line end after the last piece, or after every piece.
  for (const std::string tail : {"\r\n", "\n", "\r\n\r\n"}) {
    Put(size_t(Count() - 1), chain_.pieces.back() + tail);
    ExpectImportsExactly(PiecePath(0));
    for (size_t i = 0; i < chain_.pieces.size(); ++i) Put(i, chain_.pieces[i] + tail);
    ExpectImportsExactly(PiecePath(size_t(Count() - 1)));
    Restore();
  }
}

TEST_F(Damage, TrailingSpaceOnTheLastPiece) {
  // The space is the code character of the most frequent byte: appended to a
  // last piece with room left, it is one more of that byte, and the chain is
  // exactly what export writes for the file with that byte added. No reader
  // can tell the two apart: the format has no length and no checksum.
  const PieceParts last = Parts(size_t(Count() - 1));
  ASSERT_LT(last.body.size(), 64u * 1024);
  Put(size_t(Count() - 1), chain_.pieces.back() + " ");
  const CliRun r = Cli({"import", PiecePath(0)});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string longer = ReadFile(Path("src.bin"));
  ASSERT_EQ(longer.size(), chain_.source.size() + 1);
  EXPECT_TRUE(longer.compare(0, chain_.source.size(), chain_.source) == 0);

  TempDir other;
  const Chain again = test::MakeChain(other.Dir(), "src.bin", longer, "64");
  ASSERT_EQ(again.names, chain_.names);
  for (int i = 0; i < Count(); ++i) EXPECT_TRUE(again.pieces[size_t(i)] == ReadFile(PiecePath(size_t(i))));

  // On a full last piece the same space breaks the common length of the pieces.
  std::filesystem::remove(Path("src.bin"));
  Restore();
  // The message names the long piece.
  Put(0, chain_.pieces[0] + " ");
  ExpectImportFails(PiecePath(0), MsgPieceLong(PiecePath(0)));
}

TEST_F(Damage, MiddlePieceCutBy100Bytes) {
  const auto ends = test::TokenBoundaries(Bodies());
  const PieceParts p = Parts(1);
  const size_t keep = p.body.size() - 100;
  Put(1, chain_.pieces[1].substr(0, chain_.pieces[1].size() - 100));
  const bool onBoundary = std::binary_search(ends[1].begin(), ends[1].end(), keep);
  ExpectImportFails(PiecePath(0), onBoundary ? MsgPieceShort(PiecePath(1)) : MsgPieceCutToken(PiecePath(1)));

  // Cut exactly at a token boundary: the length rule alone finds it.
  auto at = std::lower_bound(ends[1].begin(), ends[1].end(), keep);
  Put(1, chain_.pieces[1].substr(0, p.BodyStart() + *at));
  ExpectImportFails(PiecePath(2), MsgPieceShort(PiecePath(1)));
}

TEST_F(Damage, LastPieceCutInHalf) {
  const size_t last = size_t(Count() - 1);
  const auto ends = test::TokenBoundaries(Bodies());
  const PieceParts p = Parts(last);
  size_t half = p.body.size() / 2;
  while (std::binary_search(ends[last].begin(), ends[last].end(), half)) ++half;
  Put(last, chain_.pieces[last].substr(0, p.BodyStart() + half));
  ExpectImportFails(PiecePath(0), MsgPieceCutToken(PiecePath(last)));

  // Cut at a token boundary the last piece is undetectable by design: the
  // import either finds the code table no longer fits the file, or gives
  // back the source up to the cut.
  const size_t boundary = *std::lower_bound(ends[last].begin(), ends[last].end(), half);
  Put(last, chain_.pieces[last].substr(0, p.BodyStart() + boundary));
  WriteFile(Path("src.bin"), kSentinel);
  const CliRun r = Cli({"import", PiecePath(0)});
  const std::string got = ReadFile(Path("src.bin"));
  if (r.status == 0) {
    EXPECT_LT(got.size(), chain_.source.size());
    EXPECT_TRUE(chain_.source.compare(0, got.size(), got) == 0);
  } else {
    EXPECT_EQ(r.err, Warning(MsgChainInconsistent(PiecePath(0))) + kClosingFailure);
    EXPECT_TRUE(got == kSentinel);
  }
}

TEST(DamageTwoPieces, OnlyFullPieceCutToASmallerLimitIsAChainOfAnotherFile) {
  // With one full piece there is no other to compare its length with: cut
  // at a token boundary to a lower multiple of 1 KB, the chain is exactly
  // what export writes for the shorter file with that smaller size.
  TempDir dir;
  const std::string source = test::MixedData(40 * 1024, 3) + std::string(60000, '\0') + test::MixedData(2048, 4);
  const Chain chain = test::MakeChain(dir.Dir(), "src.bin", source, "64");
  ASSERT_EQ(chain.names.size(), 2u);
  const PieceParts first = PieceParts::Split(chain.pieces[0]);
  ASSERT_EQ(first.body.size(), 64u * 1024);
  ASSERT_EQ(first.body.substr(first.body.size() - 2048), std::string(2048, ' '));
  WriteFile(dir / chain.names[0], chain.pieces[0].substr(0, chain.pieces[0].size() - 1024));
  std::filesystem::remove(dir / "src.bin");

  const CliRun r = Cli({"import", dir / chain.names[1]});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string shorter = ReadFile(dir / "src.bin");
  EXPECT_EQ(shorter.size(), source.size() - 1024);
  TempDir again;
  const Chain remade = test::MakeChain(again.Dir(), "src.bin", shorter, "63");
  ASSERT_EQ(remade.names, chain.names);
  for (size_t i = 0; i < 2; ++i) EXPECT_TRUE(remade.pieces[i] == ReadFile(dir / chain.names[i]));

  // Cut by one character more it is short of any limit.
  WriteFile(dir / chain.names[0], chain.pieces[0].substr(0, chain.pieces[0].size() - 1025));
  const CliRun cut = Cli({"import", dir / chain.names[1]});
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(cut.err, Warning(MsgPieceShort(dir / chain.names[0])) + kClosingFailure);
}

TEST(DamageTokens, HexPairOfAByteThatIsDefinedLaterIsRefused) {
  // 46 bytes five times each take the code characters up to "y"; P and Q
  // three times each compete for "z", and P wins on its smaller value. The
  // tail Q P Q P Q P is written 61 z60 61 z 61 z. Five characters lost,
  // "z6061", leave 61 z61 z: Q three times, "z" now Q's, and the code table
  // of that file agrees. But the encoder defines a code character at the
  // first occurrence of its byte: a hex pair 61 before "z" stands for 61
  // cannot come from it.
  TempDir dir;
  std::string source;
  for (int round = 0; round < 5; ++round)
    for (int v = 0x30; v < 0x30 + 46; ++v) source += char(v);
  source += "a`a`a`";
  const Chain chain = test::MakeChain(dir.Dir(), "src.bin", source, "");
  ASSERT_EQ(chain.names, std::vector<std::string>{"Export.txt"});
  const std::string& piece = chain.pieces[0];
  ASSERT_EQ(piece.substr(piece.size() - 11), "61z6061z61z");
  WriteFile(dir / "Export.txt", piece.substr(0, piece.size() - 11) + "61z61z");
  WriteFile(dir / "src.bin", kSentinel);

  const CliRun r = Cli({"import", dir / "Export.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Achtung: Teildatei:\"" + dir / "Export.txt", 0), 0u) << r.err;
  EXPECT_TRUE(ReadFile(dir / "src.bin") == kSentinel);
  EXPECT_EQ(Cli({"verify", dir / "Export.txt"}).status, 1);
}

TEST_F(Damage, PieceCopiedOverTheNextOrSwapped) {
  Put(2, chain_.pieces[1]);
  ExpectImportFails(PiecePath(0), MsgPieceWrongPlace(PiecePath(2), 3, 2, Count()));
  Restore();

  Put(1, chain_.pieces[2]);
  Put(2, chain_.pieces[1]);
  ExpectImportFails(PiecePath(2), MsgPieceWrongPlace(PiecePath(1), 2, 3, Count()));
  Restore();

  // The first piece swapped with the last: the picked one says where to start.
  const size_t last = size_t(Count() - 1);
  Put(0, chain_.pieces[last]);
  Put(last, chain_.pieces[0]);
  ExpectImportFails(PiecePath(1), MsgPieceWrongPlace(PiecePath(0), 1, Count(), Count()));
}

TEST_F(Damage, PiecesFromTheExportOfAnEditedFile) {
  // Same names, same piece count; the edit moves a byte that is frequent
  // enough to change the code table, so a piece of one export does not decode
  // in the other.
  std::string edited = std::string(6000, '\x01') + chain_.source;
  edited.resize(chain_.source.size());
  TempDir other;
  const Chain foreign = test::MakeChain(other.Dir(), "src.bin", edited, "64");
  ASSERT_EQ(foreign.names, chain_.names);
  for (size_t k = 0; k < chain_.pieces.size(); ++k) {
    SCOPED_TRACE(k);
    Put(k, foreign.pieces[k]);
    WriteFile(Path("src.bin"), kSentinel);
    const CliRun r = Cli({"import", PiecePath(k == 0 ? 1 : 0)});
    EXPECT_EQ(r.status, 1);
    // Which piece shows the fault first depends on where the decoding goes wrong.
    EXPECT_EQ(r.err.rfind("Achtung: ", 0), 0u) << r.err;
    EXPECT_TRUE(r.err.find(kClosingFailure) == r.err.size() - kClosingFailure.size()) << r.err;
    EXPECT_TRUE(ReadFile(Path("src.bin")) == kSentinel);
    EXPECT_EQ(Cli({"verify", PiecePath(0)}).status, 1);
    Restore();
  }
}

TEST_F(Damage, ForeignPieceWithTheSameCodeTableIsAChainOfAnotherFile) {
  // An edit that leaves the code table alone: the foreign piece decodes to
  // the edited file's bytes, and the mixed chain is byte for byte what export
  // writes for the mixed file. Without a checksum no reader can tell; the
  // import gives that file.
  std::string edited = "Vorwort\r\n" + chain_.source;
  edited.resize(chain_.source.size());
  TempDir other;
  const Chain foreign = test::MakeChain(other.Dir(), "src.bin", edited, "64");
  ASSERT_EQ(foreign.names, chain_.names);
  Put(1, foreign.pieces[1]);
  const CliRun r = Cli({"import", PiecePath(0)});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string mixed = ReadFile(Path("src.bin"));
  EXPECT_FALSE(mixed == chain_.source);
  EXPECT_FALSE(mixed == edited);
  TempDir again;
  const Chain remade = test::MakeChain(again.Dir(), "src.bin", mixed, "64");
  ASSERT_EQ(remade.names, chain_.names);
  for (int i = 0; i < Count(); ++i) EXPECT_TRUE(remade.pieces[size_t(i)] == ReadFile(PiecePath(size_t(i))));
}

TEST_F(Damage, HeaderFieldsThatLie) {
  // One header with a smaller piece count, first in a later piece, then in the picked one.
  PieceParts p = Parts(1);
  p.record.pieceCount = int16_t(Count() - 1);
  Put(1, p.Join());
  ExpectImportFails(PiecePath(0), MsgPieceOtherCount(PiecePath(1), Count(), Count() - 1));
  Restore();
  p = Parts(0);
  p.record.pieceCount = int16_t(Count() - 1);
  Put(0, p.Join());
  ExpectImportFails(PiecePath(0), MsgPieceOtherCount(PiecePath(1), Count() - 1, Count()));
  Restore();

  // Header length one more: the first body character would become part of a name.
  p = Parts(2);
  ++p.record.headerLength;
  Put(2, p.Join());
  ExpectImportFails(PiecePath(0), MsgPieceBadHeader(PiecePath(2)));
  // The picked piece itself is no import then.
  ExpectImportFails(PiecePath(2), kMsgWrongFormat);
  Restore();

  // A piece number that is not its place; a last piece that names a next one.
  p = Parts(1);
  p.record.pieceNumber = 3;
  Put(1, p.Join());
  ExpectImportFails(PiecePath(0), MsgPieceWrongPlace(PiecePath(1), 2, 3, Count()));
  Restore();
  p = Parts(size_t(Count() - 1));
  p.next = chain_.names[0];
  p.FitLengths();
  Put(size_t(Count() - 1), p.Join());
  ExpectImportFails(PiecePath(0), MsgPieceBadHeader(PiecePath(size_t(Count() - 1))));
  Restore();

  // Another target or first-piece name in one piece.
  p = Parts(1);
  p.target = "andere.bin";
  p.FitLengths();
  Put(1, p.Join());
  ExpectImportFails(PiecePath(0), MsgPieceOtherChain(PiecePath(1), "Zieldatei", "src.bin", "andere.bin"));
  Restore();
  p = Parts(2);
  p.first = chain_.names[1];
  p.FitLengths();
  Put(2, p.Join());
  ExpectImportFails(PiecePath(0),
                    MsgPieceOtherChain(PiecePath(2), "erster Teil", chain_.names[0], chain_.names[1]));
  Restore();
  // A piece whose magic is gone.
  std::string noMagic = chain_.pieces[1];
  noMagic[7] = '2';
  Put(1, noMagic);
  ExpectImportFails(PiecePath(0), MsgPieceNoPiece(PiecePath(1)));
}

TEST_F(Damage, NextPieceNameThatPointsBackIsReadOnce) {
  // It used to be read up to 32,767 times.
  for (size_t k : {size_t(0), size_t(1)}) {
    PieceParts p = Parts(k);
    p.next = chain_.names[k];
    p.FitLengths();
    Put(k, p.Join());
    ExpectImportFails(PiecePath(0), MsgPieceWrongPlace(PiecePath(k), int(k) + 2, int(k) + 1, Count()));
    Restore();
  }
  // Further down the chain, back to its start.
  ASSERT_GE(Count(), 4);
  PieceParts p = Parts(2);
  p.next = chain_.names[0];
  p.FitLengths();
  Put(2, p.Join());
  ExpectImportFails(PiecePath(1), MsgPieceWrongPlace(PiecePath(0), 4, 1, Count()));
}

TEST_F(Damage, BytesOutsideTheAlphabetInABody) {
  const PieceParts p = Parts(1);
  const size_t at = p.BodyStart() + 1234;
  for (const unsigned char bad : {'!', '\x7F', '\xFF', '\0', '\t', '`', '.'}) {
    SCOPED_TRACE(int(bad));
    std::string piece = chain_.pieces[1];
    piece[at] = char(bad);
    Put(1, piece);
    ExpectImportFails(PiecePath(0), MsgPieceBadCharacter(PiecePath(1), at + 1, bad));
    // Inserted rather than replacing, at the very end of the last piece.
    Restore();
    const size_t last = size_t(Count() - 1);
    Put(last, chain_.pieces[last] + char(bad));
    ExpectImportFails(PiecePath(0), MsgPieceBadCharacter(PiecePath(last), chain_.pieces[last].size() + 1, bad));
    Restore();
  }
}

TEST_F(Damage, MissingPieceNamesThePathLookedFor) {
  std::filesystem::remove(PiecePath(2));
  ExpectImportFails(PiecePath(0), MsgCannotOpen(PiecePath(2)));
  Restore();
  // Picked in the middle of a chain whose first piece is gone.
  std::filesystem::remove(PiecePath(0));
  ExpectImportFails(PiecePath(1), MsgCannotOpen(PiecePath(0)));
  Restore();
  // A next-piece name that is nothing but a directory part.
  PieceParts p = Parts(0);
  p.next = "../";
  p.FitLengths();
  Put(0, p.Join());
  ExpectImportFails(PiecePath(0), MsgPieceBadHeader(PiecePath(0)));
}

TEST_F(Damage, NextPieceNamesOutsideTheChainDirectory) {
  // A good piece 3 outside the chain's directory, and one under an absolute name.
  const std::string outside = root_ / "Export3.txt";
  WriteFile(outside, chain_.pieces[2]);
  std::filesystem::create_directory(root_ / "abs");
  WriteFile(root_ / "abs/Stray3.txt", chain_.pieces[2]);
  std::filesystem::remove(PiecePath(2));
  for (const std::string& next :
       {std::string("../Export3.txt"), root_ / "abs/Stray3.txt", std::string("..\\..\\Stray3.txt"),
        dir_ + "../" + chain_.names[2]}) {
    SCOPED_TRACE(next);
    PieceParts p = Parts(1);
    p.next = next;
    p.FitLengths();
    Put(1, p.Join());
    ExpectImportFails(PiecePath(0), MsgCannotOpen(Path(BareName(next))));
  }
  // A piece of the chain right beside it is used even so: the name is only a bare name.
  WriteFile(Path("Stray3.txt"), chain_.pieces[2]);
  PieceParts p = Parts(1);
  p.next = root_ / "abs/Stray3.txt";
  p.FitLengths();
  Put(1, p.Join());
  ExpectImportsExactly(PiecePath(0));
  EXPECT_EQ(ReadFile(outside), chain_.pieces[2]);
  EXPECT_EQ(ListDir(root_.Dir()), (std::vector<std::string>{"Export3.txt", "abs", "chain"}));
}

// Opens the FIFO for writing from a thread, so that a reader that blocks is
// released at the end instead of hanging the test.
class FifoGuard {
 public:
  explicit FifoGuard(std::string path) : path_(std::move(path)) {
    writer_ = std::thread([this] {
      const int fd = ::open(path_.c_str(), O_WRONLY);
      if (fd >= 0) ::close(fd);
    });
  }
  ~FifoGuard() {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    writer_.join();
    if (fd >= 0) ::close(fd);
  }

 private:
  std::string path_;
  std::thread writer_;
};

TEST_F(Damage, DevicesAndFifosAreRefusedWithoutBlocking) {
  ASSERT_EQ(::mkfifo(Path("Fifo3.txt").c_str(), 0600), 0);
  FifoGuard guard(Path("Fifo3.txt"));
  for (const std::string next : {"/dev/tty", "Fifo3.txt", "/dev/null", "/dev/zero"}) {
    SCOPED_TRACE(next);
    PieceParts p = Parts(1);
    p.next = next;
    p.FitLengths();
    Put(1, p.Join());
    ExpectImportFails(PiecePath(0), MsgCannotOpen(Path(BareName(next))));
  }
  // As the first-piece name of the picked piece, and for info.
  PieceParts p = Parts(1);
  p.first = "Fifo3.txt";
  p.FitLengths();
  Put(1, p.Join());
  ExpectImportFails(PiecePath(1), MsgCannotOpen(Path("Fifo3.txt")));
  const CliRun info = Cli({"info", PiecePath(1)});
  EXPECT_EQ(info.status, 0);
  EXPECT_NE(info.out.find(Path("Fifo3.txt") + "  fehlt"), std::string::npos) << info.out;
  // The FIFO picked itself.
  const CliRun picked = Cli({"import", Path("Fifo3.txt")});
  EXPECT_EQ(picked.status, 1);
  EXPECT_EQ(picked.err, Warning(kMsgChosenFileNotOpened));
}

TEST_F(Damage, ExportRefusesSourcesThatCannotBeReadTwice) {
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
  FifoGuard guard(Path("pipe"));
  const CliRun r = Cli({"export", Path("pipe"), "--size", "1", "--name", Path("P.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Warning(MsgNotAFile(Path("pipe"))) + kClosingFailure);
  const CliRun proc = Cli({"export", "/proc/self/status", "--name", Path("P.txt")});
  EXPECT_EQ(proc.status, 1);
  EXPECT_EQ(proc.err, Warning(MsgNotAFile("/proc/self/status")) + kClosingFailure);
  EXPECT_FALSE(Exists(Path("P.txt")));
  EXPECT_FALSE(Exists(Path("P1.txt")));
}

TEST_F(Damage, GoodTargetAndOlderPiecesSurvive) {
  // A symlink named like the target: a failed import leaves it and the file
  // it points to alone, a good one replaces the link, not that file.
  const std::string elsewhere = root_ / "elsewhere.bin";
  WriteFile(elsewhere, kSentinel);
  ASSERT_EQ(::symlink(elsewhere.c_str(), Path("src.bin").c_str()), 0);
  std::filesystem::remove(PiecePath(1));
  EXPECT_EQ(Cli({"import", PiecePath(0)}).status, 1);
  EXPECT_TRUE(std::filesystem::is_symlink(Path("src.bin")));
  Restore();
  EXPECT_EQ(Cli({"import", PiecePath(0)}).status, 0);
  EXPECT_FALSE(std::filesystem::is_symlink(Path("src.bin")));
  EXPECT_TRUE(ReadFile(Path("src.bin")) == chain_.source);
  EXPECT_EQ(ReadFile(elsewhere), kSentinel);
  std::filesystem::remove(Path("src.bin"));

  // An export that cannot write its last piece leaves the older chain whole.
  WriteFile(Path("neu.bin"), test::MixedData(200 * 1024, 8));
  std::filesystem::remove(PiecePath(1));
  std::filesystem::create_directory(PiecePath(1));
  const CliRun e = Cli({"export", Path("neu.bin"), "--size", "64", "--name", Path("Export.txt")});
  EXPECT_EQ(e.status, 1);
  EXPECT_EQ(e.err, Warning(kMsgCannotCreate) + kClosingFailure);
  for (int i = 0; i < Count(); ++i)
    if (i != 1) {
      EXPECT_TRUE(ReadFile(PiecePath(size_t(i))) == chain_.pieces[size_t(i)]);
    }
  auto names = chain_.names;
  names.push_back("neu.bin");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(ListDir(dir_), names);
}

TEST_F(Damage, VerifySaysWhatItCheckedNeverErrorFree) {
  const CliRun v = Cli({"verify", PiecePath(1)});
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.err, "");
  EXPECT_EQ(v.out.rfind("Kette vollst\xC3\xA4ndig und wohlgeformt: " + std::to_string(Count()) + " Teil(e), " +
                            std::to_string(chain_.source.size()) + " Bytes\n",
                        0),
            0u)
      << v.out;
  EXPECT_EQ(v.out.find("fehlerfrei"), std::string::npos);
  EXPECT_NE(v.out.find("Nicht pr\xC3\xBC" "fbar (das Format hat keine Pr\xC3\xBC" "fsumme):"), std::string::npos);
  EXPECT_FALSE(Exists(Path("src.bin")));
}

}  // namespace
}  // namespace brivox
