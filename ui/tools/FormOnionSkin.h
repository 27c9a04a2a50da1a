// Options > Onion Skin Settings...: how many frames the editor shows around the current
// one, whether the frames ahead show too, and how faint they are. The editor follows each
// change while the window is open; Cancel puts back what was in force.
#pragma once

#include <QDialog>

#include "core/OnionSkin.h"

class QCheckBox;
class QDialogButtonBox;
class QSpinBox;

class TFormOnionSkin : public QDialog
{
    Q_OBJECT
  public:
    TFormOnionSkin(const kelmora::OnionSkinOptions& options, QWidget* parent);

    kelmora::OnionSkinOptions options() const;

    QSpinBox* Spin_OnionFrames = nullptr;
    QCheckBox* Chk_OnionAhead = nullptr;
    QSpinBox* Spin_OnionOpacity = nullptr;
    QDialogButtonBox* Buttons = nullptr;

  signals:
    // The options as the controls show them, after every change.
    void changed(const kelmora::OnionSkinOptions& options);
};
