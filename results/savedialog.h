#pragma once

#include <QStandardPaths>
#include <QString>

class QWidget;

// Asking where to save, the same in every window: the standard folder of the kind of file where it
// exists (else the working folder) with the suggested name in it, and a name typed without a
// suffix gets the one of the chosen filter.
namespace SaveDialog {

// The filters of the picture formats, PNG first.
QString pictureFilters();
// The standard folder where it exists, else the working folder.
QString folder(QStandardPaths::StandardLocation kind);

// The standard folder's path for a file of that name.
QString suggestedPath(QStandardPaths::StandardLocation kind, const QString &name);

// The name chosen, or an empty text when the dialog was cancelled.
QString ask(QWidget &parent, const QString &title, const QString &suggestedPath,
            const QString &filters);

} // namespace SaveDialog
