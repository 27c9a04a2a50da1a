// The commands that open the tool windows.
#include "ui/Form1.h"

#include <QMessageBox>
#include <QScreen>

#include <algorithm>
#include <vector>

#include "ui/tools/FormAbout.h"
#include "ui/tools/FormAnim.h"
#include "ui/tools/FormRipper.h"
#include "ui/tools/FormRotate.h"

using namespace kelmora;

namespace
{

// A tool window opens where the editor's layout puts it; only when that would leave part
// of it off the screen is it moved back inside, so the user always sees all of it.
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
    rotator.exec();
}

void TForm1::Mnu_AnimatorClick()
{
    // The animator opens 3 pixels right of the main window, at its top (client to client),
    // with the tool bar look of this window. A one-sprite selection gives nothing to play.
    TFormAnim animator(host(), this);
    const QRect main = geometry();
    animator.setGeometry(
        OnScreen(this, QRect(QPoint(main.left() + main.width() + 3, main.top()), animator.size())));
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
}

void TForm1::VICESnapshotRipper1Click()
{
    // The ripper changes the bank while it is open and redraws it itself; closing it
    // neither refreshes nor records an undo step.
    const bool hadChanges = HasChanges(m_doc);
    const std::vector<u8> before(m_doc.bank.sprites, m_doc.bank.sprites + kBlockBytes);
    {
        TFormRipper ripper(host(), this);
        ripper.setGeometry(OnScreen(this, QRect(geometry().topLeft() + QPoint(80, 20), ripper.size())));
        ripper.exec();
    }
    if (!hadChanges || std::equal(before.begin(), before.end(), m_doc.bank.sprites)) return;

    // Ripped sprites replaced unsaved work. The work comes back for the question (and for
    // Save); the rip replaces it only when the user lets it go: Cancel keeps the work.
    const std::vector<u8> ripped(m_doc.bank.sprites, m_doc.bank.sprites + kBlockBytes);
    std::copy(before.begin(), before.end(), m_doc.bank.sprites);
    RefreshAll();
    if (MaySaveChanges()) std::copy(ripped.begin(), ripped.end(), m_doc.bank.sprites);
    RefreshAll();
}

void TForm1::Mnu_AboutClick()
{
    TFormAbout about(this);
    about.setGeometry(OnScreen(this, QRect(geometry().topLeft() + QPoint(80, 20), about.size())));
    about.exec();
}
