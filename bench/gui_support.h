// Support for the benchmarks that show windows: the one application object, and Qt alone showing
// ready pictures in child windows, the floor of the benchmark's display stage.
#pragma once

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>

namespace benchgui {

// The application object, offscreen unless the environment names a platform; made on first use.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "halvane2-bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Runs pending events, including deferred deletes of closed windows.
inline void Drain() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A shown frame with an MDI area and one grey side x side picture, ready before any timing.
class QtDisplayFloor {
  public:
    explicit QtDisplayFloor(int side)
        : m_area(new QMdiArea(&m_frame)), m_ready(side, side, QImage::Format_RGB888) {
        m_frame.setCentralWidget(m_area);
        m_frame.resize(1200, 900);
        m_frame.show();
        m_ready.fill(Qt::gray);
        Drain();
    }

    // count child windows, each a label showing the picture, each made active in turn: the part to time.
    void showWindows(int count) {
        for (int i = 0; i < count; ++i) {
            auto* label = new QLabel;
            label->setPixmap(QPixmap::fromImage(m_ready));
            QMdiSubWindow* sub = m_area->addSubWindow(label);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            sub->resize(1150, 800);
            sub->show();
            m_area->setActiveSubWindow(sub);
        }
    }

    void closeWindows() {
        m_area->closeAllSubWindows();
        Drain();
    }

  private:
    QMainWindow m_frame;
    QMdiArea* m_area;
    QImage m_ready;
};

}  // namespace benchgui
