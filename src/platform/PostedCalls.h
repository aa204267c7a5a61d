#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

// Functions handed from any thread to the thread this object lives in, and run there later in
// the order given. The functions travel through a queue under a standard mutex; only a bare wake
// goes through Qt's event queue. Qt's own locks cannot be seen by ThreadSanitizer unless Qt is
// built for it, so a function carried inside a Qt event would look to it like a race between the
// thread that built it and the thread that runs it.
//
// Calls posted after the object is gone are a fault of the poster, as with any queued call; calls
// still queued when it goes are dropped.
class PostedCalls : public QObject
{
    Q_OBJECT
public:
    explicit PostedCalls(QObject *parent = nullptr);

    void post(std::function<void()> call);

private:
    Q_INVOKABLE void runPosted();

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_calls;
    bool m_wakePending = false; // under m_mutex
};
