// The soak test: one real main window, driven for minutes by random but reproducible
// actions (a seeded std::mt19937): strokes with every tool and button, browser and
// palette clicks, pens, every edit and range command, quantity changes, view options,
// palettes, the file commands through their own file dialogs, the tool windows, and
// the object editor beside the main window (objects, grids, strokes on its canvas,
// transforms, copy and paste, zoom, undo and redo from either window).
// Every minute the bank is saved, read back into a scratch bank and compared; the
// process's memory after the first minute and at the end must stay within 5 MB.
//
//   kelmora_soak [minutes] [seed] [seconds between checks]
//
// Environment: KELMORA_SOAK_KINDS=stroke,edit,... runs only some kinds of action (to
// narrow a finding down); KELMORA_SOAK_TRACE=1 prints every action;
// KELMORA_SOAK_PIXMAP_CACHE_KB sets the size of Qt's pixmap cache (see main()).
//
// Exit status 0 when every check held, 1 when one failed, 2 for bad arguments, 3 when
// one action hung. Run it through ./soak.sh.
#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/SpriteBankStore.h"
#include "ui/EditorHost.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"
#include "ui/tools/FormAbout.h"
#include "ui/tools/FormAnim.h"
#include "ui/tools/FormExportSprites.h"
#include "ui/tools/FormImportSprites.h"
#include "ui/tools/FormObject.h"
#include "ui/tools/FormOnionSkin.h"
#include "ui/tools/FormRipper.h"
#include "ui/tools/FormRotate.h"
#include "ui/tools/FormSequences.h"
#include "ui/tools/ObjectCanvas.h"

using namespace kelmora;

namespace
{

constexpr unsigned kDefaultSeed = 20240611u;
constexpr long kRssAllowanceKb = 5 * 1024;
constexpr int kPixmapCacheKb = 0;                 // Qt's pixmap cache off (see main())
constexpr unsigned kActionTimeLimitSeconds = 120; // one action taking longer counts as a hang
constexpr qint64 kModalTimeLimitMs = 30000;       // a window left open this long is closed as stuck

// The name of the action running, for the watchdog's message.
char g_running[128] = "start-up";

void OnHang(int)
{
    static const char text[] = "soak: FAILED: an action did not finish within the time limit: ";
    ssize_t ignored = write(STDERR_FILENO, text, sizeof text - 1);
    ignored = write(STDERR_FILENO, g_running, std::strlen(g_running));
    ignored = write(STDERR_FILENO, "\n", 1);
    (void)ignored;
    _exit(3);
}

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"); -1 when unreadable.
long StatusKb(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.compare(0, key.size(), key) == 0) return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return -1;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

class Soak
{
  public:
    Soak(TForm1& window, unsigned seed, const QString& folder) : w(window), m_rng(seed), m_dir(folder) {}

    void Run(double minutes, int checkSeconds);
    int Report(double minutes, unsigned seed) const;

    // ---- Actions (public for the table of kinds) ----
    void EditorStroke();
    void BrowserClick();
    void PaletteClick();
    void PenChange();
    void EditCommand();
    void AttributeBox();
    void Quantity();
    void ViewOption();
    void ScrollBars();
    void FileCommand();
    void ToolWindow();
    void SequencesWindow();
    void ObjectEditor();

  private:
    // ---- Randomness ----
    int Rand(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(m_rng) < p; }
    template <typename T> T Pick(const std::vector<T>& items)
    {
        return items[Rand(0, int(items.size()) - 1)];
    }

    // ---- Bookkeeping ----
    void Count(const std::string& kind) { ++m_counts[kind]; }
    void Fail(const std::string& what);
    void CheckInvariants();
    void CheckObjectEditorShows(const TFormObject& form);
    void Checkpoint();

    // ---- Actions ----
    void OneAction();
    void Mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QString Existing(const QStringList& patterns);
    bool ObjectStroke(TFormObject* form, bool selecting = false);
    void MarkShownObject(const TFormObject* form, std::vector<bool>& used) const;

    // ---- Modal windows, answered from a polling timer ----
    void Poll();
    void Answer(QWidget* modal);
    void AnswerFileDialog(QFileDialog* dialog);
    void AnswerMessage(QMessageBox* box);
    void DriveRotator(TFormRotate* rotator);
    void DriveAnimator(TFormAnim* animator);
    void DriveRipper(TFormRipper* ripper);
    void DriveImport(TFormImport* import);
    void DriveExport(TFormExport* exporter);
    void DriveOnionSkin(TFormOnionSkin* onion);
    void AnswerObjectName(QInputDialog* ask);
    static void Settle(int ms);

    TForm1& w;
    std::mt19937 m_rng;
    QDir m_dir;
    QString m_pendingFile;   // the answer to the next file dialog; empty cancels it
    bool m_answerNo = false; // the next Yes/No question is answered No
    std::map<std::string, long> m_counts;
    std::map<std::string, long> m_messages;
    std::vector<std::string> m_failures;
    long m_actions = 0;
    long m_compared = 0;
    long m_menuFilesVerified = 0;
    long m_rssFirstMinute = -1;
    long m_rssEnd = -1;
    double m_elapsedMinutes = 0;
};

void Soak::Fail(const std::string& what)
{
    if (m_failures.size() < 50)
        m_failures.push_back("action " + std::to_string(m_actions) + " (" + g_running + "): " + what);
    std::fprintf(stderr, "soak: FAILURE at action %ld (%s): %s\n", m_actions, g_running, what.c_str());
}

// What must hold after any action: the counts and the selection stay inside the block.
void Soak::CheckInvariants()
{
    const SpriteBank& b = w.document().bank;
    if (b.sprites == nullptr) return Fail("the sprites block is gone");
    if (b.spriteCount < 1 || b.spriteCount > kSlotCount)
        Fail("sprite count " + std::to_string(b.spriteCount) + " outside 1..256");
    if (b.currentSprite < 0 || b.currentSprite >= kSlotCount)
        Fail("current sprite " + std::to_string(b.currentSprite) + " outside the block");
    if (b.rangeStart < 0 || b.rangeStart > b.rangeEnd || b.rangeEnd >= kSlotCount)
        Fail("range " + std::to_string(b.rangeStart) + ".." + std::to_string(b.rangeEnd) +
             " not inside the block");
    if (b.currentPen < 0 || b.currentPen > 3) Fail("pen " + std::to_string(b.currentPen));
    const Document& d = w.document();
    const std::string objects = ObjectsProblem(d.extras.objects);
    if (!objects.empty()) Fail("the objects are not sound: " + objects);
    const std::string sequences = CheckSequences(d.extras.sequences);
    if (!sequences.empty()) Fail("the sequences are not sound: " + sequences);
    if (const auto* form = w.findChild<TFormObject*>(QString(), Qt::FindDirectChildrenOnly))
        CheckObjectEditorShows(*form);
}

// The object editor, open or not, follows the document: it shows an object while there
// is one, with its grid, and its picture shows the object's sprites (checked at points
// of a coarse grid where a cell's own pixel shows, which dimming or hiding the overlay
// leaves alone).
void Soak::CheckObjectEditorShows(const TFormObject& form)
{
    const Document& d = w.document();
    const int shown = form.currentObject(), count = int(d.extras.objects.size());
    if (shown < -1 || shown >= count || (shown < 0 && count > 0))
        return Fail("the object editor shows object " + std::to_string(shown) + " of " +
                    std::to_string(count));
    if (shown < 0) return;
    const SpriteObject& object = d.extras.objects[shown];
    if (form.findChild<QSpinBox*>(QStringLiteral("Spin_Columns"))->value() != object.columns ||
        form.findChild<QSpinBox*>(QStringLiteral("Spin_Rows"))->value() != object.rows)
        return Fail("the object editor's grid is not the grid of \"" + object.name + "\"");
    const QImage& picture = form.findChild<TObjectCanvas*>(QStringLiteral("Canvas_Object"))->picture();
    if (picture.size() != QSize(ObjectPictureWidth(object), ObjectPictureHeight(object)))
        return Fail("the object editor's picture is not the size of \"" + object.name + "\"");
    const std::uint32_t* colours = w.host().viewColours();
    for (int y = 3; y < picture.height(); y += 7)
        for (int x = 5; x < picture.width(); x += 11)
        {
            const int value = ObjectPixelValue(d.bank, object, x, y);
            if (value < 0 || value >= kOverlayValueBase) continue;
            const int colour = ObjectPixelColour(d.bank, object, x, y);
            if ((picture.pixel(x, y) & 0xFFFFFFu) != (colours[colour] & 0xFFFFFFu))
                return Fail("the object editor's picture of \"" + object.name +
                            "\" differs from its sprites at (" + std::to_string(x) + ", " +
                            std::to_string(y) + ")");
        }
}

// Saves the bank, reads it back into a scratch bank and compares what a project holds.
void Soak::Checkpoint()
{
    std::snprintf(g_running, sizeof g_running, "checkpoint");
    const QByteArray path = m_dir.filePath(QStringLiteral("checkpoint.kmd")).toUtf8();
    std::vector<u8> block(kBlockBytes, 0xA5);
    SpriteBank scratch{};
    scratch.sprites = block.data();
    if (SaveProject(&w.document().bank, path.constData()) != 1)
        return Fail("SaveProject failed at the checkpoint");
    if (LoadProject(&scratch, path.constData()) != 1) return Fail("LoadProject refused the checkpoint file");
    ++m_compared;
    const SpriteBank& b = w.document().bank;
    if (scratch.colourTransp != b.colourTransp || scratch.colourMulti1 != b.colourMulti1 ||
        scratch.colourMulti2 != b.colourMulti2)
        Fail("the shared colours read back differ");
    if (scratch.spriteCount != b.spriteCount)
        return Fail("the sprite count read back is " + std::to_string(scratch.spriteCount) + ", not " +
                    std::to_string(b.spriteCount));
    if (std::memcmp(block.data(), b.sprites, static_cast<std::size_t>(b.spriteCount) * kSpriteBytes) != 0)
        Fail("the sprites read back differ");
}

void Soak::Run(double minutes, int checkSeconds)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 total = static_cast<qint64>(minutes * 60000.0);
    const qint64 interval = static_cast<qint64>(checkSeconds) * 1000;
    qint64 nextCheck = interval;
    const bool trace = qEnvironmentVariableIsSet("KELMORA_SOAK_TRACE");

    QTimer::singleShot(0, [this] { Poll(); });
    while (clock.elapsed() < total)
    {
        ++m_actions;
        alarm(kActionTimeLimitSeconds);
        OneAction();
        if (trace) std::fprintf(stderr, "%ld %s\n", m_actions, g_running);
        QApplication::processEvents();
        alarm(0);
        CheckInvariants();
        if (clock.elapsed() >= nextCheck)
        {
            Checkpoint();
            if (m_rssFirstMinute < 0) m_rssFirstMinute = StatusKb("VmRSS");
            std::fprintf(stderr,
                         "soak: %.1f min, %ld actions, %ld checks, RSS %ld kB (anonymous %ld, files %ld), "
                         "%d objects in the window, %d top-level widgets\n",
                         clock.elapsed() / 60000.0, m_actions, m_compared, StatusKb("VmRSS"),
                         StatusKb("RssAnon"), StatusKb("RssFile"), int(w.findChildren<QObject*>().size()),
                         int(QApplication::topLevelWidgets().size()));
            nextCheck += interval;
        }
    }
    Checkpoint();
    QApplication::processEvents();
    if (m_rssFirstMinute < 0) m_rssFirstMinute = StatusKb("VmRSS");
    m_rssEnd = StatusKb("VmRSS");
    m_elapsedMinutes = clock.elapsed() / 60000.0;
    if (m_rssEnd > m_rssFirstMinute + kRssAllowanceKb)
        Fail("memory grew from " + std::to_string(m_rssFirstMinute) + " kB after the first minute to " +
             std::to_string(m_rssEnd) + " kB at the end");
}

int Soak::Report(double minutes, unsigned seed) const
{
    std::printf("Soak test: %.1f minutes asked, %.2f run, seed %u\n", minutes, m_elapsedMinutes, seed);
    std::printf("Actions run: %ld\n", m_actions);
    for (const auto& [kind, count] : m_counts)
        std::printf("  %-44s %8ld\n", kind.c_str(), count);
    std::printf("Messages answered:\n");
    for (const auto& [text, count] : m_messages)
        std::printf("  %-80s %6ld\n", text.c_str(), count);
    std::printf("Saves read back and compared: %ld (plus %ld menu saves/opens checked against their files)\n",
                m_compared, m_menuFilesVerified);
    std::printf("RSS after the first minute: %ld kB; at the end: %ld kB (%+ld kB); peak %ld kB\n",
                m_rssFirstMinute, m_rssEnd, m_rssEnd - m_rssFirstMinute, StatusKb("VmHWM"));
    std::printf("Qt pixmap cache during the run: %d kB\n", QPixmapCache::cacheLimit());
    if (m_failures.empty())
    {
        std::printf("Result: PASSED\n");
        return 0;
    }
    std::printf("Result: FAILED (%zu failures)\n", m_failures.size());
    for (const std::string& f : m_failures)
        std::printf("  %s\n", f.c_str());
    return 1;
}

// ---- Actions ----

// The kinds of action with their weights out of 1000.
struct ActionKind
{
    const char* name;
    int weight;
    void (Soak::*run)();
};

void Soak::OneAction()
{
    static const ActionKind kKinds[] = {
        {"stroke", 260, &Soak::EditorStroke}, {"browser", 100, &Soak::BrowserClick},
        {"palette", 70, &Soak::PaletteClick}, {"pen", 50, &Soak::PenChange},
        {"edit", 240, &Soak::EditCommand},    {"attribute", 40, &Soak::AttributeBox},
        {"quantity", 40, &Soak::Quantity},    {"view", 40, &Soak::ViewOption},
        {"scroll", 40, &Soak::ScrollBars},    {"file", 65, &Soak::FileCommand},
        {"tool", 15, &Soak::ToolWindow},      {"object", 40, &Soak::ObjectEditor},
    };
    // KELMORA_SOAK_KINDS="stroke,edit,..." limits the run to some kinds (to narrow a finding down).
    static const QStringList only =
        qEnvironmentVariable("KELMORA_SOAK_KINDS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (;;)
    {
        int roll = Rand(0, 999);
        for (const ActionKind& kind : kKinds)
        {
            if (roll < kind.weight)
            {
                if (only.isEmpty() || only.contains(QLatin1String(kind.name))) return (this->*kind.run)();
                break;
            }
            roll -= kind.weight;
        }
    }
}

void Soak::Mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
                 Qt::KeyboardModifiers modifiers)
{
    const QPointF local(at);
    const QPointF global(target->mapToGlobal(at));
    QMouseEvent event(type, local, global, button, held, modifiers);
    QApplication::sendEvent(target, &event);
}

void Soak::EditorStroke()
{
    static const char* const kTools[] = {"Paintbrush 1", "Paintbrush 2", "Flood fill"};
    const int tool = Rand(0, 9) < 4 ? 0 : Rand(0, 9) < 6 ? 1 : 2;
    QAction* toolAction = tool == 0   ? w.findChild<QAction*>(QStringLiteral("Btn_Brush1"))
                          : tool == 1 ? w.findChild<QAction*>(QStringLiteral("Btn_Brush2"))
                                      : w.findChild<QAction*>(QStringLiteral("Btn_Flood"));
    toolAction->trigger();
    const int which = Rand(0, 19);
    const Qt::MouseButton button = which < 11 ? Qt::LeftButton : Qt::RightButton;
    Qt::MouseButtons held = button;
    if (which >= 17) held |= which % 2 ? Qt::LeftButton : Qt::RightButton; // both buttons down
    const char* buttonName = held == (Qt::LeftButton | Qt::RightButton) ? "both"
                             : button == Qt::LeftButton                 ? "left"
                                                                        : "right";
    std::snprintf(g_running, sizeof g_running, "editor stroke: %s, %s", kTools[tool], buttonName);
    Count(std::string("editor stroke: ") + kTools[tool] + ", " + buttonName + " button");

    QWidget* editor = w.findChild<TPaintBox*>(QStringLiteral("PaintBox_Editor"));
    QPoint at(Rand(0, 191), Rand(0, 167));
    Mouse(editor, QEvent::MouseButtonPress, at, button, held);
    const int moves = Rand(0, 24);
    for (int i = 0; i < moves; ++i)
    {
        // Mostly short steps; now and then a jump that may leave the editor.
        if (Chance(0.1))
            at = QPoint(Rand(-30, 221), Rand(-30, 197));
        else
            at += QPoint(Rand(-12, 12), Rand(-12, 12));
        Mouse(editor, QEvent::MouseMove, at, Qt::NoButton, held);
    }
    Mouse(editor, QEvent::MouseButtonRelease, at, button, held & ~Qt::MouseButtons(button));
}

void Soak::BrowserClick()
{
    QWidget* browser = w.findChild<TPaintBox*>(QStringLiteral("PaintBox_Browser"));
    const bool shift = Chance(0.3);
    const Qt::MouseButton button = Chance(0.85) ? Qt::LeftButton : Qt::RightButton;
    const Qt::KeyboardModifiers modifiers = shift ? Qt::ShiftModifier : Qt::NoModifier;
    const QPoint at(Rand(-2, 385), Rand(-2, 295));
    std::snprintf(g_running, sizeof g_running, "browser click");
    Count(std::string("browser click: ") + (button == Qt::LeftButton ? "left" : "right") +
          (shift ? " + Shift" : ""));
    Mouse(browser, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, modifiers);
    Mouse(browser, QEvent::MouseButtonPress, at, button, button, modifiers);
    Mouse(browser, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
}

void Soak::PaletteClick()
{
    QWidget* strip = w.findChild<TPaintBox*>(QStringLiteral("PaintBox_Palette"));
    const Qt::MouseButton button = Chance(0.7) ? Qt::LeftButton : Qt::RightButton;
    const QPoint at(Rand(-1, strip->width()), Rand(-1, strip->height()));
    std::snprintf(g_running, sizeof g_running, "palette click");
    Count(std::string("palette click: ") + (button == Qt::LeftButton ? "left" : "right"));
    Mouse(strip, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    Mouse(strip, QEvent::MouseButtonPress, at, button, button);
    Mouse(strip, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

void Soak::PenChange()
{
    std::snprintf(g_running, sizeof g_running, "pen change");
    if (Chance(0.8))
    {
        // F1-F4.
        const std::vector<QAction*> pens{w.findChild<QAction*>(QStringLiteral("Mnu_ColourTransp")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_ColourSprite")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_ColourMulti1")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_ColourMulti2"))};
        QAction* pen = Pick(pens);
        Count("pen: " + pen->objectName().toStdString());
        pen->trigger();
    }
    else
    {
        const std::vector<QRadioButton*> radios{
            w.findChild<QRadioButton*>(QStringLiteral("RadioColourTransp")),
            w.findChild<QRadioButton*>(QStringLiteral("RadioColourSprite")),
            w.findChild<QRadioButton*>(QStringLiteral("RadioColourMulti1")),
            w.findChild<QRadioButton*>(QStringLiteral("RadioColourMulti2"))};
        QRadioButton* radio = Pick(radios);
        Count("pen: radio button");
        if (radio->isVisible()) radio->click();
    }
}

void Soak::EditCommand()
{
    // Undo and Redo twice as often as the others.
    const std::vector<QAction*> commands{w.findChild<QAction*>(QStringLiteral("Mnu_Undo")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_Undo")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_Redo")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_Redo")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_SelectAll")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_Clear")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_Cut")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_Copy")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_Paste")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_PasteInto")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_CopyStyle")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_PasteStyle")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_SlideUp")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_SlideDown")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_SlideLeft")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_SlideRight")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_FlipX")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_FlipY")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_ReflectX")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_ReflectY")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_Negative")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_SwapSprMc1")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_SwapSprMc2")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_SwapMc1Mc2")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_ReverseOrder")),
                                         w.findChild<QAction*>(QStringLiteral("Mnu_RemoveBlanks")),
                                         w.findChild<QAction*>(QStringLiteral("ClearAttributes2")),
                                         w.findChild<QAction*>(QStringLiteral("ClearAttributes1")),
                                         w.findChild<QAction*>(QStringLiteral("Clearalloverlayattributes1"))};
    QAction* command = Pick(commands);
    std::snprintf(g_running, sizeof g_running, "%s", command->objectName().toLatin1().constData());
    Count("command: " + command->objectName().toStdString() + (command->isEnabled() ? "" : " (disabled)"));
    command->trigger();
}

void Soak::AttributeBox()
{
    QCheckBox* box = Chance(0.5) ? w.findChild<QCheckBox*>(QStringLiteral("Chk_MulticolourMode"))
                                 : w.findChild<QCheckBox*>(QStringLiteral("Chk_OverlayNext"));
    std::snprintf(g_running, sizeof g_running, "%s", box->objectName().toLatin1().constData());
    Count("check box: " + box->objectName().toStdString());
    box->click();
}

void Soak::Quantity()
{
    std::snprintf(g_running, sizeof g_running, "quantity");
    if (Chance(0.5))
    {
        // Typed: mostly a count in range, sometimes nothing, 0, too many, or letters among digits.
        QString text;
        const int kind = Rand(0, 19);
        if (kind == 0)
            text = QString();
        else if (kind == 1)
            text = QStringLiteral("0");
        else if (kind == 2)
            text = QString::number(Rand(257, 9999));
        else if (kind == 3)
            text = QStringLiteral("1x2");
        else
            text = QString::number(Rand(1, 256));
        Count("quantity: typed + Enter");
        QTest::keyClick(w.findChild<QLineEdit*>(QStringLiteral("Edit2")), Qt::Key_End);
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(w.findChild<QLineEdit*>(QStringLiteral("Edit2")), Qt::Key_Backspace);
        QTest::keyClicks(w.findChild<QLineEdit*>(QStringLiteral("Edit2")), text);
        QTest::keyClick(w.findChild<QLineEdit*>(QStringLiteral("Edit2")), Qt::Key_Return);
    }
    else
    {
        const bool up = Chance(0.5);
        Count(std::string("quantity: spin ") + (up ? "up" : "down"));
        const int clicks = Rand(1, 5);
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(up ? w.findChild<TUpDown*>(QStringLiteral("UpDown1"))->upButton()
                                 : w.findChild<TUpDown*>(QStringLiteral("UpDown1"))->downButton(),
                              Qt::LeftButton);
    }
}

void Soak::ViewOption()
{
    std::snprintf(g_running, sizeof g_running, "view option");
    switch (Rand(0, 7))
    {
    case 0:
        Count("view: Double Scan");
        w.findChild<QAction*>(QStringLiteral("Mnu_DoubleScan"))->trigger();
        break;
    case 1:
        Count("view: grid");
        w.findChild<QCheckBox*>(QStringLiteral("CkShowGrid"))->click();
        break;
    case 2:
        Count("view: crosshair");
        w.findChild<QCheckBox*>(QStringLiteral("CkShowCross"))->click();
        break;
    case 3:
        Count("view: palette order");
        (Chance(0.5) ? w.findChild<QAction*>(QStringLiteral("Mnu_PalOrderStandard"))
                     : w.findChild<QAction*>(QStringLiteral("Mnu_PalOrderLumPairs")))
            ->trigger();
        break;
    case 4:
    {
        Count("view: colour palette");
        const QList<QAction*> palettes =
            w.findChild<QActionGroup*>(QStringLiteral("PaletteGroup"))->actions();
        palettes.at(Rand(0, int(palettes.size()) - 1))->trigger();
        break;
    }
    case 6:
        Count("view: onion skin");
        if (Chance(0.8))
            w.findChild<QAction*>(QStringLiteral("Mnu_OnionSkin"))->trigger();
        else
            w.findChild<QAction*>(QStringLiteral("Mnu_OnionSkinSettings"))->trigger();
        break;
    case 5:
        Count("view: tool bar style");
        (Chance(0.5) ? w.findChild<QAction*>(QStringLiteral("Mnu_ToolBar_Flat"))
                     : w.findChild<QAction*>(QStringLiteral("Mnu_ToolBar_Raised")))
            ->trigger();
        break;
    default:
        Count("view: pointer over the views");
        Mouse(w.findChild<TPaintBox*>(QStringLiteral("PaintBox_Editor")), QEvent::MouseMove,
              QPoint(Rand(0, 191), Rand(0, 167)), Qt::NoButton, Qt::NoButton);
        Mouse(w.findChild<TPaintBox*>(QStringLiteral("PaintBox_Palette")), QEvent::MouseMove,
              QPoint(Rand(0, 191), Rand(0, 31)), Qt::NoButton, Qt::NoButton);
        break;
    }
}

void Soak::ScrollBars()
{
    std::snprintf(g_running, sizeof g_running, "scroll bar");
    QScrollBar* bar = Chance(0.6) ? w.findChild<QScrollBar*>(QStringLiteral("ScrollBar1"))
                                  : w.findChild<QScrollBar*>(QStringLiteral("ScrollBar_Browser"));
    Count("scroll bar: " + bar->objectName().toStdString());
    bar->setValue(Rand(bar->minimum(), bar->maximum()));
}

// One existing file of the scratch folder matching one of the patterns; empty when none.
QString Soak::Existing(const QStringList& patterns)
{
    const QStringList names = m_dir.entryList(patterns, QDir::Files, QDir::Name);
    if (names.isEmpty()) return {};
    return m_dir.filePath(names.at(Rand(0, int(names.size()) - 1)));
}

void Soak::FileCommand()
{
    const int which = Rand(0, 99);
    const int slot = Rand(0, 3); // a few names, so replacing files is common
    if (which < 22)
    {
        std::snprintf(g_running, sizeof g_running, "Save Project");
        Count("file: Save Project (menu)");
        const QString path = m_dir.filePath(QStringLiteral("p%1.kmd").arg(slot));
        m_pendingFile = path;
        w.findChild<QAction*>(QStringLiteral("Mnu_SaveProject"))->trigger();
        // The file holds exactly the bank's colours and sprites in use.
        const SpriteBank& b = w.document().bank;
        QByteArray expected;
        expected.append(char(b.colourTransp)).append(char(b.colourMulti1)).append(char(b.colourMulti2));
        expected.append(reinterpret_cast<const char*>(b.sprites), b.spriteCount * kSpriteBytes);
        if (ReadAll(path) != expected) Fail("the project written by Save Project is not the bank");
        ++m_menuFilesVerified;
    }
    else if (which < 40)
    {
        const QString path = Existing({QStringLiteral("p*.kmd")});
        if (path.isEmpty()) return FileCommand();
        std::snprintf(g_running, sizeof g_running, "Open Project");
        Count("file: Open Project (menu)");
        m_pendingFile = path;
        w.findChild<QAction*>(QStringLiteral("Mnu_Open"))->trigger();
        const QByteArray file = ReadAll(path);
        const SpriteBank& b = w.document().bank;
        const bool same = file.size() == 3 + b.spriteCount * kSpriteBytes && u8(file[0]) == b.colourTransp &&
                          u8(file[1]) == b.colourMulti1 && u8(file[2]) == b.colourMulti2 &&
                          std::memcmp(file.constData() + 3, b.sprites, file.size() - 3) == 0;
        if (!same) Fail("the bank after Open Project is not the file");
        if (w.findChild<QAction*>(QStringLiteral("Mnu_Undo"))->isEnabled())
            Fail("Undo is enabled right after Open Project");
        ++m_menuFilesVerified;
    }
    else if (which < 48)
    {
        std::snprintf(g_running, sizeof g_running, "Save SEUCK");
        Count("file: Save SEUCK sprite file");
        m_pendingFile = m_dir.filePath(QStringLiteral("s%1.a").arg(slot));
        w.findChild<QAction*>(QStringLiteral("SaveSpriteFile1"))->trigger();
    }
    else if (which < 54)
    {
        const QString path = Existing({QStringLiteral("s*.a")});
        if (path.isEmpty()) return;
        std::snprintf(g_running, sizeof g_running, "Load SEUCK");
        Count("file: Load SEUCK sprite file");
        m_pendingFile = path;
        w.findChild<QAction*>(QStringLiteral("LoadSpriteFile1"))->trigger();
    }
    else if (which < 62)
    {
        std::snprintf(g_running, sizeof g_running, "Save Bitmap");
        Count("file: Save Bitmap Image");
        m_pendingFile = m_dir.filePath(QStringLiteral("b%1.bmp").arg(slot));
        w.findChild<QAction*>(QStringLiteral("Mnu_SaveBitmap"))->trigger();
    }
    else if (which < 70)
    {
        std::snprintf(g_running, sizeof g_running, "View Text Data");
        Count("file: View Text Data");
        (Chance(0.5) ? w.findChild<QAction*>(QStringLiteral("Mnu_Hex"))
                     : w.findChild<QAction*>(QStringLiteral("Mnu_Decimal")))
            ->trigger();
    }
    else if (which < 80)
    {
        std::snprintf(g_running, sizeof g_running, "Export");
        Count("file: Export (dialog)");
        w.findChild<QAction*>(QStringLiteral("Export1"))->trigger();
    }
    else if (which < 90)
    {
        std::snprintf(g_running, sizeof g_running, "Import");
        Count("file: Import (dialog)");
        w.findChild<QAction*>(QStringLiteral("Import1"))->trigger();
    }
    else if (which < 95)
    {
        const QString path = Existing({QStringLiteral("p*.kmd"), QStringLiteral("e*.raw")});
        if (path.isEmpty()) return;
        std::snprintf(g_running, sizeof g_running, "drop");
        Count("file: dropped on the window");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at(300, 200);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
    }
    else
    {
        std::snprintf(g_running, sizeof g_running, "New");
        m_answerNo = Chance(0.3);
        Count(std::string("file: New, answered ") + (m_answerNo ? "No" : "Yes"));
        w.findChild<QAction*>(QStringLiteral("Mnu_New"))->trigger();
        m_answerNo = false;
    }
}

void Soak::ToolWindow()
{
    std::snprintf(g_running, sizeof g_running, "tool window");
    switch (Rand(0, 7))
    {
    case 6:
    case 7:
        return SequencesWindow();
    case 0:
    case 1:
        Count("tool: Rotator");
        w.findChild<QAction*>(QStringLiteral("Mnu_Rotator"))->trigger();
        break;
    case 2:
    case 3:
        Count("tool: Animator");
        w.findChild<QAction*>(QStringLiteral("Mnu_Animator"))->trigger();
        break;
    case 4:
        Count("tool: Snapshot Ripper");
        w.findChild<QAction*>(QStringLiteral("VICESnapshotRipper1"))->trigger();
        break;
    default:
        Count("tool: About");
        w.findChild<QAction*>(QStringLiteral("Mnu_About"))->trigger();
        break;
    }
}

// The Sequences window stays open beside the main window: a change to a sequence,
// playing, or closing it.
void Soak::SequencesWindow()
{
    std::snprintf(g_running, sizeof g_running, "sequences window");
    w.findChild<QAction*>(QStringLiteral("Mnu_Sequences"))->trigger();
    auto* form = w.findChild<TFormSequences*>(QStringLiteral("FormSequences"));
    if (!form) return Fail("Tools > Sequences... opened no window");
    QListWidget* frames = form->List_Frames;
    switch (Rand(0, 10))
    {
    case 0:
        Count("sequences: new");
        form->Btn_NewSequence->click();
        break;
    case 1:
        Count("sequences: add the selection");
        form->Btn_AddFrames->click();
        break;
    case 2:
        Count("sequences: remove frames");
        if (frames->count() > 0) frames->item(Rand(0, frames->count() - 1))->setSelected(true);
        form->Btn_RemoveFrames->click();
        break;
    case 3:
        Count("sequences: move a frame");
        if (frames->count() > 1)
            frames->model()->moveRow(QModelIndex(), Rand(0, frames->count() - 1), QModelIndex(),
                                     Rand(0, frames->count()));
        break;
    case 4:
        Count("sequences: delay");
        if (frames->count() > 0) frames->item(Rand(0, frames->count() - 1))->setSelected(true);
        form->Spin_Delay->setValue(Rand(1, 255));
        break;
    case 5:
        Count("sequences: play mode");
        form->Combo_PlayMode->setCurrentIndex(Rand(0, 2));
        emit form->Combo_PlayMode->activated(form->Combo_PlayMode->currentIndex());
        break;
    case 6:
        Count("sequences: play or stop");
        form->Btn_Play->click();
        Settle(Rand(0, 60));
        break;
    case 7:
        Count("sequences: another sequence");
        if (form->List_Sequences->count() > 0)
            form->List_Sequences->setCurrentRow(Rand(0, form->List_Sequences->count() - 1));
        break;
    case 8:
        Count("sequences: delete");
        form->Btn_DeleteSequence->click();
        break;
    case 9:
        Count("sequences: add an object");
        form->Btn_AddObject->click();
        break;
    default:
        Count("sequences: close");
        form->close();
        break;
    }
}

// A control of the object editor by its name.
template <typename T = QAction> T* Control(const TFormObject* form, const char* name)
{
    return form->findChild<T*>(QLatin1String(name));
}

// Marks the slots of both layers of the object the editor shows.
void Soak::MarkShownObject(const TFormObject* form, std::vector<bool>& used) const
{
    const std::vector<SpriteObject>& objects = w.document().extras.objects;
    const int index = form->currentObject();
    if (index < 0 || index >= int(objects.size())) return;
    for (const std::vector<int>* layer : {&objects[index].cells, &objects[index].overlayCells})
        for (int slot : *layer)
            if (slot >= 0 && slot < kSlotCount) used[slot] = true;
}

// The object editor stays open beside the main window: one action in it. Every action
// but undo and redo may change only the sprites of the object shown (before or after it).
void Soak::ObjectEditor()
{
    std::snprintf(g_running, sizeof g_running, "object editor");
    w.findChild<QAction*>(QStringLiteral("Mnu_ObjectEditor"))->trigger();
    auto* form = w.findChild<TFormObject*>(QStringLiteral("FormObject"));
    if (!form) return Fail("Tools > Object Editor... opened no window");
    const Document& d = w.document();
    const std::vector<u8> before(d.bank.sprites, d.bank.sprites + kBlockBytes);
    std::vector<bool> used(kSlotCount, false);
    MarkShownObject(form, used);
    bool history = false;
    const int which = d.extras.objects.empty() && Chance(0.7) ? Rand(0, 1) : Rand(0, 16);
    switch (which)
    {
    case 0:
        Count("object: New Object");
        Control(form, "Mnu_ObjNew")->trigger();
        break;
    case 1:
        Count("object: New from Selection");
        Control(form, "Mnu_ObjNewFromSelection")->trigger();
        break;
    case 2:
        Count("object: rename");
        Control(form, "Mnu_ObjRename")->trigger();
        break;
    case 3:
        Count("object: delete");
        Control(form, "Mnu_ObjDelete")->trigger();
        break;
    case 4:
    {
        Count("object: another object");
        auto* list = Control<QListWidget>(form, "List_Objects");
        if (list->count() > 0) list->setCurrentRow(Rand(0, list->count() - 1));
        break;
    }
    case 5:
    {
        auto* spin = Control<QSpinBox>(form, Chance(0.5) ? "Spin_Columns" : "Spin_Rows");
        Count("object: grid " + spin->objectName().toStdString());
        if (spin->isEnabled()) spin->setValue(Rand(1, 8));
        break;
    }
    case 6:
    {
        Count("object: overlay layer");
        auto* box = Control<QCheckBox>(form, "Chk_OverlayLayer");
        if (box->isEnabled()) box->click();
        break;
    }
    case 7:
    {
        // A slot typed into a cell: sometimes one the other layer has, or letters.
        auto* table = Control<QTableWidget>(form, Chance(0.7) ? "Table_Cells" : "Table_OverlayCells");
        Count("object: cell typed into " + table->objectName().toStdString());
        if (!table->isVisible() || table->rowCount() == 0 || table->columnCount() == 0) break;
        QTableWidgetItem* item =
            table->item(Rand(0, table->rowCount() - 1), Rand(0, table->columnCount() - 1));
        if (item) item->setText(Chance(0.9) ? QString::number(Rand(0, 40)) : QStringLiteral("x1"));
        break;
    }
    case 8:
    case 9:
    case 10:
    case 11:
        history = ObjectStroke(form);
        break;
    case 12:
    {
        static const char* const kTransforms[] = {
            "Mnu_ObjSlideUp",       "Mnu_ObjSlideDown",     "Mnu_ObjSlideLeft",  "Mnu_ObjSlideRight",
            "Mnu_ObjFlipLeftRight", "Mnu_ObjFlipTopBottom", "Mnu_ObjMirrorLeft", "Mnu_ObjMirrorTop",
            "Mnu_ObjNegative",      "Mnu_ObjClear",         "Mnu_ObjSplit"};
        QAction* command = Control(form, kTransforms[Rand(0, 10)]);
        Count("object: " + command->objectName().toStdString());
        command->trigger();
        break;
    }
    case 13:
    {
        static const char* const kClip[] = {"Btn_ObjSelect", "Mnu_ObjSelectAll", "Mnu_ObjCopy",
                                            "Mnu_ObjPaste"};
        const int k = Rand(0, 3);
        Count(std::string("object: ") + kClip[k]);
        Control(form, kClip[k])->trigger();
        if (k == 0) ObjectStroke(form, true); // a rectangle dragged with the selection tool
        break;
    }
    case 14:
    {
        static const char* const kView[] = {"Mnu_ObjZoomIn", "Mnu_ObjZoomOut",    "Mnu_ObjFit",
                                            "Mnu_ObjGrid",   "Mnu_ObjDimOverlay", "Mnu_ObjHideOverlay"};
        const int k = Rand(0, 6);
        if (k == 6)
        {
            // Ctrl+wheel over the canvas.
            Count("object: Ctrl+wheel");
            QWidget* canvas = Control<QWidget>(form, "Canvas_Object");
            const QPointF at(Rand(0, canvas->width() - 1), Rand(0, canvas->height() - 1));
            QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, Chance(0.5) ? 120 : -120),
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(canvas, &wheel);
            break;
        }
        Count(std::string("object: ") + kView[k]);
        Control(form, kView[k])->trigger();
        break;
    }
    case 15:
    {
        // The project's one history, stepped from either window.
        static const char* const kSteps[] = {"Mnu_ObjUndo", "Mnu_ObjRedo", "Mnu_Undo", "Mnu_Redo"};
        const int k = Rand(0, 3);
        Count(std::string("object: ") + kSteps[k]);
        (k < 2 ? Control(form, kSteps[k]) : w.findChild<QAction*>(QLatin1String(kSteps[k])))->trigger();
        history = true;
        break;
    }
    default:
        Count("object: close");
        Control(form, "Mnu_ObjClose")->trigger();
        break;
    }
    if (history) return;
    MarkShownObject(form, used);
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (!used[slot] && std::memcmp(before.data() + slot * kSpriteBytes,
                                       d.bank.sprites + slot * kSpriteBytes, kSpriteBytes) != 0)
            return Fail("sprite " + std::to_string(slot) + " changed, which the object shown does not use");
}

// A stroke on the object editor's canvas with a random tool, pen and button (or a
// rectangle dragged with the selection tool), by real mouse events. A stroke changes no
// object, is one step of the history, and Undo right after it brings back the sprites the
// history held before it. True when the run then stepped through the history.
bool Soak::ObjectStroke(TFormObject* form, bool selecting)
{
    static const char* const kTools[] = {"Btn_ObjBrush1", "Btn_ObjBrush2",    "Btn_ObjFlood",
                                         "Btn_ObjLine",   "Btn_ObjRectangle", "Btn_ObjFilledRectangle"};
    static const char* const kPens[] = {"Btn_ObjPenTransp", "Btn_ObjPenSprite",  "Btn_ObjPenMulti1",
                                        "Btn_ObjPenMulti2", "Btn_ObjPenOverlay", "Btn_ObjPenOverlay"};
    if (!selecting)
    {
        Control(form, kTools[Rand(0, 5)])->trigger();
        QAction* pen = Control(form, kPens[Rand(0, 5)]);
        if (pen->isVisible()) pen->trigger(); // only the pens the object offers
    }
    const Qt::MouseButton button = Chance(0.7) ? Qt::LeftButton : Qt::RightButton;
    const Qt::MouseButton other = button == Qt::LeftButton ? Qt::RightButton : Qt::LeftButton;
    if (!selecting)
    {
        const QString tool = Control(form, kTools[0])->actionGroup()->checkedAction()->text();
        const QString pen = Control(form, kPens[0])->actionGroup()->checkedAction()->text();
        Count("object stroke: " + tool.toStdString() + ", " +
              (button == Qt::LeftButton ? pen.toStdString() : "right button"));
    }
    std::snprintf(g_running, sizeof g_running, "object editor stroke");

    Document& d = w.document();
    const std::vector<u8> before(d.bank.sprites, d.bank.sprites + kBlockBytes);
    const std::vector<SpriteObject> objects = d.extras.objects;
    // What Undo goes back to: the state the history shows. It differs from the sprites
    // only after a change that is kept out of the history on purpose (the attribute check
    // boxes, the ripper), which Undo then takes back too.
    const UndoHistory& h = d.history;
    const bool held = h.position >= 1 && h.states[h.position - 1].size() == std::size_t(kBlockBytes);
    const std::vector<u8> recorded = held ? h.states[h.position - 1] : before;
    QWidget* canvas = Control<QWidget>(form, "Canvas_Object");
    const int zoom = form->zoom();
    QPoint at(Rand(0, canvas->width() - 1), Rand(0, canvas->height() - 1));
    Mouse(canvas, QEvent::MouseButtonPress, at, button, button);
    const int moves = Rand(0, 20);
    for (int i = 0; i < moves; ++i)
    {
        // Mostly steps of a few pixels; now and then a jump that may leave the canvas.
        if (Chance(0.1))
            at = QPoint(Rand(-3 * zoom, canvas->width() + 3 * zoom),
                        Rand(-3 * zoom, canvas->height() + 3 * zoom));
        else
            at += QPoint(Rand(-4, 4), Rand(-4, 4)) * zoom;
        Mouse(canvas, QEvent::MouseMove, at, Qt::NoButton, button);
        if (Chance(0.03))
        {
            // The other button pressed and let go within the stroke.
            Mouse(canvas, QEvent::MouseButtonPress, at, other, button | other);
            Mouse(canvas, QEvent::MouseButtonRelease, at, other, button);
        }
    }
    Mouse(canvas, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    if (selecting) return false;

    if (d.extras.objects != objects) Fail("a stroke on the object changed the objects");
    const std::vector<u8> after(d.bank.sprites, d.bank.sprites + kBlockBytes);
    if (after == before) return false;
    Count("object stroke: of those changing sprites");
    if (!held || !CanUndo(d) || h.states[h.position - 1] != after)
    {
        Fail("the stroke on the object is not the history's newest step");
        return false;
    }
    if (!Chance(0.4)) return false;
    const bool here = Chance(0.5);
    Count(std::string("object stroke: undone from the ") + (here ? "object editor" : "main window"));
    (here ? Control(form, "Mnu_ObjUndo") : w.findChild<QAction*>(QStringLiteral("Mnu_Undo")))->trigger();
    if (std::memcmp(recorded.data(), d.bank.sprites, kBlockBytes) != 0 || d.extras.objects != objects)
        Fail("Undo right after a stroke on the object did not bring back the sprites before it");
    else if (Chance(0.5))
    {
        Count("object stroke: undone and redone");
        (Chance(0.5) ? Control(form, "Mnu_ObjRedo") : w.findChild<QAction*>(QStringLiteral("Mnu_Redo")))
            ->trigger();
        if (std::memcmp(after.data(), d.bank.sprites, kBlockBytes) != 0)
            Fail("Redo after undoing a stroke on the object did not bring the stroke back");
    }
    return true;
}

// ---- Modal windows ----

void Soak::Poll()
{
    // The next look is scheduled first: answering a window may open another one
    // inside it, which the next look then answers.
    QTimer::singleShot(2, [this] { Poll(); });
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (modal->property("soakSince").isValid())
    {
        if (now - modal->property("soakSince").toLongLong() > kModalTimeLimitMs)
        {
            Fail(std::string("a ") + modal->metaObject()->className() + " stayed open; closed it");
            modal->setProperty("soakSince", now);
            modal->close();
        }
        return;
    }
    modal->setProperty("soakSince", now);
    Answer(modal);
}

void Soak::Settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

void Soak::Answer(QWidget* modal)
{
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) return AnswerFileDialog(dialog);
    if (auto* box = qobject_cast<QMessageBox*>(modal)) return AnswerMessage(box);
    if (auto* rotator = qobject_cast<TFormRotate*>(modal)) return DriveRotator(rotator);
    if (auto* animator = qobject_cast<TFormAnim*>(modal)) return DriveAnimator(animator);
    if (auto* ripper = qobject_cast<TFormRipper*>(modal)) return DriveRipper(ripper);
    if (auto* import = qobject_cast<TFormImport*>(modal)) return DriveImport(import);
    if (auto* exporter = qobject_cast<TFormExport*>(modal)) return DriveExport(exporter);
    if (auto* onion = qobject_cast<TFormOnionSkin*>(modal)) return DriveOnionSkin(onion);
    if (auto* ask = qobject_cast<QInputDialog*>(modal); ask && ask->objectName() == "FormObjectName")
        return AnswerObjectName(ask);
    if (auto* ask = qobject_cast<QInputDialog*>(modal); ask && ask->objectName() == "InputDialog_FrameObject")
    {
        const QStringList objects = ask->comboBoxItems();
        if (!objects.isEmpty()) ask->setTextValue(objects.at(Rand(0, int(objects.size()) - 1)));
        Chance(0.9) ? ask->accept() : ask->reject();
        return;
    }
    if (auto* ask = qobject_cast<QInputDialog*>(modal))
    {
        // A sequence's name: sometimes one that is taken or empty, which is refused.
        ask->setTextValue(Chance(0.2) ? QString() : QStringLiteral("s%1").arg(Rand(0, 20)));
        Chance(0.9) ? ask->accept() : ask->reject();
        return;
    }
    if (modal->objectName() == QLatin1String("FormObjectSplit"))
    {
        // Split into Overlay Pair: any colours for the cells and the overlay.
        for (QComboBox* colour : modal->findChildren<QComboBox*>())
            colour->setCurrentIndex(Rand(0, colour->count() - 1));
        if (auto* dialog = qobject_cast<QDialog*>(modal))
        {
            Chance(0.8) ? dialog->accept() : dialog->reject();
            return;
        }
    }
    if (auto* about = qobject_cast<TFormAbout*>(modal))
    {
        Settle(Rand(0, 20));
        about->Button1->click();
        return;
    }
    Fail(std::string("an unexpected window: ") + modal->metaObject()->className());
    modal->close();
}

// An object's name: mostly a short one (taken now and then), sometimes the one proposed,
// nothing (which cancels) or one with a control character (refused).
void Soak::AnswerObjectName(QInputDialog* ask)
{
    const int kind = Rand(0, 19);
    if (kind == 0)
        ask->setTextValue(QString());
    else if (kind == 1)
        ask->setTextValue(QStringLiteral("o\n1"));
    else if (kind > 5)
        ask->setTextValue(QStringLiteral("o%1").arg(Rand(0, 15)));
    Chance(0.9) ? ask->accept() : ask->reject();
}

void Soak::DriveOnionSkin(TFormOnionSkin* onion)
{
    onion->Spin_OnionFrames->setValue(Rand(1, 3));
    onion->Spin_OnionOpacity->setValue(Rand(15, 60));
    onion->Chk_OnionAhead->setChecked(Chance(0.5));
    Chance(0.8) ? onion->accept() : onion->reject();
}

void Soak::AnswerFileDialog(QFileDialog* dialog)
{
    const QString path = m_pendingFile;
    m_pendingFile.clear();
    if (path.isEmpty())
    {
        dialog->reject();
        return;
    }
    dialog->selectFile(path);
    // selectFile leaves the name box alone while it has the focus; type the name there too.
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(path);
    QPointer<QFileDialog> alive(dialog);
    static_cast<QDialog*>(dialog)->accept(); // with the dialog's own checks and questions
    if (alive && alive->isVisible())
    {
        Fail("the file dialog did not take " + path.toStdString());
        alive->reject();
    }
}

void Soak::AnswerMessage(QMessageBox* box)
{
    QString text = box->text();
    text.replace(m_dir.path() + QLatin1Char('/'), QString());
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    ++m_messages[(box->windowTitle() + QStringLiteral(": ") + text).left(80).toStdString()];
    if (text.startsWith(QStringLiteral("Could not write"))) Fail("a save failed: " + text.toStdString());
    QAbstractButton* button = nullptr;
    if (box->button(QMessageBox::Discard))
        // Unsaved changes before a load or New: let them go, so the command goes on with the
        // file the run has chosen (New answered No cancels instead).
        button = box->button(m_answerNo ? QMessageBox::Cancel : QMessageBox::Discard);
    else if (m_answerNo && box->button(QMessageBox::No))
        button = box->button(QMessageBox::No);
    else if (box->button(QMessageBox::Yes))
        button = box->button(QMessageBox::Yes);
    else if (box->button(QMessageBox::Ok))
        button = box->button(QMessageBox::Ok);
    else if (!box->buttons().isEmpty())
        button = box->buttons().first();
    if (button)
        button->click();
    else
        box->close();
}

void Soak::DriveRotator(TFormRotate* rotator)
{
    const std::vector<QRadioButton*> angles{
        rotator->RadioButton1, rotator->RadioButton2, rotator->RadioButton3, rotator->RadioButton4,
        rotator->RadioButton5, rotator->RadioButton6, rotator->RadioButton7, rotator->RadioButton8};
    Pick(angles)->click();
    const int turns = Rand(1, 4);
    for (int i = 0; i < turns; ++i)
    {
        rotator->ScrollBar1->setValue(Rand(rotator->ScrollBar1->minimum(), rotator->ScrollBar1->maximum()));
        QApplication::processEvents();
    }
    const std::vector<QRadioButton*> outputs{rotator->Radio_FrameToCurrent, rotator->Radio_FrameToBuffer,
                                             rotator->Radio_SeqToCurrent, rotator->Radio_SeqToBuffer};
    QRadioButton* output = Pick(outputs);
    if (output->isEnabled()) output->click();
    QPointer<TFormRotate> alive(rotator);
    if (Chance(0.6) && rotator->Btn_Ok->isEnabled())
    {
        Count("tool: Rotator, of those closed with OK");
        rotator->Btn_Ok->click();
    }
    if (alive && alive->isVisible()) alive->Button2->click();
}

void Soak::DriveAnimator(TFormAnim* animator)
{
    const std::vector<QRadioButton*> rates{animator->RadioButton1, animator->Hz50, animator->Hz25,
                                           animator->Hz12, animator->Hz6};
    Pick(rates)->click();
    if (Chance(0.3)) animator->PingPong->click();
    if (Chance(0.2)) animator->UpDown1->step(Chance(0.5) ? 1 : -1);
    if (Chance(0.2)) animator->UpDown2->step(Chance(0.5) ? 1 : -1);
    const std::vector<QAction*> buttons{
        animator->Btn_Forw_Play, animator->Btn_Rev_Play, animator->Btn_Forw_Step, animator->Btn_Rev_Step,
        animator->Btn_Forw_Max,  animator->Btn_Rev_Max,  animator->Btn_Pause,     animator->Btn_Stop};
    const int presses = Rand(1, 4);
    for (int i = 0; i < presses; ++i)
    {
        Pick(buttons)->trigger();
        Settle(Rand(0, 120));
    }
    animator->Button1->click();
}

void Soak::DriveRipper(TFormRipper* ripper)
{
    const QString snapshot = QStringLiteral(KELMORA_REALDATA_DIR "/vsf/c64-rambo2-norom.vsf");
    if (QFileInfo(snapshot).isFile() && Chance(0.6))
        m_pendingFile = snapshot;
    else
        m_pendingFile = Existing({QStringLiteral("*.kmd")}); // refused: not a snapshot
    ripper->Button1->click();
    const std::vector<QRadioButton*> banks{ripper->RadioButton1, ripper->RadioButton2, ripper->RadioButton3,
                                           ripper->RadioButton4};
    const int changes = Rand(0, 3);
    for (int i = 0; i < changes; ++i)
        Pick(banks)->click();
    ripper->Button2->click();
}

void Soak::DriveImport(TFormImport* import)
{
    const std::vector<QRadioButton*> kinds{import->RadioAuto, import->RadioRaw, import->RadioPrg};
    const std::vector<QRadioButton*> layouts{import->RadioSeuck, import->RadioKelmora, import->RadioIgnore};
    Pick(kinds)->click();
    Pick(layouts)->click();
    m_pendingFile = Existing({QStringLiteral("e*.prg"), QStringLiteral("e*.raw"), QStringLiteral("s*.a"),
                              QStringLiteral("p*.kmd"), QStringLiteral("*.txt")});
    QPointer<TFormImport> alive(import);
    import->Button1->click();
    // A refused file leaves the dialog open after its message.
    if (alive && alive->isVisible()) alive->Button2->click();
}

void Soak::DriveExport(TFormExport* exporter)
{
    const bool prg = Chance(0.5);
    (prg ? exporter->RadioPrg : exporter->RadioRaw)->click();
    (Chance(0.5) ? exporter->RadioKelmora : exporter->RadioSeuck)->click();
    if (prg && Chance(0.5))
    {
        exporter->Edit1->selectAll();
        QTest::keyClicks(exporter->Edit1,
                         Chance(0.9) ? QString::number(Rand(0, 0xFFFF), 16) : QStringLiteral("g1"));
    }
    m_pendingFile = m_dir.filePath(QStringLiteral("e%1.%2").arg(Rand(0, 3)).arg(prg ? "prg" : "raw"));
    QPointer<TFormExport> alive(exporter);
    if (exporter->BtnOk->isEnabled()) exporter->BtnOk->click();
    if (alive && alive->isVisible())
    {
        m_pendingFile.clear();
        alive->BtnCancel->click();
    }
}

// The offscreen platform says on every dialog that it cannot pass size hints on, and on
// every window raised that it cannot raise it; that says nothing about the program, so
// it is left out of the output.
void QuietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")) ||
        message.contains(QLatin1String("does not support raise()")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(QuietOffscreenNotes);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    double minutes = 10.0;
    unsigned seed = kDefaultSeed;
    int checkSeconds = 60;
    if (argc > 1) minutes = std::strtod(argv[1], nullptr);
    if (argc > 2) seed = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 0));
    if (argc > 3) checkSeconds = std::atoi(argv[3]);
    if (argc > 4 || !(minutes > 0) || checkSeconds < 1)
    {
        std::fprintf(stderr, "usage: %s [minutes] [seed] [seconds between checks]\n", argv[0]);
        return 2;
    }
    std::signal(SIGALRM, OnHang);

    QApplication app(argc, argv);
    // Qt's pixmap cache (10 MB by default) fills with the icons every file dialog draws;
    // each dialog draws them afresh, so no entry is ever used twice. Qt 6.4 also keeps the
    // name of every entry it drops until that name is looked up again, which then never
    // happens: with the cache on, memory grows by about 1 kB a file dialog (2-3 MB a
    // minute at this pace) on top of the full cache. That is the toolkit's, not the
    // editor's data, so the run switches the cache off; KELMORA_SOAK_PIXMAP_CACHE_KB=10240
    // runs with Qt's default and shows that growth.
    const int cacheKb = qEnvironmentVariableIsSet("KELMORA_SOAK_PIXMAP_CACHE_KB")
                            ? qEnvironmentVariableIntValue("KELMORA_SOAK_PIXMAP_CACHE_KB")
                            : kPixmapCacheKb;
    QPixmapCache::setCacheLimit(cacheKb);
    QTemporaryDir dir;
    if (!dir.isValid())
    {
        std::fprintf(stderr, "soak: no temporary folder\n");
        return 1;
    }

    int result = 1;
    {
        TForm1 window(QStringList{});
        long opened = 0;
        window.OpenDocument = [&opened](const QString&)
        {
            ++opened;
            return true;
        };
        window.SetTextDataPath(QDir(dir.path()).filePath(QStringLiteral("spritedata.txt")));
        // The sample palettes, so the palette menu has more than the built-in one.
        if (window.findChild<QActionGroup*>(QStringLiteral("PaletteGroup"))->actions().size() < 2)
            window.LoadPaletteFile(QStringLiteral(KELMORA_SOURCE_DIR "/resources/palettes.pal"));
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowExposed(&window);

        std::printf("Soak test: %.1f minutes, seed %u, Qt pixmap cache %d kB, files in %s\n", minutes, seed,
                    QPixmapCache::cacheLimit(), qPrintable(dir.path()));
        std::fflush(stdout);
        Soak soak(window, seed, dir.path());
        soak.Run(minutes, checkSeconds);
        result = soak.Report(minutes, seed);
        std::printf("Listings handed to the viewer: %ld\n", opened);
    }
    return result;
}
