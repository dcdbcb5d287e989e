// TChild: one image in a child window of the main frame, with its display image (Image, shown
// stretched to the control's size) and its stored image (ImageZm), and its hidden state fields.
#pragma once

#include <QString>
#include <QWidget>

#include "core/picture.h"
#include "view/child_state.h"

class ImageFrame;
class QMdiSubWindow;

class TChild : public QWidget {
    Q_OBJECT
public:
    explicit TChild(ImageFrame& frame, QWidget* parent = nullptr);
    ~TChild() override;

    ChildState state;

    // Image: the display image. After changing it in place, call imageChanged().
    Picture& image();
    const Picture& image() const;
    void setImage(Picture picture);  // also sizes the Image control to the picture
    void imageChanged();
    // ImageZm: the stored image.
    Picture& imageZm();
    const Picture& imageZm() const;
    void setImageZm(Picture picture);

    // Size of the visible Image control (the picture is drawn stretched to it).
    QSize imageControlSize() const;
    void setImageControlSize(int width, int height);

    // Client area and outer size of the child window; fitting around the Image control once.
    void setClientSize(int width, int height);
    QSize clientSize() const;
    void setOuterSize(int width, int height);
    void fitToContents();
    void bringToFront();

    QString caption() const;
    void setCaption(const QString& caption);

    QMdiSubWindow* subWindow() const;
    ImageFrame& frame() { return m_frame; }

    // Handlers.
    void FormActivate();
    void ImageMouseMove(int x, int y);
    void ImageMouseDown(Qt::MouseButton button, int x, int y);

private:
    ImageFrame& m_frame;
    class ImageControl* m_imageControl = nullptr;
    class QScrollArea* m_scroll = nullptr;
    Picture m_image;
    Picture m_imageZm;
};
