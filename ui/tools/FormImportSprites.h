// The import dialog: reads raw or PRG sprite data into the main window's bank.
#pragma once

#include <QDialog>

class QFileDialog;
class QGroupBox;
class QPushButton;
class QRadioButton;
class TForm1;

class TFormImport : public QDialog
{
    Q_OBJECT
  public:
    explicit TFormImport(TForm1* owner);
    ~TFormImport() override;

    QGroupBox* GroupBox1 = nullptr; // file format
    QRadioButton* RadioAuto = nullptr;
    QRadioButton* RadioRaw = nullptr;
    QRadioButton* RadioPrg = nullptr;
    QGroupBox* GroupBox2 = nullptr; // attribute byte format
    QRadioButton* RadioSeuck = nullptr;
    QRadioButton* RadioKelmora = nullptr;
    QRadioButton* RadioIgnore = nullptr;
    QPushButton* Button1 = nullptr; // OK
    QPushButton* Button2 = nullptr; // Cancel
    QFileDialog* OpenDialog1 = nullptr;

  public slots:
    void Button1Click();
    void Button2Click();

  private:
    TForm1* m_owner;
};
