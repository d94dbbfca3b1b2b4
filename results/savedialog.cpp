#include "results/savedialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace SaveDialog {

QString pictureFilters() {
    return QStringLiteral("PNG-Bilder (*.png);;SVG-Bilder (*.svg);;PDF-Dokumente (*.pdf)");
}

QString folder(QStandardPaths::StandardLocation kind) {
    const QString where = QStandardPaths::writableLocation(kind);
    return !where.isEmpty() && QDir(where).exists() ? where : QDir::currentPath();
}

QString suggestedPath(QStandardPaths::StandardLocation kind, const QString &name) {
    return QDir(folder(kind)).filePath(name);
}

QString ask(QWidget &parent, const QString &title, const QString &suggestedPath,
            const QString &filters) {
    QFileDialog dialog(&parent, title, suggestedPath, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QFileInfo(suggestedPath).suffix());
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
            dialog.setDefaultSuffix(
                filter.section(QStringLiteral("(*."), 1).section(QLatin1Char(')'), 0, 0));
        });
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace SaveDialog
