// Pictures in and out of the editor: Import Image (its live preview, OK as one undo step,
// Cancel, a dropped picture), Export Image, Copy as Image and Paste Image.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

#include "UiTestSupport.h"
#include "core/SpriteBankStore.h"
#include "ui/Form1.h"
#include "ui/Pictures.h"
#include "ui/tools/FormExportImage.h"
#include "ui/tools/FormImportImage.h"

using namespace kelmora;

namespace
{

constexpr unsigned kViolationRed = 0xFF2020;

// A sprite file read into a bank of its own.
struct LoadedBank
{
    std::vector<u8> block = std::vector<u8>(kBlockBytes, 0);
    SpriteBank bank{};
    LoadedBank() { bank.sprites = block.data(); }
};

// The example walk cycle: 16 sprites, each multicolour body with a hires outline on top.
void LoadWalker(LoadedBank& walker)
{
    QVERIFY(LoadProject(&walker.bank, KELMORA_SOURCE_DIR "/examples/walker.kmd") == 1);
    QCOMPARE(walker.bank.spriteCount, 16);
}

// Slots first..last of a bank as the browser draws them, in the built-in palette.
QImage Sheet(const SpriteBank& bank, int first, int last, int columns, int scale)
{
    return ToQImage(RenderSheet(bank, first, last, columns, scale, kBuiltInPalette));
}

bool SamePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (uitest::Rgb(a, x, y) != uitest::Rgb(b, x, y)) return false;
    return true;
}

int CountPixels(const QImage& image, unsigned rgb)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += uitest::Rgb(image, x, y) == rgb ? 1 : 0;
    return n;
}

QByteArray Block(const TForm1& w)
{
    return QByteArray(reinterpret_cast<const char*>(w.document().bank.sprites), kBlockBytes);
}

// A file dropped on the window from the desktop.
void Drop(TForm1& w, const QString& path)
{
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at(300, 200);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
}

// Runs answer on the Import Image window once it is the active modal window (other
// modal windows before it are left to their own answers).
void PollForImport(const std::shared_ptr<std::function<void(TFormImportImage&)>>& answer, int attempts)
{
    auto* dialog = qobject_cast<TFormImportImage*>(QApplication::activeModalWidget());
    if (dialog && dialog->isVisible())
    {
        (*answer)(*dialog);
        if (dialog->isVisible()) dialog->reject();
        return;
    }
    if (attempts > 0) QTimer::singleShot(10, [answer, attempts] { PollForImport(answer, attempts - 1); });
}

// Runs start, answers the Import Image window it opens with answer (which closes it or
// leaves it to be cancelled) and waits until every modal window has closed. Fails when no
// such window came.
void WithImportDialog(const std::function<void()>& start,
                      const std::function<void(TFormImportImage&)>& answer)
{
    auto seen = std::make_shared<bool>(false);
    auto run = std::make_shared<std::function<void(TFormImportImage&)>>(
        [seen, answer](TFormImportImage& dialog)
        {
            *seen = true;
            answer(dialog);
        });
    QTimer::singleShot(0, [run] { PollForImport(run, 500); });
    start();
    QTRY_VERIFY(*seen);
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

QString Text(const QWidget& dialog, const char* label)
{
    return uitest::Child<QLabel>(dialog, label)->text();
}

// A picture of the walk cycle at scale 2 in rows of four, written as a PNG.
QString WalkerPng(const QTemporaryDir& dir, QImage* sheet = nullptr)
{
    LoadedBank walker;
    LoadWalker(walker);
    const QImage picture = Sheet(walker.bank, 0, 15, 4, 2);
    const QString path = dir.filePath(QStringLiteral("walker.png"));
    if (!picture.save(path, "PNG")) return {};
    if (sheet) *sheet = picture;
    return path;
}

} // namespace

class ImportImageTest : public QObject
{
    Q_OBJECT
  private slots:
    void previewFollowsSettings();
    void animatedGifFramesOneAfterAnother();
    void okIsOneUndoStep();
    void cancelChangesNothing();
    void unreadablePictureIsReported();
    void exportWritesTheSheet();
    void clipboardRoundTrip();
    void pasteImageNeedsAPicture();
};

void ImportImageTest::previewFollowsSettings()
{
    QTemporaryDir dir;
    QImage sheet;
    const QString png = WalkerPng(dir, &sheet);
    QVERIFY(!png.isEmpty());
    auto w = uitest::NewWindow();

    struct Seen
    {
        QString scaleShown, plain, overlay, twoColumns;
        int redPlain = 0, redOverlay = 0;
        bool overlayIsSheet = false, leftIsSheet = false, rightIsEmpty = false;
    } seen;
    WithImportDialog([&] { Drop(*w, png); },
                     [&](TFormImportImage& d)
                     {
                         uitest::Child<QSpinBox>(d, "Spin_Zoom")->setValue(1);
                         seen.scaleShown = uitest::Child<QSpinBox>(d, "Spin_Scale")->text();
                         seen.plain = Text(d, "Label_Result");
                         seen.redPlain = CountPixels(uitest::Shown(d, "PaintBox_Result"), kViolationRed);

                         // Overlay pairs show every pixel: the sprites draw the picture itself.
                         uitest::Child<QCheckBox>(d, "Chk_Overlay")->setChecked(true);
                         seen.overlay = Text(d, "Label_Result");
                         const QImage overlay = uitest::Shown(d, "PaintBox_Result");
                         seen.redOverlay = CountPixels(overlay, kViolationRed);
                         seen.overlayIsSheet = SamePixels(overlay, sheet);

                         // Two columns: only the left half of the picture becomes sprites.
                         uitest::Child<QSpinBox>(d, "Spin_Columns")->setValue(2);
                         seen.twoColumns = Text(d, "Label_Result");
                         const QImage half = uitest::Shown(d, "PaintBox_Result");
                         seen.leftIsSheet = SamePixels(half.copy(0, 0, 96, 168), sheet.copy(0, 0, 96, 168));
                         const unsigned empty = d.palette().color(QPalette::Dark).rgb() & 0xFFFFFFu;
                         seen.rightIsEmpty = CountPixels(half.copy(96, 0, 96, 168), empty) == 96 * 168;
                         uitest::Child<QPushButton>(d, "Btn_Cancel")->click();
                     });
    QCOMPARE(seen.scaleShown, QStringLiteral("Auto (2)"));
    QVERIFY2(seen.plain.contains(QStringLiteral("16 cells (4 x 4 at scale 2) give 16 sprites")),
             qPrintable(seen.plain));
    QVERIFY2(seen.plain.contains(QStringLiteral("in 8 cells cannot be shown exactly")),
             qPrintable(seen.plain));
    QVERIFY(seen.redPlain > 0);
    QVERIFY2(seen.overlay.contains(QStringLiteral("with 8 overlay pairs")), qPrintable(seen.overlay));
    QVERIFY(seen.overlay.contains(QStringLiteral("Every pixel is shown exactly")));
    QCOMPARE(seen.redOverlay, 0);
    QVERIFY(seen.overlayIsSheet);
    QVERIFY2(seen.twoColumns.contains(QStringLiteral("8 cells (2 x 4 at scale 2)")),
             qPrintable(seen.twoColumns));
    QVERIFY(seen.leftIsSheet);
    QVERIFY(seen.rightIsEmpty);
}

void ImportImageTest::animatedGifFramesOneAfterAnother()
{
    if (!GifSupported()) QSKIP("built without a GIF encoder");
    LoadedBank walker;
    LoadWalker(walker);
    // Four frames, each an overlay pair of the walk drawn as one picture at scale 2.
    const std::vector<std::uint8_t> gif =
        EncodeFramesGif(walker.bank, {{0, 4}, {2, 4}, {4, 4}, {6, 4}}, 2, kBuiltInPalette, true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("walk.gif"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(reinterpret_cast<const char*>(gif.data()), static_cast<qint64>(gif.size())),
             static_cast<qint64>(gif.size()));
    file.close();

    auto w = uitest::NewWindow();
    uitest::Child<QScrollBar>(*w, "ScrollBar1")->setValue(30);
    QString picture, result;
    uitest::AnswerFileDialog(path);
    WithImportDialog([&] { uitest::Child<QAction>(*w, "Mnu_ImportImage")->trigger(); },
                     [&](TFormImportImage& d)
                     {
                         picture = Text(d, "Label_Picture");
                         uitest::Child<QCheckBox>(d, "Chk_Overlay")->setChecked(true);
                         result = Text(d, "Label_Result");
                         uitest::Child<QPushButton>(d, "Btn_OK")->click();
                     });
    QCOMPARE(picture, QStringLiteral("Picture: walk.gif, 48 x 42, 4 frames one below the other"));
    QVERIFY2(
        result.contains(QStringLiteral("4 cells (1 x 1 at scale 2) give 8 sprites, with 4 overlay pairs")),
        qPrintable(result));
    const SpriteBank& bank = w->document().bank;
    QCOMPARE(bank.spriteCount, 38);
    QVERIFY(SamePixels(Sheet(bank, 30, 37, 2, 1), Sheet(walker.bank, 0, 7, 2, 1)));
}

void ImportImageTest::okIsOneUndoStep()
{
    QTemporaryDir dir;
    const QString png = WalkerPng(dir);
    auto w = uitest::NewWindow();
    uitest::SetQuantity(*w, 10);
    uitest::Child<QScrollBar>(*w, "ScrollBar1")->setValue(3);
    QCOMPARE(w->document().bank.currentSprite, 3);
    const QByteArray before = Block(*w);
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());

    QString placement;
    WithImportDialog([&] { Drop(*w, png); },
                     [&](TFormImportImage& d)
                     {
                         uitest::Child<QCheckBox>(d, "Chk_Overlay")->setChecked(true);
                         placement = Text(d, "Label_Placement");
                         uitest::Child<QPushButton>(d, "Btn_OK")->click();
                     });
    QVERIFY2(placement.contains(QStringLiteral("slots 3 to 18")), qPrintable(placement));
    QVERIFY2(placement.contains(QStringLiteral("Quantity rises from 10 to 19")), qPrintable(placement));

    // The sprites draw as the walker does, with its shared colours; Quantity holds them.
    LoadedBank walker;
    LoadWalker(walker);
    const SpriteBank& bank = w->document().bank;
    QVERIFY(SamePixels(Sheet(bank, 3, 18, 4, 1), Sheet(walker.bank, 0, 15, 4, 1)));
    QCOMPARE(bank.spriteCount, 19);
    QCOMPARE(uitest::Child<QLineEdit>(*w, "Edit2")->text(), QStringLiteral("19"));
    QCOMPARE(uitest::Child<QScrollBar>(*w, "ScrollBar1")->maximum(), 18);
    // The shared colours the picture shows (its own colour 10 and multi-colour 1 look alike).
    QCOMPARE(int(bank.colourTransp), 14);
    QCOMPARE(int(bank.colourMulti1), 5);
    QCOMPARE(int(bank.colourMulti2), 9);
    QCOMPARE(bank.rangeStart, 3);
    QCOMPARE(bank.rangeEnd, 18);
    QVERIFY(Block(*w) != before);

    // One step undoes all of it.
    QAction* undo = uitest::Child<QAction>(*w, "Mnu_Undo");
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(Block(*w), before);
    QVERIFY(!undo->isEnabled());
}

void ImportImageTest::cancelChangesNothing()
{
    QTemporaryDir dir;
    const QString png = WalkerPng(dir);
    auto w = uitest::NewWindow();
    const QByteArray before = Block(*w);
    const SpriteBank old = w->document().bank;

    // Cancel after changing settings.
    WithImportDialog([&] { Drop(*w, png); },
                     [&](TFormImportImage& d)
                     {
                         uitest::Child<QCheckBox>(d, "Chk_Overlay")->setChecked(true);
                         uitest::Child<QSpinBox>(d, "Spin_Count")->setValue(3);
                         uitest::Child<QPushButton>(d, "Btn_Cancel")->click();
                     });
    // OK with the document's own shared colours kept: only the sprites change.
    QString placement;
    WithImportDialog([&] { Drop(*w, png); },
                     [&](TFormImportImage& d)
                     {
                         QCOMPARE(Block(*w), before);
                         uitest::Child<QCheckBox>(d, "Chk_SetColours")->setChecked(false);
                         placement = Text(d, "Label_Placement");
                         uitest::Child<QPushButton>(d, "Btn_OK")->click();
                     });
    const SpriteBank& bank = w->document().bank;
    QVERIFY(placement.contains(QStringLiteral("The shared colours stay as they are.")));
    QCOMPARE(bank.spriteCount, old.spriteCount);
    QCOMPARE(int(bank.colourTransp), int(old.colourTransp));
    QCOMPARE(int(bank.colourMulti1), int(old.colourMulti1));
    QCOMPARE(int(bank.colourMulti2), int(old.colourMulti2));
    QVERIFY(Block(*w) != before);
}

void ImportImageTest::unreadablePictureIsReported()
{
    QTemporaryDir dir;
    const QString fake = dir.filePath(QStringLiteral("notes.png"));
    QFile file(fake);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(3 + 64, '\1')); // the size of a one-sprite project
    file.close();
    auto w = uitest::NewWindow();
    const QByteArray before = Block(*w);

    uitest::ClearLastMessage();
    uitest::AnswerMessage(QStringLiteral("OK"));
    Drop(*w, fake);
    QTRY_COMPARE(uitest::LastMessage().title, QStringLiteral("File Error"));
    QCOMPARE(uitest::LastMessage().text, QStringLiteral("Could not read ") + QDir::toNativeSeparators(fake));
    QCOMPARE(uitest::LastMessage().detail,
             QStringLiteral("it is not a picture Kelmora can read (PNG, GIF or BMP)"));
    QCOMPARE(Block(*w), before);
    QCOMPARE(w->document().bank.spriteCount, 32);
}

void ImportImageTest::exportWritesTheSheet()
{
    QTemporaryDir dir;
    const QString kmd = dir.filePath(QStringLiteral("walker.kmd"));
    QVERIFY(QFile::copy(QStringLiteral(KELMORA_SOURCE_DIR "/examples/walker.kmd"), kmd));
    auto w = uitest::NewWindow();
    w->DropFile(kmd);
    QCOMPARE(w->document().bank.spriteCount, 16);
    uitest::Child<QScrollBar>(*w, "ScrollBar1")->setValue(2);
    QTest::mouseClick(uitest::Child<QWidget>(*w, "PaintBox_Browser"), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(5 * 48 + 10, 42 + 10)); // sprite 13
    QCOMPARE(w->document().bank.rangeStart, 2);
    QCOMPARE(w->document().bank.rangeEnd, 13);

    // Runs Export Image with these choices, answering its file dialog with path and,
    // when the write fails, the message that follows with OK.
    const auto exportTo = [&](const QString& path, int columns, int scale, bool fails = false)
    {
        uitest::WhenModal(
            [=](QWidget* modal)
            {
                auto* d = qobject_cast<TFormExportImage*>(modal);
                if (!d)
                {
                    modal->close();
                    return;
                }
                uitest::Child<QSpinBox>(*d, "Spin_Columns")->setValue(columns);
                uitest::Child<QSpinBox>(*d, "Spin_Scale")->setValue(scale);
                uitest::WhenModal(
                    [path, fails](QWidget* files)
                    {
                        auto* dialog = qobject_cast<QFileDialog*>(files);
                        if (!dialog) return;
                        if (fails) uitest::AnswerMessage(QStringLiteral("OK"));
                        dialog->selectFile(path);
                        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
                    });
                uitest::Child<QPushButton>(*d, "Btn_Save")->click();
                // A refused write keeps the window open under its message.
                if (d->isVisible()) d->reject();
            });
        uitest::Child<QAction>(*w, "Mnu_ExportImage")->trigger();
        QTRY_VERIFY(!QApplication::activeModalWidget());
    };
    const SpriteBank& bank = w->document().bank;
    const QString png = dir.filePath(QStringLiteral("walk.png"));
    exportTo(png, 5, 3);
    QImage written(png, "PNG");
    QVERIFY(!written.isNull());
    QVERIFY(SamePixels(written, Sheet(bank, 2, 13, 5, 3)));
    QCOMPARE(written.size(), QSize(5 * 72, 3 * 63));

    const QString bmp = dir.filePath(QStringLiteral("walk.bmp"));
    exportTo(bmp, 12, 1);
    QFile bmpFile(bmp);
    QVERIFY(bmpFile.open(QIODevice::ReadOnly));
    const QByteArray header = bmpFile.read(30);
    QVERIFY(header.startsWith("BM"));
    QCOMPARE(int(header[28]), 32); // bits a pixel
    QVERIFY(SamePixels(QImage(bmp, "BMP"), Sheet(bank, 2, 13, 12, 1)));

    // A file that cannot be written is reported with the reason, and nothing is left.
    QFile blocker(dir.filePath(QStringLiteral("plain")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString impossible = dir.filePath(QStringLiteral("plain/walk.png"));
    uitest::ClearLastMessage();
    exportTo(impossible, 8, 2, true);
    QCOMPARE(uitest::LastMessage().title, QStringLiteral("File Error"));
    QCOMPARE(uitest::LastMessage().text,
             QStringLiteral("Could not write ") + QDir::toNativeSeparators(impossible));
    QCOMPARE(uitest::LastMessage().detail, QStringLiteral("Not a directory"));
}

void ImportImageTest::clipboardRoundTrip()
{
    QTemporaryDir dir;
    const QString kmd = dir.filePath(QStringLiteral("walker.kmd"));
    QVERIFY(QFile::copy(QStringLiteral(KELMORA_SOURCE_DIR "/examples/walker.kmd"), kmd));
    auto w = uitest::NewWindow();
    w->DropFile(kmd);
    uitest::Child<QAction>(*w, "Mnu_SelectAll")->trigger();
    QGuiApplication::clipboard()->clear();

    uitest::Child<QAction>(*w, "Mnu_CopyImage")->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    const SpriteBank& bank = w->document().bank;
    QVERIFY(SamePixels(copied, Sheet(bank, 0, 15, 8, 1))); // as the browser lays them out, at scale 1
    QAction* paste = uitest::Child<QAction>(*w, "Mnu_PasteImage");
    QVERIFY(paste->isEnabled());
    QCOMPARE(paste->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+V")));
    QCOMPARE(uitest::Child<QAction>(*w, "Mnu_CopyImage")->shortcut(),
             QKeySequence(QStringLiteral("Ctrl+Shift+C")));

    uitest::SetQuantity(*w, 40);
    uitest::Child<QScrollBar>(*w, "ScrollBar1")->setValue(20);
    WithImportDialog([&] { paste->trigger(); },
                     [&](TFormImportImage& d)
                     {
                         uitest::Child<QCheckBox>(d, "Chk_Overlay")->setChecked(true);
                         uitest::Child<QPushButton>(d, "Btn_OK")->click();
                     });
    QCOMPARE(bank.spriteCount, 40);
    QVERIFY(SamePixels(Sheet(bank, 20, 35, 8, 1), copied));
    // The document's own shared colours show the picture as well, so they stay, and the
    // sprites that were there look as before.
    QCOMPARE(int(bank.colourMulti1), 10);
    QVERIFY(SamePixels(Sheet(bank, 0, 15, 8, 1), copied));
}

void ImportImageTest::pasteImageNeedsAPicture()
{
    auto w = uitest::NewWindow();
    QAction* paste = uitest::Child<QAction>(*w, "Mnu_PasteImage");
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("some text"));
    QTRY_VERIFY(!paste->isEnabled());
    QImage picture(24, 21, QImage::Format_RGB32);
    picture.fill(Qt::white);
    clipboard->setImage(picture);
    QTRY_VERIFY(paste->isEnabled());
    clipboard->clear();
    QTRY_VERIFY(!paste->isEnabled());
    // A window opened while the clipboard holds no picture starts with it disabled.
    auto second = uitest::NewWindow();
    QVERIFY(!uitest::Child<QAction>(*second, "Mnu_PasteImage")->isEnabled());
}

QTEST_MAIN(ImportImageTest)
#include "importimage_test.moc"
