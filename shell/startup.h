// Start-up: the fixed windows, created in their order and owned by the application.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "benchmark/ui/forms.h"
#include "filters/settings.h"
#include "filters/ui/dialogs.h"

class Platform;
class QWidget;
class TMainForm;

// The one registry of the fixed windows: it owns them from start-up to the end and is where the
// program, the command line and the tests look them up. Only the main window is shown at start.
class HalvaneWindows {
  public:
    // Creates every fixed window (hidden) and wires them to the main window.
    explicit HalvaneWindows(Platform& platform);
    // Destroys them in reverse order of creation: the main window (and its child windows) last.
    ~HalvaneWindows();
    HalvaneWindows(const HalvaneWindows&) = delete;
    HalvaneWindows& operator=(const HalvaneWindows&) = delete;

    FilterSettings settings;  // what the filter dialogs store and the filter commands read

  private:
    // Every window, in order of creation; made before the look-ups below, which are created into it.
    std::vector<std::unique_ptr<QWidget>> m_created;
    template <typename W, typename... Args>
    W* create(Args&&... args);

  public:
    // The look-ups, fixed for the registry's life, in their order of creation.
    TMainForm* const mainForm;
    TAboutBox* const aboutBox;
    TGMCPanel* const gmcPanel;
    TGMM* const gmm;
    TEDG* const edg;
    TBLUR* const blur;
    TComaCorrect* const comaCorrect;
    TTitle* const title;
    TSabachie* const sabachie;
    Tpanel* const panel;
};

// The registry of the program's life: the program, the command line and the tests start here.
std::unique_ptr<HalvaneWindows> CreateWindows(Platform& platform);

// Every caption is Japanese: makes the application font one that has the glyphs (IPA Gothic or
// Noto Sans CJK JP) when such a font is installed. Returns the family chosen, empty if none.
QString PreferJapaneseFont();
