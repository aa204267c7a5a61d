#pragma once

#include "KeyedArchiveObject.h"

#include <QImage>

// A picture in a keyed archive: class "NSImage" with one value, "PXPNG", the picture as PNG
// bytes. Bytes that do not decode as PNG make the archive unreadable.
class ArchivedImage : public KeyedArchiveObject
{
public:
    ArchivedImage() = default;
    explicit ArchivedImage(const QImage &image) : m_image(image) {}
    // png: the picture's PNG bytes when already known (written as they are).
    ArchivedImage(const QImage &image, const QByteArray &png) : m_image(image), m_png(png) {}

    QImage image() const { return m_image; }
    QByteArray png() const { return m_png; }
    static QByteArray pngBytes(const QImage &image);

    QStringList archiveClassNames() const override;
    void encodeWithCoder(KeyedArchiver &coder) const override;
    void initWithCoder(KeyedUnarchiver &coder) override;

private:
    QImage m_image;
    QByteArray m_png;
};
