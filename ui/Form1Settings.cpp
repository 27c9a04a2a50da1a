// What the main window remembers between runs: the palette and its order, Double Scan,
// grid, crosshairs, the tool bar style, the folders of its file dialogs, its place on the
// screen and the recent projects. With no store (settings::Store()) it remembers nothing
// and starts as designed.
#include "ui/Form1.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "ui/Messages.h"
#include "ui/Settings.h"

namespace
{

const QString kPalette = QStringLiteral("view/palette");
const QString kPaletteOrder = QStringLiteral("view/paletteOrder");
const QString kDoubleScan = QStringLiteral("view/doubleScan");
const QString kGrid = QStringLiteral("view/grid");
const QString kCrosshairs = QStringLiteral("view/crosshairs");
const QString kToolBarStyle = QStringLiteral("view/toolBarStyle");
const QString kOpenProject = QStringLiteral("dialogs/openProject");
const QString kSaveProjectFolder = QStringLiteral("dialogs/saveProjectFolder");
const QString kOpenSeuck = QStringLiteral("dialogs/openSeuck");
const QString kSaveSeuck = QStringLiteral("dialogs/saveSeuck");
const QString kSaveBitmap = QStringLiteral("dialogs/saveBitmap");
const QString kMainWindow = QStringLiteral("main");

const QString kLuminancePairs = QStringLiteral("luminancePairs");
const QString kStandard = QStringLiteral("standard");
const QString kRaised = QStringLiteral("raised");
const QString kFlat = QStringLiteral("flat");

void ReadPath(const QString& key, QString& path)
{
    const QString remembered = settings::Value(key).toString();
    if (!remembered.isEmpty()) path = remembered;
}

} // namespace

void TForm1::LoadSettings()
{
    using settings::Value;

    // The palette by its name: the palette file may list its palettes in another order now.
    const QString palette = Value(kPalette).toString();
    for (QAction* item : PaletteGroup->actions())
    {
        if (palette.isEmpty() || item->text() != palette) continue;
        if (item == PalVantor)
            PalVantorClick();
        else
            PaletteItemClick(item);
        break;
    }
    if (Value(kPaletteOrder).toString() == kLuminancePairs) Mnu_PalOrderLumPairsClick();
    Mnu_DoubleScan->setChecked(Value(kDoubleScan, Mnu_DoubleScan->isChecked()).toBool());
    CkShowGrid->setChecked(Value(kGrid, CkShowGrid->isChecked()).toBool());
    CkShowCross->setChecked(Value(kCrosshairs, CkShowCross->isChecked()).toBool());
    if (Value(kToolBarStyle).toString() == kRaised) Mnu_ToolBar_RaisedClick();

    // The file dialogs start in the folders (and with the names) last chosen.
    ReadPath(kOpenProject, ProjectOpenPath);
    ReadPath(kOpenSeuck, SeuckOpenPath);
    ReadPath(kSaveSeuck, SeuckSavePath);
    ReadPath(kSaveBitmap, BitmapSavePath);
    // Save Project proposes the document's name in the folder it last saved to.
    ProjectSaveFolder = Value(kSaveProjectFolder).toString();
    if (!ProjectSaveFolder.isEmpty())
        ProjectSavePath = QDir(ProjectSaveFolder).filePath(QFileInfo(ProjectSavePath).fileName());

    settings::RestorePosition(this, kMainWindow);

    // File > Recent Projects, below Save Project.
    if (!Mnu_RecentProjects)
    {
        Mnu_RecentProjects = new QMenu(QStringLiteral("Recent Projects"), File1);
        Mnu_RecentProjects->setObjectName(QStringLiteral("Mnu_RecentProjects"));
        Mnu_RecentProjects->menuAction()->setObjectName(QStringLiteral("Mnu_RecentProjects"));
        const QList<QAction*> items = File1->actions();
        const int after = static_cast<int>(items.indexOf(Mnu_SaveProject));
        File1->insertMenu(after + 1 < items.size() ? items.at(after + 1) : nullptr, Mnu_RecentProjects);
    }
    RebuildRecentMenu();

    // Every later change of these is remembered at once.
    for (QAction* a : PaletteGroup->actions())
        connect(a, &QAction::triggered, this, &TForm1::SaveSettings);
    for (QAction* a :
         {Mnu_PalOrderStandard, Mnu_PalOrderLumPairs, Mnu_DoubleScan, Mnu_ToolBar_Flat, Mnu_ToolBar_Raised})
        connect(a, &QAction::triggered, this, &TForm1::SaveSettings);
    connect(CkShowGrid, &QCheckBox::clicked, this, &TForm1::SaveSettings);
    connect(CkShowCross, &QCheckBox::clicked, this, &TForm1::SaveSettings);
    LoadOnionSettings();
    m_settingsLoaded = true;
}

void TForm1::SaveSettings()
{
    if (!m_settingsLoaded || !settings::Store()) return;
    using settings::SetValue;
    if (const QAction* palette = PaletteGroup->checkedAction()) SetValue(kPalette, palette->text());
    SetValue(kPaletteOrder, Mnu_PalOrderLumPairs->isChecked() ? kLuminancePairs : kStandard);
    SetValue(kDoubleScan, Mnu_DoubleScan->isChecked());
    SetValue(kGrid, CkShowGrid->isChecked());
    SetValue(kCrosshairs, CkShowCross->isChecked());
    SetValue(kToolBarStyle, Mnu_ToolBar_Raised->isChecked() ? kRaised : kFlat);
    const auto absolute = [](const QString& path) { return QFileInfo(path).absoluteFilePath(); };
    SetValue(kOpenProject, absolute(ProjectOpenPath));
    if (!ProjectSaveFolder.isEmpty()) SetValue(kSaveProjectFolder, ProjectSaveFolder);
    SetValue(kOpenSeuck, absolute(SeuckOpenPath));
    SetValue(kSaveSeuck, absolute(SeuckSavePath));
    SetValue(kSaveBitmap, absolute(BitmapSavePath));
    if (isVisible()) settings::SavePosition(this, kMainWindow);
}

// ---- Recent projects ----

void TForm1::RememberRecentProject(const QString& path)
{
    settings::AddRecentProject(path);
    RebuildRecentMenu();
    SaveSettings();
}

void TForm1::RebuildRecentMenu()
{
    if (!Mnu_RecentProjects) return;
    // The menu may be rebuilt from one of its own items' handlers: the old items go once
    // that handler is done.
    for (QAction* old : Mnu_RecentProjects->actions())
    {
        Mnu_RecentProjects->removeAction(old);
        old->setObjectName(QString());
        old->disconnect(this);
        old->deleteLater();
    }
    const QStringList recent = settings::RecentProjects();
    for (int k = 0; k < recent.size(); ++k)
    {
        const QString path = recent.at(k);
        // "&1 name.kmd": the number is the item's key; the whole path shows as its hint.
        QString name = QFileInfo(path).fileName();
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = Mnu_RecentProjects->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(name));
        item->setObjectName(QStringLiteral("Mnu_Recent%1").arg(k + 1));
        item->setData(path);
        item->setStatusTip(QDir::toNativeSeparators(path));
        item->setToolTip(QDir::toNativeSeparators(path));
        connect(item, &QAction::triggered, this, [this, path] { OpenRecentProject(path); });
    }
    Mnu_RecentProjects->addSeparator();
    QAction* clear = Mnu_RecentProjects->addAction(QStringLiteral("Clear Menu"));
    clear->setObjectName(QStringLiteral("Mnu_ClearRecent"));
    clear->setEnabled(!recent.isEmpty());
    connect(clear, &QAction::triggered, this, &TForm1::Mnu_ClearRecentClick);
    Mnu_RecentProjects->menuAction()->setEnabled(!recent.isEmpty());
}

void TForm1::OpenRecentProject(const QString& path)
{
    if (!QFileInfo(path).isFile())
    {
        settings::RemoveRecentProject(path);
        RebuildRecentMenu();
        FileMessage(this, QStringLiteral("Kelmora"),
                    NamingFile(QStringLiteral("This project no longer exists: "), path),
                    QStringLiteral("It has been removed from Recent Projects."));
        return;
    }
    if (!MaySaveChanges()) return;
    OpenProjectFile(path);
}

void TForm1::Mnu_ClearRecentClick()
{
    settings::ClearRecentProjects();
    RebuildRecentMenu();
}
