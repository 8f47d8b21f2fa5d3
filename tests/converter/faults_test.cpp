// The mended faults: lost tail, sizes, size text, unsafe names, same file,
// malformed chains, directories.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/converter/test_support.h"

namespace brivox {
namespace {

using test::Exists;
using test::ListDir;
using test::Piece;
using test::ReadFile;
using test::RecordingHost;
using test::TempDir;
using test::WriteFile;

using MessageList = std::vector<std::pair<std::string, std::string>>;

TEST(Faults, NoLostTailWhenTheEstimateFallsShort) {
  // 47 bytes 3 times each (coded) and 398 bytes at most twice: the body is
  // 47 * 5 + 398 * 2 = 1031 characters, but the estimate says 974 + nothing
  // for the defining uses, which fits 1 KB.
  std::string source;
  for (int v = 0; v < 47; ++v) source += std::string(3, char(v));
  for (int i = 0; i < 398; ++i) source += char(47 + i % 209);
  TempDir dir;
  WriteFile(dir / "a.bin", source);
  CodeTable t;
  uint64_t counts[256] = {};
  for (unsigned char c : source) ++counts[c];
  t.SetCounts(counts);
  t.Assign();
  ASSERT_EQ(t.BodyLength(), 1031u);
  ASSERT_LE(t.Estimate(source.size(), 5), 1024u);

  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "a.bin", "", "1", host));
  EXPECT_TRUE(Exists(dir / "Export2.txt"));
  std::filesystem::remove(dir / "a.bin");
  RecordingHost in;
  ASSERT_TRUE(test::Import(dir / "Export1.txt", in));
  EXPECT_EQ(ReadFile(dir / "a.bin"), source);
}

TEST(Faults, SixtyFourBitSizesAndPlansBeyondTheHeader) {
  // Counts and sizes past 32 bits.
  uint64_t counts[256] = {};
  counts[0] = 5ull << 30;
  counts[1] = 1;
  CodeTable t;
  t.SetCounts(counts);
  t.Assign();
  EXPECT_EQ(t.BodyLength(), (5ull << 30) + 2 + 2);
  EXPECT_EQ(t.Estimate((5ull << 30) + 1, 3), (5ull << 30) + 2 + 32 + 3);
  EXPECT_EQ(PlanPieceCount(2097152ull * 1024, 5ull << 31, 10, 5ull << 31), 6u);
  EXPECT_EQ(PlanPieceCount(2097152ull * 1024, 5ull << 30, 10, 5ull << 31), 5u);
  uint64_t limit = 0;
  EXPECT_EQ(ParseSizeText("2097152", limit), SizeText::Ok);
  EXPECT_EQ(limit, 2147483648ull);

  // More than 32767 pieces: refused before any piece is written.
  TempDir dir;
  {
    std::ofstream f(dir / "zeros.bin", std::ios::binary);
    f.seekp((40 << 20) - 1);
    f.put('\0');
  }
  RecordingHost host;
  EXPECT_FALSE(test::Export(dir, "zeros.bin", "", "1", host));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], (std::pair<std::string, std::string>{kMsgTooManyPieces, "Achtung"}));
  EXPECT_TRUE(host.starts.empty());  // clear before counting: at least a character a byte
  EXPECT_EQ(ListDir(dir.Dir()), std::vector<std::string>{"zeros.bin"});
  // Two characters a byte: clear only once counted.
  std::string spread(20 << 20, '\0');
  for (size_t i = 0; i < spread.size(); ++i) spread[i] = char((i * 2654435761u) >> 13);
  WriteFile(dir / "spread.bin", spread);
  RecordingHost counted;
  EXPECT_FALSE(test::Export(dir, "spread.bin", "", "1", counted));
  EXPECT_EQ(counted.messages, (MessageList{{kMsgTooManyPieces, "Achtung"}}));
  EXPECT_FALSE(counted.starts.empty());
  std::filesystem::remove(dir / "spread.bin");

  // Names that would make a header longer than 7999 characters.
  WriteFile(dir / "small.bin", std::string(3000, 'q') + "xyz");
  RecordingHost names;
  EXPECT_FALSE(test::Export(dir, "small.bin", std::string(4000, 'n') + ".txt", "1", names));
  ASSERT_EQ(names.messages.size(), 1u);
  EXPECT_EQ(names.messages[0].first, kMsgNamesTooLong);
  EXPECT_EQ(ListDir(dir.Dir()), (std::vector<std::string>{"small.bin", "zeros.bin"}));
}

TEST(Faults, SizeTextMustBeAWholeNumber) {
  TempDir dir;
  WriteFile(dir / "s.bin", "data");
  for (const char* text : {"1,5", "12kb", "1.5", "-", "abc", "1 2"}) {
    RecordingHost host;
    EXPECT_FALSE(test::Export(dir, "s.bin", "", text, host)) << text;
    EXPECT_EQ(host.messages, (MessageList{{kMsgSizeNotWhole, "Achtung"}})) << text;
  }
  for (const char* text : {"99999999999999999999", "9007199254740992"}) {
    RecordingHost host;
    EXPECT_FALSE(test::Export(dir, "s.bin", "", text, host)) << text;
    EXPECT_EQ(host.messages, (MessageList{{kMsgSizeTooLarge, "Achtung"}})) << text;
  }
  EXPECT_EQ(ListDir(dir.Dir()), std::vector<std::string>{"s.bin"});
}

TEST(Faults, TargetNamesAreReducedToABareName) {
  TempDir outer;
  std::filesystem::create_directory(outer / "chain");
  const std::string dir = outer / "chain/";
  const struct {
    const char* stored;
    const char* written;  // null: wrong format
  } cases[] = {{"../evil.bin", "evil.bin"}, {"/tmp/abs.bin", "abs.bin"}, {"sub/x.bin", "x.bin"},
               {"a\\..\\b.bin", "b.bin"}, {"..", nullptr}, {".", nullptr}, {"", nullptr},
               {"dir/", nullptr}};
  for (const auto& c : cases) {
    WriteFile(dir + "p.txt", Piece(1, 1, c.stored, "", "", "4F4B"));
    RecordingHost host;
    Inspection in = InspectFile(dir + "p.txt", host);
    const bool ok = RunImport({dir + "p.txt", dir, in.header}, host);
    if (c.written) {
      EXPECT_TRUE(ok) << c.stored;
      EXPECT_EQ(ReadFile(dir + c.written), "OK") << c.stored;
      std::filesystem::remove(dir + c.written);
    } else {
      EXPECT_FALSE(ok) << c.stored;
      EXPECT_EQ(in.kind, FileKind::WrongFormat) << c.stored;
      EXPECT_EQ(host.messages.back().first, kMsgWrongFormat) << c.stored;
    }
    EXPECT_EQ(ListDir(dir), std::vector<std::string>{"p.txt"}) << c.stored;
    EXPECT_EQ(ListDir(outer.Dir()), std::vector<std::string>{"chain"}) << c.stored;
  }
}

TEST(Faults, NeitherSourceNorPieceIsOverwritten) {
  TempDir dir;
  WriteFile(dir / "Export.txt", "the source");
  RecordingHost host;
  EXPECT_FALSE(test::Export(dir, "Export.txt", "Export.txt", "", host));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first, MsgPieceIsSource(dir / "Export.txt"));
  EXPECT_EQ(ReadFile(dir / "Export.txt"), "the source");

  // A chain whose target is its own second piece.
  const std::string p1 = Piece(2, 1, "P2", "P1", "P2", "41");
  const std::string p2 = Piece(2, 2, "P2", "P1", "", "42");
  WriteFile(dir / "P1", p1);
  WriteFile(dir / "P2", p2);
  RecordingHost in;
  EXPECT_FALSE(test::Import(dir / "P1", in));
  ASSERT_EQ(in.messages.size(), 1u);
  EXPECT_EQ(in.messages[0].first, MsgTargetIsPiece(dir / "P2"));
  EXPECT_EQ(ReadFile(dir / "P1"), p1);
  EXPECT_EQ(ReadFile(dir / "P2"), p2);
}

TEST(Faults, MalformedChainsFailAndWriteNothing) {
  TempDir dir;
  const auto imports = [&](const std::string& picked, const MessageList& expected) {
    RecordingHost host;
    EXPECT_FALSE(test::Import(picked, host));
    EXPECT_EQ(host.messages, expected);
  };
  // A later piece without the magic, or whose header does not read.
  WriteFile(dir / "A1", Piece(2, 1, "a.out", "A1", "A2", "4142"));
  WriteFile(dir / "A2", "Brivox02" + Piece(2, 2, "a.out", "A1", "", "43").substr(8));
  imports(dir / "A1", {{MsgPieceNoPiece(dir / "A2"), "Achtung"}});
  WriteFile(dir / "A2", "Brivox01FFFF");
  imports(dir / "A1", {{MsgPieceBadHeader(dir / "A2"), "Achtung"}});

  // A piece count below 1.
  WriteFile(dir / "Z", Piece(0, 1, "z.out", "", "", "41"));
  RecordingHost zero;
  Inspection in = InspectFile(dir / "Z", zero);
  EXPECT_EQ(in.kind, FileKind::WrongFormat);
  in.header.record.pieceCount = 0;
  EXPECT_FALSE(RunImport({dir / "Z", dir.Dir(), in.header}, zero));

  // Bodies ending inside a token: half a hex pair, a code character without
  // its byte; and a token split between two pieces, which the encoder never does.
  for (const char* body : {"41424", "4142G", "4142G4"}) {
    WriteFile(dir / "T", Piece(1, 1, "t.out", "", "", body));
    imports(dir / "T", {{MsgPieceCutToken(dir / "T"), "Achtung"}});
  }
  WriteFile(dir / "S1", Piece(2, 1, "s.out", "S1", "S2", "414"));
  WriteFile(dir / "S2", Piece(2, 2, "s.out", "S1", "", "2"));
  imports(dir / "S2", {{MsgPieceCutToken(dir / "S1"), "Achtung"}});

  // Characters outside the alphabet, by their place in the file (from 1);
  // a pair cut by a code character; a byte as a pair although a code character
  // stands for it.
  const std::string head = Piece(1, 1, "c.out", "", "", "");
  WriteFile(dir / "C", head + "41!2");
  imports(dir / "C", {{MsgPieceBadCharacter(dir / "C", head.size() + 3, '!'), "Achtung"}});
  WriteFile(dir / "C", head + "41" + std::string(1, '\0'));
  imports(dir / "C", {{MsgPieceBadCharacter(dir / "C", head.size() + 3, 0), "Achtung"}});
  WriteFile(dir / "C", head + "4G42");
  imports(dir / "C", {{MsgPieceBadToken(dir / "C", head.size() + 2), "Achtung"}});
  WriteFile(dir / "C", head + " 41  41");
  imports(dir / "C", {{MsgPieceBadToken(dir / "C", head.size() + 7), "Achtung"}});
  WriteFile(dir / "C", head + " 41G41");
  imports(dir / "C", {{MsgPieceBadToken(dir / "C", head.size() + 6), "Achtung"}});

  EXPECT_EQ(ListDir(dir.Dir()), (std::vector<std::string>{"A1", "A2", "C", "S1", "S2", "T", "Z"}));
}

TEST(Faults, DevicesAreNeitherWrittenThroughNorReplaced) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  struct stat before {};
  ASSERT_EQ(stat("/dev/full", &before), 0);
  TempDir dir;
  WriteFile(dir / "a.bin", "AAAB");
  RecordingHost out;
  EXPECT_FALSE(test::Export(dir, "a.bin", "/dev/full", "", out));
  EXPECT_EQ(out.messages, (MessageList{{kMsgCannotCreate, "Achtung"}}));

  // A symbolic link named like the target is replaced by the new file.
  WriteFile(dir / "p.txt", Piece(1, 1, "full.out", "", "", "414243"));
  std::filesystem::create_symlink("/dev/full", dir / "full.out");
  RecordingHost in;
  EXPECT_TRUE(test::Import(dir / "p.txt", in));
  EXPECT_FALSE(std::filesystem::is_symlink(dir / "full.out"));
  EXPECT_EQ(ReadFile(dir / "full.out"), "ABC");

  struct stat after {};
  ASSERT_EQ(stat("/dev/full", &after), 0);
  EXPECT_TRUE(S_ISCHR(after.st_mode));
  EXPECT_EQ(after.st_rdev, before.st_rdev);
  EXPECT_EQ(ListDir(dir.Dir()), (std::vector<std::string>{"a.bin", "full.out", "p.txt"}));
}

TEST(Faults, NamesResolveAgainstThePickedDirectory) {
  TempDir dir;
  std::filesystem::create_directory(dir / "sub");
  std::string data;
  for (int i = 0; i < 3000; ++i) data += char(i * i % 253);
  WriteFile(dir / "g.bin", data);
  RecordingHost host;
  // The export name carries a directory: pieces go there, relative to the
  // picked file, and the stored names carry it too.
  ASSERT_TRUE(test::Export(dir, "g.bin", "sub/G.txt", "2", host));
  ASSERT_TRUE(Exists(dir / "sub/G1.txt"));
  ASSERT_TRUE(Exists(dir / "sub/G2.txt"));
  ASSERT_FALSE(Exists(dir / "sub/G3.txt"));
  EXPECT_EQ(ReadFile(dir / "sub/G2.txt").substr(40, 15), "g.binsub/G1.txt");

  // Straight from where they were written.
  RecordingHost there;
  ASSERT_TRUE(test::Import(dir / "sub/G2.txt", there));
  EXPECT_EQ(ReadFile(dir / "sub/g.bin"), data);

  // Lying together somewhere else: found by their bare names, and only there.
  TempDir other;
  std::filesystem::copy(dir / "sub/G1.txt", other / "G1.txt");
  std::filesystem::copy(dir / "sub/G2.txt", other / "G2.txt");
  RecordingHost moved;
  ASSERT_TRUE(test::Import(other / "G2.txt", moved));
  EXPECT_EQ(ReadFile(other / "g.bin"), data);
}

}  // namespace
}  // namespace brivox
