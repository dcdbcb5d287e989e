#include "shell/program.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "shell/mainform.h"

namespace {
void centre(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window.move(area.center().x() - TMainForm::kOuterWidth / 2,
                area.center().y() - TMainForm::kOuterHeight / 2);
}

// Qt's own command-line options, which QApplication takes out of the arguments. Known to the parser
// too, so that the arguments can be checked (and --help answered) before any display is opened.
void addQtOptions(QCommandLineParser& parser) {
    const char* const withValue[] = {"platform",      "platformpluginpath",
                                     "platformtheme", "plugin",
                                     "qmljsdebugger", "qwindowgeometry",
                                     "qwindowicon",   "qwindowtitle",
                                     "session",       "display",
                                     "geometry",      "name",
                                     "visual",        "style",
                                     "stylesheet"};
    const char* const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (const char* name : withValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : flags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}
}  // namespace

std::optional<int> ParseProgramArguments(int argc, char** argv, ProgramOptions& options) {
    QCoreApplication::setApplicationName(QStringLiteral("HALVANE-2"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HV_VERSION));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);  // Qt's "-platform"
    parser.setApplicationDescription(QStringLiteral(
        "HALVANE-2: a benchmark of astronomical CCD image processing (the menu entry 計測開始) and an "
        "image workbench for BMP, FITS and PPM files."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption workbenchOption(
        QStringLiteral("workbench"),
        QStringLiteral(
            "Show the image workbench: the tool strip, 開く and 保存, and the menus 画像編集 and 画像処理."));
    parser.addOption(workbenchOption);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("Image files to open, one after the other, each by its extension (.bmp; .fit, .fts, "
                       ".fits; .ppm). Implies --workbench."),
        QStringLiteral("[FILE...]"));
    addQtOptions(parser);

    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const bool parsed = parser.parse(arguments);
    if (!parsed || parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")) ||
        parser.isSet(QStringLiteral("version"))) {
        // Text only: no display is needed. The application object names the program in the usage.
        static char programName[] = "halvane2";
        static char* textArgv[] = {programName, nullptr};
        int textArgc = 1;
        QCoreApplication core(textArgc, textArgv);
        if (!parsed) {
            std::fprintf(stderr, "halvane2: %s\n\n%s", qPrintable(parser.errorText()),
                         qPrintable(parser.helpText()));
            return 2;
        }
        if (parser.isSet(QStringLiteral("version")))
            std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                        qPrintable(QCoreApplication::applicationVersion()));
        else
            std::fputs(qPrintable(parser.helpText()), stdout);  // Qt's own options need no help here
        return 0;
    }

    options.files = parser.positionalArguments();
    options.workbench = parser.isSet(workbenchOption) || !options.files.isEmpty();
    return std::nullopt;
}

void StartProgram(TMainForm& form, const ProgramOptions& options) {
    if (options.workbench) form.showWorkbench();
    centre(form);
    form.show();
    // Once the window is up, so that an error box stands over it.
    const QStringList files = options.files;
    if (!files.isEmpty()) QTimer::singleShot(0, &form, [&form, files] { form.openFiles(files); });
}
