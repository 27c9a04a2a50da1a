// The editor's message boxes: no icon and an OK button, as its messages have always been,
// and always wide enough for the window manager to show the whole caption.
#pragma once

#include <QString>

#include "core/FileResult.h"

class QMessageBox;
class QWidget;

// Shows text in a modal box captioned caption.
void ShowMessage(QWidget* parent, const QString& caption, const QString& text);

// A message about a file: firstLine names the file, reason (why it failed, in the core's
// words; empty while none is known) is shown below it as a second line.
void FileMessage(QWidget* parent, const QString& caption, const QString& firstLine, const QString& reason);

// The core's words for why a file could not be read or written, for a message's second line.
QString ReasonText(const kelmora::FileResult& why);

// The first line of a file message: text followed by the file's full native path.
QString NamingFile(const QString& text, const QString& path);

// Widens box so its title bar can show the whole caption beside the window buttons.
void FitCaption(QMessageBox& box);
