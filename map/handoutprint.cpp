#include "map/handoutprint.h"

#include "map/mapstore.h"
#include "results/failurenotice.h"

#include <QPrinter>
#include <QProgressDialog>
#include <QWidget>

HandoutPrint::HandoutPrint(QWidget &window, std::unique_ptr<QPrinter> printer, Handout handout,
                           std::int64_t first, std::int64_t last)
    : QObject(&window), m_window(window), m_printer(std::move(printer)),
      m_handout(std::move(handout)), m_first(first), m_next(first), m_last(last) {
    m_progress = new QProgressDialog(QStringLiteral("Der Handzettel wird gedruckt …"),
                                     QStringLiteral("Abbrechen"), 0,
                                     static_cast<int>(last - first + 1), &window);
    m_progress->setObjectName(QStringLiteral("handoutProgress"));
    m_progress->setWindowTitle(QStringLiteral("Handzettel drucken"));
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    m_progress->setMinimumDuration(300);
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, this, [this] {
        m_printer->abort();
        stop();
    });
    connect(&m_search, &FrameSearch::frameReady, this, &HandoutPrint::take);
    connect(&m_search, &FrameSearch::threadFreed, this, &HandoutPrint::makeAhead);
    if (!m_painter.begin(m_printer.get())) {
        FailureNotice::show(m_window,
                            Failure(QStringLiteral("Der Drucker nimmt den Handzettel nicht an.")),
                            QStringLiteral("Nicht gedruckt"));
        stop();
        return;
    }
    makeAhead();
}

HandoutPrint::~HandoutPrint() {
    if (m_painter.isActive()) {
        m_printer->abort();
        m_painter.end();
    }
    if (m_progress)
        m_progress->close();
}

void HandoutPrint::makeAhead() {
    if (!m_painter.isActive())
        return;
    const auto ahead = static_cast<std::int64_t>(m_search.threads()) + 1;
    for (std::int64_t page = m_next; page <= std::min(m_last, m_next + ahead); ++page) {
        if (m_ready.contains(page) || m_search.making(page))
            continue;
        if (!m_search.start(page, m_handout.query(page)))
            break;
    }
}

// The pages go out in their order: a map that comes early waits for those before it.
void HandoutPrint::take(std::int64_t page, std::shared_ptr<const MapBlock> block) {
    if (!m_painter.isActive())
        return;
    m_ready[page] = std::move(block);
    for (auto found = m_ready.find(m_next); found != m_ready.end(); found = m_ready.find(m_next)) {
        MapStore store(m_handout.query(m_next).maxLeg, found->second->generation);
        store.add(found->second);
        m_ready.erase(found);
        if (m_next > m_first)
            m_printer->newPage();
        // The painter's origin is the top left corner of the printable rectangle.
        m_handout.paintPage(
            m_painter, QRectF(QPointF(0, 0), m_printer->pageRect(QPrinter::DevicePixel).size()),
            m_next, store);
        ++m_next;
        if (m_progress)
            m_progress->setValue(static_cast<int>(m_next - m_first));
        if (m_next > m_last) {
            m_painter.end();
            stop();
            return;
        }
    }
    makeAhead();
}

void HandoutPrint::stop() {
    m_search.clear();
    if (m_progress) {
        m_progress->close();
        m_progress = nullptr;
    }
    deleteLater();
}
