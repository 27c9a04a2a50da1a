// The main window's controls fitted to the font and scale it is shown with: the
// designed places stay where every caption fits, a control whose caption needs more
// room grows, the controls after it move by as much, and the window grows to hold them.
#include "ui/Form1.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolBar>

#include <algorithm>

#include "ui/Fit.h"
#include "ui/Widgets.h"

namespace
{

constexpr int kGap = 4; // least space between controls that moved
constexpr int kDesignClientWidth = 703;
constexpr int kDesignClientHeight = 433;
constexpr int kBrowserGap = 8; // between the left column and the browser
constexpr int kScrollBarRightMargin = 6;

} // namespace

void TForm1::FitControlsToText()
{
    using namespace fit;
    QWidget* client = centralWidget();

    // ---- Left column, below the editor: the two flags, the pens and the palette strip ----
    Grow(Chk_MulticolourMode);
    Grow(Chk_OverlayNext);
    int left = KeepBelow(Chk_OverlayNext, Bottom(Chk_MulticolourMode), 1);
    left = KeepBelow(GroupBox1, left, kGap);

    const QList<QWidget*> penRows{RadioColourTransp, RadioColourSprite, RadioColourMulti1, RadioColourMulti2};
    const QList<TColourPanel*> panels{PanelColourTransp, PanelColourSprite, PanelColourMulti1,
                                      PanelColourMulti2};
    const int rowsBottom = StackRows(GroupBox1, penRows, RadioColourTransp->y(), 16);
    int groupWidth = GroupBox1->width();
    for (int k = 0; k < penRows.size(); ++k)
    {
        // Each panel beside the middle of its row (one pixel below the top of a 17-pixel row).
        QWidget* radio = penRows[k];
        panels[k]->move(panels[k]->x(), radio->y() + (radio->height() - panels[k]->height() + 1) / 2);
        groupWidth = std::max(groupWidth, Right(radio) + 8);
    }
    GroupBox1->resize(groupWidth, std::max(GroupBox1->height(), rowsBottom + kRowsMargin));
    left = KeepBelow(PaintBox_Palette, Bottom(GroupBox1), kGap);

    // The controls below the preview may reach towards the browser; beyond that the
    // browser and everything right of it move over.
    int leftRight = 0;
    for (QWidget* w : {static_cast<QWidget*>(Chk_MulticolourMode), static_cast<QWidget*>(Chk_OverlayNext),
                       static_cast<QWidget*>(GroupBox1)})
        leftRight = std::max(leftRight, Right(w));
    const int shift = std::max(0, leftRight + kBrowserGap - PaintBox_Browser->x());

    // ---- The sprite number under the preview, as wide as its widest number ----
    const QString number = Label1->text();
    Label1->setText(QStringLiteral("888 "));
    Grow(Label1);
    Label1->setText(number);

    // ---- Right column: the browser, the view options and the quantity box ----
    for (QWidget* w :
         {static_cast<QWidget*>(PaintBox_Browser), static_cast<QWidget*>(ScrollBar_Browser),
          static_cast<QWidget*>(CkShowGrid), static_cast<QWidget*>(CkShowCross),
          static_cast<QWidget*>(Label2), static_cast<QWidget*>(Edit2), static_cast<QWidget*>(UpDown1)})
        w->move(w->x() + shift, w->y());
    Grow(CkShowGrid);
    Grow(CkShowCross);
    int right = KeepBelow(CkShowCross, Bottom(CkShowGrid), 1);

    // The quantity box keeps its place at the right; its label ends just before it.
    Edit2->resize(Edit2->width(), std::max(Edit2->height(), Edit2->sizeHint().height()));
    UpDown1->setGeometry(Right(Edit2), Edit2->y(), UpDown1->width(), Edit2->height());
    const int labelGap = Edit2->x() - Right(Label2);
    Grow(Label2);
    Label2->move(Edit2->x() - labelGap - Label2->width(),
                 Edit2->y() + (Edit2->height() - Label2->height()) / 2);
    // A label that would run into the check boxes pushes the quantity box right.
    const int optionsRight = std::max(Right(CkShowGrid), Right(CkShowCross)) + kBrowserGap;
    const int push = std::max(0, optionsRight - Label2->x());
    for (QWidget* w :
         {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Edit2), static_cast<QWidget*>(UpDown1)})
        w->move(w->x() + push, w->y());
    right = std::max({right, Bottom(Edit2), Bottom(Label2)});

    // ---- The sprite scroll bar across the bottom, and the window around it all ----
    const int width = std::max({kDesignClientWidth + shift, Right(UpDown1) + (kDesignClientWidth - 673),
                                Right(ScrollBar_Browser) + (kDesignClientWidth - 696)});
    KeepBelow(ScrollBar1, std::max(left, right), kGap);
    ScrollBar1->resize(width - ScrollBar1->x() - kScrollBarRightMargin, ScrollBar1->height());
    const int height = std::max(kDesignClientHeight, Bottom(ScrollBar1) + 1);
    ToolBar1->resize(width, ToolBar1->height());
    client->setFixedSize(width, height);
}
