#pragma once

#include "platform/KeyedArchiveObject.h"

#include <QList>
#include <QRectF>

// What pages, boxes and text fields share as views: a frame in the holder's coordinates
// (y grows upwards, as on the page), bounds whose size follows the frame and whose origin is the
// view's own coordinate origin, and a hidden flag.
//
// In a question file a view first writes these keyed values (the view's own coding):
//   "PXFrame" and "PXBounds" (rectangles), "PXHidden" (number 0 or 1),
//   "PXSubviews" (array of the views shown inside it), "PXSuperview" (its holder, or nil).
// Subviews and superview make the archive's object graph cyclic; readers check them and
// rebuild both from the fields that follow.
class AuthoringView : public KeyedArchiveObject
{
public:
    QRectF frame() const { return m_frame; }
    virtual void setFrame(const QRectF &frame) { m_frame = frame; }
    QRectF bounds() const { return QRectF(m_boundsOrigin, m_frame.size()); }
    void setBoundsOrigin(const QPointF &origin) { m_boundsOrigin = origin; }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }

    // The view's holder as the file records it (the page of a box, the box of a text field).
    void setArchivedSuperview(const KeyedArchiveObject *view) { m_superview = view; }
    const KeyedArchiveObject *archivedSuperviewObject() const { return m_superview; }

    // A point of the holder's coordinates in this view's own (bounds) coordinates, and back.
    QPointF fromHolder(const QPointF &p) const { return p - m_frame.topLeft() + m_boundsOrigin; }
    QPointF toHolder(const QPointF &p) const { return p - m_boundsOrigin + m_frame.topLeft(); }

    // A rectangle of page coordinates (y up) as QPainter draws it on a page of that height (y down).
    static QRectF flipped(const QRectF &r, double pageHeight)
    {
        return QRectF(r.x(), pageHeight - r.y() - r.height(), r.width(), r.height());
    }

protected:
    virtual QList<const KeyedArchiveObject *> archivedSubviews() const { return {}; }
    void encodeView(KeyedArchiver &coder) const;
    void decodeView(KeyedUnarchiver &coder);
    void copyViewFrom(const AuthoringView &other);

private:
    QRectF m_frame;
    QPointF m_boundsOrigin;
    bool m_hidden = false;
    const KeyedArchiveObject *m_superview = nullptr;
};
