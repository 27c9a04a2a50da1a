// The project's side file NAME.kmd.json (sprite names, listing presets and the rest of
// the extras), read when a project is loaded and saved with it as one transaction.
#include "ui/Form1.h"

#include <QFileInfo>
#include <QStatusBar>

#include "ui/Messages.h"

using namespace kelmora;

void TForm1::ForgetExtras()
{
    m_doc.extras = ProjectExtras();
    m_unusedSideFile.clear();
}

void TForm1::ReadExtrasFor(const QString& path)
{
    m_unusedSideFile.clear();
    ProjectExtras extras;
    std::string message;
    switch (ReadProjectExtras(path.toUtf8().constData(), extras, message))
    {
    case ExtrasReadStatus::Read:
        m_doc.extras = std::move(extras);
        return;
    case ExtrasReadStatus::Missing:
        m_doc.extras = ProjectExtras();
        return;
    case ExtrasReadStatus::Refused:
        break;
    }
    // The sprites come in all the same; the side file stays as it is until something is
    // stored in the extras, so nothing in it is lost by saving the sprites.
    m_doc.extras = ProjectExtras();
    m_unusedSideFile = QString::fromStdString(ExtrasPathFor(path.toUtf8().constData()));
    statusBar()->showMessage(QStringLiteral("Opened without its side file: ") +
                             QString::fromStdString(message));
    FileMessage(
        this, QStringLiteral("Kelmora"), NamingFile(QStringLiteral("Not used: "), m_unusedSideFile),
        QFileInfo(m_unusedSideFile).fileName() + QStringLiteral(": ") + QString::fromStdString(message) +
            QStringLiteral("\nThe sprites are loaded without its names and presets; saving the project "
                           "leaves it as it is until you name a sprite or save a preset."));
}

bool TForm1::SaveProjectFiles(const QString& path, FileResult& why, QString& failedPath)
{
    const std::string target = path.toUtf8().toStdString();
    const QString side = QString::fromStdString(ExtrasPathFor(target));
    // A side file is written when there is something to keep, or when one stands beside the
    // target (an old one must never describe sprites it was not written for) - except the
    // one that could not be read, while nothing has been stored in its place.
    const bool keepUnused =
        !HasExtras(m_doc.extras) && !m_unusedSideFile.isEmpty() &&
        QFileInfo(side).absoluteFilePath() == QFileInfo(m_unusedSideFile).absoluteFilePath();
    const bool withSide = !keepUnused && (HasExtras(m_doc.extras) || QFileInfo::exists(side));
    bool sideFailed = false;
    if (SaveProjectWithExtras(&m_doc.bank, withSide ? &m_doc.extras : nullptr, target.c_str(), &why,
                              &sideFailed) == 1)
    {
        if (withSide) m_unusedSideFile.clear();
        return true;
    }
    failedPath = sideFailed ? side : path;
    return false;
}
