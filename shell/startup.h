// Start-up: the fixed windows, created in their order and owned by the application.
#pragma once

#include <QString>
#include <memory>

#include "filters/settings.h"

class Platform;
class TMainForm;
class TAboutBox;
class TGMCPanel;
class TGMM;
class TEDG;
class TBLUR;
class TComaCorrect;
class TTitle;
class TSabachie;
class Tpanel;

struct HalvaneWindows {
    HalvaneWindows();
    ~HalvaneWindows();
    FilterSettings settings;
    // Creation order: TMainForm, TAboutBox, TGMCPanel, TGMM, TEDG, TBLUR, TComaCorrect, TTitle,
    // TSabachie, Tpanel. Destroyed in reverse.
    std::unique_ptr<TMainForm> mainForm;
    std::unique_ptr<TAboutBox> aboutBox;
    std::unique_ptr<TGMCPanel> gmcPanel;
    std::unique_ptr<TGMM> gmm;
    std::unique_ptr<TEDG> edg;
    std::unique_ptr<TBLUR> blur;
    std::unique_ptr<TComaCorrect> comaCorrect;
    std::unique_ptr<TTitle> title;
    std::unique_ptr<TSabachie> sabachie;
    std::unique_ptr<Tpanel> panel;
};

// Creates every fixed window (hidden) and wires them to the main window.
std::unique_ptr<HalvaneWindows> CreateWindows(Platform& platform);

// Every caption is Japanese: makes the application font one that has the glyphs (IPA Gothic or
// Noto Sans CJK JP) when such a font is installed. Returns the family chosen, empty if none.
QString PreferJapaneseFont();
