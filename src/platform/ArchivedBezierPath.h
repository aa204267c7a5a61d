#pragma once

#include "KeyedArchiveObject.h"

#include <QPainterPath>

// A pen path in a keyed archive: class "NSBezierPath" with "PXLineWidth" (a real) and
// "PXElements", data of 17-byte records, one per path element: a type byte (0 move to,
// 1 line to, 2 curve to, 3 curve control data) then x and y as big-endian IEEE doubles.
// A curve-to record is followed by its two control-data records, as QPainterPath holds them.
class ArchivedBezierPath : public KeyedArchiveObject
{
public:
    ArchivedBezierPath() = default;
    ArchivedBezierPath(const QPainterPath &path, double lineWidth) : m_path(path), m_lineWidth(lineWidth) {}

    QPainterPath path() const { return m_path; }
    double lineWidth() const { return m_lineWidth; }

    static QByteArray elementsData(const QPainterPath &path);
    // False when the records are not a well-formed path.
    static bool pathFromElements(const QByteArray &data, QPainterPath *path);

    QStringList archiveClassNames() const override;
    void encodeWithCoder(KeyedArchiver &coder) const override;
    void initWithCoder(KeyedUnarchiver &coder) override;

private:
    QPainterPath m_path;
    double m_lineWidth = 1.0;
};
