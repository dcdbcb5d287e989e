#include "app/cli/cli_support.h"

#include <unistd.h>

#include <QFileInfo>
#include <QString>
#include <cstdio>

TraceToStderr::TraceToStderr() {
    std::fflush(stdout);
    m_saved = ::dup(1);
    if (m_saved >= 0) ::dup2(2, 1);
}

TraceToStderr::~TraceToStderr() {
    std::fflush(stdout);
    if (m_saved >= 0) {
        ::dup2(m_saved, 1);
        ::close(m_saved);
    }
}

void PrintCliError(const char* subcommand, const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "halvane2-cli %s: %s\n", subcommand, message.c_str());
}

void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int FilterIndexOfKind(const std::string& kind) {
    if (kind == "bmp") return 1;
    if (kind == "fits") return 2;
    if (kind == "ppm") return 3;
    return 0;
}

int FilterIndexOfExtension(const std::string& path) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (suffix == "bmp") return 1;
    if (suffix == "fit" || suffix == "fts" || suffix == "fits") return 2;
    if (suffix == "ppm") return 3;
    return 0;
}
