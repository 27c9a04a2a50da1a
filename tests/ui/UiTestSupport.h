// Helpers shared by the window test suites.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <QDialog>
#include <QObject>
#include <QWidget>

#include <functional>
#include <memory>

#include "core/RgbaImage.h"

class QFileDialog;
class TForm1;

namespace uitest
{

// The window's own control of this object name and type (not one of a tool window
// it has open). A missing control ends the test program with its name.
QObject* FindOwnChild(const QObject& window, const char* name, const std::function<bool(QObject*)>& ofType);
template <class T> T* Child(const QObject& window, const char* name)
{
    QObject* found = FindOwnChild(window, name, [](QObject* o) { return qobject_cast<T*>(o) != nullptr; });
    return static_cast<T*>(found);
}

// What a window's view shows right now, as the user sees it (the view of that object name).
QImage Shown(const QWidget& window, const char* viewName);

// Runs answer(modalWidget) once the next modal window (message box, file dialog,
// tool window) is showing; answer closes it. Call right before the action that opens it.
void WhenModal(std::function<void(QWidget*)> answer);
// Presses the button of the active modal message box whose text is given ("OK", "&Yes", ...)
// and remembers its text and title for LastMessage().
void AnswerMessage(const QString& buttonText);
struct Message
{
    QString title;
    QString text;
    QString detail; // the box's second line (a file message's reason)
};
Message LastMessage();
void ClearLastMessage();
// Answers the next file dialog with the given path (or cancels it when path is empty).
void AnswerFileDialog(const QString& path);
// The same two, calling next (which arranges the answer to the window that follows)
// right before the answer closes the window.
void AnswerMessageThen(const QString& buttonText, std::function<void()> next);
void AnswerFileDialogThen(const QString& path, std::function<void()> next);

// The names a file dialog lists in its current folder, sorted, once it has read at
// least expected of them (or after about two seconds).
QStringList ListedNames(QFileDialog* dialog, int expected);

// Types count into the quantity box and presses Enter, as a user sets the sprites in use.
void SetQuantity(TForm1& window, int count);

// A main window without command-line arguments, shown and active.
std::unique_ptr<TForm1> NewWindow(const QStringList& arguments = {});
// The same with the arguments as the system gives them (file names as bytes).
std::unique_ptr<TForm1> NewWindowWithNames(const QList<QByteArray>& arguments);

// A tool window opens with its frame's top-left corner at the place its command gives
// it, moved back onto the screen only as far as needed to show all of it. Checks that
// rule for the window's frame (title bar and border included).
bool PlacedAt(const QWidget* tool, QPoint wanted);

// A window's title as the desktop shows it: the main window's mark of unsaved changes
// appears as "*" ("Kelmora - walker.kmd*").
QString Title(const QWidget& window);

// 24-bit 0xRRGGBB of one pixel of an image.
unsigned Rgb(const QImage& image, int x, int y);

// The example walk cycle (examples/walker.kmd) drawn as a sprite sheet, four sprites a
// row at twice their size in the built-in palette: a picture for Import Image.
kelmora::RgbaImage WalkerSheet();

// Makes every tool window of window in turn, hands it to check and destroys it: the
// windows the layout and theme suites look at. The project gets an object with an
// overlay layer first, so that the object editor shows all its controls, and Import
// Image gets the walk cycle's sheet.
void ForEachToolWindow(TForm1& window, const std::function<void(QDialog&)>& check);

} // namespace uitest
