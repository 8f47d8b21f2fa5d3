// Export and import throughput and peak memory on 256 MiB of mixed real data
// and of random data, beside GNU base64, basenc, xxd and cp on the same files.
//   brivox_bench [--mib N] [--dir DIR] [--reps R]
// Every run is a child process, so its wall time and peak RSS are its own;
// the best of R repetitions is shown.
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/core/converter.h"

namespace fs = std::filesystem;

namespace {

struct Timing {
  double seconds = 0;
  double rssMiB = 0;
  bool ok = false;
};

class QuietHost : public brivox::ConversionHost {
 public:
  void Message(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  void ProgressStart(int64_t) override {}
  void ProgressPosition(int64_t p) override { position = p; }
  bool ProcessMessages() override {
    ++calls;
    return true;
  }
  int64_t position = 0;
  int64_t calls = 0;
};

Timing InChild(const std::function<int()>& body) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  rusage ru{};
  wait4(pid, &status, 0, &ru);
  const auto end = std::chrono::steady_clock::now();
  return {std::chrono::duration<double>(end - start).count(), double(ru.ru_maxrss) / 1024.0,
          WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

// Runs a tool with stdin and stdout redirected to files.
Timing Tool(const std::vector<std::string>& argv, const std::string& in, const std::string& out) {
  return InChild([&]() -> int {
    if (!in.empty()) {
      const int fd = open(in.c_str(), O_RDONLY);
      dup2(fd, 0);
    }
    const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  });
}

// Every run writes a new file: the output of the run before is removed first,
// untimed, so no run pays for truncating it.
Timing Best(int reps, const std::string& output, const std::function<Timing()>& run) {
  Timing best;
  for (int r = 0; r < reps; ++r) {
    std::error_code ec;
    fs::remove(output, ec);
    const Timing t = run();
    if (!t.ok) return t;
    if (r == 0 || t.seconds < best.seconds) best = Timing{t.seconds, std::max(t.rssMiB, best.rssMiB), true};
  }
  return best;
}

void FillMixed(const std::string& path, uint64_t size) {
  std::ofstream out(path, std::ios::binary);
  uint64_t written = 0;
  std::vector<char> buf(1 << 20);
  for (const char* root : {"/usr/lib", "/usr/share", "/usr/bin"}) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator() && written < size; it.increment(ec)) {
      if (ec || !it->is_regular_file(ec) || it->is_symlink(ec)) continue;
      std::ifstream in(it->path(), std::ios::binary);
      while (in && written < size) {
        in.read(buf.data(), std::streamsize(std::min<uint64_t>(buf.size(), size - written)));
        out.write(buf.data(), in.gcount());
        written += uint64_t(in.gcount());
      }
    }
  }
  // Not enough files on the machine: repeat what is there.
  out.close();
  while (written < size) {
    std::ifstream in(path, std::ios::binary);
    std::ofstream app(path, std::ios::binary | std::ios::app);
    const uint64_t chunk = std::min<uint64_t>(written, size - written);
    std::vector<char> b(chunk);
    in.read(b.data(), std::streamsize(chunk));
    app.write(b.data(), in.gcount());
    written += uint64_t(in.gcount());
  }
}

void FillRandom(const std::string& path, uint64_t size) {
  std::ofstream out(path, std::ios::binary);
  std::mt19937_64 rng(20240607);
  std::vector<uint64_t> buf(1 << 17);
  for (uint64_t done = 0; done < size;) {
    for (auto& w : buf) w = rng();
    const uint64_t n = std::min<uint64_t>(buf.size() * 8, size - done);
    out.write(reinterpret_cast<const char*>(buf.data()), std::streamsize(n));
    done += n;
  }
}

bool SameContent(const std::string& a, const std::string& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  std::vector<char> ba(1 << 20), bb(1 << 20);
  while (true) {
    fa.read(ba.data(), std::streamsize(ba.size()));
    fb.read(bb.data(), std::streamsize(bb.size()));
    if (fa.gcount() != fb.gcount()) return false;
    if (fa.gcount() == 0) return true;
    if (std::memcmp(ba.data(), bb.data(), size_t(fa.gcount())) != 0) return false;
  }
}

struct Row {
  std::string name;
  Timing t;
};

void Print(const std::string& title, uint64_t size, const std::vector<Row>& rows, double exportS,
           double importS) {
  std::printf("\n%s (%.0f MiB)\n", title.c_str(), double(size) / (1 << 20));
  std::printf("  %-28s %9s %10s %10s %14s\n", "run", "seconds", "MB/s", "peak MiB", "vs brivox");
  for (const Row& r : rows) {
    if (!r.t.ok) {
      std::printf("  %-28s   failed\n", r.name.c_str());
      continue;
    }
    const bool decode = r.name.find("import") != std::string::npos ||
                        r.name.find("-d") != std::string::npos ||
                        r.name.find("-r") != std::string::npos;
    const double ours = decode ? importS : exportS;
    std::printf("  %-28s %9.3f %10.1f %10.1f %13.2fx\n", r.name.c_str(), r.t.seconds,
                double(size) / 1e6 / r.t.seconds, r.t.rssMiB, r.t.seconds / ours);
  }
  std::printf("  goals: export %.2fx base64 time (goal <= 1), import %.2fx base64 -d time (goal <= 0.5)\n",
              exportS / rows[2].t.seconds, importS / rows[3].t.seconds);
}

void RunSet(const std::string& title, const std::string& dir, const std::string& source,
            uint64_t size, int reps) {
  const std::string work = dir + "/out";
  fs::create_directories(work);
  brivox::ExportSettings es;
  es.sourcePath = source;
  es.directory = work + "/";
  es.exportName = "Export.txt";
  const std::string piece = work + "/Export.txt";
  const std::string target = work + "/" + fs::path(source).filename().string();

  const auto exportRun = [&](bool vector) {
    return Best(reps, piece, [&] {
      return InChild([&] {
        brivox::UseCodecPath((vector) ? brivox::BestCodecPath() : brivox::CodecPath::Portable);
        QuietHost host;
        return brivox::RunExport(es, host) ? 0 : 1;
      });
    });
  };
  const auto importRun = [&](bool vector) {
    return Best(reps, target, [&] {
      return InChild([&] {
        brivox::UseCodecPath((vector) ? brivox::BestCodecPath() : brivox::CodecPath::Portable);
        QuietHost host;
        brivox::ImportSettings is;
        is.piecePath = piece;
        is.directory = work + "/";
        is.header = brivox::InspectFile(piece, host).header;
        return brivox::RunImport(is, host) ? 0 : 1;
      });
    });
  };
  const bool vectors = (brivox::BestCodecPath() != brivox::CodecPath::Portable);
  std::vector<Row> rows;
  rows.push_back({vectors ? "brivox export" : "brivox export (portable)", exportRun(true)});
  rows.push_back({vectors ? "brivox import" : "brivox import (portable)", importRun(true)});
  if (!SameContent(source, target)) std::printf("  IMPORT DIFFERS FROM SOURCE\n");
  fs::remove(target);
  std::vector<Row> portable;
  if (vectors) {
    // The loops without vector instructions, as on a processor without them.
    const std::string vectorPiece = piece + ".vector";
    fs::rename(piece, vectorPiece);
    portable.push_back({"brivox export (portable)", exportRun(false)});
    if (!SameContent(piece, vectorPiece)) std::printf("  PORTABLE EXPORT DIFFERS\n");
    fs::remove(vectorPiece);
    portable.push_back({"brivox import (portable)", importRun(false)});
    if (!SameContent(source, target)) std::printf("  PORTABLE IMPORT DIFFERS FROM SOURCE\n");
    fs::remove(target);
  }
  fs::remove(piece);

  const std::string b64 = work + "/x.b64", back = work + "/x.back", hex = work + "/x.hex";
  rows.push_back({"base64", Best(reps, b64, [&] { return Tool({"base64", source}, "", b64); })});
  rows.push_back({"base64 -d", Best(reps, back, [&] { return Tool({"base64", "-d", b64}, "", back); })});
  fs::remove(b64);
  rows.push_back({"basenc --base16", Best(reps, hex, [&] { return Tool({"basenc", "--base16", source}, "", hex); })});
  fs::remove(hex);
  rows.push_back({"xxd -p", Best(reps, hex, [&] { return Tool({"xxd", "-p", source}, "", hex); })});
  rows.push_back({"xxd -r -p", Best(reps, back, [&] { return Tool({"xxd", "-r", "-p", hex}, "", back); })});
  fs::remove(hex);
  rows.push_back({"cp", Best(reps, back, [&] { return Tool({"cp", source, back}, "", "/dev/null"); })});
  fs::remove(back);
  // rows[2] / rows[3] are base64 / base64 -d for the goal line.
  Print(title, size, rows, rows[0].t.seconds, rows[1].t.seconds);
  for (const Row& r : portable) {
    const double vs = r.name.find("import") != std::string::npos ? rows[3].t.seconds : rows[2].t.seconds;
    std::printf("  %-28s %9.3f %10.1f %10.1f   %.2fx the time of %s\n", r.name.c_str(), r.t.seconds,
                double(size) / 1e6 / r.t.seconds, r.t.rssMiB, r.t.seconds / vs,
                r.name.find("import") != std::string::npos ? "base64 -d" : "base64");
  }

  // What the progress interface costs: one virtual call pair per 1000 bytes.
  QuietHost host;
  // Through a pointer the compiler cannot see through, as the core calls it.
  brivox::ConversionHost* volatile laundered = &host;
  brivox::ConversionHost& h = *laundered;
  const int64_t calls = int64_t(size / 1000);
  const auto s = std::chrono::steady_clock::now();
  for (int64_t i = 0; i < calls; ++i) {
    h.ProgressPosition(i);
    if (!h.ProcessMessages()) break;
  }
  const double cost = std::chrono::duration<double>(std::chrono::steady_clock::now() - s).count();
  std::printf("  progress interface: %lld calls, %.4f s = %.2f%% of the export\n",
              static_cast<long long>(calls), cost, 100 * cost / rows[0].t.seconds);
  fs::remove_all(work);
}

}  // namespace

int main(int argc, char** argv) {
  uint64_t mib = 256;
  std::string dir = "/tmp";
  int reps = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--mib") mib = std::strtoull(argv[i + 1], nullptr, 10);
    else if (a == "--dir") dir = argv[i + 1];
    else if (a == "--reps") reps = std::atoi(argv[i + 1]);
  }
  const uint64_t size = mib << 20;
  const std::string root = dir + "/brivox-bench-" + std::to_string(getpid());
  fs::create_directories(root);
  std::printf("brivox benchmark: %llu MiB, best of %d, files in %s, vector loops %s\n",
              static_cast<unsigned long long>(mib), reps, root.c_str(),
              (brivox::BestCodecPath() != brivox::CodecPath::Portable) ? "available" : "not available");
  double load[3] = {};
  if (getloadavg(load, 3) == 3) std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);

  const std::string mixed = root + "/mixed.bin";
  FillMixed(mixed, size);
  RunSet("mixed real data (/usr/lib, /usr/share, /usr/bin)", root, mixed, size, reps);
  fs::remove(mixed);

  const std::string random = root + "/random.bin";
  FillRandom(random, size);
  RunSet("random data", root, random, size, reps);
  fs::remove_all(root);
  return 0;
}
