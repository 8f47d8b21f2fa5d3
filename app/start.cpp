#include "app/start.h"

#include <unistd.h>

#include <array>
#include <climits>
#include <string_view>

#include "framework/file.h"

namespace brivox {

const char kManualHint[] = "Ausf\xC3\xBChrlich: man brivox\n";

namespace {
// A file of one of these names is still the command: "brivox info" never opens ./info.
constexpr std::array<std::string_view, 7> kCommands = {"export", "import", "info", "verify", "help", "--help", "-h"};

std::string Absolute(const std::string& path) {
  if (path.front() == '/') return path;
  std::string dir(PATH_MAX, '\0');
  if (!::getcwd(dir.data(), dir.size())) return path;
  dir.resize(dir.find('\0'));
  if (dir.back() != '/') dir += '/';
  return dir + path;
}
}  // namespace

StartPlan PlanStart(const std::vector<std::string>& args) {
  if (args.empty()) return {true, {}};
  if (args.size() != 1 || args[0].empty()) return {};
  for (std::string_view c : kCommands)
    if (args[0] == c) return {};
  // A FIFO or device would block the first look at the file; the command line refuses it.
  if (komp::TypeOf(args[0]) != komp::FileType::Regular) return {};
  return {true, Absolute(args[0])};
}

}  // namespace brivox
