// What the benchmarks share: timing, peak memory, and each size run in a child process of its
// own (this program again), so that its peak memory is its own. A child prints one result line
// "R key=value ..."; the parent reads the last one.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace komp::bench {

using Row = std::map<std::string, double>;

inline double Since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Peak resident memory of this process so far, in kB.
inline long PeakKb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

// The child's result line.
inline void PrintResult(const Row& out) {
  std::printf("R");
  for (const auto& [k, v] : out) std::printf(" %s=%.9g", k.c_str(), v);
  std::printf("\n");
  std::fflush(stdout);
}

// Runs this program again with `args` and reads its result line into `row`. False (with the
// reason in `failure`) when the child failed or printed none.
inline bool RunChild(const std::vector<std::string>& args, Row& row, std::string& failure) {
  int fd[2];
  if (pipe(fd) != 0) return failure = "no pipe", false;
  const pid_t pid = fork();
  if (pid < 0) return failure = "no fork", false;
  if (pid == 0) {
    dup2(fd[1], 1);
    close(fd[0]);
    close(fd[1]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  close(fd[1]);
  std::string text;
  char buf[4096];
  for (ssize_t k; (k = read(fd[0], buf, sizeof buf)) > 0;) text.append(buf, size_t(k));
  close(fd[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return failure = "child died of signal " + std::to_string(WTERMSIG(status)), false;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return failure = "child failed with status " + std::to_string(WEXITSTATUS(status)), false;
  const size_t nl = text.rfind("\nR ");
  const size_t at = nl != std::string::npos ? nl + 1 : text.rfind("R ", 0) == 0 ? 0 : std::string::npos;
  if (at == std::string::npos) return failure = "no result line", false;
  size_t k = at + 2;
  while (k < text.size() && text[k] != '\n') {
    const size_t sp = std::min(text.find(' ', k), text.find('\n', k));
    const std::string item = text.substr(k, sp - k);
    const size_t eq = item.find('=');
    if (eq != std::string::npos) row[item.substr(0, eq)] = std::atof(item.c_str() + eq + 1);
    if (sp == std::string::npos || text[sp] == '\n') break;
    k = sp + 1;
  }
  if (row.empty()) return failure = "empty result line", false;
  return true;
}

}  // namespace komp::bench
