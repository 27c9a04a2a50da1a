// The kelmora executable: the application object and the main window.
#include <QIcon>
#include <QMessageBox>
#include <QTimer>

#include <exception>

#include "core/TemporaryFiles.h"
#include "ui/Application.h"
#include "ui/Form1.h"

int main(int argc, char** argv)
{
    // A save interrupted by Ctrl+C, kill or a closed terminal leaves no temporary file.
    kelmora::InstallTemporaryFileCleanup();
    try
    {
        TApplication app(argc, argv);
        app.setWindowIcon(QIcon(QStringLiteral(":/icons/kelmora.png")));

        QStringList arguments = app.arguments().mid(1);
        // --quit-after-show: start, paint the window once and quit (for start-up timing).
        const bool quitAfterShow = arguments.removeAll(QStringLiteral("--quit-after-show")) > 0;

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
        QMessageBox::critical(nullptr, QStringLiteral("Kelmora"), QString::fromLocal8Bit(error.what()));
        return 1;
    }
}
