// What the editor remembers between runs: view options, the folders and choices of its
// dialogs, window places and the recent projects, all kept in one QSettings store.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QSettings;
class QWidget;

namespace settings
{

// The store every window reads and writes. Without one (the default) nothing is read or
// remembered and every window starts as designed. The kelmora program opens the
// platform's native store at start-up; tests use one in a temporary folder.
void SetStore(std::unique_ptr<QSettings> store);
QSettings* Store();
// The platform's native store of this program (~/.config/kelmora/kelmora.conf on Linux).
std::unique_ptr<QSettings> NativeStore();
// Forgets everything the store remembers.
void Forget();

// A remembered value, or fallback when none is remembered (or there is no store).
QVariant Value(const QString& key, const QVariant& fallback = {});
void SetValue(const QString& key, const QVariant& value);

// The recent projects, newest first, at most kMaxRecentProjects absolute paths.
constexpr int kMaxRecentProjects = 8;
QStringList RecentProjects();
// Puts path (made absolute) first; an older entry of the same file goes, the ninth drops off.
void AddRecentProject(const QString& path);
void RemoveRecentProject(const QString& path);
void ClearRecentProjects();

// topLeft moved as little as needed for a window frame of the given size to lie wholly
// on the screen nearest to it (the primary screen when none is near).
QPoint OnScreen(QPoint topLeft, QSize frame);
// Moves window to the place remembered under key, kept on screen; false (and no move)
// when none is remembered.
bool RestorePosition(QWidget* window, const QString& key);
void SavePosition(const QWidget* window, const QString& key);

} // namespace settings
