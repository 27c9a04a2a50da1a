// The animator: plays a run of sprites of the document in the main window's preview,
// editor and browser. It draws nothing itself; each timer tick makes one frame the
// current sprite and has the main window show it.
//
// Sprites joined by the overlay flag (sprite i drawn with sprite i + 1 over it) make
// up one frame, named by its first sprite; ticks and steps skip the second sprite.
#pragma once

#include <QDialog>

#include "core/Animation.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolBar;
class TEditorHost;
class TUpDown;

class TFormAnim : public QDialog
{
    Q_OBJECT
  public:
    // Set-up: remembers the document's current sprite and selection and takes the
    // selection as the first and last frame. Changes nothing in the document.
    TFormAnim(TEditorHost& host, QWidget* parent);
    ~TFormAnim() override;

    // Gives the tool bar the main window's flat or raised look.
    void SetToolBarFlat(bool flat);

    // Makes sprite f the current sprite and one-sprite selection and has the main
    // window show it. f is kept inside the sprites in use.
    void ShowFrame(int f);

    // ---- Playback state ----
    // The frame the next tick shows, the bounds latched from the spinners when a play
    // button is pressed, the direction and the hold still pending. The options are read
    // from the check boxes at each tick.
    kelmora::AnimationState State;
    bool Playing = false; // a play button started playback and Stop has not been pressed since
    int SavedCurrent = 0, SavedRangeStart = 0, SavedRangeEnd = 0;

    // ---- Controls ----
    QToolBar* ToolBar1 = nullptr;
    QAction* Btn_Rev_Max = nullptr;
    QAction* Btn_Rev_Step = nullptr;
    QAction* Btn_Rev_Play = nullptr;
    QAction* Btn_Stop = nullptr;
    QAction* Btn_Pause = nullptr;
    QAction* Btn_Forw_Play = nullptr;
    QAction* Btn_Forw_Step = nullptr;
    QAction* Btn_Forw_Max = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    TUpDown* UpDown2 = nullptr;
    QCheckBox* PingPong = nullptr;
    QCheckBox* HoldStart = nullptr;
    QCheckBox* HoldEnd = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit3 = nullptr;
    TUpDown* UpDown3 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* Hz50 = nullptr;
    QRadioButton* Hz25 = nullptr;
    QRadioButton* Hz12 = nullptr;
    QRadioButton* Hz6 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BtnExportGif = nullptr;
    QTimer* Timer1 = nullptr;

  public slots:
    void Timer1Timer();
    void Btn_Forw_PlayClick();
    void Btn_Rev_PlayClick();
    void Btn_StopClick();
    void Btn_PauseClick();
    void Btn_Forw_StepClick();
    void Btn_Rev_StepClick();
    void Btn_Forw_MaxClick();
    void Btn_Rev_MaxClick();
    void UpDown1ChangingEx(int direction, bool* allow);
    void UpDown2ChangingEx(int direction, bool* allow);
    void PingPongClick();
    void RadioButton1Click();
    void Hz50Click();
    void Hz25Click();
    void Hz12Click();
    void Hz6Click();
    void Button1Click();
    // Export GIF...: the frames the animator repeats with its options and rate, as an
    // animated GIF that loops for ever.
    void BtnExportGifClick();

    // Every way of closing (Close button, close box, Escape) ends here.
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void CreateToolBar();
    // Lets the controls grow to their captions at the window's font and the window with them.
    void FitToText();
    void StartPlay(kelmora::AnimationDirection direction);
    void SetPlayControlsEnabled(bool enabled);
    bool Overlay(int index) const; // sprite index has the overlay flag
    int LastSprite() const;        // the last sprite in use
    void FormClose();

    TEditorHost& m_host;
    bool m_closed = false;
};
