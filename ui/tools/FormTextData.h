// The built-in viewer of the text listing View Text Data writes, for a desktop that has no
// viewer for text files: the listing read-only in a monospace font, to select and copy
// from, and to save under another name.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

class TFormTextData : public QDialog
{
    Q_OBJECT
  public:
    // path: the listing file, whose name is the window's title; bytes: its contents.
    TFormTextData(const QString& path, const QByteArray& bytes, QWidget* parent);
    ~TFormTextData() override;

    QPlainTextEdit* Memo1 = nullptr; // the listing
    QPushButton* BtnSaveAs = nullptr;
    QPushButton* BtnClose = nullptr;

  public slots:
    // Writes the listing, byte for byte, to a file the user chooses; a failure is reported.
    void BtnSaveAsClick();
    void BtnCloseClick();

  private:
    QByteArray m_bytes;
    QString m_savePath; // proposed by the save dialog: the last file chosen
};
