// The built-in viewer of the text listing.
#include "ui/tools/FormTextData.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/FileIO.h"
#include "ui/FileDialogs.h"
#include "ui/FileNames.h"
#include "ui/Messages.h"

namespace
{

constexpr int kShownColumns = 100;
constexpr int kShownLines = 30;

} // namespace

TFormTextData::TFormTextData(const QString& path, const QByteArray& bytes, QWidget* parent)
    : QDialog(parent), m_bytes(bytes)
{
    setObjectName(QStringLiteral("FormTextData"));
    setWindowTitle(QFileInfo(path).fileName());

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The listing is plain ASCII; any other byte is shown as itself rather than dropped.
    Memo1->setPlainText(QString::fromLatin1(bytes));

    BtnSaveAs = new QPushButton(QStringLiteral("Save As..."), this);
    BtnSaveAs->setObjectName(QStringLiteral("BtnSaveAs"));
    BtnClose = new QPushButton(QStringLiteral("Close"), this);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    BtnClose->setDefault(true);
    connect(BtnSaveAs, &QPushButton::clicked, this, &TFormTextData::BtnSaveAsClick);
    connect(BtnClose, &QPushButton::clicked, this, &TFormTextData::BtnCloseClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnSaveAs);
    buttons->addStretch(1);
    buttons->addWidget(BtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(buttons);
    // Room for a listing line's 64 values in hex at the host's fixed font; the window can
    // be made smaller or larger.
    const QFontMetrics metrics(Memo1->font());
    resize(sizeHint().expandedTo(QSize(metrics.horizontalAdvance(QLatin1Char('0')) * kShownColumns,
                                       metrics.lineSpacing() * kShownLines)));

    m_savePath = QDir(QDir::homePath()).filePath(QFileInfo(path).fileName());
}

TFormTextData::~TFormTextData() = default;

void TFormTextData::BtnSaveAsClick()
{
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setWindowTitle(QStringLiteral("Save Text Data"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("Any File (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    ListEveryFileForAnyFilter(&dialog);
    dialog.setDirectory(QFileInfo(m_savePath).absolutePath());
    dialog.selectFile(QFileInfo(m_savePath).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString chosen = dialog.selectedFiles().first();
    m_savePath = chosen;
    kelmora::FileResult why;
    if (!kelmora::WriteWholeFile(CorePath(chosen).constData(), m_bytes.constData(),
                                 static_cast<std::size_t>(m_bytes.size()), &why))
        FileMessage(this, QStringLiteral("File Error"),
                    QStringLiteral("Could not write ") + QDir::toNativeSeparators(chosen), ReasonText(why));
}

void TFormTextData::BtnCloseClick()
{
    accept();
}
