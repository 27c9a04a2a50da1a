// File commands of the main window and files dropped on it.
#include "ui/Form1.h"

void TForm1::Mnu_NewClick() {}
void TForm1::Mnu_OpenClick() {}
void TForm1::Mnu_SaveProjectClick() {}
void TForm1::Import1Click() {}
void TForm1::Export1Click() {}
void TForm1::LoadSpriteFile1Click() {}
void TForm1::SaveSpriteFile1Click() {}
void TForm1::Mnu_SaveBitmapClick() {}
void TForm1::Mnu_DecimalClick() {}
void TForm1::Mnu_HexClick() {}
void TForm1::DropFile(const QString&) {}
void TForm1::ShowWriteError(const QString&) {}
