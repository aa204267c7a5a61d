#pragma once

#include "KeyedArchiveObject.h"

#include <QColor>

// A colour in a keyed archive: class "NSColor" with one value, "PXRGBA", the colour's red,
// green, blue and alpha bytes as the number 0xRRGGBBAA.
class ArchivedColor : public KeyedArchiveObject
{
public:
    ArchivedColor() = default;
    explicit ArchivedColor(const QColor &color) : m_color(color) {}

    QColor color() const { return m_color; }

    static quint32 rgbaFromColor(const QColor &color);
    static QColor colorFromRgba(quint32 rgba);

    QStringList archiveClassNames() const override;
    void encodeWithCoder(KeyedArchiver &coder) const override;
    void initWithCoder(KeyedUnarchiver &coder) override;

private:
    QColor m_color = Qt::black;
};
