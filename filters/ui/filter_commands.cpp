#include "filters/ui/filter_commands.h"

#include <QLineEdit>
#include <QSize>

#include "core/numtext.h"
#include "filters/filters.h"
#include "filters/ui/dialogs.h"
#include "platform/platform.h"
#include "view/ui/child.h"
#include "view/ui/frame.h"

namespace {

std::string fieldText(const QLineEdit* edit) {
    return edit->text().toStdString();
}

bool isColourWindow(const TChild& child) {
    return ParseInt(child.state.FilterI) == kColourWindow;
}

// The result replaces the display image; the stored image stays as it was.
void showResult(TChild& child, const Picture& result) {
    child.image().draw(result);
    child.imageChanged();
    child.state.UndoFlg = std::string("1");  // a move: GCC 12 warns falsely on assigning a literal
}

// The active window, with the dialog shown modally first; nullptr (and no dialog) when there is
// none. The way the dialog was closed is not examined.
TChild* activeAfterDialog(ImageFrame& frame, FilterDialog& dialog) {
    TChild* child = frame.ActiveImageWindow();
    if (child) frame.platform().showModal(&dialog);
    return child;
}

// The gamma field, read again and stored: closing by the close box uses whatever it holds.
double readGamma(TGMM& dialog) {
    return dialog.settings().GammaValue = ParseReal(fieldText(dialog.Edit1));
}

}  // namespace

void EdgeCommand(ImageFrame& frame, TEDG& dialog) {
    if (TChild* child = activeAfterDialog(frame, dialog); child && isColourWindow(*child))
        showResult(*child, EdgeEnhance(child->imageZm(), dialog.settings().EdgeStrength));
}

void GuideMissCommand(ImageFrame& frame, TGMCPanel& dialog) {
    frame.platform().showModal(&dialog);
    const FilterSettings& s = dialog.settings();
    if (s.GmcConfirmed != 1) return;
    TChild* child = frame.ActiveImageWindow();
    if (!child) return;
    // The control's client area, not the picture: at a zoom the two differ.
    const QSize area = child->imageControlSize();
    GuideMissCancel(child->image(), area.width(), area.height(),
                    {s.GmcDirection, s.GmcFlow, s.BlurAmount, s.GmcThreshold});
    child->imageChanged();
}

void BlurCommand(ImageFrame& frame, TBLUR& dialog) {
    if (TChild* child = activeAfterDialog(frame, dialog); child && isColourWindow(*child))
        showResult(*child, BlurPicture(child->imageZm(), dialog.settings().BlurAmount));
}

void GammaCommand(ImageFrame& frame, TGMM& dialog) {
    if (TChild* child = activeAfterDialog(frame, dialog); child && isColourWindow(*child))
        showResult(*child, GammaCurve(child->imageZm(), readGamma(dialog)));
}

void SolarizeCommand(ImageFrame& frame) {
    if (TChild* child = frame.ActiveImageWindow(); child && isColourWindow(*child))
        showResult(*child, Solarize(child->imageZm()));
}

void SabattierCommand(ImageFrame& frame, TSabachie& dialog) {
    TChild* child = activeAfterDialog(frame, dialog);
    if (!child) return;
    const double step = ParseReal(fieldText(dialog.Edit1));
    // Every window kind: a sample window folds the bytes of its raw-value image.
    showResult(*child, Sabattier(child->imageZm(), step));
}

void ComaCorrectCommand(ImageFrame& frame, TComaCorrect& dialog, TGMM& gamma) {
    TChild* child = activeAfterDialog(frame, dialog);
    if (!child) return;
    // The position and the amount must be numbers, but the curve does not depend on them.
    (void)ParseInt(fieldText(dialog.Edit1));
    (void)ParseInt(fieldText(dialog.Edit2));
    (void)ParseReal(fieldText(dialog.Edit3));
    if (isColourWindow(*child)) showResult(*child, GammaCurve(child->imageZm(), readGamma(gamma)));
}
