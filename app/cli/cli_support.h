// Helpers shared by the image subcommands of halvane2-cli.
#pragma once

#include <QtGlobal>
#include <string>

class CliSession;
class QMessageLogContext;
class QString;
class TChild;

// Opens path through the main window's open command with the dialog's entry filterIndex (see
// CliFilterIndex). The readers' trace lines go to standard error meanwhile, so standard output
// carries only the subcommand's results. Returns the active image window (nullptr when none was made).
TChild* CliOpenImage(CliSession& session, const std::string& path, int filterIndex);

// Writes "halvane2-cli SUBCOMMAND: message" to standard error on a line of its own: trace lines
// still buffered for standard output (which may be standard error, see CliOpenImage) go first.
void PrintCliError(const char* subcommand, const std::string& message);

// Qt's notices about the offscreen platform are no errors of a subcommand: only critical and fatal
// messages reach standard error. For qInstallMessageHandler.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text);

// The open dialog's entry (1 bitmap, 2 FITS, 3 PPM) for --as bmp|fits|ppm when kind is given, else
// for the extension of path. Throws CliUsageError when it cannot be told.
int CliFilterIndex(const std::string& kind, const std::string& path);
