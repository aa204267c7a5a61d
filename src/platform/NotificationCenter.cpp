#include "NotificationCenter.h"

#include <QCoreApplication>
#include <QThread>

NotificationCenter *NotificationCenter::defaultCenter()
{
    // Created on first use and kept for the whole run; it must live in the GUI thread so that
    // queued posts from workers arrive there.
    static NotificationCenter *center = [] {
        auto *c = new NotificationCenter;
        if (QCoreApplication::instance() && c->thread() != QCoreApplication::instance()->thread())
            c->moveToThread(QCoreApplication::instance()->thread());
        return c;
    }();
    return center;
}

NotificationCenter::NotificationCenter(QObject *parent) : QObject(parent), m_fromOtherThreads(this) {}

int NotificationCenter::addObserver(QObject *observer, const QString &name, Handler handler, QObject *sender)
{
    std::lock_guard lock(m_mutex);
    Entry e;
    e.id = m_nextId++;
    e.observer = observer;
    e.guard = observer;
    e.name = name;
    e.sender = sender;
    e.hasSender = sender != nullptr;
    e.handler = std::move(handler);
    e.alive = std::make_shared<bool>(true);
    if (observer) {
        connect(observer, &QObject::destroyed, this, [this, id = e.id] { removeObserver(id); },
                Qt::DirectConnection);
    }
    m_entries.push_back(std::move(e));
    return m_entries.back().id;
}

void NotificationCenter::removeObserver(QObject *observer)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&](Entry &e) {
        if (e.observer != observer)
            return false;
        *e.alive = false;
        return true;
    });
}

void NotificationCenter::removeObserverTree(QObject *root)
{
    if (!root)
        return;
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&](Entry &e) {
        QObject *o = e.guard.data();
        while (o && o != root)
            o = o->parent();
        if (!o)
            return false;
        *e.alive = false;
        return true;
    });
}

void NotificationCenter::removeObserver(QObject *observer, const QString &name)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&](Entry &e) {
        if (e.observer != observer || e.name != name)
            return false;
        *e.alive = false;
        return true;
    });
}

void NotificationCenter::removeObserver(int id)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&](Entry &e) {
        if (e.id != id)
            return false;
        *e.alive = false;
        return true;
    });
}

void NotificationCenter::postNotification(const QString &name, const QVariantMap &userInfo, QObject *object)
{
    postNotification(Notification{name, object, userInfo});
}

void NotificationCenter::postNotification(const Notification &note)
{
    if (QThread::currentThread() != thread()) {
        m_fromOtherThreads.post([this, note] { deliver(note); });
        return;
    }
    deliver(note);
}

void NotificationCenter::deliver(const Notification &note)
{
    // Handlers may add or remove observers (even themselves) while we deliver, so work on a
    // snapshot and skip any entry removed in the meantime.
    std::vector<std::pair<std::shared_ptr<bool>, Handler>> targets;
    {
        std::lock_guard lock(m_mutex);
        for (const Entry &e : m_entries) {
            if (!e.name.isEmpty() && e.name != note.name)
                continue;
            if (e.hasSender && e.sender.data() != note.object.data())
                continue;
            if (e.observer && !e.guard)
                continue;
            targets.emplace_back(e.alive, e.handler);
        }
    }
    for (auto &[alive, handler] : targets) {
        if (*alive)
            handler(note);
    }
}

int NotificationCenter::observerCount(const QString &name) const
{
    std::lock_guard lock(m_mutex);
    int n = 0;
    for (const Entry &e : m_entries)
        if (name.isEmpty() || e.name == name)
            ++n;
    return n;
}
