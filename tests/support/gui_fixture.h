// GUI test support: one offscreen QApplication for the whole test program, and a fixture that
// builds the program's windows over a ScriptedPlatform exactly as start-up does.
//
//   class MyTest : public GuiFixture {};
//   TEST_F(MyTest, Something) {
//       platform().yesNoAnswers.push_back(true);
//       mainForm().runCommand([&] { mainForm().N10Click(); });
//       EXPECT_TRUE(platform().errors().empty());
//   }
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <memory>
#include <string>
#include <utility>

#include <clocale>
#include "platform/scripted_platform.h"
#include "shell/mainform.h"
#include "shell/startup.h"
#include "view/child_state.h"
#include "view/ui/child.h"
#include "view/view_model.h"

#if defined(__SANITIZE_ADDRESS__)
// The application object lives until the process ends; fontconfig's caches, which Qt never
// releases, are not leaks of the program.
extern "C" inline __attribute__((used)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif

namespace hvtest {

// The application object, created once (offscreen unless the environment names a platform) and
// kept until the process ends.
inline QApplication& EnsureApplication() {
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING"))
            qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        static int argc = 1;
        static char arg0[] = "hv-gui-test";
        static char* argv[] = {arg0, nullptr};
        auto* created = qobject_cast<QApplication*>(QCoreApplication::instance());
        if (!created) created = new QApplication(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        return created;
    }();
    return *app;
}

// Every remembered field of a window's state in one text, "DemX=6|DemY=3|...|MIN=0" in the order
// of ChildState, so that one comparison checks them all and shows each that differs.
inline std::string StateText(const ChildState& s) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"DemX", &s.DemX},       {"DemY", &s.DemY},         {"ColN", &s.ColN},       {"ZomN", &s.ZomN},
        {"UndoFlg", &s.UndoFlg}, {"Contrast", &s.Contrast}, {"Average", &s.Average}, {"Minimum", &s.Minimum},
        {"FilterI", &s.FilterI}, {"MAX", &s.MAX},           {"MIN", &s.MIN}};
    std::string text;
    for (const auto& [name, value] : fields)
        text += (text.empty() ? "" : "|") + std::string(name) + "=" + *value;
    return text;
}

// Runs pending events, including deferred deletes of closed windows.
inline void ProcessEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace hvtest

class GuiFixture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { hvtest::EnsureApplication(); }

    void SetUp() override {
        hvtest::EnsureApplication();
        m_windows = CreateWindows(m_platform);
        // Shown offscreen, so that child windows activate as in the program.
        m_windows->mainForm->show();
        hvtest::ProcessEvents();
    }

    void TearDown() override {
        m_windows.reset();
        hvtest::ProcessEvents();
    }

    TMainForm& mainForm() { return *m_windows->mainForm; }
    ScriptedPlatform& platform() { return m_platform; }
    HalvaneWindows& windows() { return *m_windows; }

    // Runs a handler through the dispatcher, as a menu item or control does.
    void run(void (TMainForm::*handler)()) {
        TMainForm& form = mainForm();
        form.runCommand([&form, handler] { (form.*handler)(); });
    }

    // A new window of the kind holding the picture as display and stored image, sized and filled
    // as a creator does (client area = picture size), with its state reset.
    TChild* makeWindow(int kind, const Picture& picture) {
        TChild* window = mainForm().CreateImageWindow(kind);
        window->setImage(picture);
        window->setImageZm(picture);
        window->fitToContents();
        ResetViewState(window->state, picture.width(), picture.height(), 1);
        hvtest::ProcessEvents();
        return window;
    }

  private:
    ScriptedPlatform m_platform;
    std::unique_ptr<HalvaneWindows> m_windows;
};
