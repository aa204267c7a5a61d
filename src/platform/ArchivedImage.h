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

    QImage image() const { return m_image; }

    QStringList archiveClassNames() const override;
    void encodeWithCoder(KeyedArchiver &coder) const override;
    void initWithCoder(KeyedUnarchiver &coder) override;

private:
    QImage m_image;
};
