// Fitting windows laid out at fixed places to the font and scale they are shown with.
#include "ui/Fit.h"

#include <QGroupBox>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QWidget>

#include <algorithm>

namespace fit
{

int Right(const QWidget* control)
{
    return control->x() + control->width();
}

int Bottom(const QWidget* control)
{
    return control->y() + control->height();
}

void Grow(QWidget* control)
{
    control->resize(control->size().expandedTo(control->sizeHint()));
}

int GrowHeight(QWidget* control)
{
    control->resize(control->width(), std::max(control->height(), control->sizeHint().height()));
    return Bottom(control);
}

int KeepBelow(QWidget* control, int above, int gap)
{
    if (control->y() < above + gap) control->move(control->x(), above + gap);
    return Bottom(control);
}

int TitleBottom(const QGroupBox* box)
{
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.features = box->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    return label.y() + label.height();
}

int StackRows(QGroupBox* box, const QList<QWidget*>& rows, int firstTop, int pitch)
{
    int top = std::max(firstTop, TitleBottom(box));
    int bottom = top;
    for (QWidget* row : rows)
    {
        Grow(row);
        row->move(row->x(), top);
        bottom = Bottom(row);
        top += std::max(pitch, row->height());
    }
    return bottom;
}

QColor WarningColour(const QPalette& palette)
{
    const QColor background = palette.color(QPalette::Window);
    return background.lightness() < 128 ? QColor(255, 96, 96) : QColor(Qt::red);
}

} // namespace fit
