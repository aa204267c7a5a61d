#include "ArchivedImage.h"

#include "KeyedArchiver.h"
#include "KeyedUnarchiver.h"

#include <QBuffer>

QStringList ArchivedImage::archiveClassNames() const
{
    return {QStringLiteral("NSImage"), QStringLiteral("NSObject")};
}

void ArchivedImage::encodeWithCoder(KeyedArchiver &coder) const
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    m_image.save(&buffer, "PNG");
    coder.encodeData(QStringLiteral("PXPNG"), png);
}

void ArchivedImage::initWithCoder(KeyedUnarchiver &coder)
{
    const QByteArray png = coder.decodeData(QStringLiteral("PXPNG"));
    if (coder.failed())
        return;
    if (!m_image.loadFromData(png, "PNG") || m_image.isNull())
        coder.fail(QStringLiteral("picture is not a PNG"));
}
