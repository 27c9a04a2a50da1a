#include "ui/Application.h"

#include <QMessageBox>

#include <exception>

#include "core/VectorState.h"
#include "kelmora/Version.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("kelmora"));
    setApplicationVersion(QStringLiteral(KELMORA_VERSION_SHORT));
    // The toolkit's start-up leaves the upper vector state dirty, which slows every
    // floating-point instruction of ours (core/VectorState.h); notify() clears it again
    // before each event, since the toolkit dirties it whenever it hashes a string.
    kelmora::ClearUpperVectorState();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    kelmora::ClearUpperVectorState();
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
