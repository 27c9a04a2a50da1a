// Messages about a file that could not be read or written: the first line names the file,
// the second gives the reason, in the words the sprite bank store has for it.
#pragma once

#include <QString>

class QWidget;

// A plain message box (OK, no icon) captioned caption: firstLine, then reason on a line of
// its own when there is one.
void FileMessage(QWidget* parent, const QString& caption, const QString& firstLine, const QString& reason);

// The text FileMessage shows.
QString FileMessageText(const QString& firstLine, const QString& reason);
