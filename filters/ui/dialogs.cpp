// placeholder: to be implemented
#include "filters/ui/dialogs.h"

FilterDialog::FilterDialog(FilterSettings& settings, Platform& platform, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_platform(platform) {}
TEDG::TEDG(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) { setObjectName("TEDG"); }
TBLUR::TBLUR(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) { setObjectName("TBLUR"); }
TGMM::TGMM(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) { setObjectName("TGMM"); }
TSabachie::TSabachie(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) {
    setObjectName("TSabachie");
}
TGMCPanel::TGMCPanel(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) {
    setObjectName("TGMCPanel");
}
TComaCorrect::TComaCorrect(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) {
    setObjectName("TComaCorrect");
}
void TEDG::Button1Click() {}
void TBLUR::Button1Click() {}
void TGMM::Button1Click() {}
void TSabachie::Button1Click() {}
void TGMCPanel::Button1Click() {}
void TComaCorrect::Button1Click() {}
