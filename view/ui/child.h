// TChild: one image in a child window of the main frame, with its display image (Image, shown
// stretched to the control's size) and its stored image (ImageZm), and its hidden state fields.
#pragma once

#include <QString>
#include <QWidget>

#include "core/picture.h"
#include "view/child_state.h"

class ImageControl;
class ImageFrame;
class QMdiSubWindow;
class QScrollArea;

class TChild : public QWidget {
    Q_OBJECT
  public:
    explicit TChild(ImageFrame& frame, QWidget* parent = nullptr);
    ~TChild() override;

    ChildState state;

    // Image: the display image. Non-const access marks it changed (it is repainted); imageChanged()
    // does the same explicitly.
    Picture& image();
    const Picture& image() const;
    void setImage(Picture picture);  // also sizes the Image control to the picture while auto-sizing is on
    void imageChanged();
    // ImageZm: the stored image.
    Picture& imageZm();
    const Picture& imageZm() const;
    void setImageZm(Picture picture);

    // Size of the visible Image control (the picture is drawn stretched to it).
    QSize imageControlSize() const;
    void setImageControlSize(int width, int height);
    // Automatic sizing of the Image control to its picture (on until the first zoom step).
    void setImageAutoSize(bool on) { m_imageAutoSize = on; }

    // Client area and outer size of the child window; fitting around the Image control once (the
    // client area becomes the Image control's size, or the narrowest a subwindow can be).
    void setClientSize(int width, int height);
    QSize clientSize() const;
    void setOuterSize(int width, int height);
    void fitToContents();
    void bringToFront();

    QString caption() const;
    void setCaption(const QString& caption);

    QMdiSubWindow* subWindow() const;
    ImageFrame& frame() { return m_frame; }
    ImageControl* imageControl() const { return m_imageControl; }
    QScrollArea* scrollArea() const { return m_scroll; }

    // Handlers. FormClose is the subwindow's delete-on-close: closing destroys the window.
    void FormActivate();
    void ImageMouseMove(int x, int y);
    void ImageMouseDown(Qt::MouseButton button, int x, int y);

  private:
    ImageFrame& m_frame;
    ImageControl* m_imageControl = nullptr;
    QScrollArea* m_scroll = nullptr;
    Picture m_image;
    Picture m_imageZm;
    bool m_imageAutoSize = true;
};
