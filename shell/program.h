// The program's command line and start: what halvane2 does before and after its windows exist.
#pragma once

#include <QStringList>
#include <optional>

class TMainForm;

struct ProgramOptions {
    bool workbench = false;  // --workbench, or files named
    QStringList files;
};

// Parses the arguments (argv[0] first; Qt's own options are known and left to the application
// object). Returns the exit status when the program ends here: 0 after --help or --version
// (written to standard output), 2 after a usage error (message and usage on standard error).
// Needs no display.
std::optional<int> ParseProgramArguments(int argc, char** argv, ProgramOptions& options);

// Shows the main window as the options ask: with the workbench or in its fixed layout, centred on
// the desktop; the files open one after the other once the event loop runs.
void StartProgram(TMainForm& form, const ProgramOptions& options);
