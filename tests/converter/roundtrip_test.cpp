// Several thousand generated files of every kind and size limit: the pieces
// hold exactly the tokens a plain reading of the format gives, and every
// file comes back byte for byte from a piece picked at random.
#include <gtest/gtest.h>

#include <random>

#include "tests/converter/test_support.h"

namespace brivox {
namespace {

using test::ReadFile;
using test::RecordingHost;
using test::TempDir;
using test::WriteFile;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kFiles = 600;
#else
constexpr int kFiles = 3000;
#endif

// The body of a whole export, written the slow and obvious way: count, a
// bubble sort that exchanges neighbours, the 47-rank walk for every byte.
std::string ReferenceBody(const std::string& data) {
  struct E {
    int value;
    uint64_t count;
    bool used;
  } e[256];
  for (int v = 0; v < 256; ++v) e[v] = {v, 0, false};
  for (unsigned char c : data) ++e[c].count;
  for (int i = 1; i < 256; ++i)
    for (int j = i; j > 0 && e[j - 1].count < e[j].count; --j) std::swap(e[j - 1], e[j]);
  const char* codes = " GHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const char* hex = "0123456789ABCDEF";
  std::string body;
  for (unsigned char c : data) {
    int found = -1;
    for (int r = 0; r < 47 && e[r].count >= 3; ++r)
      if (e[r].value == c) found = r;
    if (found >= 0) {
      body += codes[found];
      if (e[found].used) continue;
      e[found].used = true;
    }
    body += hex[c >> 4];
    body += hex[c & 15];
  }
  return body;
}

std::string Generate(std::mt19937_64& rng, size_t size, int kind) {
  std::string s(size, '\0');
  switch (kind) {
    case 0:  // uniform
      for (auto& c : s) c = char(rng());
      break;
    case 1: {  // skewed: a geometric spread over few values
      std::geometric_distribution<int> g(0.08);
      for (auto& c : s) c = char(g(rng));
      break;
    }
    case 2: {  // text-like
      const char* words[] = {"der ", "Datei ", "und ", "Konvertierung ", "\r\n", "42 ", "\xE4", "Brivox01"};
      s.clear();
      while (s.size() < size) s += words[rng() % 8];
      s.resize(size);
      break;
    }
    case 3:  // all distinct as far as possible: every count at most 2
      for (size_t i = 0; i < size; ++i) s[i] = char((i * 97 + 13) % 256);
      if (size > 512) s = s.substr(0, 512);
      break;
    default:  // one value, or two: long runs of code characters
      for (auto& c : s) c = rng() % 16 ? 'a' : 'G';
      break;
  }
  return s;
}

TEST(RoundTrip, GeneratedFilesComeBackByteForByte) {
  std::mt19937_64 rng(0xB21F0C5);
  const char* limits[] = {"", "0", "1", "2", "3", "5", "16", "64", "-1"};
  int chains = 0;
  for (int n = 0; n < kFiles; ++n) {
    const int band = int(rng() % 100);
    const size_t size = band < 70 ? rng() % 4096 : band < 97 ? rng() % 65536 : rng() % 400000;
    const int kind = int(rng() % 5);
    const std::string data = Generate(rng, size, kind);
    const std::string limit = limits[rng() % 9];
    SCOPED_TRACE("file " + std::to_string(n) + " size " + std::to_string(data.size()) + " kind " +
                 std::to_string(kind) + " limit '" + limit + "'");

    // Every other file through the portable loops, where the vector ones exist.
    UseCodecPath((n % 2 == 0) ? BestCodecPath() : CodecPath::Portable);
    TempDir dir;
    WriteFile(dir / "src.bin", data);
    RecordingHost host;
    ASSERT_TRUE(test::Export(dir, "src.bin", n % 2 ? "Teil.txt" : "", limit, host));
    std::filesystem::remove(dir / "src.bin");

    // Read the chain back as written.
    Inspection first = InspectFile(dir / (n % 2 ? "Teil" : "Export") + std::string(".txt"), host);
    std::vector<std::string> pieces;
    if (first.kind != FileKind::Import) {
      for (int i = 1;; ++i) {
        const std::string p = dir / ((n % 2 ? "Teil" : "Export") + std::to_string(i) + ".txt");
        if (!test::Exists(p)) break;
        pieces.push_back(p);
      }
    } else {
      pieces.push_back(dir / (n % 2 ? "Teil.txt" : "Export.txt"));
    }
    ASSERT_FALSE(pieces.empty());
    std::string bodies;
    uint64_t limitChars = 0;
    ParseSizeText(limit, limitChars);
    for (const std::string& p : pieces) {
      const std::string piece = ReadFile(p);
      const PieceHeader r = DecodeRecord(piece.data() + 8);
      ASSERT_EQ(r.pieceCount, int16_t(pieces.size()));
      const std::string body = piece.substr(8 + size_t(r.headerLength));
      if (limitChars != kNoLimit) {
        ASSERT_LE(body.size(), limitChars + 2);
      }
      bodies += body;
    }
    if (data.size() <= 20000) {
      ASSERT_EQ(bodies, ReferenceBody(data));
    }
    chains += pieces.size() > 1;

    RecordingHost in;
    ASSERT_TRUE(test::Import(pieces[rng() % pieces.size()], in));
    ASSERT_EQ(ReadFile(dir / "src.bin"), data);
    ASSERT_TRUE(in.messages.empty());
  }
  UseCodecPath((true) ? BestCodecPath() : CodecPath::Portable);
  EXPECT_GT(chains, kFiles / 5);  // the limits really split files
}

}  // namespace
}  // namespace brivox
