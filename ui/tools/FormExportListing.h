// The Export Listing dialog: the selected sprites as source for an assembler, a C
// compiler or BASIC V2, with every listing option, a live preview, named presets kept
// in the project's extras, Copy to Clipboard and Save.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

#include "core/Listing.h"
#include "core/Types.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TEditorHost;

class TFormExportListing : public QDialog
{
    Q_OBJECT
  public:
    TFormExportListing(TEditorHost& host, QWidget* parent);
    ~TFormExportListing() override;

    // The options the controls hold; false with problem set when a text in them cannot be
    // used (a label that is no identifier, an address that is no multiple of 64).
    bool ReadOptions(kelmora::ListingOptions& options, QString& problem) const;
    // Sets every control from options (the preview follows).
    void ShowOptions(const kelmora::ListingOptions& options);

    QLabel* LabelSprites = nullptr; // which sprites are listed
    QComboBox* ComboPreset = nullptr;
    QPushButton* BtnSavePreset = nullptr;
    QPushButton* BtnDeletePreset = nullptr;
    QComboBox* ComboDialect = nullptr;
    QComboBox* ComboNumbers = nullptr;
    QCheckBox* ChkRows = nullptr;
    QComboBox* ComboBytes = nullptr;
    QCheckBox* ChkZeroAttributes = nullptr;
    QLabel* LabelBlockLabel = nullptr;
    QLineEdit* EditBlockLabel = nullptr;
    QComboBox* ComboLabels = nullptr;
    QLineEdit* EditLabelPrefix = nullptr;
    QCheckBox* ChkAlign = nullptr;
    QCheckBox* ChkHeader = nullptr;
    QLineEdit* EditHeaderAddress = nullptr;
    QGroupBox* GroupBasic = nullptr;
    QSpinBox* SpinStartLine = nullptr;
    QSpinBox* SpinLineStep = nullptr;
    QCheckBox* ChkPrg = nullptr;
    QCheckBox* ChkLoader = nullptr;
    QLineEdit* EditLoaderAddress = nullptr;
    QPlainTextEdit* MemoPreview = nullptr;
    QLabel* LabelStatus = nullptr; // why nothing can be written, or what was
    QPushButton* BtnCopy = nullptr;
    QPushButton* BtnSave = nullptr;
    QPushButton* BtnClose = nullptr;

  public slots:
    void OptionsChanged();
    void ComboPresetChange(int index);
    void BtnSavePresetClick();
    void BtnDeletePresetClick();
    void BtnCopyClick();
    void BtnSaveClick();

  private:
    void CreateControls();
    // The presets of the document in the combo box, the one the options match shown.
    void ListPresets();
    // Enables the controls the dialect has a use for.
    void EnableForDialect();
    void UpdatePreview();

    TEditorHost& m_host;
    int m_first = 0, m_last = 0; // the sprites listed
    bool m_showing = false;      // controls are being set from options: no preview per control
    kelmora::ListingOptions m_options;
    bool m_ready = false;              // m_output holds a listing of m_options
    std::vector<kelmora::u8> m_output; // what Save writes
    QString m_text;                    // what Copy copies: the text, or a program as LIST shows it
};
