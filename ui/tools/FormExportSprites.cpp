// The export dialog.
#include "ui/tools/FormExportSprites.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>

#include "core/Exchange.h"
#include "ui/EditorHost.h"
#include "ui/FileDialogs.h"
#include "ui/Messages.h"
#include "ui/Settings.h"

using namespace kelmora;

namespace
{

// Turns whatever is typed into upper case.
class UpperCaseValidator : public QValidator
{
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

constexpr int kAddressDigits = 4;

const QString kFormatKey = QStringLiteral("export/fileFormat");
const QString kAddressKey = QStringLiteral("export/loadAddress");
const QString kAttributesKey = QStringLiteral("export/attributes");
const QString kFolderKey = QStringLiteral("export/folder");

} // namespace

TFormExport::TFormExport(TEditorHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("FormExport"));
    setWindowTitle(QStringLiteral("Export"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    GroupBox1 = new QGroupBox(QStringLiteral("File Format"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    RadioPrg = new QRadioButton(QStringLiteral("PRG File"), GroupBox1);
    RadioPrg->setObjectName(QStringLiteral("RadioPrg"));
    RadioPrg->setChecked(true);
    RadioRaw = new QRadioButton(QStringLiteral("Raw Data"), GroupBox1);
    RadioRaw->setObjectName(QStringLiteral("RadioRaw"));
    auto* formatLayout = new QVBoxLayout(GroupBox1);
    formatLayout->addWidget(RadioPrg);
    formatLayout->addWidget(RadioRaw);

    Label1 = new QLabel(QStringLiteral("PRG Load Address $"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(QStringLiteral("8000"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(kAddressDigits);
    Edit1->setValidator(new UpperCaseValidator(Edit1));
    Edit1->setFixedWidth(Edit1->fontMetrics().horizontalAdvance(QStringLiteral("DDDDD")) + 12);
    Label1->setBuddy(Edit1);
    m_normalPalette = Edit1->palette();
    auto* addressLayout = new QHBoxLayout;
    addressLayout->addWidget(Label1);
    addressLayout->addWidget(Edit1);
    addressLayout->addStretch(1);

    GroupBox2 = new QGroupBox(QStringLiteral("Attribute Byte Format"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    RadioKelmora = new QRadioButton(QStringLiteral("Kelmora"), GroupBox2);
    RadioKelmora->setObjectName(QStringLiteral("RadioKelmora"));
    RadioKelmora->setChecked(true);
    RadioSeuck = new QRadioButton(QStringLiteral("SEUCK"), GroupBox2);
    RadioSeuck->setObjectName(QStringLiteral("RadioSeuck"));
    auto* attributeLayout = new QVBoxLayout(GroupBox2);
    attributeLayout->addWidget(RadioKelmora);
    attributeLayout->addWidget(RadioSeuck);

    BtnOk = new QPushButton(QStringLiteral("OK"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(addressLayout);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a fixed border that fits the host's font

    connect(RadioPrg, &QRadioButton::toggled, this,
            [this](bool on)
            {
                if (on) RadioPrgClick();
            });
    connect(RadioRaw, &QRadioButton::toggled, this,
            [this](bool on)
            {
                if (on) RadioRawClick();
            });
    connect(Edit1, &QLineEdit::textChanged, this, &TFormExport::Edit1Change);
    connect(BtnOk, &QPushButton::clicked, this, &TFormExport::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &TFormExport::BtnCancelClick);

    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setOption(QFileDialog::DontUseNativeDialog, true);
    SaveDialog1->setWindowTitle(QStringLiteral("Export Sprites"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, true);
    SaveDialog1->setNameFilters({QStringLiteral("Any File (*.*)")});
    ListEveryFileForAnyFilter(SaveDialog1);
    SaveDialog1->selectFile(QStringLiteral("Untitled"));

    // The choices and the folder of the last export.
    if (settings::Value(kFormatKey).toString() == QLatin1String("raw")) RadioRaw->setChecked(true);
    const QString address = settings::Value(kAddressKey).toString();
    if (ParseLoadAddress(address) >= 0) Edit1->setText(address);
    if (settings::Value(kAttributesKey).toString() == QLatin1String("seuck")) RadioSeuck->setChecked(true);
    const QString folder = settings::Value(kFolderKey).toString();
    if (!folder.isEmpty()) SaveDialog1->setDirectory(folder);
}

TFormExport::~TFormExport() = default;

int TFormExport::ParseLoadAddress(const QString& text)
{
    if (text.isEmpty() || text.size() > kAddressDigits) return -1;
    int value = 0;
    for (const QChar c : text)
    {
        int digit = -1;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digit = c.unicode() - '0';
        else if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            digit = c.unicode() - 'A' + 10;
        else if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            digit = c.unicode() - 'a' + 10;
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

void TFormExport::RadioPrgClick()
{
    Edit1->setEnabled(true);
}

void TFormExport::RadioRawClick()
{
    Edit1->setEnabled(false);
}

void TFormExport::Edit1Change()
{
    if (ParseLoadAddress(Edit1->text()) >= 0)
    {
        Edit1->setPalette(m_normalPalette);
        BtnOk->setEnabled(true);
    }
    else
    {
        QPalette invalid = m_normalPalette;
        invalid.setColor(QPalette::Base, Qt::red);
        Edit1->setPalette(invalid);
        BtnOk->setEnabled(false);
    }
}

void TFormExport::BtnOkClick()
{
    int loadAddress = -1;
    if (RadioPrg->isChecked())
    {
        SaveDialog1->selectFile(QStringLiteral("Sprites.prg"));
        loadAddress = ParseLoadAddress(Edit1->text());
    }
    else
    {
        SaveDialog1->selectFile(QStringLiteral("Sprites.raw"));
    }
    const SpriteBank& bank = m_host.document().bank;
    const int count = bank.spriteCount;
    const int attrFormat = RadioSeuck->isChecked() ? kExportSeuck : kExportNative;

    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty()) return;
    const QString path = SaveDialog1->selectedFiles().first();
    settings::SetValue(kFormatKey, RadioPrg->isChecked() ? QStringLiteral("prg") : QStringLiteral("raw"));
    settings::SetValue(kAddressKey, Edit1->text());
    settings::SetValue(kAttributesKey,
                       RadioSeuck->isChecked() ? QStringLiteral("seuck") : QStringLiteral("kelmora"));
    settings::SetValue(kFolderKey, QFileInfo(path).absolutePath());

    FileResult why;
    if (ExportSprites(&bank, path.toUtf8().constData(), count, loadAddress, attrFormat, &why) != 1)
        FileMessage(this, QStringLiteral("File Error"), NamingFile(QStringLiteral("Could not write "), path),
                    ReasonText(why));
    accept();
}

void TFormExport::BtnCancelClick()
{
    reject();
}
