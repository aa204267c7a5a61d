#include "PostedCalls.h"

PostedCalls::PostedCalls(QObject *parent) : QObject(parent)
{
}

void PostedCalls::post(std::function<void()> call)
{
    bool wake = false;
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
        wake = !m_wakePending;
        m_wakePending = true;
    }
    if (wake)
        QMetaObject::invokeMethod(this, "runPosted", Qt::QueuedConnection);
}

void PostedCalls::runPosted()
{
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(m_mutex);
            if (m_calls.empty()) {
                m_wakePending = false;
                return;
            }
            call = std::move(m_calls.front());
            m_calls.pop_front();
        }
        call();
    }
}
