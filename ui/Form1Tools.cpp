// The commands that open the tool windows.
#include "ui/Form1.h"

#include "ui/tools/FormAbout.h"
#include "ui/tools/FormRipper.h"

void TForm1::Mnu_RotatorClick() {}
void TForm1::Mnu_AnimatorClick() {}
void TForm1::VICESnapshotRipper1Click()
{
    // The ripper changes the bank while it is open and redraws it itself; closing it
    // neither refreshes nor records an undo step.
    TFormRipper ripper(this);
    ripper.setGeometry(QRect(geometry().topLeft() + QPoint(80, 20), ripper.size())); // client to client
    ripper.exec();
}
void TForm1::Mnu_AboutClick()
{
    TFormAbout about(this);
    about.setGeometry(QRect(geometry().topLeft() + QPoint(80, 20), about.size())); // client to client
    about.exec();
}
