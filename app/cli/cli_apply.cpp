// placeholder: to be implemented
#include "app/cli/cli.h"
const char* const kApplyUsage =
    "apply [--as bmp|fits|ppm] [--gamma-field TEXT] IN OUT.bmp COMMAND [ARGS] [COMMAND [ARGS] ...]";
int RunApplyCli(const CliArgs&) { return 1; }
