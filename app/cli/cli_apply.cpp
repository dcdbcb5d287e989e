// halvane2-cli apply: opens an image as the open command does, runs a sequence of the program's
// commands on it through the real handlers, with the dialogs answered by setting their fields and
// pressing OK, and saves the display image through the save command.
#include <unistd.h>
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
#include "app/cli/session.h"
#include "filters/ui/dialogs.h"
#include "shell/mainform.h"
#include "view/ui/child.h"

const char* const kApplyUsage =
    "apply [--as bmp|fits|ppm] [--gamma-field TEXT] IN OUT.bmp COMMAND [ARGS] [COMMAND [ARGS] ...]";

namespace {

const char* const kHelp =
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
    "  coma X Y AMOUNT                 coma correction; its exponent is the gamma dialog's field\n"
    "\n"
    "Options:\n"
    "  --as bmp|fits|ppm               the entry chosen in the open dialog (default: from IN's\n"
    "                                  extension: .bmp, .fit/.fts/.fits, .ppm); the entry, not the\n"
    "                                  extension, decides how IN is read\n"
    "  --gamma-field TEXT              the gamma dialog's field before the first command (initially\n"
    "                                  \"1.0\"; a gamma command leaves its exponent there)\n"
    "\n"
    "  --help                          this text\n"
    "\n"
    "The readers' trace lines go to standard error. A value a dialog refuses, or an error box, ends\n"
    "the run with the message on standard error and exit status 1.\n";

struct CommandEntry {
    const char* name;
    int arity;
    void (TMainForm::*handler)();
};

const CommandEntry kCommands[] = {
    {"negative", 0, &TMainForm::N1Click},
    {"mirror", 0, &TMainForm::M1Click},
    {"flip", 0, &TMainForm::R1Click},
    {"rgb-split", 0, &TMainForm::RGB2Click},
    {"contrast-up", 0, &TMainForm::Button3Click},
    {"contrast-down", 0, &TMainForm::Button4Click},
    {"zoom-in", 0, &TMainForm::Button1Click},
    {"zoom-out", 0, &TMainForm::Button2Click},
    {"edge", 1, &TMainForm::N2Click},
    {"blur", 1, &TMainForm::N4Click},
    {"gamma", 1, &TMainForm::N6Click},
    {"solarize", 0, &TMainForm::N7Click},
    {"sabattier", 1, &TMainForm::N8Click},
    {"gmc", 4, &TMainForm::P1Click},
    {"coma", 3, &TMainForm::N9Click},
};

struct Step {
    const CommandEntry* entry;
    std::vector<std::string> args;
};

int fail(const std::string& message) {
    PrintCliError("apply", message);
    return 1;
}

int usageError(const std::string& message) {
    PrintCliError("apply", message);
    std::fprintf(stderr, "Usage: halvane2-cli %s\n", kApplyUsage);
    return 1;
}

// The open dialog's entry: 1 bitmap, 2 FITS, 3 PPM; 0 when it cannot be told.
int kindIndex(const std::string& kind, const std::string& path) {
    return kind.empty() ? FilterIndexOfExtension(path) : FilterIndexOfKind(kind);
}

// OUT with "-Red" (say) before the extension.
QString withSuffix(const QString& out, const QString& caption) {
    const qsizetype slash = out.lastIndexOf('/');
    const qsizetype dot = out.lastIndexOf('.');
    if (dot <= slash + 1) return out + "-" + caption;  // no extension (or a leading dot only)
    return out.left(dot) + "-" + caption + out.mid(dot);
}

class Runner {
  public:
    explicit Runner(CliSession& session) : m_session(session), m_platform(session.platform()) {}

    // Runs a handler; a false return means the run failed and the message is on stderr.
    bool run(void (TMainForm::*handler)()) {
        const size_t before = m_platform.messages.size();
        m_refused = false;
        const std::optional<QString> error = m_session.run(handler);
        if (m_refused) {
            // The dialog's own box (or its error box) answered the value first; the command then went on as
            // after the close box.
            QString text = QStringLiteral("the dialog refused the value");
            if (m_platform.messages.size() > before) text = m_platform.messages[before].text;
            fail(text.toStdString());
            return false;
        }
        if (error) {
            fail(error->toStdString());
            return false;
        }
        return true;
    }

    // While the handler runs, the dialog gets its fields and OK is pressed.
    void answer(FilterDialog* dialog, std::function<void()> fill, std::function<void()> pressOk) {
        m_platform.modalHandlers[dialog->objectName()] = [this, dialog, fill, pressOk](QWidget*) {
            fill();
            dialog->setResult(QDialog::Rejected);
            pressOk();
            if (dialog->result() != QDialog::Accepted) m_refused = true;
        };
    }

  private:
    CliSession& m_session;
    ScriptedPlatform& m_platform;
    bool m_refused = false;
};

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

int runSteps(const std::string& in, const std::string& out, int filterIndex,
             const std::optional<std::string>& gammaField, const std::vector<Step>& steps) {
    qInstallMessageHandler(QuietQtMessages);
    CliSession session;
    ScriptedPlatform& platform = session.platform();
    TMainForm& form = session.mainForm();
    const FilterForms& w = form.forms().filters;
    Runner runner(session);
    if (gammaField) w.gmm->Edit1->setText(q(*gammaField));

    platform.openAnswers.push_back(FileDialogResult{q(in), filterIndex});
    {
        TraceToStderr trace;
        if (!runner.run(&TMainForm::OpenButtonClick)) return 1;
    }
    if (!form.ActiveImageWindow()) return fail("could not open '" + in + "'");

    std::map<QString, TChild*> splitWindows;  // caption -> window of the last RGB separation
    for (const Step& step : steps) {
        const std::vector<std::string>& a = step.args;
        const std::string name = step.entry->name;
        if (name == "edge") {
            runner.answer(
                w.edg, [&] { w.edg->Edit1->setText(q(a[0])); }, [&] { w.edg->Button1Click(); });
        } else if (name == "blur") {
            runner.answer(
                w.blur, [&] { w.blur->Edit1->setText(q(a[0])); }, [&] { w.blur->Button1Click(); });
        } else if (name == "gamma") {
            runner.answer(
                w.gmm, [&] { w.gmm->Edit1->setText(q(a[0])); }, [&] { w.gmm->Button1Click(); });
        } else if (name == "sabattier") {
            runner.answer(
                w.sabachie, [&] { w.sabachie->Edit1->setText(q(a[0])); },
                [&] { w.sabachie->Button1Click(); });
        } else if (name == "gmc") {
            runner.answer(
                w.gmcPanel,
                [&] {
                    w.gmcPanel->Edit1->setText(q(a[0]));
                    w.gmcPanel->Edit2->setText(q(a[1]));
                    w.gmcPanel->Edit3->setText(q(a[2]));
                    w.gmcPanel->Edit4->setText(q(a[3]));
                },
                [&] { w.gmcPanel->Button1Click(); });
        } else if (name == "coma") {
            runner.answer(
                w.comaCorrect,
                [&] {
                    w.comaCorrect->Edit1->setText(q(a[0]));
                    w.comaCorrect->Edit2->setText(q(a[1]));
                    w.comaCorrect->Edit3->setText(q(a[2]));
                },
                [&] { w.comaCorrect->Button1Click(); });
        }
        const QList<TChild*> before = form.imageWindowsMostRecentFirst();
        if (!runner.run(step.entry->handler)) return 1;
        if (name == "rgb-split")
            for (TChild* child : form.imageWindowsMostRecentFirst())
                if (!before.contains(child)) splitWindows[child->caption()] = child;
    }

    // The active window's display image, then every window of the separation.
    std::vector<std::pair<TChild*, QString>> saves;
    if (TChild* active = form.ActiveImageWindow()) saves.emplace_back(active, q(out));
    for (const char* caption : {"Blue", "Green", "Red"})
        if (splitWindows.count(caption))
            saves.emplace_back(splitWindows[caption], withSuffix(q(out), QString::fromLatin1(caption)));
    if (saves.empty()) return fail("no image window is left to save");
    for (const auto& [child, path] : saves) {
        form.mdiArea()->setActiveSubWindow(child->subWindow());
        if (form.ActiveImageWindow() != child)
            return fail("could not activate the window '" + child->caption().toStdString() + "'");
        platform.saveAnswers.push_back(FileDialogResult{path, 1});
        if (!runner.run(&TMainForm::Save1Click)) return 1;
        std::printf("%s\n", path.toStdString().c_str());
    }
    return 0;
}

}  // namespace

int RunApplyCli(const CliArgs& args) {
    std::string kind;
    std::optional<std::string> gammaField;
    std::vector<std::string> positional;
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::printf("usage: halvane2-cli %s\n\n%s", kApplyUsage, kHelp);
            return 0;
        }
        if (a == "--as" || a == "--gamma-field") {
            if (i + 1 >= args.size()) return usageError(a + " needs a value");
            (a == "--as" ? kind : gammaField.emplace()) = args[++i];
            continue;
        }
        if (a.size() > 2 && a.compare(0, 2, "--") == 0 && positional.size() < 2)
            return usageError("unknown option '" + a + "'");
        positional.push_back(a);
        if (positional.size() == 2) {
            ++i;
            break;
        }
    }
    if (positional.size() < 2) return usageError("IN and OUT are required");
    const std::string in = positional[0];
    const std::string out = positional[1];
    const int filterIndex = kindIndex(kind, in);
    if (filterIndex == 0 && !kind.empty())
        return usageError("--as takes bmp, fits or ppm, not '" + kind + "'");
    if (filterIndex == 0)
        return usageError("cannot tell the kind of '" + in + "' from its extension; choose one with --as");

    std::vector<Step> steps;
    while (i < args.size()) {
        const CommandEntry* entry = nullptr;
        for (const CommandEntry& c : kCommands)
            if (args[i] == c.name) entry = &c;
        if (!entry) return usageError("unknown command '" + args[i] + "'");
        if (i + entry->arity >= args.size())
            return usageError(std::string("'") + entry->name + "' takes " + std::to_string(entry->arity) +
                              " argument(s)");
        steps.push_back(
            {entry, std::vector<std::string>(args.begin() + i + 1, args.begin() + i + 1 + entry->arity)});
        i += 1 + entry->arity;
    }
    if (steps.empty()) return usageError("no command given");
    try {
        return runSteps(in, out, filterIndex, gammaField, steps);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}
