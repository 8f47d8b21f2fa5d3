// Import: chains picked at any piece, directories, code characters across pieces,
// inspection of a picked file, verification.
#include <gtest/gtest.h>

#include <random>

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

std::string Mixed(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  for (size_t i = 0; i < n; ++i) s += char(rng() % 4 == 0 ? rng() : "etaoin "[rng() % 7]);
  return s;
}

// Any body, well-formed or not, decoded one character at a time by the
// rules: the bytes before the first fault, the fault and where it is, and
// whether the body ends between two tokens.
struct Reference {
  std::string bytes;
  Decoder::Fault fault = Decoder::Fault::None;
  size_t at = 0;
  bool idle = true;
};
Reference ReferenceDecode(const std::string& body) {
  const std::string codes = " GHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const std::string hex = "0123456789ABCDEF";
  int value[47];
  bool used[47] = {};
  bool coded[256] = {};
  bool seen[256] = {};
  bool pending = false, defining = false;
  int high = 0, current = 0;
  Reference r;
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (c == '\r' || c == '\n') continue;
    const size_t digit = c ? hex.find(c) : std::string::npos;
    const size_t code = c ? codes.find(c) : std::string::npos;
    const auto fail = [&](Decoder::Fault f) {
      r.fault = f;
      r.at = i;
      return r;
    };
    if (digit == std::string::npos && code == std::string::npos) return fail(Decoder::Fault::Character);
    if (pending || defining) {
      if (digit == std::string::npos) return fail(Decoder::Fault::Token);
      if (!pending) {
        high = int(digit);
        pending = true;
        continue;
      }
      const int b = (high << 4) | int(digit);
      // A byte is defined at its first occurrence, and never written as a pair once coded.
      if (coded[b] || (defining && seen[b])) return fail(Decoder::Fault::Token);
      seen[b] = true;
      if (defining) {
        value[current] = b;
        used[current] = true;
        coded[b] = true;
        defining = false;
      }
      r.bytes += char(b);
      pending = false;
    } else if (digit != std::string::npos) {
      high = int(digit);
      pending = true;
    } else if (used[code]) {
      r.bytes += char(value[code]);
      seen[value[code]] = true;
    } else {
      current = int(code);
      defining = true;
    }
  }
  r.idle = !pending && !defining;
  return r;
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
  for (CodecPath path : {CodecPath::Portable, CodecPath::Avx2, CodecPath::Avx512}) {
    if (!CodecPathAvailable(path)) continue;
    UseCodecPath(path);
    for (int n = 0; n < 240; ++n) {
      static const size_t lengths[] = {1, 31, 63, 64, 65, 200, 999, 1000, 1001, 2999, 3001, 9000, 40000};
      const int damage = n % 4 == 0 ? 0 : n % 4 == 1 ? 1 : n % 4 == 2 ? 30 : 600;
      std::string body = TokenSoup(rng, lengths[rng() % 13], damage);
      if (n % 8 == 5)  // line breaks as a mail program adds them
        for (size_t at = 76; at < body.size(); at += 78) body.insert(at, "\r\n");
      SCOPED_TRACE(std::string(CodecPathName(path)) + " body " + std::to_string(n) + " length " +
                   std::to_string(body.size()) + " damage " + std::to_string(damage));
      const Reference expected = ReferenceDecode(body);
      // Fed in pieces cut anywhere, inside tokens too: the state carries over.
      Decoder d;
      std::string bytes;
      std::vector<uint8_t> out(body.size() + Decoder::kOutputSlack);
      size_t at = 0;
      Decoder::Result r;
      while (at < body.size() && r.fault == Decoder::Fault::None) {
        const size_t n = std::min(body.size() - at, size_t(1 + rng() % 5000));
        r = d.Decode(reinterpret_cast<const uint8_t*>(body.data() + at), n, out.data());
        bytes.append(reinterpret_cast<const char*>(out.data()), r.written);
        r.at += at;
        at += n;
      }
      ASSERT_EQ(r.fault, expected.fault);
      ASSERT_EQ(bytes, expected.bytes);
      if (expected.fault != Decoder::Fault::None) {
        ASSERT_EQ(r.at, expected.at);
        ASSERT_EQ(r.character, uint8_t(body[expected.at]));
      } else {
        ASSERT_EQ(d.Idle(), expected.idle);
      }
    }
  }
  UseCodecPath(BestCodecPath());
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
  // 30 byte values with falling counts take the space, "G"-"Z" and "a"-"i";
  // each is defined in piece 1 and stands alone in the pieces after it.
  std::string data;
  for (int round = 0; round < 200; ++round)
    for (int v = 0; v < 30; ++v)
      if (round < 200 - v) data += char(0x80 + v);
  TempDir dir;
  WriteFile(dir / "c.bin", data);
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "c.bin", "T.txt", "1", host));
  std::filesystem::remove(dir / "c.bin");
  const std::string third = ReadFile(dir / "T3.txt");
  const std::string body = third.substr(8 + size_t(DecodeRecord(third.data() + 8).headerLength));
  for (char c : {'a', 'b', 'c', 'd', 'e', 'f'}) EXPECT_NE(body.find(c), std::string::npos) << c;
  EXPECT_EQ(body.find_first_of("0123456789ABCDEF"), std::string::npos);  // no hex pair left
  ASSERT_TRUE(test::Import(dir / "T3.txt", host));
  EXPECT_EQ(ReadFile(dir / "c.bin"), data);
  EXPECT_TRUE(host.messages.empty());

  // The decoder alone: "a" is the code character of rank 21, never a digit.
  Decoder d;
  uint8_t out[8 + Decoder::kOutputSlack];
  const std::string text = "a41aa";
  const Decoder::Result r = d.Decode(reinterpret_cast<const uint8_t*>(text.data()), text.size(), out);
  EXPECT_EQ(r.fault, Decoder::Fault::None);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), r.written), "AAA");
  EXPECT_EQ(d.CodeValue(21), 0x41);
}

TEST(Import, EmptyBodiesAndProgress) {
  TempDir dir;
  WriteFile(dir / "e.txt", Piece(1, 1, "leer.bin", "", "", ""));
  RecordingHost host;
  ASSERT_TRUE(test::Import(dir / "e.txt", host));
  EXPECT_TRUE(Exists(dir / "leer.bin"));
  EXPECT_EQ(ReadFile(dir / "leer.bin"), "");

  // 5500 body characters: blocks of 1000, 3000, 1500.
  const std::string body = " 3A" + std::string(5497, ' ');
  WriteFile(dir / "p.txt", Piece(1, 1, "p.bin", "", "", body));
  RecordingHost p;
  ASSERT_TRUE(test::Import(dir / "p.txt", p)) << p.messages.front().first;
  EXPECT_EQ(p.starts, (std::vector<int64_t>{5500}));
  EXPECT_EQ(p.positions, (std::vector<int64_t>{1000, 2000, 3000, 4000, 5000, 5500}));
  EXPECT_EQ(ReadFile(dir / "p.bin"), std::string(5498, ':'));
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
  // Nothing half written: no target, no temporary file.
  for (const std::string& name : ListDir(dir.Dir())) EXPECT_EQ(name.front(), 'V') << name;
}

}  // namespace
}  // namespace brivox
