// Edit, transform and range commands of the main window.
#include "ui/Form1.h"

#include <QToolBar>

void TForm1::Mnu_SelectAllClick() {}
void TForm1::Mnu_ClearClick() {}
void TForm1::Mnu_CutClick() {}
void TForm1::Mnu_CopyClick() {}
void TForm1::Mnu_PasteClick() {}
void TForm1::Mnu_PasteIntoClick() {}
void TForm1::Mnu_CopyStyleClick() {}
void TForm1::Mnu_PasteStyleClick() {}
void TForm1::Mnu_SlideUpClick() {}
void TForm1::Mnu_SlideDownClick() {}
void TForm1::Mnu_SlideLeftClick() {}
void TForm1::Mnu_SlideRightClick() {}
void TForm1::Mnu_FlipXClick() {}
void TForm1::Mnu_FlipYClick() {}
void TForm1::Mnu_ReflectXClick() {}
void TForm1::Mnu_ReflectYClick() {}
void TForm1::Mnu_NegativeClick() {}
void TForm1::Mnu_UndoClick() {}
void TForm1::Mnu_RedoClick() {}
void TForm1::Mnu_SwapSprMc1Click() {}
void TForm1::Mnu_SwapSprMc2Click() {}
void TForm1::Mnu_SwapMc1Mc2Click() {}
void TForm1::Mnu_ReverseOrderClick() {}
void TForm1::Mnu_RemoveBlanksClick() {}
void TForm1::ClearAttributes2Click() {}
void TForm1::ClearAttributes1Click() {}
void TForm1::Clearalloverlayattributes1Click() {}

void TForm1::Mnu_ToolBar_FlatClick()
{
    Mnu_ToolBar_Flat->setChecked(true);
    ToolBar1->setProperty("flat", true);
    ToolBar1->setStyleSheet(QString());
}

void TForm1::Mnu_ToolBar_RaisedClick()
{
    Mnu_ToolBar_Raised->setChecked(true);
    ToolBar1->setProperty("flat", false);
    ToolBar1->setStyleSheet(QStringLiteral("QToolButton { border: 1px outset palette(mid); margin: 1px; }"));
}
