#include "ArchivedImage.h"

#include "KeyedArchiver.h"
#include "KeyedUnarchiver.h"

#include <QBuffer>

QStringList ArchivedImage::archiveClassNames() const
{
    return {QStringLiteral("NSImage"), QStringLiteral("NSObject")};
}

QByteArray ArchivedImage::pngBytes(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // Fast compression: a set of many pictures is saved in a moment, at a modest cost in size.
    image.save(&buffer, "PNG", 80);
    return png;
}

void ArchivedImage::encodeWithCoder(KeyedArchiver &coder) const
{
    coder.encodeData(QStringLiteral("PXPNG"), m_png.isEmpty() ? pngBytes(m_image) : m_png);
}

void ArchivedImage::initWithCoder(KeyedUnarchiver &coder)
{
    const QByteArray png = coder.decodeData(QStringLiteral("PXPNG"));
    if (coder.failed())
        return;
    if (!m_image.loadFromData(png, "PNG") || m_image.isNull())
        coder.fail(QStringLiteral("picture is not a PNG"));
    else
        m_png = png;
}
