// The snapshot ripper window.
#include "ui/tools/FormRipper.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cstring>

#include "core/Sprite.h"
#include "ui/EditorHost.h"
#include "ui/FileNames.h"
#include "ui/Messages.h"
#include "ui/Settings.h"

using namespace kelmora;

kelmora::u8 TFormRipper::RamImage[kelmora::kC64RamBytes];

namespace
{

// The folder of the last snapshot chosen in this run, where the next file choice starts.
QString g_snapshotFolder;
// Where it is remembered for the next runs.
const QString kFolderKey = QStringLiteral("ripper/folder");

} // namespace

TFormRipper::TFormRipper(TEditorHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    std::memset(RamImage, 0, sizeof RamImage);

    setObjectName(QStringLiteral("FormRipper"));
    setWindowTitle(QStringLiteral("Ripper"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    Button1 = new QPushButton(QStringLiteral("Choose snapshot..."), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    Button1->setMinimumHeight(30);

    GroupBox1 = new QGroupBox(QStringLiteral("Video bank"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* bankLayout = new QVBoxLayout(GroupBox1);
    bankLayout->setSpacing(6);
    const struct
    {
        const char* name;
        const char* caption;
        QRadioButton** button;
        void (TFormRipper::*handler)();
    } banks[] = {
        {"RadioButton1", "Bank 0 ($0000 - $3FFF)", &RadioButton1, &TFormRipper::RadioButton1Click},
        {"RadioButton2", "Bank 1 ($4000 - $7FFF)", &RadioButton2, &TFormRipper::RadioButton2Click},
        {"RadioButton3", "Bank 2 ($8000 - $BFFF)", &RadioButton3, &TFormRipper::RadioButton3Click},
        {"RadioButton4", "Bank 3 ($C000 - $FFFF)", &RadioButton4, &TFormRipper::RadioButton4Click},
    };
    for (const auto& b : banks)
    {
        auto* radio = new QRadioButton(QString::fromLatin1(b.caption), GroupBox1);
        radio->setObjectName(QString::fromLatin1(b.name));
        bankLayout->addWidget(radio);
        *b.button = radio;
        if (radio == RadioButton1) radio->setChecked(true); // before it shows banks
        // A bank is shown when its button becomes checked (by click or arrow key);
        // clicking the button already checked changes nothing.
        const auto handler = b.handler;
        connect(radio, &QRadioButton::toggled, this,
                [this, handler](bool on)
                {
                    if (on) (this->*handler)();
                });
    }

    // What the last snapshot read showed.
    Label_VideoBank = new QLabel(QStringLiteral("Video chip's bank: no snapshot read"), this);
    Label_VideoBank->setObjectName(QStringLiteral("Label_VideoBank"));
    Label_SetSlots = new QLabel(this);
    Label_SetSlots->setObjectName(QStringLiteral("Label_SetSlots"));
    ShowSetSlots();

    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(Button1);
    layout->addWidget(GroupBox1);
    layout->addWidget(Label_VideoBank);
    layout->addWidget(Label_SetSlots);
    layout->addLayout(buttons);
    // Fixed, and as large as its texts need as they change.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(230);

    connect(Button1, &QPushButton::clicked, this, &TFormRipper::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormRipper::Button2Click);

    OpenSnapshot = new QFileDialog(this);
    OpenSnapshot->setObjectName(QStringLiteral("OpenSnapshot"));
    OpenSnapshot->setOption(QFileDialog::DontUseNativeDialog);
    OpenSnapshot->setAcceptMode(QFileDialog::AcceptOpen);
    OpenSnapshot->setFileMode(QFileDialog::ExistingFile);
    OpenSnapshot->setNameFilter(QStringLiteral("VICE Snapshot File (*.vsf)"));
}

TFormRipper::~TFormRipper() = default;

void TFormRipper::Button1Click()
{
    const QString folder =
        g_snapshotFolder.isEmpty() ? settings::Value(kFolderKey).toString() : g_snapshotFolder;
    if (!folder.isEmpty()) OpenSnapshot->setDirectory(folder);
    OpenSnapshot->selectFile(QStringLiteral("*.vsf"));
    if (OpenSnapshot->exec() != QDialog::Accepted) return;
    const QStringList chosen = OpenSnapshot->selectedFiles();
    if (chosen.isEmpty()) return;
    g_snapshotFolder = QFileInfo(chosen.first()).absolutePath();
    settings::SetValue(kFolderKey, g_snapshotFolder);
    ReadSnapshot(chosen.first());
}

bool TFormRipper::ReadSnapshot(const QString& path)
{
    // RamImage is replaced only by a complete C64 snapshot.
    SnapshotFacts facts;
    FileResult why;
    switch (kelmora::ReadSnapshot(CorePath(path).constData(), RamImage, &facts, &why))
    {
    case SnapshotStatus::CannotOpen:
        FileMessage(this, QStringLiteral("File Error"), NamingFile(QStringLiteral("Could not open "), path),
                    ReasonText(why));
        return false;
    case SnapshotStatus::Invalid:
        FileMessage(this, QStringLiteral("Kelmora"),
                    NamingFile(QStringLiteral("Invalid VICE snapshot file: "), path),
                    QString::fromStdString(SnapshotProblemText(facts)));
        return false;
    case SnapshotStatus::Ok:
        break;
    }
    // The bank the video chip was showing comes up first; bank 0 when that is unknown.
    const int found = facts.videoBank;
    const int bank = found >= 0 && found < kVideoBankCount ? found : 0;
    const QString start =
        QString::number(bank * kVideoBankBytes, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    Label_VideoBank->setText(found >= 0 ? QStringLiteral("Video chip's bank: %1 ($%2)").arg(bank).arg(start)
                                        : QStringLiteral("Video chip's bank: unknown"));
    QRadioButton* button =
        QList<QRadioButton*>{RadioButton1, RadioButton2, RadioButton3, RadioButton4}.at(bank);
    {
        // The bank is put in place here: checking its button must not copy it again.
        const QSignalBlocker blocker(button);
        button->setChecked(true);
    }
    ShowBank(bank);
    return true;
}

void TFormRipper::ShowBank(int bank)
{
    CopyVideoBank(RamImage, bank, m_host.document().bank.sprites);
    m_taken = true;
    ShowSetSlots();
    m_host.documentChanged(false);
}

void TFormRipper::ShowSetSlots()
{
    const u8* block = m_host.document().bank.sprites;
    int set = 0;
    for (int slot = 0; slot < kSlotCount; ++slot)
        set += IsBlank(block, slot) == 0 ? 1 : 0;
    Label_SetSlots->setText(QStringLiteral("Slots with set pixels: %1 of %2").arg(set).arg(kSlotCount));
}

void TFormRipper::RadioButton1Click()
{
    ShowBank(0);
}
void TFormRipper::RadioButton2Click()
{
    ShowBank(1);
}
void TFormRipper::RadioButton3Click()
{
    ShowBank(2);
}
void TFormRipper::RadioButton4Click()
{
    ShowBank(3);
}

void TFormRipper::Button2Click()
{
    accept();
}

void TFormRipper::done(int result)
{
    // The main window shows only the sprites in use: say so when more were taken.
    const int inUse = m_host.document().bank.spriteCount;
    if (m_taken && inUse < kSlotCount)
        m_host.showHint(QStringLiteral("%1 sprites taken; Quantity shows %2: raise it to see them all")
                            .arg(kSlotCount)
                            .arg(inUse));
    QDialog::done(result);
}
