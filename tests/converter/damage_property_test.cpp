// Thousands of real chains, each damaged one way at random: import and verify
// give back exactly the source, or fail with a warning and keep an older
// target. A wrong file counts as a fault unless the damage is of a kind no
// reader can see (an alphabet character replaced by another, the last
// non-empty piece cut between two tokens) or the damaged chain is itself
// byte for byte what export writes for the file it decodes to.
//
// BRIVOX_DAMAGE_SOURCES scales the run (sources, 8 damaged chains each);
// a fault prints the source and variant that reproduce it.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <map>

#include "framework/cp1252.h"
#include "tests/converter/chain_support.h"

namespace brivox {
namespace {

using test::Chain;
using test::Cli;
using test::CliRun;
using test::PieceParts;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kDefaultSources = 120;
#else
constexpr int kDefaultSources = 600;
#endif
constexpr int kVariants = 8;

const std::string kSentinel = "older target\n";

// A wrong file from an undetectable kind of damage is counted apart when
// the damaged chain is no export of it: a stricter reader could see those.
enum class Result {
  Exact,
  Refused,
  OtherChain,
  UndetectableReplace,
  UndetectableReplaceNoChain,
  UndetectableCut,
  UndetectableCutNoChain,
  Fault
};
constexpr int kResults = 8;
const char* const kResultNames[kResults] = {"exact",   "refused", "chain of other", "replaced",
                                            "repl. no chain", "last cut", "cut no chain", "FAULT"};

struct Tally {
  std::map<std::string, std::array<int, kResults>> byClass;
  void Add(const std::string& cls, Result r) { ++byClass[cls][size_t(r)]; }
};

// One damaged chain: what was done, and what the damage may lead to.
struct Damaged {
  std::string cls;
  std::string what;       // to reproduce by reading
  size_t picked = 0;      // piece to pick
  bool mustBeExact = false;
  bool undetectableReplace = false;
  bool undetectableCut = false;
  std::string exactWarning;  // when set, the run must fail with exactly this
  std::vector<std::pair<size_t, std::string>> writes;  // piece index, new bytes
  std::vector<size_t> removed;
};

class Bench {
 public:
  Bench(const std::string& dir, const Chain& chain, const std::string& kb) : dir_(dir), chain_(chain), kb_(kb) {
    for (const std::string& p : chain.pieces) bodies_.push_back(PieceParts::Split(p).body);
    bounds_ = test::TokenBoundaries(bodies_);
    lastNonEmpty_ = 0;
    for (size_t i = 0; i < bodies_.size(); ++i)
      if (!bodies_[i].empty()) lastNonEmpty_ = i;
  }

  Damaged Make(std::mt19937& rng, const Chain& foreign);
  // Runs import and verify on the damaged chain and puts the chain back.
  Result Run(const Damaged& d, std::string* why);

 private:
  size_t Count() const { return chain_.pieces.size(); }
  size_t Any(std::mt19937& rng) const { return rng() % Count(); }
  std::string Path(size_t i) const { return dir_ + chain_.names[i]; }
  bool IsBoundary(size_t piece, size_t bodyOffset) const {
    return std::binary_search(bounds_[piece].begin(), bounds_[piece].end(), bodyOffset);
  }
  bool IsChainOf(const std::string& file);
  void ClassifyByte(Damaged& d, size_t piece, size_t pos, unsigned char before, unsigned char after,
                    bool inserted);

  std::string dir_;
  const Chain& chain_;
  std::string kb_;
  std::vector<std::string> bodies_;
  std::vector<std::vector<size_t>> bounds_;
  size_t lastNonEmpty_ = 0;
};

void Bench::ClassifyByte(Damaged& d, size_t piece, size_t pos, unsigned char before, unsigned char after,
                         bool inserted) {
  const size_t bodyStart = chain_.pieces[piece].size() - bodies_[piece].size();
  const std::string verb = inserted ? "insert" : "byte";
  if (pos < bodyStart) {
    d.cls = verb + " in header";
  } else if (after == '\r' || after == '\n') {
    d.cls = verb + " line end in body";
    d.mustBeExact = inserted;
  } else if (!test::IsAlphabet(after)) {
    d.cls = verb + " outside alphabet";
    d.exactWarning = MsgPieceBadCharacter(Path(piece), pos + 1, after);
  } else {
    d.cls = verb + " alphabet in body";
    d.undetectableReplace = !inserted && test::IsAlphabet(before);
  }
}

Damaged Bench::Make(std::mt19937& rng, const Chain& foreign) {
  Damaged d;
  d.picked = Any(rng);
  const size_t k = Any(rng);
  std::string piece = chain_.pieces[k];
  const size_t bodyStart = piece.size() - bodies_[k].size();
  std::ostringstream what;
  switch (rng() % 12) {
    case 0: {  // line breaks in every body, as mail programs make them
      d.cls = "line wrap";
      d.mustBeExact = true;
      const size_t width = 1 + rng() % 120;
      const std::string eol = rng() % 2 ? "\r\n" : "\n";
      for (size_t i = 0; i < Count(); ++i) {
        const std::string& p = chain_.pieces[i];
        const size_t start = p.size() - bodies_[i].size();
        std::string w = p.substr(0, start);
        for (size_t at = start; at < p.size(); at += width) w += p.substr(at, width) + eol;
        d.writes.emplace_back(i, w);
      }
      what << "wrap width " << width << " eol " << eol.size();
      break;
    }
    case 1: {  // line ends after pieces
      d.cls = "trailing line ends";
      d.mustBeExact = true;
      for (size_t i = 0; i < Count(); ++i)
        if (rng() % 2) d.writes.emplace_back(i, chain_.pieces[i] + (rng() % 2 ? "\r\n" : "\n"));
      what << "trailing line ends on " << d.writes.size() << " pieces";
      break;
    }
    case 2:
    case 3: {  // cut anywhere
      const size_t cut = rng() % piece.size();
      d.cls = cut < bodyStart ? "cut in header" : k < lastNonEmpty_ ? "cut full piece" : "cut last piece";
      d.undetectableCut = k == lastNonEmpty_ && cut >= bodyStart && IsBoundary(k, cut - bodyStart);
      d.writes.emplace_back(k, piece.substr(0, cut));
      what << "piece " << k + 1 << " cut to " << cut;
      break;
    }
    case 4: {  // missing
      d.cls = "missing piece";
      d.removed.push_back(k);
      if (d.picked == k) d.picked = (k + 1) % Count();
      what << "piece " << k + 1 << " missing";
      break;
    }
    case 5: {  // swapped or duplicated
      const size_t j = (k + 1 + rng() % (Count() - 1)) % Count();
      if (rng() % 2) {
        d.cls = "swapped pieces";
        d.writes.emplace_back(k, chain_.pieces[j]);
        d.writes.emplace_back(j, chain_.pieces[k]);
      } else {
        d.cls = "duplicated piece";
        d.writes.emplace_back(j, chain_.pieces[k]);
      }
      what << d.cls << " " << k + 1 << " " << j + 1;
      break;
    }
    case 6: {  // a piece of another export under the same name
      d.cls = "foreign piece";
      if (k < foreign.pieces.size()) d.writes.emplace_back(k, foreign.pieces[k]);
      else d.writes.emplace_back(k, foreign.pieces.back());
      what << "foreign piece at " << k + 1;
      break;
    }
    case 7: {  // next-piece name back into the chain or forward past a piece
      d.cls = "looping or skipping name";
      PieceParts p = PieceParts::Split(piece);
      const size_t to = rng() % Count();
      p.next = chain_.names[to];
      p.FitLengths();
      d.writes.emplace_back(k, p.Join());
      what << "piece " << k + 1 << " names piece " << to + 1;
      // Naming its own successor is no damage at all.
      if (to == k + 1) d.mustBeExact = true;
      break;
    }
    case 8: {  // one header field
      d.cls = "header field";
      PieceParts p = PieceParts::Split(piece);
      const int16_t delta = int16_t(1 + rng() % 3) * (rng() % 2 ? 1 : -1);
      const int16_t any = int16_t(rng());
      switch (rng() % 9) {
        case 0: p.record.pieceCount = rng() % 2 ? int16_t(p.record.pieceCount + delta) : any; break;
        case 1: p.record.pieceNumber = rng() % 2 ? int16_t(p.record.pieceNumber + delta) : any; break;
        case 2: p.record.headerLength = int16_t(p.record.headerLength + delta); break;
        case 3: p.record.targetNameLength = int16_t(p.record.targetNameLength + delta); break;
        case 4: p.record.firstNameLength = int16_t(p.record.firstNameLength + delta); break;
        case 5: p.record.nextNameLength = int16_t(p.record.nextNameLength + delta); break;
        case 6: p.target[rng() % p.target.size()] = char('a' + rng() % 26); break;
        case 7:
          if (!p.first.empty()) p.first[rng() % p.first.size()] = char('a' + rng() % 26);
          break;
        default:  // read by nobody: no damage
          p.record.reserved = any;
          d.mustBeExact = true;
          break;
      }
      const std::string joined = p.Join();
      if (joined == piece) d.mustBeExact = true;
      d.writes.emplace_back(k, joined);
      what << "header of piece " << k + 1 << " now " << joined.substr(8, 32);
      break;
    }
    case 9:
    case 10: {  // one byte replaced
      const size_t pos = rng() % piece.size();
      unsigned char now = static_cast<unsigned char>(rng());
      if (now == static_cast<unsigned char>(piece[pos])) ++now;
      ClassifyByte(d, k, pos, static_cast<unsigned char>(piece[pos]), now, false);
      piece[pos] = char(now);
      d.writes.emplace_back(k, piece);
      what << "piece " << k + 1 << " byte " << pos << " = " << int(now);
      break;
    }
    default: {  // one byte inserted
      const size_t pos = rng() % (piece.size() + 1);
      const unsigned char now = static_cast<unsigned char>(rng());
      ClassifyByte(d, k, pos, 0, now, true);
      piece.insert(pos, 1, char(now));
      d.writes.emplace_back(k, piece);
      what << "piece " << k + 1 << " insert at " << pos << " byte " << int(now);
      break;
    }
  }
  what << ", picked " << d.picked + 1;
  d.what = what.str();
  return d;
}

// The damaged chain, line ends aside, is exactly what export writes for file
// with some size: then it is a good chain, of another file, and nothing can tell.
bool Bench::IsChainOf(const std::string& file) {
  const auto withoutLineEnds = [](std::string s) {
    s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }), s.end());
    return s;
  };
  std::vector<std::string> sizes = {kb_};
  const size_t first = PieceParts::Split(ReadFile(Path(0))).body.size();
  sizes.push_back(std::to_string(first / 1024));
  sizes.push_back(std::to_string((first + 1023) / 1024));
  for (const std::string& kb : sizes) {
    TempDir other;
    const Chain remade = test::MakeChain(other.Dir(), "src.bin", file, kb);
    if (remade.names != chain_.names) continue;
    bool same = true;
    for (size_t i = 0; i < Count() && same; ++i) same = remade.pieces[i] == withoutLineEnds(ReadFile(Path(i)));
    if (same) return true;
  }
  return false;
}

Result Bench::Run(const Damaged& d, std::string* why) {
  for (const auto& [i, bytes] : d.writes) WriteFile(Path(i), bytes);
  for (size_t i : d.removed) std::filesystem::remove(Path(i));
  const std::string target = dir_ + "src.bin";
  WriteFile(target, kSentinel);
  const CliRun r = Cli({"import", Path(d.picked)});
  const std::string got = ReadFile(target);
  const CliRun v = Cli({"verify", Path(d.picked)});
  bool leftovers = false;
  for (const auto& e : std::filesystem::directory_iterator(dir_))
    leftovers |= e.path().filename().string()[0] == '.';

  Result result = Result::Fault;
  std::ostringstream w;
  if (leftovers) {
    w << "a temporary file was left";
  } else if (r.err.find("Datei:\"\"") != std::string::npos) {
    w << "a message without a path: " << r.err;
  } else if (v.status != r.status) {
    w << "verify " << v.status << " but import " << r.status << ": " << r.err << v.err;
  } else if (r.status != 0) {
    if (got != kSentinel) w << "the older target changed";
    else if (r.err.rfind("Achtung: ", 0) != 0) w << "no warning: " << r.err;
    else if (d.mustBeExact) w << "refused although undamaged in content: " << r.err;
    else if (!d.exactWarning.empty() && r.err.rfind("Achtung: " + komp::Cp1252ToUtf8(d.exactWarning) + "\n", 0) != 0)
      w << "other warning than " << komp::Cp1252ToUtf8(d.exactWarning) << ": " << r.err;
    else result = Result::Refused;
  } else if (got == chain_.source) {
    result = Result::Exact;
  } else if (!d.exactWarning.empty() || d.mustBeExact) {
    w << "wrong file (" << got.size() << " bytes)";
  } else if (d.undetectableReplace) {
    result = IsChainOf(got) ? Result::UndetectableReplace : Result::UndetectableReplaceNoChain;
  } else if (d.undetectableCut) {
    result = IsChainOf(got) ? Result::UndetectableCut : Result::UndetectableCutNoChain;
  } else if (IsChainOf(got)) {
    result = Result::OtherChain;
  } else {
    w << "wrong file (" << got.size() << " of " << chain_.source.size() << " bytes) and no chain of it";
  }
  *why = w.str();

  std::filesystem::remove(target);
  for (const auto& [i, bytes] : d.writes) WriteFile(Path(i), chain_.pieces[i]);
  for (size_t i : d.removed) WriteFile(Path(i), chain_.pieces[i]);
  return result;
}

int Sources() {
  const char* env = std::getenv("BRIVOX_DAMAGE_SOURCES");
  return env ? std::max(1, std::atoi(env)) : kDefaultSources;
}

TEST(DamageProperty, ImportAndVerifyGiveTheSourceOrAWarning) {
  const int sources = Sources();
  Tally tally;
  int faults = 0;
  for (int s = 0; s < sources; ++s) {
    std::mt19937 rng{uint32_t(s)};
    // Small enough that the file system calls of the many pieces stay cheap.
    const size_t size = 2048 + rng() % (22 * 1024);
    const std::string kb = std::to_string(1 + rng() % 4);
    TempDir dir;
    const Chain chain = test::MakeChain(dir.Dir(), "src.bin", test::MixedData(size, rng()), kb);
    ASSERT_FALSE(chain.names.empty()) << "source " << s;
    std::filesystem::remove(dir / "src.bin");
    if (chain.names.size() < 2) continue;
    // Another export under the same names: the source edited a little.
    std::string edited = chain.source;
    for (int n = 0; n < 3; ++n) edited[rng() % edited.size()] = char(rng());
    if (rng() % 2) edited.insert(rng() % edited.size(), test::MixedData(1 + rng() % 64, rng()));
    TempDir otherDir;
    const Chain foreign = test::MakeChain(otherDir.Dir(), "src.bin", edited, kb);

    Bench bench(dir.Dir(), chain, kb);
    for (int v = 0; v < kVariants; ++v) {
      std::mt19937 damageRng{uint32_t(s * 1000 + v)};
      const Damaged d = bench.Make(damageRng, foreign);
      std::string why;
      const Result r = bench.Run(d, &why);
      tally.Add(d.cls, r);
      if (r == Result::Fault && ++faults <= 20)
        ADD_FAILURE() << "source " << s << " variant " << v << " (" << chain.names.size() << " pieces, " << kb
                      << " KB): " << d.cls << ": " << d.what << ": " << why;
    }
  }

  std::ostringstream table;
  table << std::left << std::setw(26) << "damage";
  for (const char* name : kResultNames) table << std::right << std::setw(16) << name;
  table << "\n";
  std::array<int, kResults> total{};
  for (const auto& [cls, counts] : tally.byClass) {
    table << std::left << std::setw(26) << cls;
    for (int i = 0; i < kResults; ++i) {
      table << std::right << std::setw(16) << counts[size_t(i)];
      total[size_t(i)] += counts[size_t(i)];
    }
    table << "\n";
  }
  table << std::left << std::setw(26) << "all";
  for (int i = 0; i < kResults; ++i) {
    table << std::right << std::setw(16) << total[size_t(i)];
    RecordProperty(std::string(kResultNames[i]), total[size_t(i)]);
  }
  std::cout << table.str() << "\n";
  EXPECT_EQ(faults, 0);
}

}  // namespace
}  // namespace brivox
