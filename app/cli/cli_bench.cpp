// placeholder: to be implemented
#include "app/cli/cli.h"
const char* const kBenchUsage = "bench [--json] [--repeat N] [--keep-images DIR]";
int RunBenchCli(const CliArgs&) { return 1; }
