#include "shell/startup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QIcon>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

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

namespace {

// The application's style, with the title-bar icons made once: Qt's styles read them from their
// image files for every call, and every child window's frame asks for them again.
class TitleIconCache : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (which < SP_TitleBarMenuButton || which > SP_TitleBarContextHelpButton)
            return QProxyStyle::standardIcon(which, option, widget);
        const Qt::LayoutDirection direction = option   ? option->direction
                                              : widget ? widget->layoutDirection()
                                                       : QGuiApplication::layoutDirection();
        const int key = static_cast<int>(which) * 2 + (direction == Qt::RightToLeft ? 1 : 0);
        auto found = m_icons.constFind(key);
        if (found == m_icons.constEnd())
            found = m_icons.insert(key, QProxyStyle::standardIcon(which, option, widget));
        return *found;
    }

  private:
    mutable QHash<int, QIcon> m_icons;
};

// Puts the cache in front of the application's style, once per process (when the style can be
// made again by name).
void CacheTitleIcons() {
    QStyle* style = QApplication::style();
    if (!style || dynamic_cast<TitleIconCache*>(style)) return;
    const QString name = style->name();
    if (!QStyleFactory::keys().contains(name, Qt::CaseInsensitive)) return;
    QApplication::setStyle(new TitleIconCache(name));
}

}  // namespace

std::unique_ptr<HalvaneWindows> CreateWindows(Platform& platform) {
    CacheTitleIcons();
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
