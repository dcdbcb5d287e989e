// What child windows and image commands need of the main window. TMainForm implements it; commands
// in edits/, filters/ and benchmark/ see only this interface.
#pragma once

#include <QList>
#include <QSize>
#include <functional>

struct ChildState;
class Platform;
class TChild;
class UpDown;
class QLabel;
class QLineEdit;
class QWidget;

// The tool-strip controls that commands write.
struct ToolStrip {
    QLineEdit* Edit1 = nullptr;  // zoom text
    QLineEdit* Edit2 = nullptr;  // Max. level
    QLineEdit* Edit3 = nullptr;  // Min. level
    UpDown* UpDown1 = nullptr;   // Max up-down
    UpDown* UpDown2 = nullptr;   // Min up-down
    QLabel* Label2 = nullptr;    // probe
    QLabel* Label3 = nullptr;    // extremes
    QLabel* Label4 = nullptr;    // FWHM
};

// A newly shown image: zoom "100.0%", Max. "255", Min. "0".
void ResetToolStripTexts(ToolStrip& strip);
// The same, with the up-downs at 255 and 0 and the window's remembered range to match.
void ResetToolStripRange(ToolStrip& strip, ChildState& state);

class ImageFrame {
  public:
    virtual ~ImageFrame() = default;

    virtual Platform& platform() = 0;
    // Parent for message boxes and dialogs.
    virtual QWidget* frameWidget() = 0;
    virtual ToolStrip& toolStrip() = 0;

    // The active child window if it is an image window; nullptr when there is none.
    virtual TChild* ActiveImageWindow() = 0;
    // A new child window, shown and active, with automatic fitting off; kind written to FilterI
    // unless it is 0.
    virtual TChild* CreateImageWindow(int kind) = 0;
    // Image windows, the most recently activated first.
    virtual QList<TChild*> imageWindowsMostRecentFirst() = 0;
    // Closes and destroys the window.
    virtual void closeImageWindow(TChild* window) = 0;
    // The main window's client width and height: the area below the menu bar (tool strip and
    // multiple-document area together).
    virtual QSize frameClientSize() const = 0;

    // Runs a handler through the application's dispatcher: a failure becomes the standard error
    // box, nothing escapes. busyCursor shows the busy cursor while it runs (not for mouse moves).
    virtual void runHandler(const std::function<void()>& handler, bool busyCursor) = 0;
};
