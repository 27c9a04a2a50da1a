// Small widgets standing in for the paint boxes, colour panels and spin controls
// the editor's windows are laid out with.
#pragma once

#include <QColor>
#include <QFrame>
#include <QPointer>
#include <QWidget>

#include <functional>

class QIcon;
class QImage;
class QLineEdit;
class QToolButton;

// A tool bar image from the resources at 1x, 2x and 3x, with its disabled look.
QIcon ToolIcon(const QString& name);
// The disabled look of a tool bar image: grey and faint on any background.
QImage DisabledLook(const QImage& image);

// A surface that hands its paint and mouse events to its owner.
class TPaintBox : public QWidget
{
    Q_OBJECT
  public:
    explicit TPaintBox(QWidget* parent = nullptr);

    std::function<void(QPainter&)> onPaint;

  signals:
    void mouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                   int y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                 int y);
    // Whole notches of the wheel, positive away from the user (a touchpad's small steps
    // are added up first).
    void mouseWheel(int notches, Qt::KeyboardModifiers modifiers);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    int m_wheelEighths = 0; // of a degree turned and not yet reported
};

// A flat panel filled with one colour; a click on it is reported.
class TColourPanel : public QFrame
{
    Q_OBJECT
  public:
    explicit TColourPanel(QWidget* parent = nullptr);
    void setColour(const QColor& colour);
    QColor colour() const { return m_colour; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QColor m_colour;
};

// A spin control: two arrow buttons stepping a position within min..max (no wrap).
// When bound to an edit box it shows its position there and, before each step,
// takes up a number the user typed into it.
class TUpDown : public QWidget
{
    Q_OBJECT
  public:
    explicit TUpDown(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    void setPosition(int position); // clamped; writes the bound edit box; emits no signal
    int position() const { return m_position; }
    void setAssociate(QLineEdit* edit);
    // Reads the bound edit box's number into the position (clamped); false when it holds none.
    bool syncFromAssociate();

    // Runs before a step; clearing *allow refuses it. direction is +1 or -1.
    std::function<void(int direction, bool* allow)> onChanging;

    // One step as a click on an arrow makes it (used by the buttons and by tests).
    void step(int direction);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

  signals:
    void clicked(int direction); // after a step, also when the position stayed at a bound

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QToolButton* m_up;
    QToolButton* m_down;
    QPointer<QLineEdit> m_associate;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
};
