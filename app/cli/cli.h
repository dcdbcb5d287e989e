// Subcommands of halvane2-cli. Each takes its own arguments (after the subcommand's name), prints
// its results on standard output and its errors on standard error, and returns the exit status.
#pragma once

#include "app/cli/command_line.h"

int RunBenchCli(const CliArgs& args);    // bench [--json] [--repeat N] [--keep-images DIR]
int RunShowCli(const CliArgs& args);     // show [--as KIND] IN OUT.bmp
int RunInfoCli(const CliArgs& args);     // info [--as KIND] IN
int RunProbeCli(const CliArgs& args);    // probe [--as KIND] IN X Y [--zoom Z]
int RunMeasureCli(const CliArgs& args);  // measure [--as KIND] IN X Y [--button left|right] [--zoom Z]
int RunApplyCli(const CliArgs& args);    // apply [--as KIND] [--gamma-field TEXT] IN OUT.bmp COMMAND...
int RunResultsCli(const CliArgs& args);  // results [--db PATH] [--json]
int RunCompareCli(const CliArgs& args);  // compare A B [...] [--db PATH] [--json] [--chart FILE]

// The one-line usage of every subcommand, for the tool's --help.
extern const char* const kBenchUsage;
extern const char* const kShowUsage;
extern const char* const kInfoUsage;
extern const char* const kProbeUsage;
extern const char* const kMeasureUsage;
extern const char* const kApplyUsage;
extern const char* const kResultsUsage;
extern const char* const kCompareUsage;
