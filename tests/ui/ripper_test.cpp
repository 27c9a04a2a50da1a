// The snapshot ripper: opened from the Tools menu, it copies video banks of a snapshot's
// C64 memory into the main window's sprite slots while it is open.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <functional>
#include <memory>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/tools/FormRipper.h"

using namespace kelmora;

namespace
{

QByteArray Padded(const char* text, int size)
{
    QByteArray field(text);
    field.resize(size, '\0');
    return field;
}

// A module: 16-byte name, version 1.0, little-endian length including this 22-byte header.
QByteArray Module(const char* name, const QByteArray& body)
{
    QByteArray out = Padded(name, 16);
    out.append('\x01').append('\x00');
    const quint32 length = static_cast<quint32>(body.size() + 22);
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((length >> (8 * i)) & 0xFF));
    return out + body;
}

// A C64 snapshot as the emulator writes it: header, CPU module, memory module, another module.
QByteArray Snapshot(const QByteArray& ram)
{
    QByteArray out("VICE Snapshot File\x1a\x01\x01");
    out += Padded("C64", 16);
    out += Module("MAINCPU", QByteArray(30, '\x11'));
    out += Module("C64MEM", QByteArray("\x35\x27\x00\x00", 4) + ram);
    out += Module("CIA1", QByteArray(20, '\x22'));
    return out;
}

// 64 KB of memory with a marked sprite at each given address (attribute byte last).
QByteArray Ram(std::initializer_list<std::pair<int, char>> sprites)
{
    QByteArray ram(int(kC64RamBytes), '\0');
    for (const auto& [address, fill] : sprites)
        for (int i = 0; i < 63; ++i)
            ram[address + i] = fill;
    return ram;
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return path;
}

QByteArray Slot(const TForm1& window, int slot)
{
    return QByteArray(reinterpret_cast<const char*>(window.document().bank.sprites) + 64 * slot, 64);
}

QByteArray Block(const TForm1& window)
{
    return QByteArray(reinterpret_cast<const char*>(window.document().bank.sprites), kBlockBytes);
}

// Opens the ripper with F11 and runs body on it; the ripper is closed afterwards whatever
// body does. When the rip replaced unsaved changes, the question that follows is answered
// with the button answer and its text goes to *asked. Returns whether the ripper was shown.
bool WithRipper(TForm1& window, const std::function<void(TFormRipper&)>& body,
                const QString& answer = QStringLiteral("Discard"), QString* asked = nullptr)
{
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return false;
    bool shown = false;
    // A ripper that never opens, or a question that never comes, must not leave these
    // answers to a later test.
    auto waiting = std::make_shared<bool>(true);
    uitest::WhenModal(
        [&, waiting](QWidget* modal)
        {
            if (!*waiting) return;
            if (auto* ripper = qobject_cast<TFormRipper*>(modal))
            {
                shown = true;
                body(*ripper);
            }
            uitest::WhenModal(
                [waiting, answer, asked](QWidget* next)
                {
                    auto* box = qobject_cast<QMessageBox*>(next);
                    if (!*waiting || !box) return;
                    if (asked) *asked = box->text();
                    for (QAbstractButton* button : box->buttons())
                        if (button->text() == answer) button->click();
                });
            if (modal->isVisible()) modal->close();
        });
    QTest::keyClick(&window, Qt::Key_F11);
    *waiting = false;
    return shown;
}

// Reads path in the ripper, answering the message box if one comes. Returns the box's
// caption and text (marked when it has an icon or more than an OK button), or nothing.
QString ReadAnswering(TFormRipper& ripper, const QString& path)
{
    QString message;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout,
                     [&]
                     {
                         auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                         if (!box || !box->isVisible()) return;
                         message = box->windowTitle() + QLatin1Char('|') + box->text();
                         if (box->icon() != QMessageBox::NoIcon) message += QStringLiteral("|icon");
                         if (box->buttons().size() != 1 || !box->button(QMessageBox::Ok))
                             message += QStringLiteral("|buttons");
                         box->buttons().first()->click();
                     });
    guard.start(5);
    ripper.ReadSnapshot(path);
    guard.stop();
    return message;
}

// The refusal names the file.
QString Invalid(const QString& path)
{
    return QStringLiteral("Kelmora|Invalid VICE snapshot file: ") + QDir::toNativeSeparators(path);
}

} // namespace

class RipperTest : public QObject
{
    Q_OBJECT

  private slots:
    void windowAndBankButtonsBeforeAnySnapshot()
    {
        auto window = uitest::NewWindow();
        window->document().bank.sprites[5] = 0x3C;
        window->RefreshAll();
        const QByteArray before = Block(*window);
        const QString title = window->windowTitle();
        const int position = HistoryPosition(window->document().history),
                  top = HistoryTop(window->document().history);

        QString asked;
        const bool shown = WithRipper(
            *window,
            [&](TFormRipper& ripper)
            {
                QCOMPARE(ripper.windowTitle(), QStringLiteral("Ripper"));
                QCOMPARE(ripper.geometry().topLeft(), window->geometry().topLeft() + QPoint(80, 20));
                QVERIFY(ripper.windowFlags() & Qt::WindowCloseButtonHint);
                QVERIFY(
                    !(ripper.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
                QCOMPARE(ripper.minimumSize(), ripper.maximumSize());
                QCOMPARE(ripper.Button1->text(), QStringLiteral("Choose snapshot..."));
                QVERIFY(ripper.Button1->font().bold());
                QCOMPARE(ripper.GroupBox1->title(), QStringLiteral("Video bank"));
                QCOMPARE(ripper.RadioButton1->text(), QStringLiteral("Bank 0 ($0000 - $3FFF)"));
                QCOMPARE(ripper.RadioButton4->text(), QStringLiteral("Bank 3 ($C000 - $FFFF)"));
                QVERIFY(ripper.RadioButton1->isChecked());

                // The bank already checked changes nothing, not even before a snapshot.
                QTest::mouseClick(ripper.RadioButton1, Qt::LeftButton);
                QCOMPARE(Block(*window), before);

                // Any other bank of the empty memory blanks every slot, attribute bytes included.
                QTest::mouseClick(ripper.RadioButton2, Qt::LeftButton);
                QVERIFY(ripper.RadioButton2->isChecked());
                QCOMPARE(Block(*window), QByteArray(kBlockBytes, '\0'));
                QVERIFY(!uitest::Child<QCheckBox>(*window, "Chk_MulticolourMode")
                             ->isChecked()); // the main window shows it at once

                QTest::mouseClick(ripper.Button2, Qt::LeftButton);
                QVERIFY(!ripper.isVisible());
            },
            QStringLiteral("Discard"), &asked);
        QVERIFY(shown);
        // The rip replaced unsaved changes, so it asked; Discard keeps the rip.
        QCOMPARE(asked, QStringLiteral("Save changes to Untitled.spr?"));
        QCOMPARE(Block(*window), QByteArray(kBlockBytes, '\0'));
        QCOMPARE(window->document().bank.spriteCount, 32);
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(HistoryPosition(window->document().history), position);
        QCOMPARE(HistoryTop(window->document().history), top);
        QVERIFY(!window->findChild<TFormRipper*>()); // destroyed when it closed
    }

    void snapshotsFillTheSlotsBankByBank()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Sprites at $2000 (slot 128 of bank 0), $C800 (slot 32 of bank 3), $0140 (slot 5
        // of bank 0: hires, colour 1) and $8000 in a second snapshot.
        QByteArray ram = Ram({{0x2000, '\x2A'}, {0xC800, '\x5D'}, {0x0140, '\xFF'}});
        ram[0x0140 + 63] = '\x01';
        ram[0x2000 + 63] = '\x8E';
        const QString first = Write(dir, QStringLiteral("first.vsf"), Snapshot(ram));
        QByteArray ram2 = Ram({{0x8000, '\x66'}, {0x0040, '\x11'}});
        const QString second = Write(dir, QStringLiteral("second.vsf"), Snapshot(ram2));
        QVERIFY(!first.isEmpty() && !second.isEmpty());

        auto window = uitest::NewWindow();
        window->document().bank.colourTransp = 6;
        window->document().bank.colourMulti1 = 2;
        window->document().bank.colourMulti2 = 7;
        window->document().bank.currentSprite = 5;
        window->RefreshAll(); // collapses the range onto sprite 5
        window->document().bank.rangeEnd = 9;
        const QString title = window->windowTitle();
        const int position = HistoryPosition(window->document().history),
                  top = HistoryTop(window->document().history);

        QStringList filters;
        QString proposed;
        const bool shown = WithRipper(
            *window,
            [&](TFormRipper& ripper)
            {
                QTest::mouseClick(ripper.RadioButton3, Qt::LeftButton); // bank 2 before the read

                uitest::WhenModal(
                    [&](QWidget* modal)
                    {
                        auto* dialog = qobject_cast<QFileDialog*>(modal);
                        if (!dialog)
                        {
                            modal->close();
                            return;
                        }
                        filters = dialog->nameFilters();
                        if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                            proposed = edit->text();
                        dialog->selectFile(first);
                        static_cast<QDialog*>(dialog)->accept(); // as the Open button does
                    });
                QTest::mouseClick(ripper.Button1, Qt::LeftButton);

                // Bank 0 at once, its button checked again.
                QVERIFY(ripper.RadioButton1->isChecked());
                QCOMPARE(Block(*window), ram.left(kBlockBytes));
                QCOMPARE(Slot(*window, 128), ram.mid(0x2000, 64));
                QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 3, 3),
                         kBuiltInPalette[1]); // sprite 5, white
                QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 3 + 8 * 23, 3),
                         kBuiltInPalette[1]);

                QTest::mouseClick(ripper.RadioButton4, Qt::LeftButton);
                QCOMPARE(Slot(*window, 32), ram.mid(0xC800, 64));
                QCOMPARE(Block(*window), ram.mid(0xC000, kBlockBytes));
                QTest::mouseClick(ripper.RadioButton2, Qt::LeftButton);
                QCOMPARE(Block(*window), ram.mid(0x4000, kBlockBytes));

                // A cancelled choice changes nothing.
                uitest::AnswerFileDialog(QString());
                QTest::mouseClick(ripper.Button1, Qt::LeftButton);
                QVERIFY(ripper.RadioButton2->isChecked());
                QCOMPARE(Block(*window), ram.mid(0x4000, kBlockBytes));

                // A second snapshot replaces the first and shows its bank 0.
                QVERIFY(ripper.ReadSnapshot(second));
                QVERIFY(ripper.RadioButton1->isChecked());
                QCOMPARE(Block(*window), ram2.left(kBlockBytes));
                QTest::mouseClick(ripper.RadioButton3, Qt::LeftButton);
                QCOMPARE(Block(*window), ram2.mid(0x8000, kBlockBytes));
            });
        QVERIFY(shown);
        QCOMPARE(filters, QStringList{QStringLiteral("VICE Snapshot File (*.vsf)")});
        QCOMPARE(proposed, QStringLiteral("*.vsf"));

        // Nothing but the sprite slots has changed, and nothing was recorded.
        QCOMPARE(window->document().bank.spriteCount, 32);
        QCOMPARE(int(window->document().bank.colourTransp), 6);
        QCOMPARE(int(window->document().bank.colourMulti1), 2);
        QCOMPARE(int(window->document().bank.colourMulti2), 7);
        QCOMPARE(window->document().bank.currentSprite, 5);
        QCOMPARE(window->document().bank.rangeStart, 5);
        QCOMPARE(window->document().bank.rangeEnd, 9);
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(HistoryPosition(window->document().history), position);
        QCOMPARE(HistoryTop(window->document().history), top);
        QVERIFY(!uitest::Child<QAction>(*window, "Mnu_Redo")->isEnabled());

        // A new ripper starts from empty memory again.
        QVERIFY(WithRipper(*window,
                           [&](TFormRipper& ripper)
                           {
                               QVERIFY(ripper.RadioButton1->isChecked());
                               QTest::mouseClick(ripper.RadioButton3, Qt::LeftButton);
                               QCOMPARE(Block(*window), QByteArray(kBlockBytes, '\0'));
                           }));
    }

    void rippedSpritesAskBeforeReplacingUnsavedWork()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray ram = Ram({{0x0000, '\x44'}});
        const QString snapshot = Write(dir, QStringLiteral("one.vsf"), Snapshot(ram));
        auto rip = [&](TFormRipper& ripper) { QVERIFY(ripper.ReadSnapshot(snapshot)); };

        // Nothing unsaved: no question, and the ripped sprites are the unsaved changes now.
        auto window = uitest::NewWindow();
        QString asked;
        QVERIFY(WithRipper(*window, rip, QStringLiteral("Cancel"), &asked));
        QVERIFY(asked.isEmpty());
        QCOMPARE(Block(*window), ram.left(kBlockBytes));
        QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - Untitled.spr*"));

        // Unsaved work, and Cancel: the work comes back as it was.
        window->Mnu_NegativeClick();
        const QByteArray work = Block(*window);
        const int position = HistoryPosition(window->document().history);
        QVERIFY(WithRipper(
            *window, [&](TFormRipper& ripper) { ripper.RadioButton3->click(); }, QStringLiteral("Cancel"),
            &asked));
        QCOMPARE(asked, QStringLiteral("Save changes to Untitled.spr?"));
        QCOMPARE(Block(*window), work);
        // Shown too: pixel (0, 0) of the negated hires sprite 0 is set, in its colour 0
        // (the empty bank 2 would show the background there).
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 3, 3),
                 window->host().viewColours()[0] & 0xFFFFFFu);
        QCOMPARE(HistoryPosition(window->document().history), position);
        QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - Untitled.spr*"));

        // Save: the work is written first, then the rip takes its place.
        const QString saved = dir.filePath(QStringLiteral("work.kmd"));
        asked.clear();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        uitest::WhenModal(
            [&](QWidget* modal)
            {
                if (auto* ripper = qobject_cast<TFormRipper*>(modal)) rip(*ripper);
                uitest::AnswerMessageThen(QStringLiteral("Save"), [&] { uitest::AnswerFileDialog(saved); });
                modal->close();
            });
        QTest::keyClick(window.get(), Qt::Key_F11);
        QCOMPARE(uitest::LastMessage().text, QStringLiteral("Save changes to Untitled.spr?"));
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().mid(3), work.left(32 * kSpriteBytes));
        QCOMPARE(Block(*window), ram.left(kBlockBytes));
        QCOMPARE(uitest::Title(*window), QStringLiteral("Kelmora - work.kmd*"));
    }

    void refusedFilesChangeNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray ram = Ram({{0x0000, '\x44'}, {0x4000, '\x55'}});
        const QByteArray good = Snapshot(ram);
        const int ramStart = good.indexOf("C64MEM") + 26;
        const QString goodPath = Write(dir, QStringLiteral("good.vsf"), good);

        QByteArray noMagic = good;
        noMagic.replace("VICE Snapshot File", "vice snapshot file");
        const QString onlyMemory = Write(dir, QStringLiteral("memory.vsf"), noMagic);
        const QString cut =
            Write(dir, QStringLiteral("cut.vsf"), good.left(ramStart + int(kC64RamBytes) - 1));
        QByteArray other("VICE Snapshot File\x1a\x01\x01");
        other += Padded("C128", 16) + Module("C128MEM", QByteArray(4 + 131072, '\x33'));
        const QString c128 = Write(dir, QStringLiteral("c128.vsf"), other);

        auto window = uitest::NewWindow();
        QVERIFY(WithRipper(
            *window,
            [&](TFormRipper& ripper)
            {
                QVERIFY(ripper.ReadSnapshot(goodPath));
                QTest::mouseClick(ripper.RadioButton2, Qt::LeftButton);
                const QByteArray shown = Block(*window);
                QCOMPARE(shown, ram.mid(0x4000, kBlockBytes));

                for (const QString& path : {onlyMemory, cut, c128})
                {
                    QCOMPARE(ReadAnswering(ripper, path), Invalid(path));
                    QVERIFY(ripper.RadioButton2->isChecked());
                    QCOMPARE(Block(*window), shown);
                }
                // The memory of the good snapshot is still there.
                QTest::mouseClick(ripper.RadioButton1, Qt::LeftButton);
                QCOMPARE(Block(*window), ram.left(kBlockBytes));

                // A file that cannot be opened is named, as every file command names it.
                for (const QString& path : {dir.filePath(QStringLiteral("missing.vsf")), dir.path()})
                {
                    QCOMPARE(ReadAnswering(ripper, path),
                             QStringLiteral("File Error|Could not open ") + QDir::toNativeSeparators(path));
                    QCOMPARE(Block(*window), ram.left(kBlockBytes));
                }
            }));
    }

    void realSnapshots()
    {
        const QDir vsf(QStringLiteral(KELMORA_REALDATA_DIR "/vsf"));
        if (!vsf.exists(QStringLiteral("c64-rambo2-norom.vsf"))) QSKIP("no real snapshots");
        auto bytes = [&](const char* name)
        {
            QFile file(vsf.filePath(QString::fromLatin1(name)));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };

        auto window = uitest::NewWindow();
        QVERIFY(WithRipper(*window,
                           [&](TFormRipper& ripper)
                           {
                               // Rambo: the game's sprites in bank 1, the first of them at $51C0.
                               const QByteArray rambo = bytes("c64-rambo2-norom.vsf");
                               const int ram = 106 + 26;
                               QVERIFY(
                                   ripper.ReadSnapshot(vsf.filePath(QStringLiteral("c64-rambo2-norom.vsf"))));
                               QTest::mouseClick(ripper.RadioButton1, Qt::LeftButton);
                               QCOMPARE(Block(*window), rambo.mid(ram, kBlockBytes));
                               QTest::mouseClick(ripper.RadioButton2, Qt::LeftButton);
                               QCOMPARE(Slot(*window, (0x51C0 - 0x4000) / 64), rambo.mid(ram + 0x51C0, 64));
                               QVERIFY(Slot(*window, 71).left(63).count('\0') < 63);
                               QCOMPARE(Block(*window), rambo.mid(ram + 0x4000, kBlockBytes));
                               QTest::mouseClick(ripper.RadioButton4, Qt::LeftButton);
                               QCOMPARE(Block(*window), rambo.mid(ram + 0xC000, kBlockBytes));

                               // A newer snapshot format; Frogger's frog at $5800 in bank 1.
                               const QByteArray frogger = bytes("c64_frogger.vsf");
                               QVERIFY(ripper.ReadSnapshot(vsf.filePath(QStringLiteral("c64_frogger.vsf"))));
                               QTest::mouseClick(ripper.RadioButton2, Qt::LeftButton);
                               QCOMPARE(Slot(*window, 0x60), frogger.mid(183 + 26 + 0x5800, 64));

                               // A C128 snapshot holds no C64 memory.
                               const QByteArray shown = Block(*window);
                               const QString c128 = vsf.filePath(QStringLiteral("c128-rhps-norom.vsf"));
                               QCOMPARE(ReadAnswering(ripper, c128), Invalid(c128));
                               QCOMPARE(Block(*window), shown);
                               QVERIFY(ripper.RadioButton2->isChecked());
                           }));
        QCOMPARE(window->document().bank.spriteCount, 32);
    }

    void showsWhatItFound()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Bank 0: sprites at $2000 and $0140 (a single set bit is enough); bank 3: one at $C800.
        QByteArray ram = Ram({{0x2000, '\x2A'}, {0xC800, '\x5D'}});
        ram[0x0140 + 62] = '\x01';
        ram[0x0000 + 63] = '\x8E'; // an attribute byte alone sets no pixel
        const QString path = Write(dir, QStringLiteral("found.vsf"), Snapshot(ram));

        for (const int quantity : {32, 256})
        {
            auto window = uitest::NewWindow();
            uitest::SetQuantity(*window, quantity);
            window->statusBar()->clearMessage();
            TFormRipper ripper(window->host(), window.get());
            QCOMPARE(ripper.Label_VideoBank->text(), QStringLiteral("Video chip's bank: no snapshot read"));
            QVERIFY(ripper.ReadSnapshot(path));
            // This snapshot has no CIA2 module, so the bank is unknown and bank 0 comes up.
            QCOMPARE(ripper.Label_VideoBank->text(), QStringLiteral("Video chip's bank: unknown"));
            QVERIFY(ripper.RadioButton1->isChecked());
            QCOMPARE(ripper.Label_SetSlots->text(), QStringLiteral("Slots with set pixels: 2 of 256"));
            QTest::mouseClick(ripper.RadioButton4, Qt::LeftButton);
            QCOMPARE(ripper.Label_SetSlots->text(), QStringLiteral("Slots with set pixels: 1 of 256"));
            QTest::mouseClick(ripper.RadioButton2, Qt::LeftButton);
            QCOMPARE(ripper.Label_SetSlots->text(), QStringLiteral("Slots with set pixels: 0 of 256"));
            QTest::mouseClick(ripper.Button2, Qt::LeftButton);

            // OK leaves a hint when the sprites in use hide some of those taken, and
            // never changes the quantity itself.
            QCOMPARE(window->statusBar()->currentMessage(),
                     quantity < 256
                         ? QStringLiteral("256 sprites taken; Quantity shows 32: raise it to see them all")
                         : QString());
            QCOMPARE(window->document().bank.spriteCount, quantity);
        }
    }

    void videoBankOfRealSnapshots_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("bank");
        // The bank each one's video chip shows, read from the CIA 2 port A register
        // (PRA) and its direction register (DDRA) in the snapshot's CIA2 module: the
        // bank is 3 minus the two low bits of PRA, where an input line (DDRA bit 0)
        // reads as 1.
        QTest::newRow("rambo2: PRA $96, DDRA $3F") << QStringLiteral("c64-rambo2-norom.vsf") << 1;
        QTest::newRow("frogger: PRA $02, DDRA $03") << QStringLiteral("c64_frogger.vsf") << 1;
        QTest::newRow("hobbit: PRA $C5, DDRA $3F") << QStringLiteral("c64_the_hobbit.vsf") << 2;
        QTest::newRow("seuck game: PRA $C0, DDRA $3F") << QStringLiteral("vchar64_seuck_game.vsf") << 3;
        QTest::newRow("super mario: PRA $94, DDRA $3F")
            << QStringLiteral("vchar64_super-mario-vice3.6.vsf") << 3;
    }

    void videoBankOfRealSnapshots()
    {
        QFETCH(QString, file);
        QFETCH(int, bank);
        const QString path = QStringLiteral(KELMORA_REALDATA_DIR "/vsf/") + file;
        if (!QFileInfo::exists(path)) QSKIP("no real snapshot");
        // The ripper comes up showing that bank, and says which it is.
        auto window = uitest::NewWindow();
        TFormRipper ripper(window->host(), window.get());
        QVERIFY(ripper.ReadSnapshot(path));
        const QList<QRadioButton*> buttons{ripper.RadioButton1, ripper.RadioButton2, ripper.RadioButton3,
                                           ripper.RadioButton4};
        QVERIFY(buttons.at(bank)->isChecked());
        QCOMPARE(ripper.Label_VideoBank->text(),
                 QStringLiteral("Video chip's bank: %1 ($%2)")
                     .arg(bank)
                     .arg(QStringLiteral("0000 4000 8000 C000").split(' ').at(bank)));
    }
};

QTEST_MAIN(RipperTest)
#include "ripper_test.moc"
