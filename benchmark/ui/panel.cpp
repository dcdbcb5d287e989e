// placeholder: to be implemented
#include "benchmark/ui/forms.h"

Tpanel::Tpanel(QWidget* parent) : QDialog(parent) { setObjectName("Tpanel"); }
void Tpanel::Button1Click() { hide(); }
