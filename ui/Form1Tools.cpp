// The commands that open the tool windows.
#include "ui/Form1.h"

#include <QMessageBox>
#include <QScreen>

#include "ui/Settings.h"
#include "ui/tools/FormAbout.h"
#include "ui/tools/FormAnim.h"
#include "ui/tools/FormRipper.h"
#include "ui/tools/FormRotate.h"

namespace
{

// A tool window opens where the editor's layout puts it, or where the user last moved it;
// only when that would leave part of it off the screen is it moved back inside, so the
// user always sees all of it.
QRect OnScreen(const QWidget* owner, QRect wanted)
{
    const QScreen* screen = owner->screen();
    if (!screen) return wanted;
    const QRect area = screen->availableGeometry();
    if (wanted.right() > area.right()) wanted.moveRight(area.right());
    if (wanted.bottom() > area.bottom()) wanted.moveBottom(area.bottom());
    if (wanted.left() < area.left()) wanted.moveLeft(area.left());
    if (wanted.top() < area.top()) wanted.moveTop(area.top());
    return wanted;
}

} // namespace

void TForm1::Mnu_RotatorClick()
{
    // The rotator opens 3 pixels right of the main window, at its top (client to client);
    // it renders angle 0 of the current sprite as it is created and refreshes this window
    // however it closes.
    TFormRotate rotator(host(), this);
    const QRect main = geometry();
    rotator.setGeometry(
        OnScreen(this, QRect(QPoint(main.left() + main.width() + 3, main.top()), rotator.size())));
    settings::RestorePosition(&rotator, QStringLiteral("rotator"));
    rotator.exec();
    settings::SavePosition(&rotator, QStringLiteral("rotator"));
}

void TForm1::Mnu_AnimatorClick()
{
    // The animator opens 3 pixels right of the main window, at its top (client to client),
    // with the tool bar look of this window. A one-sprite selection gives nothing to play.
    TFormAnim animator(host(), this);
    const QRect main = geometry();
    animator.setGeometry(
        OnScreen(this, QRect(QPoint(main.left() + main.width() + 3, main.top()), animator.size())));
    settings::RestorePosition(&animator, QStringLiteral("animator"));
    animator.SetToolBarFlat(Mnu_ToolBar_Flat->isChecked());
    if (m_doc.bank.rangeStart == m_doc.bank.rangeEnd)
    {
        QMessageBox hint(QMessageBox::NoIcon, QStringLiteral("Hint..."),
                         QStringLiteral("First select a range using SHIFT and Left Mouse Button."),
                         QMessageBox::Ok, this);
        hint.exec();
        return;
    }
    animator.exec();
    settings::SavePosition(&animator, QStringLiteral("animator"));
}

void TForm1::VICESnapshotRipper1Click()
{
    // The ripper changes the bank while it is open and redraws it itself; closing it
    // neither refreshes nor records an undo step.
    TFormRipper ripper(host(), this);
    ripper.setGeometry(OnScreen(this, QRect(geometry().topLeft() + QPoint(80, 20), ripper.size())));
    settings::RestorePosition(&ripper, QStringLiteral("ripper"));
    ripper.exec();
    settings::SavePosition(&ripper, QStringLiteral("ripper"));
}

void TForm1::Mnu_AboutClick()
{
    TFormAbout about(this);
    about.setGeometry(OnScreen(this, QRect(geometry().topLeft() + QPoint(80, 20), about.size())));
    settings::RestorePosition(&about, QStringLiteral("about"));
    about.exec();
    settings::SavePosition(&about, QStringLiteral("about"));
}
