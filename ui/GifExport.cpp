// Export GIF... of the Sequences window and the animator.
#include "ui/GifExport.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>

#include <algorithm>

#include "core/FileIO.h"
#include "core/FramePictures.h"
#include "ui/FileDialogs.h"
#include "ui/Messages.h"
#include "ui/Settings.h"

namespace
{

const QString kFolderKey = QStringLiteral("dialogs/exportGif");
const QString kScaleKey = QStringLiteral("dialogs/gifScale");
constexpr int kDefaultScale = 2;

} // namespace

QString ExportGif(QWidget* parent, const QString& proposedName,
                  const std::function<std::vector<std::uint8_t>(int scale)>& encode)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("SaveDialog_Gif"));
    dialog.setWindowTitle(QStringLiteral("Export GIF"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("GIF pictures (*.gif)"), QStringLiteral("Any file (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("gif"));
    ListEveryFileForAnyFilter(&dialog);
    const QString folder = settings::Value(kFolderKey).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.setDirectory(folder);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().first();
    if (path.isEmpty()) return {};
    settings::SetValue(kFolderKey, QFileInfo(path).absolutePath());

    QInputDialog ask(parent);
    ask.setObjectName(QStringLiteral("InputDialog_GifScale"));
    ask.setWindowTitle(QStringLiteral("Export GIF"));
    ask.setInputMode(QInputDialog::IntInput);
    ask.setLabelText(QStringLiteral("Scale: every sprite pixel becomes N x N picture pixels (1 to %1).")
                         .arg(kelmora::kMaxFrameScale));
    ask.setIntRange(1, kelmora::kMaxFrameScale);
    ask.setIntValue(
        std::clamp(settings::Value(kScaleKey, kDefaultScale).toInt(), 1, kelmora::kMaxFrameScale));
    if (ask.exec() != QDialog::Accepted) return {};
    const int scale = ask.intValue();
    settings::SetValue(kScaleKey, scale);

    const std::vector<std::uint8_t> bytes = encode(scale);
    if (bytes.empty())
    {
        FileMessage(parent, QStringLiteral("Export GIF"), NamingFile(QStringLiteral("Could not make "), path),
                    QStringLiteral("The frames could not be encoded as a GIF picture."));
        return {};
    }
    kelmora::FileResult why;
    if (!kelmora::WriteWholeFile(path.toUtf8().constData(), bytes.data(), bytes.size(), &why))
    {
        FileMessage(parent, QStringLiteral("File Error"),
                    NamingFile(QStringLiteral("Could not write "), path), ReasonText(why));
        return {};
    }
    return path;
}
