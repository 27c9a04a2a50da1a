// The Sequences window: editing the project's named sequences and playing them.
#include "ui/tools/FormSequences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "core/SpriteBankStore.h"
#include "ui/EditorHost.h"
#include "ui/GifExport.h"
#include "ui/Messages.h"
#include "ui/Settings.h"
#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

const QString kCaption = QStringLiteral("Sequences");
const QString kDefaultDelayKey = QStringLiteral("sequences/defaultDelay");
const QString kExpandXKey = QStringLiteral("sequences/expandX");
const QString kExpandYKey = QStringLiteral("sequences/expandY");
constexpr int kTickMs = 1000 / kTicksPerSecond;
constexpr int kPreviewZoom = 2;   // screen pixels a sprite pixel, before expansion
constexpr int kPreviewMargin = 8; // background around the sprite
constexpr int kThumbScale = 2;

// A frame's picture in the views' colours; null when it cannot be drawn.
QImage PictureImage(const FramePicture& picture, const std::uint32_t* colours)
{
    if (picture.width <= 0) return {};
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y)
    {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        const u8* from = picture.colours.data() + static_cast<std::size_t>(y) * picture.width;
        for (int x = 0; x < picture.width; ++x)
            row[x] = colours[from[x] & 15];
    }
    return image;
}

// The frame as the browser draws its slot, or the whole object it names; null when the
// object is not among the project's (renamed or deleted since) or cannot be drawn.
QImage FrameImage(TEditorHost& host, const SequenceFrame& frame, int scale)
{
    const Document& doc = host.document();
    if (frame.object.empty())
        return PictureImage(RenderFramePicture(doc.bank, frame.slot, scale), host.viewColours());
    const SpriteObject* object = FindObject(doc.extras.objects, frame.object);
    if (!object) return {};
    return PictureImage(RenderObjectPicture(doc.bank, *object, scale), host.viewColours());
}

// The sprite a frame stands for in the main window: its slot, or the object's first cell.
int FrameSlot(TEditorHost& host, const SequenceFrame& frame)
{
    if (frame.object.empty()) return frame.slot;
    const SpriteObject* object = FindObject(host.document().extras.objects, frame.object);
    return object && !object->cells.empty() ? object->cells.front() : -1;
}

// Draws each frame's sprite as it is now, so the list follows every stroke without
// making pictures for frames that are not on the screen.
class FrameDelegate : public QStyledItemDelegate
{
  public:
    FrameDelegate(TEditorHost& host, QObject* parent) : QStyledItemDelegate(parent), m_host(host) {}

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        SequenceFrame frame;
        frame.slot = index.data(Qt::UserRole + 1).toInt();
        frame.object = index.data(Qt::UserRole + 2).toString().toStdString();
        QImage image = FrameImage(m_host, frame, frame.object.empty() ? kThumbScale : 1);
        if (image.isNull()) return;
        // An object larger than a sprite's thumbnail is shown smaller, whole.
        const QSize box(kSpriteWidth * kThumbScale, kSpriteHeight * kThumbScale);
        if (image.width() > box.width() || image.height() > box.height())
            image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        else if (!frame.object.empty() && image.width() * 2 <= box.width() &&
                 image.height() * 2 <= box.height())
            image = image.scaled(image.size() * 2);
        option->features |= QStyleOptionViewItem::HasDecoration;
        // The sprite as it is, also in a selected row (no selection tint over its colours).
        const QPixmap picture = QPixmap::fromImage(image);
        option->icon = QIcon();
        option->icon.addPixmap(picture, QIcon::Normal);
        option->icon.addPixmap(picture, QIcon::Selected);
        option->decorationSize = image.size();
    }

  private:
    TEditorHost& m_host;
};

QString Ticks(int ticks)
{
    return ticks == 1 ? QStringLiteral("1 tick") : QStringLiteral("%1 ticks").arg(ticks);
}

// A name not yet taken: "sequence 1", "sequence 2", ...
QString FreeName(const std::vector<Sequence>& sequences)
{
    for (int n = 1;; ++n)
    {
        const QString name = QStringLiteral("sequence %1").arg(n);
        if (!FindSequence(sequences, name.toStdString())) return name;
    }
}

} // namespace

TFormSequences::TFormSequences(TEditorHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    CreateControls();
    connect(&m_host, &TEditorHost::viewsRefreshed, this, &TFormSequences::FollowDocument);
    m_shown = m_host.document().extras.sequences;
    if (!m_shown.empty()) m_shownName = QString::fromStdString(m_shown.front().name);
    ShowSequences();
}

TFormSequences::~TFormSequences() = default;

void TFormSequences::CreateControls()
{
    setObjectName(QStringLiteral("FormSequences"));
    setWindowTitle(kCaption);
    setModal(false);

    auto button = [this](const char* name, const QString& caption, const QString& hint)
    {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setToolTip(hint);
        return b;
    };

    // ---- The sequences ----
    auto* sequencesBox = new QGroupBox(QStringLiteral("Sequences"), this);
    sequencesBox->setObjectName(QStringLiteral("GroupBox_Sequences"));
    List_Sequences = new QListWidget(sequencesBox);
    List_Sequences->setObjectName(QStringLiteral("List_Sequences"));
    List_Sequences->setSelectionMode(QAbstractItemView::SingleSelection);
    Btn_NewSequence = button("Btn_NewSequence", QStringLiteral("New..."),
                             QStringLiteral("A new sequence of the sprites selected in the main window"));
    Btn_RenameSequence = button("Btn_RenameSequence", QStringLiteral("Rename..."),
                                QStringLiteral("Give the sequence another name"));
    Btn_DeleteSequence =
        button("Btn_DeleteSequence", QStringLiteral("Delete"), QStringLiteral("Delete the sequence"));
    auto* sequencesLayout = new QGridLayout(sequencesBox);
    sequencesLayout->addWidget(List_Sequences, 0, 0, 1, 3);
    sequencesLayout->addWidget(Btn_NewSequence, 1, 0);
    sequencesLayout->addWidget(Btn_RenameSequence, 1, 1);
    sequencesLayout->addWidget(Btn_DeleteSequence, 1, 2);

    // ---- The frames of the selected sequence ----
    auto* framesBox = new QGroupBox(QStringLiteral("Frames"), this);
    framesBox->setObjectName(QStringLiteral("GroupBox_Frames"));
    List_Frames = new QListWidget(framesBox);
    List_Frames->setObjectName(QStringLiteral("List_Frames"));
    List_Frames->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List_Frames->setDragDropMode(QAbstractItemView::InternalMove);
    List_Frames->setDefaultDropAction(Qt::MoveAction);
    List_Frames->setIconSize(QSize(kSpriteWidth * kThumbScale, kSpriteHeight * kThumbScale));
    List_Frames->setItemDelegate(new FrameDelegate(m_host, List_Frames));
    List_Frames->setToolTip(QStringLiteral("Drag frames to reorder them; Del removes the selected frames; "
                                           "a double click shows the sprite in the editor"));
    List_Frames->setMinimumWidth(200);
    List_Frames->setMinimumHeight(5 * (kSpriteHeight * kThumbScale + 4)); // five frames in view
    Btn_AddFrames = button("Btn_AddFrames", QStringLiteral("Add Selection"),
                           QStringLiteral("Add the sprites selected in the main window after the selected "
                                          "frames (an overlay pair is one frame)"));
    Btn_AddObject = button("Btn_AddObject", QStringLiteral("Add Object..."),
                           QStringLiteral("Add a frame that shows one of the project's objects whole"));
    Btn_RemoveFrames = button("Btn_RemoveFrames", QStringLiteral("Remove"),
                              QStringLiteral("Remove the selected frames (Del)"));
    Spin_Delay = new QSpinBox(framesBox);
    Spin_Delay->setObjectName(QStringLiteral("Spin_Delay"));
    Spin_Delay->setRange(kMinFrameDelay, kMaxFrameDelay);
    Spin_Delay->setValue(kDefaultFrameDelay);
    Spin_Delay->setSuffix(QStringLiteral(" ticks"));
    Spin_Delay->setKeyboardTracking(false);
    Spin_Delay->setToolTip(QStringLiteral("How long the selected frames show, in 1/50 s"));
    Spin_DefaultDelay = new QSpinBox(framesBox);
    Spin_DefaultDelay->setObjectName(QStringLiteral("Spin_DefaultDelay"));
    Spin_DefaultDelay->setRange(kMinFrameDelay, kMaxFrameDelay);
    Spin_DefaultDelay->setSuffix(QStringLiteral(" ticks"));
    Spin_DefaultDelay->setValue(std::clamp(settings::Value(kDefaultDelayKey, kDefaultFrameDelay).toInt(),
                                           kMinFrameDelay, kMaxFrameDelay));
    Spin_DefaultDelay->setToolTip(QStringLiteral("How long frames added from now on show, in 1/50 s"));
    Combo_PlayMode = new QComboBox(framesBox);
    Combo_PlayMode->setObjectName(QStringLiteral("Combo_PlayMode"));
    Combo_PlayMode->addItem(QStringLiteral("Loop"), static_cast<int>(PlayMode::Loop));
    Combo_PlayMode->addItem(QStringLiteral("Ping-pong"), static_cast<int>(PlayMode::PingPong));
    Combo_PlayMode->addItem(QStringLiteral("Once"), static_cast<int>(PlayMode::Once));
    Combo_PlayMode->setToolTip(QStringLiteral("Loop: from the first frame again; ping-pong: back and forth; "
                                              "once: stops on the last frame"));
    auto* framesLayout = new QGridLayout(framesBox);
    framesLayout->addWidget(List_Frames, 0, 0, 1, 2);
    auto* frameButtons = new QHBoxLayout;
    frameButtons->addWidget(Btn_AddFrames);
    frameButtons->addWidget(Btn_AddObject);
    frameButtons->addWidget(Btn_RemoveFrames);
    framesLayout->addLayout(frameButtons, 1, 0, 1, 2);
    auto* delayLabel = new QLabel(QStringLiteral("Delay of the selected frames:"), framesBox);
    delayLabel->setObjectName(QStringLiteral("Label_Delay"));
    delayLabel->setBuddy(Spin_Delay);
    auto* defaultLabel = new QLabel(QStringLiteral("Delay of new frames:"), framesBox);
    defaultLabel->setObjectName(QStringLiteral("Label_DefaultDelay"));
    defaultLabel->setBuddy(Spin_DefaultDelay);
    auto* modeLabel = new QLabel(QStringLiteral("Play mode:"), framesBox);
    modeLabel->setObjectName(QStringLiteral("Label_PlayMode"));
    modeLabel->setBuddy(Combo_PlayMode);
    framesLayout->addWidget(delayLabel, 2, 0);
    framesLayout->addWidget(Spin_Delay, 2, 1);
    framesLayout->addWidget(defaultLabel, 3, 0);
    framesLayout->addWidget(Spin_DefaultDelay, 3, 1);
    framesLayout->addWidget(modeLabel, 4, 0);
    framesLayout->addWidget(Combo_PlayMode, 4, 1);

    // ---- The preview ----
    auto* previewBox = new QGroupBox(QStringLiteral("Preview"), this);
    previewBox->setObjectName(QStringLiteral("GroupBox_Preview"));
    PaintBox_SequencePreview = new TPaintBox(previewBox);
    PaintBox_SequencePreview->setObjectName(QStringLiteral("PaintBox_SequencePreview"));
    PaintBox_SequencePreview->setFixedSize(kSpriteWidth * kPreviewZoom * 2 + 2 * kPreviewMargin,
                                           kSpriteHeight * kPreviewZoom * 2 + 2 * kPreviewMargin);
    PaintBox_SequencePreview->onPaint = [this](QPainter& painter) { DrawPreview(painter); };
    Chk_ExpandX = new QCheckBox(QStringLiteral("Expand X"), previewBox);
    Chk_ExpandX->setObjectName(QStringLiteral("Chk_ExpandX"));
    Chk_ExpandX->setToolTip(QStringLiteral("Double width, as the video chip shows an expanded sprite"));
    Chk_ExpandX->setChecked(settings::Value(kExpandXKey, false).toBool());
    Chk_ExpandY = new QCheckBox(QStringLiteral("Expand Y"), previewBox);
    Chk_ExpandY->setObjectName(QStringLiteral("Chk_ExpandY"));
    Chk_ExpandY->setToolTip(QStringLiteral("Double height, as the video chip shows an expanded sprite"));
    Chk_ExpandY->setChecked(settings::Value(kExpandYKey, false).toBool());
    Btn_Play =
        button("Btn_Play", QStringLiteral("Play"), QStringLiteral("Play the sequence at its own timing"));
    Btn_Play->setCheckable(true);
    Label_Timing = new QLabel(previewBox);
    Label_Timing->setObjectName(QStringLiteral("Label_Timing"));
    BtnExportGif = button("BtnExportGif", QStringLiteral("Export GIF..."),
                          QStringLiteral("Write the sequence as an animated GIF picture"));
    BtnExportGif->setEnabled(GifSupported());
    auto* previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(PaintBox_SequencePreview, 0, Qt::AlignHCenter);
    previewLayout->addWidget(Chk_ExpandX);
    previewLayout->addWidget(Chk_ExpandY);
    previewLayout->addWidget(Btn_Play);
    previewLayout->addWidget(Label_Timing);
    previewLayout->addStretch(1);
    previewLayout->addWidget(BtnExportGif);

    Btn_Close = button("Btn_Close", QStringLiteral("Close"), QString());

    auto* columns = new QHBoxLayout;
    columns->addWidget(sequencesBox, 1);
    columns->addWidget(framesBox, 2);
    columns->addWidget(previewBox, 0);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Btn_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(bottom);

    Timer_Preview = new QTimer(this);
    Timer_Preview->setObjectName(QStringLiteral("Timer_Preview"));
    Timer_Preview->setTimerType(Qt::PreciseTimer);
    Timer_Preview->setInterval(kTickMs);

    connect(List_Sequences, &QListWidget::currentRowChanged, this,
            [this](int row)
            {
                if (m_filling) return;
                m_shownName = row >= 0 && row < static_cast<int>(m_shown.size())
                                  ? QString::fromStdString(m_shown[static_cast<std::size_t>(row)].name)
                                  : QString();
                StopPreview();
                m_previewFrame = 0;
                ShowFrames();
            });
    connect(List_Frames, &QListWidget::itemSelectionChanged, this,
            [this]
            {
                if (m_filling) return;
                ShowFrameControls();
                if (!Timer_Preview->isActive())
                {
                    const QList<int> rows = SelectedFrames();
                    m_previewFrame =
                        rows.isEmpty() ? (Shown() && !Shown()->frames.empty() ? 0 : -1) : rows.first();
                    PaintBox_SequencePreview->update();
                }
            });
    connect(List_Frames, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item)
            {
                SequenceFrame frame;
                frame.slot = item->data(Qt::UserRole + 1).toInt();
                frame.object = item->data(Qt::UserRole + 2).toString().toStdString();
                const int slot = FrameSlot(m_host, frame);
                if (slot >= 0) m_host.showSprite(slot);
            });
    connect(List_Frames->model(), &QAbstractItemModel::rowsMoved, this,
            [this]
            {
                if (m_filling || m_reorderPending) return;
                // A drop moves its frames one by one: the document takes the order once it is done.
                m_reorderPending = true;
                QTimer::singleShot(0, this, &TFormSequences::FramesReordered);
            });
    List_Frames->installEventFilter(this); // Del removes the selected frames

    connect(Btn_NewSequence, &QPushButton::clicked, this, &TFormSequences::Btn_NewSequenceClick);
    connect(Btn_RenameSequence, &QPushButton::clicked, this, &TFormSequences::Btn_RenameSequenceClick);
    connect(Btn_DeleteSequence, &QPushButton::clicked, this, &TFormSequences::Btn_DeleteSequenceClick);
    connect(Btn_AddFrames, &QPushButton::clicked, this, &TFormSequences::Btn_AddFramesClick);
    connect(Btn_AddObject, &QPushButton::clicked, this, &TFormSequences::Btn_AddObjectClick);
    connect(Btn_RemoveFrames, &QPushButton::clicked, this, &TFormSequences::Btn_RemoveFramesClick);
    connect(Spin_Delay, &QSpinBox::valueChanged, this, &TFormSequences::FrameDelayChanged);
    connect(Spin_DefaultDelay, &QSpinBox::valueChanged, this,
            [](int delay) { settings::SetValue(kDefaultDelayKey, delay); });
    connect(Combo_PlayMode, &QComboBox::activated, this, &TFormSequences::PlayModeChosen);
    connect(Chk_ExpandX, &QCheckBox::toggled, this,
            [this](bool on)
            {
                settings::SetValue(kExpandXKey, on);
                PaintBox_SequencePreview->update();
            });
    connect(Chk_ExpandY, &QCheckBox::toggled, this,
            [this](bool on)
            {
                settings::SetValue(kExpandYKey, on);
                PaintBox_SequencePreview->update();
            });
    connect(Btn_Play, &QPushButton::clicked, this, &TFormSequences::Btn_PlayClick);
    connect(Timer_Preview, &QTimer::timeout, this, &TFormSequences::Timer_PreviewTimer);
    connect(BtnExportGif, &QPushButton::clicked, this, &TFormSequences::BtnExportGifClick);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::close);
}

// ---- Following the document ----

const Sequence* TFormSequences::Shown() const
{
    const int index = CurrentSequence();
    return index < 0 ? nullptr : &m_shown[static_cast<std::size_t>(index)];
}

int TFormSequences::CurrentSequence() const
{
    for (std::size_t k = 0; k < m_shown.size(); ++k)
        if (QString::fromStdString(m_shown[k].name) == m_shownName) return static_cast<int>(k);
    return -1;
}

void TFormSequences::FollowDocument()
{
    const std::vector<Sequence>& sequences = m_host.document().extras.sequences;
    if (sequences != m_shown)
    {
        const int before = CurrentSequence();
        const bool played = Timer_Preview->isActive();
        const Sequence* old = Shown();
        const Sequence oldShown = old ? *old : Sequence();
        m_shown = sequences;
        // The sequence shown stays by its name; one renamed or deleted (by undo, say) gives
        // way to the one now at its place.
        if (CurrentSequence() < 0 && !m_shown.empty())
            m_shownName = QString::fromStdString(
                m_shown[static_cast<std::size_t>(std::clamp(before, 0, static_cast<int>(m_shown.size()) - 1))]
                    .name);
        else if (m_shown.empty())
            m_shownName.clear();
        const Sequence* now = Shown();
        if (played && !(now && *now == oldShown)) StopPreview();
        ShowSequences();
    }
    else
    {
        // The sprites or colours may have changed: the pictures are drawn again.
        List_Frames->viewport()->update();
        PaintBox_SequencePreview->update();
    }
}

void TFormSequences::ShowSequences()
{
    m_filling = true;
    const int current = CurrentSequence();
    List_Sequences->clear();
    for (const Sequence& sequence : m_shown)
    {
        auto* item = new QListWidgetItem(QString::fromStdString(sequence.name), List_Sequences);
        item->setToolTip(
            QStringLiteral("%1 frames, %2, one pass %3 s")
                .arg(sequence.frames.size())
                .arg(QString::fromLatin1(PlayModeName(sequence.mode)))
                .arg(SequencePassTicks(sequence) / static_cast<double>(kTicksPerSecond), 0, 'f', 2));
    }
    List_Sequences->setCurrentRow(current);
    m_filling = false;
    ShowFrames();
}

void TFormSequences::ShowFrames()
{
    m_filling = true;
    QList<int> selected = m_selectAfterChange.isEmpty() ? SelectedFrames() : m_selectAfterChange;
    m_selectAfterChange.clear();
    List_Frames->clear();
    const Sequence* sequence = Shown();
    if (sequence)
    {
        int k = 0;
        for (const SequenceFrame& frame : sequence->frames)
        {
            const QString shows = frame.object.empty()
                                      ? QStringLiteral("sprite %1").arg(frame.slot)
                                      : QStringLiteral("object \"%1\"%2")
                                            .arg(QString::fromStdString(frame.object),
                                                 FindObject(m_host.document().extras.objects, frame.object)
                                                     ? QString()
                                                     : QStringLiteral(" (not in the project)"));
            auto* item = new QListWidgetItem(
                QStringLiteral("%1. %2, %3").arg(k + 1).arg(shows, Ticks(frame.delay)), List_Frames);
            item->setData(Qt::UserRole, k);
            item->setData(Qt::UserRole + 1, frame.slot);
            item->setData(Qt::UserRole + 2, QString::fromStdString(frame.object));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
            ++k;
        }
    }
    SelectFrames(selected);
    m_filling = false;

    const int count = sequence ? static_cast<int>(sequence->frames.size()) : 0;
    if (!Timer_Preview->isActive())
        m_previewFrame = count == 0 ? -1 : std::clamp(m_previewFrame, 0, count - 1);
    if (!Timer_Preview->isActive() && !selected.isEmpty() && count > 0)
        m_previewFrame = std::clamp(selected.first(), 0, count - 1);
    ShowFrameControls();
    PaintBox_SequencePreview->update();
}

void TFormSequences::ShowFrameControls()
{
    const Sequence* sequence = Shown();
    const QList<int> selected = SelectedFrames();
    Btn_RenameSequence->setEnabled(sequence != nullptr);
    Btn_DeleteSequence->setEnabled(sequence != nullptr);
    Btn_AddFrames->setEnabled(sequence != nullptr);
    Btn_AddObject->setEnabled(sequence != nullptr);
    Btn_RemoveFrames->setEnabled(!selected.isEmpty());
    Spin_Delay->setEnabled(!selected.isEmpty());
    Combo_PlayMode->setEnabled(sequence != nullptr);
    Btn_Play->setEnabled(sequence != nullptr && !sequence->frames.empty());
    BtnExportGif->setEnabled(GifSupported() && sequence != nullptr && !sequence->frames.empty());
    if (auto* box = qobject_cast<QGroupBox*>(List_Frames->parentWidget()))
        box->setTitle(sequence
                          ? QStringLiteral("Frames of \"%1\"").arg(QString::fromStdString(sequence->name))
                          : QStringLiteral("Frames"));

    const QSignalBlocker quiet(Spin_Delay);
    if (sequence && !selected.isEmpty())
        Spin_Delay->setValue(sequence->frames[static_cast<std::size_t>(selected.first())].delay);
    if (sequence) Combo_PlayMode->setCurrentIndex(Combo_PlayMode->findData(static_cast<int>(sequence->mode)));
    Label_Timing->setText(
        sequence ? QStringLiteral("One pass: %1 s")
                       .arg(SequencePassTicks(*sequence) / static_cast<double>(kTicksPerSecond), 0, 'f', 2)
                 : QString());
}

QList<int> TFormSequences::SelectedFrames() const
{
    QList<int> rows;
    for (const QModelIndex& index : List_Frames->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TFormSequences::SelectFrames(const QList<int>& rows)
{
    List_Frames->clearSelection();
    for (int row : rows)
        if (QListWidgetItem* item = List_Frames->item(row)) item->setSelected(true);
    if (!rows.isEmpty() && List_Frames->item(rows.first()))
    {
        List_Frames->setCurrentRow(rows.first(), QItemSelectionModel::NoUpdate);
        List_Frames->scrollToItem(List_Frames->item(rows.first()));
    }
}

// ---- Changes: each is one undo step of the document ----

void TFormSequences::ChangeSequences(const std::vector<Sequence>& sequences)
{
    Document& document = m_host.document();
    if (document.extras.sequences == sequences) return;
    document.extras.sequences = sequences;
    m_host.documentChanged(true);
}

void TFormSequences::ChangeSequence(const std::function<void(Sequence&)>& edit)
{
    const int index = CurrentSequence();
    if (index < 0) return;
    std::vector<Sequence> sequences = m_host.document().extras.sequences;
    if (index >= static_cast<int>(sequences.size())) return;
    edit(sequences[static_cast<std::size_t>(index)]);
    ChangeSequences(sequences);
}

std::vector<SequenceFrame> TFormSequences::SelectionFrames() const
{
    const SpriteBank& bank = m_host.document().bank;
    const int last = std::clamp(bank.spriteCount, 1, kSlotCount) - 1;
    const int first = std::clamp(std::min(bank.rangeStart, bank.rangeEnd), 0, last);
    const int end = std::clamp(std::max(bank.rangeStart, bank.rangeEnd), 0, last);
    return FramesFromRange(bank.sprites, first, end, Spin_DefaultDelay->value());
}

QString TFormSequences::AskName(const QString& title, const QString& proposed, int replacing)
{
    QString name = proposed;
    for (;;)
    {
        QInputDialog ask(this);
        ask.setObjectName(QStringLiteral("InputDialog_SequenceName"));
        ask.setWindowTitle(title);
        ask.setLabelText(QStringLiteral("Name of the sequence:"));
        ask.setTextValue(name);
        if (ask.exec() != QDialog::Accepted) return {};
        name = ask.textValue().trimmed();
        // The name is checked as the side file checks it, against the other sequences.
        std::vector<Sequence> sequences = m_host.document().extras.sequences;
        Sequence candidate;
        candidate.name = name.toStdString();
        if (replacing >= 0 && replacing < static_cast<int>(sequences.size()))
            sequences[static_cast<std::size_t>(replacing)].name = candidate.name;
        else
            sequences.push_back(candidate);
        std::string problem = CheckSequences(sequences);
        if (problem.empty()) return name;
        ShowMessage(this, kCaption, QString::fromStdString(problem));
    }
}

void TFormSequences::Btn_NewSequenceClick()
{
    const QString name =
        AskName(QStringLiteral("New Sequence"), FreeName(m_host.document().extras.sequences), -1);
    if (name.isEmpty()) return;
    Sequence sequence;
    sequence.name = name.toStdString();
    sequence.frames = SelectionFrames();
    std::vector<Sequence> sequences = m_host.document().extras.sequences;
    sequences.push_back(sequence);
    m_shownName = name;
    StopPreview();
    ChangeSequences(sequences);
}

void TFormSequences::Btn_RenameSequenceClick()
{
    const int index = CurrentSequence();
    if (index < 0) return;
    const QString name = AskName(QStringLiteral("Rename Sequence"), m_shownName, index);
    if (name.isEmpty() || name == m_shownName) return;
    std::vector<Sequence> sequences = m_host.document().extras.sequences;
    if (index >= static_cast<int>(sequences.size())) return;
    sequences[static_cast<std::size_t>(index)].name = name.toStdString();
    m_shownName = name; // the window goes on showing it under its new name
    ChangeSequences(sequences);
}

void TFormSequences::Btn_DeleteSequenceClick()
{
    // Undo brings it back, so no question is asked.
    const int index = CurrentSequence();
    if (index < 0) return;
    std::vector<Sequence> sequences = m_host.document().extras.sequences;
    sequences.erase(sequences.begin() + index);
    StopPreview();
    m_shownName =
        sequences.empty()
            ? QString()
            : QString::fromStdString(
                  sequences[static_cast<std::size_t>(std::min(index, static_cast<int>(sequences.size()) - 1))]
                      .name);
    ChangeSequences(sequences);
}

void TFormSequences::Btn_AddFramesClick()
{
    InsertFrames(SelectionFrames());
}

void TFormSequences::Btn_AddObjectClick()
{
    if (!Shown()) return;
    const std::vector<SpriteObject>& objects = m_host.document().extras.objects;
    if (objects.empty())
    {
        ShowMessage(this, kCaption,
                    QStringLiteral("This project has no objects yet: make one with Tools > Object Editor."));
        return;
    }
    QStringList names;
    for (const SpriteObject& object : objects)
        names.append(QString::fromStdString(object.name));
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("InputDialog_FrameObject"));
    ask.setWindowTitle(QStringLiteral("Add Object"));
    ask.setLabelText(QStringLiteral("Object the new frame shows:"));
    ask.setComboBoxItems(names);
    ask.setComboBoxEditable(false);
    if (ask.exec() != QDialog::Accepted) return;
    SequenceFrame frame;
    frame.object = ask.textValue().toStdString();
    frame.delay = Spin_DefaultDelay->value();
    InsertFrames({frame});
}

void TFormSequences::InsertFrames(const std::vector<SequenceFrame>& added)
{
    const Sequence* sequence = Shown();
    if (!sequence) return;
    if (sequence->frames.size() + added.size() > static_cast<std::size_t>(kMaxSequenceFrames))
    {
        ShowMessage(
            this, kCaption,
            QStringLiteral("A sequence holds at most %1 frames; \"%2\" has %3 and cannot take %4 more.")
                .arg(kMaxSequenceFrames)
                .arg(m_shownName)
                .arg(sequence->frames.size())
                .arg(added.size()));
        return;
    }
    const QList<int> selected = SelectedFrames();
    const int at = selected.isEmpty() ? static_cast<int>(sequence->frames.size()) : selected.last() + 1;
    QList<int> rows;
    for (int k = 0; k < static_cast<int>(added.size()); ++k)
        rows.append(at + k);
    m_selectAfterChange = rows;
    ChangeSequence([&](Sequence& s) { s.frames.insert(s.frames.begin() + at, added.begin(), added.end()); });
}

void TFormSequences::Btn_RemoveFramesClick()
{
    const QList<int> selected = SelectedFrames();
    if (selected.isEmpty() || !Shown()) return;
    // The frame that takes the first removed one's place is selected, so Del can go on.
    const int left = static_cast<int>(Shown()->frames.size()) - static_cast<int>(selected.size());
    if (left > 0) m_selectAfterChange = {std::min(selected.first(), left - 1)};
    ChangeSequence(
        [&](Sequence& s)
        {
            for (auto row = selected.crbegin(); row != selected.crend(); ++row)
                if (*row < static_cast<int>(s.frames.size())) s.frames.erase(s.frames.begin() + *row);
        });
    m_selectAfterChange.clear();
}

void TFormSequences::FramesReordered()
{
    m_reorderPending = false;
    const Sequence* sequence = Shown();
    if (!sequence) return;
    // Each row still carries the frame it showed before the drop.
    std::vector<SequenceFrame> frames;
    QList<int> moved;
    for (int row = 0; row < List_Frames->count(); ++row)
    {
        QListWidgetItem* item = List_Frames->item(row);
        const int from = item->data(Qt::UserRole).toInt();
        if (from < 0 || from >= static_cast<int>(sequence->frames.size())) return;
        frames.push_back(sequence->frames[static_cast<std::size_t>(from)]);
        if (item->isSelected()) moved.append(row);
    }
    if (frames.size() != sequence->frames.size()) return;
    m_selectAfterChange = moved;
    ChangeSequence([&frames](Sequence& s) { s.frames = frames; });
    m_selectAfterChange.clear();
    ShowFrames(); // the rows carry their new frame numbers also when nothing changed
}

void TFormSequences::FrameDelayChanged(int delay)
{
    const QList<int> selected = SelectedFrames();
    if (selected.isEmpty()) return;
    m_selectAfterChange = selected;
    ChangeSequence(
        [&](Sequence& s)
        {
            for (int row : selected)
                if (row < static_cast<int>(s.frames.size()))
                    s.frames[static_cast<std::size_t>(row)].delay = delay;
        });
    m_selectAfterChange.clear();
}

void TFormSequences::PlayModeChosen(int index)
{
    const auto mode = static_cast<PlayMode>(Combo_PlayMode->itemData(index).toInt());
    ChangeSequence([mode](Sequence& s) { s.mode = mode; });
}

// ---- The preview ----

void TFormSequences::Btn_PlayClick()
{
    if (!Btn_Play->isChecked())
    {
        StopPreview();
        return;
    }
    const Sequence* sequence = Shown();
    if (!sequence || sequence->frames.empty())
    {
        Btn_Play->setChecked(false);
        return;
    }
    Btn_Play->setText(QStringLiteral("Stop"));
    m_play = StartSequence(*sequence);
    m_ticksPlayed = 0;
    m_clock.start();
    Timer_PreviewTimer(); // the first frame at once
    Timer_Preview->start();
}

void TFormSequences::Timer_PreviewTimer()
{
    const Sequence* sequence = Shown();
    if (!sequence || sequence->frames.empty())
    {
        StopPreview();
        return;
    }
    // Every tick due by now, so the frames keep their real timing even when a timer
    // event comes late.
    const long long due = m_clock.elapsed() / kTickMs + 1;
    if (due - m_ticksPlayed > kTicksPerSecond) m_ticksPlayed = due - 1; // a long stall is not replayed
    const int before = m_previewFrame;
    while (m_ticksPlayed < due)
    {
        const SequenceTick tick = NextSequenceFrame(m_play, *sequence);
        if (tick.frame >= 0) m_previewFrame = tick.frame;
        m_play = tick.next;
        ++m_ticksPlayed;
    }
    if (m_previewFrame != before) PaintBox_SequencePreview->update();
    if (m_play.finished && m_play.stepping.holdCount == 0)
    {
        // A "once" sequence stays on its last frame.
        Timer_Preview->stop();
        Btn_Play->setChecked(false);
        Btn_Play->setText(QStringLiteral("Play"));
    }
}

void TFormSequences::StopPreview()
{
    Timer_Preview->stop();
    Btn_Play->setChecked(false);
    Btn_Play->setText(QStringLiteral("Play"));
}

void TFormSequences::DrawPreview(QPainter& painter)
{
    const SpriteBank& bank = m_host.document().bank;
    const std::uint32_t* colours = m_host.viewColours();
    painter.fillRect(PaintBox_SequencePreview->rect(), QColor::fromRgb(colours[bank.colourTransp & 15]));
    const Sequence* sequence = Shown();
    if (!sequence || m_previewFrame < 0 || m_previewFrame >= static_cast<int>(sequence->frames.size()))
        return;
    const QImage frame = FrameImage(m_host, sequence->frames[static_cast<std::size_t>(m_previewFrame)], 1);
    if (frame.isNull()) return;
    QSize size(frame.width() * kPreviewZoom * (Chk_ExpandX->isChecked() ? 2 : 1),
               frame.height() * kPreviewZoom * (Chk_ExpandY->isChecked() ? 2 : 1));
    // An object larger than an expanded sprite is shown smaller, whole.
    const QSize room = PaintBox_SequencePreview->size() - QSize(2 * kPreviewMargin, 2 * kPreviewMargin);
    if (size.width() > room.width() || size.height() > room.height()) size.scale(room, Qt::KeepAspectRatio);
    painter.drawImage(QRect(QPoint(kPreviewMargin, kPreviewMargin), size), frame);
}

// ---- Export and closing ----

void TFormSequences::BtnExportGifClick()
{
    const Sequence* shown = Shown();
    if (!shown) return;
    const Sequence sequence = *shown;
    const SpriteBank& bank = m_host.document().bank;
    const std::vector<SpriteObject>& objects = m_host.document().extras.objects;
    const std::string problem = CheckSequenceFrames(sequence, objects, bank.spriteCount);
    if (!problem.empty())
    {
        ShowMessage(this, kCaption, QString::fromStdString(problem));
        return;
    }
    const std::uint32_t* colours = m_host.viewColours();
    const QString written =
        ExportGif(this, QString::fromStdString(sequence.name) + QStringLiteral(".gif"),
                  [&](int scale) { return EncodeSequenceGif(bank, sequence, objects, scale, colours); });
    if (!written.isEmpty())
        m_host.showHint(
            NamingFile(QStringLiteral("The GIF of \"%1\" was written to ").arg(m_shownName), written));
}

bool TFormSequences::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List_Frames && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete)
    {
        Btn_RemoveFramesClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormSequences::hideEvent(QHideEvent* event)
{
    StopPreview();
    settings::SavePosition(this, QStringLiteral("sequences"));
    QDialog::hideEvent(event);
}
