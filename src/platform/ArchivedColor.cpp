#include "ArchivedColor.h"

#include "KeyedArchiver.h"
#include "KeyedUnarchiver.h"

quint32 ArchivedColor::rgbaFromColor(const QColor &color)
{
    const QRgb c = color.rgba();
    return (quint32(qRed(c)) << 24) | (quint32(qGreen(c)) << 16) | (quint32(qBlue(c)) << 8) | quint32(qAlpha(c));
}

QColor ArchivedColor::colorFromRgba(quint32 rgba)
{
    return QColor(int(rgba >> 24), int((rgba >> 16) & 0xff), int((rgba >> 8) & 0xff), int(rgba & 0xff));
}

QStringList ArchivedColor::archiveClassNames() const
{
    return {QStringLiteral("NSColor"), QStringLiteral("NSObject")};
}

void ArchivedColor::encodeWithCoder(KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("PXRGBA"), qint64(rgbaFromColor(m_color)));
}

void ArchivedColor::initWithCoder(KeyedUnarchiver &coder)
{
    const qint64 v = coder.decodeInt(QStringLiteral("PXRGBA"));
    if (v < 0 || v > 0xffffffffLL)
        coder.fail(QStringLiteral("colour out of range"));
    m_color = colorFromRgba(quint32(v));
}
