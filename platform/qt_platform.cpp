#include "platform/qt_platform.h"

#include <sys/utsname.h>

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <ctime>
#include <fstream>
#include <sstream>

#include "platform/file_filter.h"
#include "platform/local_time.h"

namespace {
std::string readFile(const char* path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Ends a local event loop when the watched window is hidden or destroyed.
class HideWatcher : public QObject {
  public:
    HideWatcher(QWidget* window, QEventLoop& loop) : m_loop(loop) { window->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide) m_loop.quit();
        return QObject::eventFilter(watched, event);
    }

  private:
    QEventLoop& m_loop;
};
}  // namespace

// The busy cursor would hide that a box waits for the user: lift it while one is shown.
class QtPlatform::CursorPause {
  public:
    explicit CursorPause(QtPlatform& p) : m_active(p.m_busyDepth > 0) {
        if (m_active) QApplication::restoreOverrideCursor();
    }
    ~CursorPause() {
        if (m_active) QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    CursorPause(const CursorPause&) = delete;
    CursorPause& operator=(const CursorPause&) = delete;

  private:
    bool m_active;
};

void QtPlatform::showMessage(QWidget* parent, const QString& text, const QString& caption) {
    CursorPause pause(*this);
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtPlatform::showError(QWidget* parent, const QString& text) {
    CursorPause pause(*this);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("HALVANE-2"), text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtPlatform::askYesNo(QWidget* parent, const QString& text, const QString& caption) {
    CursorPause pause(*this);
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void QtPlatform::showModal(QWidget* window) {
    CursorPause pause(*this);
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->exec();
        return;
    }
    const Qt::WindowModality previous = window->windowModality();
    const bool wasVisible = window->isVisible();
    if (wasVisible) window->hide();  // modality only takes effect on showing
    window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    QPointer<QWidget> guard(window);
    HideWatcher watcher(window, loop);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    loop.exec(QEventLoop::DialogExec);
    if (guard) {
        window->removeEventFilter(&watcher);
        window->setWindowModality(previous);
    }
}

void QtPlatform::showModeless(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

namespace {
std::optional<FileDialogResult> runFileDialog(QWidget* parent, const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = ToQtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index =
            request.filterIndex >= 1 && request.filterIndex <= filters.size() ? request.filterIndex : 1;
        dialog.selectNameFilter(filters[index - 1]);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    FileDialogResult result;
    result.path = dialog.selectedFiles().front();
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    result.filterIndex = chosen >= 0 ? static_cast<int>(chosen) + 1 : request.filterIndex;
    return result;
}
}  // namespace

std::optional<FileDialogResult> QtPlatform::getOpenFile(QWidget* parent, const FileDialogRequest& request) {
    CursorPause pause(*this);
    return runFileDialog(parent, request, false);
}

std::optional<FileDialogResult> QtPlatform::getSaveFile(QWidget* parent, const FileDialogRequest& request) {
    CursorPause pause(*this);
    return runFileDialog(parent, request, true);
}

uint32_t QtPlatform::tickCount() {
    return SystemTickCount();
}
LocalDateTime QtPlatform::localDateTime() {
    return SystemLocalDateTime();
}
OsVersionInfo QtPlatform::osVersion() {
    return SystemOsVersion();
}
MemoryStatus QtPlatform::memoryStatus() {
    return SystemMemoryStatus();
}

void QtPlatform::setBusy(bool busy) {
    if (busy) {
        if (m_busyDepth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        if (--m_busyDepth == 0) QApplication::restoreOverrideCursor();
    }
}

uint32_t SystemTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms =
        static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);  // wraps like a 32-bit tick counter
}

LocalDateTime SystemLocalDateTime() {
    return MakeLocalDateTime(QDateTime::currentDateTime(), QLocale::system());
}

OsVersionInfo SystemOsVersion() {
    OsVersionInfo info;
    info.platformId = kPlatformIdOther;
    utsname names{};
    if (uname(&names) == 0) {
        info.kernelRelease = names.release;
        ParseKernelRelease(info.kernelRelease, info.major, info.minor);
        info.systemName = names.sysname;
    }
    const std::string pretty = ParseOsReleasePrettyName(readFile("/etc/os-release"));
    if (!pretty.empty()) info.systemName = pretty;
    return info;
}

MemoryStatus SystemMemoryStatus() {
    return ParseMeminfo(readFile("/proc/meminfo"));
}
