#include "PageEditAppDelegate.h"

QList<MyTextViewPtr> PageEditAppDelegate::copyObjects()
{
    return Singleton<PageEditAppDelegate>::instance()->m_objects;
}

void PageEditAppDelegate::setCopyObjects(const QList<MyTextViewPtr> &boxes)
{
    PageEditAppDelegate *self = Singleton<PageEditAppDelegate>::instance();
    self->m_objects = boxes;
    ++self->m_generation;
}

quint64 PageEditAppDelegate::copyGeneration()
{
    return Singleton<PageEditAppDelegate>::instance()->m_generation;
}
