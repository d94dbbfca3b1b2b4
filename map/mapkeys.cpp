#include "map/mapkeys.h"

#include "map/handoutprint.h"

#include "results/failurenotice.h"
#include "results/savedialog.h"

#include "results/savefile.h"
#include "window/keynames.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QWidget>
#include <cmath>

namespace {

struct Key {
    QKeyCombination keys;
    const char *menu; // the menu's text, with its mnemonic
    const char *what;
};
constexpr Key keys[] = {
    {Qt::CTRL | Qt::Key_S, "Bild &speichern …", "Bild speichern (PNG, SVG oder PDF)"},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_S, "Bild in gewählter &Größe speichern …",
     "Bild in gewählter Größe speichern"},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_C, "Bild &kopieren", "Bild in die Zwischenablage kopieren"},
    {Qt::CTRL | Qt::Key_P, "&Drucken …",
     "Bild drucken, oder den Handzettel: eine Seite je Abweichung des Abspielbereichs"},
    {Qt::CTRL | Qt::Key_W, "Karte sch&ließen", "Karte schließen"},
};

QString suggestedName(const QString &deviationText, const QString &suffix) {
    QString d = deviationText.trimmed();
    d.replace(QRegularExpression(QStringLiteral("[^0-9A-Za-z.+-]")), QStringLiteral("_"));
    return QStringLiteral("zahlenlupe-karte-abweichung-%1.%2").arg(d.left(40), suffix);
}

} // namespace

MapKeys::MapKeys(QWidget &window, QMenu &menu, Source shown)
    : QObject(&window), m_window(window), m_shown(std::move(shown)) {
    const std::function<void()> actions[] = {[this] { save(false); }, [this] { save(true); },
                                             [this] { copy(); }, [this] { print(); },
                                             [this] { m_window.close(); }};
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        if (i + 1 == std::size(keys))
            menu.addSeparator();
        QAction *action = menu.addAction(QString::fromUtf8(keys[i].menu));
        action->setShortcut(QKeySequence(keys[i].keys));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, actions[i]);
    }
}

QString MapKeys::listText() {
    QString text;
    for (const Key &key : keys)
        text += KeyNames::line(QKeySequence(key.keys), QString::fromUtf8(key.what));
    return text;
}

void MapKeys::save(bool chooseSize) {
    const Shown shown = m_shown();
    QSize size = shown.size;
    if (chooseSize) {
        QDialog dialog(&m_window);
        dialog.setWindowTitle(QStringLiteral("Bildgröße"));
        auto *form = new QFormLayout(&dialog);
        auto *width = new QSpinBox(&dialog);
        auto *height = new QSpinBox(&dialog);
        for (QSpinBox *box : {width, height}) {
            box->setRange(1, PictureFormat::largestSide);
            box->setSuffix(QStringLiteral(" Pixel"));
        }
        width->setValue(size.width());
        height->setValue(size.height());
        width->setAccessibleName(QStringLiteral("Breite"));
        height->setAccessibleName(QStringLiteral("Höhe"));
        form->addRow(QStringLiteral("&Breite:"), width);
        form->addRow(QStringLiteral("&Höhe:"), height);
        auto *buttons =
            new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        form->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        if (dialog.exec() != QDialog::Accepted)
            return;
        size = QSize(width->value(), height->value());
    }
    const int scale = std::max(1, static_cast<int>(std::lround(m_window.devicePixelRatioF())));
    const QString path = SaveDialog::ask(
        m_window, QStringLiteral("Bild speichern"),
        SaveDialog::suggestedPath(QStandardPaths::PicturesLocation,
                                  suggestedName(shown.deviationText, QStringLiteral("png"))),
        SaveDialog::pictureFilters());
    if (path.isEmpty())
        return;
    const std::optional<PictureFormat::Kind> format = PictureFormat::ofFile(path);
    if (!format) {
        reportFailure(PictureFormat::unnamedIn(path), QStringLiteral("Nicht gespeichert"));
        return;
    }
    const int pixels = *format == PictureFormat::Kind::Png ? scale : 1;
    if (std::max(size.width(), size.height()) * pixels > PictureFormat::largestSide) {
        reportFailure(Failure(QStringLiteral("Das Bild wäre größer als %1 Pixel je Seite; nichts "
                                             "gespeichert.")
                                  .arg(PictureFormat::largestSide)),
                      QStringLiteral("Nicht gespeichert"));
        return;
    }
    if (const Failure failure = SaveFile::writePicture(path, [&](QByteArray &bytes) {
            return shown.picture.encode(*format, size, pixels, bytes);
        }))
        reportFailure(failure, QStringLiteral("Nicht gespeichert"));
}

void MapKeys::copy() {
    const int scale = std::max(1, static_cast<int>(std::lround(m_window.devicePixelRatioF())));
    const Shown shown = m_shown();
    QGuiApplication::clipboard()->setImage(shown.picture.image(shown.size, scale));
}

void MapKeys::print() {
    Shown shown = m_shown();
    const QSize size = shown.size;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const QString name = suggestedName(shown.deviationText, QStringLiteral("pdf"));
    printer->setDocName(name.chopped(4));
    printer->setOutputFileName(SaveDialog::suggestedPath(QStandardPaths::DocumentsLocation, name));
    printer->setCreator(QStringLiteral("Zahlenlupe"));
    printer->setPageOrientation(size.width() > size.height() ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
    QPrintDialog dialog(printer.get(), &m_window);
    dialog.setWindowTitle(QStringLiteral("Bild drucken"));
    // The map as shown stays what is printed unless the dialog asks for all pages or some: the
    // handout's, one for each deviation of the film.
    const int pages = shown.handout ? static_cast<int>(shown.handout->pages()) : 1;
    if (shown.handout) {
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange);
        dialog.setMinMax(1, pages);
        printer->setFromTo(1, pages);
        printer->setPrintRange(QPrinter::CurrentPage);
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (shown.handout && printer->printRange() != QPrinter::CurrentPage) {
        const bool some = printer->printRange() == QPrinter::PageRange;
        const std::int64_t first = some ? std::max(1, printer->fromPage()) - 1 : 0;
        const std::int64_t last = some ? std::clamp(printer->toPage(), 1, pages) - 1 : pages - 1;
        new HandoutPrint(m_window, std::move(printer), std::move(*shown.handout), first,
                         std::max(first, last));
        return;
    }
    QPainter painter(printer.get());
    shown.picture.paint(painter, size,
                        QRectF(QPointF(0, 0), printer->pageRect(QPrinter::DevicePixel).size()),
                        true);
}

void MapKeys::reportFailure(const Failure &failure, const QString &title) {
    FailureNotice::show(m_window, failure, title);
}
