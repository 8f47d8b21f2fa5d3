// Piece format: the worked examples byte for byte, the header reader's limits, names.
#include <gtest/gtest.h>

#include "tests/converter/test_support.h"

namespace brivox {
namespace {

using test::Piece;
using test::ReadFile;
using test::RecordingHost;
using test::TempDir;
using test::WriteFile;

TEST(Piece, SinglePieceExampleIsByteExact) {
  TempDir dir;
  WriteFile(dir / "a.bin", "\x41\x41\x41");
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "a.bin", "", "", host));
  EXPECT_EQ(ReadFile(dir / "Export.txt"),
            "Brivox01" "25000100010005000000000000000000" "a.bin" " 41  ");
  EXPECT_TRUE(host.messages.empty());
}

TEST(Piece, ThreeHeadersOfAChain) {
  TempDir dir;
  // 1200 bytes, every value 4 or 5 times: the 1 KB limit plans 3 pieces.
  std::string source;
  for (int i = 0; i < 1200; ++i) source += char((i * 7) % 256);
  WriteFile(dir / "daten.bin", source);
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "daten.bin", "Export.txt", "1", host));
  const char* records[3] = {"3F000300010009000B000B0000000000", "3F000300020009000B000B0000000000",
                            "34000300030009000B00000000000000"};
  const char* names[3] = {"daten.binExport1.txtExport2.txt", "daten.binExport1.txtExport3.txt",
                          "daten.binExport1.txt"};
  for (int i = 0; i < 3; ++i) {
    const std::string piece = ReadFile(dir / ("Export" + std::to_string(i + 1) + ".txt"));
    EXPECT_EQ(piece.substr(0, 40), std::string("Brivox01") + records[i]);
    EXPECT_EQ(piece.substr(40, strlen(names[i])), names[i]);
  }
  EXPECT_FALSE(test::Exists(dir / "Export4.txt"));
}

TEST(Piece, RecordWordsAreLittleEndianHex) {
  PieceHeader r;
  r.headerLength = 37;
  r.pieceCount = 258;
  r.pieceNumber = -1;
  r.reserved = 0x1234;
  const std::string hex = EncodeRecord(r);
  EXPECT_EQ(hex, "25000201FFFF00000000000034120000");
  const PieceHeader back = DecodeRecord(hex.data());
  EXPECT_EQ(back.pieceCount, 258);
  EXPECT_EQ(back.pieceNumber, -1);
  EXPECT_EQ(back.reserved, 0x1234);
}

TEST(Piece, NibblesFollowTheDigitRuleWithoutValidation) {
  EXPECT_EQ(Nibble('0'), 0);
  EXPECT_EQ(Nibble('9'), 9);
  EXPECT_EQ(Nibble('A'), 10);
  EXPECT_EQ(Nibble('F'), 15);
  EXPECT_EQ(Nibble('G'), 16);  // not a digit, still decoded by the rule
  EXPECT_EQ(HexByte('7', 'E'), 0x7E);
  EXPECT_EQ(HexByte('1', 'G'), uint8_t(0x10 | 16));
}

// Writes "Brivox01" + tail and reads the header after the magic.
bool ReadAfterMagic(const TempDir& dir, const std::string& tail, HeaderState& h) {
  WriteFile(dir / "p", std::string(kMagic) + tail);
  komp::TFile f;
  char magic[8];
  return f.Open(dir / "p", komp::TFile::Mode::Read) && f.Read(magic, 8) == 8 && ReadHeader(f, h);
}

TEST(Piece, HeaderReaderLimits) {
  TempDir dir;
  HeaderState h;
  EXPECT_FALSE(ReadAfterMagic(dir, "", h));                   // ends after the magic
  EXPECT_FALSE(ReadAfterMagic(dir, "250", h));                // fewer than 4 characters
  EXPECT_FALSE(ReadAfterMagic(dir, "0000" + std::string(28, '0'), h));  // length 0
  EXPECT_FALSE(ReadAfterMagic(dir, "401F" + std::string(8000, '0'), h));  // 8000
  EXPECT_FALSE(ReadAfterMagic(dir, "2000" + std::string(27, '0'), h));   // one short
  EXPECT_FALSE(ReadAfterMagic(dir, "1F00" + std::string(27, '0'), h));   // 31: no whole record

  // 7999 is accepted when the record and its names fill it.
  std::string big = "3F1F01000100" "1F1F" "0000000000000000" + std::string(7999 - 32, 'x');
  ASSERT_TRUE(ReadAfterMagic(dir, big, h));
  EXPECT_EQ(h.record.headerLength, 7999);
  EXPECT_EQ(h.targetName, std::string(7967, 'x'));

  // Name lengths beyond the header or below 0 do not read outside it.
  EXPECT_FALSE(ReadAfterMagic(dir, "22000100010003000000000000000000abc", h));
  EXPECT_FALSE(ReadAfterMagic(dir, "2300010001000300FFFF000000000000abc", h));
  EXPECT_TRUE(h.targetName.empty());
  // A length the names do not fill would move the body's start.
  EXPECT_FALSE(ReadAfterMagic(dir, "26000100010005000000000000000000abcdeZ", h));
  EXPECT_FALSE(ReadAfterMagic(dir, "3F1F0100010000000000000000000000" + std::string(7967, 'x'), h));

  // A NUL ends a name early.
  ASSERT_TRUE(ReadAfterMagic(dir, std::string("25000100010005000000000000000000ab\0cd", 37) + "body", h));
  EXPECT_EQ(h.targetName, "ab");
}

TEST(Piece, NameHelpers) {
  EXPECT_EQ(BareName("/data/a.bin"), "a.bin");
  EXPECT_EQ(BareName("C:\\Daten\\a.bin"), "a.bin");
  EXPECT_EQ(BareName("a.bin"), "a.bin");
  EXPECT_EQ(DirectoryOf("/data/x/a.bin"), "/data/x/");
  EXPECT_EQ(DirectoryOf("a.bin"), "");
  EXPECT_EQ(ResolvePath("/d/", "n.txt"), "/d/n.txt");
  EXPECT_EQ(ResolvePath("/d", "n.txt"), "/d/n.txt");
  EXPECT_EQ(ResolvePath("/d/", "/abs/n.txt"), "/abs/n.txt");
  EXPECT_EQ(ResolvePath("", "n.txt"), "n.txt");
  EXPECT_EQ(SafeTargetName("../../etc/passwd"), "passwd");
  EXPECT_EQ(SafeTargetName("a\\..\\b.bin"), "b.bin");
  EXPECT_EQ(SafeTargetName(".."), "");
  EXPECT_EQ(SafeTargetName("x/."), "");
  EXPECT_EQ(SafeTargetName("dir/"), "");
  EXPECT_EQ(ChainPieceName("Export1.txt", 12), "Export12.txt");
  EXPECT_EQ(ChainPieceName("Archiv1", 3), "Archiv3");
  EXPECT_EQ(ChainPieceName("d1.x/E.txt", 2), "d2.x/E.txt");
  EXPECT_EQ(ChainPieceName("Export.txt", 2), "");
}

}  // namespace
}  // namespace brivox
