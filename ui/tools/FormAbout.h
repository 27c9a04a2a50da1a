// The about box: the program's name and version.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TFormAbout : public QDialog
{
    Q_OBJECT
  public:
    explicit TFormAbout(QWidget* parent);
    ~TFormAbout() override;

    QLabel* Image1 = nullptr; // the program's icon
    QLabel* Label1 = nullptr; // name and version
    QLabel* Label5 = nullptr; // what the program is
    QFrame* Bevel1 = nullptr; // the line above the button
    QPushButton* Button1 = nullptr;

  public slots:
    void Button1Click();

  private:
    // Lets the texts and the button grow at a large font and the window with them.
    void FitToText();
};
