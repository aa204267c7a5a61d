#include "ArchivedBezierPath.h"

#include "KeyedArchiver.h"
#include "KeyedUnarchiver.h"

#include <QDataStream>
#include <QIODevice>

#include <cmath>

namespace {
constexpr int kRecord = 17;
}

QByteArray ArchivedBezierPath::elementsData(const QPainterPath &path)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::BigEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        out << quint8(e.type) << double(e.x) << double(e.y);
    }
    return data;
}

bool ArchivedBezierPath::pathFromElements(const QByteArray &data, QPainterPath *path)
{
    if (data.size() % kRecord != 0)
        return false;
    QDataStream in(data);
    in.setByteOrder(QDataStream::BigEndian);
    in.setFloatingPointPrecision(QDataStream::DoublePrecision);
    QPainterPath p;
    const int count = int(data.size() / kRecord);
    for (int i = 0; i < count; ++i) {
        quint8 type = 0;
        double x = 0, y = 0;
        in >> type >> x >> y;
        if (!std::isfinite(x) || !std::isfinite(y))
            return false;
        switch (type) {
        case QPainterPath::MoveToElement:
            p.moveTo(x, y);
            break;
        case QPainterPath::LineToElement:
            if (i == 0)
                return false;
            p.lineTo(x, y);
            break;
        case QPainterPath::CurveToElement: {
            if (i == 0 || i + 2 >= count)
                return false;
            double cx[2], cy[2];
            for (int k = 0; k < 2; ++k) {
                quint8 t = 0;
                in >> t >> cx[k] >> cy[k];
                if (t != QPainterPath::CurveToDataElement || !std::isfinite(cx[k]) || !std::isfinite(cy[k]))
                    return false;
            }
            p.cubicTo(x, y, cx[0], cy[0], cx[1], cy[1]);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    *path = p;
    return true;
}

QStringList ArchivedBezierPath::archiveClassNames() const
{
    return {QStringLiteral("NSBezierPath"), QStringLiteral("NSObject")};
}

void ArchivedBezierPath::encodeWithCoder(KeyedArchiver &coder) const
{
    coder.encodeReal(QStringLiteral("PXLineWidth"), m_lineWidth);
    coder.encodeData(QStringLiteral("PXElements"), elementsData(m_path));
}

void ArchivedBezierPath::initWithCoder(KeyedUnarchiver &coder)
{
    m_lineWidth = coder.decodeReal(QStringLiteral("PXLineWidth"));
    const QByteArray data = coder.decodeData(QStringLiteral("PXElements"));
    if (coder.failed())
        return;
    if (!std::isfinite(m_lineWidth) || m_lineWidth < 0 || !pathFromElements(data, &m_path))
        coder.fail(QStringLiteral("damaged path"));
}
