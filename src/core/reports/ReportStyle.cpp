#include "ReportStyle.h"

namespace {
QFont reportFont(const QString &family, int size)
{
    QFont font(family);
    font.setPixelSize(size);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}
} // namespace

QFont ReportStyle::arial(int size)
{
    return reportFont(QStringLiteral("Arial"), size);
}

QFont ReportStyle::arialBold(int size)
{
    QFont font = arial(size);
    font.setBold(true);
    return font;
}

QFont ReportStyle::arialBoldItalic(int size)
{
    QFont font = arial(size);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

QFont ReportStyle::boldSystemFont(int size)
{
    QFont font = reportFont(QStringLiteral("Sans Serif"), size);
    font.setBold(true);
    return font;
}

QFont ReportStyle::symbol(int size)
{
    return reportFont(QStringLiteral("Symbol"), size);
}

QColor ReportStyle::orange()
{
    return QColor::fromRgbF(0.918f, 0.643f, 0.118f);
}

QColor ReportStyle::yellow()
{
    return QColor::fromRgbF(0.973f, 0.957f, 0.533f);
}

QColor ReportStyle::paleBlue()
{
    return QColor::fromRgbF(0.913f, 0.953f, 0.961f);
}

QColor ReportStyle::lightBlue()
{
    return QColor::fromRgbF(0.722f, 0.855f, 0.890f);
}

QColor ReportStyle::grey()
{
    return QColor::fromRgbF(0.502f, 0.502f, 0.502f);
}

QColor ReportStyle::frameBlue()
{
    return QColor::fromRgbF(0.675f, 0.902f, 0.937f);
}

QColor ReportStyle::titleOrange()
{
    return QColor::fromRgbF(0.929f, 0.694f, 0.243f);
}

QColor ReportStyle::red()
{
    return QColor::fromRgbF(1.0f, 0.0f, 0.0f);
}
