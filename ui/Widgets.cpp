#include "ui/Widgets.h"

#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QWheelEvent>

QImage DisabledLook(const QImage& image)
{
    // Grey and faint: it sinks towards the tool bar's colour, light or dark, so a disabled
    // button always looks weaker than an enabled one. (The style's own disabled look maps
    // light pixels to white, which on a dark tool bar stands out more than the icon does.)
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
    {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
        {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
        }
    }
    return out;
}

QIcon ToolIcon(const QString& name)
{
    // Every size explicitly, so a window on a 150%, 200% or 300% screen gets a crisp one.
    QIcon icon;
    const struct
    {
        const char* suffix;
        int size;
    } sizes[] = {{"", 16}, {"@2x", 32}, {"@3x", 48}};
    for (const auto& s : sizes)
    {
        const QImage image(QStringLiteral(":/icons/%1%2.png").arg(name, QLatin1String(s.suffix)));
        if (image.isNull()) continue;
        icon.addPixmap(QPixmap::fromImage(image), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(DisabledLook(image)), QIcon::Disabled);
    }
    return icon;
}

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TPaintBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (onPaint) onPaint(painter);
}

void TPaintBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit mouseDown(event->button(), event->buttons(), event->modifiers(), p.x(), p.y());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit mouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit mouseUp(event->button(), event->buttons(), event->modifiers(), p.x(), p.y());
}

void TPaintBox::wheelEvent(QWheelEvent* event)
{
    // One notch is 15 degrees, reported in eighths of a degree.
    constexpr int kNotch = 120;
    m_wheelEighths += event->angleDelta().y();
    const int notches = m_wheelEighths / kNotch;
    m_wheelEighths -= notches * kNotch;
    event->accept();
    if (notches != 0) emit mouseWheel(notches, event->modifiers());
}

TColourPanel::TColourPanel(QWidget* parent) : QFrame(parent), m_colour(Qt::black)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void TColourPanel::setColour(const QColor& colour)
{
    if (colour == m_colour) return;
    m_colour = colour;
    update();
}

void TColourPanel::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), m_colour);
    }
    QFrame::paintEvent(event);
}

void TColourPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) emit clicked();
}

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_up->setAutoRepeat(true);
    m_down->setAutoRepeat(true);
    m_up->setFocusPolicy(Qt::NoFocus);
    m_down->setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void TUpDown::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = maximum < minimum ? minimum : maximum;
    setPosition(m_position);
}

void TUpDown::setPosition(int position)
{
    m_position = position < m_min ? m_min : (position > m_max ? m_max : position);
    if (!m_associate) return;
    // Every refresh of the main window lands here: rewrite the box only when it shows
    // something else, so an unchanged count costs no relayout or repaint of the box.
    const QString text = QString::number(m_position);
    if (m_associate->text() != text) m_associate->setText(text);
}

void TUpDown::setAssociate(QLineEdit* edit)
{
    m_associate = edit;
    setPosition(m_position);
}

bool TUpDown::syncFromAssociate()
{
    if (!m_associate) return true;
    bool ok = false;
    const int value = m_associate->text().trimmed().toInt(&ok);
    if (!ok) return false;
    m_position = value < m_min ? m_min : (value > m_max ? m_max : value);
    return true;
}

void TUpDown::step(int direction)
{
    syncFromAssociate();
    bool allow = true;
    if (onChanging) onChanging(direction, &allow);
    if (allow)
        setPosition(m_position + direction);
    else
        setPosition(m_position);
    emit clicked(direction);
}

void TUpDown::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

void TUpDown::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
    {
        m_up->setEnabled(isEnabled());
        m_down->setEnabled(isEnabled());
    }
    QWidget::changeEvent(event);
}
