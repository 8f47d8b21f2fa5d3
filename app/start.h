// What `brivox ARGS` starts: the window, with a file to look at or without, or the command line.
#pragma once
#include <string>
#include <vector>

namespace brivox {

struct StartPlan {
  bool window = false;
  // For the window: the file to name at once, absolute, by its system name; else empty.
  std::string file;
};

// No arguments: the window. One argument that is no command of the command line and
// names an existing regular file: the window with that file (how a file manager's
// "Open with" starts it). Anything else: the command line, which also explains a
// wrong call.
StartPlan PlanStart(const std::vector<std::string>& args);

// Said after the command line's help: where the whole description is.
extern const char kManualHint[];

}  // namespace brivox
