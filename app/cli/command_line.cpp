#include "app/cli/command_line.h"

#include <QRegularExpression>
#include <cstdio>
#include <exception>

#include "app/cli/cli_support.h"
#include "app/usage_error.h"
#include "core/errors.h"

const char* const CliCommand::kProgram = "halvane2-cli";

namespace {
// Stands in for a number with a leading minus while the parser runs (it would take it for options).
const QString kEscapeMark = QStringLiteral("\x1f");
}  // namespace

CliCommand::CliCommand(const CliHelp& help) : m_text(help) {
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("this text"));
}

void CliCommand::addOption(const QStringList& names, const QString& description, const QString& valueName) {
    m_parser.addOption(QCommandLineOption(names, description, valueName));
    m_defined += names;
    QString shown;
    for (const QString& n : names)
        shown += (shown.isEmpty() ? "" : ", ") + QString(n.size() > 1 ? "--" : "-") + n;
    if (!valueName.isEmpty()) shown += " " + valueName;
    m_help.push_back({shown, description});
}

void CliCommand::stopOptionsAtFirstArgument() {
    m_parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
}

std::optional<int> CliCommand::parse(const CliArgs& args) {
    static const QRegularExpression negativeNumber(QStringLiteral("^-[0-9.]"));
    QStringList list{QString::fromLatin1(kProgram)};
    m_escaped.clear();
    for (const std::string& a : args) {
        QString arg = QString::fromLocal8Bit(a.c_str());
        if (negativeNumber.match(arg).hasMatch()) {
            arg = kEscapeMark + QString::number(m_escaped.size());
            m_escaped.push_back(a);
        }
        list.append(arg);
    }
    if (!m_parser.parse(list)) return usageError(m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help"))) {
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    return std::nullopt;
}

std::string CliCommand::restore(const QString& text) const {
    if (text.startsWith(kEscapeMark)) {
        bool ok = false;
        const int index = text.mid(1).toInt(&ok);
        if (ok && index >= 0 && index < static_cast<int>(m_escaped.size())) return m_escaped[index];
    }
    return text.toLocal8Bit().toStdString();
}

std::string CliCommand::value(const QString& name) const {
    return m_defined.contains(name) ? restore(m_parser.value(name)) : std::string();
}

std::vector<std::string> CliCommand::arguments() const {
    std::vector<std::string> out;
    for (const QString& a : m_parser.positionalArguments()) out.push_back(restore(a));
    return out;
}

int CliCommand::usageError(const QString& message) const {
    return ReportUsageError(QString::fromLatin1(kProgram) + " " + m_text.name, message,
                            QString::fromLatin1(kProgram) + " " + QString::fromUtf8(m_text.usage));
}

int CliCommand::failure(const QString& message) const {
    PrintCliError(m_text.name, message.toLocal8Bit().toStdString());
    return kFailureStatus;
}

QString CliCommand::helpText() const {
    QString text = QStringLiteral("Usage: %1 %2\n\n%3\nOptions:\n")
                       .arg(QString::fromLatin1(kProgram), QString::fromUtf8(m_text.usage),
                            QString::fromUtf8(m_text.description));
    int width = 0;
    for (const OptionHelp& o : m_help) width = std::max(width, static_cast<int>(o.names.size()));
    const QString indent(width + 4, ' ');
    // The help option comes last, as readers expect.
    for (size_t i = 1; i <= m_help.size(); ++i) {
        const OptionHelp& o = m_help[i % m_help.size()];
        QString description = o.description;
        description.replace('\n', '\n' + indent);
        text += QStringLiteral("  %1  %2\n").arg(o.names.leftJustified(width), description);
    }
    if (*m_text.notes) text += '\n' + QString::fromUtf8(m_text.notes);
    return text;
}

int CliCommand::run(const CliArgs& args, const std::function<int()>& body) {
    if (const std::optional<int> done = parse(args)) return *done;
    try {
        return body();
    } catch (const CliUsageError& e) {
        return usageError(e.message);
    } catch (const std::exception& e) {
        return failure(QString::fromUtf8(e.what()));
    }
}
