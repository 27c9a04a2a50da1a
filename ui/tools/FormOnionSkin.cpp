// The onion skin settings window.
#include "ui/tools/FormOnionSkin.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace kelmora;

TFormOnionSkin::TFormOnionSkin(const OnionSkinOptions& options, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormOnionSkin"));
    setWindowTitle(QStringLiteral("Onion Skin"));
    const OnionSkinOptions kept = ClampOnionSkin(options);

    Spin_OnionFrames = new QSpinBox(this);
    Spin_OnionFrames->setObjectName(QStringLiteral("Spin_OnionFrames"));
    Spin_OnionFrames->setRange(1, kMaxOnionFrames);
    Spin_OnionFrames->setValue(kept.frames);
    Spin_OnionFrames->setToolTip(QStringLiteral("How many frames before the current one the editor shows"));

    Chk_OnionAhead = new QCheckBox(QStringLiteral("As many frames ahead as well"), this);
    Chk_OnionAhead->setObjectName(QStringLiteral("Chk_OnionAhead"));
    Chk_OnionAhead->setChecked(kept.ahead);

    Spin_OnionOpacity = new QSpinBox(this);
    Spin_OnionOpacity->setObjectName(QStringLiteral("Spin_OnionOpacity"));
    Spin_OnionOpacity->setRange(kMinOnionOpacity, kMaxOnionOpacity);
    Spin_OnionOpacity->setSuffix(QStringLiteral(" %"));
    Spin_OnionOpacity->setValue(kept.opacity);
    Spin_OnionOpacity->setToolTip(QStringLiteral("The nearest frame; each farther one is fainter"));

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->setObjectName(QStringLiteral("Buttons"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Frames back:"), Spin_OnionFrames);
    form->addRow(QString(), Chk_OnionAhead);
    form->addRow(QStringLiteral("Opacity:"), Spin_OnionOpacity);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const auto report = [this] { emit changed(this->options()); };
    connect(Spin_OnionFrames, &QSpinBox::valueChanged, this, report);
    connect(Spin_OnionOpacity, &QSpinBox::valueChanged, this, report);
    connect(Chk_OnionAhead, &QCheckBox::toggled, this, report);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

OnionSkinOptions TFormOnionSkin::options() const
{
    OnionSkinOptions options;
    options.frames = Spin_OnionFrames->value();
    options.ahead = Chk_OnionAhead->isChecked();
    options.opacity = Spin_OnionOpacity->value();
    return options;
}
