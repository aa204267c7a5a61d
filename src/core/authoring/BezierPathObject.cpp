#include "BezierPathObject.h"

#include "platform/ArchivedBezierPath.h"
#include "platform/ArchivedColor.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"

#include <QPainter>

std::shared_ptr<BezierPathObject> BezierPathObject::copy() const
{
    return std::make_shared<BezierPathObject>(*this);
}

bool BezierPathObject::isEqualTo(const BezierPathObject &other) const
{
    return m_color.rgba() == other.m_color.rgba() && m_lineWidth == other.m_lineWidth
           && ArchivedBezierPath::elementsData(m_bezierpath) == ArchivedBezierPath::elementsData(other.m_bezierpath);
}

QRectF BezierPathObject::pointBounds() const
{
    return m_bezierpath.controlPointRect();
}

void BezierPathObject::draw(QPainter &painter) const
{
    painter.save();
    QPen pen(m_color, m_lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(m_bezierpath);
    painter.restore();
}

BezierPathObject::List BezierPathObject::copyList(const List &list)
{
    List out;
    for (const auto &s : list)
        out.append(s->copy());
    return out;
}

bool BezierPathObject::listsEqual(const List &a, const List &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (!a[i]->isEqualTo(*b[i]))
            return false;
    return true;
}

QStringList BezierPathObject::archiveClassNames() const
{
    return {QStringLiteral("BezierPathObject"), QStringLiteral("NSObject")};
}

void BezierPathObject::encodeWithCoder(KeyedArchiver &coder) const
{
    const ArchivedBezierPath path(m_bezierpath, m_lineWidth);
    const ArchivedColor color(m_color);
    coder.encodeValueObject(path);
    coder.encodeValueObject(color);
}

void BezierPathObject::initWithCoder(KeyedUnarchiver &coder)
{
    auto path = coder.decodeObjectOfClass<ArchivedBezierPath>(false);
    auto color = coder.decodeObjectOfClass<ArchivedColor>(false);
    if (coder.failed())
        return;
    m_bezierpath = path->path();
    m_lineWidth = path->lineWidth();
    m_color = color->color();
}
