// Sprite names, Tools > Export Listing... and File > Import Listing... in the editor: what
// the user sees of a name, the dialog's preview and presets, and listings read back.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/tools/FormExportListing.h"

using namespace kelmora;

namespace
{

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(data);
}

QByteArray Sprites(const TForm1& w, int first, int count)
{
    return QByteArray(reinterpret_cast<const char*>(w.document().bank.sprites + first * kSpriteBytes),
                      count * kSpriteBytes);
}

// Answers the next text question (a QInputDialog) with text, or cancels it when text is null.
void AnswerText(const QString& text)
{
    uitest::WhenModal(
        [text](QWidget* modal)
        {
            auto* input = qobject_cast<QInputDialog*>(modal);
            if (!input || text.isNull())
            {
                modal->close();
                return;
            }
            input->setTextValue(text);
            input->accept();
        });
}

// What a message box showed before it was closed.
struct Shown
{
    QString title, text, reason;
};
void NoteMessage(Shown* shown, const std::function<void()>& after = {})
{
    uitest::WhenModal(
        [shown, after](QWidget* modal)
        {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                *shown = {box->windowTitle(), box->text(), box->informativeText()};
            modal->close();
            if (after) after();
        });
}

// Runs work inside the Export Listing dialog, then closes it.
void WithExportDialog(TForm1& w, const std::function<void(TFormExportListing&)>& work)
{
    bool opened = false;
    uitest::WhenModal(
        [&](QWidget* modal)
        {
            auto* dialog = qobject_cast<TFormExportListing*>(modal);
            if (dialog)
            {
                opened = true;
                work(*dialog);
            }
            modal->close();
        });
    uitest::Child<QAction>(w, "Mnu_ExportListing")->trigger();
    QVERIFY(opened);
}

void Choose(QComboBox* combo, const QString& caption)
{
    const int index = combo->findText(caption, Qt::MatchStartsWith);
    QVERIFY2(index >= 0, qPrintable(caption));
    combo->setCurrentIndex(index);
}

constexpr int kCell = 48; // browser cell width
QPoint Cell(int index)
{
    return QPoint((index % 8) * kCell + 10, (index / 8) * 42 + 10);
}

int FailCreateTemp(FileStep step, const char*, void*)
{
    return step == FileStep::CreateTemp ? ENOSPC : 0;
}

} // namespace

class ListingsTest : public QObject
{
    Q_OBJECT

  private slots:
    void namingShowsInTheStatusBarAndToolTipAndUndoes()
    {
        auto w = uitest::NewWindow();
        const QPoint three = Cell(3), four = Cell(4);
        w->PaintBox_BrowserMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, three.x(), three.y());
        auto* name = uitest::Child<QLabel>(*w, "Label_SpriteName");
        auto* browser = uitest::Child<QWidget>(*w, "PaintBox_Browser");
        QCOMPARE(name->text(), QString());

        // Spaces around the name are dropped; the name is one undo step.
        AnswerText(QStringLiteral("  boss head "));
        uitest::Child<QAction>(*w, "Mnu_NameSprite")->trigger();
        QCOMPARE(SpriteName(w->document().extras, 3), std::string("boss head"));
        QCOMPARE(name->text(), QStringLiteral("Sprite 3: boss head"));
        w->PaintBox_BrowserMouseMove(Qt::NoButton, Qt::NoModifier, three.x(), three.y());
        QCOMPARE(w->statusBar()->currentMessage(),
                 QStringLiteral("Sprite number : 3 (boss head)  - Use shift to select a range"));
        QCOMPARE(browser->toolTip(), QStringLiteral("Sprite 3: boss head"));
        // An unnamed sprite shows as it always has, without a tip.
        w->PaintBox_BrowserMouseMove(Qt::NoButton, Qt::NoModifier, four.x(), four.y());
        QCOMPARE(w->statusBar()->currentMessage(),
                 QStringLiteral("Sprite number : 4  - Use shift to select a range"));
        QCOMPARE(browser->toolTip(), QString());

        uitest::Child<QAction>(*w, "Mnu_Undo")->trigger();
        QVERIFY(w->document().extras.names.empty());
        QCOMPARE(name->text(), QString());
        uitest::Child<QAction>(*w, "Mnu_Redo")->trigger();
        QCOMPARE(name->text(), QStringLiteral("Sprite 3: boss head"));

        // A name that cannot be kept is refused with the reason and asked again.
        Shown refusal;
        AnswerText(QString(65, QLatin1Char('x')));
        NoteMessage(&refusal, [] { AnswerText(QString()); });
        uitest::Child<QAction>(*w, "Mnu_NameSprite")->trigger();
        QCOMPARE(refusal.title, QStringLiteral("Name Sprite"));
        QCOMPARE(refusal.text, QStringLiteral("This name cannot be kept: it is longer than 64 bytes."));
        QCOMPARE(SpriteName(w->document().extras, 3), std::string("boss head"));

        // An empty name takes the name away, again as one undo step.
        AnswerText(QStringLiteral(""));
        uitest::Child<QAction>(*w, "Mnu_NameSprite")->trigger();
        QVERIFY(w->document().extras.names.empty());
        uitest::Child<QAction>(*w, "Mnu_Undo")->trigger();
        QCOMPARE(SpriteName(w->document().extras, 3), std::string("boss head"));
    }

    void exportPreviewFollowsTheOptionsAndSaves()
    {
        QTemporaryDir dir;
        auto w = uitest::NewWindow();
        w->document().extras.names = {{1, "ship"}};
        const QPoint zero = Cell(0), two = Cell(2);
        w->PaintBox_BrowserMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, zero.x(), zero.y());
        w->PaintBox_BrowserMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier, two.x(), two.y());

        QString sprites, acme, binary, labelled, rows, copied, preview, basicStatus, loaderStatus, saved;
        bool numbersForBasic = true, saveWithBadLoader = true;
        const QString prgPath = dir.filePath(QStringLiteral("s.prg"));
        WithExportDialog(*w,
                         [&](TFormExportListing& d)
                         {
                             sprites = d.LabelSprites->text();
                             Choose(d.ComboDialect, QStringLiteral("ACME"));
                             acme = d.MemoPreview->toPlainText();
                             Choose(d.ComboNumbers, QStringLiteral("Binary"));
                             binary = d.MemoPreview->toPlainText();
                             Choose(d.ComboLabels, QStringLiteral("The sprite's name"));
                             labelled = d.MemoPreview->toPlainText();
                             d.ChkRows->setChecked(true);
                             rows = d.MemoPreview->toPlainText();
                             d.BtnCopy->click();
                             copied = QApplication::clipboard()->text();
                             preview = d.MemoPreview->toPlainText();

                             Choose(d.ComboDialect, QStringLiteral("BASIC"));
                             numbersForBasic = d.ComboNumbers->isEnabled();
                             d.ChkPrg->setChecked(true);
                             basicStatus = d.LabelStatus->text();
                             d.ChkLoader->setChecked(true);
                             d.EditLoaderAddress->setText(QStringLiteral("1000"));
                             loaderStatus = d.LabelStatus->text();
                             saveWithBadLoader = d.BtnSave->isEnabled();
                             d.EditLoaderAddress->setText(QStringLiteral("3000"));
                             uitest::AnswerFileDialog(prgPath);
                             d.BtnSave->click();
                             saved = d.LabelStatus->text();
                         });
        QCOMPARE(sprites, QStringLiteral("Sprites 0-2 (3 sprites)"));
        QVERIFY2(acme.contains(QStringLiteral("; Sprite 2\n\n\t!byte $00,")), qPrintable(acme));
        QVERIFY(!acme.contains(QStringLiteral("; Sprite 3")));
        QVERIFY2(binary.contains(QStringLiteral("\t!byte %00000000,%00000000,")), qPrintable(binary));
        QVERIFY2(labelled.contains(QStringLiteral("; Sprite 1\n\nship\n\t!byte %")), qPrintable(labelled));
        QVERIFY2(rows.contains(QStringLiteral("ship\n\t!byte %00000000,%00000000,%00000000\n")),
                 qPrintable(rows));
        QCOMPARE(copied, preview);
        QVERIFY(!numbersForBasic);
        QVERIFY2(basicStatus.startsWith(QStringLiteral("A tokenised program of ")), qPrintable(basicStatus));
        QVERIFY2(loaderStatus.startsWith(QStringLiteral("The video chip cannot show sprites at $1000")),
                 qPrintable(loaderStatus));
        QVERIFY(!saveWithBadLoader);
        QCOMPARE(saved, QStringLiteral("Saved ") + QDir::toNativeSeparators(prgPath));
        // The program's bytes are the core's for these sprites and options.
        ListingOptions options;
        options.dialect = ListingDialect::Basic;
        options.rows = true;
        options.numbers = ListingNumbers::Binary;
        options.labels = ListingLabels::Names;
        options.prg = true;
        options.loaderAddress = 0x3000;
        const ListingOutput expected =
            FormatListing(w->document().bank, 0, 2, options, SpriteNameTable(w->document().extras));
        QCOMPARE(ReadAll(prgPath), QByteArray(reinterpret_cast<const char*>(expected.bytes.data()),
                                              static_cast<int>(expected.bytes.size())));

        // A failed write says why and leaves nothing behind.
        const QString full = dir.filePath(QStringLiteral("full.prg"));
        SetFileStepHook(FailCreateTemp, nullptr);
        Shown failure;
        WithExportDialog(*w,
                         [&](TFormExportListing& d)
                         {
                             uitest::WhenModal(
                                 [&](QWidget* modal)
                                 {
                                     NoteMessage(&failure);
                                     auto* files = qobject_cast<QFileDialog*>(modal);
                                     files->selectFile(full);
                                     static_cast<QDialog*>(files)->accept();
                                 });
                             d.BtnSave->click();
                         });
        SetFileStepHook(nullptr, nullptr);
        QCOMPARE(failure.title, QStringLiteral("File Error"));
        QCOMPARE(failure.text, QStringLiteral("Could not write ") + QDir::toNativeSeparators(full));
        QCOMPARE(failure.reason, QString::fromLatin1(std::strerror(ENOSPC)));
        QVERIFY(!QFileInfo::exists(full));
    }

    void presetSavedIsOfferedAgainAfterReopeningTheProject()
    {
        QTemporaryDir dir;
        const QString project = dir.filePath(QStringLiteral("p.kmd"));
        auto w = uitest::NewWindow();
        WithExportDialog(*w,
                         [&](TFormExportListing& d)
                         {
                             Choose(d.ComboDialect, QStringLiteral("64tass"));
                             Choose(d.ComboNumbers, QStringLiteral("Decimal"));
                             AnswerText(QStringLiteral("game"));
                             d.BtnSavePreset->click();
                         });
        QCOMPARE(w->document().extras.exportPresets.size(), std::size_t(1));
        // Saving a preset is one undo step.
        uitest::Child<QAction>(*w, "Mnu_Undo")->trigger();
        QVERIFY(w->document().extras.exportPresets.empty());
        uitest::Child<QAction>(*w, "Mnu_Redo")->trigger();
        QCOMPARE(w->document().extras.exportPresets.size(), std::size_t(1));

        uitest::AnswerFileDialog(project);
        uitest::Child<QAction>(*w, "Mnu_SaveProject")->trigger();
        QVERIFY(QFileInfo::exists(project + QStringLiteral(".json")));
        uitest::AnswerMessage(QStringLiteral("Yes"));
        uitest::Child<QAction>(*w, "Mnu_New")->trigger();
        QVERIFY(w->document().extras.exportPresets.empty());
        uitest::AnswerFileDialog(project);
        uitest::Child<QAction>(*w, "Mnu_Open")->trigger();

        QStringList offered;
        QString dialect, numbers, afterDelete;
        WithExportDialog(*w,
                         [&](TFormExportListing& d)
                         {
                             for (int i = 0; i < d.ComboPreset->count(); ++i)
                                 offered << d.ComboPreset->itemText(i);
                             Choose(d.ComboDialect, QStringLiteral("ACME"));
                             d.ComboPreset->setCurrentIndex(1);
                             d.ComboPresetChange(1);
                             dialect = d.ComboDialect->currentText();
                             numbers = d.ComboNumbers->currentText();
                             d.BtnDeletePreset->click();
                             afterDelete = d.ComboPreset->currentText();
                         });
        QCOMPARE(offered, (QStringList{QStringLiteral("(none)"), QStringLiteral("game")}));
        QCOMPARE(dialect, QStringLiteral("64tass"));
        QVERIFY(numbers.startsWith(QStringLiteral("Decimal")));
        QCOMPARE(afterDelete, QStringLiteral("(none)"));
        QVERIFY(w->document().extras.exportPresets.empty());
        uitest::Child<QAction>(*w, "Mnu_Undo")->trigger();
        QVERIFY(FindListingPreset(w->document().extras, "game") != nullptr);
    }

    void importListingAddsSpritesAndNamesAsOneUndoStep()
    {
        QTemporaryDir dir;
        // Three sprites of a bank, listed with the names of two as labels.
        std::vector<u8> block(kBlockBytes);
        for (int i = 0; i < 3 * kSpriteBytes; ++i)
            block[static_cast<std::size_t>(i)] = static_cast<u8>(i * 29 + 3);
        SpriteBank bank{};
        bank.sprites = block.data();
        bank.spriteCount = 3;
        ListingOptions options;
        options.dialect = ListingDialect::Ca65;
        options.labels = ListingLabels::Names;
        std::vector<std::string> names(3);
        names[0] = "ship";
        names[2] = "boss";
        const ListingOutput listing = FormatListing(bank, 0, 2, options, names);
        const QString path = dir.filePath(QStringLiteral("in.s"));
        WriteAll(path, QByteArray(reinterpret_cast<const char*>(listing.bytes.data()),
                                  static_cast<int>(listing.bytes.size())));

        auto w = uitest::NewWindow();
        w->document().extras.names = {{31, "old"}};
        RestartHistory(w->document()); // as a project loaded with its names
        w->SpriteKey(Qt::Key_End, false);
        w->SpriteKey(Qt::Key_Left, false); // sprite 30 of 32
        const QByteArray before = Sprites(*w, 30, 3);
        uitest::AnswerFileDialog(path);
        uitest::Child<QAction>(*w, "Mnu_ImportListing")->trigger();

        const SpriteBank& now = w->document().bank;
        QCOMPARE(Sprites(*w, 30, 3),
                 QByteArray(reinterpret_cast<const char*>(block.data()), 3 * kSpriteBytes));
        QCOMPARE(now.spriteCount, 33);
        QCOMPARE(uitest::Child<QLineEdit>(*w, "Edit2")->text(), QStringLiteral("33"));
        QCOMPARE(w->document().extras.names, (std::map<int, std::string>{{30, "ship"}, {32, "boss"}}));
        QCOMPARE(now.rangeStart, 30);
        QCOMPARE(now.rangeEnd, 32);
        QCOMPARE(w->statusBar()->currentMessage(),
                 QStringLiteral(
                     "Imported 3 sprites into sprites 30-32; Quantity raised from 32 to 33 to hold them."));

        uitest::Child<QAction>(*w, "Mnu_Undo")->trigger();
        QCOMPARE(Sprites(*w, 30, 3), before);
        QCOMPARE(w->document().extras.names, (std::map<int, std::string>{{31, "old"}}));
        QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    }

    void refusedListingChangesNothingAndNamesItsLine()
    {
        QTemporaryDir dir;
        const QString bad = dir.filePath(QStringLiteral("bad.a"));
        WriteAll(bad, "; Sprite 0\n\t!byte 1,2\n\t!byte 3,256\n");
        QByteArray many;
        for (int i = 0; i < 10 * kSpriteBytes; ++i)
            many += "1\n";
        const QString big = dir.filePath(QStringLiteral("many.txt"));
        WriteAll(big, many);

        auto w = uitest::NewWindow();
        const QByteArray before = Sprites(*w, 0, 256);
        Shown refusal;
        uitest::WhenModal(
            [&](QWidget* modal)
            {
                NoteMessage(&refusal);
                auto* files = qobject_cast<QFileDialog*>(modal);
                files->selectFile(bad);
                static_cast<QDialog*>(files)->accept();
            });
        uitest::Child<QAction>(*w, "Mnu_ImportListing")->trigger();
        QCOMPARE(refusal.title, QStringLiteral("Import Listing"));
        QCOMPARE(refusal.text, QStringLiteral("Not imported: ") + QDir::toNativeSeparators(bad));
        QCOMPARE(refusal.reason, QStringLiteral("line 3: 256 is not a byte (0..255)"));

        // Ten sprites have no room from sprite 250 on.
        uitest::SetQuantity(*w, 256);
        w->SpriteKey(Qt::Key_End, false);
        for (int k = 0; k < 5; ++k)
            w->SpriteKey(Qt::Key_Left, false);
        uitest::WhenModal(
            [&](QWidget* modal)
            {
                NoteMessage(&refusal);
                auto* files = qobject_cast<QFileDialog*>(modal);
                files->selectFile(big);
                static_cast<QDialog*>(files)->accept();
            });
        uitest::Child<QAction>(*w, "Mnu_ImportListing")->trigger();
        QCOMPARE(refusal.text,
                 QStringLiteral("The listing holds 10 sprites, and from sprite 250 on there is room "
                                "for only 6. Choose an earlier sprite first."));
        QCOMPARE(Sprites(*w, 0, 256), before);
        QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    }
};

QTEST_MAIN(ListingsTest)
#include "listings_test.moc"
