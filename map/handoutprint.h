#pragma once

#include "map/framesearch.h"
#include "map/handout.h"

#include <QObject>
#include <QPainter>
#include <map>
#include <memory>

class QPrinter;
class QProgressDialog;
class QWidget;

// Prints pages of a handout from the map's window. Each page's map is made on worker threads a
// few pages ahead, and the pages go to the printer in their order as their maps arrive, so the
// window keeps answering however many pages there are; a progress dialog tells how far it is and
// cancels. It lets itself go when done.
class HandoutPrint : public QObject {
    Q_OBJECT

public:
    // The pages first..last of the handout (from 0), onto a printer its dialog has set up.
    HandoutPrint(QWidget &window, std::unique_ptr<QPrinter> printer, Handout handout,
                 std::int64_t first, std::int64_t last);
    ~HandoutPrint() override;
    HandoutPrint(const HandoutPrint &) = delete;
    HandoutPrint &operator=(const HandoutPrint &) = delete;

private:
    void take(std::int64_t page, std::shared_ptr<const MapBlock> block);
    void makeAhead();
    void stop();

    QWidget &m_window;
    std::unique_ptr<QPrinter> m_printer;
    Handout m_handout;
    std::int64_t m_first;
    std::int64_t m_next;
    std::int64_t m_last;
    QPainter m_painter;
    FrameSearch m_search;
    std::map<std::int64_t, std::shared_ptr<const MapBlock>> m_ready;
    QProgressDialog *m_progress = nullptr;
};
