// The export dialog: writes the document's sprites as raw data or as a PRG file.
#pragma once

#include <QDialog>
#include <QPalette>

class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TEditorHost;

class TFormExport : public QDialog
{
    Q_OBJECT
  public:
    TFormExport(TEditorHost& host, QWidget* parent);
    ~TFormExport() override;

    // The value of a load address text: one to four hexadecimal digits; -1 when the
    // text is empty or holds anything else.
    static int ParseLoadAddress(const QString& text);

    QGroupBox* GroupBox1 = nullptr; // file format
    QRadioButton* RadioPrg = nullptr;
    QRadioButton* RadioRaw = nullptr;
    QLabel* Label1 = nullptr; // "PRG Load Address $"
    QLineEdit* Edit1 = nullptr;
    QGroupBox* GroupBox2 = nullptr; // attribute byte format
    QRadioButton* RadioKelmora = nullptr;
    QRadioButton* RadioSeuck = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;
    QFileDialog* SaveDialog1 = nullptr;

  public slots:
    void RadioPrgClick();
    void RadioRawClick();
    void Edit1Change();
    void BtnOkClick();
    void BtnCancelClick();

  private:
    TEditorHost& m_host;
    QPalette m_normalPalette; // the edit box's colours while its text is valid
};
