// The rotator: a modal window that turns the document's current sprite (and its
// overlay partner, the next sprite, when the current sprite has the overlay flag) by a
// chosen angle, shows the re-encoded result three times enlarged, and places either that
// one frame or the sequence of frames from angle 0 up to one step before it into the bank
// at the current sprite or into the copy buffer.
#pragma once

#include <QDialog>
#include <QImage>

#include "core/Rotation.h"

class QGroupBox;
class QLabel;
class QPainter;
class QPushButton;
class QRadioButton;
class QScrollBar;
class TEditorHost;
class TPaintBox;

class TFormRotate : public QDialog
{
    Q_OBJECT
  public:
    TFormRotate(TEditorHost& host, QWidget* parent);
    ~TFormRotate() override;

    // ---- State ----
    int AngleCount = kelmora::kDefaultAngleCount; // N: the circle is divided into N steps
    int FramesRequired = 0;                       // sprite slots the chosen action fills

    // The work pictures and the last frame (FrameSprite, PartnerSprite) of the turn.
    kelmora::RotatorState Images{};
    QImage PreviewImage; // the composite enlarged to the preview's size

    // ---- Controls (named as laid out) ----
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr; // 4
    QRadioButton* RadioButton2 = nullptr; // 8
    QRadioButton* RadioButton3 = nullptr; // 16
    QRadioButton* RadioButton4 = nullptr; // 32
    QRadioButton* RadioButton5 = nullptr; // 64
    QRadioButton* RadioButton6 = nullptr; // 360
    QRadioButton* RadioButton7 = nullptr; // 128
    QRadioButton* RadioButton8 = nullptr; // 256
    TPaintBox* PaintBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QRadioButton* Radio_FrameToCurrent = nullptr;
    QRadioButton* Radio_FrameToBuffer = nullptr;
    QRadioButton* Radio_SeqToCurrent = nullptr;
    QRadioButton* Radio_SeqToBuffer = nullptr;
    QPushButton* Btn_Ok = nullptr;
    QPushButton* Button2 = nullptr;

    // Turns the current sprite by angleIndex / angleCount of a full turn, re-encodes it
    // into Images.frameSprite (and Images.partnerSprite) and redraws the preview.
    void RenderRotatedFrame(int angleCount, int angleIndex);
    void UpdateRotatorControls();
    // True when the current sprite has an overlay partner (the overlay flag, below 255).
    bool HasPartner() const;

  public slots:
    void ScrollBar1Change(int position);
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void RadioButton6Click();
    void RadioButton7Click();
    void RadioButton8Click();
    void Radio_FrameToCurrentClick();
    void Radio_FrameToBufferClick();
    void Radio_SeqToCurrentClick();
    void Radio_SeqToBufferClick();
    void Btn_OkClick();
    void Button2Click();

    // Every way of closing (OK, Cancel, Escape, the close box) passes here.
    void done(int result) override;

  private:
    void CreateControls();
    // Lets the controls grow to their captions at the window's font and the window with them.
    void FitToText();
    void FormCreate();
    void FormClose();
    void PaintBox1Paint(QPainter& painter);
    void AngleCountClick(int angleCount);
    // Moves the slider to angleIndex and shows that angle, as a user's move would.
    void ShowAngle(int angleIndex);

    TEditorHost& m_host;
    bool m_closed = false;
};
