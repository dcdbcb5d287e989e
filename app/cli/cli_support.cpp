#include "app/cli/cli_support.h"

#include "app/cli/command_line.h"

#include <unistd.h>

#include <QString>
#include <cstdio>

#include "app/cli/session.h"
#include "shell/image_files.h"
#include "shell/mainform.h"

namespace {
// Standard output goes to standard error while the object lives.
class TraceToStderr {
  public:
    TraceToStderr() {
        std::fflush(stdout);
        m_saved = ::dup(1);
        if (m_saved >= 0) ::dup2(2, 1);
    }
    ~TraceToStderr() {
        std::fflush(stdout);
        if (m_saved >= 0) {
            ::dup2(m_saved, 1);
            ::close(m_saved);
        }
    }
    TraceToStderr(const TraceToStderr&) = delete;
    TraceToStderr& operator=(const TraceToStderr&) = delete;

  private:
    int m_saved = -1;
};
}  // namespace

TChild* CliOpenImage(CliSession& session, const std::string& path, int filterIndex) {
    session.platform().openAnswers.push_back(FileDialogResult{QString::fromStdString(path), filterIndex});
    {
        TraceToStderr trace;
        session.mustRun(&TMainForm::OpenButtonClick);
    }
    return session.mainForm().ActiveImageWindow();
}

void PrintCliError(const char* subcommand, const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "halvane2-cli %s: %s\n", subcommand, message.c_str());
}

void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int CliFilterIndex(const std::string& kind, const std::string& path) {
    if (!kind.empty()) {
        if (kind == "bmp") return 1;
        if (kind == "fits") return 2;
        if (kind == "ppm") return 3;
        throw CliUsageError{QString::fromStdString("--as takes bmp, fits or ppm, not '" + kind + "'")};
    }
    if (const int index = OpenFilterIndexOfExtension(path)) return index;
    throw CliUsageError{QString::fromStdString("cannot tell the kind of '" + path +
                                               "' from its extension; choose one with --as")};
}
