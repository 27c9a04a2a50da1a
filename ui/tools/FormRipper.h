// The snapshot ripper: copies one of the four 16 KB video banks out of the C64 memory
// in a VICE emulator snapshot into the main window's 256 sprite slots.
#pragma once

#include <QDialog>
#include <QString>

#include "core/Snapshot.h"
#include "core/Types.h"

class QFileDialog;
class QGroupBox;
class QPushButton;
class QRadioButton;
class TEditorHost;

class TFormRipper : public QDialog
{
    Q_OBJECT
  public:
    // Zeroes RamImage: every ripper window starts without a snapshot.
    TFormRipper(TEditorHost& host, QWidget* parent);
    ~TFormRipper() override;

    // The C64 memory ($0000-$FFFF) of the last snapshot read, shared by every ripper window.
    static kelmora::u8 RamImage[kelmora::kC64RamBytes];

    // Reads the snapshot at path. A good one replaces RamImage, shows its bank 0 in the
    // main window and checks RadioButton1; a file that is not a complete C64 snapshot is
    // reported; a file that cannot be opened is ignored. Returns true for a good snapshot.
    bool ReadSnapshot(const QString& path);

    QPushButton* Button1 = nullptr; // "Choose snapshot..."
    QGroupBox* GroupBox1 = nullptr; // "Video bank"
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QPushButton* Button2 = nullptr; // "OK"
    QFileDialog* OpenSnapshot = nullptr;

  public slots:
    void Button1Click();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void Button2Click();

  private:
    // Video bank 0..3 of RamImage replaces the whole sprite block; the main window redraws.
    void ShowBank(int bank);

    TEditorHost& m_host;
};
