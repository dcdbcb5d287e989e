#include "view/ui/frame.h"

#include <QLineEdit>

#include "view/child_state.h"
#include "view/ui/updown.h"

void ResetToolStripTexts(ToolStrip& strip) {
    strip.Edit1->setText(QStringLiteral("100.0%"));
    strip.Edit2->setText(QStringLiteral("255"));
    strip.Edit3->setText(QStringLiteral("0"));
}

void ResetToolStripRange(ToolStrip& strip, ChildState& state) {
    ResetToolStripTexts(strip);
    strip.UpDown1->setPosition(255);
    strip.UpDown2->setPosition(0);
    state.MAX = "255";
    state.MIN = "0";
}
