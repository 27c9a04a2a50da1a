#include "ui/Application.h"

#include <QMessageBox>

#include <cstdio>
#include <exception>

#include "core/VectorState.h"
#include "kelmora/Version.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv), m_argc(argc), m_argv(argv)
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

void TApplication::ReportFailure(const QString& text)
{
    // Standard error first: it reaches the user even where no box can be shown.
    std::fprintf(stderr, "kelmora: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    QMessageBox::critical(nullptr, QStringLiteral("Kelmora"), text);
}

QList<QByteArray> TApplication::fileArguments() const
{
    QList<QByteArray> arguments;
#ifdef Q_OS_WIN
    // The system's own arguments are wide text there; the store takes UTF-8.
    const QStringList words = QCoreApplication::arguments();
    for (qsizetype i = 1; i < words.size(); ++i)
        arguments << words.at(i).toUtf8();
#else
    // QApplication has taken its own options out of argv; the rest are the program's.
    for (int i = 1; i < m_argc; ++i)
        arguments << QByteArray(m_argv[i]);
#endif
    return arguments;
}
