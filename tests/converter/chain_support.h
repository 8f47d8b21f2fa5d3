// Real chains for the damage tests: mixed sources, pieces taken apart and put
// together again, token boundaries of encoder-made bodies, the command line.
#pragma once
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/cli.h"
#include "tests/converter/test_support.h"

namespace brivox::test {

// Text-like stretches, random binary and runs, in random order: every kind
// of token the encoder writes, and a code table with all 47 characters.
inline std::string MixedData(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  static const char* const kWords[] = {"der ", "Kette ", "Teil ", "und ", "\r\n", "Datei ", "0x1F, ",
                                       "gro\xDF ", "; ", "Brivox ", "\t", "ein "};
  std::string s;
  while (s.size() < size) {
    const size_t stretch = 64 + rng() % 2048;
    switch (rng() % 3) {
      case 0:
        for (size_t n = 0; n < stretch; n += 4) s += kWords[rng() % 12];
        break;
      case 1:
        for (size_t n = 0; n < stretch; ++n) s += char(rng());
        break;
      default:
        s += std::string(stretch / 4, char(rng()));
        break;
    }
  }
  s.resize(size);
  return s;
}

// A piece file taken apart; Join puts it together with the record as it
// stands, so that a test can make the lengths lie.
struct PieceParts {
  PieceHeader record;
  std::string target, first, next, body;

  static PieceParts Split(const std::string& bytes) {
    PieceParts p;
    p.record = DecodeRecord(bytes.data() + 8);
    size_t at = 8 + kRecordChars;
    p.target = bytes.substr(at, size_t(p.record.targetNameLength));
    at += p.target.size();
    p.first = bytes.substr(at, size_t(p.record.firstNameLength));
    at += p.first.size();
    p.next = bytes.substr(at, size_t(p.record.nextNameLength));
    at += p.next.size();
    p.body = bytes.substr(at);
    return p;
  }
  // The lengths made to fit the names, as the encoder writes them.
  void FitLengths() {
    record.targetNameLength = int16_t(target.size());
    record.firstNameLength = int16_t(first.size());
    record.nextNameLength = int16_t(next.size());
    record.headerLength = int16_t(kRecordChars + target.size() + first.size() + next.size());
  }
  std::string Join() const {
    return std::string(kMagic) + EncodeRecord(record) + target + first + next + body;
  }
  size_t BodyStart() const { return 8 + kRecordChars + target.size() + first.size() + next.size(); }
};

inline bool IsAlphabet(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ';
}
inline bool IsHexDigit(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// The offsets inside each body (0 and its length included) where an
// encoder-made token ends; code characters stay defined across pieces.
inline std::vector<std::vector<size_t>> TokenBoundaries(const std::vector<std::string>& bodies) {
  bool defined[256] = {};
  std::vector<std::vector<size_t>> all;
  for (const std::string& body : bodies) {
    std::vector<size_t> ends{0};
    size_t i = 0;
    while (i < body.size()) {
      const unsigned char c = static_cast<unsigned char>(body[i]);
      if (IsHexDigit(c)) {
        i += 2;
      } else if (defined[c]) {
        i += 1;
      } else {
        defined[c] = true;
        i += 3;
      }
      ends.push_back(i);
    }
    all.push_back(std::move(ends));
  }
  return all;
}

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline CliRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  CliRun r;
  r.status = RunCommandLine(args, out, err, false);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// A source exported into dir; the piece names of its chain in order.
struct Chain {
  std::string source;
  std::vector<std::string> names;
  std::vector<std::string> pieces;  // the bytes as exported
};

// dir ends with "/".
inline Chain MakeChain(const std::string& dir, const std::string& sourceName, const std::string& source,
                       const std::string& sizeKb, const std::string& exportName = "Export.txt") {
  Chain c;
  c.source = source;
  WriteFile(dir + sourceName, source);
  RecordingHost host;
  ExportSettings s;
  s.sourcePath = dir + sourceName;
  s.directory = dir;
  s.targetName = sourceName;
  s.exportName = exportName;
  if (!CheckSizeText(sizeKb, host, &s.limit) || !RunExport(s, host)) return c;
  std::string name = exportName;
  if (!Exists(dir + name)) name = SplitExportName(exportName).PieceName(1, 2);
  while (!name.empty()) {
    c.names.push_back(name);
    c.pieces.push_back(ReadFile(dir + name));
    name = PieceParts::Split(c.pieces.back()).next;
  }
  return c;
}

}  // namespace brivox::test
