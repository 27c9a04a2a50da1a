// The commands that open the tool windows.
#include "ui/Form1.h"

#include <QMessageBox>

#include <algorithm>
#include <vector>

#include "ui/Placement.h"
#include "ui/Settings.h"
#include "ui/tools/FormAbout.h"
#include "ui/tools/FormAnim.h"
#include "ui/tools/FormRipper.h"
#include "ui/tools/FormRotate.h"

using namespace kelmora;

void TForm1::Mnu_RotatorClick()
{
    // The rotator opens 3 pixels right of the main window, at its top (frame to frame);
    // it renders angle 0 of the current sprite as it is created and refreshes this window
    // however it closes.
    TFormRotate rotator(host(), this);
    PlaceWindow(&rotator, this, BesideRight(this));
    settings::RestorePosition(&rotator, QStringLiteral("rotator"));
    rotator.exec();
    settings::SavePosition(&rotator, QStringLiteral("rotator"));
}

void TForm1::Mnu_AnimatorClick()
{
    // The animator opens 3 pixels right of the main window, at its top (frame to frame),
    // with the tool bar look of this window. A one-sprite selection gives nothing to play.
    TFormAnim animator(host(), this);
    PlaceWindow(&animator, this, BesideRight(this));
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
    const bool hadChanges = HasChanges(m_doc);
    const std::vector<u8> before(m_doc.bank.sprites, m_doc.bank.sprites + kBlockBytes);
    {
        TFormRipper ripper(host(), this);
        PlaceWindow(&ripper, this, OverCorner(this));
        settings::RestorePosition(&ripper, QStringLiteral("ripper"));
        ripper.exec();
        settings::SavePosition(&ripper, QStringLiteral("ripper"));
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
    PlaceWindow(&about, this, OverCorner(this));
    settings::RestorePosition(&about, QStringLiteral("about"));
    about.exec();
    settings::SavePosition(&about, QStringLiteral("about"));
}
