// The Image control of a child window: paints the display image stretched to the control's size,
// nearest neighbour, converting only the exposed part; reports mouse positions in logical pixels.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "core/picture.h"

class TChild;

class ImageControl : public QWidget {
    Q_OBJECT
  public:
    ImageControl(TChild& owner, QWidget* parent);

    // The picture changed: rebuild the cache at the next paint.
    void invalidate();
    // The display image as 32-bit pixels (or, for a grey picture held as levels, those levels as
    // 8-bit grey, without a copy), rebuilt once per change.
    const QImage& cachedImage();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    TChild& m_owner;
    QImage m_cache;
    std::shared_ptr<const LevelRows> m_cacheLevels;  // the bytes m_cache shows, when it shows levels
    bool m_dirty = true;
};
