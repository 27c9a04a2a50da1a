// The about box.
#include "ui/tools/FormAbout.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

#include "kelmora/Version.h"
#include "ui/Fit.h"

namespace
{

constexpr int kClientWidth = 231;
constexpr int kClientHeight = 264;
constexpr int kIconSize = 64;

} // namespace

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);

    // Fixed places in a fixed window; the texts are centred across the whole width so
    // that any host font keeps them in the middle, and FitToText makes room for a large one.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry((kClientWidth - kIconSize) / 2, 28, kIconSize, kIconSize);
    QImage icon(QStringLiteral(":/icons/kelmora@2x.png")); // drawn for 64 x 64
    icon.setDevicePixelRatio(1.0);
    Image1->setPixmap(
        QPixmap::fromImage(icon.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    Image1->setAlignment(Qt::AlignCenter);

    Label1 = new QLabel(QStringLiteral("Kelmora " KELMORA_VERSION_SHORT), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.4);
    Label1->setFont(title);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(4, 108, kClientWidth - 8, 28);

    Label5 = new QLabel(QStringLiteral("Commodore 64/128 Sprite Editor"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label5->setGeometry(4, 142, kClientWidth - 8, 40);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 210, kClientWidth - 16, 2);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button1->setGeometry((kClientWidth - 75) / 2, 224, 75, 28);
    connect(Button1, &QPushButton::clicked, this, &TFormAbout::Button1Click);

    FitToText();
}

void TFormAbout::FitToText()
{
    using namespace fit;
    // The window widens to the longer text and grows down where a text grew taller.
    const int width =
        std::max({kClientWidth, Label1->sizeHint().width() + 8, Label5->sizeHint().width() + 8});
    Image1->move((width - kIconSize) / 2, Image1->y());
    Label1->setGeometry(4, Label1->y(), width - 8, std::max(Label1->height(), Label1->sizeHint().height()));
    Label5->setGeometry(4, Label5->y(), width - 8, std::max(Label5->height(), Label5->sizeHint().height()));
    KeepBelow(Label5, Bottom(Label1), 6);
    Bevel1->resize(width - 16, Bevel1->height());
    KeepBelow(Bevel1, Bottom(Label5), 8);
    Grow(Button1);
    KeepBelow(Button1, Bottom(Bevel1), 12);
    Button1->move((width - Button1->width()) / 2, Button1->y());
    setFixedSize(width, std::max(kClientHeight, Bottom(Button1) + 12));
}

TFormAbout::~TFormAbout() = default;

void TFormAbout::Button1Click()
{
    accept();
}
