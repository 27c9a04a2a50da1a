// What the editor remembers between runs, kept in a store in a temporary folder: set,
// close, open a new window, the same state; the first run looks as designed; recent
// projects; and the program's --reset-settings.
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "UiTestSupport.h"
#include "core/SpriteBankStore.h"
#include "ui/Form1.h"
#include "ui/Settings.h"
#include "ui/tools/FormAbout.h"
#include "ui/tools/FormImportSprites.h"

namespace
{

QAction* Action(const TForm1& window, const char* name)
{
    return uitest::Child<QAction>(window, name);
}

bool Checked(const TForm1& window, const char* name)
{
    return Action(window, name)->isChecked();
}

bool Ticked(const TForm1& window, const char* name)
{
    return uitest::Child<QCheckBox>(window, name)->isChecked();
}

// The items of File > Recent Projects, as their texts, without Clear Menu.
QStringList RecentItems(const TForm1& window)
{
    QStringList items;
    for (QAction* a : uitest::Child<QMenu>(window, "Mnu_RecentProjects")->actions())
        if (!a->isSeparator() && a->objectName() != QLatin1String("Mnu_ClearRecent")) items << a->text();
    return items;
}

void WriteProject(const QString& path, int count)
{
    kelmora::Document doc;
    kelmora::ResetDocument(doc);
    doc.bank.spriteCount = count;
    QVERIFY(kelmora::SaveProject(&doc.bank, path.toUtf8().constData()) == 1);
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The palette file the windows find in the user's data folder.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
        const QString folder = m_dir.filePath(QStringLiteral("data/") + QCoreApplication::applicationName());
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(QStringLiteral(KELMORA_SOURCE_DIR "/resources/palettes.pal"),
                            folder + QStringLiteral("/palettes.pal")));
    }

    void init()
    {
        // A fresh, empty store for every test.
        static int number = 0;
        m_store = m_dir.filePath(QStringLiteral("settings%1.conf").arg(++number));
        settings::SetStore(std::make_unique<QSettings>(m_store, QSettings::IniFormat));
    }

    void cleanup() { settings::SetStore(nullptr); }

    void firstRunLooksAsDesigned()
    {
        auto window = uitest::NewWindow();
        QVERIFY(Checked(*window, "PalVantor"));
        QVERIFY(Checked(*window, "Mnu_PalOrderStandard"));
        QVERIFY(Checked(*window, "Mnu_DoubleScan"));
        QVERIFY(Ticked(*window, "CkShowGrid"));
        QVERIFY(!Ticked(*window, "CkShowCross"));
        QVERIFY(Checked(*window, "Mnu_ToolBar_Flat"));
        QCOMPARE(window->frameGeometry().top(), 127); // the design's place, not a remembered one
        QVERIFY(RecentItems(*window).isEmpty());
        QVERIFY(!uitest::Child<QMenu>(*window, "Mnu_RecentProjects")->menuAction()->isEnabled());
        // The recent projects sit right below Save Project.
        const QList<QAction*> file = uitest::Child<QMenu>(*window, "File1")->actions();
        QCOMPARE(file.indexOf(uitest::Child<QMenu>(*window, "Mnu_RecentProjects")->menuAction()),
                 file.indexOf(Action(*window, "Mnu_SaveProject")) + 1);
    }

    void viewOptionsAndPlacesComeBack()
    {
        QString paletteName;
        {
            auto window = uitest::NewWindow();
            QAction* palette = Action(*window, "Palette_1");
            paletteName = palette->text();
            palette->trigger();
            Action(*window, "Mnu_PalOrderLumPairs")->trigger();
            Action(*window, "Mnu_DoubleScan")->trigger();
            uitest::Child<QCheckBox>(*window, "CkShowGrid")->click();
            uitest::Child<QCheckBox>(*window, "CkShowCross")->click();
            Action(*window, "Mnu_ToolBar_Raised")->trigger();
            window->move(60, 50);

            // A tool window moved by the user opens there again.
            uitest::WhenModal(
                [](QWidget* modal)
                {
                    modal->move(300, 200);
                    modal->close();
                });
            Action(*window, "Mnu_About")->trigger();
        }
        auto window = uitest::NewWindow();
        QVERIFY(Checked(*window, "Palette_1"));
        QCOMPARE(Action(*window, "Palette_1")->text(), paletteName);
        QVERIFY(Checked(*window, "Mnu_PalOrderLumPairs"));
        QVERIFY(!Checked(*window, "Mnu_DoubleScan"));
        QVERIFY(!Ticked(*window, "CkShowGrid"));
        QVERIFY(Ticked(*window, "CkShowCross"));
        QVERIFY(Checked(*window, "Mnu_ToolBar_Raised"));
        QCOMPARE(window->pos(), QPoint(60, 50));
        // The strip shows the remembered order: Luminance Pairs starts with black, then
        // blue (6) where the standard order has white (1).
        QCOMPARE(window->ColourAtStripPoint(24 + 4, 4), 6);

        QPoint aboutAt;
        uitest::WhenModal(
            [&](QWidget* modal)
            {
                aboutAt = modal->pos();
                modal->close();
            });
        Action(*window, "Mnu_About")->trigger();
        QCOMPARE(aboutAt, QPoint(300, 200));
    }

    void rememberedPlacesStayOnScreen()
    {
        settings::SetValue(QStringLiteral("windows/main"), QPoint(20000, -5000));
        auto window = uitest::NewWindow();
        const QRect area = window->screen()->availableGeometry();
        QVERIFY2(area.contains(window->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2").arg(window->x()).arg(window->y())));
    }

    void dialogFoldersAndChoicesComeBack()
    {
        const QString folder = m_dir.filePath(QStringLiteral("projects"));
        QVERIFY(QDir().mkpath(folder));
        const QString project = folder + QStringLiteral("/saved.kmd");
        const QString raw = folder + QStringLiteral("/four.raw");
        {
            QFile file(raw);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4 * 64, '\x11'));
        }
        {
            auto window = uitest::NewWindow();
            uitest::AnswerFileDialog(project);
            window->Mnu_SaveProjectClick();
            QVERIFY(QFileInfo::exists(project));

            // Import with choices other than the design's.
            uitest::WhenModal(
                [&](QWidget* modal)
                {
                    auto* import = qobject_cast<TFormImport*>(modal);
                    if (!import)
                    {
                        modal->close();
                        return;
                    }
                    import->RadioRaw->setChecked(true);
                    import->RadioIgnore->setChecked(true);
                    uitest::AnswerFileDialog(raw);
                    import->Button1->click();
                    if (import->isVisible()) import->reject();
                });
            Action(*window, "Import1")->trigger();
            QCOMPARE(window->document().bank.spriteCount, 4);
        }
        auto window = uitest::NewWindow();
        QString proposed;
        uitest::WhenModal(
            [&](QWidget* modal)
            {
                if (auto* dialog = qobject_cast<QFileDialog*>(modal))
                    proposed = dialog->directory().absolutePath();
                modal->close();
            });
        window->Mnu_SaveProjectClick();
        QCOMPARE(proposed, folder);

        bool rawChosen = false, ignoreChosen = false;
        QString importFolder;
        uitest::WhenModal(
            [&](QWidget* modal)
            {
                if (auto* import = qobject_cast<TFormImport*>(modal))
                {
                    rawChosen = import->RadioRaw->isChecked();
                    ignoreChosen = import->RadioIgnore->isChecked();
                    importFolder = import->OpenDialog1->directory().absolutePath();
                }
                modal->close();
            });
        Action(*window, "Import1")->trigger();
        QVERIFY(rawChosen);
        QVERIFY(ignoreChosen);
        QCOMPARE(importFolder, folder);
    }

    void recentProjectsKeepTheLastEight()
    {
        const QString folder = m_dir.filePath(QStringLiteral("recent"));
        QVERIFY(QDir().mkpath(folder));
        QStringList paths;
        for (int k = 1; k <= 9; ++k)
        {
            paths << folder + QStringLiteral("/p%1.kmd").arg(k);
            WriteProject(paths.last(), k);
        }
        {
            auto window = uitest::NewWindow();
            for (const QString& path : paths)
                window->DropFile(path);
            QCOMPARE(RecentItems(*window), QStringList({"&1 p9.kmd", "&2 p8.kmd", "&3 p7.kmd", "&4 p6.kmd",
                                                        "&5 p5.kmd", "&6 p4.kmd", "&7 p3.kmd", "&8 p2.kmd"}));

            // Choosing one opens it and puts it first.
            Action(*window, "Mnu_Recent3")->trigger();
            QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - p7.kmd"));
            QCOMPARE(window->document().bank.spriteCount, 7);
            QCOMPARE(RecentItems(*window).first(), QStringLiteral("&1 p7.kmd"));
        }
        // The next run lists them too; one deleted meanwhile is reported and taken off.
        QVERIFY(QFile::remove(paths.at(8 - 1)));
        auto window = uitest::NewWindow();
        QCOMPARE(RecentItems(*window).size(), 8);
        QCOMPARE(RecentItems(*window).at(2), QStringLiteral("&3 p8.kmd"));
        const QByteArray block(reinterpret_cast<const char*>(window->document().bank.sprites),
                               kelmora::kBlockBytes);
        uitest::ClearLastMessage();
        uitest::AnswerMessage(QStringLiteral("OK"));
        Action(*window, "Mnu_Recent3")->trigger();
        QCOMPARE(uitest::LastMessage().title, QStringLiteral("Kelmora"));
        QVERIFY(uitest::LastMessage().text.contains(QDir::toNativeSeparators(paths.at(8 - 1))));
        QCOMPARE(RecentItems(*window).size(), 7);
        QVERIFY(!RecentItems(*window).join(' ').contains(QStringLiteral("p8.kmd")));
        QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - Untitled.spr"));
        QCOMPARE(
            QByteArray(reinterpret_cast<const char*>(window->document().bank.sprites), kelmora::kBlockBytes),
            block);

        // A project opened from the command line (or the file manager) is listed first too.
        auto started = uitest::NewWindow({paths.at(0)});
        QCOMPARE(RecentItems(*started).first(), QStringLiteral("&1 p1.kmd"));

        // Clear Menu empties it for good.
        Action(*window, "Mnu_ClearRecent")->trigger();
        QVERIFY(RecentItems(*window).isEmpty());
        QVERIFY(!uitest::Child<QMenu>(*window, "Mnu_RecentProjects")->menuAction()->isEnabled());
        window.reset();
        window = uitest::NewWindow();
        QVERIFY(RecentItems(*window).isEmpty());
    }

    void resetSettingsForgetsEverything()
    {
        // The program keeps its settings in the platform's place, here under a
        // temporary XDG_CONFIG_HOME.
        const QString config = m_dir.filePath(QStringLiteral("config"));
        const QString file = config + QStringLiteral("/kelmora/kelmora.conf");
        QVERIFY(QDir().mkpath(config + QStringLiteral("/kelmora")));
        {
            QSettings earlier(file, QSettings::IniFormat);
            earlier.setValue(QStringLiteral("view/grid"), false);
            earlier.setValue(QStringLiteral("recentProjects"), QStringList{QStringLiteral("/tmp/x.kmd")});
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess kelmora;
        kelmora.setProcessEnvironment(environment);
        kelmora.start(QStringLiteral(KELMORA_APP_PATH),
                      {QStringLiteral("--reset-settings"), QStringLiteral("--quit-after-show")});
        QVERIFY(kelmora.waitForFinished(30000));
        QCOMPARE(kelmora.exitCode(), 0);

        QSettings after(file, QSettings::IniFormat);
        QVERIFY(after.value(QStringLiteral("view/grid"), true).toBool()); // the design's grid again
        QVERIFY(after.value(QStringLiteral("recentProjects")).toStringList().isEmpty());

        // Its help names the option, and needs no display.
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        kelmora.setProcessEnvironment(environment);
        kelmora.start(QStringLiteral(KELMORA_APP_PATH), {QStringLiteral("--help")});
        QVERIFY(kelmora.waitForFinished(30000));
        QCOMPARE(kelmora.exitCode(), 0);
        QVERIFY(kelmora.readAllStandardOutput().contains("--reset-settings"));
    }

  private:
    QTemporaryDir m_dir;
    QString m_store;
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
