// One subcommand's command line: its usage line, description and options, parsed with
// QCommandLineParser. Every subcommand prints its help, reports a usage error (message and usage on
// standard error, exit status 2) and a failure (message on standard error, exit status 1) alike.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;

inline constexpr int kFailureStatus = 1;

// A usage error found after parsing (a value out of range, say); CliCommand::run reports it.
struct CliUsageError {
    QString message;
};

// What the help says about a subcommand (the tool's --help lists every name and usage).
struct CliHelp {
    const char* name;         // "bench"
    const char* usage;        // the one-line usage after "halvane2-cli"
    const char* description;  // the help text's paragraph
    const char* notes = "";   // text after the option list
};

class CliCommand {
  public:
    explicit CliCommand(const CliHelp& help);

    // An option with its help text; a value name makes it take a value.
    void addOption(const QStringList& names, const QString& description, const QString& valueName = {});
    // Everything after the first plain argument is a plain argument too (apply's command list).
    void stopOptionsAtFirstArgument();

    // Parses the subcommand's arguments. Returns the exit status when the command is done: 0 after
    // printing the help for --help, kUsageErrorStatus after reporting a usage error. Nothing when
    // the command should run.
    std::optional<int> parse(const CliArgs& args);

    // False for an option this subcommand does not take (the parser would warn on standard error).
    bool isSet(const QString& name) const { return m_defined.contains(name) && m_parser.isSet(name); }
    std::string value(const QString& name) const;
    // The plain arguments. Texts such as "-5" count as plain arguments, not as options.
    std::vector<std::string> arguments() const;

    // Reports a usage error; returns kUsageErrorStatus.
    int usageError(const QString& message) const;
    // Reports a failure of the command ("halvane2-cli NAME: message"); returns kFailureStatus.
    int failure(const QString& message) const;
    int failure(const std::string& message) const { return failure(QString::fromStdString(message)); }

    // Parses, then runs body (which returns the exit status). A CliUsageError becomes a usage error,
    // any other exception a failure.
    int run(const CliArgs& args, const std::function<int()>& body);

    static const char* const kProgram;  // "halvane2-cli"

  private:
    std::string restore(const QString& text) const;
    QString helpText() const;

    CliHelp m_text;
    QCommandLineParser m_parser;
    struct OptionHelp {
        QString names, description;
    };
    std::vector<OptionHelp> m_help;
    QStringList m_defined;               // every name of every option added
    std::vector<std::string> m_escaped;  // arguments that look like options but are numbers
};
