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

#include <unistd.h>

#include "app/cli/cli.h"
#include "app/cli/cli_support.h"
#include "app/cli/session.h"
#include "core/errors.h"
#include "core/numtext.h"
#include "shell/mainform.h"
#include "view/ui/child.h"

const char* const kShowUsage = "show [--as bmp|fits|ppm] IN OUT.bmp";
const char* const kInfoUsage = "info [--as bmp|fits|ppm] IN";
const char* const kProbeUsage = "probe [--as bmp|fits|ppm] IN X Y [--zoom Z]";
const char* const kMeasureUsage = "measure [--as bmp|fits|ppm] IN X Y [--button left|right] [--zoom Z]";

namespace {

const char* const kAsHelp =
    "  --as KIND     the entry chosen in the open dialog: bmp, fits or ppm (default: from IN's\n"
    "                extension: .bmp, .fit/.fts/.fits, .ppm); the entry, not the extension, decides\n"
    "                how IN is read\n";
const char* const kZoomHelp =
    "  --zoom Z      zoom first, with the \"+\" and \"-\" steps: a power of two from 0.0625 to 16\n"
    "                (default 1)\n";
const char* const kCommonHelp =
    "  --help        this text\n"
    "\n"
    "The readers' trace lines go to standard error; errors too, with exit status 1.\n";

const char* const kShowHelp =
    "Opens IN as the open command does and writes its display image as the save command does: a\n"
    "24-bit Windows bitmap under exactly the name OUT.bmp (FITS files give their grey display).\n";
const char* const kInfoHelp =
    "Opens IN and prints one 'name: value' line each for the window's FilterI, DemX and DemY, and for\n"
    "a FITS window also Average, Minimum and the main window's Edit2 and Edit3.\n";
const char* const kProbeHelp =
    "Opens IN, zooms, and moves the mouse to (X, Y) of the visible picture (zoomed pixels); prints\n"
    "the probe's text (Label2) on one line, or nothing where the window kind shows none.\n";
const char* const kMeasureHelp =
    "Opens IN, zooms, and clicks at (X, Y) of the visible picture; prints the measurement's two\n"
    "texts (Label3, then Label4), one per line.\n";
const char* const kButtonHelp = "  --button B    left (default) or right\n";

struct Subcommand {
    const char* name;
    const char* usage;
    int positionals;  // how many plain arguments it takes
    bool zoom;        // takes --zoom
    bool button;      // takes --button
};

// A usage or run-time error of one subcommand.
struct CliFailure {
    std::string message;
    bool showUsage = false;
};

struct Options {
    std::optional<int> filterIndex;
    double zoom = 1;
    Qt::MouseButton button = Qt::LeftButton;
    std::vector<std::string> positionals;
    bool help = false;
};

void printHelp(const Subcommand& command, const char* text) {
    std::printf("Usage: halvane2-cli %s\n\n%s\n%s", command.usage, text, kAsHelp);
    if (command.zoom) std::fputs(kZoomHelp, stdout);
    if (command.button) std::fputs(kButtonHelp, stdout);
    std::fputs(kCommonHelp, stdout);
}

int filterIndexOfKind(const std::string& kind) {
    if (const int index = FilterIndexOfKind(kind)) return index;
    throw CliFailure{"--as takes bmp, fits or ppm, not '" + kind + "'"};
}

int filterIndexOfExtension(const std::string& path) {
    if (const int index = FilterIndexOfExtension(path)) return index;
    throw CliFailure{"cannot tell the kind of '" + path + "' from its extension; choose one with --as"};
}

double parseZoom(const std::string& text) {
    double z = 0;
    try {
        z = ParseReal(text);
    } catch (const ConversionError& e) {
        throw CliFailure{std::string("--zoom: ") + e.what()};
    }
    int exponent = 0;
    const double mantissa = std::frexp(z, &exponent);  // z = mantissa * 2^exponent, mantissa in [0.5, 1)
    if (!(z >= 0.0625 && z <= 16) || mantissa != 0.5)
        throw CliFailure{"--zoom takes a power of two from 0.0625 to 16, not '" + text + "'"};
    return z;
}

int parseCoordinate(const std::string& text) {
    try {
        return ParseInt(text);
    } catch (const ConversionError& e) {
        throw CliFailure{e.what()};
    }
}

Options parseOptions(const Subcommand& command, const CliArgs& args) {
    Options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw CliFailure{a + " needs a value"};
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--as") {
            options.filterIndex = filterIndexOfKind(value());
        } else if (a == "--zoom" && command.zoom) {
            options.zoom = parseZoom(value());
        } else if (a == "--button" && command.button) {
            const std::string& b = value();
            if (b == "left") {
                options.button = Qt::LeftButton;
            } else if (b == "right") {
                options.button = Qt::RightButton;
            } else {
                throw CliFailure{"--button takes left or right, not '" + b + "'"};
            }
        } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
            throw CliFailure{"unknown option '" + a + "'", true};
        } else {
            options.positionals.push_back(a);
        }
    }
    if (!options.help && static_cast<int>(options.positionals.size()) != command.positionals)
        throw CliFailure{"expected " + std::to_string(command.positionals) + " arguments, got " +
                             std::to_string(options.positionals.size()),
                         true};
    return options;
}

void throwOnError(const std::optional<QString>& error) {
    if (error) throw CliFailure{error->toStdString()};
}

// Opens the file through the open command with the dialog's entry chosen; the new window.
TChild* openImage(CliSession& session, const std::string& path, std::optional<int> filterIndex) {
    const int index = filterIndex ? *filterIndex : filterIndexOfExtension(path);
    session.platform().openAnswers.push_back(FileDialogResult{QString::fromStdString(path), index});
    {
        TraceToStderr trace;
        throwOnError(session.run(&TMainForm::OpenButtonClick));
    }
    TChild* window = session.mainForm().ActiveImageWindow();
    if (!window) throw CliFailure{"no window was made for '" + path + "'"};
    return window;
}

void zoomTo(CliSession& session, double z) {
    for (double at = 1; at < z; at *= 2) throwOnError(session.run(&TMainForm::Button1Click));
    for (double at = 1; at > z; at *= 0.5) throwOnError(session.run(&TMainForm::Button2Click));
}

// Runs a window's mouse handler through the dispatcher, as the Image control does.
void runMouseHandler(CliSession& session, const std::function<void()>& handler) {
    const size_t before = session.platform().messages.size();
    session.mainForm().runHandler(handler, false);
    const auto& messages = session.platform().messages;
    for (size_t i = before; i < messages.size(); ++i)
        if (messages[i].error) throw CliFailure{messages[i].text.toStdString()};
}

void printLine(const QString& text) {
    std::printf("%s\n", text.toStdString().c_str());
}

int runSubcommand(const Subcommand& command, const char* helpText, const CliArgs& args,
                  void (*body)(CliSession&, const Options&)) {
    try {
        const Options options = parseOptions(command, args);
        if (options.help) {
            printHelp(command, helpText);
            return 0;
        }
        qInstallMessageHandler(QuietQtMessages);
        CliSession session;
        body(session, options);
        std::fflush(stdout);
        return 0;
    } catch (const CliFailure& failure) {
        PrintCliError(command.name, failure.message);
        if (failure.showUsage) std::fprintf(stderr, "Usage: halvane2-cli %s\n", command.usage);
        return 1;
    } catch (const std::exception& e) {
        PrintCliError(command.name, e.what());
        return 1;
    }
}

const Subcommand kShow{"show", kShowUsage, 2, false, false};
const Subcommand kInfo{"info", kInfoUsage, 1, false, false};
const Subcommand kProbe{"probe", kProbeUsage, 3, true, false};
const Subcommand kMeasure{"measure", kMeasureUsage, 3, true, true};

}  // namespace

int RunShowCli(const CliArgs& args) {
    return runSubcommand(kShow, kShowHelp, args, [](CliSession& session, const Options& options) {
        openImage(session, options.positionals[0], options.filterIndex);
        session.platform().saveAnswers.push_back(
            FileDialogResult{QString::fromStdString(options.positionals[1]), 1});
        throwOnError(session.run(&TMainForm::Save1Click));
    });
}

int RunInfoCli(const CliArgs& args) {
    return runSubcommand(kInfo, kInfoHelp, args, [](CliSession& session, const Options& options) {
        const TChild* window = openImage(session, options.positionals[0], options.filterIndex);
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
    return runSubcommand(kProbe, kProbeHelp, args, [](CliSession& session, const Options& options) {
        const int x = parseCoordinate(options.positionals[1]);
        const int y = parseCoordinate(options.positionals[2]);
        TChild* window = openImage(session, options.positionals[0], options.filterIndex);
        zoomTo(session, options.zoom);
        // A text no probe writes tells whether the window kind left the label alone.
        QLabel* label = session.mainForm().toolStrip().Label2;
        const QString untouched = QStringLiteral("\x01untouched\x01");
        label->setText(untouched);
        runMouseHandler(session, [window, x, y] { window->ImageMouseMove(x, y); });
        if (label->text() != untouched) printLine(label->text());
    });
}

int RunMeasureCli(const CliArgs& args) {
    return runSubcommand(kMeasure, kMeasureHelp, args, [](CliSession& session, const Options& options) {
        const int x = parseCoordinate(options.positionals[1]);
        const int y = parseCoordinate(options.positionals[2]);
        TChild* window = openImage(session, options.positionals[0], options.filterIndex);
        zoomTo(session, options.zoom);
        const Qt::MouseButton button = options.button;
        runMouseHandler(session, [window, button, x, y] { window->ImageMouseDown(button, x, y); });
        const ToolStrip& strip = session.mainForm().toolStrip();
        printLine(strip.Label3->text());
        printLine(strip.Label4->text());
    });
}
