#pragma once

#include "MyTextView.h"

#include "platform/Singleton.h"

#include <QList>

// The box clipboard shared by every page of the process. Each replacement gets a new
// generation number, so a page can tell whether it pasted this very clipboard before.
class PageEditAppDelegate
{
public:
    static QList<MyTextViewPtr> copyObjects();
    static void setCopyObjects(const QList<MyTextViewPtr> &boxes);
    static quint64 copyGeneration();

private:
    PageEditAppDelegate() = default;
    friend class Singleton<PageEditAppDelegate>;

    QList<MyTextViewPtr> m_objects;
    quint64 m_generation = 1;
};
