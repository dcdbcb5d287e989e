// placeholder: to be implemented
#include "benchmark/ui/forms.h"

TTitle::TTitle(QWidget* parent) : QWidget(parent) { setObjectName("TTitle"); }
void TTitle::Image1Click() { hide(); }
bool TTitle::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }
TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) { setObjectName("TAboutBox"); }
