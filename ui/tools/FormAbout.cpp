// The about box.
#include "ui/tools/FormAbout.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "kelmora/Version.h"

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
    // that any host font keeps them in the middle.
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
    Label5->setWordWrap(true);
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
}

TFormAbout::~TFormAbout() = default;

void TFormAbout::Button1Click()
{
    accept();
}
