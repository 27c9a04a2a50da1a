// Import Image: a picture (a sprite sheet, or the frames of an animated GIF) is cut into
// cells and each cell becomes a sprite. The picture with its cell grid and the sprites it
// gives are shown side by side, with every pixel a sprite cannot show outlined in red;
// each setting of the picture solver is a control, and every change solves the picture
// again. OK puts the sprites into the bank from the current sprite on, as one undo step.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include <vector>

#include "core/ImageImport.h"
#include "core/Palette.h"
#include "core/RgbaImage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class TEditorHost;
class TPaintBox;

class TFormImportImage : public QDialog
{
    Q_OBJECT
  public:
    TFormImportImage(TEditorHost& host, QWidget* parent);
    ~TFormImportImage() override;

    // The picture to import (one frame, or every frame of an animation in order) and the
    // name the title shows. The controls take the picture's limits and it is solved at once.
    void SetPicture(std::vector<kelmora::RgbaImage> frames, const QString& name);

  public slots:
    // Any control changed: solve the picture again and redraw both views.
    void SettingChanged();
    // Puts the sprites into the bank from the current sprite on (Quantity rises to hold
    // them), sets the shared colours when chosen, and records one undo step.
    void Btn_OKClick();

  private:
    kelmora::ImageImportSettings Settings() const;
    // The slot the first sprite goes into: the current sprite.
    int FirstSlot() const;
    void Solve();
    void ShowResult();
    void DrawViews();
    void FitZoom();
    void FitWindow();

    TEditorHost& m_host;
    std::vector<kelmora::NamedPalette> m_palettes;
    std::vector<kelmora::RgbaImage> m_frames;
    kelmora::ImageImportResult m_result;
    QImage m_pictureView; // the frames one below the other, zoomed, with the cell grid
    QImage m_resultView;  // the sprites at the places of their cells, zoomed
    bool m_solving = false;

    QLabel* Label_Picture = nullptr;
    QLabel* Label_Sprites = nullptr;
    QScrollArea* Scroll_Picture = nullptr;
    QScrollArea* Scroll_Result = nullptr;
    TPaintBox* PaintBox_Picture = nullptr;
    TPaintBox* PaintBox_Result = nullptr;
    QSpinBox* Spin_Zoom = nullptr;
    QSpinBox* Spin_Scale = nullptr;
    QSpinBox* Spin_OffsetX = nullptr;
    QSpinBox* Spin_OffsetY = nullptr;
    QSpinBox* Spin_GapX = nullptr;
    QSpinBox* Spin_GapY = nullptr;
    QSpinBox* Spin_Columns = nullptr;
    QSpinBox* Spin_Count = nullptr;
    QComboBox* Combo_Palette = nullptr;
    QComboBox* Combo_Mode = nullptr;
    QComboBox* Combo_Background = nullptr;
    QComboBox* Combo_Multi1 = nullptr;
    QComboBox* Combo_Multi2 = nullptr;
    QCheckBox* Chk_Overlay = nullptr;
    QCheckBox* Chk_SetColours = nullptr;
    QGroupBox* GroupBox_Result = nullptr;
    QLabel* Label_Result = nullptr;
    QLabel* Label_Placement = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
};
