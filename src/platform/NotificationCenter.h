#pragma once

#include "platform/PostedCalls.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// One named notification: what was posted, by which object, with which payload.
struct Notification
{
    QString name;
    QPointer<QObject> object;
    QVariantMap userInfo;
};

// Windows and activity objects talk through named notifications with dictionary payloads.
// Observers are tied to a QObject: when it is destroyed its observations end with it.
// A post on the GUI thread is delivered at once; a post from any other thread is queued
// and delivered on the GUI thread, in the order posted.
class NotificationCenter : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(const Notification &)>;

    static NotificationCenter *defaultCenter();

    // Calls handler for every notification called name (all names when name is empty)
    // posted by sender (any sender when null). Returns an id for removeObserver(int).
    int addObserver(QObject *observer, const QString &name, Handler handler, QObject *sender = nullptr);
    void removeObserver(QObject *observer);
    // Every observation of root and of the objects below it: a window closed for good hears
    // nothing more, its parts included, though the event loop has yet to delete it.
    void removeObserverTree(QObject *root);
    void removeObserver(QObject *observer, const QString &name);
    void removeObserver(int id);

    void postNotification(const QString &name, const QVariantMap &userInfo = {}, QObject *object = nullptr);
    void postNotification(const Notification &note);

    int observerCount(const QString &name = {}) const;

private:
    explicit NotificationCenter(QObject *parent = nullptr);
    void deliver(const Notification &note);

    struct Entry
    {
        int id = 0;
        QObject *observer = nullptr;
        QPointer<QObject> guard;
        QString name;
        QPointer<QObject> sender;
        bool hasSender = false;
        Handler handler;
        std::shared_ptr<bool> alive;
    };

    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
    int m_nextId = 1;
    PostedCalls m_fromOtherThreads; // a child: it moves to the GUI thread with the centre
};
