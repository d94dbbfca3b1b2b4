#include "results/plotprinter.h"

#include "results/plotpicture.h"

#include <QDir>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace PlotPrinter {

void print(QWidget &parent, const PlotPicture &picture, const QString &documentName,
           const QString &folder) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    printer.setOutputFileName(QDir(folder).filePath(documentName + QStringLiteral(".pdf")));
    printer.setCreator(QStringLiteral("Zahlenlupe"));
    const QSize size = picture.size();
    printer.setPageOrientation(size.width() > size.height() ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, &parent);
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setWindowTitle(QStringLiteral("Bild drucken"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&printer);
    picture.paint(painter, QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size()));
}

} // namespace PlotPrinter
