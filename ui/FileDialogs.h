// Helpers shared by the file dialogs of the editor's windows.
#pragma once

class QFileDialog;

// Filters offered as "Any File (*.*)" list every file, as that pattern does on
// Windows; taken literally it would hide names without a dot, which C64 files often
// have. Call once the dialog's filters are set.
void ListEveryFileForAnyFilter(QFileDialog* dialog);
