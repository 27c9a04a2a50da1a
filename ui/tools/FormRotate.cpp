// The rotator window: angle choice, preview of the re-encoded frame and placing the
// frame or the sequence into the bank or the copy buffer.
#include "ui/tools/FormRotate.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>
#include <cstring>

#include "core/SpriteBankStore.h"
#include "ui/EditorHost.h"
#include "ui/Fit.h"
#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

constexpr int kClientWidth = 302;
constexpr int kClientHeight = 422;
constexpr int kPreviewWidth = 72;
constexpr int kPreviewHeight = 63;
constexpr int kAnglesRight = 101; // the right edge of the angle counts' group

QRadioButton* NewRadio(QWidget* parent, const char* name, const QString& text, int x, int y, int width)
{
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(QLatin1String(name));
    radio->setGeometry(x, y, width, 20);
    return radio;
}

} // namespace

TFormRotate::TFormRotate(TEditorHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_host(host)
{
    setObjectName(QStringLiteral("FormRotate"));
    setWindowTitle(QStringLiteral("Rotator"));
    setFixedSize(kClientWidth, kClientHeight);
    CreateControls();
    FormCreate();
}

TFormRotate::~TFormRotate() = default;

void TFormRotate::CreateControls()
{
    // The angle counts, top to bottom in increasing order.
    GroupBox1 = new QGroupBox(QStringLiteral("# Angles"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(4, 8, 97, 236);
    const int step = 26;
    RadioButton1 = NewRadio(GroupBox1, "RadioButton1", QStringLiteral("4"), 12, 22 + 0 * step, 76);
    RadioButton2 = NewRadio(GroupBox1, "RadioButton2", QStringLiteral("8"), 12, 22 + 1 * step, 76);
    RadioButton3 = NewRadio(GroupBox1, "RadioButton3", QStringLiteral("16"), 12, 22 + 2 * step, 76);
    RadioButton4 = NewRadio(GroupBox1, "RadioButton4", QStringLiteral("32"), 12, 22 + 3 * step, 76);
    RadioButton5 = NewRadio(GroupBox1, "RadioButton5", QStringLiteral("64"), 12, 22 + 4 * step, 76);
    RadioButton7 = NewRadio(GroupBox1, "RadioButton7", QStringLiteral("128"), 12, 22 + 5 * step, 76);
    RadioButton8 = NewRadio(GroupBox1, "RadioButton8", QStringLiteral("256"), 12, 22 + 6 * step, 76);
    RadioButton6 = NewRadio(GroupBox1, "RadioButton6", QStringLiteral("360"), 12, 22 + 7 * step, 76);
    const QString hint = QStringLiteral("divide the rotation circle into 4 parts");
    RadioButton1->setToolTip(hint);
    RadioButton1->setStatusTip(hint);
    RadioButton4->setChecked(true);

    PaintBox1 = new TPaintBox(this);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setGeometry(160, 24, kPreviewWidth, kPreviewHeight);
    PaintBox1->onPaint = [this](QPainter& painter) { PaintBox1Paint(painter); };

    Label1 = new QLabel(QStringLiteral("Angle : 0"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(130, 104, 150, 18);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label2 = new QLabel(QStringLiteral("Frames Req : 0"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(130, 126, 150, 18);
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    // The full height of the right edge, 0 at the top.
    ScrollBar1 = new QScrollBar(Qt::Vertical, this);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    const int barWidth = 17;
    ScrollBar1->setGeometry(kClientWidth - barWidth, 0, barWidth, kClientHeight);
    ScrollBar1->setRange(0, kDefaultAngleCount);
    ScrollBar1->setSingleStep(1);
    ScrollBar1->setPageStep(1);
    ScrollBar1->setValue(0);

    GroupBox2 = new QGroupBox(QStringLiteral("Action"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(4, 252, 280, 124);
    Radio_FrameToCurrent = NewRadio(GroupBox2, "Radio_FrameToCurrent",
                                    QStringLiteral("Place this Frame at the Current sprite"), 4, 22, 274);
    Radio_FrameToBuffer = NewRadio(GroupBox2, "Radio_FrameToBuffer",
                                   QStringLiteral("Place this Frame in the Copy buffer"), 4, 46, 274);
    Radio_SeqToCurrent = NewRadio(GroupBox2, "Radio_SeqToCurrent",
                                  QStringLiteral("Place this Sequence at the Current sprite"), 4, 70, 274);
    Radio_SeqToBuffer = NewRadio(GroupBox2, "Radio_SeqToBuffer",
                                 QStringLiteral("Place this Sequence in the Copy buffer"), 4, 94, 274);
    Radio_FrameToCurrent->setChecked(true);

    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Ok->setObjectName(QStringLiteral("Btn_Ok"));
    Btn_Ok->setGeometry(110, 386, 75, 25);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(196, 386, 75, 25);

    // A radio button's handler runs when it becomes checked, not when a checked one is
    // clicked again (that would throw the chosen angle away).
    const auto onChecked = [this](QRadioButton* radio, void (TFormRotate::*handler)())
    {
        connect(radio, &QRadioButton::toggled, this,
                [this, handler](bool on)
                {
                    if (on) (this->*handler)();
                });
    };
    onChecked(RadioButton1, &TFormRotate::RadioButton1Click);
    onChecked(RadioButton2, &TFormRotate::RadioButton2Click);
    onChecked(RadioButton3, &TFormRotate::RadioButton3Click);
    onChecked(RadioButton4, &TFormRotate::RadioButton4Click);
    onChecked(RadioButton5, &TFormRotate::RadioButton5Click);
    onChecked(RadioButton6, &TFormRotate::RadioButton6Click);
    onChecked(RadioButton7, &TFormRotate::RadioButton7Click);
    onChecked(RadioButton8, &TFormRotate::RadioButton8Click);
    onChecked(Radio_FrameToCurrent, &TFormRotate::Radio_FrameToCurrentClick);
    onChecked(Radio_FrameToBuffer, &TFormRotate::Radio_FrameToBufferClick);
    onChecked(Radio_SeqToCurrent, &TFormRotate::Radio_SeqToCurrentClick);
    onChecked(Radio_SeqToBuffer, &TFormRotate::Radio_SeqToBufferClick);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TFormRotate::ScrollBar1Change);
    connect(Btn_Ok, &QPushButton::clicked, this, &TFormRotate::Btn_OkClick);
    connect(Button2, &QPushButton::clicked, this, &TFormRotate::Button2Click);

    FitToText();
}

void TFormRotate::FitToText()
{
    using namespace fit;
    // The angle counts, top to bottom.
    const QList<QWidget*> angles{RadioButton1, RadioButton2, RadioButton3, RadioButton4,
                                 RadioButton5, RadioButton7, RadioButton8, RadioButton6};
    const int anglesBottom = StackRows(GroupBox1, angles, RadioButton1->y(), 26);
    int groupRight = GroupBox1->width();
    for (QWidget* radio : angles)
        groupRight = std::max(groupRight, Right(radio) + 9);
    GroupBox1->resize(groupRight, std::max(GroupBox1->height(), anglesBottom + kRowsMargin));

    // The preview and its two labels, right of the angle counts.
    const int shift = std::max(0, Right(GroupBox1) - kAnglesRight);
    for (QWidget* w :
         {static_cast<QWidget*>(PaintBox1), static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2)})
        w->move(w->x() + shift, w->y());
    Grow(Label1);
    Grow(Label2);
    KeepBelow(Label2, Bottom(Label1), 4);

    // The actions below both.
    KeepBelow(GroupBox2, std::max(Bottom(GroupBox1), Bottom(Label2)), 8);
    const QList<QWidget*> actions{Radio_FrameToCurrent, Radio_FrameToBuffer, Radio_SeqToCurrent,
                                  Radio_SeqToBuffer};
    const int actionsBottom = StackRows(GroupBox2, actions, Radio_FrameToCurrent->y(), 24);
    int actionsRight = GroupBox2->width();
    for (QWidget* radio : actions)
        actionsRight = std::max(actionsRight, Right(radio) + 2);
    GroupBox2->resize(actionsRight, std::max(GroupBox2->height(), actionsBottom + kRowsMargin));

    // OK and Cancel side by side below the actions.
    Grow(Btn_Ok);
    Grow(Button2);
    const int buttonHeight = std::max(Btn_Ok->height(), Button2->height());
    const int buttonTop = std::max(Btn_Ok->y(), Bottom(GroupBox2) + 10);
    const int buttonGap = Button2->x() - Right(Btn_Ok);
    Btn_Ok->setGeometry(Btn_Ok->x(), buttonTop, Btn_Ok->width(), buttonHeight);
    Button2->setGeometry(Right(Btn_Ok) + buttonGap, buttonTop, Button2->width(), buttonHeight);

    // The window holds them all, with the slider down its right edge.
    int contentRight = 0;
    for (QWidget* w : {static_cast<QWidget*>(GroupBox1), static_cast<QWidget*>(GroupBox2),
                       static_cast<QWidget*>(PaintBox1), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Label2), static_cast<QWidget*>(Button2)})
        contentRight = std::max(contentRight, Right(w));
    const int barWidth = ScrollBar1->width();
    const int width = std::max(kClientWidth, contentRight + 1 + barWidth);
    const int height = std::max(kClientHeight, Bottom(Btn_Ok) + 11);
    ScrollBar1->setGeometry(width - barWidth, 0, barWidth, height);
    setFixedSize(width, height);
}

void TFormRotate::FormCreate()
{
    const SpriteBank& bank = m_host.document().bank;
    ResetRotatorState(Images, m_host.viewColours()[bank.colourTransp & kAttrColourMask]);
    PreviewImage = QImage(PaintBox1->width(), PaintBox1->height(), QImage::Format_RGB32);
    PreviewImage.fill(Qt::black);
    AngleCount = kDefaultAngleCount;
    RenderRotatedFrame(AngleCount, ScrollBar1->value());
    UpdateRotatorControls();
}

void TFormRotate::FormClose()
{
    PreviewImage = QImage();
    m_host.documentChanged(false);
}

void TFormRotate::done(int result)
{
    if (!m_closed)
    {
        m_closed = true;
        FormClose();
    }
    QDialog::done(result);
}

// ---- Turning and showing ----

bool TFormRotate::HasPartner() const
{
    const SpriteBank& bank = m_host.document().bank;
    return IsOverlay(bank.sprites, bank.currentSprite) == 1 && bank.currentSprite < kSlotCount - 1;
}

void TFormRotate::RenderRotatedFrame(int angleCount, int angleIndex)
{
    const SpriteBank& bank = m_host.document().bank;
    const u8 fields[4] = {bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2};
    // The pictures hold the active palette's colours as drawn on screen (opaque), and the
    // re-encoding matches against the same table. A partner at or beyond the sprites in use
    // comes out blank (pixel bytes 0) with its own attribute byte.
    kelmora::RenderRotatedFrame(bank.sprites, bank.spriteCount, fields, m_host.viewColours(),
                                bank.currentSprite, angleCount, angleIndex, Images);

    if (PreviewImage.isNull()) return;
    // Pixel repetition: each picture pixel becomes a 3 x 3 block at the preview's size.
    const int width = PreviewImage.width();
    const int height = PreviewImage.height();
    for (int y = 0; y < height; ++y)
    {
        const std::uint32_t* in = Images.composite.px[y * kSpriteHeight / height];
        auto* out = reinterpret_cast<std::uint32_t*>(PreviewImage.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = 0xFF000000u | in[x * kSpriteWidth / width];
    }
    PaintBox1->update();
}

void TFormRotate::PaintBox1Paint(QPainter& painter)
{
    if (!PreviewImage.isNull()) painter.drawImage(0, 0, PreviewImage);
}

void TFormRotate::UpdateRotatorControls()
{
    const int angle = ScrollBar1->value();
    RenderRotatedFrame(AngleCount, angle);

    const bool frameAction = Radio_FrameToCurrent->isChecked() || Radio_FrameToBuffer->isChecked();
    FramesRequired = frameAction ? 1 : angle;
    if (HasPartner()) FramesRequired *= 2;

    // The count is written in the theme's text colour, and in red when it is too many.
    QPalette palette = this->palette();
    QFont font = Label2->font();
    font.setBold(false);

    if (angle == 0)
    {
        Btn_Ok->setEnabled(false);
        FramesRequired = 0;
    }
    else
    {
        Btn_Ok->setEnabled(true);
        const bool tooManyForBuffer = Radio_SeqToBuffer->isChecked() && FramesRequired > kSlotCount;
        const bool tooManyForBank = Radio_SeqToCurrent->isChecked() &&
                                    m_host.document().bank.currentSprite + FramesRequired > kSlotCount;
        if (tooManyForBuffer || tooManyForBank)
        {
            Btn_Ok->setEnabled(false);
            palette.setColor(QPalette::WindowText, fit::WarningColour(palette));
            font.setBold(true);
        }
    }
    Label2->setPalette(palette);
    Label2->setFont(font);

    Label1->setText(QString::asprintf("Angle : %d", angle));
    Label2->setText(QString::asprintf("Frames : %d", FramesRequired));
}

void TFormRotate::ShowAngle(int angleIndex)
{
    if (ScrollBar1->value() != angleIndex)
        ScrollBar1->setValue(angleIndex); // runs ScrollBar1Change
    else
        ScrollBar1Change(angleIndex);
}

// ---- Handlers ----

void TFormRotate::ScrollBar1Change(int position)
{
    RenderRotatedFrame(AngleCount, position);
    UpdateRotatorControls();
}

void TFormRotate::AngleCountClick(int angleCount)
{
    // Choosing an angle count always returns to angle 0.
    AngleCount = angleCount;
    ScrollBar1->setValue(0);
    ScrollBar1->setMaximum(angleCount);
    RenderRotatedFrame(AngleCount, ScrollBar1->value());
    UpdateRotatorControls();
}

void TFormRotate::RadioButton1Click()
{
    AngleCountClick(4);
}
void TFormRotate::RadioButton2Click()
{
    AngleCountClick(8);
}
void TFormRotate::RadioButton3Click()
{
    AngleCountClick(16);
}
void TFormRotate::RadioButton4Click()
{
    AngleCountClick(32);
}
void TFormRotate::RadioButton5Click()
{
    AngleCountClick(64);
}
void TFormRotate::RadioButton6Click()
{
    AngleCountClick(360);
}
void TFormRotate::RadioButton7Click()
{
    AngleCountClick(128);
}
void TFormRotate::RadioButton8Click()
{
    AngleCountClick(256);
}

void TFormRotate::Radio_FrameToCurrentClick()
{
    UpdateRotatorControls();
}
void TFormRotate::Radio_FrameToBufferClick()
{
    UpdateRotatorControls();
}
void TFormRotate::Radio_SeqToCurrentClick()
{
    UpdateRotatorControls();
}
void TFormRotate::Radio_SeqToBufferClick()
{
    UpdateRotatorControls();
}

void TFormRotate::Btn_OkClick()
{
    const int angle = ScrollBar1->value();
    if (angle == 0)
    {
        close();
        return;
    }

    Document& document = m_host.document();
    SpriteBank& bank = document.bank;
    CopyBuffer& buffer = document.buffer;
    const int first = bank.currentSprite;

    if (Radio_FrameToCurrent->isChecked())
    {
        RenderRotatedFrame(AngleCount, angle);
        PutSprite(bank.sprites, first, Images.frameSprite);
        if (Images.hasPartner) PutSprite(bank.sprites, first + 1, Images.partnerSprite);
        RecordUndoStep(document);
    }
    else if (Radio_FrameToBuffer->isChecked())
    {
        RenderRotatedFrame(AngleCount, angle);
        PutSprite(buffer.bufferSprites, 0, Images.frameSprite);
        buffer.bufferCount = 1;
        if (Images.hasPartner)
        {
            PutSprite(buffer.bufferSprites, 1, Images.partnerSprite);
            buffer.bufferCount = 2;
        }
    }
    else if (Radio_SeqToCurrent->isChecked())
    {
        // Each angle is turned from the bank as it is at that moment: angle 0 rewrites the
        // current sprite (and its partner) with its own re-encoding, and the later angles
        // turn that. The slots stay inside the bank even if a sequence that does not fit
        // gets here; spriteCount is left alone.
        int n = 0;
        for (int a = 0; a < angle && a < kSlotCount; ++a)
        {
            ShowAngle(a);
            const int step = Images.hasPartner ? 2 : 1;
            if (first + n + step > kSlotCount) break;
            PutSprite(bank.sprites, first + n, Images.frameSprite);
            if (Images.hasPartner) PutSprite(bank.sprites, first + n + 1, Images.partnerSprite);
            n += step;
        }
        RecordUndoStep(document);
    }
    else if (Radio_SeqToBuffer->isChecked())
    {
        // Buffer slots at or beyond the new count keep their old contents.
        int i = 0;
        for (int a = 0; a < angle && a < kSlotCount; ++a)
        {
            ShowAngle(a);
            const int step = Images.hasPartner ? 2 : 1;
            if (i + step > kSlotCount) break;
            PutSprite(buffer.bufferSprites, i, Images.frameSprite);
            if (Images.hasPartner) PutSprite(buffer.bufferSprites, i + 1, Images.partnerSprite);
            i += step;
            buffer.bufferCount = i;
        }
    }

    m_host.documentChanged(false);
    accept();
}

void TFormRotate::Button2Click()
{
    reject();
}
