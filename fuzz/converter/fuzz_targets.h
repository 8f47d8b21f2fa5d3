// The two fuzz harnesses, shared by the libFuzzer targets and the regression test.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/core/converter.h"

namespace brivox::fuzz {

class NullHost : public ConversionHost {
 public:
  void Message(const std::string&, const std::string&) override {}
  void ProgressStart(int64_t) override {}
  void ProgressPosition(int64_t) override {}
  bool ProcessMessages() override { return true; }
};

// A private directory inside a private parent, so writes outside show up.
class Sandbox {
 public:
  Sandbox() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brivox-fuzz-XXXXXX").string();
    parent_ = mkdtemp(pattern.data());
    dir_ = parent_ + "/chain/";
    std::filesystem::create_directory(dir_);
  }
  ~Sandbox() {
    std::error_code ec;
    std::filesystem::remove_all(parent_, ec);
  }
  const std::string& Dir() const { return dir_; }
  void Write(const std::string& name, const uint8_t* data, size_t size) {
    FILE* f = std::fopen((dir_ + name).c_str(), "wb");
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  // Every entry of the parent is the chain directory; inside it only the given names.
  size_t EntriesOutside() const {
    size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(parent_)) n += e.path() != std::filesystem::path(dir_).parent_path();
    return n;
  }
  size_t Entries() const {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) ++n;
    return n;
  }

 private:
  std::string parent_;
  std::string dir_;
};

// The input is one file, read as a picked piece.
inline void FuzzHeader(const uint8_t* data, size_t size) {
  Sandbox box;
  box.Write("p.txt", data, size);
  NullHost host;
  Inspection in = InspectFile(box.Dir() + "p.txt", host);
  if (in.kind == FileKind::Import) {
    if (in.header.record.pieceCount < 1 || SafeTargetName(in.header.targetName).empty()) abort();
  }
}

// The input, split at "\n--\n", gives pieces p1.txt, p2.txt, ... (up to 8);
// a chain is imported from p1.txt. Only the target may appear, and only in
// the chain's directory.
inline void FuzzChain(const uint8_t* data, size_t size) {
  Sandbox box;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  int pieces = 0;
  while (pieces < 8) {
    const size_t cut = all.find("\n--\n", start);
    const size_t end = cut == std::string_view::npos ? all.size() : cut;
    box.Write("p" + std::to_string(++pieces) + ".txt", data + start, end - start);
    if (cut == std::string_view::npos) break;
    start = cut + 4;
  }
  NullHost host;
  const std::string picked = box.Dir() + "p1.txt";
  Inspection in = InspectFile(picked, host);
  if (in.kind == FileKind::Import) {
    RunImport({picked, box.Dir(), in.header}, host);
    VerifyChain({picked, box.Dir(), in.header}, host);
  }
  if (box.EntriesOutside() != 0 || box.Entries() > size_t(pieces) + 1) abort();
}

}  // namespace brivox::fuzz
