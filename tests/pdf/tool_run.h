// Runs an outside tool (qpdf, pdftotext, mutool) on a file the tests wrote.
#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace komp::test {

struct ToolRun {
  int status = -1;
  std::string output;  // standard output and error together
};

inline ToolRun Shell(const std::string& command) {
  ToolRun r;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t got;
  while ((got = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, got);
  const int s = pclose(p);
  r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  return r;
}

}  // namespace komp::test
