// TMainForm: the multiple-document main window "HALVANE-2" with its menu bar and tool strip.
// Every menu item and control reaches its handler through runCommand(), which turns a failure
// into the standard error box.
#pragma once

#include <QMainWindow>
#include <functional>

#include "benchmark/ui/benchmark_command.h"
#include "view/ui/frame.h"

class QAction;
class QMdiArea;
class QMenu;
class QPushButton;
class QToolButton;
class QFrame;
class QLabel;
class QLineEdit;
class UpDown;
class HalvaneWindows;

class TMainForm : public QMainWindow, public ImageFrame {
    Q_OBJECT
  public:
    explicit TMainForm(Platform& platform, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Called by start-up once the other fixed windows exist (a main window made alone has none).
    void attachWindows(HalvaneWindows& windows) { m_windows = &windows; }

    // ImageFrame
    Platform& platform() override { return m_platform; }
    QWidget* frameWidget() override { return this; }
    ToolStrip& toolStrip() override { return m_toolStrip; }
    TChild* ActiveImageWindow() override;
    TChild* CreateImageWindow(int kind) override;
    QList<TChild*> imageWindowsMostRecentFirst() override;
    void closeImageWindow(TChild* window) override;
    // The area below the menu bar: the tool strip and the multiple-document area. With the frame's
    // nominal borders (4 px each side, a 26 px caption) the 900 x 700 outer window has a client
    // area 892 wide.
    QSize frameClientSize() const override;
    void runHandler(const std::function<void()>& handler, bool busyCursor) override;

    QMdiArea* mdiArea() const { return m_mdiArea; }

    // The one dispatcher: runs a handler, shows any failure in the standard error box, restores the
    // cursor. Never lets an exception out.
    void runCommand(const std::function<void()>& handler) { runHandler(handler, true); }

    // The window's outer size and the nominal frame around the client area.
    static constexpr int kOuterWidth = 900;
    static constexpr int kOuterHeight = 700;
    static constexpr int kFrameBorder = 4;
    static constexpr int kCaptionHeight = 26;
    // The maker's notice on the version box's second line.
    static const char* const kMakerNotice;

    // The image workbench: shows and enables the image commands' menu entries and tool-strip
    // controls (entries without a command stay hidden), lays out the strip's labels for the
    // platform's fonts and accepts dropped files. Nothing else of the window changes.
    void showWorkbench();
    bool workbenchShown() const { return m_workbench; }
    // Opens the file as if chosen in the open dialog with the entry of its extension (.bmp; .fit,
    // .fts, .fits; .ppm; any case). A failure names the file.
    void openFile(const QString& path);
    // Each file through the dispatcher, one after the other: one that fails shows its error box and
    // the next still opens.
    void openFiles(const QStringList& paths);

    // Benchmark options (the command line sets them) and the last run's figures.
    void setBenchmarkOptions(const WorkloadOptions& options) { m_benchmarkOptions = options; }
    const BenchmarkReport& lastBenchmarkReport() const { return m_lastBenchmark; }

    // Handlers, named after their controls.
    void Exit1Click();
    void V1Click();
    void V2Click();
    void N10Click();
    void OpenButtonClick();
    void Open1Click();
    void Save1Click();
    void SaveButtonClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void UpDown1Click();
    void UpDown2Click();
    void N1Click();
    void M1Click();
    void R1Click();
    void RGB2Click();
    void N2Click();
    void P1Click();
    void N4Click();
    void N6Click();
    void N7Click();
    void N8Click();
    void N9Click();

    // Menu items (objectName = the item's name).
    QMenu* File1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* E1 = nullptr;
    QAction *N1 = nullptr, *M1 = nullptr, *R1 = nullptr, *N3 = nullptr, *RGB1 = nullptr, *RGB2 = nullptr;
    QMenu* P2 = nullptr;
    QAction *N2 = nullptr, *P1 = nullptr, *N4 = nullptr, *N5 = nullptr, *N6 = nullptr, *N7 = nullptr,
            *N8 = nullptr, *N9 = nullptr;
    QAction* V1 = nullptr;
    QAction* N10 = nullptr;
    QAction* V2 = nullptr;

    // Tool strip.
    QWidget* SpeedBar = nullptr;
    QFrame* Bevel1 = nullptr;
    QToolButton* OpenButton = nullptr;
    QToolButton* SaveButton = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr;
    QLabel *Label1 = nullptr, *Label5 = nullptr, *Label6 = nullptr;
    // The rest of the strip (also reachable through toolStrip()).
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr;
    UpDown *UpDown1 = nullptr, *UpDown2 = nullptr;
    QLabel *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;

    // Open/save dialog settings (filter index remembered between uses).
    int openFilterIndex = 1;
    int saveFilterIndex = 1;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildMenus();
    void buildToolStrip();
    void placeWorkbenchLabels();
    Platform& m_platform;
    QMdiArea* m_mdiArea = nullptr;
    ToolStrip m_toolStrip;
    HalvaneWindows* m_windows = nullptr;
    WorkloadOptions m_benchmarkOptions;
    BenchmarkReport m_lastBenchmark;
    bool m_workbench = false;
};
