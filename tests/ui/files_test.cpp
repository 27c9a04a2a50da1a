// The File menu, View Text Data and files dropped on the main window.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <cstring>
#include <memory>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/tools/FormTextData.h"

using namespace kelmora;

namespace
{

// What a file dialog showed when it was answered.
struct SeenDialog
{
    bool seen = false;
    QString objectName, title, suffix, name, directory;
    QStringList filters;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    bool confirmsOverwrite = false;
};

// Answers the next file dialog with path (an empty path cancels it), noting its settings.
// overwrite: answer an overwrite question with Yes. thenMessage: answer the message box
// that follows the dialog with OK (see uitest::LastMessage).
void AnswerFileDialog(SeenDialog* seen, const QString& path, bool overwrite = false, bool thenMessage = false)
{
    uitest::WhenModal(
        [seen, path, overwrite, thenMessage](QWidget* modal)
        {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog)
            {
                modal->close();
                return;
            }
            seen->seen = true;
            seen->objectName = dialog->objectName();
            seen->title = dialog->windowTitle();
            seen->suffix = dialog->defaultSuffix();
            seen->filters = dialog->nameFilters();
            seen->mode = dialog->acceptMode();
            seen->confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            seen->directory = dialog->directory().absolutePath();
            if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                seen->name = edit->text();
            if (path.isEmpty())
            {
                dialog->reject();
                return;
            }
            if (overwrite)
            {
                uitest::WhenModal(
                    [thenMessage](QWidget* question)
                    {
                        auto* box = qobject_cast<QMessageBox*>(question);
                        if (thenMessage) uitest::AnswerMessage(QStringLiteral("OK"));
                        if (box && box->button(QMessageBox::Yes))
                            box->button(QMessageBox::Yes)->click();
                        else
                            question->close();
                    });
            }
            else if (thenMessage)
            {
                uitest::AnswerMessage(QStringLiteral("OK"));
            }
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept(); // runs the file dialog's own checks
        });
}

// As AnswerFileDialog, calling next (which arranges the answer to the window that
// follows) right before the dialog is answered.
void AnswerFileDialogThen(SeenDialog* seen, const QString& path, std::function<void()> next)
{
    uitest::WhenModal(
        [seen, path, next](QWidget* modal)
        {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog)
            {
                modal->close();
                return;
            }
            seen->seen = true;
            seen->objectName = dialog->objectName();
            if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                seen->name = edit->text();
            if (next) next();
            if (path.isEmpty())
            {
                dialog->reject();
                return;
            }
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        });
}

// Runs action; any modal window it opens is noted and closed.
bool OpensModal(const std::function<void()>& action)
{
    auto opened = std::make_shared<bool>(false);
    QTimer::singleShot(0,
                       [opened]
                       {
                           if (QWidget* modal = QApplication::activeModalWidget())
                           {
                               *opened = true;
                               modal->close();
                           }
                       });
    action();
    QTest::qWait(30);
    return *opened;
}

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

// Bytes whose value changes with the position, so shifts and mix-ups show.
QByteArray Pattern(int size, int seed)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + seed) % 251);
    return data;
}

// A project file: three colours, then count sprites.
QByteArray Project(int count, int seed)
{
    return QByteArray("\x02\x06\x0e", 3) + Pattern(count * 64, seed);
}

QByteArray Block(const TForm1& w)
{
    return QByteArray(reinterpret_cast<const char*>(w.document().bank.sprites), kBlockBytes);
}

void SetQuantity(TForm1& w, int count)
{
    uitest::Child<QLineEdit>(w, "Edit2")->setText(QString::number(count));
    w.Edit2KeyPress(Qt::Key_Return);
}

std::uint32_t U32(const QByteArray& b, int at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The RGB of pixel (x, y) of a 32-bit bottom-up BMP with a 54-byte header.
unsigned BmpPixel(const QByteArray& b, int width, int height, int x, int y)
{
    const int at = 54 + ((height - 1 - y) * width + x) * 4;
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return (p[2] << 16) | (p[1] << 8) | p[0];
}

using uitest::ListedNames;

} // namespace

class FilesTest : public QObject
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

    void saveFailureOnAFullDiskKeepsTheOldFile();
    void newAsksFirstAndKeepsTheCount();
    void fileDialogsAreSetUpAndRemembered();
    void openProject();
    void droppedProject();
    void seuckFiles();
    void bitmapHoldsThePreview();
    void bitmapReadsBackElsewhere();
    void listingCoversTheRange();
    void listingShownHereWhenTheDesktopCannot();
    void failedWritesAreReported();
};

// Forks, so it runs first: the child must not inherit the toolkit's worker threads
// (painting and file dialogs start them), which would not exist in it. The whole window
// lives in the child, which reports through its exit code.
void FilesTest::saveFailureOnAFullDiskKeepsTheOldFile()
{
    const QString path = Tmp(QStringLiteral("keep.kmd"));
    const pid_t child = fork();
    if (child == 0)
    {
        auto w = uitest::NewWindow();
        SeenDialog seen;
        AnswerFileDialog(&seen, path);
        uitest::Child<QAction>(*w, "Mnu_SaveProject")->trigger();
        if (uitest::Title(*w) != QStringLiteral("Kelmora - keep.kmd")) _exit(16);

        // Something new under another name, then the same file again on a disk that
        // fills after 100 bytes.
        w->SetFileName(QStringLiteral("other.kmd"));
        w->Mnu_SelectAllClick();
        w->Mnu_NegativeClick();
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(32);
        SeenDialog again;
        AnswerFileDialog(&again, path, true, true);
        uitest::Child<QAction>(*w, "Mnu_SaveProject")->trigger();
        const uitest::Message m = uitest::LastMessage();
        int code = 0;
        if (!again.seen) code |= 1;
        if (m.title != QStringLiteral("File Error")) code |= 2;
        if (m.text != QStringLiteral("Could not write ") + QDir::toNativeSeparators(path)) code |= 4;
        if (uitest::Title(*w) != QStringLiteral("Kelmora - other.kmd*")) code |= 8;
        _exit(code);
    }
    QVERIFY(child > 0);
    int status = 0;
    pid_t done = 0;
    // The parent runs no event loop meanwhile: the child shares its event dispatcher's
    // wake-up descriptors.
    for (int i = 0; i < 600 && done == 0; ++i) // at most a minute
    {
        done = waitpid(child, &status, WNOHANG);
        if (done == 0) usleep(100 * 1000);
    }
    if (done == 0)
    {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        QFAIL("the save on a full disk did not finish");
    }
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    // The first save is still there: colours 11, 0, 1 and 32 blank sprites.
    QByteArray old("\x0b\x00\x01", 3);
    for (int i = 0; i < 32; ++i)
        old += QByteArray(63, '\0') + QByteArray(1, char(133));
    QCOMPARE(ReadAll(path), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("keep.kmd")});
}

void FilesTest::newAsksFirstAndKeepsTheCount()
{
    auto w = uitest::NewWindow();
    SetQuantity(*w, 100);
    QCOMPARE(w->document().bank.spriteCount, 100);
    w->Mnu_SelectAllClick();
    w->Mnu_NegativeClick(); // every sprite in use changes, one undo step
    w->Mnu_CopyClick();
    w->document().bank.colourTransp = 3;
    // The title's mark goes after the name, whatever the name holds.
    w->SetFileName(Tmp(QStringLiteral("odd[*]name.kmd")));
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - odd[*]name.kmd*"));
    w->SetFileName(Tmp(QStringLiteral("work.kmd")));
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - work.kmd*"));
    const QByteArray before = Block(*w);

    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::Information;
    QString title, text;
    auto answer = [&](QMessageBox::StandardButton button)
    {
        uitest::WhenModal(
            [&, button](QWidget* modal)
            {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (!box)
                {
                    modal->close();
                    return;
                }
                buttons = box->standardButtons();
                icon = box->icon();
                title = box->windowTitle();
                text = box->text();
                box->button(button)->click();
            });
    };

    // Unsaved changes: the question that can save them, and Cancel changes nothing.
    answer(QMessageBox::Cancel);
    uitest::Child<QAction>(*w, "Mnu_New")->trigger();
    QCOMPARE(title, QStringLiteral("Kelmora"));
    QCOMPARE(text, QStringLiteral("Save changes to work.kmd?"));
    QCOMPARE(buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    QCOMPARE(Block(*w), before);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - work.kmd*"));
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    QCOMPARE(w->document().bank.colourTransp, 3);

    title.clear();
    answer(QMessageBox::Discard);
    uitest::Child<QAction>(*w, "Mnu_New")->trigger();
    QCOMPARE(text, QStringLiteral("Save changes to work.kmd?"));
    QCOMPARE(w->document().bank.spriteCount, 100);
    QCOMPARE(uitest::Child<QLineEdit>(*w, "Edit2")->text(), QStringLiteral("100"));
    for (int i = 0; i < 256; ++i)
    {
        QCOMPARE(IsBlank(w->document().bank.sprites, i), 1);
        QCOMPARE(GetAttribute(w->document().bank.sprites, i), 133);
    }
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr"));
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    QCOMPARE(int(w->document().bank.colourTransp), 11);
    QCOMPARE(int(w->document().bank.colourMulti1), 0);
    QCOMPARE(int(w->document().bank.colourSprite), 5);
    QCOMPARE(int(w->document().bank.colourMulti2), 1);
    QCOMPARE(w->document().bank.currentSprite, 0);
    QCOMPARE(w->document().bank.rangeEnd, 0);
    QCOMPARE(w->document().bank.currentPen, 2);
    QCOMPARE(w->document().buffer.bufferCount, 100); // the copy buffer stays
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Paste")->isEnabled());

    // Without changes New asks what it always asked, and No keeps everything.
    w->Mnu_PasteClick();
    const QByteArray pasted = Block(*w);
    w->Mnu_UndoClick(); // back to the new bank: no changes again
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr"));
    answer(QMessageBox::No);
    uitest::Child<QAction>(*w, "Mnu_New")->trigger();
    QCOMPARE(title, QStringLiteral("Confirm"));
    QCOMPARE(text, QStringLiteral("This will destroy all existing data, proceed?"));
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(icon, QMessageBox::NoIcon);
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Redo")->isEnabled());
    answer(QMessageBox::Yes);
    uitest::Child<QAction>(*w, "Mnu_New")->trigger();
    QCOMPARE(title, QStringLiteral("Confirm"));
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Redo")->isEnabled());
    QVERIFY(Block(*w) != pasted);

    // Save Project proposes a project name, in the folder the project dialog last used
    // (the folder of work.kmd); cancelling it changes nothing.
    SeenDialog seen;
    AnswerFileDialog(&seen, QString());
    uitest::Child<QAction>(*w, "Mnu_SaveProject")->trigger();
    QVERIFY(seen.seen);
    QCOMPARE(seen.name, QStringLiteral("Untitled.kmd"));
    QCOMPARE(seen.directory, QFileInfo(m_dir->path()).absoluteFilePath());
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr"));
}

void FilesTest::fileDialogsAreSetUpAndRemembered()
{
    auto w = uitest::NewWindow();
    struct Expected
    {
        QAction* item;
        const char* objectName;
        const char* title;
        QStringList filters;
        const char* suffix;
        QFileDialog::AcceptMode mode;
        bool confirms;
        const char* name;
    };
    const QStringList seuckFilters{QStringLiteral("SEUCK Sprite Files (*.a)"),
                                   QStringLiteral("Any File (*.*)")};
    const Expected expected[] = {
        {uitest::Child<QAction>(*w, "Mnu_Open"),
         "OpenDialog_Project",
         "Open Project",
         {QStringLiteral("Kelmora Project (*.kmd)"), QStringLiteral("Any file (*.*)")},
         "kmd",
         QFileDialog::AcceptOpen,
         false,
         "Untitled.kmd"},
        {uitest::Child<QAction>(*w, "Mnu_SaveProject"),
         "SaveDialog_Project",
         "Save Project",
         {QStringLiteral("Kelmora Projects (*.kmd)"), QStringLiteral("Any file (*.*)")},
         "kmd",
         QFileDialog::AcceptSave,
         true,
         "Untitled.kmd"},
        {uitest::Child<QAction>(*w, "LoadSpriteFile1"), "OpenDialog_SEUCK", "Load SEUCK Sprite File",
         seuckFilters, "a", QFileDialog::AcceptOpen, false, "Untitled.a"},
        {uitest::Child<QAction>(*w, "SaveSpriteFile1"), "SaveDialog_SEUCK", "Save SEUCK Sprite File",
         seuckFilters, "a", QFileDialog::AcceptSave, true, "Untitled.a"},
        {uitest::Child<QAction>(*w, "Mnu_SaveBitmap"),
         "SaveDialog_Bitmaps",
         "Save Bitmap",
         {QStringLiteral("Windows Bitmaps (*.bmp)")},
         "bmp",
         QFileDialog::AcceptSave,
         false,
         "Untitled.bmp"},
    };
    // Choosing "Any file" in Open Project lists names without a dot as well.
    WriteAll(Tmp(QStringLiteral("sprites")), Project(1, 1));
    WriteAll(Tmp(QStringLiteral("level.kmd")), Project(1, 2));
    QStringList kmdOnly, every;
    uitest::WhenModal(
        [&](QWidget* modal)
        {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            auto* types = modal->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            if (dialog && types)
            {
                dialog->setDirectory(Tmp(QString())); // as a user goes to the folder
                kmdOnly = ListedNames(dialog, 1);
                types->setFocus();
                QTest::keyClick(types, Qt::Key_Down); // as a user picks the second filter
                every = ListedNames(dialog, 2);
            }
            modal->close();
        });
    uitest::Child<QAction>(*w, "Mnu_Open")->trigger();
    QCOMPARE(kmdOnly, QStringList{QStringLiteral("level.kmd")});
    QCOMPARE(every, (QStringList{QStringLiteral("level.kmd"), QStringLiteral("sprites")}));

    const QString before = w->windowTitle();
    for (const Expected& e : expected)
    {
        SeenDialog seen;
        AnswerFileDialog(&seen, QString());
        e.item->trigger();
        QVERIFY2(seen.seen, e.title);
        QCOMPARE(seen.objectName, QString::fromLatin1(e.objectName));
        QCOMPARE(seen.title, QString::fromLatin1(e.title));
        QCOMPARE(seen.filters, e.filters);
        QCOMPARE(seen.suffix, QString::fromLatin1(e.suffix));
        QCOMPARE(seen.mode, e.mode);
        QCOMPARE(seen.confirmsOverwrite, e.confirms);
        QCOMPARE(seen.name, QString::fromLatin1(e.name));
    }
    QCOMPARE(w->windowTitle(), before);

    // Each dialog starts where it was last used; a name without extension gets the
    // dialog's own.
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("art")));
    const QString folder = Tmp(QStringLiteral("art"));
    SeenDialog seen;
    AnswerFileDialog(&seen, folder + QStringLiteral("/level1"));
    uitest::Child<QAction>(*w, "SaveSpriteFile1")->trigger();
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/level1.a")));
    AnswerFileDialog(&seen, folder + QStringLiteral("/shot"));
    uitest::Child<QAction>(*w, "Mnu_SaveBitmap")->trigger();
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/shot.bmp")));

    AnswerFileDialog(&seen, QString());
    uitest::Child<QAction>(*w, "SaveSpriteFile1")->trigger();
    QCOMPARE(seen.directory, QFileInfo(folder).absoluteFilePath());
    QCOMPARE(seen.name, QStringLiteral("level1.a"));
    AnswerFileDialog(&seen, QString());
    uitest::Child<QAction>(*w, "Mnu_SaveBitmap")->trigger();
    QCOMPARE(seen.directory, QFileInfo(folder).absoluteFilePath());
    QCOMPARE(seen.name, QStringLiteral("shot.bmp"));
    // The SEUCK load dialog keeps its own place.
    AnswerFileDialog(&seen, QString());
    uitest::Child<QAction>(*w, "LoadSpriteFile1")->trigger();
    QCOMPARE(seen.name, QStringLiteral("Untitled.a"));
    // Saves leave the title alone.
    QCOMPARE(w->windowTitle(), before);
}

void FilesTest::openProject()
{
    auto w = uitest::NewWindow();
    const QString good = Tmp(QStringLiteral("forty.kmd"));
    const QByteArray project = Project(40, 9);
    WriteAll(good, project);
    const QString bad = Tmp(QStringLiteral("bad.kmd"));
    WriteAll(bad, Project(1, 3) + "x"); // 68 bytes: not 3 + 64 n

    uitest::Child<QScrollBar>(*w, "ScrollBar1")->setValue(5);
    w->Mnu_NegativeClick();
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr*"));

    // Unsaved changes: Open asks first, and Cancel opens no file dialog and changes nothing.
    const QByteArray block = Block(*w);
    SeenDialog seen;
    uitest::AnswerMessage(QStringLiteral("Cancel"));
    uitest::Child<QAction>(*w, "Mnu_Open")->trigger();
    QCOMPARE(uitest::LastMessage().text, QStringLiteral("Save changes to Untitled.spr?"));
    QTest::qWait(50);
    QVERIFY(!seen.seen);
    QCOMPARE(Block(*w), block);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr*"));

    // Discard, then a refused file: message, nothing changed.
    uitest::AnswerMessageThen(QStringLiteral("Discard"), [&] { AnswerFileDialog(&seen, bad, false, true); });
    uitest::Child<QAction>(*w, "Mnu_Open")->trigger();
    // The message names the file.
    QCOMPARE(uitest::LastMessage().text,
             QStringLiteral("Invalid file size: ") + QDir::toNativeSeparators(bad));
    QCOMPARE(uitest::LastMessage().title, QStringLiteral("File Error"));
    QCOMPARE(Block(*w), block);
    QCOMPARE(w->document().bank.spriteCount, 32);
    QCOMPARE(w->document().bank.currentSprite, 5);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr*"));
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());

    // Discard, then the good file: loaded, and no changes.
    uitest::AnswerMessageThen(QStringLiteral("Discard"), [&] { AnswerFileDialog(&seen, good); });
    uitest::Child<QAction>(*w, "Mnu_Open")->trigger();
    QCOMPARE(w->document().bank.spriteCount, 40);
    QCOMPARE(uitest::Child<QLineEdit>(*w, "Edit2")->text(), QStringLiteral("40"));
    QCOMPARE(uitest::Child<QScrollBar>(*w, "ScrollBar1")->maximum(), 39);
    QCOMPARE(w->document().bank.currentSprite, 0);
    QCOMPARE(w->document().bank.rangeStart, 0);
    QCOMPARE(w->document().bank.rangeEnd, 0);
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Redo")->isEnabled());
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - forty.kmd"));
    QCOMPARE(int(w->document().bank.colourTransp), 2);
    QCOMPARE(int(w->document().bank.colourMulti1), 6);
    QCOMPARE(int(w->document().bank.colourMulti2), 14);
    QCOMPARE(Block(*w).left(40 * 64), project.mid(3));
    QCOMPARE(GetAttribute(w->document().bank.sprites, 40), 133);
    QCOMPARE(IsBlank(w->document().bank.sprites, 255), 1);

    // Save Project now offers the opened file, and the open dialog starts there too.
    AnswerFileDialog(&seen, QString());
    uitest::Child<QAction>(*w, "Mnu_SaveProject")->trigger();
    QCOMPARE(seen.name, QStringLiteral("forty.kmd"));
    QCOMPARE(seen.directory, QFileInfo(m_dir->path()).absoluteFilePath());
    AnswerFileDialog(&seen, QString());
    uitest::Child<QAction>(*w, "Mnu_Open")->trigger();
    QCOMPARE(seen.name, QStringLiteral("forty.kmd"));

    // A change marks the title; undoing back to what the file holds clears the mark.
    w->Mnu_FlipXClick();
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - forty.kmd*"));
    w->Mnu_UndoClick();
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - forty.kmd"));
    w->Mnu_RedoClick();
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - forty.kmd*"));
    // The shared colours and the count are the file's too.
    w->Mnu_UndoClick();
    SetQuantity(*w, 41);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - forty.kmd*"));
    SetQuantity(*w, 40);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - forty.kmd"));

    // Save, then Open: the changes are written first, then the chosen file is opened.
    w->Mnu_RedoClick();
    const QByteArray changed = QByteArray("\x02\x06\x0e", 3) + Block(*w).left(40 * 64);
    const QString saved = Tmp(QStringLiteral("saved.kmd"));
    const QString two = Tmp(QStringLiteral("two.kmd"));
    WriteAll(two, Project(2, 5));
    uitest::AnswerMessageThen(QStringLiteral("Save"), [&]
                              { AnswerFileDialogThen(&seen, saved, [&] { AnswerFileDialog(&seen, two); }); });
    uitest::Child<QAction>(*w, "Mnu_Open")->trigger();
    QCOMPARE(uitest::LastMessage().text, QStringLiteral("Save changes to forty.kmd?"));
    QCOMPARE(ReadAll(saved), changed);
    QCOMPARE(w->document().bank.spriteCount, 2);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - two.kmd"));

    // Save whose dialog is cancelled opens nothing: the changes stay.
    w->Mnu_NegativeClick();
    const QByteArray kept = Block(*w);
    uitest::AnswerMessageThen(QStringLiteral("Save"), [&] { AnswerFileDialogThen(&seen, QString(), {}); });
    uitest::Child<QAction>(*w, "Mnu_Open")->trigger();
    QTest::qWait(50);
    QCOMPARE(Block(*w), kept);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - two.kmd*"));

    // Save Project clears the mark: the file now holds the changes.
    const QString again = Tmp(QStringLiteral("again.kmd"));
    AnswerFileDialog(&seen, again);
    uitest::Child<QAction>(*w, "Mnu_SaveProject")->trigger();
    QCOMPARE(seen.name, QStringLiteral("two.kmd"));
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - again.kmd"));
    QCOMPARE(ReadAll(again).mid(3), kept.left(2 * 64));
}

void FilesTest::droppedProject()
{
    // A path far beyond 255 characters.
    QString folder = m_dir->path();
    for (int i = 0; i < 6; ++i)
        folder += QStringLiteral("/") + QString(60, QLatin1Char('a' + i));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/dropped.kmd");
    QVERIFY(path.size() > 380);
    WriteAll(path, Project(12, 4));

    // The state the menu's Open Project gives.
    QByteArray openedBlock;
    QString openedTitle;
    {
        auto w = uitest::NewWindow();
        SeenDialog seen;
        AnswerFileDialog(&seen, path);
        uitest::Child<QAction>(*w, "Mnu_Open")->trigger();
        QCOMPARE(w->document().bank.spriteCount, 12);
        openedBlock = Block(*w);
        openedTitle = w->windowTitle();
    }

    auto w = uitest::NewWindow();
    uitest::Child<QScrollBar>(*w, "ScrollBar1")->setValue(3);
    w->Mnu_NegativeClick();
    // The drop would replace unsaved changes: it asks, and Cancel keeps them.
    const QByteArray negated = Block(*w);
    uitest::AnswerMessage(QStringLiteral("Cancel"));
    w->DropFile(path);
    QCOMPARE(uitest::LastMessage().text, QStringLiteral("Save changes to Untitled.spr?"));
    QCOMPARE(Block(*w), negated);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr*"));
    uitest::AnswerMessage(QStringLiteral("Discard"));
    w->DropFile(path);
    QCOMPARE(Block(*w), openedBlock);
    QCOMPARE(w->windowTitle(), openedTitle);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - dropped.kmd"));
    QCOMPARE(w->document().bank.spriteCount, 12);
    QCOMPARE(uitest::Child<QLineEdit>(*w, "Edit2")->text(), QStringLiteral("12"));
    QCOMPARE(uitest::Child<QScrollBar>(*w, "ScrollBar1")->maximum(), 11);
    QCOMPARE(w->document().bank.currentSprite, 0);
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());

    // A file that is no project: silently refused.
    const QString bad = Tmp(QStringLiteral("notes.txt"));
    WriteAll(bad, "hello");
    w->Mnu_NegativeClick();
    const QByteArray block = Block(*w);
    QVERIFY(!OpensModal([&] { w->DropFile(bad); }));
    QVERIFY(!OpensModal([&] { w->DropFile(Tmp(QStringLiteral("missing.kmd"))); }));
    QCOMPARE(Block(*w), block);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - dropped.kmd*"));
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());

    // A real drop from the desktop: the first file counts.
    const QString second = Tmp(QStringLiteral("seven.bin"));
    WriteAll(second, Project(7, 1));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(second), QUrl::fromLocalFile(path)});
    const QPoint at(300, 200);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    // The file opens once the drop is over (its question must not hold the desktop's drag up).
    uitest::ClearLastMessage();
    uitest::AnswerMessage(QStringLiteral("Discard"));
    QApplication::sendEvent(w.get(), &drop);
    QVERIFY(drop.isAccepted());
    QTRY_COMPARE(w->document().bank.spriteCount, 7);
    QCOMPARE(uitest::LastMessage().text, QStringLiteral("Save changes to dropped.kmd?"));
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - seven.bin"));

    // Something that is not a local file is not taken.
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.kmd"))});
    QDragEnterEvent webEnter(at, Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    webEnter.setAccepted(false);
    QApplication::sendEvent(w.get(), &webEnter);
    QVERIFY(!webEnter.isAccepted());
}

void FilesTest::seuckFiles()
{
    auto w = uitest::NewWindow();
    SetQuantity(*w, 128);
    w->document().bank.sprites[63] = 0x9E; // multicolour, overlay, colour 14
    w->RefreshAll();

    // 128 sprites: refused before any file dialog (a file dialog would leave no message).
    uitest::AnswerMessage(QStringLiteral("OK"));
    uitest::Child<QAction>(*w, "SaveSpriteFile1")->trigger();
    QCOMPARE(uitest::LastMessage().text, QStringLiteral("SEUCK sprite files cannot exceed 127 sprites"));
    QCOMPARE(uitest::LastMessage().title, QStringLiteral("Kelmora"));
    QVERIFY(QDir(m_dir->path()).isEmpty());

    // 127 sprites are accepted.
    SetQuantity(*w, 127);
    const QString path = Tmp(QStringLiteral("game.a"));
    SeenDialog seen;
    AnswerFileDialog(&seen, path);
    uitest::Child<QAction>(*w, "SaveSpriteFile1")->trigger();
    const QByteArray file = ReadAll(path);
    QCOMPARE(file.size(), 8130);
    QCOMPARE(int(file[0]), 0x42);
    QCOMPARE(int(file[1]), 0x00);
    QCOMPARE(int(static_cast<unsigned char>(file[65])), 0x1E);
    QCOMPARE(int(static_cast<unsigned char>(file[65 + 64])), 0x15); // 133: multicolour, colour 5
    // A SEUCK file holds no shared colours and no overlay flags: the changes stay unsaved.
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - Untitled.spr*"));

    // Loading it back: 127 sprites, attributes back in the editor's layout.
    SetQuantity(*w, 3);
    w->Mnu_NegativeClick();
    uitest::AnswerMessageThen(QStringLiteral("Discard"), [&] { AnswerFileDialog(&seen, path); });
    uitest::Child<QAction>(*w, "LoadSpriteFile1")->trigger();
    QCOMPARE(uitest::LastMessage().text, QStringLiteral("Save changes to Untitled.spr?"));
    QCOMPARE(w->document().bank.spriteCount, 127);
    QCOMPARE(uitest::Child<QLineEdit>(*w, "Edit2")->text(), QStringLiteral("127"));
    QCOMPARE(GetAttribute(w->document().bank.sprites, 0), 0x8E);
    QCOMPARE(GetAttribute(w->document().bank.sprites, 1), 133);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - game.a"));
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());

    // Something that cannot be read as a file (a pipe): "Invalid file", nothing changes.
    const QString pipe = Tmp(QStringLiteral("pipe.a"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    w->Mnu_NegativeClick();
    const QByteArray block = Block(*w);
    uitest::AnswerMessageThen(QStringLiteral("Discard"), [&] { AnswerFileDialog(&seen, pipe, false, true); });
    uitest::Child<QAction>(*w, "LoadSpriteFile1")->trigger();
    QCOMPARE(uitest::LastMessage().text, QStringLiteral("Invalid file: ") + QDir::toNativeSeparators(pipe));
    QCOMPARE(uitest::LastMessage().title, QStringLiteral("File Error"));
    QCOMPARE(Block(*w), block);
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - game.a*"));
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
}

void FilesTest::bitmapHoldsThePreview()
{
    auto w = uitest::NewWindow();
    // Sprite 0: multicolour pixels of every value in its first row, colour 7.
    w->document().bank.sprites[63] = 0x80 | 7;
    for (int x = 0; x < 4; ++x)
        SetPixel(w->document().bank.sprites, 0, x, 0, x);
    SetPixel(w->document().bank.sprites, 0, 11, 20, 2);
    w->document().bank.colourMulti1 = 2;
    w->document().bank.colourMulti2 = 13;
    w->RefreshAll();
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_DoubleScan")->isChecked());

    const QString on = Tmp(QStringLiteral("on.bmp"));
    SeenDialog seen;
    AnswerFileDialog(&seen, on);
    uitest::Child<QAction>(*w, "Mnu_SaveBitmap")->trigger();
    const QByteArray b = ReadAll(on);
    QCOMPARE(b.size(), 54 + 68 * 62 * 4);
    QCOMPARE(b.left(2), QByteArray("BM"));
    QCOMPARE(U32(b, 2), 54u + 68 * 62 * 4);
    QCOMPARE(U32(b, 10), 54u);
    QCOMPARE(U32(b, 14), 40u);
    QCOMPARE(U32(b, 18), 68u);
    QCOMPARE(U32(b, 22), 62u); // positive: rows bottom-up
    QCOMPARE(U32(b, 26) & 0xFFFF, 1u);
    QCOMPARE(U32(b, 26) >> 16, 32u);
    QCOMPARE(U32(b, 30), 0u); // uncompressed
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 68; ++x)
            QCOMPARE(BmpPixel(b, 68, 62, x, y), uitest::Rgb(uitest::Shown(*w, "PaintBox_Preview"), x, y));
    for (int i = 54 + 3; i < b.size(); i += 4)
        QCOMPARE(int(b[i]), 0);
    // The picture itself: border in the transparent colour, then the sprite's first row at
    // (10, 10), each multicolour pixel 4 x 2 output pixels.
    const unsigned transparent = (w->host().viewColours()[11] & 0xFFFFFFu);
    QCOMPARE(BmpPixel(b, 68, 62, 0, 0), transparent);
    QCOMPARE(BmpPixel(b, 68, 62, 9, 61), transparent);
    const int colours[4] = {11, 2, 7, 13};
    for (int v = 0; v < 4; ++v)
        for (int dx = 0; dx < 4; ++dx)
            for (int dy = 0; dy < 2; ++dy)
                QCOMPARE(BmpPixel(b, 68, 62, 10 + 4 * v + dx, 10 + dy),
                         (w->host().viewColours()[colours[v]] & 0xFFFFFFu));
    QCOMPARE(BmpPixel(b, 68, 62, 10 + 44, 10 + 40 + 1), (w->host().viewColours()[7] & 0xFFFFFFu));

    // Double Scan off: every odd row black, even rows doubled sideways only.
    uitest::Child<QAction>(*w, "Mnu_DoubleScan")->trigger();
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_DoubleScan")->isChecked());
    const QString off = Tmp(QStringLiteral("off.bmp"));
    AnswerFileDialog(&seen, off);
    uitest::Child<QAction>(*w, "Mnu_SaveBitmap")->trigger();
    const QByteArray c = ReadAll(off);
    QCOMPARE(c.size(), b.size());
    QCOMPARE(c.left(54), b.left(54));
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 68; ++x)
        {
            if (y % 2)
                QCOMPARE(BmpPixel(c, 68, 62, x, y), 0u);
            else
                QCOMPARE(BmpPixel(c, 68, 62, x, y), BmpPixel(b, 68, 62, x, y));
        }

    // The file holds the preview as last drawn: a change not yet shown is not in it.
    const QString same = Tmp(QStringLiteral("same.bmp"));
    w->document().bank.colourTransp = 1;
    AnswerFileDialog(&seen, same);
    uitest::Child<QAction>(*w, "Mnu_SaveBitmap")->trigger();
    QCOMPARE(ReadAll(same), c);
    // An existing file is replaced without a question.
    w->RefreshAll();
    AnswerFileDialog(&seen, same);
    uitest::Child<QAction>(*w, "Mnu_SaveBitmap")->trigger();
    QCOMPARE(BmpPixel(ReadAll(same), 68, 62, 0, 0), (w->host().viewColours()[1] & 0xFFFFFFu));
}

void FilesTest::bitmapReadsBackElsewhere()
{
    const QString identify = QStringLiteral("/usr/bin/identify");
    const QString convert = QStringLiteral("/usr/bin/convert");
    if (!QFileInfo(identify).isExecutable() || !QFileInfo(convert).isExecutable())
        QSKIP("ImageMagick is not installed");

    auto w = uitest::NewWindow();
    for (int i = 0; i < 63; ++i)
        w->document().bank.sprites[i] = static_cast<u8>(i * 37);
    w->document().bank.sprites[63] = 0x80 | 3;
    w->document().bank.colourTransp = 6;
    w->RefreshAll();
    const QString path = Tmp(QStringLiteral("check.bmp"));
    SeenDialog seen;
    AnswerFileDialog(&seen, path);
    uitest::Child<QAction>(*w, "Mnu_SaveBitmap")->trigger();

    QProcess id;
    id.start(identify, {QStringLiteral("-format"), QStringLiteral("%m %w %h"), path});
    QVERIFY(id.waitForFinished(30000));
    QCOMPARE(id.exitCode(), 0);
    const QString description = QString::fromLatin1(id.readAllStandardOutput()).trimmed();
    QVERIFY2(description.startsWith(QStringLiteral("BMP")) && description.endsWith(QStringLiteral(" 68 62")),
             qPrintable(description));

    const QString png = Tmp(QStringLiteral("check.png"));
    QProcess conv;
    conv.start(convert, {path, png});
    QVERIFY(conv.waitForFinished(30000));
    QCOMPARE(conv.exitCode(), 0);
    const QImage decoded(png);
    QCOMPARE(decoded.size(), QSize(68, 62));
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 68; ++x)
            QCOMPARE(uitest::Rgb(decoded, x, y), uitest::Rgb(uitest::Shown(*w, "PaintBox_Preview"), x, y));
}

void FilesTest::listingCoversTheRange()
{
    auto w = uitest::NewWindow();
    QStringList opened;
    w->OpenDocument = [&](const QString& path)
    {
        opened << path;
        return true;
    };
    w->SetTextDataPath(Tmp(QStringLiteral("spritedata.txt")));
    for (int i = 0; i < 64; ++i)
        w->document().bank.sprites[4 * 64 + i] = static_cast<u8>(i == 63 ? 0x9E : i * 4);
    w->document().bank.currentSprite = w->document().bank.rangeStart = 3;
    w->document().bank.rangeEnd = 5;

    uitest::Child<QAction>(*w, "Mnu_Hex")->trigger();
    QCOMPARE(opened, QStringList{w->textDataPath()});
    QStringList lines = QString::fromLatin1(ReadAll(w->textDataPath())).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 13); // 4 lines a sprite, then the end of the last line
    QCOMPARE(lines.filter(QStringLiteral("; Sprite")),
             (QStringList{QStringLiteral("; Sprite 3"), QStringLiteral("; Sprite 4"),
                          QStringLiteral("; Sprite 5")}));
    QVERIFY(lines[7].startsWith(QStringLiteral("$00,$04,$08,")));
    QVERIFY(lines[7].endsWith(QStringLiteral(",$F8,$9E")));
    QVERIFY(lines[3].endsWith(QStringLiteral(",$00,$85")));

    uitest::Child<QAction>(*w, "Mnu_Decimal")->trigger();
    QCOMPARE(opened.size(), 2);
    lines = QString::fromLatin1(ReadAll(w->textDataPath())).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines[5], QStringLiteral("; Sprite 4"));
    QVERIFY(lines[7].startsWith(QStringLiteral("0,4,8,")));
    QVERIFY(lines[7].endsWith(QStringLiteral(",248,158")));
    QVERIFY(lines[11].endsWith(QStringLiteral(",0,133")));
}

void FilesTest::listingShownHereWhenTheDesktopCannot()
{
    auto w = uitest::NewWindow();
    QStringList asked;
    w->OpenDocument = [&](const QString& path)
    {
        asked << path;
        return false; // no viewer for text files on this desktop
    };
    w->SetTextDataPath(Tmp(QStringLiteral("spritedata.txt")));
    w->Mnu_SelectAllClick();
    w->Mnu_NegativeClick();
    const QString copy = Tmp(QStringLiteral("copy.txt"));
    const QString plain = Tmp(QStringLiteral("plain"));
    WriteAll(plain, "not a folder");

    QString title, shown, copied;
    bool readOnly = false, monospace = false;
    uitest::WhenModal(
        [&](QWidget* modal)
        {
            auto* viewer = qobject_cast<TFormTextData*>(modal);
            if (!viewer)
            {
                modal->close();
                return;
            }
            title = viewer->windowTitle();
            shown = viewer->Memo1->toPlainText();
            readOnly = viewer->Memo1->isReadOnly();
            monospace = QFontInfo(viewer->Memo1->font()).fixedPitch();
            viewer->Memo1->selectAll();
            viewer->Memo1->copy();
            copied = QGuiApplication::clipboard()->text();
            uitest::AnswerFileDialog(copy);
            viewer->BtnSaveAs->click();
            uitest::AnswerFileDialogThen(plain + QStringLiteral("/x.txt"),
                                         [] { uitest::AnswerMessage(QStringLiteral("OK")); });
            viewer->BtnSaveAs->click();
            viewer->BtnClose->click();
        });
    uitest::Child<QAction>(*w, "Mnu_Hex")->trigger();

    const QByteArray listing = ReadAll(w->textDataPath());
    QCOMPARE(asked, QStringList{w->textDataPath()});
    QCOMPARE(listing.count("; Sprite"), 32);
    QCOMPARE(title, QStringLiteral("spritedata.txt"));
    QCOMPARE(shown.toLatin1(), listing);
    QVERIFY(readOnly);
    QVERIFY(monospace);
    QCOMPARE(copied, shown);
    QCOMPARE(ReadAll(copy), listing);
    QCOMPARE(uitest::LastMessage().title, QStringLiteral("File Error"));
    QCOMPARE(uitest::LastMessage().text,
             QStringLiteral("Could not write ") + QDir::toNativeSeparators(plain + QStringLiteral("/x.txt")));
    QCOMPARE(ReadAll(plain), QByteArray("not a folder"));
    QVERIFY(!w->findChild<TFormTextData*>());
}

void FilesTest::failedWritesAreReported()
{
    auto w = uitest::NewWindow();
    QStringList opened;
    w->OpenDocument = [&](const QString& path)
    {
        opened << path;
        return true;
    };
    const QString plain = Tmp(QStringLiteral("plain"));
    WriteAll(plain, "not a folder");
    const QString title = w->windowTitle();

    struct Case
    {
        QAction* item;
        QString path;
    };
    const Case cases[] = {
        {uitest::Child<QAction>(*w, "Mnu_SaveProject"), plain + QStringLiteral("/p.kmd")},
        {uitest::Child<QAction>(*w, "SaveSpriteFile1"), plain + QStringLiteral("/s.a")},
        {uitest::Child<QAction>(*w, "Mnu_SaveBitmap"), plain + QStringLiteral("/b.bmp")},
    };
    for (const Case& c : cases)
    {
        uitest::ClearLastMessage();
        SeenDialog seen;
        AnswerFileDialog(&seen, c.path, false, true);
        c.item->trigger();
        QVERIFY(seen.seen);
        QCOMPARE(uitest::LastMessage().title, QStringLiteral("File Error"));
        QCOMPARE(uitest::LastMessage().text,
                 QStringLiteral("Could not write ") + QDir::toNativeSeparators(c.path));
        QCOMPARE(w->windowTitle(), title); // Save Project keeps the old title
    }
    QCOMPARE(ReadAll(plain), QByteArray("not a folder"));

    // The listing: reported, and no viewer is started.
    w->SetTextDataPath(plain + QStringLiteral("/spritedata.txt"));
    uitest::ClearLastMessage();
    uitest::AnswerMessage(QStringLiteral("OK"));
    uitest::Child<QAction>(*w, "Mnu_Hex")->trigger();
    QCOMPARE(uitest::LastMessage().text,
             QStringLiteral("Could not write ") + QDir::toNativeSeparators(w->textDataPath()));
    QCOMPARE(uitest::LastMessage().title, QStringLiteral("File Error"));
    QVERIFY(opened.isEmpty());
}

QTEST_MAIN(FilesTest)
#include "files_test.moc"
