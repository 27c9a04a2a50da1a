// The object editor, kept beside the main window: one window for the window's life,
// shown and raised by its command.
#include "ui/Form1.h"

#include "ui/tools/FormObject.h"

void TForm1::Mnu_ObjectEditorClick()
{
    auto* editor = findChild<TFormObject*>(QString(), Qt::FindDirectChildrenOnly);
    if (editor == nullptr) editor = new TFormObject(host(), this);
    editor->show();
    editor->raise();
    editor->activateWindow();
}
