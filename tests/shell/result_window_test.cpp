// The result window shows each figure whole, whatever the run wrote into its labels.
#include <QLabel>

#include "benchmark/ui/forms.h"
#include "tests/support/gui_fixture.h"

namespace {

struct Figures {
    const char* date;
    const char* os;
    const char* available;
    const char* installed;
    const char* seconds;
    const char* score;
};

TEST(ResultWindow, ShownLabelsHoldTheirWholeTexts) {
    hvtest::EnsureApplication();
    const Figures cases[] = {
        {"2026/12/08 2:41:11", "OS不明", "24712", "25276", "0.273", "14652"},
        {"8 Dec 2026 02:41:11", "Windows Vista", "123456", "1234567", "12.345", "320"},
        {"2026/12/08", "Windows XP", "0", "512", "0", "4"},
    };
    Tpanel panel;
    for (const Figures& f : cases) {
        SCOPED_TRACE(f.date);
        panel.Label17->setText(QString::fromUtf8(f.date));
        panel.Label23->setText(QString::fromUtf8(f.os));
        panel.Label25->setText(QString::fromUtf8(f.available));
        panel.Label27->setText(QString::fromUtf8(f.installed));
        for (QLabel* l :
             {panel.Label7, panel.Label30, panel.Label8, panel.Label9, panel.Label10, panel.Label19})
            l->setText(QString::fromUtf8(f.seconds));
        panel.Label11->setText(QString::fromUtf8(f.score));
        panel.show();
        for (QLabel* l : panel.findChildren<QLabel*>())
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->objectName().toStdString();
        // The memory row reads left to right without overlaps, from the designed positions on.
        const QLabel* row[] = {panel.Label25, panel.Label28, panel.Label27, panel.Label26};
        const int designed[] = {144, 168, 184, 216};
        for (int i = 0; i < 4; ++i) {
            EXPECT_GE(row[i]->x(), designed[i]) << i;
            if (i > 0) {
                EXPECT_GE(row[i]->x(), row[i - 1]->x() + row[i - 1]->width()) << i;
            }
            EXPECT_EQ(row[i]->y(), 128);
        }
        EXPECT_EQ(panel.Label28->text(), QStringLiteral("/"));
        // No text runs into another, and all of it lies in the window.
        const QList<QWidget*> items = panel.Panel1->findChildren<QWidget*>();
        for (const QWidget* a : items) {
            EXPECT_TRUE(panel.rect().contains(a->geometry())) << a->objectName().toStdString();
            for (const QWidget* b : items)
                if (a != b) {
                    EXPECT_FALSE(a->geometry().adjusted(-1, 0, 1, 0).intersects(b->geometry()))
                        << a->objectName().toStdString() << " " << b->objectName().toStdString();
                }
        }
        panel.hide();
    }
    // Short figures again: the row goes back to its designed places.
    panel.Label25->setText(QStringLiteral("1"));
    panel.Label27->setText(QStringLiteral("2"));
    panel.show();
    EXPECT_EQ(panel.Label28->x(), 168);
    EXPECT_EQ(panel.Label27->x(), 184);
    EXPECT_EQ(panel.Label26->x(), 216);
    panel.hide();
}

}  // namespace
