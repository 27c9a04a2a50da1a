// The kelmora executable: the application object and the main window.
#include <QIcon>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <exception>

#include "core/TemporaryFiles.h"
#include "kelmora/Version.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Settings.h"

namespace
{

const char kUsage[] = "Usage: kelmora [OPTION]... [FILE]\n"
                      "Edit Commodore 64 hardware sprites.\n"
                      "\n"
                      "FILE is a raw sprite file (with its optional FILE.inf side file) or a\n"
                      "Kelmora project (.kmd) to open at start-up.\n"
                      "\n"
                      "Options:\n"
                      "  --reset-settings  forget everything remembered from earlier runs (palette,\n"
                      "                    view options, dialog folders, window places, recent\n"
                      "                    projects) and start as on the first run\n"
                      "  --help            show this help and exit\n"
                      "  --version         show the version and exit\n"
                      "\n"
                      "Settings are kept in the platform's usual place for programs' settings\n"
                      "(on Linux ~/.config/kelmora/kelmora.conf).\n"
                      "\n"
                      "kelmora-cli does the same work without a window; see kelmora-cli --help.\n";

// --help and --version are answered before any window system is reached, so they work
// without a display (the manual page is made from them).
bool Answered(int argc, char** argv, int& status)
{
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
        {
            std::fputs(kUsage, stdout);
            status = 0;
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0)
        {
            std::puts("kelmora " KELMORA_VERSION_SHORT);
            status = 0;
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    int status = 0;
    if (Answered(argc, argv, status)) return status;
    // A save interrupted by Ctrl+C, kill or a closed terminal leaves no temporary file.
    kelmora::InstallTemporaryFileCleanup();
    // The application object first, so that a failure after it can be shown in a box.
    TApplication app(argc, argv);
    try
    {
        app.setWindowIcon(QIcon(QStringLiteral(":/icons/kelmora.png")));

        QList<QByteArray> arguments = app.fileArguments();
        // --quit-after-show: start, paint the window once and quit (for start-up timing).
        const bool quitAfterShow = arguments.removeAll(QByteArrayLiteral("--quit-after-show")) > 0;

        // What earlier runs remembered, in the platform's own place.
        settings::SetStore(settings::NativeStore());
        if (arguments.removeAll(QByteArrayLiteral("--reset-settings")) > 0) settings::Forget();

        int result = 0;
        {
            TForm1 window(arguments);
            window.show();
            if (quitAfterShow)
            {
                QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
            }
            result = app.exec();
        }
        settings::SetStore(nullptr); // written out before the application goes
        return result;
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
