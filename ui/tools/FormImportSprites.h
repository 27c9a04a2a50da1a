// The import dialog: reads raw or PRG sprite data into the document.
#pragma once

#include <QDialog>

class QCheckBox;
class QFileDialog;
class QGroupBox;
class QPushButton;
class QRadioButton;
class TEditorHost;

class TFormImport : public QDialog
{
    Q_OBJECT
  public:
    TFormImport(TEditorHost& host, QWidget* parent);
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
    // In OpenDialog1, shown (and ticked) only while the file there has a valid colour side
    // file NAME.inf beside it: "Use the colours of NAME.inf".
    QCheckBox* CheckSideColours = nullptr;

  public slots:
    void Button1Click();
    void Button2Click();
    void OpenDialog1CurrentChanged(const QString& path);

  private:
    TEditorHost& m_host;
};
