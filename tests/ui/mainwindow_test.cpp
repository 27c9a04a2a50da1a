// The main window as a user meets it: start-up state, the quantity box, the
// command-line file, closing, palettes and the scroll bars.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/Placement.h"
#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TypeQuantity(TForm1& window, const QString& text)
{
    uitest::Child<QLineEdit>(window, "Edit2")->setFocus();
    uitest::Child<QLineEdit>(window, "Edit2")->selectAll();
    QTest::keyClick(uitest::Child<QLineEdit>(window, "Edit2"), Qt::Key_Backspace);
    QTest::keyClicks(uitest::Child<QLineEdit>(window, "Edit2"), text);
    QTest::keyClick(uitest::Child<QLineEdit>(window, "Edit2"), Qt::Key_Return);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

  private slots:
    void freshStartShowsANewBank()
    {
        auto window = uitest::NewWindow();
        QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - Untitled.spr"));
        QCOMPARE(uitest::Child<QLineEdit>(*window, "Edit2")->text(), QStringLiteral("32"));
        QCOMPARE(window->document().bank.spriteCount, 32);
        QCOMPARE(window->document().bank.currentSprite, 0);
        QCOMPARE(window->document().bank.currentPen, 2);
        QCOMPARE(int(window->document().bank.colourTransp), 11);
        QCOMPARE(int(window->document().bank.colourMulti1), 0);
        QCOMPARE(int(window->document().bank.colourSprite), 5);
        QCOMPARE(int(window->document().bank.colourMulti2), 1);
        QVERIFY(uitest::Child<QRadioButton>(*window, "RadioColourSprite")->isChecked());
        QVERIFY(uitest::Child<QAction>(*window, "Mnu_ColourSprite")->isChecked());
        QVERIFY(uitest::Child<QAction>(*window, "Btn_Brush1")->isChecked());
        QVERIFY(uitest::Child<QCheckBox>(*window, "Chk_MulticolourMode")->isChecked());
        QVERIFY(!uitest::Child<QCheckBox>(*window, "Chk_OverlayNext")->isChecked());
        for (QAction* disabled :
             {uitest::Child<QAction>(*window, "Mnu_Undo"), uitest::Child<QAction>(*window, "Mnu_Redo"),
              uitest::Child<QAction>(*window, "Mnu_Paste"), uitest::Child<QAction>(*window, "Mnu_PasteInto"),
              uitest::Child<QAction>(*window, "Mnu_PasteStyle")})
            QVERIFY2(!disabled->isEnabled(), qPrintable(disabled->objectName()));
        QVERIFY(!window->findChild<QToolButton*>(QStringLiteral("Btn_Undo"))->isEnabled());
        QVERIFY(!window->findChild<QToolButton*>(QStringLiteral("Btn_Paste"))->isEnabled());
        QCOMPARE(uitest::Child<QLabel>(*window, "Label1")->text(), QStringLiteral("000 "));
        QCOMPARE(HistoryPosition(window->document().history), 1);
        QCOMPARE(HistoryTop(window->document().history), 1);
        QCOMPARE(window->centralWidget()->size(), QSize(703, 433));
        QCOMPARE(uitest::Child<QScrollBar>(*window, "ScrollBar1")->maximum(), 31);
        for (int i = 0; i < kSlotCount; ++i)
            QCOMPARE(GetAttribute(window->document().bank.sprites, i), 133);
    }

    void everyNamedControlIsFindable()
    {
        auto window = uitest::NewWindow();
        const char* actions[] = {"Mnu_New",
                                 "Mnu_Open",
                                 "Mnu_SaveProject",
                                 "Import1",
                                 "Export1",
                                 "LoadSpriteFile1",
                                 "SaveSpriteFile1",
                                 "Mnu_SaveBitmap",
                                 "Mnu_Exit",
                                 "Mnu_SelectAll",
                                 "Mnu_Clear",
                                 "Mnu_Cut",
                                 "Mnu_Copy",
                                 "Mnu_Paste",
                                 "Mnu_PasteInto",
                                 "Mnu_CopyStyle",
                                 "Mnu_PasteStyle",
                                 "Mnu_SlideUp",
                                 "Mnu_Negative",
                                 "Mnu_Undo",
                                 "Mnu_Redo",
                                 "Mnu_ColourTransp",
                                 "Mnu_ColourMulti2",
                                 "Mnu_SwapMc1Mc2",
                                 "Mnu_Decimal",
                                 "Mnu_Hex",
                                 "Mnu_ReverseOrder",
                                 "ClearAttributes2",
                                 "ClearAttributes1",
                                 "Clearalloverlayattributes1",
                                 "Mnu_Rotator",
                                 "Mnu_Animator",
                                 "VICESnapshotRipper1",
                                 "PalVantor",
                                 "Mnu_PalOrderStandard",
                                 "Mnu_PalOrderLumPairs",
                                 "Mnu_DoubleScan",
                                 "Mnu_ToolBar_Flat",
                                 "Mnu_ToolBar_Raised",
                                 "Mnu_About",
                                 "Btn_Brush1",
                                 "Btn_Flood"};
        for (const char* name : actions)
            QVERIFY2(window->findChild<QAction*>(QString::fromLatin1(name)), name);
        const char* buttons[] = {"Btn_Brush1", "Btn_Brush2", "Btn_Flood", "Btn_Cut",   "Btn_Copy",
                                 "Btn_Paste",  "Btn_Undo",   "Btn_Redo",  "Btn_Up",    "Btn_Down",
                                 "Btn_Left",   "Btn_Right",  "Btn_FlipX", "Btn_FlipY", "Btn_SymmX",
                                 "Btn_SymmY",  "Btn_Rotate", "Btn_Anim"};
        for (const char* name : buttons)
            QVERIFY2(window->findChild<QToolButton*>(QString::fromLatin1(name)), name);
        // The tip names the key; the status bar shows the hint alone.
        QCOMPARE(window->findChild<QToolButton*>(QStringLiteral("Btn_Up"))->toolTip(),
                 QStringLiteral("Slide up (Ctrl+U)"));
        QCOMPARE(uitest::Child<QAction>(*window, "Mnu_SlideUp")->statusTip(), QStringLiteral("Slide up"));
        QCOMPARE(uitest::Child<QAction>(*window, "Mnu_Clear")->shortcut(), QKeySequence(Qt::Key_Delete));
        QCOMPARE(uitest::Child<QAction>(*window, "Mnu_Redo")->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z));
        QCOMPARE(uitest::Child<QAction>(*window, "PalVantor")->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_F1));
        QCOMPARE(uitest::Child<QAction>(*window, "Mnu_ColourMulti1")->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(uitest::Child<QCheckBox>(*window, "CkShowGrid")->statusTip(),
                 QStringLiteral("Toggle grid lines On/Off"));
        QCOMPARE(uitest::Child<TPaintBox>(*window, "PaintBox_Browser")->geometry(), QRect(288, 44, 384, 294));
        QCOMPARE(uitest::Child<TPaintBox>(*window, "PaintBox_Editor")->geometry(), QRect(8, 44, 192, 168));
    }

    void checkBoxHintsStayWhileThePointerIsOverThem()
    {
        auto window = uitest::NewWindow();
        QStatusBar* status = uitest::Child<QStatusBar>(*window, "StatusBar1");
        QWidget* client = uitest::Child<QWidget>(*window, "ClientArea");
        for (const char* name : {"Chk_MulticolourMode", "Chk_OverlayNext", "CkShowGrid", "CkShowCross"})
        {
            auto* box = uitest::Child<QCheckBox>(*window, name);
            QTest::mouseMove(client, QPoint(250, 260)); // the bare background
            QVERIFY(status->currentMessage().isEmpty());
            QTest::mouseMove(box, QPoint(4, box->height() / 2));
            QTest::mouseMove(box, QPoint(10, box->height() / 2));
            QTest::mouseMove(box, QPoint(box->width() - 4, box->height() / 2));
            QCOMPARE(status->currentMessage(), box->statusTip());
        }
        // Back on the background, the hint goes.
        QTest::mouseMove(client, QPoint(250, 260));
        QTest::mouseMove(client, QPoint(252, 262));
        QVERIFY(status->currentMessage().isEmpty());
    }

    void windowsArePlacedByTheirFramesAndKeptOnScreen()
    {
        auto window = uitest::NewWindow();
        const QRect area = window->screen()->availableGeometry();
        // The main window opens at 462, 127 where it fits; this screen is too narrow for
        // that, so it is moved left until all of it shows (its frame is not known before it
        // shows, so by an estimate of it), and its top stays.
        QVERIFY(462 + window->frameGeometry().width() > area.right() + 1);
        QVERIFY(window->frameGeometry().left() < 462);
        QVERIFY(area.contains(window->frameGeometry()));
        QCOMPARE(window->frameGeometry().top(), 127);
        QVERIFY(window->frameGeometry() != window->geometry()); // the platform draws a frame

        // A window placed beside it starts 3 pixels right of its frame, level with the
        // frame's top; one over its corner 80 right of and 20 below the frame's corner.
        window->move(area.topLeft());
        QTRY_COMPARE(window->frameGeometry().topLeft(), area.topLeft());
        const QRect main = window->frameGeometry();
        for (const bool beside : {true, false})
        {
            QDialog tool(window.get());
            tool.resize(40, 30);
            PlaceWindow(&tool, window.get(), beside ? BesideRight(window.get()) : OverCorner(window.get()));
            tool.show();
            QVERIFY(QTest::qWaitForWindowExposed(&tool));
            const QPoint wanted =
                beside ? QPoint(main.right() + 1 + 3, main.top()) : main.topLeft() + QPoint(80, 20);
            QCOMPARE(tool.frameGeometry().topLeft(), wanted);
            QCOMPARE(tool.size(), QSize(40, 30));
        }

        // One that would stand off the screen is moved onto it along the edges it crosses.
        QDialog wide(window.get());
        wide.resize(area.width() / 2, 30);
        PlaceWindow(&wide, window.get(), QPoint(area.right() - 10, area.bottom() - 10));
        wide.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wide));
        QVERIFY(area.contains(wide.frameGeometry()));
        QCOMPARE(wide.frameGeometry().bottomRight(), area.bottomRight());
    }

    void quantityBoxKeepsItsRules()
    {
        auto window = uitest::NewWindow();
        struct Case
        {
            const char* typed;
            int count;
        };
        const Case cases[] = {{"0", 1}, {"300", 256}, {"1234", 256}, {"0001", 256}, {"007", 7}, {"57", 57}};
        for (const Case& c : cases)
        {
            TypeQuantity(*window, QString::fromLatin1(c.typed));
            QCOMPARE(window->document().bank.spriteCount, c.count);
            QCOMPARE(uitest::Child<QLineEdit>(*window, "Edit2")->text(), QString::number(c.count));
            QCOMPARE(uitest::Child<QScrollBar>(*window, "ScrollBar1")->maximum(), c.count - 1);
        }

        // Letters, spaces and punctuation never reach the box.
        uitest::Child<QLineEdit>(*window, "Edit2")->setFocus();
        uitest::Child<QLineEdit>(*window, "Edit2")->selectAll();
        QTest::keyClick(uitest::Child<QLineEdit>(*window, "Edit2"), Qt::Key_Backspace);
        QTest::keyClicks(uitest::Child<QLineEdit>(*window, "Edit2"), QStringLiteral("1a 2,-3"));
        QCOMPARE(uitest::Child<QLineEdit>(*window, "Edit2")->text(), QStringLiteral("123"));
        // Nor do the digits of other scripts (Arabic-Indic, Devanagari, full-width).
        for (const char16_t digit : {u'\u0663', u'\u0967', u'\uFF14'})
            QTest::sendKeyEvent(QTest::Click, uitest::Child<QLineEdit>(*window, "Edit2"), Qt::Key_unknown,
                                QString(QChar(digit)), Qt::NoModifier);
        QCOMPARE(uitest::Child<QLineEdit>(*window, "Edit2")->text(), QStringLiteral("123"));
        // Digits without Enter change nothing yet.
        QCOMPARE(window->document().bank.spriteCount, 57);
        // An arrow takes the typed number and steps from it.
        uitest::Child<TUpDown>(*window, "UpDown1")->step(+1);
        QCOMPARE(window->document().bank.spriteCount, 124);
        uitest::Child<TUpDown>(*window, "UpDown1")->step(-1);
        QCOMPARE(window->document().bank.spriteCount, 123);

        // The spin control stops at both ends.
        TypeQuantity(*window, QStringLiteral("256"));
        uitest::Child<TUpDown>(*window, "UpDown1")->step(+1);
        QCOMPARE(window->document().bank.spriteCount, 256);
        TypeQuantity(*window, QStringLiteral("1"));
        uitest::Child<TUpDown>(*window, "UpDown1")->step(-1);
        QCOMPARE(window->document().bank.spriteCount, 1);
        QCOMPARE(uitest::Child<QScrollBar>(*window, "ScrollBar1")->maximum(), 0);
    }

    void emptyQuantityIsReportedAndChangesNothing()
    {
        auto window = uitest::NewWindow();
        uitest::ClearLastMessage();
        uitest::AnswerMessage(QStringLiteral("OK"));
        TypeQuantity(*window, QString());
        QCOMPARE(uitest::LastMessage().title, QStringLiteral("Kelmora"));
        QVERIFY(uitest::LastMessage().text.contains(QStringLiteral("not a valid integer value")));
        QCOMPARE(window->document().bank.spriteCount, 32);
        QCOMPARE(uitest::Child<QScrollBar>(*window, "ScrollBar1")->maximum(), 31);
    }

    void loweringTheQuantityMovesTheCurrentSprite()
    {
        auto window = uitest::NewWindow();
        TypeQuantity(*window, QStringLiteral("64"));
        for (int i = 0; i < 64; ++i)
            SetPixel(window->document().bank.sprites, i, i % 12, i % 21, 3);
        uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(40);
        QCOMPARE(window->document().bank.currentSprite, 40);
        window->document().bank.rangeStart = 38; // a selection around it
        window->document().bank.rangeEnd = 45;

        TypeQuantity(*window, QStringLiteral("10"));
        QCOMPARE(window->document().bank.currentSprite, 9);
        QCOMPARE(window->document().bank.rangeStart, 9);
        QCOMPARE(window->document().bank.rangeEnd, 9);
        QCOMPARE(uitest::Child<QLabel>(*window, "Label1")->text(), QStringLiteral("009 "));

        TypeQuantity(*window, QStringLiteral("64"));
        QCOMPARE(window->document().bank.currentSprite, 9);
        for (int i = 10; i < 64; ++i)
            QCOMPARE(GetPixel(window->document().bank.sprites, i, i % 12, i % 21), 3);
    }

    void browserScrollsOnlyWhenRowsAreHidden()
    {
        auto window = uitest::NewWindow();
        TypeQuantity(*window, QStringLiteral("56"));
        QCOMPARE(uitest::Child<QScrollBar>(*window, "ScrollBar_Browser")->maximum(), 0);
        TypeQuantity(*window, QStringLiteral("57"));
        QCOMPARE(uitest::Child<QScrollBar>(*window, "ScrollBar_Browser")->maximum(), 1);
        TypeQuantity(*window, QStringLiteral("256"));
        QCOMPARE(uitest::Child<QScrollBar>(*window, "ScrollBar_Browser")->maximum(), 25);

        // Scrolling the browser does not move the current sprite.
        uitest::Child<QScrollBar>(*window, "ScrollBar_Browser")->setValue(3);
        QCOMPARE(window->document().bank.currentSprite, 0);
    }

    void movingTheSpriteScrollBarCollapsesTheRange()
    {
        auto window = uitest::NewWindow();
        window->document().bank.rangeStart = 2;
        window->document().bank.rangeEnd = 6;
        uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(7);
        QCOMPARE(window->document().bank.currentSprite, 7);
        QCOMPARE(window->document().bank.rangeStart, 7);
        QCOMPARE(window->document().bank.rangeEnd, 7);
        QCOMPARE(uitest::Child<QLabel>(*window, "Label1")->text(), QStringLiteral("007 "));
    }

    void startsWithARawFileFromTheCommandLine()
    {
        QTemporaryDir dir;
        QByteArray data(640, '\0');
        for (int i = 0; i < 640; ++i)
            data[i] = char(i * 7);
        WriteFile(dir.filePath(QStringLiteral("walk.raw")), data);
        WriteFile(dir.filePath(QStringLiteral("walk.raw.inf")), QByteArray("\x06\x07\x08", 3));

        // A relative name is taken from the folder the program was started in.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        auto window = uitest::NewWindow({QStringLiteral("walk.raw")});
        QDir::setCurrent(previous);

        QCOMPARE(window->document().bank.spriteCount, 10);
        QCOMPARE(uitest::Child<QLineEdit>(*window, "Edit2")->text(), QStringLiteral("10"));
        QCOMPARE(uitest::Child<QScrollBar>(*window, "ScrollBar1")->maximum(), 9);
        QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - walk.raw"));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(window->document().bank.sprites), 640), data);
        QCOMPARE(int(window->document().bank.colourTransp), 6);
        QCOMPARE(int(window->document().bank.colourMulti1), 7);
        QCOMPARE(int(window->document().bank.colourMulti2), 8);
        QCOMPARE(GetAttribute(window->document().bank.sprites, 10), 133);
        QVERIFY(!uitest::Child<QAction>(*window, "Mnu_Undo")->isEnabled());
        uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(20);
        QCOMPARE(window->document().bank.currentSprite, 9);
    }

    void refusedCommandLineFileLeavesTheNewBank()
    {
        QTemporaryDir dir;
        WriteFile(dir.filePath(QStringLiteral("odd.raw")), QByteArray(100, '\x55'));
        // The file is named in a message over the window, which then starts with the new bank.
        for (const QString& name : {QStringLiteral("odd.raw"), QStringLiteral("missing.raw")})
        {
            uitest::ClearLastMessage();
            uitest::AnswerMessage(QStringLiteral("OK"));
            // (Shown without waiting for it to become active: the message takes the focus.)
            auto window = std::make_unique<TForm1>(QStringList{dir.filePath(name)});
            window->show();
            QTRY_COMPARE(uitest::LastMessage().title, QStringLiteral("File Error"));
            QCOMPARE(uitest::LastMessage().text,
                     QStringLiteral("Could not open ") + QDir::toNativeSeparators(dir.filePath(name)));
            QVERIFY(window->isVisible());
            QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - Untitled.spr"));
            QCOMPARE(window->document().bank.spriteCount, 32);
            QCOMPARE(IsBlank(window->document().bank.sprites, 0), 1);
        }

        // Two arguments load nothing either.
        WriteFile(dir.filePath(QStringLiteral("ok.raw")), QByteArray(64, '\x55'));
        auto two = uitest::NewWindow(
            {dir.filePath(QStringLiteral("ok.raw")), dir.filePath(QStringLiteral("ok.raw"))});
        QCOMPARE(two->document().bank.spriteCount, 32);
        QCOMPARE(IsBlank(two->document().bank.sprites, 0), 1);
    }

    void namesThatAreNoValidTextOpen()
    {
        // A Latin-1 name (e9 is no UTF-8) from the command line and from a drop opens as
        // the bytes it is; the title shows what the system's encoding makes of it.
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const QByteArray raw = folder + "/caf\xe9.raw";
        const QByteArray project = folder + "/d\xe9j\xe0.kmd";
        auto write = [](const QByteArray& name, const QByteArray& bytes)
        {
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const bool ok = fd >= 0 && ::write(fd, bytes.constData(), bytes.size()) == bytes.size();
            if (fd >= 0) ::close(fd);
            return ok;
        };
        QVERIFY(write(raw, QByteArray(3 * 64, '\x42')));
        QVERIFY(write(project, QByteArray("\x01\x02\x03", 3) + QByteArray(5 * 64, '\x24')));

        auto window = uitest::NewWindowWithNames({raw});
        QCOMPARE(window->document().bank.spriteCount, 3);
        QCOMPARE(int(window->document().bank.sprites[0]), 0x42);
        QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - ") + QFile::decodeName("caf\xe9.raw"));

        QMimeData mime;
        mime.setUrls({QUrl::fromEncoded("file://" + project.toPercentEncoding("/"))});
        QDropEvent drop(QPointF(300, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QApplication::sendEvent(window.get(), &drop);
        QTRY_COMPARE(window->document().bank.spriteCount, 5);
        QCOMPARE(int(window->document().bank.sprites[0]), 0x24);
        QCOMPARE(int(window->document().bank.colourTransp), 1);
        // (QTemporaryDir cannot remove names it cannot spell.)
        ::unlink(raw.constData());
        ::unlink(project.constData());
    }

    void projectFileOnTheCommandLineOpensAsAProject()
    {
        QTemporaryDir dir;
        QByteArray project("\x00\x02\x03", 3);
        QByteArray sprites(64 * 3, '\x11');
        project += sprites;
        WriteFile(dir.filePath(QStringLiteral("ship.kmd")), project);
        auto window = uitest::NewWindow({dir.filePath(QStringLiteral("ship.kmd"))});
        QCOMPARE(window->document().bank.spriteCount, 3);
        QCOMPARE(uitest::Child<QLineEdit>(*window, "Edit2")->text(), QStringLiteral("3"));
        QCOMPARE(int(window->document().bank.colourMulti1), 2);
        QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - ship.kmd"));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(window->document().bank.sprites), 64 * 3), sprites);
    }

    void twoWindowsKeepTheirOwnDocumentsAndHistories()
    {
        auto one = uitest::NewWindow();
        auto two = uitest::NewWindow();
        uitest::Child<QAction>(*one, "Mnu_Negative")->trigger();
        QCOMPARE(int(one->document().bank.sprites[0]), 0xFF);
        QCOMPARE(int(two->document().bank.sprites[0]), 0x00);
        QVERIFY(uitest::Child<QAction>(*one, "Mnu_Undo")->isEnabled());
        QVERIFY(!uitest::Child<QAction>(*two, "Mnu_Undo")->isEnabled());
        uitest::Child<QAction>(*two, "Mnu_Undo")->trigger(); // nothing to undo in the second
        QCOMPARE(int(one->document().bank.sprites[0]), 0xFF);
        uitest::Child<QAction>(*one, "Mnu_Undo")->trigger();
        QCOMPARE(int(one->document().bank.sprites[0]), 0x00);
        QVERIFY(uitest::Child<QAction>(*one, "Mnu_Redo")->isEnabled());
        QVERIFY(!uitest::Child<QAction>(*two, "Mnu_Redo")->isEnabled());
    }

    void closingAsksBeforeChangesAreLost()
    {
        auto window = uitest::NewWindow();
        SetPixel(window->document().bank.sprites, 0, 1, 1, 2);
        RecordUndoStep(window->document());
        window->document().buffer.bufferCount = 3;
        window->RefreshAll();
        QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - Untitled.spr*"));

        // Unsaved changes: the question that can save them; Cancel keeps everything.
        uitest::AnswerMessage(QStringLiteral("Cancel"));
        window->close();
        QCOMPARE(uitest::LastMessage().text, QStringLiteral("Save changes to Untitled.spr?"));
        QCOMPARE(uitest::LastMessage().title, QStringLiteral("Kelmora"));
        QVERIFY(window->isVisible());
        QCOMPARE(GetPixel(window->document().bank.sprites, 0, 1, 1), 2);
        QCOMPARE(HistoryPosition(window->document().history), 2);
        QCOMPARE(window->document().buffer.bufferCount, 3);

        // No changes (undone back to the start): the question is "Really Quit?", every time.
        uitest::Child<QAction>(*window, "Mnu_Undo")->trigger();
        QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - Untitled.spr"));
        uitest::AnswerMessage(QStringLiteral("Cancel"));
        window->close();
        QCOMPARE(uitest::LastMessage().text, QStringLiteral("Really Quit?"));
        QCOMPARE(uitest::LastMessage().title, QStringLiteral("Kelmora"));
        QVERIFY(window->isVisible());

        // Save whose file dialog is cancelled keeps the window open.
        uitest::Child<QAction>(*window, "Mnu_Redo")->trigger();
        uitest::AnswerMessageThen(QStringLiteral("Save"), [] { uitest::AnswerFileDialog(QString()); });
        window->close();
        QVERIFY(window->isVisible());

        // Save, then the window closes with the sprites written; every snapshot is released.
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("kept.kmd"));
        uitest::ClearLastMessage();
        uitest::AnswerMessageThen(QStringLiteral("Save"), [path] { uitest::AnswerFileDialog(path); });
        uitest::Child<QAction>(*window, "Mnu_Exit")->trigger();
        QCOMPARE(uitest::LastMessage().text, QStringLiteral("Save changes to Untitled.spr?"));
        QVERIFY(!window->isVisible());
        QFile kept(path);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.size(), 3 + 32 * 64);
        QCOMPARE(HistoryPosition(window->document().history), 0);
    }

    void closingWithoutChangesAsksReallyQuit()
    {
        auto window = uitest::NewWindow();
        uitest::AnswerMessage(QStringLiteral("OK"));
        uitest::Child<QAction>(*window, "Mnu_Exit")->trigger();
        QCOMPARE(uitest::LastMessage().text, QStringLiteral("Really Quit?"));
        QVERIFY(!window->isVisible());
    }

    void paletteFileAddsItsPalettesToTheMenu()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("palettes.pal"));
        WriteFile(path, "\"Greens\"\r\n"
                        "#000000,#010101,#020202,#030303,#040404,#050505,#060606,#070707\r\n"
                        "#080808,#090909,#0a0a0a,#0b0b0b,#0c0c0c,#0D0D0D,#0e0e0e,#0f0f0f\r\n"
                        "\"Broken\" #00000 #111111\n"
                        "\"Reds\"\n"
                        "#100000 #110000 #120000 #130000 #140000 #150000 #160000 #170000\n"
                        "#180000 #190000 #1a0000 #1b0000 #1c0000 #1d0000 #1e0000 #1F0000\n");
        auto window = uitest::NewWindow();
        QCOMPARE(uitest::Child<QMenu>(*window, "ColourPalette1")->actions().size(), 1);
        QCOMPARE(window->LoadPaletteFile(path), 2);
        // The broken one is named in the status bar, not dropped unseen.
        QCOMPARE(
            window->statusBar()->currentMessage(),
            QStringLiteral("palettes.pal: 1 palette skipped for a missing or malformed #RRGGBB colour."));

        const QList<QAction*> items = uitest::Child<QMenu>(*window, "ColourPalette1")->actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[0]->text(), QStringLiteral("Vantor"));
        QVERIFY(items[1]->isSeparator());
        QCOMPARE(items[1]->objectName(), QStringLiteral("Sep1"));
        QCOMPARE(items[2]->objectName(), QStringLiteral("Palette_0"));
        QCOMPARE(items[2]->text(), QStringLiteral("Greens"));
        QCOMPARE(items[3]->objectName(), QStringLiteral("Palette_1"));
        QCOMPARE(items[3]->text(), QStringLiteral("Reds"));

        items[3]->trigger();
        QVERIFY(items[3]->isChecked());
        QVERIFY(!uitest::Child<QAction>(*window, "PalVantor")->isChecked());
        // Background 11 of "Reds" is 0x1B0000: preview border, editor and browser follow.
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 0, 0), 0x1B0000u);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 0, 0), 0x1B0000u);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 100, 0), 0x1B0000u);
        QCOMPARE(uitest::Child<TColourPanel>(*window, "PanelColourSprite")->colour().rgb() & 0xFFFFFFu,
                 0x150000u);
        QImage strip = uitest::Child<TPaintBox>(*window, "PaintBox_Palette")->grab().toImage();
        QCOMPARE(uitest::Rgb(strip, 24 * 1 + 5, 5), 0x110000u);

        uitest::Child<QAction>(*window, "PalVantor")->trigger();
        QVERIFY(uitest::Child<QAction>(*window, "PalVantor")->isChecked());
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 0, 0), 0x444444u);
    }

    void paletteFileIsFoundBesideTheProgram()
    {
        QTemporaryDir dir;
        QCOMPARE(TForm1::FindPaletteFile(dir.path()).isEmpty() ||
                     !TForm1::FindPaletteFile(dir.path()).startsWith(dir.path()),
                 true);
        WriteFile(dir.filePath(QStringLiteral("palettes.pal")), "\"x\"");
        QCOMPARE(TForm1::FindPaletteFile(dir.path()), dir.filePath(QStringLiteral("palettes.pal")));
    }

    void luminancePairsReorderTheStripOnly()
    {
        auto window = uitest::NewWindow();
        uitest::Child<QAction>(*window, "Mnu_PalOrderLumPairs")->trigger();
        QVERIFY(uitest::Child<QAction>(*window, "Mnu_PalOrderLumPairs")->isChecked());
        QVERIFY(!uitest::Child<QAction>(*window, "Mnu_PalOrderStandard")->isChecked());
        QImage strip = uitest::Child<TPaintBox>(*window, "PaintBox_Palette")->grab().toImage();
        QCOMPARE(uitest::Rgb(strip, 24 + 4, 4), kBuiltInPalette[6]); // second cell, top row
        QCOMPARE(uitest::Rgb(strip, 4, 16 + 4), kBuiltInPalette[1]); // first cell, bottom row
        QCOMPARE(window->ColourAtStripPoint(24 + 4, 4), 6);
        QCOMPARE(window->document().bank.currentPen, 2);
        QCOMPARE(int(window->document().bank.colourTransp), 11);

        uitest::Child<QAction>(*window, "Mnu_PalOrderStandard")->trigger();
        strip = uitest::Child<TPaintBox>(*window, "PaintBox_Palette")->grab().toImage();
        QCOMPARE(uitest::Rgb(strip, 24 + 4, 4), kBuiltInPalette[1]);
    }

    void hiresSpriteHidesTheMulticolourPens()
    {
        auto window = uitest::NewWindow();
        uitest::Child<QRadioButton>(*window, "RadioColourMulti1")->click();
        QCOMPARE(window->document().bank.currentPen, 1);
        window->document().bank.sprites[63] = 0x03; // sprite 0: hires, colour 3
        window->RefreshAll();
        QVERIFY(!uitest::Child<QCheckBox>(*window, "Chk_MulticolourMode")->isChecked());
        QVERIFY(!uitest::Child<QAction>(*window, "Mnu_ColourMulti1")->isEnabled());
        QVERIFY(!uitest::Child<QAction>(*window, "Mnu_ColourMulti2")->isEnabled());
        QVERIFY(!uitest::Child<QMenu>(*window, "Mnu_PixelColourSwap")->menuAction()->isEnabled());
        QVERIFY(uitest::Child<QRadioButton>(*window, "RadioColourMulti1")->isHidden());
        QVERIFY(uitest::Child<TColourPanel>(*window, "PanelColourMulti2")->isHidden());
        QCOMPARE(window->document().bank.currentPen, 2);
        QVERIFY(uitest::Child<QRadioButton>(*window, "RadioColourSprite")->isChecked());
        QCOMPARE(int(window->document().bank.colourSprite), 3);
        // Refreshing never rewrites the attribute bytes.
        QCOMPARE(GetAttribute(window->document().bank.sprites, 0), 0x03);
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
