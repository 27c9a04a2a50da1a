// The Sequences window: the project's named sequences, each a list of frames (a sprite
// slot shown for its own number of ticks of 1/50 s) played in a loop, back and forth, or
// once. It stays open beside the main window and follows the document: every change made
// here is one undo step of the document, and undo and redo in the main window show here.
//
// Frames come from the main window's selection (an overlay pair is one frame, named by
// its first slot), are reordered by dragging and removed with Del. The preview plays the
// sequence at its real timing over the background colour, expanded as the video chip
// expands a sprite when asked.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

#include "core/Sequences.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimer;
class TEditorHost;
class TPaintBox;

class TFormSequences : public QDialog
{
    Q_OBJECT
  public:
    TFormSequences(TEditorHost& host, QWidget* parent);
    ~TFormSequences() override;

    // The index of the sequence the window shows in the document's list, or -1.
    int CurrentSequence() const;
    // The frame the preview shows (an index into the sequence's frames), or -1.
    int PreviewFrame() const { return m_previewFrame; }

    // ---- Controls ----
    QListWidget* List_Sequences = nullptr;
    QPushButton* Btn_NewSequence = nullptr;
    QPushButton* Btn_RenameSequence = nullptr;
    QPushButton* Btn_DeleteSequence = nullptr;
    QListWidget* List_Frames = nullptr;
    QPushButton* Btn_AddFrames = nullptr;
    QPushButton* Btn_AddObject = nullptr;
    QPushButton* Btn_RemoveFrames = nullptr;
    QSpinBox* Spin_Delay = nullptr;
    QSpinBox* Spin_DefaultDelay = nullptr;
    QComboBox* Combo_PlayMode = nullptr;
    TPaintBox* PaintBox_SequencePreview = nullptr;
    QCheckBox* Chk_ExpandX = nullptr;
    QCheckBox* Chk_ExpandY = nullptr;
    QPushButton* Btn_Play = nullptr;
    QLabel* Label_Timing = nullptr;
    QPushButton* BtnExportGif = nullptr;
    QPushButton* Btn_Close = nullptr;
    QTimer* Timer_Preview = nullptr;

  public slots:
    // New: asks for a name; the sequence holds the frames of the main window's selection.
    void Btn_NewSequenceClick();
    void Btn_RenameSequenceClick();
    void Btn_DeleteSequenceClick();
    // Adds the frames of the main window's selection after the selected frames (or at the end).
    void Btn_AddFramesClick();
    // Adds a frame showing one of the project's objects, chosen from a list.
    void Btn_AddObjectClick();
    // Removes the selected frames (also Del in the frame list).
    void Btn_RemoveFramesClick();
    // Play and Stop of the preview.
    void Btn_PlayClick();
    void BtnExportGifClick();
    // One timer tick of the preview: shows the frames due by now.
    void Timer_PreviewTimer();
    // Reads the document again: after undo, redo or any other change of it.
    void FollowDocument();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void CreateControls();
    // Shows the sequences of the document in the lists, keeping the selections.
    void ShowSequences();
    // Shows the frames of the sequence selected, keeping their selection.
    void ShowFrames();
    void ShowFrameControls();
    // Changes the shown sequence with edit as one undo step.
    void ChangeSequence(const std::function<void(kelmora::Sequence&)>& edit);
    // Replaces the document's sequences with sequences as one undo step.
    void ChangeSequences(const std::vector<kelmora::Sequence>& sequences);
    // The frames dropped in a new order: the document follows the list.
    void FramesReordered();
    void FrameDelayChanged(int delay);
    void PlayModeChosen(int index);
    // Asks for a sequence name; empty when cancelled.
    QString AskName(const QString& title, const QString& proposed, int replacing);
    // The frames of the main window's selection, with the default delay.
    std::vector<kelmora::SequenceFrame> SelectionFrames() const;
    // Inserts frames after the selected frames (or at the end), within the frame limit.
    void InsertFrames(const std::vector<kelmora::SequenceFrame>& added);
    QList<int> SelectedFrames() const;
    void SelectFrames(const QList<int>& rows);
    void StopPreview();
    void DrawPreview(QPainter& painter);
    // The shown sequence, or null.
    const kelmora::Sequence* Shown() const;

    TEditorHost& m_host;
    std::vector<kelmora::Sequence> m_shown; // what the lists show
    QString m_shownName;                    // the name of the sequence selected
    bool m_reorderPending = false;
    bool m_filling = false;         // the lists are being filled: their signals are not the user's
    QList<int> m_selectAfterChange; // frames to select once the document has changed

    // The preview.
    kelmora::SequenceState m_play;
    QElapsedTimer m_clock;
    long long m_ticksPlayed = 0;
    int m_previewFrame = -1;
};
