// The kelmora executable: the application object and the main window.
#include <QIcon>
#include <QTimer>

#include <exception>

#include "ui/Application.h"
#include "ui/Form1.h"

int main(int argc, char** argv)
{
    // The application object first, so that a failure after it can be shown in a box.
    TApplication app(argc, argv);
    try
    {
        app.setWindowIcon(QIcon(QStringLiteral(":/icons/kelmora.png")));

        QList<QByteArray> arguments = app.fileArguments();
        // --quit-after-show: start, paint the window once and quit (for start-up timing).
        const bool quitAfterShow = arguments.removeAll(QByteArrayLiteral("--quit-after-show")) > 0;

        TForm1 window(arguments);
        window.show();
        if (quitAfterShow)
        {
            QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
        }
        return app.exec();
    }
    catch (const std::exception& error)
    {
        TApplication::ReportFailure(QString::fromLocal8Bit(error.what()));
        return 1;
    }
    catch (...)
    {
        TApplication::ReportFailure(QStringLiteral("Unexpected error."));
        return 1;
    }
}
