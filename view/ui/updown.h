// An up-down control: two arrow buttons moving a signed 16-bit position by an increment within a
// range, without wrap-around. Each click moves the position, then reports the click.
#pragma once

#include <QWidget>
#include <cstdint>

class QToolButton;

class UpDown : public QWidget {
    Q_OBJECT
  public:
    explicit UpDown(QWidget* parent = nullptr);

    int position() const { return m_position; }
    void setPosition(int position);  // clamped to the range
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setRange(int minimum, int maximum);  // clamped to 16 bits
    int increment() const { return m_increment; }
    void setIncrement(int increment) { m_increment = increment; }

    // An arrow click: the position moves by the increment, stopping at the range's ends; then
    // clicked() is emitted (also when the position could not move).
    void click(bool up);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

  signals:
    void clicked(bool up);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    int m_position = 0;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_increment = 1;
};
