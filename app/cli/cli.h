// Subcommands of halvane2-cli. Each takes its own arguments (after the subcommand's name), prints
// its results on standard output and its errors on standard error, and returns the exit status.
#pragma once

#include "app/cli/command_line.h"

int RunBenchCli(const CliArgs& args);
int RunShowCli(const CliArgs& args);
int RunInfoCli(const CliArgs& args);
int RunProbeCli(const CliArgs& args);
int RunMeasureCli(const CliArgs& args);
int RunApplyCli(const CliArgs& args);
int RunResultsCli(const CliArgs& args);
int RunCompareCli(const CliArgs& args);

// Every subcommand's name, usage and description, for its own --help and the tool's.
extern const CliHelp kBenchHelp;
extern const CliHelp kShowHelp;
extern const CliHelp kInfoHelp;
extern const CliHelp kProbeHelp;
extern const CliHelp kMeasureHelp;
extern const CliHelp kApplyHelp;
extern const CliHelp kResultsHelp;
extern const CliHelp kCompareHelp;
