#pragma once

#include "results/failure.h"

#include <QString>

class PlotPicture;
class QWidget;

// Printing the plot: the print dialog (German, as Qt's texts are; where no printer is set up it
// still offers printing to a PDF file), then one page with the picture as large as the printable
// area allows, its proportions kept, as vectors and text.
namespace PlotPrinter {

// Returns once the dialog is closed and, if it was accepted, the page is printed. Printing to a
// file suggests the document's name with ".pdf" in the given folder. Fails where the printer or the
// file takes no page.
Failure print(QWidget &parent, const PlotPicture &picture, const QString &documentName,
              const QString &folder);

} // namespace PlotPrinter
