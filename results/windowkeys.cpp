#include "results/windowkeys.h"

#include "results/failurenotice.h"
#include "results/plotpicture.h"
#include "results/plotprinter.h"
#include "results/savedialog.h"
#include "results/savefile.h"
#include "results/solutionlist.h"
#include "window/form1.h"
#include "window/keynames.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

const WindowKeys::Key WindowKeys::keys[] = {
    {Qt::CTRL | Qt::Key_S, "Bild speichern (PNG, SVG oder PDF)", &WindowKeys::savePicture},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_C, "Bild in die Zwischenablage kopieren",
     &WindowKeys::copyPicture},
    {Qt::CTRL | Qt::Key_P, "Bild drucken", &WindowKeys::printPicture},
    {Qt::CTRL | Qt::Key_L, "Lösungen als CSV speichern", &WindowKeys::saveSolutions},
    {Qt::CTRL | Qt::Key_Q, "Beenden", &WindowKeys::quit},
};

WindowKeys::WindowKeys(Form1 &form) : QObject(&form), m_form(form) {
    for (const Key &key : keys) {
        auto *action = new QAction(QString::fromUtf8(key.what), &form);
        action->setShortcut(QKeySequence(key.keys));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, key.action);
        form.addAction(action);
    }
    m_chooseFile = [this](const QString &title, const QString &suggestedPath,
                          const QString &filters) {
        return SaveDialog::ask(m_form, title, suggestedPath, filters);
    };
}

QString WindowKeys::listText() {
    QString text;
    for (const Key &key : keys)
        text += KeyNames::line(QKeySequence(key.keys), QString::fromUtf8(key.what));
    return text;
}

PlotPicture WindowKeys::plot() const {
    return PlotPicture(m_form.plotCanvas(), m_form.radiusLabel());
}

QString WindowKeys::chooseFile(const QString &title, QStandardPaths::StandardLocation folder,
                               const QString &suffix, const QString &filters) const {
    const QString name = SaveFile::suggestedName(m_form.searchedDeviation(), suffix);
    return m_chooseFile(title, SaveDialog::suggestedPath(folder, name), filters);
}

void WindowKeys::savePicture() {
    const QString path =
        chooseFile(QStringLiteral("Bild speichern"), QStandardPaths::PicturesLocation,
                   QStringLiteral("png"), SaveDialog::pictureFilters());
    if (path.isEmpty())
        return;
    const std::optional<PictureFormat::Kind> format = PictureFormat::ofFile(path);
    if (!format) {
        reportFailure(PictureFormat::unnamedIn(path));
        return;
    }
    const PlotPicture picture = plot();
    if (const Failure failure = SaveFile::writePicture(
            path, [&](QByteArray &bytes) { return picture.encode(*format, bytes); }))
        reportFailure(failure);
}

void WindowKeys::copyPicture() {
    const PlotPicture picture = plot();
    if (picture.isEmpty()) {
        reportFailure(Failure(QStringLiteral("Das Bild ist leer; nichts kopiert.")));
        return;
    }
    QGuiApplication::clipboard()->setImage(picture.image());
}

void WindowKeys::printPicture() {
    const PlotPicture picture = plot();
    if (picture.isEmpty()) {
        reportFailure(Failure(QStringLiteral("Das Bild ist leer; nichts gedruckt.")),
                      QStringLiteral("Nicht gedruckt"));
        return;
    }
    if (const Failure failure = PlotPrinter::print(
            m_form, picture, SaveFile::suggestedBaseName(m_form.searchedDeviation()),
            SaveDialog::folder(QStandardPaths::DocumentsLocation)))
        reportFailure(failure, QStringLiteral("Nicht gedruckt"));
}

void WindowKeys::saveSolutions() {
    const QString path =
        chooseFile(QStringLiteral("Lösungen speichern"), QStandardPaths::DocumentsLocation,
                   QStringLiteral("csv"), QStringLiteral("CSV-Dateien (*.csv)"));
    if (path.isEmpty())
        return;
    const QList<SolutionList::Entry> entries =
        SolutionList::forDeviation(m_form.searchedDeviation());
    if (const Failure failure =
            SaveFile::write(path, SolutionList::text(entries, ListWriter::Format::Csv)))
        reportFailure(failure);
}

void WindowKeys::quit() { m_form.Command6_Click(); }

void WindowKeys::reportFailure(const Failure &failure, const QString &title) {
    FailureNotice::show(m_form, failure, title);
}
