// Helpers shared by the image subcommands of halvane2-cli.
#pragma once

#include <QtGlobal>
#include <string>

class QMessageLogContext;
class QString;

// Standard output goes to standard error while the object lives: the readers write their trace
// lines to standard output, which then carries only the subcommand's results.
class TraceToStderr {
  public:
    TraceToStderr();
    ~TraceToStderr();
    TraceToStderr(const TraceToStderr&) = delete;
    TraceToStderr& operator=(const TraceToStderr&) = delete;

  private:
    int m_saved = -1;
};

// Writes "halvane2-cli SUBCOMMAND: message" to standard error on a line of its own: trace lines
// still buffered for standard output (which may be standard error, see TraceToStderr) go first.
void PrintCliError(const char* subcommand, const std::string& message);

// Qt's notices about the offscreen platform are no errors of a subcommand: only critical and fatal
// messages reach standard error. For qInstallMessageHandler.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text);

// The open dialog's entry (1 bitmap, 2 FITS, 3 PPM) for --as bmp|fits|ppm when kind is given, else
// for the extension of path. Throws CliUsageError when it cannot be told.
int CliFilterIndex(const std::string& kind, const std::string& path);
