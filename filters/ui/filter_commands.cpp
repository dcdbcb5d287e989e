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

}  // namespace

void EdgeCommand(ImageFrame& frame, FilterForms& forms) {
    TChild* child = frame.ActiveImageWindow();
    if (!child) return;
    frame.platform().showModal(forms.edg);
    if (!isColourWindow(*child)) return;
    showResult(*child, EdgeEnhance(child->imageZm(), forms.settings->EdgeStrength));
}

void GuideMissCommand(ImageFrame& frame, FilterForms& forms) {
    frame.platform().showModal(forms.gmcPanel);
    const FilterSettings& s = *forms.settings;
    if (s.GmcConfirmed != 1) return;
    TChild* child = frame.ActiveImageWindow();
    if (!child) return;
    // The control's client area, not the picture: at a zoom the two differ.
    const QSize area = child->imageControlSize();
    GuideMissCancel(child->image(), area.width(), area.height(),
                    {s.GmcDirection, s.GmcFlow, s.BlurAmount, s.GmcThreshold});
    child->imageChanged();
}

void BlurCommand(ImageFrame& frame, FilterForms& forms) {
    TChild* child = frame.ActiveImageWindow();
    if (!child) return;
    frame.platform().showModal(forms.blur);
    if (!isColourWindow(*child)) return;
    showResult(*child, BlurPicture(child->imageZm(), forms.settings->BlurAmount));
}

void GammaCommand(ImageFrame& frame, FilterForms& forms) {
    TChild* child = frame.ActiveImageWindow();
    if (!child) return;
    frame.platform().showModal(forms.gmm);
    if (!isColourWindow(*child)) return;
    // Read again from the field: closing by the close box uses whatever the field holds.
    forms.settings->GammaValue = ParseReal(fieldText(forms.gmm->Edit1));
    showResult(*child, GammaCurve(child->imageZm(), forms.settings->GammaValue));
}

void SolarizeCommand(ImageFrame& frame, FilterForms&) {
    TChild* child = frame.ActiveImageWindow();
    if (!child) return;
    if (!isColourWindow(*child)) return;
    showResult(*child, Solarize(child->imageZm()));
}

void SabattierCommand(ImageFrame& frame, FilterForms& forms) {
    TChild* child = frame.ActiveImageWindow();
    if (!child) return;
    frame.platform().showModal(forms.sabachie);
    const double step = ParseReal(fieldText(forms.sabachie->Edit1));
    // Every window kind: a sample window folds the bytes of its raw-value image.
    showResult(*child, Sabattier(child->imageZm(), step));
}

void ComaCorrectCommand(ImageFrame& frame, FilterForms& forms) {
    TChild* child = frame.ActiveImageWindow();
    if (!child) return;
    frame.platform().showModal(forms.comaCorrect);
    // The position and the amount must be numbers, but the curve does not depend on them.
    (void)ParseInt(fieldText(forms.comaCorrect->Edit1));
    (void)ParseInt(fieldText(forms.comaCorrect->Edit2));
    (void)ParseReal(fieldText(forms.comaCorrect->Edit3));
    if (!isColourWindow(*child)) return;
    forms.settings->GammaValue = ParseReal(fieldText(forms.gmm->Edit1));
    showResult(*child, GammaCurve(child->imageZm(), forms.settings->GammaValue));
}
