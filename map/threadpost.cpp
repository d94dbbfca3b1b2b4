#include "map/threadpost.h"

ThreadPost::ThreadPost(QObject *parent) : QObject(parent) {
    connect(this, &ThreadPost::arrived, this, &ThreadPost::runWaiting, Qt::QueuedConnection);
}

void ThreadPost::post(std::function<void()> work) {
    bool first = false;
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        first = m_waiting.empty();
        m_waiting.push_back(std::move(work));
    }
    // One signal wakes the receiver for everything posted until it runs.
    if (first)
        emit arrived();
}

void ThreadPost::runWaiting() {
    std::vector<std::function<void()>> work;
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        work.swap(m_waiting);
    }
    for (const std::function<void()> &piece : work)
        piece();
}
