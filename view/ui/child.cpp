#include "view/ui/child.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QVBoxLayout>
#include <cmath>

#include "core/numtext.h"
#include "view/ui/frame.h"
#include "view/ui/image_control.h"
#include "view/view_ops.h"

// ---------------------------------------------------------------- ImageControl

ImageControl::ImageControl(TChild& owner, QWidget* parent) : QWidget(parent), m_owner(owner) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageControl::invalidate() {
    m_dirty = true;
    update();
}

const QImage& ImageControl::cachedImage() {
    if (!m_dirty) return m_cache;
    const Picture& picture = std::as_const(m_owner).image();
    m_cacheLevels = picture.greyLevels();
    if (picture.isNull()) {
        m_cache = QImage();
    } else if (m_cacheLevels) {
        // A grey picture that holds only its levels is shown from them as they are.
        m_cache = QImage(m_cacheLevels->row(0), m_cacheLevels->width, m_cacheLevels->height,
                         m_cacheLevels->width, QImage::Format_Grayscale8);
    } else {
        m_cache = QImage(picture.width(), picture.height(), QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            const uint8_t* s = picture.row(y);
            auto* d = reinterpret_cast<QRgb*>(m_cache.scanLine(y));
            for (int x = 0; x < picture.width(); ++x, s += 3) d[x] = qRgb(s[2], s[1], s[0]);
        }
    }
    m_dirty = false;
    return m_cache;
}

void ImageControl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& image = cachedImage();
    const QRect exposed = event->rect();
    if (image.isNull() || width() <= 0 || height() <= 0) {
        painter.fillRect(exposed, palette().window());
        return;
    }
    // Source pixels covering the exposed part, and where they land in the control: only this part
    // is scaled, never the whole picture.
    const double sx = static_cast<double>(image.width()) / width();
    const double sy = static_cast<double>(image.height()) / height();
    const int x0 = std::max(0, static_cast<int>(std::floor(exposed.left() * sx)));
    const int y0 = std::max(0, static_cast<int>(std::floor(exposed.top() * sy)));
    const int x1 = std::min(image.width(), static_cast<int>(std::ceil((exposed.right() + 1) * sx)));
    const int y1 = std::min(image.height(), static_cast<int>(std::ceil((exposed.bottom() + 1) * sy)));
    if (x1 <= x0 || y1 <= y0) return;
    const QRectF target(x0 / sx, y0 / sy, (x1 - x0) / sx, (y1 - y0) / sy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, image, QRectF(x0, y0, x1 - x0, y1 - y0));
}

void ImageControl::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    const int x = static_cast<int>(p.x());
    const int y = static_cast<int>(p.y());
    m_owner.frame().runHandler([this, x, y] { m_owner.ImageMouseMove(x, y); }, false);
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    const int x = static_cast<int>(p.x());
    const int y = static_cast<int>(p.y());
    const Qt::MouseButton button = event->button();
    m_owner.frame().runHandler([this, button, x, y] { m_owner.ImageMouseDown(button, x, y); }, false);
}

// ---------------------------------------------------------------- TChild

TChild::TChild(ImageFrame& frame, QWidget* parent) : QWidget(parent), m_frame(frame) {
    setObjectName(QStringLiteral("TChild"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_imageControl = new ImageControl(*this, nullptr);
    m_imageControl->setObjectName(QStringLiteral("Image"));
    m_imageControl->resize(0, 0);
    m_scroll->setWidget(m_imageControl);
    layout->addWidget(m_scroll);
}

TChild::~TChild() = default;

Picture& TChild::image() {
    m_imageControl->invalidate();
    return m_image;
}
const Picture& TChild::image() const {
    return m_image;
}

void TChild::setImage(Picture picture) {
    m_image = std::move(picture);
    if (m_imageAutoSize) m_imageControl->resize(m_image.width(), m_image.height());
    m_imageControl->invalidate();
}

void TChild::imageChanged() {
    m_imageControl->invalidate();
}

Picture& TChild::imageZm() {
    return m_imageZm;
}
const Picture& TChild::imageZm() const {
    return m_imageZm;
}
void TChild::setImageZm(Picture picture) {
    m_imageZm = std::move(picture);
}

QSize TChild::imageControlSize() const {
    return m_imageControl->size();
}

void TChild::setImageControlSize(int width, int height) {
    m_imageControl->resize(width, height);
    m_imageControl->update();
}

QMdiSubWindow* TChild::subWindow() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

namespace {
// What the subwindow adds around its widget (title bar and borders). A visible subwindow shows it
// directly; a hidden one (its frame not shown yet) has not laid out its widget, so the style's
// metrics give it.
QSize frameMargins(QMdiSubWindow* sub, const QWidget* client) {
    if (sub->isVisible()) {
        if (QLayout* layout = sub->layout()) layout->activate();
        const QSize extra = sub->size() - client->size();
        if (extra.width() >= 0 && extra.height() >= 0) return extra;
    }
    QStyleOptionTitleBar option;
    option.initFrom(sub);
    const int border = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, sub);
    return QSize(2 * border, title + border);
}

// Resizes the subwindow to width x height, or, with client set, so that its widget gets that size.
// A hidden subwindow does not lay out its widget: the widget is sized to match. Without a
// subwindow, the widget takes the size.
void resizeSubWindow(QMdiSubWindow* sub, QWidget* widget, int width, int height, bool client) {
    if (!sub) {
        widget->resize(width, height);
        return;
    }
    const QSize margins = frameMargins(sub, widget);
    if (client)
        sub->resize(width + margins.width(), height + margins.height());
    else
        sub->resize(width, height);
    if (QLayout* layout = sub->layout()) layout->activate();
    if (!sub->isVisible()) widget->resize(sub->width() - margins.width(), sub->height() - margins.height());
}
}  // namespace

void TChild::setClientSize(int width, int height) {
    resizeSubWindow(subWindow(), this, width, height, true);
}

QSize TChild::clientSize() const {
    return size();
}

void TChild::setOuterSize(int width, int height) {
    resizeSubWindow(subWindow(), this, width, height, false);
}

void TChild::fitToContents() {
    const QSize s = imageControlSize();
    setClientSize(s.width(), s.height());
}

void TChild::bringToFront() {
    if (QMdiSubWindow* sub = subWindow()) sub->raise();
}

QString TChild::caption() const {
    return windowTitle();
}

void TChild::setCaption(const QString& caption) {
    setWindowTitle(caption);
    if (QMdiSubWindow* sub = subWindow()) sub->setWindowTitle(caption);
}

void TChild::FormActivate() {
    const double z = ParseReal(state.ZomN);
    m_frame.toolStrip().Edit1->setText(QString::fromStdString(ZoomText(z)));
}

void TChild::ImageMouseMove(int x, int y) {
    const std::optional<std::string> text =
        ProbeText(WindowKind(state), m_image, m_imageZm, state.ZomN, x, y);
    if (!text) return;
    QLabel* label = m_frame.toolStrip().Label2;
    label->setText(QString::fromStdString(*text));
    label->adjustSize();
}

void TChild::ImageMouseDown(Qt::MouseButton button, int x, int y) {
    const Measurement m = MeasureAt(m_image, x, y, button == Qt::LeftButton);
    ToolStrip& strip = m_frame.toolStrip();
    strip.Label3->setText(QString::fromStdString(m.extremesText));
    strip.Label3->adjustSize();
    strip.Label4->setText(QString::fromStdString(m.fwhmText));
    strip.Label4->adjustSize();
}
