// Codec: every loop this processor has (portable, AVX2, AVX-512) gives the
// portable loop's characters, bytes, faults and fault places, whole or in chunks.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/core/codec.h"

namespace brivox {
namespace {

using Bytes = std::vector<uint8_t>;

class Codec : public ::testing::Test {
 protected:
  void TearDown() override { UseCodecPath(BestCodecPath()); }

  // The vector paths this processor has; the portable one is the reference.
  static std::vector<CodecPath> VectorPaths() {
    std::vector<CodecPath> paths;
    for (CodecPath p : {CodecPath::Avx2, CodecPath::Avx512})
      if (CodecPathAvailable(p)) paths.push_back(p);
    return paths;
  }
};

// Cut points for a length: none, or random ones, empty chunks included.
std::vector<size_t> Cuts(std::mt19937& rng, size_t length, bool chunked) {
  std::vector<size_t> cuts;
  if (chunked)
    for (size_t at = rng() % 100; at < length; at += rng() % 150) cuts.push_back(at);
  cuts.push_back(length);
  return cuts;
}

std::string Encode(CodecPath path, const Bytes& data, const std::vector<size_t>& cuts) {
  EXPECT_EQ(UseCodecPath(path), path);
  uint64_t counts[256] = {};
  for (uint8_t b : data) ++counts[b];
  CodeTable table;
  table.SetCounts(counts);
  table.Assign();
  Encoder encoder(table);
  std::string out(3 * data.size() + Encoder::kOutputSlack, '\0');
  size_t from = 0, o = 0;
  for (size_t to : cuts) {
    o += encoder.Encode(data.data() + from, to - from, out.data() + o);
    from = to;
  }
  out.resize(o);
  return out;
}

// What a decode gives: the bytes, and the fault with its place in the whole body.
struct Decoded {
  Bytes bytes;
  Decoder::Fault fault = Decoder::Fault::None;
  size_t at = 0;
  uint8_t character = 0;
  bool idle = true;
  uint64_t characters = 0;
  int lastToken = 0;
  bool operator==(const Decoded&) const = default;
};

Decoded Decode(CodecPath path, const std::string& body, const std::vector<size_t>& cuts) {
  EXPECT_EQ(UseCodecPath(path), path);
  Decoder decoder;
  Decoded d;
  std::vector<uint8_t> out(body.size() + Decoder::kOutputSlack);
  size_t from = 0, o = 0;
  for (size_t to : cuts) {
    const auto r =
        decoder.Decode(reinterpret_cast<const uint8_t*>(body.data()) + from, to - from, out.data() + o);
    o += r.written;
    if (r.fault != Decoder::Fault::None) {
      d.fault = r.fault;
      d.at = from + r.at;
      d.character = r.character;
      break;
    }
    from = to;
  }
  d.bytes.assign(out.begin(), out.begin() + std::ptrdiff_t(o));
  d.idle = decoder.Idle();
  d.characters = decoder.Characters();
  d.lastToken = decoder.LastTokenLength();
  return d;
}

// Sources the encoder sees: every byte, runs, text-like and uniform data, and
// lengths around the 32-byte and 64-character blocks.
std::vector<Bytes> Sources(std::mt19937& rng) {
  std::vector<Bytes> sources;
  Bytes all;
  for (int round = 0; round < 3; ++round)
    for (int v = 0; v < 256; ++v) all.push_back(uint8_t(round == 1 ? 255 - v : v));
  sources.push_back(all);
  Bytes runs;
  for (int v : {0, int('e'), 255, 0x41, 7})
    runs.insert(runs.end(), 40 + rng() % 70, uint8_t(v));
  sources.push_back(runs);
  for (size_t length : std::vector<size_t>{0, 1, 31, 32, 33, 63, 64, 65, 95, 96, 97, 127, 128, 129, 1000, 20000}) {
    Bytes uniform(length), text(length);
    for (auto& b : uniform) b = uint8_t(rng());
    for (auto& b : text) b = uint8_t(rng() % 5 == 0 ? rng() : "etaoin shrdlu\n"[rng() % 14]);
    sources.push_back(uniform);
    sources.push_back(text);
  }
  // Plain bytes with a new frequent byte first seen at every place of a block.
  for (size_t at = 0; at < 70; ++at) {
    Bytes late(200);
    for (auto& b : late) b = uint8_t(0x80 + rng() % 100);
    for (size_t k = at; k < late.size(); k += 9) late[k] = 'q';
    sources.push_back(late);
  }
  return sources;
}

TEST_F(Codec, EncoderWritesTheSameCharactersOnEveryPath) {
  std::mt19937 rng(7);
  const auto sources = Sources(rng);
  for (size_t n = 0; n < sources.size(); ++n) {
    for (bool chunked : {false, true}) {
      const auto cuts = Cuts(rng, sources[n].size(), chunked);
      const std::string expected = Encode(CodecPath::Portable, sources[n], cuts);
      for (CodecPath path : VectorPaths()) {
        SCOPED_TRACE(std::string(CodecPathName(path)) + " source " + std::to_string(n) +
                     (chunked ? " chunked" : ""));
        EXPECT_EQ(Encode(path, sources[n], cuts), expected);
      }
      // And the body decodes back to the source on every path.
      for (CodecPath path : {CodecPath::Portable, CodecPath::Avx2, CodecPath::Avx512}) {
        if (!CodecPathAvailable(path)) continue;
        const Decoded d = Decode(path, expected, Cuts(rng, expected.size(), chunked));
        EXPECT_EQ(d.fault, Decoder::Fault::None) << CodecPathName(path) << " source " << n;
        EXPECT_EQ(d.bytes, sources[n]) << CodecPathName(path) << " source " << n;
        EXPECT_TRUE(d.idle);
      }
    }
  }
}

// Bodies as the encoder writes them, then damaged in one of the ways a
// decoder must find: line breaks (not faults), characters outside the
// alphabet, an odd hex run, a hex pair of a coded byte, a code character
// without its hex pair, a pair cut by a code character.
std::string Damaged(std::mt19937& rng, std::string body, int kind) {
  if (body.empty()) return body;
  const size_t at = rng() % body.size();
  switch (kind) {
    case 0: {
      for (int k = 0; k < 5; ++k) body.insert(rng() % (body.size() + 1), rng() % 2 ? "\r\n" : "\n");
      break;
    }
    case 1: {
      static const char outside[] = {'@', '`', '[', '{', '~', '\0', '\t', '/', ':', char(0x80), char(0xC7),
                                     char(0xFF)};
      body[at] = outside[rng() % sizeof outside];
      break;
    }
    case 2: body.erase(at, 1); break;
    case 3: {
      // The pair of the byte behind the first defined code character.
      const size_t code = body.find_first_not_of("0123456789ABCDEF");
      if (code != std::string::npos && code + 3 <= body.size())
        body.insert(code + 3 + rng() % (body.size() - code - 2), body.substr(code + 1, 2));
      break;
    }
    case 4: body.insert(at, 1, "GHaz "[rng() % 5]); break;
    default: body[at] = "GZaz "[rng() % 5]; break;
  }
  return body;
}

TEST_F(Codec, DecoderGivesTheSameBytesAndFaultsOnEveryPath) {
  std::mt19937 rng(11);
  const auto sources = Sources(rng);
  int faults = 0, cases = 0;
  for (size_t n = 0; n < sources.size(); ++n) {
    const std::string body = Encode(CodecPath::Portable, sources[n], {sources[n].size()});
    for (int kind = -1; kind < 6; ++kind) {
      const std::string damaged = kind < 0 ? body : Damaged(rng, body, kind);
      for (bool chunked : {false, true}) {
        const auto cuts = Cuts(rng, damaged.size(), chunked);
        const Decoded expected = Decode(CodecPath::Portable, damaged, cuts);
        faults += expected.fault != Decoder::Fault::None;
        ++cases;
        for (CodecPath path : VectorPaths()) {
          SCOPED_TRACE(std::string(CodecPathName(path)) + " source " + std::to_string(n) + " damage " +
                       std::to_string(kind) + (chunked ? " chunked" : ""));
          const Decoded d = Decode(path, damaged, cuts);
          EXPECT_EQ(d.fault, expected.fault);
          EXPECT_EQ(d.at, expected.at);
          EXPECT_EQ(d.bytes, expected.bytes);
          EXPECT_TRUE(d == expected);
        }
      }
    }
  }
  // The damage really reaches the decoder's fault paths.
  EXPECT_GT(faults, cases / 3);

  // A code character, or the pair of a coded byte, at every place of the
  // first blocks: so also across the seams between the vector loops' steps.
  Bytes text(3000);
  for (auto& b : text) b = uint8_t(rng() % 4 == 0 ? rng() : "etaoin shrdlu"[rng() % 13]);
  const std::string body = Encode(CodecPath::Portable, text, {text.size()});
  const size_t code = body.find_first_not_of("0123456789ABCDEF");
  ASSERT_NE(code, std::string::npos);
  const std::string codedPair = body.substr(code + 1, 2);
  // And in a body that is clean but for it: "G" stands for 0x41, so after a
  // run of "G" a half pair followed by "G", or the pair "41", comes at
  // every place of a step.
  for (size_t run = 0; run < 140; ++run) {
    for (const char* damage : {"0G", "41"}) {
      const std::string damaged = "G41" + std::string(61 + run, 'G') + damage + std::string(80, '0');
      const Decoded expected = Decode(CodecPath::Portable, damaged, {damaged.size()});
      EXPECT_EQ(expected.fault, Decoder::Fault::Token);
      for (CodecPath path : VectorPaths())
        EXPECT_TRUE(Decode(path, damaged, {damaged.size()}) == expected)
            << CodecPathName(path) << " " << damage << " after " << run;
    }
  }
  for (size_t at = code + 3; at < code + 600; ++at) {
    for (const std::string& insert : {std::string(1, body[code]), codedPair}) {
      std::string damaged = body;
      damaged.insert(at, insert);
      const Decoded expected = Decode(CodecPath::Portable, damaged, {damaged.size()});
      for (CodecPath path : VectorPaths()) {
        SCOPED_TRACE(std::string(CodecPathName(path)) + " \"" + insert + "\" at " + std::to_string(at));
        EXPECT_TRUE(Decode(path, damaged, {damaged.size()}) == expected);
      }
    }
  }
}

// Characters drawn from the alphabet and around it, as a fuzzer would: most
// bodies fail somewhere, at every kind of place in a block.
TEST_F(Codec, DecoderAgreesOnRandomCharacters) {
  std::mt19937 rng(23);
  const std::string alphabet = "0123456789ABCDEF GHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  for (int n = 0; n < 3000; ++n) {
    std::string body;
    if (n % 3 != 0) {
      // Most code characters defined first, to distinct bytes, so that later
      // blocks can be clean.
      Bytes bytes(256);
      for (int v = 0; v < 256; ++v) bytes[size_t(v)] = uint8_t(v);
      std::shuffle(bytes.begin(), bytes.end(), rng);
      for (int rank = 0; rank < 47; ++rank) {
        if (rng() % 8 == 0) continue;
        body += alphabet[16 + size_t(rank)];
        body += alphabet[bytes[size_t(rank)] >> 4];
        body += alphabet[bytes[size_t(rank)] & 15];
      }
    }
    const size_t length = body.size() + rng() % 300;
    const int hexShare = int(rng() % 100);
    while (body.size() < length) {
      const unsigned r = rng() % 1000;
      if (r < 2) body += char(rng());
      else if (int(r % 100) < hexShare) body += alphabet[rng() % 16];
      else body += alphabet[16 + rng() % 47];
    }
    const auto cuts = Cuts(rng, body.size(), n % 2 == 1);
    const Decoded expected = Decode(CodecPath::Portable, body, cuts);
    for (CodecPath path : VectorPaths()) {
      SCOPED_TRACE(std::string(CodecPathName(path)) + " body " + body);
      const Decoded d = Decode(path, body, cuts);
      EXPECT_TRUE(d == expected) << "fault " << int(d.fault) << " at " << d.at << ", expected "
                                 << int(expected.fault) << " at " << expected.at;
    }
  }
}

}  // namespace
}  // namespace brivox
