#include "shell/startup.h"

#include <QApplication>
#include <QFontDatabase>

#include "shell/mainform.h"

template <typename W, typename... Args>
W* HalvaneWindows::create(Args&&... args) {
    auto window = std::make_unique<W>(std::forward<Args>(args)...);
    W* created = window.get();
    m_created.push_back(std::move(window));
    return created;
}

HalvaneWindows::HalvaneWindows(Platform& platform)
    : mainForm(create<TMainForm>(platform)),
      aboutBox(create<TAboutBox>()),
      gmcPanel(create<TGMCPanel>(settings, platform)),
      gmm(create<TGMM>(settings, platform)),
      edg(create<TEDG>(settings, platform)),
      blur(create<TBLUR>(settings, platform)),
      comaCorrect(create<TComaCorrect>(settings, platform)),
      title(create<TTitle>()),
      sabachie(create<TSabachie>(settings, platform)),
      panel(create<Tpanel>()) {
    // Only the main window ends the program when it closes.
    for (const std::unique_ptr<QWidget>& window : m_created)
        if (window.get() != mainForm) window->setAttribute(Qt::WA_QuitOnClose, false);
    mainForm->attachWindows(*this);
}

HalvaneWindows::~HalvaneWindows() {
    while (!m_created.empty()) m_created.pop_back();
}

std::unique_ptr<HalvaneWindows> CreateWindows(Platform& platform) {
    return std::make_unique<HalvaneWindows>(platform);
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
