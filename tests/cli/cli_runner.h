// Runs halvane2-cli as a user does: a process with its arguments, its output, its error text and
// its exit status.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/scratch_dir.h"

#ifndef HV_CLI_PATH
#error "HV_CLI_PATH names the halvane2-cli executable"
#endif

namespace clitest {

struct CliResult {
    int status = -1;
    std::string out, err;
};

// The text inside single quotes of a shell word.
inline std::string Quoted(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out;
}

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs a shell command line with standard output and standard error captured, offscreen, in the
// directory dir (empty: the current one).
inline CliResult RunShell(const std::string& commandLine, const std::filesystem::path& dir = {}) {
    const hvtest::ScratchDir scratch("cli-run");
    const std::filesystem::path& io = scratch.dir();
    std::string command = "QT_QPA_PLATFORM=offscreen sh -c '" + Quoted(commandLine) + "' >'" +
                          (io / "out").string() + "' 2>'" + (io / "err").string() + "'";
    if (!dir.empty()) command = "cd '" + dir.string() + "' && " + command;
    CliResult r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadText(io / "out");
    r.err = ReadText(io / "err");
    return r;
}

// halvane2-cli with the arguments (shell words).
inline CliResult RunCli(const std::string& arguments, const std::filesystem::path& dir = {}) {
    return RunShell("exec '" HV_CLI_PATH "' " + arguments, dir);
}

}  // namespace clitest
