// File names between the windows and the sprite bank store.
#include "ui/FileNames.h"

#include <QFile>
#include <QUrl>

QByteArray CorePath(const QString& name)
{
#ifdef Q_OS_WIN
    return name.toUtf8();
#else
    return QFile::encodeName(name);
#endif
}

QString ShownName(const QByteArray& bytes)
{
#ifdef Q_OS_WIN
    return QString::fromUtf8(bytes);
#else
    return QFile::decodeName(bytes);
#endif
}

QByteArray LocalFileBytes(const QUrl& url)
{
#ifdef Q_OS_WIN
    return url.toLocalFile().toUtf8();
#else
    // The path still percent-encoded holds every byte of the name, also those that are
    // no valid text; toLocalFile() would have replaced them.
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
#endif
}
