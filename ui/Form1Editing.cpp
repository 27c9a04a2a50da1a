// Mouse tools on the editor, pens, colour picking, browser selection and the two
// attribute check boxes.
#include "ui/Form1.h"

void TForm1::PaintBox_EditorMouseDown(Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void TForm1::PaintBox_EditorMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void TForm1::PaintBox_EditorMouseUp(Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void TForm1::PaintBox_BrowserMouseDown(Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void TForm1::PaintBox_BrowserMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void TForm1::PaintBox_PaletteMouseDown(Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void TForm1::PaintBox_PaletteMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void TForm1::RadioColourTranspClick() { SelectPen(0); }
void TForm1::RadioColourSpriteClick() { SelectPen(2); }
void TForm1::RadioColourMulti1Click() { SelectPen(1); }
void TForm1::RadioColourMulti2Click() { SelectPen(3); }
void TForm1::Chk_MulticolourModeClick() {}
void TForm1::Chk_OverlayNextClick() {}
