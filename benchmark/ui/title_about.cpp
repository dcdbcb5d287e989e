#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "benchmark/ui/form_parts.h"
#include "benchmark/ui/forms.h"
#include "platform/app_icon.h"

// ---------------------------------------------------------------- title window

TTitle::TTitle(QWidget* parent) : QWidget(parent, Qt::Window) {
    SetUpForm(this, QStringLiteral("TTitle"), QStringLiteral("Title"), QStringLiteral("ＭＳ Ｐゴシック"), 12);
    // The picture area holds no picture: an empty area of its designed size.
    Image1 = new QWidget(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 750, 498);
    Image1->installEventFilter(this);
    setFixedSize(750, 498);  // sized to its only control
}

void TTitle::Image1Click() {
    hide();
}

bool TTitle::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Image1->rect().contains(mouse->position().toPoint())) {
            Image1Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- About window

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    const QFont font = SetUpForm(this, QStringLiteral("TAboutBox"), QStringLiteral("About Ostrel"),
                                 QStringLiteral("MS Sans Serif"), 11);
    setFixedSize(340, 238);

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(80, 24, 233, 129);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setGeometry(16, 24, 32, 32);
    icon->setScaledContents(true);
    icon->setPixmap(ApplicationIconPixmap());

    QLabel* name = MakeLabel(this, "Label1", QStringLiteral("Ostrel"), 97, 40);
    QFont bold = font;
    bold.setPixelSize(24);
    bold.setBold(true);
    name->setFont(bold);
    name->adjustSize();
    MakeLabel(this, "Label2", QStringLiteral("Version 1.0"), 97, 82);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setGeometry(124, 176, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    CentreOnScreen(this);
}
