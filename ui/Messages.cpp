// The editor's message boxes.
#include "ui/Messages.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace
{

// Room a title bar takes besides its text: the window menu and the close button, and
// the margins around them, as common window managers draw them.
constexpr int kTitleBarExtra = 120;

} // namespace

void FitCaption(QMessageBox& box)
{
    QFont titleFont = QApplication::font();
    titleFont.setBold(true); // title bars often show the caption in bold
    const int wanted = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                  1, grid->columnCount());
}

void ShowMessage(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    FitCaption(box);
    box.exec();
}

void FileMessage(QWidget* parent, const QString& caption, const QString& firstLine, const QString& reason)
{
    QMessageBox box(QMessageBox::NoIcon, caption, firstLine, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // a file's name is never markup
    if (!reason.isEmpty()) box.setInformativeText(reason);
    FitCaption(box);
    box.exec();
}

QString ReasonText(const kelmora::FileResult& why)
{
    return QString::fromStdString(kelmora::FileErrorText(why));
}

QString NamingFile(const QString& text, const QString& path)
{
    return text + QDir::toNativeSeparators(path);
}
