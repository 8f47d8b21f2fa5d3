// Export: code table, planning, piece names, body coding, progress and messages.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/converter/test_support.h"

namespace brivox {
namespace {

using test::Exists;
using test::ListDir;
using test::ReadFile;
using test::RecordingHost;
using test::TempDir;
using test::WriteFile;

std::string Body(const std::string& piece) {
  const PieceHeader r = DecodeRecord(piece.data() + 8);
  return piece.substr(8 + size_t(r.headerLength));
}

std::string Distinct(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += char(i % 256);
  return s;
}

TEST(Export, CodeTableRanksByCountThenByteValue) {
  uint64_t counts[256] = {};
  counts[0x42] = 3;
  counts[0x41] = 3;  // tie: the smaller byte value ranks first
  counts[0x07] = 9;
  counts[0x08] = 2;  // too rare for a code character
  CodeTable t;
  t.SetCounts(counts);
  t.Assign();
  EXPECT_EQ(t[0].value, 0x07);
  EXPECT_EQ(t[0].code, ' ');
  EXPECT_EQ(t[1].value, 0x41);
  EXPECT_EQ(t[1].code, 'G');
  EXPECT_EQ(t[2].value, 0x42);
  EXPECT_EQ(t[2].code, 'H');
  EXPECT_EQ(t[21].code, 'a');
  EXPECT_EQ(t[46].code, 'z');
  EXPECT_EQ(t[47].code, 0);
  EXPECT_EQ(t.Lookup(0x42), &t[2]);
  EXPECT_EQ(t.Lookup(0x08), nullptr);
  EXPECT_EQ(t.Lookup(0x00), nullptr);
}

TEST(Export, TiesAndTheMostFrequentByteInTheBody) {
  TempDir dir;
  WriteFile(dir / "t.bin", "BBBAAAxAx");
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "t.bin", "", "", host));
  // A (4 times) gets the space, B (3) gets G, x (2) stays a hex pair.
  EXPECT_EQ(Body(ReadFile(dir / "Export.txt")), "G42GG 41  78 78");
}

TEST(Export, AllDistinctBytesAreTwoCharactersEach) {
  TempDir dir;
  WriteFile(dir / "d.bin", Distinct(512));
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "d.bin", "", "", host));
  const std::string body = Body(ReadFile(dir / "Export.txt"));
  ASSERT_EQ(body.size(), 1024u);
  EXPECT_EQ(body.substr(0, 8), "00010203");
  EXPECT_EQ(body.substr(508, 8), "FEFF0001");
}

TEST(Export, EmptySourceGivesAnEmptyBody) {
  TempDir dir;
  WriteFile(dir / "leer", "");
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "leer", "", "1", host));
  EXPECT_EQ(ReadFile(dir / "Export.txt"), "Brivox01" "24000100010004000000000000000000" "leer");
}

TEST(Export, PlanningAroundTheLimit) {
  // Estimate 1024 fits 1 KB; 1025 with a 10-character export name needs 2.
  EXPECT_EQ(PlanPieceCount(1024, 1024, 10, 900), 1u);
  EXPECT_EQ(PlanPieceCount(1024, 1025, 10, 900), 2u);
  EXPECT_EQ(PlanPieceCount(1024, 2037, 10, 900), 2u);  // 2037 + 11 = 2 * 1024
  EXPECT_EQ(PlanPieceCount(1024, 2038, 10, 900), 3u);
  EXPECT_EQ(PlanPieceCount(0, 1u << 30, 10, 1u << 31), 1u);  // no limit

  // The same through real files: 493 distinct bytes give E = 986 + 32 + T.
  TempDir dir;
  WriteFile(dir / "ab.bin", Distinct(493));   // T = 6: E = 1024
  WriteFile(dir / "abc.bin", Distinct(493));  // T = 7: E = 1025
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "ab.bin", "Export.txt", "1", host));
  EXPECT_TRUE(Exists(dir / "Export.txt"));
  EXPECT_FALSE(Exists(dir / "Export1.txt"));
  ASSERT_TRUE(test::Export(dir, "abc.bin", "Export.txt", "1", host));
  // The whole body fits piece 1; piece 2 is still written, with an empty body.
  EXPECT_EQ(Body(ReadFile(dir / "Export1.txt")).size(), 986u);
  EXPECT_EQ(ReadFile(dir / "Export2.txt"),
            "Brivox01" "32000200020007000B00000000000000" "abc.binExport1.txt");
  EXPECT_FALSE(Exists(dir / "Export3.txt"));
}

TEST(Export, PieceNames) {
  EXPECT_EQ(SplitExportName("Export.txt").PieceName(1, 1), "Export.txt");
  EXPECT_EQ(SplitExportName("Export.txt").PieceName(10, 12), "Export10.txt");
  EXPECT_EQ(SplitExportName("Archiv").PieceName(2, 3), "Archiv2");
  EXPECT_EQ(SplitExportName("a.b.c").PieceName(2, 3), "a2.b.c");
  EXPECT_EQ(SplitExportName("d.x/Export.txt").PieceName(1, 2), "d1.x/Export.txt");

  TempDir dir;
  WriteFile(dir / "q.bin", Distinct(1500));
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "q.bin", "Archiv", "1", host));
  EXPECT_TRUE(Exists(dir / "Archiv1"));
  EXPECT_TRUE(Exists(dir / "Archiv3"));
  // The empty export name is "Export.txt".
  ASSERT_TRUE(test::Export(dir, "q.bin", "", "  ", host));
  EXPECT_TRUE(Exists(dir / "Export.txt"));
  EXPECT_TRUE(host.messages.empty());
}

TEST(Export, SizeTextsThatMeanNoLimit) {
  for (const char* text : {"", "0", "-5", " -12 ", "   "}) {
    uint64_t limit = 99;
    EXPECT_EQ(ParseSizeText(text, limit), SizeText::Ok) << text;
    EXPECT_EQ(limit, kNoLimit) << text;
  }
  uint64_t limit = 0;
  EXPECT_EQ(ParseSizeText(" 12 ", limit), SizeText::Ok);
  EXPECT_EQ(limit, 12u * 1024);
  EXPECT_EQ(ParseSizeText("+3", limit), SizeText::Ok);
  EXPECT_EQ(limit, 3u * 1024);
}

TEST(Export, BodiesStopAtTheLimitBetweenTokens) {
  TempDir dir;
  std::string source;
  for (int i = 0; i < 5000; ++i) source += char(i % 3 == 0 ? 'x' : i % 251);
  WriteFile(dir / "s.bin", source);
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "s.bin", "P.txt", "1", host));
  size_t total = 0;
  for (int i = 1; Exists(dir / ("P" + std::to_string(i) + ".txt")); ++i) {
    const std::string body = Body(ReadFile(dir / ("P" + std::to_string(i) + ".txt")));
    EXPECT_LE(body.size(), 1024u + 2);
    total += body.size();
  }
  CodeTable t;
  uint64_t counts[256] = {};
  for (unsigned char c : source) ++counts[c];
  t.SetCounts(counts);
  t.Assign();
  EXPECT_EQ(total, t.BodyLength());
}

TEST(Export, ProgressAtEveryThousandAndEachBlockEnd) {
  TempDir dir;
  WriteFile(dir / "p.bin", Distinct(5500));  // blocks of 1000, 3000 and 1500
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "p.bin", "", "", host));
  // Counting is the first half of the bar, encoding the second.
  EXPECT_EQ(host.starts, (std::vector<int64_t>{11000}));
  EXPECT_EQ(host.positions, (std::vector<int64_t>{6500, 7500, 8500, 9500, 10500, 11000}));
  EXPECT_EQ(host.loopRuns, 6);

  RecordingHost small;
  WriteFile(dir / "s.bin", Distinct(2500));  // one block: the whole source
  ASSERT_TRUE(test::Export(dir, "s.bin", "", "", small));
  EXPECT_EQ(small.positions, (std::vector<int64_t>{3500, 4500, 5000}));

  // A large source moves the bar while it is counted, too.
  WriteFile(dir / "l.bin", std::string(1 << 20, 'l'));
  RecordingHost large;
  ASSERT_TRUE(test::Export(dir, "l.bin", "", "", large));
  ASSERT_FALSE(large.positions.empty());
  EXPECT_LT(large.positions.front(), 1 << 20);
  EXPECT_TRUE(std::is_sorted(large.positions.begin(), large.positions.end()));
  EXPECT_EQ(large.positions.back(), 2 << 20);
}

TEST(Export, ClosingWindowStopsAtOnce) {
  TempDir dir;
  WriteFile(dir / "big.bin", Distinct(20000));
  RecordingHost host;
  host.stopAtLoopRun = 3;
  EXPECT_FALSE(test::Export(dir, "big.bin", "E.txt", "1", host));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.loopRuns, 3);
  // Nothing half written is left: no piece, no temporary file.
  EXPECT_EQ(ListDir(dir.Dir()), std::vector<std::string>{"big.bin"});
}

TEST(Export, MessagesForFilesThatCannotBeOpenedOrCreated) {
  TempDir dir;
  RecordingHost host;
  EXPECT_FALSE(test::Export(dir, "fehlt.bin", "", "", host));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first, "Datei:\"" + (dir / "fehlt.bin") + "\" konnte nicht ge\xF6" "ffnet werden!");
  EXPECT_EQ(host.messages[0].second, "Achtung");
  EXPECT_EQ(test::ListDir(dir.Dir()).size(), 0u);

  WriteFile(dir / "a.bin", "abc");
  RecordingHost host2;
  EXPECT_FALSE(test::Export(dir, "a.bin", "nodir/E.txt", "", host2));
  ASSERT_EQ(host2.messages.size(), 1u);
  EXPECT_EQ(host2.messages[0], (std::pair<std::string, std::string>{"Zieldatei konnte nicht erstellt werden!", "Achtung"}));

  RecordingHost closing;
  ShowClosingMessage(closing, true);
  ShowClosingMessage(closing, false);
  EXPECT_EQ(closing.messages[0], (std::pair<std::string, std::string>{"Konvertierung erfolgreich abgeschlossen", "Fertig"}));
  EXPECT_EQ(closing.messages[1], (std::pair<std::string, std::string>{"Fehler bei der Konvertierung", "Fertig"}));
}

}  // namespace
}  // namespace brivox
