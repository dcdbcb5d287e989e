#include "shell/startup.h"

#include <QApplication>
#include <QFontDatabase>

#include "benchmark/ui/forms.h"
#include "filters/ui/dialogs.h"
#include "shell/mainform.h"

HalvaneWindows::HalvaneWindows() = default;

HalvaneWindows::~HalvaneWindows() {
    // Reverse order of creation; the main window (and its child windows) last.
    panel.reset();
    sabachie.reset();
    title.reset();
    comaCorrect.reset();
    blur.reset();
    edg.reset();
    gmm.reset();
    gmcPanel.reset();
    aboutBox.reset();
    mainForm.reset();
}

std::unique_ptr<HalvaneWindows> CreateWindows(Platform& platform) {
    auto w = std::make_unique<HalvaneWindows>();
    w->mainForm = std::make_unique<TMainForm>(platform);
    w->aboutBox = std::make_unique<TAboutBox>();
    w->gmcPanel = std::make_unique<TGMCPanel>(w->settings, platform, nullptr);
    w->gmm = std::make_unique<TGMM>(w->settings, platform, nullptr);
    w->edg = std::make_unique<TEDG>(w->settings, platform, nullptr);
    w->blur = std::make_unique<TBLUR>(w->settings, platform, nullptr);
    w->comaCorrect = std::make_unique<TComaCorrect>(w->settings, platform, nullptr);
    w->title = std::make_unique<TTitle>();
    w->sabachie = std::make_unique<TSabachie>(w->settings, platform, nullptr);
    w->panel = std::make_unique<Tpanel>();

    // Only the main window ends the program when it closes.
    for (QWidget* form : std::initializer_list<QWidget*>{w->aboutBox.get(), w->gmcPanel.get(), w->gmm.get(),
                                                         w->edg.get(), w->blur.get(), w->comaCorrect.get(),
                                                         w->title.get(), w->sabachie.get(), w->panel.get()})
        form->setAttribute(Qt::WA_QuitOnClose, false);

    FixedForms forms;
    forms.aboutBox = w->aboutBox.get();
    forms.title = w->title.get();
    forms.panel = w->panel.get();
    forms.filters.settings = &w->settings;
    forms.filters.gmcPanel = w->gmcPanel.get();
    forms.filters.gmm = w->gmm.get();
    forms.filters.edg = w->edg.get();
    forms.filters.blur = w->blur.get();
    forms.filters.comaCorrect = w->comaCorrect.get();
    forms.filters.sabachie = w->sabachie.get();
    w->mainForm->attachForms(forms);
    return w;
}

QString PreferJapaneseFont() {
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"IPAGothic", "IPAゴシック", "IPAPGothic", "Noto Sans CJK JP", "Noto Sans JP"}) {
        const QString family = QString::fromUtf8(name);
        if (!families.contains(family)) continue;
        QFont font(family);
        font.setPointSize(9);
        QApplication::setFont(font);
        return family;
    }
    return QString();
}
