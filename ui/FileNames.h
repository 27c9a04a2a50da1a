// File names between the windows (QString) and the sprite bank store (bytes).
//
// The store opens the bytes it is given: on Unix-like systems the name exactly as the
// file system holds it, on Windows UTF-8. A name that is not valid in the system's
// encoding (a Latin-1 name under a UTF-8 locale) has no QString that turns back into its
// bytes, so names that come as bytes (the command line, a dropped file's URL) are kept as
// bytes for opening and decoded only to be shown.
#pragma once

#include <QByteArray>
#include <QString>

class QUrl;

// The bytes the store opens for a name chosen in a window.
QByteArray CorePath(const QString& name);
// A name from the system (the command line) as it is shown.
QString ShownName(const QByteArray& bytes);
// The bytes of a local file's URL (a dropped file), as the system names the file.
QByteArray LocalFileBytes(const QUrl& url);
