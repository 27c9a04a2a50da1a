// The editor's writers when the write fails: Save Project, Save SEUCK Sprite File, Save
// Bitmap Image, Export (PRG and raw) and View Text Data, each through its own command
// and file dialog, on a path under a regular file, into a folder that disappears
// between choosing and saving, into a folder the user may not write to, and on a full
// disk. Each time the user sees "Could not write NAME" captioned "File Error", and the
// older file is left exactly as it was, with nothing else beside it.
//
// The last two run in a child process (this program started again), which sets its
// file size limit or gives up root's rights right before the save: the window must
// not share a process whose rights or limits change under the test runner.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

#include <grp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/tools/FormExportSprites.h"

using namespace kelmora;

namespace
{

enum class Writer
{
    Project,
    Seuck,
    Bitmap,
    ExportPrg,
    ExportRaw,
    Listing
};

struct WriterCase
{
    Writer writer;
    const char* title;
    const char* file;
};

const WriterCase kWriters[] = {
    {Writer::Project, "Save Project", "keep.kmd"},     {Writer::Seuck, "Save SEUCK", "keep.a"},
    {Writer::Bitmap, "Save Bitmap Image", "keep.bmp"}, {Writer::ExportPrg, "Export PRG", "keep.prg"},
    {Writer::ExportRaw, "Export raw", "keep.raw"},     {Writer::Listing, "View Text Data", "spritedata.txt"},
};

// What the user saw while a command ran.
struct Seen
{
    QStringList messages; // "caption|text" of every message answered with OK
    int fileDialogs = 0;
    QStringList problems; // anything the answers did not expect
};

// Answers every modal window while a command runs: a file dialog with path (running
// beforeAccept right before accepting it), the export dialog with the chosen format,
// an overwrite question with Yes, a message with OK.
class Answerer
{
  public:
    Answerer(const QString& path, bool prg, std::function<void()> beforeAccept)
        : m_state(std::make_shared<State>())
    {
        m_state->path = path;
        m_state->prg = prg;
        m_state->beforeAccept = std::move(beforeAccept);
    }

    Seen Run(const std::function<void()>& command)
    {
        m_state->active = true;
        auto state = m_state;
        QTimer::singleShot(0, [state] { Poll(state); });
        command();
        m_state->active = false;
        return m_state->seen;
    }

  private:
    struct State
    {
        bool active = false;
        QString path;
        bool prg = false;
        std::function<void()> beforeAccept;
        Seen seen;
    };

    static void Poll(const std::shared_ptr<State>& state)
    {
        if (!state->active) return;
        // The next look first: answering may open a window inside this one.
        QTimer::singleShot(5, [state] { Poll(state); });
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->property("answered").toBool()) return;
        modal->setProperty("answered", true);

        if (auto* dialog = qobject_cast<QFileDialog*>(modal))
        {
            ++state->seen.fileDialogs;
            dialog->selectFile(state->path);
            // selectFile leaves the name box alone while it has the focus.
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(state->path);
            if (state->beforeAccept) state->beforeAccept();
            QPointer<QFileDialog> alive(dialog);
            static_cast<QDialog*>(dialog)->accept(); // the dialog's own checks and questions
            if (alive && alive->isVisible())
            {
                state->seen.problems << QStringLiteral("the file dialog kept ") + state->path;
                alive->reject();
            }
        }
        else if (auto* box = qobject_cast<QMessageBox*>(modal))
        {
            if (QAbstractButton* yes = box->button(QMessageBox::Yes))
            {
                yes->click(); // "... already exists. Do you want to replace it?"
                return;
            }
            state->seen.messages << box->windowTitle() + QLatin1Char('|') + box->text() + QLatin1Char('|') +
                                        box->informativeText();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->close();
        }
        else if (auto* exporter = qobject_cast<TFormExport*>(modal))
        {
            (state->prg ? exporter->RadioPrg : exporter->RadioRaw)->click();
            QPointer<TFormExport> alive(exporter);
            exporter->BtnOk->click();
            if (alive && alive->isVisible())
            {
                state->seen.problems << QStringLiteral("the export dialog stayed open");
                alive->reject();
            }
        }
        else
        {
            state->seen.problems << QStringLiteral("unexpected window ") + modal->metaObject()->className();
            modal->close();
        }
    }

    std::shared_ptr<State> m_state;
};

// Writes the window's sprites to path with writer, through its command and dialogs.
Seen Save(TForm1& w, Writer writer, const QString& path, std::function<void()> beforeAccept = {})
{
    Answerer answerer(path, writer == Writer::ExportPrg, beforeAccept);
    return answerer.Run(
        [&]
        {
            switch (writer)
            {
            case Writer::Project:
                uitest::Child<QAction>(w, "Mnu_SaveProject")->trigger();
                break;
            case Writer::Seuck:
                uitest::Child<QAction>(w, "SaveSpriteFile1")->trigger();
                break;
            case Writer::Bitmap:
                uitest::Child<QAction>(w, "Mnu_SaveBitmap")->trigger();
                break;
            case Writer::ExportPrg:
            case Writer::ExportRaw:
                uitest::Child<QAction>(w, "Export1")->trigger();
                break;
            case Writer::Listing:
                // No file dialog: the listing always goes to the window's listing file.
                w.SetTextDataPath(path);
                if (beforeAccept) beforeAccept();
                uitest::Child<QAction>(w, "Mnu_Hex")->trigger();
                break;
            }
        });
}

// The message of a failed write: the file named on its first line, the system's reason on
// the second.
QString Failure(const QString& path, const char* reason)
{
    return QStringLiteral("File Error|Could not write ") + QDir::toNativeSeparators(path) + QLatin1Char('|') +
           QLatin1String(reason);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool WriteAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

// Every entry of a folder, hidden ones too, with its bytes.
std::map<QString, QByteArray> Contents(const QString& folder)
{
    std::map<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        files[name] = ReadAll(dir.filePath(name));
    return files;
}

// A folder holding an older file for every writer, each with bytes of its own.
bool FillWithOlderFiles(const QString& folder)
{
    if (!QDir().mkpath(folder)) return false;
    char seed = 'a';
    for (const WriterCase& c : kWriters)
        if (!WriteAll(QDir(folder).filePath(QLatin1String(c.file)),
                      QByteArray("older ") + QByteArray(30, seed++)))
            return false;
    return true;
}

// A window whose sprites differ from every older file.
std::unique_ptr<TForm1> WindowWithSprites(QStringList* opened)
{
    auto w = uitest::NewWindow();
    w->OpenDocument = [opened](const QString& path)
    {
        *opened << path;
        return true;
    };
    w->Mnu_SelectAllClick();
    w->Mnu_NegativeClick();
    w->document().bank.rangeStart = w->document().bank.rangeEnd = 0;
    w->RefreshAll();
    return w;
}

// ---- The child process ----

constexpr char kChildWriter[] = "KELMORA_WRITEFAULT_WRITER";
constexpr char kChildPath[] = "KELMORA_WRITEFAULT_PATH";
constexpr char kChildLimit[] = "KELMORA_WRITEFAULT_LIMIT"; // "disk-full" or "unprivileged"
constexpr uid_t kNobody = 65534;

// Saves with one writer under one limit and prints what the user saw:
// "MESSAGE caption|text", "PROBLEM ...", "OPENED n", "TITLE-KEPT 0/1".
int RunChild()
{
    const int writer = qEnvironmentVariableIntValue(kChildWriter);
    const QString path = qEnvironmentVariable(kChildPath);
    const QString limit = qEnvironmentVariable(kChildLimit);
    if (writer < 0 || writer >= int(std::size(kWriters))) return 90;

    QStringList opened;
    auto w = WindowWithSprites(&opened);
    const QString title = w->windowTitle();
    if (limit == QLatin1String("disk-full"))
    {
        // The disk fills after 100 bytes: every one of these files is bigger.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{100, 100};
        if (setrlimit(RLIMIT_FSIZE, &small) != 0) return 91;
    }
    else if (limit == QLatin1String("unprivileged") && geteuid() == 0)
    {
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) return 92;
        // Changing the user makes a process undumpable, which would keep the leak checker
        // of a sanitizer build from inspecting it at exit.
        prctl(PR_SET_DUMPABLE, 1);
    }
    const Seen seen = Save(*w, kWriters[writer].writer, path);
    for (const QString& m : seen.messages)
        std::printf("MESSAGE %s\n", qPrintable(m));
    for (const QString& p : seen.problems)
        std::printf("PROBLEM %s\n", qPrintable(p));
    std::printf("OPENED %d\n", int(opened.size()));
    std::printf("TITLE-KEPT %d\n", w->windowTitle() == title ? 1 : 0);
    std::fflush(stdout);
    return 0;
}

// True when a child of this process can give up root's rights (a container may forbid it).
bool CanDropRoot()
{
    if (geteuid() != 0) return true;
    const pid_t probe = fork();
    if (probe == 0) _exit(setgid(kNobody) == 0 && setuid(kNobody) == 0 ? 0 : 1);
    int status = 0;
    waitpid(probe, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

class WriteFaultsTest : public QObject
{
    Q_OBJECT

  private slots:
    void inProcess_data();
    void inProcess();
    void inChild_data();
    void inChild();
};

void WriteFaultsTest::inProcess_data()
{
    QTest::addColumn<int>("writer");
    QTest::addColumn<QString>("condition");
    for (const QString& condition : {QStringLiteral("under a regular file"), QStringLiteral("folder gone")})
        for (int i = 0; i < int(std::size(kWriters)); ++i)
            QTest::newRow(
                qPrintable(QString::fromLatin1(kWriters[i].title) + QStringLiteral(", ") + condition))
                << i << condition;
}

// A path under a regular file (no one may write there, root included), and a folder that
// is moved away after the file was chosen: the folder's older file moves with it and must
// come through untouched, and nothing may appear at the old place.
void WriteFaultsTest::inProcess()
{
    QFETCH(int, writer);
    QFETCH(QString, condition);
    const WriterCase& c = kWriters[writer];
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QStringList opened;
    auto w = WindowWithSprites(&opened);
    w->SetFileName(QStringLiteral("before.kmd"));

    if (condition == QLatin1String("under a regular file"))
    {
        const QString plain = dir.filePath(QStringLiteral("plain"));
        QVERIFY(WriteAll(plain, "not a folder"));
        const QString path = plain + QLatin1Char('/') + QLatin1String(c.file);
        const Seen seen = Save(*w, c.writer, path);
        QCOMPARE(seen.problems, QStringList());
        QCOMPARE(seen.messages, QStringList{Failure(path, "Not a directory")});
        QCOMPARE(ReadAll(plain), QByteArray("not a folder"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("plain")});
    }
    else
    {
        const QString folder = dir.filePath(QStringLiteral("work"));
        const QString moved = dir.filePath(QStringLiteral("moved"));
        QVERIFY(FillWithOlderFiles(folder));
        const auto before = Contents(folder);
        const QString path = QDir(folder).filePath(QLatin1String(c.file));
        bool wasMoved = false;
        const Seen seen = Save(*w, c.writer, path, [&] { wasMoved = QDir().rename(folder, moved); });
        QVERIFY(wasMoved);
        QCOMPARE(seen.problems, QStringList());
        QCOMPARE(seen.fileDialogs, c.writer == Writer::Listing ? 0 : 1);
        QCOMPARE(seen.messages, QStringList{Failure(path, "No such file or directory")});
        QVERIFY(Contents(moved) == before);
        QVERIFY(!QFileInfo::exists(folder));
    }
    // A failed Save Project keeps the title, and the changes stay marked unsaved.
    QCOMPARE(uitest::Title(*w), QStringLiteral("Kelmora - before.kmd*"));
    QCOMPARE(opened, QStringList()); // no viewer for a failed listing
}

void WriteFaultsTest::inChild_data()
{
    QTest::addColumn<int>("writer");
    QTest::addColumn<QString>("limit");
    for (const QString& limit : {QStringLiteral("disk-full"), QStringLiteral("unprivileged")})
        for (int i = 0; i < int(std::size(kWriters)); ++i)
            QTest::newRow(qPrintable(QString::fromLatin1(kWriters[i].title) + QStringLiteral(", ") + limit))
                << i << limit;
}

// A full disk, and a folder the user may read but not write. The older file is replaced
// by the writer's temporary file only once the whole new file is written, so it survives.
void WriteFaultsTest::inChild()
{
    QFETCH(int, writer);
    QFETCH(QString, limit);
    if (limit == QLatin1String("unprivileged") && !CanDropRoot())
        QSKIP("a child cannot give up root's rights here");
    const WriterCase& c = kWriters[writer];
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Reachable for the unprivileged child; the work folder itself is read-only for it.
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                  QFile::ExeOther));
    const QString folder = dir.filePath(QStringLiteral("work"));
    QVERIFY(FillWithOlderFiles(folder));
    const auto before = Contents(folder);
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    if (limit == QLatin1String("unprivileged")) QVERIFY(QFile::setPermissions(folder, readOnly));
    const QString path = QDir(folder).filePath(QLatin1String(c.file));

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildWriter), QString::number(writer));
    env.insert(QString::fromLatin1(kChildPath), path);
    env.insert(QString::fromLatin1(kChildLimit), limit);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    const bool finished = child.waitForFinished(60000);
    QFile::setPermissions(folder, readOnly | QFile::WriteOwner);
    if (!finished) child.kill();
    QVERIFY2(finished, "the child did not finish");
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY2(child.exitCode() == 0, qPrintable(QString::fromLocal8Bit(child.readAllStandardError())));
    const QStringList lines =
        QString::fromLocal8Bit(child.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const char* reason = limit == QLatin1String("disk-full") ? "File too large" : "Permission denied";
    QCOMPARE(lines, (QStringList{QStringLiteral("MESSAGE ") + Failure(path, reason),
                                 QStringLiteral("OPENED 0"), QStringLiteral("TITLE-KEPT 1")}));
    QVERIFY(Contents(folder) == before);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildWriter)) return RunChild();
    app.setAttribute(Qt::AA_Use96Dpi, true);
    WriteFaultsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "writefaults_test.moc"
