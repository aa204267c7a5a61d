#include "AuthoringView.h"

#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"

void AuthoringView::encodeView(KeyedArchiver &coder) const
{
    coder.encodeRect(QStringLiteral("PXFrame"), m_frame);
    coder.encodeRect(QStringLiteral("PXBounds"), bounds());
    coder.encodeInt(QStringLiteral("PXHidden"), m_hidden ? 1 : 0);
    coder.encodeObjectArray(QStringLiteral("PXSubviews"), archivedSubviews());
    coder.encodeObject(QStringLiteral("PXSuperview"), m_superview);
}

void AuthoringView::decodeView(KeyedUnarchiver &coder)
{
    m_frame = coder.decodeRect(QStringLiteral("PXFrame"));
    m_boundsOrigin = coder.decodeRect(QStringLiteral("PXBounds")).topLeft();
    m_hidden = coder.decodeInt(QStringLiteral("PXHidden")) != 0;
    // Read to check the graph and to resolve shared objects; the holder rebuilds both links.
    coder.decodeObjectArray(QStringLiteral("PXSubviews"));
    auto superview = coder.decodeObject(QStringLiteral("PXSuperview"));
    if (superview && !std::dynamic_pointer_cast<AuthoringView>(superview))
        coder.fail(QStringLiteral("a view's holder is no view"));
    if (m_frame.width() < 0 || m_frame.height() < 0)
        coder.fail(QStringLiteral("negative view size"));
}

void AuthoringView::copyViewFrom(const AuthoringView &other)
{
    m_frame = other.m_frame;
    m_boundsOrigin = other.m_boundsOrigin;
    m_hidden = other.m_hidden;
}
