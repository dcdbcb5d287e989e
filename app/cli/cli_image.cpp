// halvane2-cli show, info, probe and measure: the open command, the save command, the probe and the
// click measurement, driven headless through the main window's own handlers.
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QtGlobal>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "app/cli/cli_support.h"
#include "app/cli/command_line.h"
#include "app/cli/session.h"
#include "core/errors.h"
#include "core/numtext.h"
#include "shell/mainform.h"
#include "view/ui/child.h"

namespace {

const char* const kAsHelp =
    "the entry chosen in the open dialog: bmp, fits or ppm (default: from IN's\n"
    "extension: .bmp, .fit/.fts/.fits, .ppm); the entry, not the extension, decides\n"
    "how IN is read";
const char* const kZoomHelp =
    "zoom first, with the \"+\" and \"-\" steps: a power of two from 0.0625 to 16\n"
    "(default 1)";
const char* const kNotes =
    "The readers' trace lines go to standard error; errors too, with exit status 1 (2 for a command\n"
    "line that cannot be used).\n";

}  // namespace

const CliHelp kShowHelp = {
    "show", "show [--as bmp|fits|ppm] IN OUT.bmp",
    "Opens IN as the open command does and writes its display image as the save command does: a\n"
    "24-bit Windows bitmap under exactly the name OUT.bmp (FITS files give their grey display).\n",
    kNotes};
const CliHelp kInfoHelp = {
    "info", "info [--as bmp|fits|ppm] IN",
    "Opens IN and prints one 'name: value' line each for the window's FilterI, DemX and DemY, and for\n"
    "a FITS window also Average, Minimum and the main window's Edit2 and Edit3.\n",
    kNotes};
const CliHelp kProbeHelp = {
    "probe", "probe [--as bmp|fits|ppm] IN X Y [--zoom Z]",
    "Opens IN, zooms, and moves the mouse to (X, Y) of the visible picture (zoomed pixels); prints\n"
    "the probe's text (Label2) on one line, or nothing where the window kind shows none.\n",
    kNotes};
const CliHelp kMeasureHelp = {
    "measure", "measure [--as bmp|fits|ppm] IN X Y [--button left|right] [--zoom Z]",
    "Opens IN, zooms, and clicks at (X, Y) of the visible picture; prints the measurement's two\n"
    "texts (Label3, then Label4), one per line.\n",
    kNotes};

namespace {

// What the image subcommands share: IN's kind, the zoom, the mouse button, the plain arguments.
struct Options {
    int filterIndex = 0;
    double zoom = 1;
    Qt::MouseButton button = Qt::LeftButton;
    std::vector<std::string> arguments;
};

double parseZoom(const std::string& text) {
    double z = 0;
    try {
        z = ParseReal(text);
    } catch (const ConversionError& e) {
        throw CliUsageError{QStringLiteral("--zoom: ") + QString::fromUtf8(e.what())};
    }
    int exponent = 0;
    const double mantissa = std::frexp(z, &exponent);  // z = mantissa * 2^exponent, mantissa in [0.5, 1)
    if (!(z >= 0.0625 && z <= 16) || mantissa != 0.5)
        throw CliUsageError{
            QString::fromStdString("--zoom takes a power of two from 0.0625 to 16, not '" + text + "'")};
    return z;
}

int parseCoordinate(const std::string& text) {
    try {
        return ParseInt(text);
    } catch (const ConversionError& e) {
        throw CliUsageError{QString::fromUtf8(e.what())};
    }
}

Options readOptions(const CliCommand& command, size_t arguments) {
    Options options;
    options.arguments = command.arguments();
    if (options.arguments.size() != arguments)
        throw CliUsageError{
            QStringLiteral("expected %1 arguments, got %2").arg(arguments).arg(options.arguments.size())};
    options.filterIndex = CliFilterIndex(command.value(QStringLiteral("as")), options.arguments[0]);
    if (command.isSet(QStringLiteral("zoom")))
        options.zoom = parseZoom(command.value(QStringLiteral("zoom")));
    if (command.isSet(QStringLiteral("button"))) {
        const std::string b = command.value(QStringLiteral("button"));
        if (b == "right")
            options.button = Qt::RightButton;
        else if (b != "left")
            throw CliUsageError{QString::fromStdString("--button takes left or right, not '" + b + "'")};
    }
    return options;
}

// Opens the file through the open command with the dialog's entry chosen; the new window.
TChild* openImage(CliSession& session, const std::string& path, int filterIndex) {
    TChild* window = CliOpenImage(session, path, filterIndex);
    if (!window) throw std::runtime_error("no window was made for '" + path + "'");
    return window;
}

void zoomTo(CliSession& session, double z) {
    for (double at = 1; at < z; at *= 2) session.mustRun(&TMainForm::Button1Click);
    for (double at = 1; at > z; at *= 0.5) session.mustRun(&TMainForm::Button2Click);
}

// Probe and measure: reads X and Y, opens IN and zooms; the window and the point (X, Y) of its
// visible picture.
struct Target {
    TChild* window;
    int x, y;
};

Target openZoomed(CliSession& session, const Options& options) {
    const int x = parseCoordinate(options.arguments[1]);
    const int y = parseCoordinate(options.arguments[2]);
    TChild* window = openImage(session, options.arguments[0], options.filterIndex);
    zoomTo(session, options.zoom);
    return {window, x, y};
}

void printLine(const QString& text) {
    std::printf("%s\n", text.toStdString().c_str());
}

// The subcommand with --as, and --zoom and --button where it takes them: parses, opens a session
// and runs body on it.
int runImageCommand(const CliHelp& help, bool zoom, bool button, const CliArgs& args, size_t arguments,
                    const std::function<void(CliSession&, const Options&)>& body) {
    CliCommand command(help);
    command.addOption({QStringLiteral("as")}, QString::fromUtf8(kAsHelp), QStringLiteral("KIND"));
    if (zoom) command.addOption({QStringLiteral("zoom")}, QString::fromUtf8(kZoomHelp), QStringLiteral("Z"));
    if (button)
        command.addOption({QStringLiteral("button")}, QStringLiteral("left (default) or right"),
                          QStringLiteral("B"));
    return command.run(args, [&] {
        const Options options = readOptions(command, arguments);
        qInstallMessageHandler(QuietQtMessages);
        CliSession session;
        body(session, options);
        std::fflush(stdout);
        return 0;
    });
}

}  // namespace

int RunShowCli(const CliArgs& args) {
    return runImageCommand(kShowHelp, false, false, args, 2, [](CliSession& session, const Options& options) {
        openImage(session, options.arguments[0], options.filterIndex);
        session.platform().saveAnswers.push_back(
            FileDialogResult{QString::fromStdString(options.arguments[1]), 1});
        session.mustRun(&TMainForm::Save1Click);
    });
}

int RunInfoCli(const CliArgs& args) {
    return runImageCommand(kInfoHelp, false, false, args, 1, [](CliSession& session, const Options& options) {
        const TChild* window = openImage(session, options.arguments[0], options.filterIndex);
        const ChildState& s = window->state;
        std::printf("FilterI: %s\nDemX: %s\nDemY: %s\n", s.FilterI.c_str(), s.DemX.c_str(), s.DemY.c_str());
        if (s.FilterI == "2") {
            std::printf("Average: %s\nMinimum: %s\n", s.Average.c_str(), s.Minimum.c_str());
            const ToolStrip& strip = session.mainForm().toolStrip();
            std::printf("Edit2: %s\nEdit3: %s\n", strip.Edit2->text().toStdString().c_str(),
                        strip.Edit3->text().toStdString().c_str());
        }
    });
}

int RunProbeCli(const CliArgs& args) {
    return runImageCommand(kProbeHelp, true, false, args, 3, [](CliSession& session, const Options& options) {
        const Target at = openZoomed(session, options);
        // A text no probe writes tells whether the window kind left the label alone.
        QLabel* label = session.mainForm().toolStrip().Label2;
        const QString untouched = QStringLiteral("\x01untouched\x01");
        label->setText(untouched);
        session.mustRun([at] { at.window->ImageMouseMove(at.x, at.y); }, false);
        if (label->text() != untouched) printLine(label->text());
    });
}

int RunMeasureCli(const CliArgs& args) {
    return runImageCommand(
        kMeasureHelp, true, true, args, 3, [](CliSession& session, const Options& options) {
            const Target at = openZoomed(session, options);
            const Qt::MouseButton button = options.button;
            session.mustRun([at, button] { at.window->ImageMouseDown(button, at.x, at.y); }, false);
            const ToolStrip& strip = session.mainForm().toolStrip();
            printLine(strip.Label3->text());
            printLine(strip.Label4->text());
        });
}
