// What a run leaves on disk when it fails: a full disk, a source that is no
// file or that changes while it is read, names that the code page cannot hold.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "framework/file.h"
#include "tests/converter/test_support.h"

namespace brivox {
namespace {

using test::Exists;
using test::ListDir;
using test::ReadFile;
using test::RecordingHost;
using test::TempDir;
using test::WriteFile;

using MessageList = std::vector<std::pair<std::string, std::string>>;

std::string Mixed(size_t n, unsigned seed) {
  std::string s;
  unsigned x = seed;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245 + 12345;
    s += char((x >> 16) % 5 == 0 ? (x >> 8) : "etaoin shrdlu"[(x >> 12) % 13]);
  }
  return s;
}

// The disk fills up at the given step of the message loop: from then on no
// file can grow past a few bytes.
class FillingHost : public RecordingHost {
 public:
  explicit FillingHost(int fillAt) : fillAt_(fillAt) {}
  bool ProcessMessages() override {
    if (++loopRuns == fillAt_) {
      rlimit limit{512, 512};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    return true;
  }

 private:
  int fillAt_;
};

// Runs body in a child process, so that the full disk stays there. Its exit
// status: 0 the run succeeded, 1 it failed with exactly one "Achtung"
// message, 2 anything else.
int OnADiskFillingUp(int fillAt, const std::function<bool(RecordingHost&)>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of killing
    FillingHost host(fillAt);
    const bool ok = body(host);
    _exit(ok ? 0 : host.messages.size() == 1 && host.messages[0].second == "Achtung" ? 1 : 2);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

TEST(Safety, AFullDiskDestroysNoGoodFile) {
  TempDir dir;
  const std::string data = Mixed(300000, 7);
  WriteFile(dir / "daten.bin", data);
  RecordingHost host;
  ASSERT_TRUE(test::Export(dir, "daten.bin", "", "64", host));
  const std::vector<std::string> chain = ListDir(dir.Dir());
  ASSERT_GE(chain.size(), 5u);

  // The import fails part way; the good target of an earlier import stays.
  const std::string good = "an earlier, good daten.bin";
  WriteFile(dir / "daten.bin", good);
  EXPECT_EQ(OnADiskFillingUp(200, [&](RecordingHost& h) { return test::Import(dir / "Export2.txt", h); }), 1);
  EXPECT_TRUE(ReadFile(dir / "daten.bin") == good);
  EXPECT_EQ(ListDir(dir.Dir()), chain);

  // A new export of the edited source fails in its third piece: the older
  // pieces stay as they were, and no piece of the new run is left.
  std::vector<std::string> older;
  for (const std::string& name : chain)
    if (name != "daten.bin") older.push_back(ReadFile(dir / name));
  WriteFile(dir / "daten.bin", Mixed(300000, 8));
  EXPECT_EQ(OnADiskFillingUp(200, [&](RecordingHost& h) { return test::Export(dir, "daten.bin", "", "64", h); }), 1);
  EXPECT_EQ(ListDir(dir.Dir()), chain);
  size_t k = 0;
  for (const std::string& name : chain)
    if (name != "daten.bin") EXPECT_TRUE(ReadFile(dir / name) == older[k++]) << name;

  // With room enough, the same export succeeds.
  EXPECT_EQ(OnADiskFillingUp(-1, [&](RecordingHost& h) { return test::Export(dir, "daten.bin", "", "64", h); }), 0);
  EXPECT_FALSE(ReadFile(dir / "Export1.txt") == older[0]);
}

TEST(Safety, SourcesThatCannotBeReadTwiceAreRefused) {
  TempDir dir;
  // A FIFO (never opened for reading: that would wait for a writer), a
  // pipe as /dev/stdin is, and a /proc file whose size says nothing.
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string pipePath = "/proc/self/fd/" + std::to_string(fds[0]);
  for (const std::string& source : {dir / "fifo", pipePath, std::string("/proc/self/status")}) {
    RecordingHost host;
    ExportSettings s;
    s.sourcePath = source;
    s.directory = dir.Dir();
    EXPECT_FALSE(RunExport(s, host)) << source;
    EXPECT_EQ(host.messages, (MessageList{{MsgNotAFile(source), "Achtung"}})) << source;
  }
  close(fds[0]);
  close(fds[1]);
  EXPECT_EQ(ListDir(dir.Dir()), std::vector<std::string>{"fifo"});

  // A directory is no source either, nor a piece.
  std::filesystem::create_directory(dir / "sub");
  RecordingHost host;
  EXPECT_FALSE(test::Export(dir, "sub", "", "", host));
  EXPECT_EQ(host.messages, (MessageList{{MsgCannotOpen(dir / "sub"), "Achtung"}}));
}

// Changes the source while the export is under way.
class ChangingHost : public RecordingHost {
 public:
  std::function<void()> change;
  bool ProcessMessages() override {
    if (++loopRuns == 3 && change) change();
    return true;
  }
};

TEST(Safety, ASourceThatChangesWhileReadFailsTheRun) {
  TempDir dir;
  const std::string data = Mixed(200000, 3);
  for (int kind = 0; kind < 3; ++kind) {
    WriteFile(dir / "s.bin", data);
    ChangingHost host;
    host.change = [&] {
      if (kind == 0) truncate((dir / "s.bin").c_str(), 50000);             // shrinks
      if (kind == 1) WriteFile(dir / "s.bin", data + "more bytes");          // grows
      if (kind == 2) WriteFile(dir / "s.bin", Mixed(data.size(), 4));         // other bytes
    };
    EXPECT_FALSE(test::Export(dir, "s.bin", "", "20", host)) << kind;
    EXPECT_EQ(host.messages, (MessageList{{MsgSourceChanged(dir / "s.bin"), "Achtung"}})) << kind;
    EXPECT_EQ(ListDir(dir.Dir()), std::vector<std::string>{"s.bin"}) << kind;
  }
}

TEST(Safety, NamesBeyondTheCodePageAreOpenedAsTheyAre) {
  TempDir dir;
  const std::string data = Mixed(5000, 5);
  // A check mark and Greek have no code page 1252 form; umlauts do.
  const struct {
    const char* source;  // UTF-8, as the file system has it
    const char* stored;  // code page 1252, as the header has it
    const char* back;    // what an import writes
  } cases[] = {{"daten\u2713\u03a9.bin", "daten__.bin", "daten__.bin"},
               {"\u0391\u03b8\u03ae\u03bd\u03b1.txt", "_____.txt", "_____.txt"},
               {"Gr\u00fc\u00dfe.bin", "Gr\xFC\xDF" "e.bin", "Gr\u00fc\u00dfe.bin"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    WriteFile(dir / c.source, data);
    RecordingHost host;
    ExportSettings s;
    s.sourcePath = dir / c.source;
    s.directory = dir.Dir();
    ASSERT_TRUE(RunExport(s, host));
    Inspection in = InspectFile(dir / "Export.txt", host);
    ASSERT_EQ(in.kind, FileKind::Import);
    EXPECT_EQ(in.header.targetName, c.stored);
    std::filesystem::remove(dir / c.source);
    ASSERT_TRUE(RunImport({dir / "Export.txt", dir.Dir(), in.header}, host));
    EXPECT_EQ(ReadFile(dir / c.back), data);
    EXPECT_TRUE(host.messages.empty());
    std::filesystem::remove(dir / c.back);
    std::filesystem::remove(dir / "Export.txt");
  }
}

}  // namespace
}  // namespace brivox
