// Messages about a file that could not be read or written.
#include "ui/FileMessages.h"

#include <QMessageBox>

QString FileMessageText(const QString& firstLine, const QString& reason)
{
    if (reason.isEmpty()) return firstLine;
    return firstLine + QLatin1Char('\n') + reason;
}

void FileMessage(QWidget* parent, const QString& caption, const QString& firstLine, const QString& reason)
{
    QMessageBox box(QMessageBox::NoIcon, caption, FileMessageText(firstLine, reason), QMessageBox::Ok,
                    parent);
    box.exec();
}
