#include "view/ui/updown.h"

#include <QToolButton>
#include <algorithm>

namespace {
int clamp16(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT16_MIN, INT16_MAX));
}
}  // namespace

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_up->setAutoRepeat(true);
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    m_down->setAutoRepeat(true);
    connect(m_up, &QToolButton::clicked, this, [this] { click(true); });
    connect(m_down, &QToolButton::clicked, this, [this] { click(false); });
}

void UpDown::setPosition(int position) {
    m_position = std::clamp(clamp16(position), m_minimum, m_maximum);
}

void UpDown::setRange(int minimum, int maximum) {
    m_minimum = clamp16(minimum);
    m_maximum = std::max(m_minimum, clamp16(maximum));
    setPosition(m_position);
}

void UpDown::click(bool up) {
    const long long next =
        static_cast<long long>(m_position) + (up ? m_increment : -static_cast<long long>(m_increment));
    m_position = static_cast<int>(std::clamp<long long>(next, m_minimum, m_maximum));
    emit clicked(up);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}
