#include "results/plotprinter.h"

#include "results/plotpicture.h"

#include <QDir>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace PlotPrinter {

Failure print(QWidget &parent, const PlotPicture &picture, const QString &documentName,
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
        return {};
    const QString where = printer.outputFileName().isEmpty()
                              ? QStringLiteral("»%1«").arg(printer.printerName())
                              : QStringLiteral("»%1«").arg(printer.outputFileName());
    QPainter painter;
    if (!painter.begin(&printer))
        return Failure(QStringLiteral("Das Bild kann nicht gedruckt werden: %1 nimmt keinen "
                                      "Auftrag an.")
                           .arg(where));
    picture.paint(painter, QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size()));
    if (!painter.end())
        return Failure(QStringLiteral("Das Bild kann nicht gedruckt werden: %1 nimmt die Seite "
                                      "nicht an.")
                           .arg(where));
    return {};
}

} // namespace PlotPrinter
