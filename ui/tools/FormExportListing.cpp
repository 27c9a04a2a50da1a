// The Export Listing dialog.
#include "ui/tools/FormExportListing.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "core/BasicProgram.h"
#include "core/Document.h"
#include "core/FileIO.h"
#include "core/SpriteNames.h"
#include "ui/EditorHost.h"
#include "ui/FileDialogs.h"
#include "ui/Messages.h"
#include "ui/Settings.h"
#include "ui/tools/FormExportSprites.h"

using namespace kelmora;

namespace
{

const QString kOptionsKey = QStringLiteral("exportListing/options");
const QString kFolderKey = QStringLiteral("exportListing/folder");

struct DialectChoice
{
    ListingDialect dialect;
    const char* caption;
    const char* fileName; // proposed by Save
    const char* filter;
};
const DialectChoice kDialects[] = {
    {ListingDialect::Acme, "ACME", "sprites.asm", "Assembler Source (*.asm *.a *.s *.inc)"},
    {ListingDialect::KickAss, "Kick Assembler", "sprites.asm", "Assembler Source (*.asm *.s *.inc)"},
    {ListingDialect::Ca65, "ca65", "sprites.s", "Assembler Source (*.s *.asm *.inc)"},
    {ListingDialect::Tass64, "64tass", "sprites.s", "Assembler Source (*.s *.asm *.inc)"},
    {ListingDialect::C, "C", "sprites.h", "C Source (*.h *.c)"},
    {ListingDialect::Basic, "BASIC V2", "sprites.bas", "BASIC Text (*.bas *.txt)"},
};

const DialectChoice& ChoiceOf(ListingDialect dialect)
{
    for (const DialectChoice& choice : kDialects)
        if (choice.dialect == dialect) return choice;
    return kDialects[0];
}

QString Hex4(int address)
{
    return QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
}

// Why a listing of these sprites cannot be made with these options.
QString ProblemText(const ListingOutput& out, const ListingOptions& o)
{
    const QString loader = QStringLiteral("$") + Hex4(o.loaderAddress);
    switch (out.problem)
    {
    case ListingProblem::BadArguments:
        return QStringLiteral("There are no sprites to list.");
    case ListingProblem::BadOptions:
        return QStringLiteral("These options cannot be used together.");
    case ListingProblem::LineNumbersRunOut:
        return QStringLiteral(
            "The BASIC line numbers would pass 63999: choose a lower first line or step, or "
            "fewer sprites.");
    case ListingProblem::ProgramTooLarge:
        return QStringLiteral("The BASIC program would not fit in the C64's BASIC memory ($0801-$9FFF): "
                              "choose fewer sprites.");
    case ListingProblem::LoaderAddressInUse:
        return QStringLiteral(
                   "The loader's sprites at %1 would cover the system area, the screen or the BASIC "
                   "program and its variables: choose blocks in $2000-$3FFF above the program, or "
                   "$0340-$03FF for up to 3 sprites.")
            .arg(loader);
    case ListingProblem::LoaderAddressHidden:
        return QStringLiteral("The video chip cannot show sprites at %1: it sees the character ROM at "
                              "$1000-$1FFF, and the screen's bank ends at $3FFF.")
            .arg(loader);
    case ListingProblem::None:
        break;
    }
    return {};
}

// An address of four hexadecimal digits at most, a multiple of 64; -1 when the text is none.
int BlockAddress(const QString& text)
{
    const int address = TFormExport::ParseLoadAddress(text);
    return address >= 0 && address % 64 == 0 ? address : -1;
}

bool IsLabel(const QString& text)
{
    ListingOptions probe;
    probe.labelPrefix = text.toStdString();
    return CheckListingOptions(probe) == ListingOptionsProblem::None;
}

bool SameOptions(const ListingOptions& a, const ListingOptions& b)
{
    return ListingOptionsToJsonText(a) == ListingOptionsToJsonText(b);
}

QLineEdit* AddressEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(4);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,4}")), edit));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("DDDDD")) + 12);
    return edit;
}

} // namespace

TFormExportListing::TFormExportListing(TEditorHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("FormExportListing"));
    setWindowTitle(QStringLiteral("Export Listing"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    // The selected sprites, kept inside the sprites in use.
    const SpriteBank& bank = m_host.document().bank;
    const int inUse = std::clamp(bank.spriteCount, 1, kSlotCount);
    m_first = std::clamp(std::min(bank.rangeStart, bank.rangeEnd), 0, inUse - 1);
    m_last = std::clamp(std::max(bank.rangeStart, bank.rangeEnd), m_first, inUse - 1);

    CreateControls();

    // The options of the last use.
    ListingOptions remembered;
    if (!ListingOptionsFromJsonText(settings::Value(kOptionsKey).toString().toStdString(), remembered))
        remembered = ListingOptions();
    ShowOptions(remembered);

    // 20 pixels below and 80 right of the main window's top-left corner, all of it on the screen.
    adjustSize();
    if (parent)
        move(settings::OnScreen(parent->geometry().topLeft() + QPoint(80, 20), frameGeometry().size()));
}

TFormExportListing::~TFormExportListing() = default;

void TFormExportListing::CreateControls()
{
    LabelSprites = new QLabel(this);
    LabelSprites->setObjectName(QStringLiteral("LabelSprites"));
    LabelSprites->setText(m_first == m_last ? QStringLiteral("Sprite %1").arg(m_first)
                                            : QStringLiteral("Sprites %1-%2 (%3 sprites)")
                                                  .arg(m_first)
                                                  .arg(m_last)
                                                  .arg(m_last - m_first + 1));

    ComboPreset = new QComboBox(this);
    ComboPreset->setObjectName(QStringLiteral("ComboPreset"));
    ComboPreset->setToolTip(QStringLiteral("Option sets saved in the project"));
    BtnSavePreset = new QPushButton(QStringLiteral("Save Preset..."), this);
    BtnSavePreset->setObjectName(QStringLiteral("BtnSavePreset"));
    BtnDeletePreset = new QPushButton(QStringLiteral("Delete Preset"), this);
    BtnDeletePreset->setObjectName(QStringLiteral("BtnDeletePreset"));
    auto* presetRow = new QHBoxLayout;
    presetRow->addWidget(ComboPreset, 1);
    presetRow->addWidget(BtnSavePreset);
    presetRow->addWidget(BtnDeletePreset);

    ComboDialect = new QComboBox(this);
    ComboDialect->setObjectName(QStringLiteral("ComboDialect"));
    for (const DialectChoice& choice : kDialects)
        ComboDialect->addItem(QString::fromLatin1(choice.caption), static_cast<int>(choice.dialect));

    ComboNumbers = new QComboBox(this);
    ComboNumbers->setObjectName(QStringLiteral("ComboNumbers"));
    ComboNumbers->addItem(QStringLiteral("Hexadecimal ($0A)"), static_cast<int>(ListingNumbers::Hex));
    ComboNumbers->addItem(QStringLiteral("Decimal (10)"), static_cast<int>(ListingNumbers::Decimal));
    ComboNumbers->addItem(QStringLiteral("Binary (%00001010)"), static_cast<int>(ListingNumbers::Binary));

    ChkRows = new QCheckBox(QStringLiteral("Three bytes a line (a row of pixels)"), this);
    ChkRows->setObjectName(QStringLiteral("ChkRows"));

    ComboBytes = new QComboBox(this);
    ComboBytes->setObjectName(QStringLiteral("ComboBytes"));
    ComboBytes->addItem(QStringLiteral("64 (with the attribute byte)"), 64);
    ComboBytes->addItem(QStringLiteral("63 (without it)"), 63);
    ChkZeroAttributes = new QCheckBox(QStringLiteral("Attribute byte written as 0"), this);
    ChkZeroAttributes->setObjectName(QStringLiteral("ChkZeroAttributes"));

    LabelBlockLabel = new QLabel(QStringLiteral("Label before the data:"), this);
    LabelBlockLabel->setObjectName(QStringLiteral("LabelBlockLabel"));
    EditBlockLabel = new QLineEdit(this);
    EditBlockLabel->setObjectName(QStringLiteral("EditBlockLabel"));
    LabelBlockLabel->setBuddy(EditBlockLabel);

    ComboLabels = new QComboBox(this);
    ComboLabels->setObjectName(QStringLiteral("ComboLabels"));
    ComboLabels->addItem(QStringLiteral("None"), static_cast<int>(ListingLabels::None));
    ComboLabels->addItem(QStringLiteral("The sprite's name"), static_cast<int>(ListingLabels::Names));
    ComboLabels->addItem(QStringLiteral("Prefix and number"), static_cast<int>(ListingLabels::Prefix));
    EditLabelPrefix = new QLineEdit(this);
    EditLabelPrefix->setObjectName(QStringLiteral("EditLabelPrefix"));
    EditLabelPrefix->setToolTip(QStringLiteral("Each sprite's label is the prefix, _ and its number"));
    auto* labelsRow = new QHBoxLayout;
    labelsRow->addWidget(ComboLabels);
    labelsRow->addWidget(EditLabelPrefix, 1);

    ChkAlign = new QCheckBox(QStringLiteral("Align the data to 64 bytes"), this);
    ChkAlign->setObjectName(QStringLiteral("ChkAlign"));
    ChkHeader = new QCheckBox(QStringLiteral("Constants for data at $"), this);
    ChkHeader->setObjectName(QStringLiteral("ChkHeader"));
    ChkHeader->setToolTip(QStringLiteral("The shared colours, and each sprite's colour and block number"));
    EditHeaderAddress = AddressEdit(this, "EditHeaderAddress");
    auto* headerRow = new QHBoxLayout;
    headerRow->addWidget(ChkHeader);
    headerRow->addWidget(EditHeaderAddress);
    headerRow->addStretch(1);

    GroupBasic = new QGroupBox(QStringLiteral("BASIC"), this);
    GroupBasic->setObjectName(QStringLiteral("GroupBasic"));
    SpinStartLine = new QSpinBox(GroupBasic);
    SpinStartLine->setObjectName(QStringLiteral("SpinStartLine"));
    SpinStartLine->setRange(0, kBasicLastLine);
    SpinLineStep = new QSpinBox(GroupBasic);
    SpinLineStep->setObjectName(QStringLiteral("SpinLineStep"));
    SpinLineStep->setRange(1, 1000);
    ChkPrg = new QCheckBox(QStringLiteral("Tokenised program (PRG file)"), GroupBasic);
    ChkPrg->setObjectName(QStringLiteral("ChkPrg"));
    ChkLoader = new QCheckBox(QStringLiteral("Loader for the blocks at $"), GroupBasic);
    ChkLoader->setObjectName(QStringLiteral("ChkLoader"));
    ChkLoader->setToolTip(QStringLiteral("Lines before the data that READ the sprites into their blocks and "
                                         "show the first eight"));
    EditLoaderAddress = AddressEdit(GroupBasic, "EditLoaderAddress");
    auto* loaderRow = new QHBoxLayout;
    loaderRow->addWidget(ChkLoader);
    loaderRow->addWidget(EditLoaderAddress);
    loaderRow->addStretch(1);
    auto* basicForm = new QFormLayout(GroupBasic);
    basicForm->addRow(QStringLiteral("First line:"), SpinStartLine);
    basicForm->addRow(QStringLiteral("Step:"), SpinLineStep);
    basicForm->addRow(ChkPrg);
    basicForm->addRow(loaderRow);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Preset:"), presetRow);
    form->addRow(QStringLiteral("Dialect:"), ComboDialect);
    form->addRow(QStringLiteral("Numbers:"), ComboNumbers);
    form->addRow(ChkRows);
    form->addRow(QStringLiteral("Bytes a sprite:"), ComboBytes);
    form->addRow(ChkZeroAttributes);
    form->addRow(LabelBlockLabel, EditBlockLabel);
    form->addRow(QStringLiteral("Label per sprite:"), labelsRow);
    form->addRow(ChkAlign);
    form->addRow(headerRow);
    form->addRow(GroupBasic);

    MemoPreview = new QPlainTextEdit(this);
    MemoPreview->setObjectName(QStringLiteral("MemoPreview"));
    MemoPreview->setReadOnly(true);
    MemoPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoPreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    MemoPreview->setMinimumSize(MemoPreview->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 60,
                                MemoPreview->fontMetrics().lineSpacing() * 24);

    LabelStatus = new QLabel(this);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    LabelStatus->setWordWrap(true);
    LabelStatus->setTextFormat(Qt::PlainText);

    BtnCopy = new QPushButton(QStringLiteral("Copy to Clipboard"), this);
    BtnCopy->setObjectName(QStringLiteral("BtnCopy"));
    BtnSave = new QPushButton(QStringLiteral("Save..."), this);
    BtnSave->setObjectName(QStringLiteral("BtnSave"));
    BtnSave->setDefault(true);
    BtnClose = new QPushButton(QStringLiteral("Close"), this);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnCopy);
    buttons->addWidget(BtnSave);
    buttons->addWidget(BtnClose);

    auto* options = new QVBoxLayout;
    options->addWidget(LabelSprites);
    options->addLayout(form);
    options->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(options);
    columns->addWidget(MemoPreview, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(LabelStatus);
    layout->addLayout(buttons);

    // Every option redraws the preview.
    for (QComboBox* combo : {ComboDialect, ComboNumbers, ComboBytes, ComboLabels})
        connect(combo, &QComboBox::currentIndexChanged, this, &TFormExportListing::OptionsChanged);
    for (QCheckBox* box : {ChkRows, ChkZeroAttributes, ChkAlign, ChkHeader, ChkPrg, ChkLoader})
        connect(box, &QCheckBox::toggled, this, &TFormExportListing::OptionsChanged);
    for (QLineEdit* edit : {EditBlockLabel, EditLabelPrefix, EditHeaderAddress, EditLoaderAddress})
        connect(edit, &QLineEdit::textChanged, this, &TFormExportListing::OptionsChanged);
    for (QSpinBox* spin : {SpinStartLine, SpinLineStep})
        connect(spin, &QSpinBox::valueChanged, this, &TFormExportListing::OptionsChanged);
    connect(ComboPreset, &QComboBox::activated, this, &TFormExportListing::ComboPresetChange);
    connect(BtnSavePreset, &QPushButton::clicked, this, &TFormExportListing::BtnSavePresetClick);
    connect(BtnDeletePreset, &QPushButton::clicked, this, &TFormExportListing::BtnDeletePresetClick);
    connect(BtnCopy, &QPushButton::clicked, this, &TFormExportListing::BtnCopyClick);
    connect(BtnSave, &QPushButton::clicked, this, &TFormExportListing::BtnSaveClick);
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormExportListing::ReadOptions(ListingOptions& o, QString& problem) const
{
    o = ListingOptions();
    o.dialect = static_cast<ListingDialect>(ComboDialect->currentData().toInt());
    o.numbers = static_cast<ListingNumbers>(ComboNumbers->currentData().toInt());
    o.rows = ChkRows->isChecked();
    o.bytesPerSprite = ComboBytes->currentData().toInt();
    o.zeroAttributes = ChkZeroAttributes->isChecked();
    o.blockLabel = EditBlockLabel->text().trimmed().toStdString();
    o.labels = static_cast<ListingLabels>(ComboLabels->currentData().toInt());
    o.align = ChkAlign->isChecked();
    o.startLine = SpinStartLine->value();
    o.lineStep = SpinLineStep->value();
    o.prg = ChkPrg->isChecked();
    const QString prefix = EditLabelPrefix->text().trimmed();
    const QString identifier = QStringLiteral("a letter or _ followed by letters, digits or _");
    if (!o.blockLabel.empty() && !IsLabel(EditBlockLabel->text().trimmed()))
    {
        problem = QStringLiteral("The label before the data must be %1.").arg(identifier);
        return false;
    }
    if (o.labels == ListingLabels::Prefix)
    {
        if (!IsLabel(prefix))
        {
            problem = QStringLiteral("The prefix of the labels must be %1.").arg(identifier);
            return false;
        }
        o.labelPrefix = prefix.toStdString();
    }
    else if (IsLabel(prefix))
        o.labelPrefix = prefix.toStdString(); // kept for when the prefix is chosen again
    const QString block = QStringLiteral("a multiple of 40 in hexadecimal, such as 2000");
    if (ChkHeader->isChecked())
    {
        o.headerAddress = BlockAddress(EditHeaderAddress->text());
        if (o.headerAddress < 0)
        {
            problem = QStringLiteral("The address of the constants must be %1.").arg(block);
            return false;
        }
    }
    if (ChkLoader->isChecked())
    {
        o.loaderAddress = BlockAddress(EditLoaderAddress->text());
        if (o.loaderAddress < 0)
        {
            problem = QStringLiteral("The loader's address must be %1.").arg(block);
            return false;
        }
    }
    return true;
}

void TFormExportListing::ShowOptions(const ListingOptions& o)
{
    m_showing = true;
    const auto choose = [](QComboBox* combo, int data)
    {
        const int index = combo->findData(data);
        if (index >= 0) combo->setCurrentIndex(index);
    };
    choose(ComboDialect, static_cast<int>(o.dialect));
    choose(ComboNumbers, static_cast<int>(o.numbers));
    ChkRows->setChecked(o.rows);
    choose(ComboBytes, o.bytesPerSprite);
    ChkZeroAttributes->setChecked(o.zeroAttributes);
    EditBlockLabel->setText(QString::fromStdString(o.blockLabel));
    choose(ComboLabels, static_cast<int>(o.labels));
    EditLabelPrefix->setText(QString::fromStdString(o.labelPrefix));
    ChkAlign->setChecked(o.align);
    ChkHeader->setChecked(o.headerAddress >= 0);
    if (o.headerAddress >= 0) EditHeaderAddress->setText(Hex4(o.headerAddress));
    SpinStartLine->setValue(o.startLine);
    SpinLineStep->setValue(o.lineStep);
    ChkPrg->setChecked(o.prg);
    ChkLoader->setChecked(o.loaderAddress >= 0);
    if (o.loaderAddress >= 0) EditLoaderAddress->setText(Hex4(o.loaderAddress));
    m_showing = false;
    OptionsChanged();
}

void TFormExportListing::EnableForDialect()
{
    const ListingDialect dialect = static_cast<ListingDialect>(ComboDialect->currentData().toInt());
    const bool basic = dialect == ListingDialect::Basic;
    const bool c = dialect == ListingDialect::C;
    ComboNumbers->setEnabled(!basic);
    ComboNumbers->setToolTip(
        basic ? QStringLiteral("BASIC DATA lines are always decimal: a C64 READs them so") : QString());
    ChkZeroAttributes->setEnabled(ComboBytes->currentData().toInt() == kSpriteBytes);
    LabelBlockLabel->setText(c ? QStringLiteral("Array name:") : QStringLiteral("Label before the data:"));
    EditBlockLabel->setPlaceholderText(c ? QStringLiteral("sprites") : QString());
    LabelBlockLabel->setEnabled(!basic);
    EditBlockLabel->setEnabled(!basic);
    EditLabelPrefix->setEnabled(ComboLabels->currentData().toInt() ==
                                static_cast<int>(ListingLabels::Prefix));
    ChkAlign->setEnabled(!basic && !c);
    ChkHeader->setEnabled(!basic);
    EditHeaderAddress->setEnabled(!basic && ChkHeader->isChecked());
    GroupBasic->setEnabled(basic);
    EditLoaderAddress->setEnabled(ChkLoader->isChecked());
}

void TFormExportListing::OptionsChanged()
{
    if (m_showing) return;
    EnableForDialect();
    UpdatePreview();
    ListPresets();
}

void TFormExportListing::UpdatePreview()
{
    m_ready = false;
    m_output.clear();
    m_text.clear();
    QString problem;
    ListingOptions options;
    if (ReadOptions(options, problem))
    {
        const Document& document = m_host.document();
        ListingOutput out =
            FormatListing(document.bank, m_first, m_last, options, SpriteNameTable(document.extras));
        problem = ProblemText(out, options);
        if (out.problem == ListingProblem::None)
        {
            m_options = options;
            m_output.swap(out.bytes);
            m_ready = true;
            std::vector<BasicLine> lines;
            if (options.prg && options.dialect == ListingDialect::Basic && DetokeniseBasic(m_output, lines))
            {
                m_text = QString::fromStdString(BasicLinesToText(lines));
                problem = QStringLiteral("A tokenised program of %1 bytes, shown as LIST shows it.")
                              .arg(m_output.size());
            }
            else
                m_text = QString::fromUtf8(reinterpret_cast<const char*>(m_output.data()),
                                           static_cast<int>(m_output.size()));
        }
    }
    MemoPreview->setPlainText(m_text);
    LabelStatus->setText(problem);
    BtnCopy->setEnabled(m_ready);
    BtnSave->setEnabled(m_ready);
    BtnSavePreset->setEnabled(m_ready);
}

void TFormExportListing::ListPresets()
{
    const std::vector<ListingPreset>& presets = m_host.document().extras.exportPresets;
    QStringList names{QStringLiteral("(none)")};
    int shown = 0;
    for (std::size_t i = 0; i < presets.size(); ++i)
    {
        names << QString::fromStdString(presets[i].name);
        if (shown == 0 && m_ready && SameOptions(presets[i].options, m_options))
            shown = static_cast<int>(i) + 1;
    }
    const QSignalBlocker quiet(ComboPreset);
    QStringList listed;
    for (int i = 0; i < ComboPreset->count(); ++i)
        listed << ComboPreset->itemText(i);
    if (listed != names)
    {
        ComboPreset->clear();
        ComboPreset->addItems(names);
    }
    ComboPreset->setCurrentIndex(shown);
    BtnDeletePreset->setEnabled(shown > 0);
}

void TFormExportListing::ComboPresetChange(int index)
{
    const std::vector<ListingPreset>& presets = m_host.document().extras.exportPresets;
    if (index < 1 || index > static_cast<int>(presets.size())) return;
    ShowOptions(presets[static_cast<std::size_t>(index - 1)].options);
}

void TFormExportListing::BtnSavePresetClick()
{
    if (!m_ready) return;
    QString name = ComboPreset->currentIndex() > 0 ? ComboPreset->currentText() : QString();
    for (;;)
    {
        QInputDialog dialog(this);
        dialog.setObjectName(QStringLiteral("InputDialog_PresetName"));
        dialog.setWindowTitle(QStringLiteral("Save Preset"));
        dialog.setLabelText(QStringLiteral("Name of the preset:"));
        dialog.setTextValue(name);
        if (dialog.exec() != QDialog::Accepted) return;
        name = dialog.textValue().trimmed();
        // A preset is named as a sprite is: short text without control characters.
        const std::string problem = SpriteNameProblem(name.toStdString());
        if (problem.empty()) break;
        ShowMessage(this, QStringLiteral("Save Preset"),
                    QStringLiteral("This name cannot be kept: it %1.").arg(QString::fromStdString(problem)));
    }
    ProjectExtras& extras = m_host.document().extras;
    const std::string key = name.toStdString();
    auto same = std::find_if(extras.exportPresets.begin(), extras.exportPresets.end(),
                             [&](const ListingPreset& p) { return p.name == key; });
    if (same != extras.exportPresets.end())
    {
        QMessageBox question(QMessageBox::NoIcon, QStringLiteral("Save Preset"),
                             QStringLiteral("Replace the preset \"%1\"?").arg(name),
                             QMessageBox::Yes | QMessageBox::No, this);
        FitCaption(question);
        if (question.exec() != QMessageBox::Yes) return;
        same->options = m_options;
    }
    else
        extras.exportPresets.push_back(ListingPreset{key, m_options});
    m_host.documentChanged(true);
    ListPresets();
}

void TFormExportListing::BtnDeletePresetClick()
{
    std::vector<ListingPreset>& presets = m_host.document().extras.exportPresets;
    const int index = ComboPreset->currentIndex();
    if (index < 1 || index > static_cast<int>(presets.size())) return;
    presets.erase(presets.begin() + (index - 1));
    m_host.documentChanged(true);
    ListPresets();
}

void TFormExportListing::BtnCopyClick()
{
    if (!m_ready) return;
    QApplication::clipboard()->setText(m_text);
    settings::SetValue(kOptionsKey, QString::fromStdString(ListingOptionsToJsonText(m_options)));
    LabelStatus->setText(QStringLiteral("Copied to the clipboard."));
}

void TFormExportListing::BtnSaveClick()
{
    if (!m_ready) return;
    const bool program = m_options.prg && m_options.dialect == ListingDialect::Basic;
    const DialectChoice& choice = ChoiceOf(m_options.dialect);
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveDialog_Listing"));
    dialog.setWindowTitle(QStringLiteral("Export Listing"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {program ? QStringLiteral("BASIC Program (*.prg)") : QString::fromLatin1(choice.filter),
         QStringLiteral("Any File (*.*)")});
    ListEveryFileForAnyFilter(&dialog);
    const QString folder = settings::Value(kFolderKey).toString();
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    dialog.selectFile(program ? QStringLiteral("sprites.prg") : QString::fromLatin1(choice.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().first();
    settings::SetValue(kFolderKey, QFileInfo(path).absolutePath());
    settings::SetValue(kOptionsKey, QString::fromStdString(ListingOptionsToJsonText(m_options)));

    FileResult why;
    if (!WriteWholeFile(path.toUtf8().constData(), m_output.data(), m_output.size(), &why))
    {
        FileMessage(this, QStringLiteral("File Error"), NamingFile(QStringLiteral("Could not write "), path),
                    ReasonText(why));
        return;
    }
    LabelStatus->setText(NamingFile(QStringLiteral("Saved "), path));
}
