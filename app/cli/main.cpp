// halvane2-cli: the program's commands without a display.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/cli/cli.h"
#include "app/usage_error.h"

namespace {
struct Subcommand {
    const CliHelp* help;
    int (*run)(const CliArgs&);
};

const Subcommand kSubcommands[] = {
    {&kBenchHelp, RunBenchCli},     {&kShowHelp, RunShowCli},       {&kInfoHelp, RunInfoCli},
    {&kProbeHelp, RunProbeCli},     {&kMeasureHelp, RunMeasureCli}, {&kApplyHelp, RunApplyCli},
    {&kResultsHelp, RunResultsCli}, {&kCompareHelp, RunCompareCli},
};

void printHelp(FILE* out) {
    std::fprintf(out,
                 "halvane2-cli: HALVANE-2 without a display. It builds the program's windows offscreen\n"
                 "and runs the program's own commands with scripted answers.\n\nUsage:\n");
    for (const Subcommand& s : kSubcommands) std::fprintf(out, "  halvane2-cli %s\n", s.help->usage);
    std::fprintf(out, "\n'halvane2-cli SUBCOMMAND --help' describes one subcommand.\n");
}
}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails like any other, and the save reports it.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc < 2) {
        printHelp(stderr);
        return kUsageErrorStatus;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printHelp(stdout);
        return 0;
    }
    for (const Subcommand& s : kSubcommands) {
        if (name == s.help->name) return s.run(CliArgs(argv + 2, argv + argc));
    }
    return ReportUsageError(
        QStringLiteral("halvane2-cli"),
        QStringLiteral("unknown subcommand '%1'").arg(QString::fromLocal8Bit(name.c_str())),
        QStringLiteral("halvane2-cli SUBCOMMAND [ARGS]; 'halvane2-cli --help' lists them"));
}
