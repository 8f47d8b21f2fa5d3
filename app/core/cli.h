// The converter without a window: export, import, info, verify.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace brivox {

// argv[1] is the command. Messages go to standard error as "Caption: text";
// the exit status is 0 only on success, 1 when the conversion or check
// failed, 2 for a wrong command line.
int RunCommandLine(int argc, char** argv);
// The same with the streams given; terminal asks for a progress line on err.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool terminal);

}  // namespace brivox
