// The import dialog.
#include "ui/tools/FormImportSprites.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/Exchange.h"
#include "core/RawSideFile.h"
#include "ui/EditorHost.h"
#include "ui/FileDialogs.h"
#include "ui/FileNames.h"
#include "ui/Messages.h"
#include "ui/Settings.h"

using namespace kelmora;

namespace
{

const QString kFormatKey = QStringLiteral("import/fileFormat");
const QString kAttributesKey = QStringLiteral("import/attributes");
const QString kFolderKey = QStringLiteral("import/folder");

QRadioButton* AddRadio(QGroupBox* group, const char* name, const QString& caption)
{
    auto* radio = new QRadioButton(caption, group);
    radio->setObjectName(QString::fromLatin1(name));
    group->layout()->addWidget(radio);
    return radio;
}

} // namespace

TFormImport::TFormImport(TEditorHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("FormImport"));
    setWindowTitle(QStringLiteral("Import"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    GroupBox1 = new QGroupBox(QStringLiteral("File Format"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    new QVBoxLayout(GroupBox1);
    RadioAuto = AddRadio(GroupBox1, "RadioAuto", QStringLiteral("Auto Detect"));
    RadioRaw = AddRadio(GroupBox1, "RadioRaw", QStringLiteral("Raw Data"));
    RadioPrg = AddRadio(GroupBox1, "RadioPrg", QStringLiteral("PRG File"));
    RadioAuto->setChecked(true);

    GroupBox2 = new QGroupBox(QStringLiteral("Atrribute Byte Format"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    new QVBoxLayout(GroupBox2);
    RadioSeuck = AddRadio(GroupBox2, "RadioSeuck", QStringLiteral("SEUCK (XXXM:CCCC)"));
    RadioKelmora = AddRadio(GroupBox2, "RadioKelmora", QStringLiteral("Kelmora (MXXO:CCCC)"));
    RadioIgnore = AddRadio(GroupBox2, "RadioIgnore", QStringLiteral("Ignore"));
    RadioSeuck->setChecked(true);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &TFormImport::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormImport::Button2Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a fixed border that fits the host's font

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog, true);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setNameFilters({QStringLiteral("Any File (*.*)")});
    ListEveryFileForAnyFilter(OpenDialog1);

    // The choices and the folder of the last import.
    const QString format = settings::Value(kFormatKey).toString();
    if (format == QLatin1String("raw")) RadioRaw->setChecked(true);
    if (format == QLatin1String("prg")) RadioPrg->setChecked(true);
    const QString attributes = settings::Value(kAttributesKey).toString();
    if (attributes == QLatin1String("kelmora")) RadioKelmora->setChecked(true);
    if (attributes == QLatin1String("ignore")) RadioIgnore->setChecked(true);
    const QString folder = settings::Value(kFolderKey).toString();
    if (!folder.isEmpty()) OpenDialog1->setDirectory(folder);

    // Raw data whose colour side file lies beside it comes in with its own colours, as it
    // does from the command line; the file dialog offers them below its own controls.
    CheckSideColours = new QCheckBox(OpenDialog1);
    CheckSideColours->setObjectName(QStringLiteral("CheckSideColours"));
    CheckSideColours->setChecked(true);
    // Its line stays when it hides, so the dialog does not jump as files are chosen.
    QSizePolicy keepRoom = CheckSideColours->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    CheckSideColours->setSizePolicy(keepRoom);
    CheckSideColours->hide();
    if (auto* grid = qobject_cast<QGridLayout*>(OpenDialog1->layout()))
        grid->addWidget(CheckSideColours, grid->rowCount(), 0, 1, grid->columnCount());
    // It follows the file clicked in the list and the name typed (or put) into the name box.
    connect(OpenDialog1, &QFileDialog::currentChanged, this, &TFormImport::OpenDialog1CurrentChanged);
    if (auto* name = OpenDialog1->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    {
        connect(name, &QLineEdit::textChanged, this,
                [this](const QString& text) {
                    OpenDialog1CurrentChanged(
                        text.isEmpty() ? QString() : OpenDialog1->directory().absoluteFilePath(text));
                });
    }
}

TFormImport::~TFormImport() = default;

void TFormImport::Button1Click()
{
    int fileKind = kFileRaw;
    if (RadioPrg->isChecked()) fileKind = kFilePrg;
    if (RadioAuto->isChecked()) fileKind = kFileAuto;
    int attrFormat = kAttrKeep;
    if (RadioSeuck->isChecked()) attrFormat = kAttrSeuck;
    if (RadioIgnore->isChecked()) attrFormat = kAttrIgnore;

    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty()) return;
    const QString path = OpenDialog1->selectedFiles().first();
    settings::SetValue(kFormatKey, fileKind == kFilePrg   ? QStringLiteral("prg")
                                   : fileKind == kFileRaw ? QStringLiteral("raw")
                                                          : QStringLiteral("auto"));
    settings::SetValue(kAttributesKey, attrFormat == kAttrSeuck  ? QStringLiteral("seuck")
                                       : attrFormat == kAttrKeep ? QStringLiteral("kelmora")
                                                                 : QStringLiteral("ignore"));
    settings::SetValue(kFolderKey, QFileInfo(path).absolutePath());

    const QByteArray name = CorePath(path);
    u8 colours[kSideFileBytes];
    const bool useColours = CheckSideColours->isChecked() && ReadRawSideColours(name.constData(), colours);

    SpriteBank& bank = m_host.document().bank;
    FileResult why;
    if (ImportSprites(&bank, name.constData(), fileKind, attrFormat, &why) == 1)
    {
        if (useColours)
        {
            bank.colourTransp = colours[0];
            bank.colourMulti1 = colours[1];
            bank.colourMulti2 = colours[2];
        }
        m_host.documentReplaced();
        accept();
        return;
    }
    FileMessage(this, QStringLiteral("Error"), NamingFile(QStringLiteral("Invalid File Format: "), path),
                ReasonText(why));
}

void TFormImport::Button2Click()
{
    reject();
}

void TFormImport::OpenDialog1CurrentChanged(const QString& path)
{
    u8 colours[kSideFileBytes];
    const bool offered = !path.isEmpty() && ReadRawSideColours(CorePath(path).constData(), colours);
    if (offered)
    {
        CheckSideColours->setText(
            QStringLiteral("Use the colours of %1.inf").arg(QFileInfo(path).fileName()));
        CheckSideColours->setChecked(true);
    }
    CheckSideColours->setVisible(offered);
}
