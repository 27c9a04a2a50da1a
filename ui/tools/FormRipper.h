// The snapshot ripper: copies one of the four 16 KB video banks out of the C64 memory
// in a VICE emulator snapshot into the main window's 256 sprite slots.
#pragma once

#include <QDialog>
#include <QString>

#include "core/Snapshot.h"
#include "core/Types.h"

class QFileDialog;
class QGroupBox;
class QLabel;
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

    // Reads the snapshot at path. A good one replaces RamImage and shows, and checks, the
    // bank its video chip was showing (bank 0 when that is unknown) in the main window; a
    // file that is not a complete C64 snapshot is reported; a file that cannot be opened
    // is ignored. Returns true for a good snapshot.
    bool ReadSnapshot(const QString& path);

    QPushButton* Button1 = nullptr; // "Choose snapshot..."
    QGroupBox* GroupBox1 = nullptr; // "Video bank"
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QLabel* Label_VideoBank = nullptr; // the bank the snapshot's video chip was showing
    QLabel* Label_SetSlots = nullptr;  // how many slots of the bank shown hold a set pixel
    QPushButton* Button2 = nullptr;    // "OK"
    QFileDialog* OpenSnapshot = nullptr;

  public slots:
    void Button1Click();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void Button2Click();

    // Every way of closing passes here: a hint in the main window's status bar when the
    // slots taken reach past the sprites in use.
    void done(int result) override;

  private:
    // Video bank 0..3 of RamImage replaces the whole sprite block; the main window redraws.
    void ShowBank(int bank);
    // Counts the slots of the sprite block that hold a set pixel and shows the count.
    void ShowSetSlots();

    bool m_taken = false; // a snapshot's memory or an empty bank replaced the slots

    TEditorHost& m_host;
};
