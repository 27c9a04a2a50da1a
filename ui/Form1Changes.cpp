// Unsaved changes: the title shows them, and a command that would replace them asks first.
#include "ui/Form1.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QMessageBox>

using namespace kelmora;

void TForm1::UpdateModifiedMark()
{
    // Compared by content, so undoing back to what the file holds clears the mark.
    setWindowModified(HasChanges(m_doc));
}

void TForm1::MarkDocumentSaved()
{
    MarkSaved(m_doc);
    UpdateModifiedMark();
}

bool TForm1::MaySaveChanges()
{
    if (!HasChanges(m_doc)) return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Kelmora"),
                    QStringLiteral("Save changes to %1?").arg(QFileInfo(FileName).fileName()),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    // The same words on every desktop (some themes would say "Close without Saving").
    box.button(QMessageBox::Save)->setText(QStringLiteral("Save"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Discard"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancel"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec())
    {
    case QMessageBox::Save:
        return SaveProjectAs();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}
