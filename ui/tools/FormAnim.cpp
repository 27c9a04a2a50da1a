// The animator window: set-up, playback, the spinners and closing.
#include "ui/tools/FormAnim.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

#include "core/SpriteBankStore.h"
#include "ui/EditorHost.h"
#include "ui/Fit.h"
#include "ui/GifExport.h"
#include "ui/Messages.h"
#include "ui/Widgets.h"

namespace
{

constexpr int kClientWidth = 209;
constexpr int kClientHeight = 415;

// Timer intervals of the five playback rates, in milliseconds.
constexpr int kFastest = 1;
constexpr int k50Hz = 20;
constexpr int k25Hz = 40;
constexpr int k12Hz = 80;
constexpr int k6Hz = 160;

} // namespace

using kelmora::AnimationDirection;

TFormAnim::TFormAnim(TEditorHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    CreateControls();

    // Set-up. The three playback values the set-up does not take from the bank start
    // fresh with every window: forward, no hold pending, not playing.
    const kelmora::SpriteBank& bank = m_host.document().bank;
    SavedCurrent = bank.currentSprite;
    SavedRangeStart = bank.rangeStart;
    SavedRangeEnd = bank.rangeEnd;

    UpDown1->setRange(0, LastSprite());
    UpDown2->setRange(0, LastSprite());

    // The selection may reach past the sprites in use when the quantity was lowered
    // after it was made; the frames stay inside the sprites in use.
    int& start = State.startFrame;
    int& end = State.endFrame;
    start = std::clamp(bank.rangeStart, 0, LastSprite());
    end = std::clamp(bank.rangeEnd, 0, LastSprite());
    State.currentFrame = start;

    // A bound on the second sprite of an overlay pair moves to the pair's first sprite.
    if (start > 0 && Overlay(start - 1)) --start;
    if (end > 0 && Overlay(end - 1)) --end;

    UpDown1->setPosition(start);
    UpDown2->setPosition(end);
}

TFormAnim::~TFormAnim() = default;

void TFormAnim::CreateControls()
{
    setObjectName(QStringLiteral("FormAnim"));
    setWindowTitle(QStringLiteral("Animator"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);

    CreateToolBar();

    auto label = [this](const char* name, const QString& caption, int x, int y)
    {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    auto spinner =
        [this](const char* editName, const char* spinName, int y, QLineEdit** edit, TUpDown** upDown)
    {
        *edit = new QLineEdit(this);
        (*edit)->setObjectName(QString::fromLatin1(editName));
        (*edit)->setGeometry(112, y, 49, 21);
        (*edit)->setReadOnly(true);
        *upDown = new TUpDown(this);
        (*upDown)->setObjectName(QString::fromLatin1(spinName));
        (*upDown)->setGeometry(161, y, 16, 21);
        (*upDown)->setAssociate(*edit);
    };
    auto check = [this](const char* name, const QString& caption, int y)
    {
        auto* c = new QCheckBox(caption, this);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(16, y, 177, 17);
        return c;
    };

    Label1 = label("Label1", QStringLiteral("Start Frame"), 16, 48);
    spinner("Edit1", "UpDown1", 44, &Edit1, &UpDown1);
    UpDown1->setRange(0, 255);
    UpDown1->setPosition(0);

    Label2 = label("Label2", QStringLiteral("End Frame"), 16, 80);
    spinner("Edit2", "UpDown2", 76, &Edit2, &UpDown2);
    UpDown2->setRange(0, 255);
    UpDown2->setPosition(10);

    PingPong = check("PingPong", QStringLiteral("Ping-Pong"), 108);
    HoldStart = check("HoldStart", QStringLiteral("Hold Start Frame"), 132);
    HoldEnd = check("HoldEnd", QStringLiteral("Hold End Frame"), 156);

    Label3 = label("Label3", QStringLiteral("Hold Interval"), 16, 188);
    spinner("Edit3", "UpDown3", 184, &Edit3, &UpDown3);
    UpDown3->setRange(1, 100);
    UpDown3->setPosition(5);

    GroupBox1 = new QGroupBox(QStringLiteral("Playback Rate"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 220, 193, 141);
    auto radio = [this](const char* name, const QString& caption, int row)
    {
        auto* r = new QRadioButton(caption, GroupBox1);
        r->setObjectName(QString::fromLatin1(name));
        r->setGeometry(16, 22 + 22 * row, 161, 17);
        return r;
    };
    RadioButton1 = radio("RadioButton1", QStringLiteral("Fastest"), 0);
    Hz50 = radio("Hz50", QStringLiteral("50 Hz"), 1);
    Hz25 = radio("Hz25", QStringLiteral("25 Hz"), 2);
    Hz12 = radio("Hz12", QStringLiteral("12.5 Hz"), 3);
    Hz6 = radio("Hz6", QStringLiteral("6.25 Hz"), 4);
    Hz25->setChecked(true);

    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(67, 376, 75, 25);
    Button1->setAutoDefault(false);

    BtnExportGif = new QPushButton(QStringLiteral("Export GIF..."), this);
    BtnExportGif->setObjectName(QStringLiteral("BtnExportGif"));
    BtnExportGif->setAutoDefault(false);
    BtnExportGif->setToolTip(QStringLiteral(
        "Write what the animator plays, with these options and this rate, as an animated GIF"));
    BtnExportGif->setEnabled(kelmora::GifSupported());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(k25Hz);

    connect(Timer1, &QTimer::timeout, this, &TFormAnim::Timer1Timer);
    UpDown1->onChanging = [this](int direction, bool* allow) { UpDown1ChangingEx(direction, allow); };
    UpDown2->onChanging = [this](int direction, bool* allow) { UpDown2ChangingEx(direction, allow); };
    connect(PingPong, &QCheckBox::clicked, this, &TFormAnim::PingPongClick);
    connect(RadioButton1, &QRadioButton::clicked, this, &TFormAnim::RadioButton1Click);
    connect(Hz50, &QRadioButton::clicked, this, &TFormAnim::Hz50Click);
    connect(Hz25, &QRadioButton::clicked, this, &TFormAnim::Hz25Click);
    connect(Hz12, &QRadioButton::clicked, this, &TFormAnim::Hz12Click);
    connect(Hz6, &QRadioButton::clicked, this, &TFormAnim::Hz6Click);
    connect(Button1, &QPushButton::clicked, this, &TFormAnim::Button1Click);
    connect(BtnExportGif, &QPushButton::clicked, this, &TFormAnim::BtnExportGifClick);

    FitToText();
}

void TFormAnim::FitToText()
{
    using namespace fit;
    // The three spinners share one column right of the widest label.
    int labelWidth = 0;
    for (QLabel* label : {Label1, Label2, Label3})
        labelWidth = std::max(labelWidth, label->sizeHint().width());
    const int spinLeft = std::max(Edit1->x(), Label1->x() + labelWidth + 8);
    auto spinRow = [&](QLabel* label, QLineEdit* edit, TUpDown* upDown, int above)
    {
        edit->setGeometry(spinLeft, edit->y(), edit->width(),
                          std::max(edit->height(), edit->sizeHint().height()));
        const int bottom = KeepBelow(edit, above, 4);
        upDown->setGeometry(Right(edit), edit->y(), upDown->width(), edit->height());
        Grow(label);
        label->move(label->x(), edit->y() + (edit->height() - label->height()) / 2);
        return std::max(bottom, Bottom(label));
    };
    int y = spinRow(Label1, Edit1, UpDown1, ToolBar1->height());
    y = spinRow(Label2, Edit2, UpDown2, y);
    for (QCheckBox* check : {PingPong, HoldStart, HoldEnd})
    {
        Grow(check);
        y = KeepBelow(check, y, 0);
    }
    y = spinRow(Label3, Edit3, UpDown3, y);

    KeepBelow(GroupBox1, y, 8);
    const QList<QWidget*> rates{RadioButton1, Hz50, Hz25, Hz12, Hz6};
    const int ratesBottom = StackRows(GroupBox1, rates, RadioButton1->y(), 22);
    int groupWidth = GroupBox1->width();
    for (QWidget* radio : rates)
        groupWidth = std::max(groupWidth, Right(radio) + 16);
    GroupBox1->resize(groupWidth, std::max(GroupBox1->height(), ratesBottom + kRowsMargin));

    // The window holds them all; Export GIF... and Close share the row below them, in
    // the middle.
    int contentRight = std::max(Right(UpDown1), Right(GroupBox1));
    for (QCheckBox* check : {PingPong, HoldStart, HoldEnd})
        contentRight = std::max(contentRight, Right(check));
    Grow(Button1);
    Grow(BtnExportGif);
    BtnExportGif->resize(BtnExportGif->width(), Button1->height());
    constexpr int kButtonGap = 8;
    const int buttonsWidth = BtnExportGif->width() + kButtonGap + Button1->width();
    const int width = std::max({kClientWidth, contentRight + 8, Right(UpDown1) + 32, buttonsWidth + 16});
    KeepBelow(Button1, Bottom(GroupBox1), 15);
    BtnExportGif->move((width - buttonsWidth) / 2, Button1->y());
    Button1->move(Right(BtnExportGif) + kButtonGap, Button1->y());
    const int height = std::max(kClientHeight, Bottom(Button1) + 14);
    ToolBar1->resize(width, ToolBar1->height());
    setFixedSize(width, height);
}

void TFormAnim::CreateToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, 209, 29);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Eight buttons and two separators share the window's narrow width.
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    ToolBar1->layout()->setContentsMargins(2, 2, 2, 2);
    ToolBar1->layout()->setSpacing(0);

    auto button = [this](const char* name, const char* icon, const QString& hint, bool toggle,
                         void (TFormAnim::*handler)())
    {
        auto* a = new QAction(ToolIcon(QString::fromLatin1(icon)), hint, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        a->setStatusTip(hint);
        a->setCheckable(toggle);
        connect(a, &QAction::triggered, this, handler);
        ToolBar1->addAction(a);
        QWidget* widget = ToolBar1->widgetForAction(a);
        widget->setObjectName(QString::fromLatin1(name));
        // The bar shows no hints.
        widget->installEventFilter(this);
        return a;
    };

    Btn_Rev_Max = button("Btn_Rev_Max", "rev_max", QStringLiteral("jump to first frame"), false,
                         &TFormAnim::Btn_Rev_MaxClick);
    Btn_Rev_Step = button("Btn_Rev_Step", "rev_step", QStringLiteral("step backwards 1 frame"), false,
                          &TFormAnim::Btn_Rev_StepClick);
    Btn_Rev_Play = button("Btn_Rev_Play", "rev_play", QStringLiteral("play backwards"), true,
                          &TFormAnim::Btn_Rev_PlayClick);
    ToolBar1->addSeparator();
    Btn_Stop = button("Btn_Stop", "stop", QStringLiteral("stop animation"), false, &TFormAnim::Btn_StopClick);
    Btn_Pause =
        button("Btn_Pause", "pause", QStringLiteral("pause animation"), true, &TFormAnim::Btn_PauseClick);
    ToolBar1->addSeparator();
    Btn_Forw_Play = button("Btn_Forw_Play", "forw_play", QStringLiteral("play forwards"), true,
                           &TFormAnim::Btn_Forw_PlayClick);
    Btn_Forw_Step = button("Btn_Forw_Step", "forw_step", QStringLiteral("step forwards 1 frame"), false,
                           &TFormAnim::Btn_Forw_StepClick);
    Btn_Forw_Max = button("Btn_Forw_Max", "forw_max", QStringLiteral("jump to last frame"), false,
                          &TFormAnim::Btn_Forw_MaxClick);

    SetToolBarFlat(true);
}

void TFormAnim::SetToolBarFlat(bool flat)
{
    // The same two looks the main window's tool bar switches between.
    ToolBar1->setProperty("flat", flat);
    ToolBar1->setStyleSheet(
        flat ? QString() : QStringLiteral("QToolButton { border: 1px outset palette(mid); margin: 1px; }"));
}

bool TFormAnim::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) return true;
    return QDialog::eventFilter(watched, event);
}

// ---- Frames ----

bool TFormAnim::Overlay(int index) const
{
    return kelmora::IsOverlay(m_host.document().bank.sprites, index) == 1;
}

int TFormAnim::LastSprite() const
{
    return std::clamp(m_host.document().bank.spriteCount, 1, kelmora::kSlotCount) - 1;
}

void TFormAnim::ShowFrame(int f)
{
    m_host.showSprite(std::clamp(f, 0, LastSprite()));
}

void TFormAnim::Timer1Timer()
{
    State.pingPong = PingPong->isChecked();
    State.holdStart = HoldStart->isChecked();
    State.holdEnd = HoldEnd->isChecked();
    State.holdInterval = UpDown3->position();
    const kelmora::SpriteBank& bank = m_host.document().bank;
    const kelmora::AnimationTick tick = kelmora::NextAnimationFrame(State, bank.sprites, bank.spriteCount);
    const bool turned = tick.next.direction != State.direction;
    State = tick.next;
    if (tick.shown >= 0) ShowFrame(tick.shown);
    if (turned)
    {
        // Ping-pong turned round: the play buttons show the new direction.
        const bool forward = State.direction == AnimationDirection::Forward;
        Btn_Forw_Play->setChecked(forward);
        Btn_Rev_Play->setChecked(!forward);
    }
}

// ---- Tool bar ----

void TFormAnim::SetPlayControlsEnabled(bool enabled)
{
    for (QWidget* w : {static_cast<QWidget*>(UpDown1), static_cast<QWidget*>(UpDown2),
                       static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2)})
        w->setEnabled(enabled);
    for (QAction* a : {Btn_Rev_Play, Btn_Rev_Step, Btn_Rev_Max, Btn_Forw_Play, Btn_Forw_Step, Btn_Forw_Max})
        a->setEnabled(enabled);
}

void TFormAnim::StartPlay(AnimationDirection direction)
{
    QAction* pressed = direction == AnimationDirection::Forward ? Btn_Forw_Play : Btn_Rev_Play;
    QAction* other = direction == AnimationDirection::Forward ? Btn_Rev_Play : Btn_Forw_Play;

    State.startFrame = UpDown1->position();
    State.endFrame = UpDown2->position();
    if (State.endFrame <= State.startFrame)
    {
        // Nothing plays, so the button does not stay down as if it did.
        pressed->setChecked(false);
        return;
    }

    pressed->setChecked(true);
    other->setChecked(false);
    SetPlayControlsEnabled(false);

    State.currentFrame = direction == AnimationDirection::Forward ? State.startFrame : State.endFrame;
    State.direction = direction;
    // A hold left over from a stopped run would delay the first frame.
    State.holdCount = 0;
    Playing = true;

    if (!Btn_Pause->isChecked()) Timer1->start();
}

void TFormAnim::Btn_Forw_PlayClick()
{
    StartPlay(AnimationDirection::Forward);
}

void TFormAnim::Btn_Rev_PlayClick()
{
    StartPlay(AnimationDirection::Backward);
}

void TFormAnim::Btn_StopClick()
{
    Timer1->stop();
    Btn_Pause->setChecked(false);
    Btn_Forw_Play->setChecked(false);
    Btn_Rev_Play->setChecked(false);
    Playing = false;
    SetPlayControlsEnabled(true);
    State.currentFrame = State.startFrame;
    ShowFrame(State.startFrame);
}

void TFormAnim::Btn_PauseClick()
{
    if (Btn_Pause->isChecked() && Timer1->isActive())
    {
        Timer1->stop();
        ShowFrame(State.currentFrame);
    }
    else if (!Btn_Pause->isChecked() && Playing)
    {
        Timer1->start();
        ShowFrame(State.currentFrame);
    }
}

void TFormAnim::Btn_Forw_StepClick()
{
    int& frame = State.currentFrame;
    if (frame >= State.endFrame) return;
    ++frame;
    if (Overlay(frame - 1)) ++frame;
    ShowFrame(frame);
}

void TFormAnim::Btn_Rev_StepClick()
{
    int& frame = State.currentFrame;
    if (frame <= State.startFrame) return;
    --frame;
    if (frame != 0 && Overlay(frame - 1)) --frame;
    ShowFrame(frame);
}

void TFormAnim::Btn_Forw_MaxClick()
{
    State.currentFrame = State.endFrame;
    ShowFrame(State.endFrame);
}

void TFormAnim::Btn_Rev_MaxClick()
{
    State.currentFrame = State.startFrame;
    ShowFrame(State.startFrame);
}

// ---- Spinners and options ----

void TFormAnim::UpDown1ChangingEx(int direction, bool* allow)
{
    // The start may rise up to the end but never past it.
    if (direction > 0) *allow = UpDown1->position() < UpDown2->position();
}

void TFormAnim::UpDown2ChangingEx(int direction, bool* allow)
{
    // The end may fall down to the start but never below it.
    if (direction < 0) *allow = UpDown2->position() > UpDown1->position();
}

void TFormAnim::PingPongClick()
{
    const bool on = PingPong->isChecked();
    HoldStart->setEnabled(on);
    HoldEnd->setEnabled(on);
    Edit3->setEnabled(on);
    UpDown3->setEnabled(on);
}

// A new rate takes effect at once; a running timer keeps running.
void TFormAnim::RadioButton1Click()
{
    Timer1->setInterval(kFastest);
}
void TFormAnim::Hz50Click()
{
    Timer1->setInterval(k50Hz);
}
void TFormAnim::Hz25Click()
{
    Timer1->setInterval(k25Hz);
}
void TFormAnim::Hz12Click()
{
    Timer1->setInterval(k12Hz);
}
void TFormAnim::Hz6Click()
{
    Timer1->setInterval(k6Hz);
}

// ---- Closing ----

void TFormAnim::Button1Click()
{
    Timer1->stop();
    close();
}

void TFormAnim::BtnExportGifClick()
{
    kelmora::AnimationState options;
    options.startFrame = UpDown1->position();
    options.endFrame = UpDown2->position();
    options.pingPong = PingPong->isChecked();
    options.holdStart = HoldStart->isChecked();
    options.holdEnd = HoldEnd->isChecked();
    options.holdInterval = UpDown3->position();
    // A timer step in ticks of 1/50 s; a GIF shows nothing faster than one tick.
    const int interval = Timer1->interval();
    const int ticksPerStep = std::max(1, interval / k50Hz);
    if (options.endFrame <= options.startFrame)
    {
        ShowMessage(this, QStringLiteral("Animator"),
                    QStringLiteral("The end frame must come after the start frame."));
        return;
    }
    const kelmora::SpriteBank& bank = m_host.document().bank;
    const std::vector<kelmora::ShownFrame> frames =
        kelmora::AnimatorCycle(options, bank.sprites, bank.spriteCount, ticksPerStep);
    if (frames.empty())
    {
        ShowMessage(this, QStringLiteral("Animator"),
                    QStringLiteral("These frames and holds make more than %1 GIF frames.")
                        .arg(kelmora::kMaxStripFrames));
        return;
    }
    const std::uint32_t* colours = m_host.viewColours();
    const QString written =
        ExportGif(this, QStringLiteral("sprites %1-%2.gif").arg(options.startFrame).arg(options.endFrame),
                  [&](int scale) { return kelmora::EncodeFramesGif(bank, frames, scale, colours, true); });
    if (!written.isEmpty())
        m_host.showHint(NamingFile(QStringLiteral("The animation was written to "), written));
}

void TFormAnim::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormAnim::FormClose()
{
    if (m_closed) return;
    m_closed = true;
    Timer1->stop();
    kelmora::SpriteBank& bank = m_host.document().bank;
    bank.currentSprite = SavedCurrent;
    bank.rangeStart = SavedRangeStart;
    bank.rangeEnd = SavedRangeEnd;
    m_host.documentChanged(false);
}
