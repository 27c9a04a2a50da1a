// Export Image: the selected sprites as the browser draws them (in rows of a chosen
// number of columns, each pixel scale x scale, in the palette of the view) written to a
// PNG or a 32-bit BMP file.
#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class TEditorHost;
class TPaintBox;

class TFormExportImage : public QDialog
{
    Q_OBJECT
  public:
    TFormExportImage(TEditorHost& host, QWidget* parent);
    ~TFormExportImage() override;

  public slots:
    // Asks for the file (PNG or BMP, by its name) and writes the picture. The window
    // closes once it is written; a failed write is reported and the window stays open.
    void Btn_SaveClick();

  private:
    void Redraw();
    // Writes the picture to path (BMP for a .bmp name, PNG otherwise); reason says why not.
    bool Write(const QString& path, QString& reason) const;

    TEditorHost& m_host;
    QImage m_sheet;

    QSpinBox* Spin_Columns = nullptr;
    QSpinBox* Spin_Scale = nullptr;
    QLabel* Label_Size = nullptr;
    QScrollArea* Scroll_Sheet = nullptr;
    TPaintBox* PaintBox_Sheet = nullptr;
    QPushButton* Btn_Save = nullptr;
    QPushButton* Btn_Cancel = nullptr;
};
