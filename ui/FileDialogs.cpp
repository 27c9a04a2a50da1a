// Helpers shared by the file dialogs of the editor's windows.
#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>

namespace
{

bool IsAnyFileFilter(const QString& filter)
{
    return filter.endsWith(QLatin1String("(*.*)"));
}

void Apply(QFileDialog* dialog, const QString& filter)
{
    if (!IsAnyFileFilter(filter)) return;
    // The dialog's own list reads its file system model; it has just applied the
    // literal pattern there, so widen it.
    if (auto* model = dialog->findChild<QFileSystemModel*>()) model->setNameFilters({QStringLiteral("*")});
}

} // namespace

void ListEveryFileForAnyFilter(QFileDialog* dialog)
{
    if (!dialog) return;
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog,
                     [dialog](const QString& filter) { Apply(dialog, filter); });
    Apply(dialog, dialog->selectedNameFilter());
}
