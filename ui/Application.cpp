#include "ui/Application.h"

#include <QMessageBox>

#include <exception>

#include "kelmora/Version.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("kelmora"));
    setApplicationVersion(QStringLiteral(KELMORA_VERSION_SHORT));
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try
    {
        return QApplication::notify(receiver, event);
    }
    catch (const std::exception& error)
    {
        QMessageBox::critical(activeWindow(), QStringLiteral("Kelmora"),
                              QString::fromLocal8Bit(error.what()));
    }
    catch (...)
    {
        QMessageBox::critical(activeWindow(), QStringLiteral("Kelmora"), QStringLiteral("Unexpected error."));
    }
    return false;
}
