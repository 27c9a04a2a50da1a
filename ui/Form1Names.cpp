// Sprite names: Edit > Name Sprite..., the current sprite's name in the status bar, and
// the name of the sprite under the pointer in the browser's status text and tool tip.
#include "ui/Form1.h"

#include <QCursor>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QStatusBar>
#include <QToolTip>

#include "ui/Messages.h"
#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

// The status bar shows about this many characters of the current sprite's name (the
// rest is elided in the middle; its tool tip holds the whole name).
constexpr int kNameLabelCharacters = 40;

QString NameOf(const Document& document, int slot)
{
    return QString::fromStdString(SpriteName(document.extras, slot));
}

} // namespace

void TForm1::Mnu_NameSpriteClick()
{
    const int slot = m_doc.bank.currentSprite;
    QString text = NameOf(m_doc, slot);
    for (;;)
    {
        QInputDialog dialog(this);
        dialog.setObjectName(QStringLiteral("InputDialog_SpriteName"));
        dialog.setWindowTitle(QStringLiteral("Name Sprite"));
        dialog.setLabelText(QStringLiteral("Name of sprite %1 (empty: no name):").arg(slot));
        dialog.setTextValue(text);
        if (dialog.exec() != QDialog::Accepted) return;
        // Spaces around a name are never meant.
        text = dialog.textValue().trimmed();
        const std::string name = text.toStdString();
        if (name == SpriteName(m_doc.extras, slot)) return;
        const std::string problem = SetSpriteName(m_doc.extras, slot, name);
        if (problem.empty())
        {
            RecordUndoStep(m_doc);
            RefreshAll();
            return;
        }
        // Asked again with the name as typed, so it can be mended.
        ShowMessage(this, QStringLiteral("Name Sprite"),
                    QStringLiteral("This name cannot be kept: it %1.").arg(QString::fromStdString(problem)));
    }
}

void TForm1::ShowSpriteName()
{
    const int current = m_doc.bank.currentSprite;
    const QString name = NameOf(m_doc, current);
    if (name.isEmpty())
    {
        Label_SpriteName->clear();
        Label_SpriteName->setToolTip(QString());
        return;
    }
    const QString text = QStringLiteral("Sprite %1: %2").arg(current).arg(name);
    const QFontMetrics metrics(Label_SpriteName->font());
    Label_SpriteName->setText(
        metrics.elidedText(text, Qt::ElideMiddle, kNameLabelCharacters * metrics.averageCharWidth()));
    Label_SpriteName->setToolTip(text);
}

void TForm1::ShowBrowserHover(int index)
{
    if (index < 0)
    {
        PaintBox_Browser->setToolTip(QString());
        return;
    }
    const QString name = NameOf(m_doc, index);
    QString text = QStringLiteral("Sprite number : %1").arg(index);
    if (!name.isEmpty()) text += QStringLiteral(" (%1)").arg(name);
    text += QStringLiteral("  - Use shift to select a range");
    if (statusBar()->currentMessage() != text) statusBar()->showMessage(text);

    const QString tip = name.isEmpty() ? QString() : QStringLiteral("Sprite %1: %2").arg(index).arg(name);
    if (PaintBox_Browser->toolTip() == tip) return;
    PaintBox_Browser->setToolTip(tip);
    // A tip on show follows the pointer from one sprite to the next.
    if (QToolTip::isVisible())
    {
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(QCursor::pos(), tip, PaintBox_Browser);
    }
}
