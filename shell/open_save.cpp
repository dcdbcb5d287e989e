// The open commands (tool-strip button and menu variant) and the two save commands.
#include <QFile>
#include <QFileInfo>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "core/fits.h"
#include "core/plane.h"
#include "core/ppm.h"
#include "platform/error_path.h"
#include "platform/platform.h"
#include "shell/bitmap_io.h"
#include "shell/image_files.h"
#include "shell/mainform.h"
#include "view/ui/child.h"
#include "view/ui/sample_window.h"
#include "view/view_model.h"

namespace {

const QString kOpenTitle = QStringLiteral("Open an Image for Viewing");
const QString kOpenFilter = QStringLiteral(
    "ビットマップ(*.bmp)|*.bmp|フィッツ(*.fit,*.fts,*.fits)|*.fts;*.fit;*.fits|ポータブル(*.ppm)|*.ppm");
const QString kSaveTitle = QStringLiteral("Save an Image");
const QString kSaveFilter =
    QStringLiteral("ビットマップ(*.bmp)|*.bmp|フィッツ(*.fts,*.fit,*.fits)|*.fts;*.fit;*.fits");

enum OpenFilter { kBitmapFilter = 1, kFitsFilter = 2, kPpmFilter = 3 };

// The file name as the narrow string the codecs take (the file system's own encoding).
QByteArray narrowPath(const QString& path) {
    return QFile::encodeName(path);
}

QString fileNameOnly(const QString& path) {
    return QFileInfo(path).fileName();
}

// Both pictures are complete before the window exists, so a failure leaves no window behind.
void openBitmap(TMainForm& form, const QString& path) {
    Picture display = LoadBitmapPicture(path);
    Picture stored = display;
    const int w = display.width();
    const int h = display.height();

    TChild* window = form.CreateImageWindow(kColourWindow);
    window->setCaption(fileNameOnly(path));
    window->setImage(std::move(display));
    window->setImageZm(std::move(stored));
    window->setClientSize(w, h);
    window->fitToContents();

    ResetToolStripRange(form.toolStrip(), window->state);
    ResetViewState(window->state, w, h, 1);
}

void openFits(TMainForm& form, const QString& path) {
    int w = 0, h = 0, headerCards = 0, bzero = 0;
    IntPlane plane;
    ReadFits(narrowPath(path).constData(), nullptr, w, h, headerCards, bzero, plane);
    ToggleOffset(32768, w, h, plane);
    ShowSamplePlane(form, plane, w, h);
}

void openPpm(TMainForm& form, const QString& path) {
    int w = 0, h = 0;
    IntPlane red, green, blue;
    ReadPpm(narrowPath(path).constData(), w, h, red, green, blue);
    Picture display = PictureFromPlanes(w, h, red, green, blue);
    // The window keeps its pictures, not the planes.
    FreePlane(w, h, red);
    FreePlane(w, h, green);
    FreePlane(w, h, blue);
    Picture stored = display;

    TChild* window = form.CreateImageWindow(kPpmWindow);
    window->setImage(std::move(display));
    window->setImageZm(std::move(stored));
    window->setClientSize(w, h);
    ResetToolStripTexts(form.toolStrip());
    ResetViewState(window->state, w, h, 1);
}

std::optional<FileDialogResult> askOpenFile(TMainForm& form) {
    const FileDialogRequest request{kOpenTitle, kOpenFilter, form.openFilterIndex};
    std::optional<FileDialogResult> answer = form.platform().getOpenFile(&form, request);
    if (answer) form.openFilterIndex = answer->filterIndex;
    return answer;
}

// Writes the active window's display image as a bitmap under the typed name; the window, or
// nothing when there is no window or the dialog was cancelled.
TChild* saveActiveImage(TMainForm& form, QString& path) {
    TChild* window = form.ActiveImageWindow();
    if (!window) return nullptr;
    const FileDialogRequest request{kSaveTitle, kSaveFilter, form.saveFilterIndex};
    const std::optional<FileDialogResult> answer = form.platform().getSaveFile(&form, request);
    if (!answer) return nullptr;
    form.saveFilterIndex = answer->filterIndex;  // remembered for the dialog, not consulted
    path = answer->path;
    const Picture& display = std::as_const(*window).image();
    if (!display.isNull()) SaveBitmapPicture(path, display);
    return window;
}

}  // namespace

namespace {
// The branch of the open dialog's entry: the entry decides the reader, never the file's extension
// or contents.
void openWithFilter(TMainForm& form, const QString& path, int filterIndex) {
    switch (filterIndex) {
        case kBitmapFilter:
            openBitmap(form, path);
            break;
        case kFitsFilter:
            openFits(form, path);
            break;
        case kPpmFilter:
            openPpm(form, path);
            break;
        default:
            break;
    }
}
}  // namespace

void TMainForm::OpenButtonClick() {
    const std::optional<FileDialogResult> answer = askOpenFile(*this);
    if (answer) openWithFilter(*this, answer->path, answer->filterIndex);
}

void TMainForm::openFile(const QString& path) {
    const int filterIndex = OpenFilterIndexOfExtension(narrowPath(path).toStdString());
    if (filterIndex == 0)
        throw FileError("画像ファイル (.bmp, .fit, .fts, .fits, .ppm) ではありません: " + path.toStdString());
    openFilterIndex = filterIndex;  // as if chosen in the dialog
    try {
        openWithFilter(*this, path, filterIndex);
    } catch (...) {
        // Most readers name the file; a fault found in its contents (a flat image) does not.
        const QString text = CurrentErrorText();
        if (text.contains(path)) throw;
        throw HvError((path + QStringLiteral(": ") + text).toStdString());
    }
}

void TMainForm::Open1Click() {
    const std::optional<FileDialogResult> answer = askOpenFile(*this);
    if (!answer) return;
    // The window comes first: when the picture cannot be loaded it stays open, empty.
    TChild* window = CreateImageWindow(0);
    Picture picture = LoadPictureByExtension(answer->path);
    const int w = picture.width();
    const int h = picture.height();
    window->setImage(std::move(picture));
    window->setClientSize(w, h);
    window->fitToContents();
    window->setCaption(fileNameOnly(answer->path));
}

void TMainForm::Save1Click() {
    QString path;
    saveActiveImage(*this, path);
}

void TMainForm::SaveButtonClick() {
    QString path;
    if (TChild* window = saveActiveImage(*this, path)) window->setCaption(fileNameOnly(path));
}
