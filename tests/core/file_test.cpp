// TFile with a buffer: reads, writes and seeks in any order give what the
// unbuffered file gives, and a write that fails is never reported as done.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "framework/file.h"

namespace komp {
namespace {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "komp-file-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Request sizes around the buffer's: empty, tiny, the core's blocks, larger than any buffer.
size_t RequestSize(std::mt19937& rng) {
  static const size_t sizes[] = {0, 1, 3, 7, 999, 1000, 3000, 4095, 4096, 4097, 70000};
  return rng() % 3 ? sizes[rng() % 11] : rng() % 9000;
}

TEST(BufferedFile, ReadsAndSeeksMatchTheUnbufferedFile) {
  TempDir dir;
  std::mt19937 rng(7);
  std::string data(200000 + 13, '\0');
  for (auto& c : data) c = char(rng());
  std::ofstream(dir / "in.bin", std::ios::binary).write(data.data(), std::streamsize(data.size()));

  for (size_t buffer : {size_t(1), size_t(7), size_t(4096), size_t(65536), size_t(1) << 20}) {
    SCOPED_TRACE("buffer " + std::to_string(buffer));
    TFile plain, buffered;
    ASSERT_TRUE(plain.Open(dir / "in.bin", TFile::Mode::Read));
    ASSERT_TRUE(buffered.Open(dir / "in.bin", TFile::Mode::Read, buffer));
    std::vector<char> a(80000), b(80000);
    for (int op = 0; op < 400; ++op) {
      if (rng() % 8 == 0) {
        // Anywhere, the end itself and past it included.
        const int64_t to = int64_t(rng() % (data.size() + 3000));
        ASSERT_EQ(plain.Seek(to), buffered.Seek(to));
      } else if (rng() % 3 == 0 && buffer >= 4096) {
        // Read in place, within the buffer's size: the same bytes, no copy.
        const size_t n = std::min(RequestSize(rng), buffer);
        const int64_t got = plain.Read(a.data(), n);
        int64_t inPlace = -1;
        const uint8_t* p = buffered.ReadInPlace(n, inPlace);
        ASSERT_EQ(inPlace, std::max<int64_t>(got, 0)) << "op " << op << " n " << n;
        ASSERT_EQ(p != nullptr, got > 0);
        if (got > 0) {
          ASSERT_EQ(std::memcmp(a.data(), p, size_t(got)), 0) << "op " << op;
        }
      } else {
        const size_t n = RequestSize(rng);
        const int64_t got = plain.Read(a.data(), n);
        ASSERT_EQ(buffered.Read(b.data(), n), got) << "op " << op << " n " << n;
        if (got > 0) {
          ASSERT_EQ(std::memcmp(a.data(), b.data(), size_t(got)), 0) << "op " << op;
        }
      }
      ASSERT_EQ(buffered.Size(), int64_t(data.size()));
    }
    // Short reads at the end, then nothing.
    ASSERT_TRUE(buffered.Seek(int64_t(data.size()) - 5));
    EXPECT_EQ(buffered.Read(b.data(), 3), 3);
    EXPECT_EQ(buffered.Read(b.data(), 3000), 2);
    EXPECT_EQ(std::string(b.data(), 2), data.substr(data.size() - 2));
    EXPECT_EQ(buffered.Read(b.data(), 3000), 0);
    EXPECT_TRUE(buffered.Close());
    EXPECT_EQ(buffered.Read(b.data(), 1), -1);
  }
}

TEST(BufferedFile, WritesAndSeeksGiveTheSameFileAndSizes) {
  TempDir dir;
  std::mt19937 rng(11);
  for (size_t buffer : {size_t(1), size_t(5), size_t(4096), size_t(65536)}) {
    SCOPED_TRACE("buffer " + std::to_string(buffer));
    TFile plain, buffered;
    ASSERT_TRUE(plain.Open(dir / "plain.bin", TFile::Mode::CreateTruncate));
    ASSERT_TRUE(buffered.Open(dir / "buffered.bin", TFile::Mode::CreateTruncate, buffer));
    std::string chunk;
    for (int op = 0; op < 300; ++op) {
      if (rng() % 10 == 0) {
        // Back into what was written, or past the end (a hole of zeros).
        const int64_t to = int64_t(rng() % (plain.Size() + 5000));
        ASSERT_TRUE(plain.Seek(to));
        ASSERT_TRUE(buffered.Seek(to));
      } else {
        chunk.resize(RequestSize(rng));
        for (auto& c : chunk) c = char(rng());
        ASSERT_TRUE(plain.Write(chunk.data(), chunk.size()));
        ASSERT_TRUE(buffered.Write(chunk.data(), chunk.size()));
      }
      // Pending bytes count for the size before they reach the disk.
      ASSERT_EQ(buffered.Size(), plain.Size()) << "op " << op;
    }
    EXPECT_TRUE(plain.Close());
    EXPECT_TRUE(buffered.Close());
    const std::string expected = Contents(dir / "plain.bin");
    EXPECT_GT(expected.size(), 100000u);
    EXPECT_EQ(Contents(dir / "buffered.bin"), expected);
  }
}

TEST(BufferedFile, PendingBytesSurviveFlushMoveAndDestruction) {
  TempDir dir;
  {
    TFile f;
    ASSERT_TRUE(f.Open(dir / "a", TFile::Mode::CreateTruncate, 1024));
    ASSERT_TRUE(f.Write("abc", 3));
    EXPECT_EQ(Contents(dir / "a"), "");  // still in the buffer: one system call later
    EXPECT_TRUE(f.Flush());
    EXPECT_EQ(Contents(dir / "a"), "abc");
    ASSERT_TRUE(f.Write("def", 3));
    TFile moved(std::move(f));
    EXPECT_FALSE(f.IsOpen());
    ASSERT_TRUE(moved.Write("g", 1));
    TFile assigned;
    assigned = std::move(moved);
    ASSERT_TRUE(assigned.Write("h", 1));
  }  // the destructor writes the rest
  EXPECT_EQ(Contents(dir / "a"), "abcdefgh");
}

TEST(BufferedFile, WriteErrorsAreReported) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  {
    // Small writes wait in the buffer; the error shows when they go out.
    TFile f;
    ASSERT_TRUE(f.Open("/dev/full", TFile::Mode::CreateTruncate, 4096));
    EXPECT_TRUE(f.Write("x", 1));
    EXPECT_FALSE(f.Flush());
    EXPECT_FALSE(f.Write("y", 1));  // and stays: the lost byte is not forgotten
    EXPECT_FALSE(f.Close());
  }
  {
    TFile f;
    ASSERT_TRUE(f.Open("/dev/full", TFile::Mode::CreateTruncate, 4096));
    EXPECT_TRUE(f.Write("x", 1));
    EXPECT_FALSE(f.Close());
  }
  {
    // Filling the buffer sends it: the write that does so fails.
    TFile f;
    ASSERT_TRUE(f.Open("/dev/full", TFile::Mode::CreateTruncate, 16));
    const std::string ten(10, 'z');
    EXPECT_TRUE(f.Write(ten.data(), ten.size()));
    EXPECT_FALSE(f.Write(ten.data(), ten.size()));
    EXPECT_FALSE(f.Seek(0));
  }
  {
    // A request larger than the buffer goes straight out and fails at once.
    TFile f;
    ASSERT_TRUE(f.Open("/dev/full", TFile::Mode::CreateTruncate, 16));
    const std::string big(100, 'z');
    EXPECT_FALSE(f.Write(big.data(), big.size()));
  }
  {
    TFile f;
    ASSERT_TRUE(f.Open("/dev/full", TFile::Mode::CreateTruncate));
    EXPECT_FALSE(f.Write("x", 1));
    EXPECT_TRUE(f.Close());  // nothing was pending
  }
}

}  // namespace
}  // namespace komp
