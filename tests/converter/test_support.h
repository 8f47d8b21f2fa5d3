// Temporary directories, file helpers and a recording host for the converter tests.
#pragma once
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/core/converter.h"

namespace brivox::test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brivox-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // With a trailing "/", as the core takes directories.
  std::string Dir() const { return path_ + "/"; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

inline std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class RecordingHost : public ConversionHost {
 public:
  void Message(const std::string& text, const std::string& caption) override {
    messages.emplace_back(text, caption);
  }
  void ProgressStart(int64_t maximum) override { starts.push_back(maximum); }
  void ProgressPosition(int64_t position) override { positions.push_back(position); }
  bool ProcessMessages() override {
    ++loopRuns;
    return loopRuns != stopAtLoopRun;
  }

  std::vector<std::pair<std::string, std::string>> messages;
  std::vector<int64_t> starts;
  std::vector<int64_t> positions;
  int loopRuns = 0;
  int stopAtLoopRun = -1;
};

inline bool Export(const TempDir& dir, const std::string& sourceName, const std::string& exportName,
                   const std::string& size, RecordingHost& host) {
  ExportSettings s;
  s.sourcePath = dir / sourceName;
  s.directory = dir.Dir();
  s.targetName = BareName(sourceName);
  s.exportName = exportName;
  if (!CheckSizeText(size, host, &s.limit)) return false;
  return RunExport(s, host);
}

// As the window does it: read the picked file, then import with its header.
inline bool Import(const std::string& picked, RecordingHost& host) {
  Inspection in = InspectFile(picked, host);
  if (in.kind != FileKind::Import) return false;
  return RunImport({picked, DirectoryOf(picked), in.header}, host);
}

// A piece assembled by hand: magic, record, names, body.
inline std::string Piece(int count, int number, const std::string& target, const std::string& first,
                         const std::string& next, const std::string& body) {
  HeaderState h;
  h.record.pieceCount = int16_t(count);
  h.record.pieceNumber = int16_t(number);
  h.targetName = target;
  h.firstPieceName = first;
  h.nextPieceName = next;
  return std::string(kMagic) + HeaderText(h) + body;
}

}  // namespace brivox::test
