// The program on a real X server (its own Xvfb), driven by real input events (xdotool): the real
// file dialogs, message boxes, menus and modal windows, which the scripted platform stands in for in
// the headless tests. The program's event loop runs on the main thread as in halvane2; the "user"
// runs on a second thread, typing and clicking through xdotool and looking at the windows through
// calls queued to the main thread.
#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <csignal>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <clocale>
#include <functional>
#include <thread>

#include "benchmark/ui/forms.h"
#include "core/bmp.h"
#include "core/errors.h"
#include "filters/ui/dialogs.h"
#include "platform/qt_platform.h"
#include "shell/mainform.h"
#include "shell/program.h"
#include "shell/startup.h"
#include "tests/open/open_support.h"
#include "view/ui/child.h"
#include "view/ui/image_control.h"

#ifndef HV_CLI_PATH
#error "HV_CLI_PATH names the halvane2-cli executable"
#endif

namespace {
using namespace opentest;

// One Xvfb per test process, on a display number it picks itself. It lives as long as the
// application object, which is never destroyed, so the server is told to end when this process
// ends, however it ends.
class XServer {
  public:
    XServer() {
        m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.setProgram(QStringLiteral("Xvfb"));
        m_process.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        m_process.start();
        if (!m_process.waitForStarted(10000)) return;
        QByteArray number;
        while (!number.contains('\n') && m_process.waitForReadyRead(10000))
            number += m_process.readAllStandardOutput();
        m_display = ":" + number.trimmed();
    }
    QByteArray display() const { return m_display; }

  private:
    QProcess m_process;
    QByteArray m_display;
};

class Xgui : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static XServer* server = new XServer;  // lives as long as the application object
        ASSERT_FALSE(server->display().isEmpty())
            << "Xvfb could not be started (scripts/setup.sh installs it)";
        qputenv("DISPLAY", server->display());
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        static int argc = 1;
        static char arg0[] = "halvane2";
        static char* argv[] = {arg0, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        PreferJapaneseFont();
    }

    Xgui() : m_dir("xgui") {}
    ~Xgui() override {
        m_windows.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Starts the program's windows as halvane2 does with these arguments.
    void start(const QStringList& arguments) {
        std::vector<QByteArray> bytes{"halvane2"};
        for (const QString& a : arguments) bytes.push_back(a.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& b : bytes) argv.push_back(b.data());
        argv.push_back(nullptr);
        ProgramOptions options;
        ASSERT_EQ(ParseProgramArguments(static_cast<int>(bytes.size()), argv.data(), options), std::nullopt);
        m_windows = CreateWindows(m_platform);
        StartProgram(form(), options);
    }

    // Runs f on the main thread and returns its result (from the user's thread).
    template <typename F>
    static auto gui(F f) {
        using R = decltype(f());
        if (QThread::currentThread() == qApp->thread()) return f();
        if constexpr (std::is_void_v<R>) {
            QMetaObject::invokeMethod(qApp, f, Qt::BlockingQueuedConnection);
        } else {
            R result{};
            QMetaObject::invokeMethod(
                qApp, [&] { result = f(); }, Qt::BlockingQueuedConnection);
            return result;
        }
    }

    // Waits until the condition (checked on the main thread) holds.
    template <typename F>
    static bool waitFor(F condition, int seconds = 60) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < end) {
            if (gui(condition)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // Runs the user's part on its own thread while this thread runs the event loop; when it ends,
    // every modal window still open is closed, so that the loop can end too.
    void act(const std::function<void()>& user) {
        QEventLoop loop;
        std::thread thread([&] {
            user();
            for (int i = 0; i < 20 && gui([] { return QApplication::activeModalWidget() != nullptr; }); ++i) {
                gui([] {
                    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
                });
            }
            QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
        });
        loop.exec();
        thread.join();
    }

    static void xdotool(const QStringList& arguments) {
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0)
            << arguments.join(' ').toStdString();
        std::this_thread::sleep_for(std::chrono::milliseconds(150));  // let the program take the event
    }
    // Moves the pointer to the point of the widget (its centre by default) and clicks there.
    static void click(QWidget* widget, QPoint at = QPoint(-1, -1)) {
        const QPoint p = gui([&] { return widget->mapToGlobal(at.x() < 0 ? widget->rect().center() : at); });
        xdotool({"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())});
        xdotool({"click", "1"});
    }
    static void moveTo(QWidget* widget, QPoint at) {
        const QPoint p = gui([&] { return widget->mapToGlobal(at); });
        xdotool({"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())});
    }
    static void type(const QString& text) { xdotool({"type", "--delay", "30", text}); }
    static void key(const QString& keys) { xdotool({"key", keys}); }
    // Chooses a menu entry with the mouse: the menu's title in the bar, then the entry.
    void chooseMenu(QMenu* menu, QAction* entry) {
        const QRect title = gui([&] { return form().menuBar()->actionGeometry(menu->menuAction()); });
        click(form().menuBar(), title.center());
        ASSERT_TRUE(waitFor([&] { return menu->isVisible(); }));
        const QRect item = gui([&] { return menu->actionGeometry(entry); });
        click(menu, item.center());
    }
    void chooseBarEntry(QAction* entry) {
        const QRect title = gui([&] { return form().menuBar()->actionGeometry(entry); });
        click(form().menuBar(), title.center());
    }
    // Types a path into the real file dialog, choosing the file-type entry first when asked.
    void answerFileDialog(const QString& path, int filterIndex = 0) {
        QFileDialog* dialog = nullptr;
        ASSERT_TRUE(waitFor([&] {
            dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            return dialog && dialog->isVisible();
        }));
        if (filterIndex > 0) {
            auto* types = gui([&] { return dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")); });
            ASSERT_NE(types, nullptr);
            click(types);
            ASSERT_TRUE(waitFor([&] { return QApplication::activePopupWidget() != nullptr; }));
            const int steps = filterIndex - 1 - gui([&] { return types->currentIndex(); });
            for (int i = 0; i < steps; ++i) key(QStringLiteral("Down"));
            key(QStringLiteral("Return"));
            ASSERT_TRUE(waitFor([&] { return types->currentIndex() == filterIndex - 1; }));
        }
        auto* name = gui([&] { return dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); });
        const QPointer<QFileDialog> closing = gui([&] { return QPointer<QFileDialog>(dialog); });
        ASSERT_NE(name, nullptr);
        click(name);
        key(QStringLiteral("ctrl+a"));
        type(path);
        key(QStringLiteral("Return"));
        ASSERT_TRUE(
            waitFor([&] { return !closing || !closing->isVisible(); }));  // the dialog lives on the stack
    }
    // The standard error box's text once it shows; empty if none came.
    static QString errorBoxText() {
        QString text;
        waitFor([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->isVisible()) text = box->text();
            return !text.isEmpty();
        });
        return text;
    }
    int windowCount() {
        return gui([&] { return static_cast<int>(form().imageWindowsMostRecentFirst().size()); });
    }
    static QStringList cli(const QStringList& arguments) {
        QProcess p;
        p.start(QStringLiteral(HV_CLI_PATH), arguments);
        p.waitForFinished(120000);
        return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    TMainForm& form() { return *m_windows->mainForm; }
    HalvaneWindows& windows() { return *m_windows; }
    QString path(const char* name) const { return QString::fromStdString(m_dir.path(name)); }
    QString write(const char* name, const std::vector<uint8_t>& bytes) {
        writeFile(m_dir.path(name), bytes);
        return path(name);
    }
    // A 120 x 90 star field: a rippled background near 1000 and a star of peak 9000 at (40, 30).
    static uint16_t starRaw(int x, int y) {
        const int r2 = (x - 40) * (x - 40) + (y - 30) * (y - 30);
        return static_cast<uint16_t>(1000 + (x * 7 + y * 13) % 50 + (r2 < 40 ? 8000 / (1 + r2) : 0));
    }
    QString starField() {
        return write("stars.fits", fitsFile(120, 90, [](int x, int y) { return storedFor(starRaw(x, y)); }));
    }
    QString photo() {
        Picture p(64, 48);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                p.setPixelValue(x, y, JoinColour((x * 9) & 255, (y * 5) & 255, (x * y) & 255));
        return write("photo.bmp", EncodeBmp(p));
    }

  private:
    TempDir m_dir;
    QtPlatform m_platform;
    std::unique_ptr<HalvaneWindows> m_windows;
};

TEST_F(Xgui, FitsThroughTheOpenDialogZoomProbeAndMeasure) {
    const QString fits = starField();
    start({QStringLiteral("--workbench")});
    act([&] {
        click(form().OpenButton);
        answerFileDialog(fits, 2);
        ASSERT_TRUE(waitFor([&] { return form().ActiveImageWindow() != nullptr; }));
        TChild* window = gui([&] { return form().ActiveImageWindow(); });
        EXPECT_EQ(gui([&] { return window->state.FilterI; }), "2");
        // What the screen shows at zoom 1 is the window's display image: the star's peak is level 255.
        const QImage screen = gui([&] {
            ImageControl* image = window->imageControl();
            const QPoint origin = image->mapToGlobal(QPoint(0, 0));
            return image->screen()->grabWindow(0, origin.x(), origin.y(), 120, 90).toImage();
        });
        ASSERT_EQ(screen.size(), QSize(120, 90));
        EXPECT_EQ(qRed(screen.pixel(40, 30)), 255);
        EXPECT_EQ(qRed(screen.pixel(5, 5)), gui([&] { return int(window->image().row(5)[5 * 3]); }));

        click(form().Button1);
        click(form().Button1);
        EXPECT_TRUE(waitFor([&] { return form().Edit1->text() == QStringLiteral("400.0%"); }))
            << gui([&] { return form().Edit1->text(); }).toStdString();
        // Pixel (41, 29) at zoom 4, and a click there.
        const QPoint at(41 * 4 + 2, 29 * 4 + 1);
        moveTo(window->imageControl(), at);
        const QString probe =
            QStringLiteral("Intensity = %1   (%2,%3)").arg(starRaw(41, 29)).arg(at.x()).arg(at.y());
        EXPECT_TRUE(waitFor([&] { return form().Label2->text() == probe; }, 10))
            << gui([&] { return form().Label2->text(); }).toStdString();
        xdotool({"click", "1"});
        const QStringList measured =
            cli({"measure", "--zoom", "4", fits, QString::number(at.x()), QString::number(at.y())});
        ASSERT_EQ(measured.size(), 2);
        EXPECT_TRUE(waitFor([&] { return form().Label3->text() == measured[0]; }, 10));
        EXPECT_EQ(gui([&] { return form().Label4->text(); }), measured[1]);
        if (const QByteArray shot = qgetenv("HV_WORKBENCH_SCREENSHOT"); !shot.isEmpty())
            gui([&] { return form().grab().save(QString::fromLocal8Bit(shot)); });
    });
}

TEST_F(Xgui, BlurTypedInItsDialogSavesWhatTheCommandLineWrites) {
    const QString in = photo();
    const QString out = path("saved.bmp");
    start({QStringLiteral("--workbench")});
    act([&] {
        click(form().OpenButton);
        answerFileDialog(in);  // the bitmap entry is the first
        ASSERT_TRUE(waitFor([&] { return form().ActiveImageWindow() != nullptr; }));
        chooseMenu(form().P2, form().N4);
        TBLUR* blur = windows().blur;
        ASSERT_TRUE(waitFor([&] { return blur->isVisible(); }));
        click(blur->Edit1);
        key(QStringLiteral("ctrl+a"));
        type(QStringLiteral("2.5"));
        click(blur->Button1);
        ASSERT_TRUE(waitFor([&] { return !blur->isVisible(); }));
        chooseMenu(form().File1, form().Save1);
        answerFileDialog(out);
    });
    const QString expected = path("cli.bmp");
    cli({"apply", in, expected, "blur", "2.5"});
    const std::vector<uint8_t> saved = readFile(out.toStdString());
    EXPECT_FALSE(saved.empty());
    EXPECT_EQ(saved, readFile(expected.toStdString()));
}

TEST_F(Xgui, OverflowInTheEdgeDialogShowsTheBoxAndTheDialogStaysOpen) {
    start({photo()});
    act([&] {
        ASSERT_TRUE(waitFor([&] { return form().ActiveImageWindow() != nullptr; }));
        chooseMenu(form().P2, form().N2);
        TEDG* edge = windows().edg;
        ASSERT_TRUE(waitFor([&] { return edge->isVisible(); }));
        const double strength = gui([&] { return windows().settings.EdgeStrength; });
        click(edge->Edit1);
        key(QStringLiteral("ctrl+a"));
        type(QStringLiteral("1e400"));
        click(edge->Button1);
        EXPECT_EQ(errorBoxText(), QString::fromUtf8(msg::kOverflow));
        key(QStringLiteral("Return"));
        EXPECT_TRUE(waitFor([&] { return QApplication::activeModalWidget() == edge; }));
        EXPECT_TRUE(gui([&] { return edge->isVisible(); }));
        EXPECT_EQ(gui([&] { return windows().settings.EdgeStrength; }), strength);
        key(QStringLiteral("Escape"));
        EXPECT_TRUE(waitFor([&] { return !edge->isVisible() && !QApplication::activeModalWidget(); }));
        click(form().Button1);  // the program still answers
        EXPECT_TRUE(waitFor([&] { return form().Edit1->text() == QStringLiteral("200.0%"); }));
    });
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(windowCount(), 1);
}

TEST_F(Xgui, FilesOnTheCommandLineOpenAndAMissingOneIsNamed) {
    start({QStringLiteral("--workbench"), starField(), photo(), path("missing.fits")});
    act([&] {
        const QString text = errorBoxText();
        EXPECT_TRUE(text.contains(path("missing.fits"))) << text.toStdString();
        EXPECT_EQ(windowCount(), 2);
        key(QStringLiteral("Return"));
        EXPECT_TRUE(waitFor([] { return !QApplication::activeModalWidget(); }));
    });
    EXPECT_EQ(windowCount(), 2);
    EXPECT_TRUE(form().isVisible());
}

TEST_F(Xgui, BenchmarkThroughTheConfirmationAndTheResultWindow) {
    start({});
    Tpanel* panel = windows().panel;
    act([&] {
        chooseBarEntry(form().N10);
        QMessageBox* box = nullptr;
        ASSERT_TRUE(
            waitFor([&] { return (box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); }));
        QAbstractButton* yes = gui([&] { return box->buttons().size() == 2 ? box->buttons()[0] : nullptr; });
        for (QAbstractButton* b : gui([&] { return box->buttons(); }))
            if (gui([&] { return b->text(); }) == QStringLiteral("はい(&Y)")) yes = b;
        click(yes);
        ASSERT_TRUE(waitFor([&] { return panel->isVisible(); }, 300));
        // Every text of the result window reads in full at this platform's fonts.
        const QList<QRect> rects = gui([&] {
            QList<QRect> r;
            for (QWidget* w : panel->Panel1->findChildren<QWidget*>()) r << w->geometry();
            return r;
        });
        for (int i = 0; i < rects.size(); ++i)
            for (int j = i + 1; j < rects.size(); ++j)
                EXPECT_FALSE(rects[i].intersects(rects[j])) << i << " " << j;
        click(panel->Button1);
        EXPECT_TRUE(waitFor([&] { return !panel->isVisible(); }));
    });
    EXPECT_EQ(windowCount(), 12);
}

}  // namespace
