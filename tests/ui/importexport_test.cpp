// File > Import... and File > Export...: the two dialogs and what they read and write.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

#include <sys/stat.h>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/tools/FormExportSprites.h"
#include "ui/tools/FormImportSprites.h"

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
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(data), data.size());
}

QByteArray Pattern(int size, int seed)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + seed) % 251);
    return data;
}

QByteArray Block(const TForm1& w, int sprites = 256)
{
    return QByteArray(reinterpret_cast<const char*>(w.document().bank.sprites), sprites * kSpriteBytes);
}

// The radio buttons of a group from top to bottom: "objectName=caption" with a "*" when checked.
QStringList Radios(QGroupBox* group)
{
    QList<QRadioButton*> radios = group->findChildren<QRadioButton*>();
    std::sort(radios.begin(), radios.end(),
              [](QRadioButton* a, QRadioButton* b) { return a->geometry().y() < b->geometry().y(); });
    QStringList out;
    for (QRadioButton* r : radios)
        out << r->objectName() + QLatin1Char('=') + r->text() +
                   (r->isChecked() ? QStringLiteral("*") : QString());
    return out;
}

// Answers the file dialog that the next button opens; an empty path cancels it.
// name receives the name the dialog proposed.
void AnswerFileDialog(const QString& path, QString* name = nullptr, QString* title = nullptr)
{
    uitest::WhenModal(
        [path, name, title](QWidget* modal)
        {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog)
            {
                modal->close();
                return;
            }
            if (name)
            {
                auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                *name = edit ? edit->text() : QString();
            }
            if (title) *title = dialog->windowTitle();
            if (path.isEmpty())
            {
                dialog->reject();
                return;
            }
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        });
}

// What happened inside the import dialog.
struct ImportRun
{
    QString question; // the question about unsaved changes, answered with Discard
    bool shown = false;
    bool message = false; // a message box came up
    bool stayedOpenAfterMessage = false;
};

// Waits for the message box that may follow a refused import and answers it with OK;
// stops once the import dialog has closed.
void AnswerRefusal(const std::shared_ptr<ImportRun>& run, const QPointer<QWidget>& dialog, int attempts)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (qobject_cast<QMessageBox*>(modal))
    {
        run->message = true;
        uitest::AnswerMessage(QStringLiteral("OK"));
        return;
    }
    if (!dialog || !dialog->isVisible() || attempts <= 0) return;
    QTimer::singleShot(10, [run, dialog, attempts] { AnswerRefusal(run, dialog, attempts - 1); });
}

// Drives the import dialog (see Import); a question about unsaved changes before it is
// answered with Discard.
void DriveImport(const std::shared_ptr<ImportRun>& run, const char* fileKind, const char* attrFormat,
                 const QString& path)
{
    uitest::WhenModal(
        [run, fileKind, attrFormat, path](QWidget* modal)
        {
            if (auto* box = qobject_cast<QMessageBox*>(modal); box && run->question.isEmpty())
            {
                run->question = box->text();
                DriveImport(run, fileKind, attrFormat, path);
                box->button(QMessageBox::Discard)->click();
                return;
            }
            auto* dialog = qobject_cast<TFormImport*>(modal);
            if (!dialog)
            {
                modal->close();
                return;
            }
            run->shown = true;
            dialog->findChild<QRadioButton*>(QString::fromLatin1(fileKind))->click();
            dialog->findChild<QRadioButton*>(QString::fromLatin1(attrFormat))->click();
            uitest::WhenModal(
                [run, dialog, path](QWidget* next)
                {
                    auto* files = qobject_cast<QFileDialog*>(next);
                    if (!files)
                    {
                        next->close();
                        return;
                    }
                    QPointer<QWidget> watched(dialog);
                    QTimer::singleShot(0, [run, watched] { AnswerRefusal(run, watched, 300); });
                    files->selectFile(path);
                    static_cast<QDialog*>(files)->accept();
                });
            dialog->Button1->click();
            if (run->message)
            {
                run->stayedOpenAfterMessage = dialog->isVisible();
                dialog->Button2->click();
            }
        });
}

// File > Import with the given radio buttons chosen and path picked in its file dialog.
// A refused file is answered with OK and the dialog is then cancelled.
ImportRun Import(TForm1& w, const char* fileKind, const char* attrFormat, const QString& path)
{
    auto run = std::make_shared<ImportRun>();
    DriveImport(run, fileKind, attrFormat, path);
    uitest::Child<QAction>(w, "Import1")->trigger();
    return *run;
}

// What the import's file dialog offered for a raw file's colour side file.
struct SideOffer
{
    bool shown = false; // the import dialog came up
    bool visible = false;
    bool checked = false;
    QString text;
};

// File > Import with "Auto Detect" and "Kelmora" of path; the side-file box is read as the file dialog
// shows it and unticked first when untick is set.
SideOffer ImportOfferingColours(TForm1& w, const QString& path, bool untick)
{
    auto offer = std::make_shared<SideOffer>();
    uitest::WhenModal(
        [offer, path, untick](QWidget* modal)
        {
            auto* dialog = qobject_cast<TFormImport*>(modal);
            if (!dialog)
            {
                modal->close();
                return;
            }
            offer->shown = true;
            uitest::WhenModal(
                [offer, path, untick, dialog](QWidget* next)
                {
                    auto* files = qobject_cast<QFileDialog*>(next);
                    if (!files)
                    {
                        next->close();
                        return;
                    }
                    QCheckBox* box = dialog->CheckSideColours;
                    files->setDirectory(QFileInfo(path).absolutePath());
                    files->selectFile(QFileInfo(path).fileName());
                    // Typed into the name box, as a user does (selectFile leaves a focused box
                    // alone); the side-file box follows at once.
                    if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                        name->setText(QFileInfo(path).fileName());
                    offer->visible = box->isVisible();
                    offer->checked = box->isChecked();
                    offer->text = box->text();
                    if (untick && box->isVisible())
                        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
                    static_cast<QDialog*>(files)->accept();
                });
            dialog->RadioAuto->click();
            dialog->RadioKelmora->click(); // the editor's own attribute bytes
            dialog->Button1->click();
            if (dialog->isVisible()) dialog->Button2->click();
        });
    uitest::Child<QAction>(w, "Import1")->trigger();
    return *offer;
}

using uitest::ListedNames;

} // namespace

class ImportExportTest : public QObject
{
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString Tmp(const QString& name) const { return m_dir->filePath(name); }

  private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        uitest::ClearLastMessage();
    }

    void importDialogAndCancel();
    void importAutoDetectAndRaw();
    void importRefusalAndIgnore();
    void importOffersARawFilesOwnColours();
    void importRealFiles();
    void anyFileListsNamesWithoutDot();
    void exportDialogAndLoadAddress();
    void exportFiles();
    void exportFailureIsReported();
};

void ImportExportTest::importDialogAndCancel()
{
    auto w = uitest::NewWindow();
    w->Mnu_NegativeClick();
    w->SetFileName(QStringLiteral("mine.kmd"));
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    const QByteArray before = Block(*w);

    QString title, group1, group2, ok, cancel, filters, suffix;
    QStringList radios1, radios2;
    QPoint offset;
    // Unsaved changes: asked first; Cancel there opens no dialog.
    uitest::AnswerMessage(QStringLiteral("Cancel"));
    uitest::Child<QAction>(*w, "Import1")->trigger();
    QCOMPARE(uitest::LastMessage().text, QStringLiteral("Save changes to mine.kmd?"));
    QTest::qWait(50);
    QVERIFY(!w->findChild<TFormImport*>());

    uitest::AnswerMessageThen(QStringLiteral("Discard"),
                              [&]
                              {
                                  uitest::WhenModal(
                                      [&](QWidget* modal)
                                      {
                                          auto* d = qobject_cast<TFormImport*>(modal);
                                          if (!d)
                                          {
                                              modal->close();
                                              return;
                                          }
                                          title = d->windowTitle();
                                          offset =
                                              d->frameGeometry().topLeft() - w->frameGeometry().topLeft();
                                          group1 = d->GroupBox1->title();
                                          group2 = d->GroupBox2->title();
                                          radios1 = Radios(d->GroupBox1);
                                          radios2 = Radios(d->GroupBox2);
                                          ok = d->Button1->text();
                                          cancel = d->Button2->text();
                                          filters = d->OpenDialog1->nameFilters().join(QLatin1Char('|'));
                                          suffix = d->OpenDialog1->defaultSuffix();
                                          d->Button2->click();
                                      });
                              });
    uitest::Child<QAction>(*w, "Import1")->trigger();

    QCOMPARE(title, QStringLiteral("Import"));
    QCOMPARE(offset, QPoint(80, 20));
    QCOMPARE(group1, QStringLiteral("File Format"));
    QCOMPARE(radios1,
             (QStringList{QStringLiteral("RadioAuto=Auto Detect*"), QStringLiteral("RadioRaw=Raw Data"),
                          QStringLiteral("RadioPrg=PRG File")}));
    QCOMPARE(group2, QStringLiteral("Atrribute Byte Format"));
    QCOMPARE(radios2, (QStringList{QStringLiteral("RadioSeuck=SEUCK (XXXM:CCCC)*"),
                                   QStringLiteral("RadioKelmora=Kelmora (MXXO:CCCC)"),
                                   QStringLiteral("RadioIgnore=Ignore")}));
    QCOMPARE(ok, QStringLiteral("OK"));
    QCOMPARE(cancel, QStringLiteral("Cancel"));
    QCOMPARE(filters, QStringLiteral("Any File (*.*)"));
    QVERIFY(suffix.isEmpty());

    // Cancelled: nothing happened. The title, its mark, the history and the sprites stay.
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - mine.kmd*"));
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    QCOMPARE(Block(*w), before);
    QCOMPARE(w->document().bank.spriteCount, 32);
    QVERIFY(!w->findChild<TFormImport*>()); // the dialog is gone
}

void ImportExportTest::importAutoDetectAndRaw()
{
    const QString path = Tmp(QStringLiteral("game.bin"));
    const QByteArray data = Pattern(8130, 5);
    WriteAll(path, data);

    auto w = uitest::NewWindow();
    uitest::Child<QScrollBar>(*w, "ScrollBar1")->setValue(7);
    w->Mnu_NegativeClick();

    ImportRun run = Import(*w, "RadioAuto", "RadioKelmora", path);
    QCOMPARE(run.question, QStringLiteral("Save changes to Untitled.spr?"));
    QVERIFY(run.shown);
    QVERIFY(!run.message);
    QCOMPARE(w->document().bank.spriteCount, 127);
    QCOMPARE(uitest::Child<QLineEdit>(*w, "Edit2")->text(), QStringLiteral("127"));
    QCOMPARE(uitest::Child<QScrollBar>(*w, "ScrollBar1")->maximum(), 126);
    QCOMPARE(Block(*w, 127), data.mid(2)); // read as PRG: the two address bytes skipped
    QCOMPARE(GetAttribute(w->document().bank.sprites, 127), 133);
    QCOMPARE(w->document().bank.currentSprite, 0);
    QCOMPARE(w->document().bank.rangeEnd, 0);
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr"));
    QCOMPARE(int(w->document().bank.colourTransp), 11); // the shared colours stay

    run = Import(*w, "RadioRaw", "RadioKelmora", path);
    QVERIFY(!run.message);
    QCOMPARE(w->document().bank.spriteCount, 127);
    QCOMPARE(Block(*w, 127), data.left(127 * 64)); // the same bytes, two further on

    // The default SEUCK layout moves bit 4 to the multicolour bit.
    QByteArray seuck = Pattern(2 + 64, 1);
    seuck[2 + 63] = char(0x1E);
    WriteAll(path, seuck);
    Import(*w, "RadioAuto", "RadioSeuck", path);
    QCOMPARE(w->document().bank.spriteCount, 1);
    QCOMPARE(GetAttribute(w->document().bank.sprites, 0), 0x8E);
}

void ImportExportTest::importOffersARawFilesOwnColours()
{
    // The walker as shipped: 16 sprites and its side file with colours 14, 10, 9.
    const QString walker = Tmp(QStringLiteral("walker.raw"));
    const QByteArray sprites = ReadAll(QStringLiteral(KELMORA_SOURCE_DIR "/examples/walker.raw"));
    const QByteArray colours = ReadAll(QStringLiteral(KELMORA_SOURCE_DIR "/examples/walker.raw.inf"));
    QCOMPARE(colours.size(), 3);
    WriteAll(walker, sprites);
    WriteAll(walker + QStringLiteral(".inf"), colours);
    const QString plain = Tmp(QStringLiteral("plain.raw"));
    WriteAll(plain, sprites);
    const QString odd = Tmp(QStringLiteral("odd.raw"));
    WriteAll(odd, sprites);
    WriteAll(odd + QStringLiteral(".inf"), "\x01\x02\x03\x04"); // no side file: four bytes

    // Unticked, the side file is left out: the colours stay those of the new bank.
    auto w = uitest::NewWindow();
    SideOffer offer = ImportOfferingColours(*w, walker, true);
    QVERIFY(offer.shown);
    QVERIFY(offer.visible);
    QCOMPARE(w->document().bank.spriteCount, 16);
    QCOMPARE(Block(*w, 16), sprites);
    QCOMPARE(int(w->document().bank.colourTransp), 11);

    // Without a valid side file the dialog is as it always was, and the colours stay.
    for (const QString& path : {plain, odd})
    {
        offer = ImportOfferingColours(*w, path, false);
        QVERIFY(offer.shown);
        QVERIFY(!offer.visible);
        QCOMPARE(int(w->document().bank.colourTransp), 11);
    }

    // Offered and ticked: the walker comes in with its own colours.
    offer = ImportOfferingColours(*w, walker, false);
    QVERIFY(offer.shown);
    QVERIFY(offer.visible);
    QVERIFY(offer.checked);
    QCOMPARE(offer.text, QStringLiteral("Use the colours of walker.raw.inf"));
    QCOMPARE(Block(*w, 16), sprites);
    QCOMPARE(int(w->document().bank.colourTransp), int(colours[0]));
    QCOMPARE(int(w->document().bank.colourMulti1), int(colours[1]));
    QCOMPARE(int(w->document().bank.colourMulti2), int(colours[2]));
    // The shared colours are part of what counts as loaded.
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr"));
}

void ImportExportTest::importRefusalAndIgnore()
{
    auto w = uitest::NewWindow();
    SetPixel(w->document().bank.sprites, 2, 3, 4, 1);
    w->RefreshAll();
    const QByteArray before = Block(*w);

    const QString small = Tmp(QStringLiteral("small.prg"));
    WriteAll(small, Pattern(64, 3));
    ImportRun run = Import(*w, "RadioPrg", "RadioSeuck", small);
    QVERIFY(run.message);
    QVERIFY(run.stayedOpenAfterMessage);
    QCOMPARE(uitest::LastMessage().text,
             QStringLiteral("Invalid File Format: ") + QDir::toNativeSeparators(small));
    QCOMPARE(uitest::LastMessage().title, QStringLiteral("Error"));
    QCOMPARE(Block(*w), before);
    QCOMPARE(w->document().bank.spriteCount, 32);

    // Auto Detect refuses only what cannot be read as a file, such as a pipe.
    const QString pipe = Tmp(QStringLiteral("pipe"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    uitest::ClearLastMessage();
    run = Import(*w, "RadioAuto", "RadioKelmora", pipe);
    QVERIFY(run.stayedOpenAfterMessage);
    QCOMPARE(uitest::LastMessage().text,
             QStringLiteral("Invalid File Format: ") + QDir::toNativeSeparators(pipe));
    QCOMPARE(Block(*w), before);

    // Ignore: every imported sprite gets 140, whatever the file held; the rest stay 133.
    QByteArray five = Pattern(5 * 64, 8);
    for (int i = 0; i < 5; ++i)
        five[i * 64 + 63] = char(i * 50);
    const QString path = Tmp(QStringLiteral("five.raw"));
    WriteAll(path, five);
    run = Import(*w, "RadioAuto", "RadioIgnore", path);
    QVERIFY(!run.message);
    QCOMPARE(w->document().bank.spriteCount, 5);
    for (int i = 0; i < 5; ++i)
    {
        QCOMPARE(GetAttribute(w->document().bank.sprites, i), 140);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(w->document().bank.sprites) + i * 64, 63),
                 five.mid(i * 64, 63));
    }
    QCOMPARE(GetAttribute(w->document().bank.sprites, 5), 133);
}

void ImportExportTest::importRealFiles()
{
    const QString dir = QStringLiteral(KELMORA_REALDATA_DIR) + QStringLiteral("/sprites/");
    const QString uridium = dir + QStringLiteral("c64demo_uridium.spr");
    const QString letters = dir + QStringLiteral("uglyuglyugly_sprites3.bin");
    if (!QFileInfo::exists(uridium) || !QFileInfo::exists(letters))
        QSKIP("the real sprite files are not here");

    auto w = uitest::NewWindow();
    Import(*w, "RadioAuto", "RadioKelmora", uridium);
    QCOMPARE(w->document().bank.spriteCount, 46);
    QCOMPARE(Block(*w, 46), ReadAll(uridium).mid(2));

    // A raw file whose first bytes would look like a load address.
    Import(*w, "RadioRaw", "RadioKelmora", letters);
    QCOMPARE(w->document().bank.spriteCount, 10);
    QCOMPARE(Block(*w, 10), ReadAll(letters));
    for (int i = 0; i < 10; ++i)
        QCOMPARE(GetAttribute(w->document().bank.sprites, i), 0x81);
    QCOMPARE(uitest::Child<QLineEdit>(*w, "Edit2")->text(), QStringLiteral("10"));
}

void ImportExportTest::anyFileListsNamesWithoutDot()
{
    WriteAll(Tmp(QStringLiteral("sprites")), Pattern(64, 1));
    WriteAll(Tmp(QStringLiteral("more.bin")), Pattern(64, 2));
    auto w = uitest::NewWindow();
    QStringList listed;
    uitest::WhenModal(
        [&](QWidget* modal)
        {
            auto* d = qobject_cast<TFormImport*>(modal);
            if (!d)
            {
                modal->close();
                return;
            }
            d->OpenDialog1->setDirectory(m_dir->path());
            uitest::WhenModal(
                [&](QWidget* next)
                {
                    if (auto* files = qobject_cast<QFileDialog*>(next))
                    {
                        listed = ListedNames(files, 2);
                        files->reject();
                    }
                    else
                    {
                        next->close();
                    }
                });
            d->Button1->click();
            d->Button2->click();
        });
    uitest::Child<QAction>(*w, "Import1")->trigger();
    QCOMPARE(listed, (QStringList{QStringLiteral("more.bin"), QStringLiteral("sprites")}));
}

void ImportExportTest::exportDialogAndLoadAddress()
{
    auto w = uitest::NewWindow();
    const QByteArray before = Block(*w);
    bool checked = false;
    uitest::WhenModal(
        [&](QWidget* modal)
        {
            auto* d = qobject_cast<TFormExport*>(modal);
            if (!d)
            {
                modal->close();
                return;
            }
            [&]
            {
                const QColor red(Qt::red);
                auto isRed = [&] { return d->Edit1->palette().color(QPalette::Base) == red; };
                QCOMPARE(d->windowTitle(), QStringLiteral("Export"));
                QCOMPARE(d->frameGeometry().topLeft() - w->frameGeometry().topLeft(), QPoint(80, 20));
                QCOMPARE(d->GroupBox1->title(), QStringLiteral("File Format"));
                QCOMPARE(Radios(d->GroupBox1), (QStringList{QStringLiteral("RadioPrg=PRG File*"),
                                                            QStringLiteral("RadioRaw=Raw Data")}));
                QCOMPARE(d->GroupBox2->title(), QStringLiteral("Attribute Byte Format"));
                QCOMPARE(Radios(d->GroupBox2), (QStringList{QStringLiteral("RadioKelmora=Kelmora*"),
                                                            QStringLiteral("RadioSeuck=SEUCK")}));
                QCOMPARE(d->Label1->text(), QStringLiteral("PRG Load Address $"));
                QCOMPARE(d->Edit1->text(), QStringLiteral("8000"));
                QCOMPARE(d->Edit1->maxLength(), 4);
                QCOMPARE(d->BtnOk->text(), QStringLiteral("OK"));
                QCOMPARE(d->BtnCancel->text(), QStringLiteral("Cancel"));
                QVERIFY(d->BtnOk->isEnabled());
                QVERIFY(!isRed());
                QCOMPARE(d->SaveDialog1->windowTitle(), QStringLiteral("Export Sprites"));
                QCOMPARE(d->SaveDialog1->nameFilters(), QStringList{QStringLiteral("Any File (*.*)")});

                // Typed text turns upper case; a letter beyond F makes the address invalid.
                d->Edit1->selectAll();
                QTest::keyClicks(d->Edit1, QStringLiteral("80g0"));
                QCOMPARE(d->Edit1->text(), QStringLiteral("80G0"));
                QVERIFY(isRed());
                QVERIFY(!d->BtnOk->isEnabled());
                d->Edit1->selectAll();
                QTest::keyClicks(d->Edit1, QStringLiteral("c000"));
                QCOMPARE(d->Edit1->text(), QStringLiteral("C000"));
                QVERIFY(!isRed());
                QVERIFY(d->BtnOk->isEnabled());
                QTest::keyClicks(d->Edit1, QStringLiteral("1")); // a fifth digit does not fit
                QCOMPARE(d->Edit1->text(), QStringLiteral("C000"));
                d->Edit1->clear();
                QVERIFY(isRed());
                QVERIFY(!d->BtnOk->isEnabled());

                // Raw Data disables the box but leaves OK as the address made it.
                QTest::keyClicks(d->Edit1, QStringLiteral("8x"));
                QVERIFY(!d->BtnOk->isEnabled());
                d->RadioRaw->click();
                QVERIFY(!d->Edit1->isEnabled());
                QVERIFY(!d->BtnOk->isEnabled());
                d->RadioPrg->click();
                QVERIFY(d->Edit1->isEnabled());
                QVERIFY(!d->BtnOk->isEnabled());
                QTest::keyClick(d->Edit1, Qt::Key_Backspace);
                QCOMPARE(d->Edit1->text(), QStringLiteral("8"));
                QVERIFY(d->BtnOk->isEnabled());
                QVERIFY(!isRed());
                d->RadioRaw->click();
                QVERIFY(d->BtnOk->isEnabled());

                checked = true;
            }();
            d->BtnCancel->click();
        });
    uitest::Child<QAction>(*w, "Export1")->trigger();
    QVERIFY(checked);
    QCOMPARE(Block(*w), before);
    QVERIFY(!w->findChild<TFormExport*>());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 0);

    QCOMPARE(TFormExport::ParseLoadAddress(QStringLiteral("FFFF")), 0xFFFF);
    QCOMPARE(TFormExport::ParseLoadAddress(QStringLiteral("0")), 0);
    QCOMPARE(TFormExport::ParseLoadAddress(QStringLiteral(" 800")), -1);
    QCOMPARE(TFormExport::ParseLoadAddress(QStringLiteral("10000")), -1);
}

void ImportExportTest::exportFiles()
{
    auto w = uitest::NewWindow();
    const QByteArray pattern = Pattern(kBlockBytes, 2);
    std::copy(pattern.begin(), pattern.end(), reinterpret_cast<char*>(w->document().bank.sprites));
    w->document().bank.sprites[63] = 0x9E;
    w->RefreshAll();
    const QByteArray sprites = Block(*w, 32);

    struct Case
    {
        const char* format;
        const char* attribute;
        const char* address; // typed over the proposed "8000"; null keeps it
        const char* file;
        const char* proposed;
        QByteArray head;
        int attribute0;
    };
    const Case cases[] = {
        {"RadioPrg", "RadioKelmora", nullptr, "a.prg", "Sprites.prg", QByteArray("\x00\x80", 2), 0x9E},
        {"RadioRaw", "RadioKelmora", nullptr, "a.raw", "Sprites.raw", QByteArray(), 0x9E},
        {"RadioPrg", "RadioSeuck", "c000", "b.prg", "Sprites.prg", QByteArray("\x00\xC0", 2), 0x1E},
    };
    for (const Case& c : cases)
    {
        const QString path = Tmp(QString::fromLatin1(c.file));
        QString proposed, dialogTitle;
        uitest::WhenModal(
            [&](QWidget* modal)
            {
                auto* d = qobject_cast<TFormExport*>(modal);
                if (!d)
                {
                    modal->close();
                    return;
                }
                d->findChild<QRadioButton*>(QString::fromLatin1(c.format))->click();
                d->findChild<QRadioButton*>(QString::fromLatin1(c.attribute))->click();
                if (c.address)
                {
                    d->Edit1->selectAll();
                    QTest::keyClicks(d->Edit1, QString::fromLatin1(c.address));
                }
                AnswerFileDialog(path, &proposed, &dialogTitle);
                d->BtnOk->click();
            });
        uitest::Child<QAction>(*w, "Export1")->trigger();
        QCOMPARE(proposed, QString::fromLatin1(c.proposed));
        QCOMPARE(dialogTitle, QStringLiteral("Export Sprites"));
        const QByteArray file = ReadAll(path);
        QCOMPARE(file.size(), c.head.size() + 32 * 64);
        QCOMPARE(file.left(c.head.size()), c.head);
        QCOMPARE(int(static_cast<unsigned char>(file[c.head.size() + 63])), c.attribute0);
        QCOMPARE(file.mid(c.head.size(), 63), sprites.left(63));
        if (QLatin1String(c.attribute) == QLatin1String("RadioKelmora"))
            QCOMPARE(file.mid(c.head.size()), sprites);
        QVERIFY(!w->findChild<TFormExport*>());
    }
    // Exporting leaves the window as it was: an export is no project, so the changes stay unsaved.
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr*"));
    QCOMPARE(Block(*w, 32), sprites);
}

void ImportExportTest::exportFailureIsReported()
{
    auto w = uitest::NewWindow();
    const QString plain = Tmp(QStringLiteral("plain"));
    WriteAll(plain, "x");
    const QString path = plain + QStringLiteral("/out.prg");
    bool closedAfter = false;
    uitest::WhenModal(
        [&](QWidget* modal)
        {
            auto* d = qobject_cast<TFormExport*>(modal);
            if (!d)
            {
                modal->close();
                return;
            }
            uitest::WhenModal(
                [path](QWidget* fileDialog)
                {
                    auto* dialog = qobject_cast<QFileDialog*>(fileDialog);
                    if (!dialog)
                    {
                        fileDialog->close();
                        return;
                    }
                    uitest::AnswerMessage(QStringLiteral("OK"));
                    dialog->selectFile(path);
                    static_cast<QDialog*>(dialog)->accept();
                });
            d->BtnOk->click();
            closedAfter = !d->isVisible();
        });
    uitest::Child<QAction>(*w, "Export1")->trigger();
    QCOMPARE(uitest::LastMessage().title, QStringLiteral("File Error"));
    QCOMPARE(uitest::LastMessage().text, QStringLiteral("Could not write ") + QDir::toNativeSeparators(path));
    QVERIFY(closedAfter);
    QCOMPARE(ReadAll(plain), QByteArray("x"));
}

QTEST_MAIN(ImportExportTest)
#include "importexport_test.moc"
