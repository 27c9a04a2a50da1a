// The project's side file (sequences and the other extras, NAME.kmd.json) as projects
// are opened and saved, the Sequences window, and the editor's onion skin.
#include "ui/Form1.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "ui/Messages.h"
#include "ui/Settings.h"
#include "ui/tools/FormOnionSkin.h"
#include "ui/tools/FormSequences.h"

using namespace kelmora;

namespace
{

const QString kOnionSkin = QStringLiteral("view/onionSkin");
const QString kOnionFrames = QStringLiteral("view/onionFrames");
const QString kOnionAhead = QStringLiteral("view/onionAhead");
const QString kOnionOpacity = QStringLiteral("view/onionOpacity");
const QString kExtrasCaption = QStringLiteral("Project Extras");

QString SideFileOf(const QString& projectPath)
{
    return QString::fromStdString(ExtrasPathFor(projectPath.toStdString()));
}

bool SameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty()) return false;
    const QFileInfo first(a), second(b);
    if (first.absoluteFilePath() == second.absoluteFilePath()) return true;
    return first.exists() && second.exists() && first.canonicalFilePath() == second.canonicalFilePath();
}

} // namespace

// ---- The side file as a project is opened ----

QString TForm1::ReadExtrasOf(const QString& projectPath)
{
    ProjectExtras extras;
    std::string message;
    const QString side = SideFileOf(projectPath);
    m_sideFileRead.clear();
    m_sideFileRefused.clear();
    m_doc.extras = ProjectExtras();
    switch (ReadProjectExtras(projectPath.toStdString(), extras, message))
    {
    case ExtrasReadStatus::Missing: // a project without extras
        return {};
    case ExtrasReadStatus::Read:
        m_doc.extras = std::move(extras);
        m_sideFileRead = side;
        return {};
    case ExtrasReadStatus::Refused:
        break;
    }
    // The sprites open all the same; the extras stay out, and Save will not quietly
    // replace the file that holds them.
    m_sideFileRefused = side;
    const QString reason =
        QFileInfo(side).fileName() + QStringLiteral(": ") + QString::fromStdString(message);
    statusBar()->showMessage(
        QStringLiteral("%1 opened without its extras. %2").arg(QFileInfo(projectPath).fileName(), reason));
    return reason;
}

void TForm1::ReportRefusedSideFile(const QString& reason, bool later)
{
    if (reason.isEmpty()) return;
    const QString side = m_sideFileRefused;
    const auto show = [this, side, reason]
    {
        FileMessage(
            this, kExtrasCaption,
            NamingFile(QStringLiteral("The sprites were opened without the sequences and other extras "
                                      "kept beside them in "),
                       side),
            reason);
    };
    // At start-up the message waits until the window is up.
    if (later)
        QTimer::singleShot(0, this, show);
    else
        show();
}

void TForm1::ForgetSideFile()
{
    m_sideFileRead.clear();
    m_sideFileRefused.clear();
}

void TForm1::ForgetExtras()
{
    m_doc.extras = ProjectExtras();
    ForgetSideFile();
}

// ---- The side file as a project is saved ----

bool TForm1::SaveProjectAndExtras(const QString& path)
{
    const QString side = SideFileOf(path);
    const bool sideExists = QFileInfo::exists(side) || QFileInfo(side).isSymLink();
    // The side file goes with the project when there is something to keep in it, when it
    // is the one the extras came from (so removing the last sequence removes it there),
    // and when saving under another name finds one there (it would describe other
    // sprites). One that appeared beside this very project since it was opened (a build
    // script's) is left alone.
    bool withSide = HasExtras(m_doc.extras) || SameFile(side, m_sideFileRead) ||
                    (sideExists && !SameFile(path, FileName));
    bool keptRefused = false;
    if (sideExists && SameFile(side, m_sideFileRefused))
    {
        QMessageBox box(
            QMessageBox::Warning, kExtrasCaption,
            NamingFile(QStringLiteral("This side file could not be read when the project was opened: "),
                       side),
            QMessageBox::NoButton, this);
        box.setTextFormat(Qt::PlainText);
        box.setInformativeText(
            QStringLiteral("Replace it with the extras of this window (%1), or save the sprites alone and "
                           "keep the file as it is?")
                .arg(HasExtras(m_doc.extras) ? QStringLiteral("the sequences made since")
                                             : QStringLiteral("none")));
        QPushButton* replace = box.addButton(QStringLiteral("Replace It"), QMessageBox::DestructiveRole);
        QPushButton* keep = box.addButton(QStringLiteral("Keep It"), QMessageBox::AcceptRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(keep);
        FitCaption(box);
        box.exec();
        if (box.clickedButton() == replace)
            withSide = true;
        else if (box.clickedButton() == keep)
        {
            withSide = false;
            keptRefused = true;
        }
        else
            return false;
    }

    FileResult why;
    bool sideFailed = false;
    if (SaveProjectWithExtras(&m_doc.bank, withSide ? &m_doc.extras : nullptr, path.toUtf8().constData(),
                              &why, &sideFailed) != 1)
    {
        // Neither file was replaced.
        ShowWriteError(sideFailed ? side : path, why);
        return false;
    }
    if (withSide)
    {
        m_sideFileRead = side;
        m_sideFileRefused.clear();
    }
    else if (keptRefused)
    {
        statusBar()->showMessage(QStringLiteral("Saved %1 alone; %2 was kept as it was.")
                                     .arg(QFileInfo(path).fileName(), QFileInfo(side).fileName()));
    }
    return true;
}

// ---- The Sequences window ----

void TForm1::Mnu_SequencesClick()
{
    if (!m_sequences)
    {
        m_sequences = new TFormSequences(host(), this);
        // Undo and Redo work while the window has the focus, as in this one.
        m_sequences->addActions({Mnu_Undo, Mnu_Redo});
        m_sequences->adjustSize();
        const QRect main = frameGeometry();
        m_sequences->move(
            settings::OnScreen(QPoint(main.right() + 4, main.top()), m_sequences->frameGeometry().size()));
        settings::RestorePosition(m_sequences, QStringLiteral("sequences"));
    }
    m_sequences->show();
    m_sequences->raise();
    m_sequences->activateWindow();
}

// ---- Onion skin ----

void TForm1::LoadOnionSettings()
{
    using settings::Value;
    Mnu_OnionSkin->setChecked(Value(kOnionSkin, false).toBool());
    OnionSkinOptions options;
    options.frames = Value(kOnionFrames, options.frames).toInt();
    options.ahead = Value(kOnionAhead, options.ahead).toBool();
    options.opacity = Value(kOnionOpacity, options.opacity).toInt();
    m_onion = ClampOnionSkin(options);
}

void TForm1::SaveOnionSettings()
{
    if (!m_settingsLoaded) return;
    settings::SetValue(kOnionSkin, Mnu_OnionSkin->isChecked());
    settings::SetValue(kOnionFrames, m_onion.frames);
    settings::SetValue(kOnionAhead, m_onion.ahead);
    settings::SetValue(kOnionOpacity, m_onion.opacity);
}

void TForm1::Mnu_OnionSkinClick()
{
    SaveOnionSettings();
    DrawEditor();
}

void TForm1::Mnu_OnionSkinSettingsClick()
{
    const OnionSkinOptions before = m_onion;
    TFormOnionSkin dialog(m_onion, this);
    settings::RestorePosition(&dialog, QStringLiteral("onionSkin"));
    // The editor follows the settings while they are being chosen.
    connect(&dialog, &TFormOnionSkin::changed, this,
            [this](const OnionSkinOptions& options)
            {
                m_onion = ClampOnionSkin(options);
                DrawEditor();
            });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    settings::SavePosition(&dialog, QStringLiteral("onionSkin"));
    m_onion = accepted ? ClampOnionSkin(dialog.options()) : before;
    if (accepted) SaveOnionSettings();
    DrawEditor();
}

void TForm1::DrawOnionSkin()
{
    const SpriteBank& bank = m_doc.bank;
    const RenderColours colours{{bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2},
                                BaseArgb,
                                HighlightArgb};
    const bool overlayShown = Chk_OverlayNext->isChecked() && bank.currentSprite < kSlotCount - 1;
    kelmora::DrawOnionSkin(bank.sprites, bank.currentSprite, bank.spriteCount, overlayShown, colours, m_onion,
                           reinterpret_cast<std::uint32_t*>(SpriteBitmap.bits()),
                           static_cast<int>(SpriteBitmap.bytesPerLine() / 4));
}
