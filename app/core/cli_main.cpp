// brivox-cli: the converter's command line without the window.
#include "app/core/cli.h"

int main(int argc, char** argv) { return brivox::RunCommandLine(argc, argv); }
