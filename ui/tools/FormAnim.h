// The animator: plays a run of sprites of the bank in the main window's preview,
// editor and browser. It draws nothing itself; each timer tick makes one frame the
// main window's current sprite and has the main window repaint its views.
//
// Sprites joined by the overlay flag (sprite i drawn with sprite i + 1 over it) make
// up one frame, named by its first sprite; ticks and steps skip the second sprite.
#pragma once

#include <QDialog>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolBar;
class TForm1;
class TUpDown;

class TFormAnim : public QDialog
{
    Q_OBJECT
  public:
    enum class TDirection
    {
        Forward,
        Backward
    };

    // Set-up: remembers the main window's current sprite and selection and takes the
    // selection as the first and last frame. Changes nothing in the main window.
    explicit TFormAnim(TForm1* owner);
    ~TFormAnim() override;

    // Gives the tool bar the main window's flat or raised look.
    void SetToolBarFlat(bool flat);

    // Makes sprite f the main window's current sprite and one-sprite selection and
    // repaints its preview, editor and browser. f is kept inside the sprites in use.
    void ShowFrame(int f);

    // ---- Playback state ----
    int CurrentFrame = 0; // the sprite the next tick shows
    int StartFrame = 0;   // latched from the start spinner when a play button is pressed
    int EndFrame = 0;     // likewise from the end spinner
    TDirection Direction = TDirection::Forward;
    int HoldCount = 0;    // ticks still to skip before the next frame is shown
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

    // Every way of closing (Close button, close box, Escape) ends here.
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void CreateToolBar();
    void StartPlay(TDirection direction);
    void SetPlayControlsEnabled(bool enabled);
    bool Overlay(int index) const; // sprite index has the overlay flag
    int LastSprite() const;        // the last sprite in use
    void FormClose();

    TForm1* m_owner;
    bool m_closed = false;
};
