// Import: chains picked at any piece, directories, code characters across pieces,
// inspection of a picked file, verification.
#include <gtest/gtest.h>

#include <random>

#include "tests/converter/test_support.h"

namespace brivox {
namespace {

using test::Exists;
using test::Piece;
using test::ReadFile;
using test::RecordingHost;
using test::TempDir;
using test::WriteFile;

std::string Mixed(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  for (size_t i = 0; i < n; ++i) s += char(rng() % 4 == 0 ? rng() : "etaoin "[rng() % 7]);
  return s;
}

// Any body, well-formed or not, decoded one character at a time by the rules;
// the bytes it gives and whether it ends between two tokens.
std::pair<std::string, bool> ReferenceDecode(const std::string& body) {
  const std::string codes = " GHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  int value[47];
  bool used[47] = {};
  bool pending = false, defining = false;
  int high = 0, current = 0;
  std::string out;
  for (unsigned char c : body) {
    const int nibble = c <= '9' ? c - '0' : c - 55;
    if (pending) {
      const char b = char(((high << 4) | nibble) & 0xFF);
      if (defining) {
        value[current] = uint8_t(b);
        used[current] = true;
        defining = false;
      }
      out += b;
      pending = false;
    } else if (defining) {
      high = nibble;
      pending = true;
    } else if (const size_t r = codes.find(char(c)); c != 0 && r != std::string::npos) {
      if (used[r]) {
        out += char(value[r]);
      } else {
        current = int(r);
        defining = true;
      }
    } else {
      high = nibble;
      pending = true;
    }
  }
  return {out, !pending && !defining};
}

// Encoder-like token streams with a given share of damage: stray characters
// that cut a pair, characters outside the alphabet, code characters defined
// late or twice.
std::string TokenSoup(std::mt19937& rng, size_t tokens, int damagePerMille) {
  const char* codes = " GHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const char* hex = "0123456789ABCDEF";
  const int codeCount = 1 + int(rng() % 47);
  std::string s;
  for (size_t t = 0; t < tokens; ++t) {
    if (int(rng() % 1000) < damagePerMille) {
      s += char(rng() % 3 ? rng() % 256 : uint8_t(codes[rng() % 47]));
    } else if (rng() % 3 == 0) {
      s += codes[rng() % codeCount];
    } else {
      s += hex[rng() % 16];
      s += hex[rng() % 16];
    }
  }
  return s;
}

TEST(Import, AnyBodyDecodesAsTheRulesSayInEveryLoop) {
  std::mt19937 rng(31);
  TempDir dir;
  for (bool vector : {true, false}) {
    const bool inUse = (UseCodecPath((vector) ? BestCodecPath() : CodecPath::Portable) != CodecPath::Portable);
    if (vector && !inUse) continue;  // this processor has the portable loop only
    for (int n = 0; n < 120; ++n) {
      static const size_t lengths[] = {1, 31, 63, 64, 65, 200, 999, 1000, 1001, 2999, 3001, 9000, 40000};
      const int damage = n % 4 == 0 ? 0 : n % 4 == 1 ? 1 : n % 4 == 2 ? 30 : 600;
      const std::string body = TokenSoup(rng, lengths[rng() % 13], damage);
      // One piece, or three with the cuts anywhere, inside tokens too.
      const bool chain = n % 2 == 1;
      size_t cut1 = body.size() / 3, cut2 = body.size() - body.size() / 5;
      if (chain && !body.empty()) {
        cut1 = rng() % body.size();
        cut2 = cut1 + rng() % (body.size() - cut1 + 1);
      }
      SCOPED_TRACE("vector " + std::to_string(vector) + " body " + std::to_string(n) + " length " +
                   std::to_string(body.size()) + " damage " + std::to_string(damage));
      if (chain) {
        WriteFile(dir / "D1", Piece(3, 1, "d.out", "D1", "D2", body.substr(0, cut1)));
        WriteFile(dir / "D2", Piece(3, 2, "d.out", "D1", "D3", body.substr(cut1, cut2 - cut1)));
        WriteFile(dir / "D3", Piece(3, 3, "d.out", "D1", "", body.substr(cut2)));
      } else {
        WriteFile(dir / "D1", Piece(1, 1, "d.out", "", "", body));
      }
      const auto [expected, whole] = ReferenceDecode(body);
      RecordingHost host;
      ASSERT_EQ(test::Import(dir / "D1", host), whole);
      ASSERT_EQ(ReadFile(dir / "d.out"), expected);
    }
  }
  UseCodecPath((true) ? BestCodecPath() : CodecPath::Portable);
}

TEST(Import, FromTheSecondOfThreePiecesInAnotherDirectory) {
  TempDir src, chain;
  const std::string data = Mixed(2000, 1);
  WriteFile(src / "daten.bin", data);
  RecordingHost host;
  ASSERT_TRUE(test::Export(src, "daten.bin", "Export.txt", "1", host));
  // Moved elsewhere; the process's current directory is neither.
  for (const char* n : {"Export1.txt", "Export2.txt", "Export3.txt"})
    std::filesystem::rename(src / n, chain / n);
  ASSERT_FALSE(Exists(src / "Export4.txt"));
  RecordingHost in;
  ASSERT_TRUE(test::Import(chain / "Export2.txt", in));
  EXPECT_EQ(ReadFile(chain / "daten.bin"), data);
  EXPECT_EQ(in.starts.size(), 3u);  // each piece once, from the first
  EXPECT_TRUE(in.messages.empty());
}

TEST(Import, CodeCharactersLiveAcrossPiecesAndLowerCaseAtoFAreCodes) {
  TempDir dir;
  // "a" and "f" are code characters: defined in piece 1, used bare in piece 3;
  // "Z" is first defined in piece 3.
  WriteFile(dir / "T1", Piece(3, 1, "out.bin", "T1", "T2", "a41aaf0A"));
  WriteFile(dir / "T2", Piece(3, 2, "out.bin", "T1", "T3", "42f"));
  WriteFile(dir / "T3", Piece(3, 3, "out.bin", "T1", "", "Z7EZaf"));
  RecordingHost host;
  ASSERT_TRUE(test::Import(dir / "T3", host)) << (host.messages.empty() ? "" : host.messages[0].first);
  EXPECT_EQ(ReadFile(dir / "out.bin"), "AAA\nB\n~~A\n");
}

TEST(Import, EmptyBodiesAndProgress) {
  TempDir dir;
  WriteFile(dir / "e.txt", Piece(1, 1, "leer.bin", "", "", ""));
  RecordingHost host;
  ASSERT_TRUE(test::Import(dir / "e.txt", host));
  EXPECT_TRUE(Exists(dir / "leer.bin"));
  EXPECT_EQ(ReadFile(dir / "leer.bin"), "");

  // 5500 body characters: blocks of 1000, 3000, 1500.
  std::string body;
  for (int i = 0; i < 2750; ++i) body += "3A";
  WriteFile(dir / "p.txt", Piece(1, 1, "p.bin", "", "", body));
  RecordingHost p;
  ASSERT_TRUE(test::Import(dir / "p.txt", p));
  EXPECT_EQ(p.starts, (std::vector<int64_t>{5500}));
  EXPECT_EQ(p.positions, (std::vector<int64_t>{1000, 2000, 3000, 4000, 5000, 5500}));
  EXPECT_EQ(ReadFile(dir / "p.bin"), std::string(2750, ':'));
}

TEST(Import, InspectingAPickedFile) {
  TempDir dir;
  WriteFile(dir / "five", "12345");
  WriteFile(dir / "piece", Piece(1, 1, "daten.bin", "", "", ""));
  WriteFile(dir / "bad", "Brivox01ZZ");
  RecordingHost host;
  Inspection five = InspectFile(dir / "five", host);
  EXPECT_EQ(five.kind, FileKind::Export);
  EXPECT_EQ(five.status, "");
  Inspection piece = InspectFile(dir / "piece", host);
  EXPECT_EQ(piece.kind, FileKind::Import);
  EXPECT_EQ(piece.status, "Import Zieldatei:daten.bin");
  EXPECT_EQ(piece.header.targetName, "daten.bin");
  EXPECT_TRUE(host.messages.empty());

  Inspection bad = InspectFile(dir / "bad", host);
  EXPECT_EQ(bad.kind, FileKind::WrongFormat);
  EXPECT_EQ(bad.status, "Falsche Datei");
  Inspection none = InspectFile(dir / "none", host);
  EXPECT_EQ(none.kind, FileKind::Unreadable);
  EXPECT_EQ(none.status, "Import/Export");
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0], (std::pair<std::string, std::string>{"Falsches Datenformat der Importdatei!!", "Achtung"}));
  EXPECT_EQ(host.messages[1], (std::pair<std::string, std::string>{"Datei konnte nicht ge\xF6" "ffnet werden!", "Achtung"}));
}

TEST(Import, MissingPieceAndVerify) {
  TempDir dir;
  const std::string data = Mixed(3000, 2);
  WriteFile(dir / "v.bin", data);
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "v.bin", "V.txt", "1", host));
  std::filesystem::remove(dir / "v.bin");

  RecordingHost check;
  Inspection in = InspectFile(dir / "V1.txt", check);
  const ImportResult ok = VerifyChain({dir / "V1.txt", dir.Dir(), in.header}, check);
  EXPECT_TRUE(ok.success);
  EXPECT_EQ(ok.bytes, data.size());
  EXPECT_FALSE(Exists(dir / "v.bin"));  // verifying writes nothing

  std::filesystem::remove(dir / "V2.txt");
  RecordingHost broken;
  EXPECT_FALSE(test::Import(dir / "V1.txt", broken));
  ASSERT_EQ(broken.messages.size(), 1u);
  EXPECT_EQ(broken.messages[0].first, "Datei:\"" + (dir / "V2.txt") + "\" konnte nicht ge\xF6" "ffnet werden!");
  // What piece 1 held stays written.
  EXPECT_EQ(ReadFile(dir / "v.bin"), data.substr(0, ReadFile(dir / "v.bin").size()));
  EXPECT_GT(ReadFile(dir / "v.bin").size(), 0u);
}

}  // namespace
}  // namespace brivox
