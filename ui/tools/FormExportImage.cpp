// The Export Image window.
#include "ui/tools/FormExportImage.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "core/Bitmap.h"
#include "core/FileIO.h"
#include "ui/EditorHost.h"
#include "ui/Messages.h"
#include "ui/Pictures.h"
#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

constexpr int kBrowserColumns = 8; // the browser's cells a row
constexpr int kBrowserScale = 2;   // and its pixel size
constexpr int kMaxScale = 8;

// Remembered for the program's run: the last choices and the last file written.
int g_columns = kBrowserColumns;
int g_scale = kBrowserScale;
QString g_lastPath;

const QString kPngFilter = QStringLiteral("PNG Images (*.png)");
const QString kBmpFilter = QStringLiteral("Windows Bitmaps (*.bmp)");

bool IsBmpName(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0;
}

} // namespace

TFormExportImage::TFormExportImage(TEditorHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("FormExportImage"));
    setWindowTitle(QStringLiteral("Export Image"));

    Spin_Columns = new QSpinBox(this);
    Spin_Columns->setObjectName(QStringLiteral("Spin_Columns"));
    Spin_Columns->setRange(1, kSlotCount);
    Spin_Columns->setValue(g_columns);
    Spin_Columns->setToolTip(QStringLiteral("Sprites a row"));
    Spin_Scale = new QSpinBox(this);
    Spin_Scale->setObjectName(QStringLiteral("Spin_Scale"));
    Spin_Scale->setRange(1, kMaxScale);
    Spin_Scale->setValue(g_scale);
    Spin_Scale->setSuffix(QStringLiteral("x"));
    Spin_Scale->setToolTip(QStringLiteral("Picture pixels a sprite pixel is wide and high"));
    Label_Size = new QLabel(this);
    Label_Size->setObjectName(QStringLiteral("Label_Size"));
    Label_Size->setWordWrap(true);

    Scroll_Sheet = new QScrollArea(this);
    Scroll_Sheet->setObjectName(QStringLiteral("Scroll_Sheet"));
    Scroll_Sheet->setMinimumSize(240, 120);
    Scroll_Sheet->setAlignment(Qt::AlignCenter);
    Scroll_Sheet->setBackgroundRole(QPalette::Dark);
    PaintBox_Sheet = new TPaintBox;
    PaintBox_Sheet->setObjectName(QStringLiteral("PaintBox_Sheet"));
    PaintBox_Sheet->onPaint = [this](QPainter& painter) { painter.drawImage(0, 0, m_sheet); };
    Scroll_Sheet->setWidget(PaintBox_Sheet);

    Btn_Save = new QPushButton(QStringLiteral("Save..."), this);
    Btn_Save->setObjectName(QStringLiteral("Btn_Save"));
    Btn_Save->setDefault(true);
    Btn_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Btn_Cancel->setObjectName(QStringLiteral("Btn_Cancel"));

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("Columns"), Spin_Columns);
    form->addRow(QStringLiteral("Scale"), Spin_Scale);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Btn_Save);
    buttons->addWidget(Btn_Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Label_Size);
    layout->addWidget(Scroll_Sheet, 1);
    layout->addLayout(buttons);

    connect(Spin_Columns, &QSpinBox::valueChanged, this, &TFormExportImage::Redraw);
    connect(Spin_Scale, &QSpinBox::valueChanged, this, &TFormExportImage::Redraw);
    connect(Btn_Save, &QPushButton::clicked, this, &TFormExportImage::Btn_SaveClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    Redraw();
    resize(sizeHint().expandedTo(QSize(420, 320)));
}

TFormExportImage::~TFormExportImage()
{
    g_columns = Spin_Columns->value();
    g_scale = Spin_Scale->value();
}

void TFormExportImage::Redraw()
{
    const SpriteBank& bank = m_host.document().bank;
    m_sheet = SelectionSheet(bank, Spin_Columns->value(), Spin_Scale->value(), m_host.viewColours());
    const int last = std::min(bank.spriteCount, kSlotCount) - 1;
    const int first = std::clamp(static_cast<int>(bank.rangeStart), 0, std::max(0, last));
    const int end = std::clamp(static_cast<int>(bank.rangeEnd), first, std::max(first, last));
    const QString sprites = first == end ? QStringLiteral("Sprite %1").arg(first)
                                         : QStringLiteral("Sprites %1 to %2").arg(first).arg(end);
    Label_Size->setText(m_sheet.isNull()
                            ? sprites + QStringLiteral(": too large a picture")
                            : sprites + QStringLiteral(": a picture of %1 x %2 pixels, to save as PNG or BMP")
                                            .arg(m_sheet.width())
                                            .arg(m_sheet.height()));
    Btn_Save->setEnabled(!m_sheet.isNull());
    PaintBox_Sheet->resize(m_sheet.size());
    PaintBox_Sheet->update();
}

bool TFormExportImage::Write(const QString& path, QString& reason) const
{
    FileResult why;
    const QByteArray name = path.toUtf8();
    if (IsBmpName(path))
    {
        if (WriteBitmap32(name.constData(), reinterpret_cast<const std::uint32_t*>(m_sheet.constBits()),
                          m_sheet.width(), m_sheet.height(), static_cast<int>(m_sheet.bytesPerLine() / 4),
                          &why) == 1)
            return true;
        reason = QString::fromStdString(FileErrorText(why));
        return false;
    }
    // Encoded in memory, then written as one file that replaces any older one whole.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(m_sheet))
    {
        reason = writer.errorString();
        return false;
    }
    if (WriteWholeFile(name.constData(), png.constData(), static_cast<std::size_t>(png.size()), &why))
        return true;
    reason = QString::fromStdString(FileErrorText(why));
    return false;
}

void TFormExportImage::Btn_SaveClick()
{
    if (m_sheet.isNull()) return;
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveDialog_Image"));
    dialog.setWindowTitle(QStringLiteral("Export Image"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({kPngFilter, kBmpFilter});
    const QString proposed =
        g_lastPath.isEmpty() ? QDir::current().filePath(QStringLiteral("Untitled.png")) : g_lastPath;
    const bool bmp = IsBmpName(proposed);
    dialog.selectNameFilter(bmp ? kBmpFilter : kPngFilter);
    dialog.setDefaultSuffix(bmp ? QStringLiteral("bmp") : QStringLiteral("png"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString& filter) {
                dialog.setDefaultSuffix(filter == kBmpFilter ? QStringLiteral("bmp") : QStringLiteral("png"));
            });
    dialog.setDirectory(QFileInfo(proposed).absolutePath());
    dialog.selectFile(QFileInfo(proposed).fileName());
    if (dialog.exec() != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return;
    const QString path = chosen.first();
    g_lastPath = path;

    QString reason;
    if (!Write(path, reason))
    {
        FileMessage(this, QStringLiteral("File Error"),
                    QStringLiteral("Could not write ") + QDir::toNativeSeparators(path), reason);
        return;
    }
    accept();
}
