// halvane2-cli apply: opens an image as the open command does, runs a sequence of the program's
// commands on it through the real handlers, with the dialogs answered by setting their fields and
// pressing OK, and saves the display image through the save command.
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "app/cli/cli_support.h"
#include "app/cli/command_line.h"
#include "app/cli/session.h"
#include "filters/ui/dialogs.h"
#include "shell/mainform.h"
#include "shell/startup.h"
#include "view/ui/child.h"

const CliHelp kApplyHelp = {
    "apply", "apply [--as bmp|fits|ppm] [--gamma-field TEXT] IN OUT.bmp COMMAND [ARGS] [COMMAND [ARGS] ...]",
    "Opens IN as the open command does, runs the commands in order on the active window with the\n"
    "program's own handlers and dialogs, and saves the display image as the save command does (a\n"
    "24-bit Windows bitmap under exactly the name OUT). Prints each file written on one line.\n"
    "\n"
    "Commands:\n"
    "  negative, mirror, flip          the edits\n"
    "  rgb-split                       RGB separation; the commands after it act on \"Red\", and each\n"
    "                                  window it made is also saved as OUT with -Blue, -Green or -Red\n"
    "                                  before the extension\n"
    "  contrast-up, contrast-down      \"H\" and \"L\"\n"
    "  zoom-in, zoom-out               \"+\" and \"-\"\n"
    "  edge E                          edge enhancement, strength E\n"
    "  blur S                          blur, amount S\n"
    "  gamma G                         gamma, exponent G\n"
    "  solarize                        solarization\n"
    "  sabattier S                     Sabattier effect, step width S\n"
    "  gmc DIRECTION FLOW BLUR THRESHOLD\n"
    "                                  guide-miss canceller\n"
    "  coma X Y AMOUNT                 coma correction; its exponent is the gamma dialog's field\n",
    "The readers' trace lines go to standard error. A value a dialog refuses, or an error box, ends\n"
    "the run with the message on standard error and exit status 1; a command line that cannot be\n"
    "used, with exit status 2.\n"};

namespace {

// One command: its name, its handler, and the dialog it shows with the fields its arguments go
// into, in order (no dialog: no arguments).
struct CommandEntry {
    const char* name;
    void (TMainForm::*handler)();
    FilterDialog* (*dialog)(const HalvaneWindows&);
    std::vector<const char*> fields;
    size_t arity() const { return fields.size(); }
};

const CommandEntry kCommands[] = {
    {"negative", &TMainForm::N1Click, nullptr, {}},
    {"mirror", &TMainForm::M1Click, nullptr, {}},
    {"flip", &TMainForm::R1Click, nullptr, {}},
    {"rgb-split", &TMainForm::RGB2Click, nullptr, {}},
    {"contrast-up", &TMainForm::Button3Click, nullptr, {}},
    {"contrast-down", &TMainForm::Button4Click, nullptr, {}},
    {"zoom-in", &TMainForm::Button1Click, nullptr, {}},
    {"zoom-out", &TMainForm::Button2Click, nullptr, {}},
    {"edge", &TMainForm::N2Click, [](const HalvaneWindows& w) -> FilterDialog* { return w.edg; }, {"Edit1"}},
    {"blur", &TMainForm::N4Click, [](const HalvaneWindows& w) -> FilterDialog* { return w.blur; }, {"Edit1"}},
    {"gamma", &TMainForm::N6Click, [](const HalvaneWindows& w) -> FilterDialog* { return w.gmm; }, {"Edit1"}},
    {"solarize", &TMainForm::N7Click, nullptr, {}},
    {"sabattier",
     &TMainForm::N8Click,
     [](const HalvaneWindows& w) -> FilterDialog* { return w.sabachie; },
     {"Edit1"}},
    {"gmc",
     &TMainForm::P1Click,
     [](const HalvaneWindows& w) -> FilterDialog* { return w.gmcPanel; },
     {"Edit1", "Edit2", "Edit3", "Edit4"}},
    {"coma",
     &TMainForm::N9Click,
     [](const HalvaneWindows& w) -> FilterDialog* { return w.comaCorrect; },
     {"Edit1", "Edit2", "Edit3"}},
};

struct Step {
    const CommandEntry* entry;
    std::vector<std::string> args;
};

// OUT with "-Red" (say) before the extension.
QString withSuffix(const QString& out, const QString& caption) {
    const qsizetype slash = out.lastIndexOf('/');
    const qsizetype dot = out.lastIndexOf('.');
    if (dot <= slash + 1) return out + "-" + caption;  // no extension (or a leading dot only)
    return out.left(dot) + "-" + caption + out.mid(dot);
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// Runs a step's handler. Its dialog, if any, gets the step's arguments in its fields and OK is
// pressed while the handler waits for it; a refused value ends the run with the dialog's own box.
void runStep(CliSession& session, const Step& step) {
    ScriptedPlatform& platform = session.platform();
    const size_t before = platform.messages.size();
    bool refused = false;
    if (step.entry->dialog) {
        FilterDialog* dialog = step.entry->dialog(session.windows());
        platform.modalHandlers[dialog->objectName()] = [&step, dialog, &refused](QWidget*) {
            for (size_t k = 0; k < step.args.size(); ++k)
                dialog->findChild<QLineEdit*>(QString::fromLatin1(step.entry->fields[k]))
                    ->setText(q(step.args[k]));
            dialog->setResult(QDialog::Rejected);
            dialog->Button1Click();
            if (dialog->result() != QDialog::Accepted) refused = true;
        };
    }
    const std::optional<QString> error = session.run(step.entry->handler);
    if (refused) {
        // The dialog's own box (or its error box) answered the value first; the command then went
        // on as after the close box.
        throw std::runtime_error(platform.messages.size() > before
                                     ? platform.messages[before].text.toStdString()
                                     : "the dialog refused the value");
    }
    if (error) throw std::runtime_error(error->toStdString());
}

int runSteps(const CliCommand& command, const std::string& in, const std::string& out, int filterIndex,
             const std::vector<Step>& steps) {
    qInstallMessageHandler(QuietQtMessages);
    CliSession session;
    ScriptedPlatform& platform = session.platform();
    TMainForm& form = session.mainForm();
    if (command.isSet(QStringLiteral("gamma-field")))
        session.windows().gmm->Edit1->setText(q(command.value(QStringLiteral("gamma-field"))));

    if (!CliOpenImage(session, in, filterIndex)) return command.failure("could not open '" + in + "'");

    std::map<QString, TChild*> splitWindows;  // caption -> window of the last RGB separation
    for (const Step& step : steps) {
        const QList<TChild*> before = form.imageWindowsMostRecentFirst();
        runStep(session, step);
        if (step.entry->handler == &TMainForm::RGB2Click)
            for (TChild* child : form.imageWindowsMostRecentFirst())
                if (!before.contains(child)) splitWindows[child->caption()] = child;
    }

    // The active window's display image, then every window of the separation.
    std::vector<std::pair<TChild*, QString>> saves;
    if (TChild* active = form.ActiveImageWindow()) saves.emplace_back(active, q(out));
    for (const char* caption : {"Blue", "Green", "Red"})
        if (splitWindows.count(caption))
            saves.emplace_back(splitWindows[caption], withSuffix(q(out), QString::fromLatin1(caption)));
    if (saves.empty()) return command.failure(std::string("no image window is left to save"));
    for (const auto& [child, path] : saves) {
        form.mdiArea()->setActiveSubWindow(child->subWindow());
        if (form.ActiveImageWindow() != child)
            return command.failure("could not activate the window '" + child->caption().toStdString() + "'");
        platform.saveAnswers.push_back(FileDialogResult{path, 1});
        session.mustRun(&TMainForm::Save1Click);
        std::printf("%s\n", path.toStdString().c_str());
    }
    return 0;
}

}  // namespace

int RunApplyCli(const CliArgs& args) {
    CliCommand command(kApplyHelp);
    command.addOption({QStringLiteral("as")},
                      QStringLiteral("the entry chosen in the open dialog (default: from IN's\n"
                                     "extension: .bmp, .fit/.fts/.fits, .ppm); the entry, not the\n"
                                     "extension, decides how IN is read"),
                      QStringLiteral("bmp|fits|ppm"));
    command.addOption({QStringLiteral("gamma-field")},
                      QStringLiteral("the gamma dialog's field before the first command (initially\n"
                                     "\"1.0\"; a gamma command leaves its exponent there)"),
                      QStringLiteral("TEXT"));
    command.stopOptionsAtFirstArgument();
    return command.run(args, [&command] {
        const std::vector<std::string> a = command.arguments();
        if (a.size() < 2) throw CliUsageError{QStringLiteral("IN and OUT are required")};
        const int filterIndex = CliFilterIndex(command.value(QStringLiteral("as")), a[0]);
        std::vector<Step> steps;
        for (size_t i = 2; i < a.size();) {
            const CommandEntry* entry = nullptr;
            for (const CommandEntry& c : kCommands)
                if (a[i] == c.name) entry = &c;
            if (!entry) throw CliUsageError{q("unknown command '" + a[i] + "'")};
            if (i + entry->arity() >= a.size())
                throw CliUsageError{q(std::string("'") + entry->name + "' takes " +
                                      std::to_string(entry->arity()) + " argument(s)")};
            steps.push_back(
                {entry, std::vector<std::string>(a.begin() + i + 1, a.begin() + i + 1 + entry->arity())});
            i += 1 + entry->arity();
        }
        if (steps.empty()) throw CliUsageError{QStringLiteral("no command given")};
        return runSteps(command, a[0], a[1], filterIndex, steps);
    });
}
