// Sequences in the editor: the Sequences window, the project's side file as projects are
// opened and saved, the onion skin of the editor, and Export GIF... of the Sequences
// window and the animator.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <functional>
#include <memory>

#include "UiTestSupport.h"
#include "core/SpriteBankStore.h"
#include "ui/Form1.h"
#include "ui/Settings.h"
#include "ui/Widgets.h"
#include "ui/tools/FormAnim.h"
#include "ui/tools/FormOnionSkin.h"
#include "ui/tools/FormSequences.h"

using namespace kelmora;

namespace
{

void Select(TForm1& window, int anchor, int other)
{
    uitest::Child<QScrollBar>(window, "ScrollBar1")->setValue(anchor);
    window.document().bank.currentSprite = anchor;
    window.document().bank.rangeStart = std::min(anchor, other);
    window.document().bank.rangeEnd = std::max(anchor, other);
    window.RefreshAll();
}

u8* Sprite(TForm1& window, int index)
{
    return window.document().bank.sprites + index * kSpriteBytes;
}

TFormSequences* OpenSequences(TForm1& window)
{
    uitest::Child<QAction>(window, "Mnu_Sequences")->trigger();
    auto* form = window.findChild<TFormSequences*>(QStringLiteral("FormSequences"));
    if (form) (void)QTest::qWaitForWindowExposed(form);
    return form;
}

std::vector<int> Slots(const Sequence& sequence)
{
    std::vector<int> named;
    for (const SequenceFrame& frame : sequence.frames)
        named.push_back(frame.slot);
    return named;
}

QStringList Rows(const QListWidget* list)
{
    QStringList rows;
    for (int k = 0; k < list->count(); ++k)
        rows << list->item(k)->text();
    return rows;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(data), data.size());
}

// Runs answer on the next modal window of type T once it shows (other windows are left
// alone, so a tool window that is itself modal stays open).
template <class T> void WhenShown(std::function<void(T*)> answer, int attempts = 300)
{
    QTimer::singleShot(10,
                       [answer, attempts]
                       {
                           auto* shown = qobject_cast<T*>(QApplication::activeModalWidget());
                           if (shown && shown->isVisible())
                           {
                               answer(shown);
                           }
                           else if (attempts > 0)
                               WhenShown<T>(answer, attempts - 1);
                       });
}

struct Said
{
    QString title, text;
};
Said g_said;

// Presses the button captioned button of the next message box, noting what it said.
void AnswerBox(const QString& button)
{
    WhenShown<QMessageBox>(
        [button](QMessageBox* box)
        {
            g_said = {box->windowTitle(), box->text()};
            for (QAbstractButton* b : box->buttons())
                if (b->text().remove(QLatin1Char('&')) == button)
                {
                    b->click();
                    return;
                }
            box->reject();
        });
}

// Answers the next question for a sequence name with name.
void AnswerName(const QString& name)
{
    WhenShown<QInputDialog>(
        [name](QInputDialog* ask)
        {
            ask->setTextValue(name);
            ask->accept();
        });
}

// Answers the next file dialog with path (saying Yes when a save dialog asks to replace a
// file there), then runs then for what follows it.
void AnswerFile(const QString& path, const std::function<void()>& then = {})
{
    WhenShown<QFileDialog>(
        [path, then](QFileDialog* dialog)
        {
            const bool asks = dialog->acceptMode() == QFileDialog::AcceptSave &&
                              !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            if (asks && QFileInfo::exists(path))
                WhenShown<QMessageBox>(
                    [then](QMessageBox* replace)
                    {
                        if (then) then();
                        replace->button(QMessageBox::Yes)->click();
                    });
            else if (then)
                then();
            // The name box keeps what it shows while it has the focus: it is set directly.
            dialog->selectFile(path);
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(path);
            static_cast<QDialog*>(dialog)->accept(); // runs the dialog's own checks
        });
}

void AnswerSave(const QString& path, const QString& thenButton = {})
{
    AnswerFile(path,
               [thenButton]
               {
                   if (!thenButton.isEmpty()) AnswerBox(thenButton);
               });
}

// Answers Export GIF's file dialog with path and its scale question with scale.
void AnswerGif(const QString& path, int scale, const QString& thenButton = {})
{
    AnswerFile(path,
               [scale, thenButton]
               {
                   WhenShown<QInputDialog>(
                       [scale, thenButton](QInputDialog* ask)
                       {
                           if (!thenButton.isEmpty()) AnswerBox(thenButton);
                           ask->setIntValue(scale);
                           ask->accept();
                       });
               });
}

struct GifFrame
{
    QImage image;
    int delayMs;
};

std::vector<GifFrame> ReadGif(const QString& path)
{
    std::vector<GifFrame> frames;
    QImageReader reader(path, "gif");
    for (QImage image = reader.read(); !image.isNull(); image = reader.read())
    {
        frames.push_back({image.convertToFormat(QImage::Format_RGB32), reader.nextImageDelay()});
        if (!reader.jumpToNextImage() && reader.imageCount() <= static_cast<int>(frames.size())) break;
    }
    return frames;
}

// The frame of slot as the browser draws it, in the views' colours, scale x scale a pixel.
QImage Expected(TForm1& window, int slot, int scale)
{
    const FramePicture picture = RenderFramePicture(window.document().bank, slot, scale);
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    const std::uint32_t* colours = window.host().viewColours();
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            image.setPixel(x, y, colours[picture.colours[static_cast<std::size_t>(y * picture.width + x)]]);
    return image;
}

// The object's picture in the views' colours.
QImage ExpectedObject(TForm1& window, const std::string& name)
{
    const SpriteObject* object = FindObject(window.document().extras.objects, name);
    if (!object) return {};
    const FramePicture picture = RenderObjectPicture(window.document().bank, *object, 1);
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    const std::uint32_t* colours = window.host().viewColours();
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            image.setPixel(x, y, colours[picture.colours[static_cast<std::size_t>(y * picture.width + x)]]);
    return image;
}

// Four hires sprites of colour 1 with pixels set at (k, 0) and (k, 20): each frame differs.
void DrawFrames(TForm1& window)
{
    for (int k = 0; k < 8; ++k)
    {
        u8* sprite = Sprite(window, k);
        sprite[kAttributeByte] = static_cast<u8>(1 + k % 3);
        sprite[k / 8] = static_cast<u8>(0x80 >> (k % 8));
        sprite[60 + k / 8] = static_cast<u8>(0x80 >> (k % 8));
    }
    window.RefreshAll();
}

} // namespace

class SequencesTest : public QObject
{
    Q_OBJECT
  private slots:
    void cleanup() { settings::SetStore(nullptr); }

    void sequenceFromSelectionEditedAsUndoSteps();
    void framesReorderedByDragging();
    void projectSavedAndReopenedWithItsSequences();
    void brokenSideFileOpensTheSpritesAndIsNeverReplacedUnasked();
    void onionSkinShowsInTheEditorOnly();
    void exportGifWritesTheFramesPlayed();
    void framesNamingObjectsShowThemWhole();
};

void SequencesTest::sequenceFromSelectionEditedAsUndoSteps()
{
    auto window = uitest::NewWindow();
    Sprite(*window, 3)[kAttributeByte] |= kAttrOverlay; // 3 + 4 are one frame
    Select(*window, 2, 5);
    TFormSequences* form = OpenSequences(*window);
    QVERIFY(form);
    QVERIFY(!form->isModal());
    QVERIFY(!window->findChild<TFormSequences*>()->Btn_AddFrames->isEnabled()); // no sequence yet

    // New takes its name and the selection's frames with the default delay.
    form->Spin_DefaultDelay->setValue(5);
    AnswerName(QStringLiteral("walk"));
    form->Btn_NewSequence->click();
    const Document& document = window->document();
    QCOMPARE(document.extras.sequences.size(), std::size_t{1});
    const Sequence& walk = document.extras.sequences[0];
    QCOMPARE(walk.name, std::string("walk"));
    QCOMPARE(Slots(walk), (std::vector<int>{2, 3, 5}));
    QCOMPARE(walk.frames[0].delay, 5);
    QCOMPARE(Rows(form->List_Sequences), QStringList{QStringLiteral("walk")});
    QCOMPARE(Rows(form->List_Frames),
             (QStringList{QStringLiteral("1. sprite 2, 5 ticks"), QStringLiteral("2. sprite 3, 5 ticks"),
                          QStringLiteral("3. sprite 5, 5 ticks")}));
    QVERIFY(HasChanges(document));
    const int afterNew = HistoryPosition(document.history);

    // A name taken already is refused with a message, and the question comes again.
    WhenShown<QInputDialog>(
        [](QInputDialog* ask)
        {
            WhenShown<QMessageBox>(
                [](QMessageBox* box)
                {
                    g_said = {box->windowTitle(), box->text()};
                    AnswerName(QStringLiteral("run"));
                    box->accept();
                });
            ask->setTextValue(QStringLiteral("walk"));
            ask->accept();
        });
    form->Btn_NewSequence->click();
    QVERIFY(g_said.text.contains(QStringLiteral("\"walk\"")));
    QCOMPARE(document.extras.sequences.size(), std::size_t{2});
    QCOMPARE(document.extras.sequences[1].name, std::string("run"));
    QCOMPARE(form->CurrentSequence(), 1);

    // The delay of the selected frames, the play mode, frames added after the selected
    // one, Del: one undo step each.
    form->List_Sequences->setCurrentRow(0);
    form->List_Frames->item(1)->setSelected(true);
    form->List_Frames->item(2)->setSelected(true);
    form->Spin_Delay->setValue(12);
    QCOMPARE(document.extras.sequences[0].frames[1].delay, 12);
    QCOMPARE(document.extras.sequences[0].frames[2].delay, 12);
    QCOMPARE(document.extras.sequences[0].frames[0].delay, 5);
    form->Combo_PlayMode->setCurrentIndex(1);
    emit form->Combo_PlayMode->activated(1);
    QCOMPARE(document.extras.sequences[0].mode, PlayMode::PingPong);
    Select(*window, 7, 7);
    form->List_Frames->clearSelection();
    form->List_Frames->item(0)->setSelected(true);
    form->Btn_AddFrames->click();
    QCOMPARE(Slots(document.extras.sequences[0]), (std::vector<int>{2, 7, 3, 5}));
    form->List_Frames->clearSelection();
    form->List_Frames->item(2)->setSelected(true);
    QTest::keyClick(form->List_Frames, Qt::Key_Delete);
    QCOMPARE(Slots(document.extras.sequences[0]), (std::vector<int>{2, 7, 5}));
    QCOMPARE(HistoryPosition(document.history), afterNew + 5); // run, delay, mode, add, Del

    // Undo in the main window takes the window back a step at a time; redo forward.
    auto* undo = uitest::Child<QAction>(*window, "Mnu_Undo");
    QVERIFY(form->actions().contains(undo)); // Ctrl+Z works while the window has the focus
    undo->trigger();
    QCOMPARE(Slots(document.extras.sequences[0]), (std::vector<int>{2, 7, 3, 5}));
    QCOMPARE(form->List_Frames->count(), 4);
    undo->trigger();
    undo->trigger();
    QCOMPARE(document.extras.sequences[0].mode, PlayMode::Loop);
    QCOMPARE(form->Combo_PlayMode->currentIndex(), 0);
    uitest::Child<QAction>(*window, "Mnu_Redo")->trigger();
    QCOMPARE(form->Combo_PlayMode->currentIndex(), 1);

    // Rename and Delete; undo brings the deleted one back.
    AnswerName(QStringLiteral("stroll"));
    form->Btn_RenameSequence->click();
    QCOMPARE(document.extras.sequences[0].name, std::string("stroll"));
    QCOMPARE(form->List_Sequences->currentItem()->text(), QStringLiteral("stroll"));
    form->Btn_DeleteSequence->click();
    QCOMPARE(document.extras.sequences.size(), std::size_t{1});
    QCOMPARE(Rows(form->List_Sequences), QStringList{QStringLiteral("run")});
    undo->trigger();
    QCOMPARE(Rows(form->List_Sequences), (QStringList{QStringLiteral("stroll"), QStringLiteral("run")}));

    // The command raises the one window again.
    form->close();
    QCOMPARE(OpenSequences(*window), form);
    QVERIFY(form->isVisible());
    QCOMPARE(window->findChildren<TFormSequences*>().size(), 1);
}

void SequencesTest::framesReorderedByDragging()
{
    auto window = uitest::NewWindow();
    DrawFrames(*window);
    Select(*window, 0, 3);
    TFormSequences* form = OpenSequences(*window);
    AnswerName(QStringLiteral("walk"));
    form->Btn_NewSequence->click();
    const int before = HistoryPosition(window->document().history);

    // A drop moves the dragged rows (here the first two, behind the last) as the list's
    // model moves them; the document takes the new order as one step.
    form->List_Frames->item(0)->setSelected(true);
    form->List_Frames->item(1)->setSelected(true);
    QAbstractItemModel* model = form->List_Frames->model();
    QVERIFY(model->moveRow(QModelIndex(), 0, QModelIndex(), 4));
    QVERIFY(model->moveRow(QModelIndex(), 0, QModelIndex(), 4));
    QTest::qWait(10);
    QCOMPARE(Slots(window->document().extras.sequences[0]), (std::vector<int>{2, 3, 0, 1}));
    QCOMPARE(HistoryPosition(window->document().history), before + 1);
    QCOMPARE(form->List_Frames->item(0)->text(), QStringLiteral("1. sprite 2, 4 ticks"));
    QVERIFY(form->List_Frames->item(2)->isSelected() && form->List_Frames->item(3)->isSelected());

    uitest::Child<QAction>(*window, "Mnu_Undo")->trigger();
    QCOMPARE(form->List_Frames->item(0)->text(), QStringLiteral("1. sprite 0, 4 ticks"));

    // The preview plays at the sequence's own timing: frame 0 for 4 ticks (80 ms), then 1.
    form->List_Frames->clearSelection();
    form->Btn_Play->click();
    QVERIFY(form->Timer_Preview->isActive());
    QCOMPARE(form->PreviewFrame(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(form->PreviewFrame(), 1, 1000);
    form->Btn_Play->click();
    QVERIFY(!form->Timer_Preview->isActive());

    // Expand X doubles the sprite's width over the background colour.
    form->List_Frames->setCurrentRow(1);
    const QColor background =
        QColor::fromRgb(window->host().viewColours()[window->document().bank.colourTransp]);
    auto* preview = form->PaintBox_SequencePreview;
    const QImage narrow = preview->grab().toImage();
    form->Chk_ExpandX->click();
    const QImage wide = preview->grab().toImage();
    // Sprite 1's pixel at (1, 0): 2 screen pixels a sprite pixel, 4 when expanded.
    QCOMPARE(narrow.pixelColor(8 + 2 * 1, 8), QColor::fromRgb(window->host().viewColours()[2]));
    QCOMPARE(narrow.pixelColor(8 + 2 * 1 + 2, 8), background);
    QCOMPARE(wide.pixelColor(8 + 4 * 1 + 3, 8), QColor::fromRgb(window->host().viewColours()[2]));
    QCOMPARE(wide.pixelColor(2, 2), background);
}

void SequencesTest::projectSavedAndReopenedWithItsSequences()
{
    QTemporaryDir folder;
    const QString project = folder.filePath(QStringLiteral("walker.kmd"));
    const QString side = project + QStringLiteral(".json");
    auto window = uitest::NewWindow();
    DrawFrames(*window);
    Select(*window, 0, 3);
    TFormSequences* form = OpenSequences(*window);
    AnswerName(QStringLiteral("walk"));
    form->Btn_NewSequence->click();

    // Save Project writes the project as ever, and the side file beside it.
    AnswerSave(project);
    uitest::Child<QAction>(*window, "Mnu_SaveProject")->trigger();
    const std::vector<u8> bytes = EncodeProject(&window->document().bank);
    QCOMPARE(ReadAll(project), QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size())));
    ProjectExtras saved;
    std::string message;
    QVERIFY(ParseProjectExtras(ReadAll(side).toStdString(), saved, message));
    QCOMPARE(saved.sequences, window->document().extras.sequences);

    // New clears them; Open, a drop and the command line bring them back.
    AnswerBox(QStringLiteral("Yes"));
    uitest::Child<QAction>(*window, "Mnu_New")->trigger();
    QVERIFY(window->document().extras.sequences.empty());
    QCOMPARE(form->List_Sequences->count(), 0);
    AnswerFile(project);
    uitest::Child<QAction>(*window, "Mnu_Open")->trigger();
    QCOMPARE(window->document().extras.sequences, saved.sequences);
    QCOMPARE(Rows(form->List_Sequences), QStringList{QStringLiteral("walk")});
    QVERIFY(!CanUndo(window->document())); // a fresh history
    AnswerBox(QStringLiteral("Yes"));
    uitest::Child<QAction>(*window, "Mnu_New")->trigger();
    window->DropFile(project);
    QCOMPARE(window->document().extras.sequences, saved.sequences);
    auto started = uitest::NewWindow({project});
    QCOMPARE(started->document().extras.sequences, saved.sequences);

    // Removing the last sequence and saving again empties the side file it came from.
    form->Btn_DeleteSequence->click();
    AnswerSave(project);
    uitest::Child<QAction>(*window, "Mnu_SaveProject")->trigger();
    ProjectExtras emptied;
    QVERIFY(ParseProjectExtras(ReadAll(side).toStdString(), emptied, message));
    QVERIFY(emptied.sequences.empty());

    // A project without extras and without a side file gets none; saving it over another
    // project replaces that one's side file, which would describe other sprites.
    const QString plain = folder.filePath(QStringLiteral("plain.kmd"));
    AnswerBox(QStringLiteral("Yes"));
    uitest::Child<QAction>(*window, "Mnu_New")->trigger();
    AnswerSave(plain);
    uitest::Child<QAction>(*window, "Mnu_SaveProject")->trigger();
    QVERIFY(QFileInfo::exists(plain));
    QVERIFY(!QFileInfo::exists(plain + QStringLiteral(".json")));
    const QString other = folder.filePath(QStringLiteral("other.kmd"));
    WriteAll(other, ReadAll(project));
    WriteAll(other + QStringLiteral(".json"),
             ReadAll(project + QStringLiteral(".json")).replace("[]", "[{\"name\": \"x\"}]"));
    AnswerSave(other);
    uitest::Child<QAction>(*window, "Mnu_SaveProject")->trigger();
    ProjectExtras replaced;
    QVERIFY(ParseProjectExtras(ReadAll(other + QStringLiteral(".json")).toStdString(), replaced, message));
    QVERIFY(replaced.sequences.empty());

    // When the side file cannot be written, neither file changes and the message names it.
    window->DropFile(project);
    QVERIFY(QFile::remove(side));
    QVERIFY(QDir().mkdir(side));
    const QByteArray projectBefore = ReadAll(project);
    Sprite(*window, 0)[5] = 0x42;
    window->document().extras.sequences.push_back(saved.sequences[0]);
    AnswerSave(project, QStringLiteral("OK"));
    uitest::Child<QAction>(*window, "Mnu_SaveProject")->trigger();
    QCOMPARE(g_said.title, QStringLiteral("File Error"));
    QVERIFY(g_said.text.endsWith(QStringLiteral("walker.kmd.json")));
    QCOMPARE(ReadAll(project), projectBefore);
}

void SequencesTest::brokenSideFileOpensTheSpritesAndIsNeverReplacedUnasked()
{
    QTemporaryDir folder;
    const QString project = folder.filePath(QStringLiteral("ship.kmd"));
    const QString side = project + QStringLiteral(".json");
    auto window = uitest::NewWindow();
    DrawFrames(*window);
    const std::vector<u8> bytes = EncodeProject(&window->document().bank);
    WriteAll(project, QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size())));
    const QByteArray newer = R"({"format": "kelmora-project-extras", "version": 7, "layers": []})";
    WriteAll(side, newer);

    // The sprites open; the extras stay out; the status bar and a message say why.
    AnswerBox(QStringLiteral("Discard")); // the drawn frames are unsaved
    uitest::Child<QAction>(*window, "Mnu_New")->trigger();
    g_said = {};
    AnswerFile(project, [] { AnswerBox(QStringLiteral("OK")); });
    uitest::Child<QAction>(*window, "Mnu_Open")->trigger();
    QCOMPARE(g_said.title, QStringLiteral("Project Extras"));
    QVERIFY(g_said.text.endsWith(QStringLiteral("ship.kmd.json")));
    QCOMPARE(std::memcmp(window->document().bank.sprites, bytes.data() + 3, bytes.size() - 3), 0);
    QVERIFY(window->document().extras.sequences.empty());
    QVERIFY(window->statusBar()->currentMessage().contains(QStringLiteral("newer version")));

    // Saving asks before replacing it: Cancel writes nothing, Keep It saves the sprites alone.
    Sprite(*window, 0)[9] = 0x81;
    const QByteArray projectBefore = ReadAll(project);
    AnswerSave(project, QStringLiteral("Cancel"));
    uitest::Child<QAction>(*window, "Mnu_SaveProject")->trigger();
    QCOMPARE(ReadAll(project), projectBefore);
    QCOMPARE(ReadAll(side), newer);
    AnswerSave(project, QStringLiteral("Keep It"));
    uitest::Child<QAction>(*window, "Mnu_SaveProject")->trigger();
    QVERIFY(ReadAll(project) != projectBefore);
    QCOMPARE(ReadAll(side), newer);
    QVERIFY(window->statusBar()->currentMessage().contains(QStringLiteral("kept")));
    // Replace It writes this window's extras over it.
    AnswerSave(project, QStringLiteral("Replace It"));
    uitest::Child<QAction>(*window, "Mnu_SaveProject")->trigger();
    ProjectExtras written;
    std::string message;
    QVERIFY(ParseProjectExtras(ReadAll(side).toStdString(), written, message));

    // From the command line the message waits until the window is up.
    WriteAll(side, "{ not json");
    g_said = {};
    AnswerBox(QStringLiteral("OK"));
    auto started = uitest::NewWindow({project});
    QTRY_COMPARE(g_said.title, QStringLiteral("Project Extras"));
    QCOMPARE(started->document().bank.sprites[9], u8{0x81});
}

void SequencesTest::onionSkinShowsInTheEditorOnly()
{
    QTemporaryDir folder;
    settings::SetStore(
        std::make_unique<QSettings>(folder.filePath(QStringLiteral("k.conf")), QSettings::IniFormat));
    auto window = uitest::NewWindow();
    auto* onion = uitest::Child<QAction>(*window, "Mnu_OnionSkin");
    QVERIFY(onion->isCheckable() && !onion->isChecked()); // off at first start
    Sprite(*window, 0)[kAttributeByte] = 1;               // hires white, pixel (0, 0)
    Sprite(*window, 0)[0] = 0x80;
    Sprite(*window, 1)[kAttributeByte] = 1; // the sprite edited: empty
    Sprite(*window, 2)[kAttributeByte] = 1; // the one after: pixel (1, 0)
    Sprite(*window, 2)[0] = 0x40;
    Select(*window, 1, 1);
    const QColor background =
        QColor::fromRgb(window->host().viewColours()[window->document().bank.colourTransp]);
    const QColor white = QColor::fromRgb(window->host().viewColours()[1]);
    QCOMPARE(uitest::Shown(*window, "PaintBox_Editor").pixelColor(3, 3), background);
    const QImage preview = uitest::Shown(*window, "PaintBox_Preview");
    const QImage browser = uitest::Shown(*window, "PaintBox_Browser");

    onion->trigger();
    QImage editor = uitest::Shown(*window, "PaintBox_Editor");
    const QColor faint = editor.pixelColor(3, 3);
    QVERIFY(faint != background && faint != white);
    QVERIFY(faint.lightness() > background.lightness());
    QCOMPARE(editor.pixelColor(11, 3), background); // nothing ahead unless asked
    // The preview and the browser never show it.
    QCOMPARE(uitest::Shown(*window, "PaintBox_Preview"), preview);
    QCOMPARE(uitest::Shown(*window, "PaintBox_Browser"), browser);
    QCOMPARE(settings::Value(QStringLiteral("view/onionSkin")).toBool(), true);

    // The settings: the editor follows them while the window is open, OK keeps them.
    WhenShown<TFormOnionSkin>(
        [](TFormOnionSkin* dialog)
        {
            QCOMPARE(dialog->Spin_OnionOpacity->minimum(), 15);
            QCOMPARE(dialog->Spin_OnionOpacity->maximum(), 60);
            QCOMPARE(dialog->Spin_OnionFrames->maximum(), 3);
            dialog->Spin_OnionOpacity->setValue(60);
            dialog->Chk_OnionAhead->setChecked(true);
            dialog->accept();
        });
    uitest::Child<QAction>(*window, "Mnu_OnionSkinSettings")->trigger();
    editor = uitest::Shown(*window, "PaintBox_Editor");
    QVERIFY(editor.pixelColor(3, 3).lightness() > faint.lightness());
    QVERIFY(editor.pixelColor(11, 3) != background);
    // Cancel puts back what was in force.
    WhenShown<TFormOnionSkin>(
        [](TFormOnionSkin* dialog)
        {
            dialog->Chk_OnionAhead->setChecked(false);
            dialog->reject();
        });
    uitest::Child<QAction>(*window, "Mnu_OnionSkinSettings")->trigger();
    QVERIFY(uitest::Shown(*window, "PaintBox_Editor").pixelColor(11, 3) != background);

    // Remembered for the next run; off again, the editor shows the sprite alone.
    window.reset();
    window = uitest::NewWindow();
    QVERIFY(uitest::Child<QAction>(*window, "Mnu_OnionSkin")->isChecked());
    uitest::Child<QAction>(*window, "Mnu_OnionSkin")->trigger();
    QCOMPARE(uitest::Shown(*window, "PaintBox_Editor").pixelColor(3, 3), background);
}

void SequencesTest::exportGifWritesTheFramesPlayed()
{
    QTemporaryDir folder;
    auto window = uitest::NewWindow();
    DrawFrames(*window);
    Select(*window, 0, 2);
    TFormSequences* form = OpenSequences(*window);
    AnswerName(QStringLiteral("walk"));
    form->Btn_NewSequence->click();
    for (int k = 0; k < 3; ++k)
    {
        form->List_Frames->clearSelection();
        form->List_Frames->item(k)->setSelected(true);
        form->Spin_Delay->setValue(3 + 2 * k);
    }
    form->Combo_PlayMode->setCurrentIndex(1);
    emit form->Combo_PlayMode->activated(1); // ping-pong: 0, 1, 2, 1

    const QString path = folder.filePath(QStringLiteral("walk.gif"));
    AnswerGif(path, 3);
    form->BtnExportGif->click();
    std::vector<GifFrame> frames = ReadGif(path);
    QCOMPARE(frames.size(), std::size_t{4});
    const int shown[] = {0, 1, 2, 1};
    const int delays[] = {60, 100, 140, 100}; // ms: 3, 5, 7 and 5 ticks
    for (std::size_t k = 0; k < frames.size(); ++k)
    {
        QCOMPARE(frames[k].image, Expected(*window, shown[k], 3));
        QCOMPARE(frames[k].delayMs, delays[k]);
    }

    // The animator's: its range, options and rate (12.5 Hz: 4 ticks a step).
    form->close();
    Select(*window, 4, 6);
    const QString animation = folder.filePath(QStringLiteral("anim.gif"));
    WhenShown<TFormAnim>(
        [animation](TFormAnim* animator)
        {
            animator->PingPong->click();
            animator->Hz12->click();
            AnswerGif(animation, 1);
            animator->BtnExportGif->click();
            animator->Button1->click();
        });
    uitest::Child<QAction>(*window, "Mnu_Animator")->trigger();
    frames = ReadGif(animation);
    QCOMPARE(frames.size(), std::size_t{4});
    const int played[] = {4, 5, 6, 5};
    for (std::size_t k = 0; k < frames.size(); ++k)
    {
        QCOMPARE(frames[k].image, Expected(*window, played[k], 1));
        QCOMPARE(frames[k].delayMs, 80);
    }

    // A file that may not be written is reported with the reason, and stays as it was.
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    const QByteArray before = ReadAll(path);
    OpenSequences(*window);
    g_said = {};
    AnswerGif(path, 2, QStringLiteral("OK"));
    form->BtnExportGif->click();
    QCOMPARE(g_said.title, QStringLiteral("File Error"));
    QVERIFY(g_said.text.startsWith(QStringLiteral("Could not write ")));
    QCOMPARE(ReadAll(path), before);
}

void SequencesTest::framesNamingObjectsShowThemWhole()
{
    QTemporaryDir folder;
    // The example robot: "blink" shows the object "robot", then "robot_blink".
    auto window = uitest::NewWindow({QStringLiteral(KELMORA_SOURCE_DIR "/examples/robot.kmd")});
    QCOMPARE(window->document().extras.sequences.size(), std::size_t{1});
    TFormSequences* form = OpenSequences(*window);
    QVERIFY(form->List_Frames->item(0)->text().contains(QStringLiteral("object \"robot\"")));

    // The preview shows the whole 2 x 2 object, not a sprite of it.
    form->List_Frames->item(0)->setSelected(true);
    const QImage preview = form->PaintBox_SequencePreview->grab().toImage();
    const QImage robot = ExpectedObject(*window, "robot");
    QCOMPARE(robot.size(), QSize(48, 42));
    const QPoint inside(8 + 2 * 20, 8 + 2 * 30); // the preview's margin, zoom 2
    QCOMPARE(preview.pixelColor(inside), robot.pixelColor(20, 30));

    // Export GIF draws each object whole, at its own timing.
    const QString path = folder.filePath(QStringLiteral("blink.gif"));
    AnswerGif(path, 1);
    form->BtnExportGif->click();
    const std::vector<GifFrame> frames = ReadGif(path);
    QCOMPARE(frames.size(), std::size_t{2});
    QCOMPARE(frames[0].image, robot);
    QCOMPARE(frames[0].delayMs, 1200);
    QCOMPARE(frames[1].image, ExpectedObject(*window, "robot_blink"));

    // Add Object appends a frame naming the object chosen, as one undo step.
    form->List_Frames->clearSelection();
    WhenShown<QInputDialog>(
        [](QInputDialog* ask)
        {
            ask->setTextValue(QStringLiteral("robot_blink"));
            ask->accept();
        });
    form->Btn_AddObject->click();
    const Sequence& blink = window->document().extras.sequences[0];
    QCOMPARE(blink.frames.size(), std::size_t{3});
    QCOMPARE(blink.frames[2].object, std::string("robot_blink"));
    uitest::Child<QAction>(*window, "Mnu_Undo")->trigger();
    QCOMPARE(window->document().extras.sequences[0].frames.size(), std::size_t{2});
}

QTEST_MAIN(SequencesTest)
#include "sequences_test.moc"
