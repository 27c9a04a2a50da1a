// The commands that open the tool windows.
#include "ui/Form1.h"

void TForm1::Mnu_RotatorClick() {}
void TForm1::Mnu_AnimatorClick() {}
void TForm1::VICESnapshotRipper1Click() {}
void TForm1::Mnu_AboutClick() {}
