// What leaves the window: the plot as a PNG file or on the clipboard, the list of solutions as a
// CSV file, and the starting values the command line hands over.
#include "canvas/canvas.h"
#include "finder/savefile.h"
#include "finder/solutionlist.h"
#include "window/form1.h"
#include "window/scrollbar.h"
#include "window/textbox.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QShortcut>
#include <QStandardPaths>

void Form1::startWith(const QString &deviationText, int radius, const std::array<int, 4> &segment) {
    Text1->setText(deviationText);
    hscRadius->setValue(radius);
    hscX1->setValue(segment[0]);
    hscY1->setValue(segment[1]);
    hscX2->setValue(segment[2]);
    hscY2->setValue(segment[3]);
    Command1_Click();
}

// None of these keys is one that a control of the window answers, in any control that can hold
// the focus (text boxes answer several Ctrl keys as editing keys on X11: Ctrl+E, Ctrl+K, ...).
void Form1::connectKeys() {
    m_chooseFile = [this](const QString &title, const QString &suggestedPath,
                          const QString &filter) {
        QFileDialog dialog(this, title, suggestedPath, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QFileInfo(suggestedPath).suffix());
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    const auto onKeys = [this](QKeyCombination keys, void (Form1::*action)()) {
        connect(new QShortcut(QKeySequence(keys), this), &QShortcut::activated, this, action);
    };
    onKeys(Qt::CTRL | Qt::Key_S, &Form1::savePlot);
    onKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_C, &Form1::copyPlot);
    onKeys(Qt::CTRL | Qt::Key_L, &Form1::saveSolutions);
    onKeys(Qt::CTRL | Qt::Key_Q, &Form1::Command6_Click);
}

// The radius label is drawn as it looks without the focus, so a saved picture never holds a caret,
// a selection or a focus frame: a twin of the label, never shown, is drawn in its place.
QImage Form1::plotImage() const {
    TextBox label(Text2->text());
    label.resize(Text2->size());
    label.setFont(Text2->font());
    label.setPalette(Text2->palette());
    label.setAlignment(Text2->alignment());
    Scene plot = picAusgabe->scene();
    plot.addWidget(label, Text2->pos());
    return plot.toImage();
}

void Form1::savePlot() {
    saveResult(QStringLiteral("Bild speichern"), QStandardPaths::PicturesLocation,
               QStringLiteral("png"), QStringLiteral("PNG-Bilder (*.png)"),
               [this](const QString &path) { return SaveFile::writePng(path, plotImage()); });
}

void Form1::copyPlot() {
    const QImage plot = plotImage();
    if (plot.isNull()) {
        reportSaveFailure(QStringLiteral("Das Bild ist leer; nichts kopiert."));
        return;
    }
    QGuiApplication::clipboard()->setImage(plot);
}

void Form1::saveSolutions() {
    saveResult(QStringLiteral("Lösungen speichern"), QStandardPaths::DocumentsLocation,
               QStringLiteral("csv"), QStringLiteral("CSV-Dateien (*.csv)"),
               [this](const QString &path) {
                   return SaveFile::write(
                       path, SolutionList::toCsv(SolutionList::forDeviation(m_searchedDeviation)));
               });
}

void Form1::saveResult(const QString &title, QStandardPaths::StandardLocation folder,
                       const QString &suffix, const QString &filter,
                       const std::function<QString(const QString &)> &write) {
    const QString name = SaveFile::suggestedName(m_searchedDeviation, suffix);
    const QString where = QStandardPaths::writableLocation(folder);
    const QString path = m_chooseFile(
        title, where.isEmpty() || !QDir(where).exists() ? name : QDir(where).filePath(name),
        filter);
    if (path.isEmpty())
        return;
    const QString failure = write(path);
    if (!failure.isEmpty())
        reportSaveFailure(failure);
}

// Shown without waiting, so nothing that runs the window stops on it.
void Form1::reportSaveFailure(const QString &message) {
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Nicht gespeichert"), message,
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("saveFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
