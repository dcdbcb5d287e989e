// placeholder: to be implemented
#include "app/cli/cli.h"
const char* const kShowUsage = "show [--as bmp|fits|ppm] IN OUT.bmp";
const char* const kInfoUsage = "info [--as bmp|fits|ppm] IN";
const char* const kProbeUsage = "probe [--as bmp|fits|ppm] IN X Y [--zoom Z]";
const char* const kMeasureUsage = "measure [--as bmp|fits|ppm] IN X Y [--button left|right] [--zoom Z]";
int RunShowCli(const CliArgs&) { return 1; }
int RunInfoCli(const CliArgs&) { return 1; }
int RunProbeCli(const CliArgs&) { return 1; }
int RunMeasureCli(const CliArgs&) { return 1; }
