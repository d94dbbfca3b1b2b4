#pragma once

#include <QObject>
#include <functional>
#include <mutex>
#include <vector>

// Work that worker threads hand to the thread this object lives on: post() on any thread, and
// each piece runs there, in the order posted, from the event loop. The pieces wait under a lock of
// this object's and only a bare queued signal crosses through Qt's event queue, so the hand-over is
// one that ThreadSanitizer sees (the queue itself lies in Qt's uninstrumented code).
class ThreadPost : public QObject {
    Q_OBJECT

public:
    explicit ThreadPost(QObject *parent = nullptr);

    void post(std::function<void()> work);

signals:
    void arrived();

private:
    void runWaiting();

    std::mutex m_lock;
    std::vector<std::function<void()>> m_waiting; // under m_lock
};
