#include "HistogramColor.h"

namespace {
QColor rgb(float r, float g, float b)
{
    return QColor::fromRgbF(r, g, b);
}
} // namespace

const QList<HistogramColor> &HistogramColor::standardSets()
{
    static const QList<HistogramColor> sets{
        {rgb(1.0f, 0.11f, 1.0f), rgb(0.8f, 0.0f, 0.8f), rgb(0.6f, 0.0f, 0.6f)},
        {rgb(0.0f, 0.8f, 0.0f), rgb(0.0f, 0.6f, 0.0f), rgb(0.0f, 0.4f, 0.0f)},
        {rgb(1.0f, 0.4f, 0.4f), rgb(1.0f, 0.2f, 0.2f), rgb(1.0f, 0.0f, 0.0f)},
        {rgb(1.0f, 1.0f, 0.4f), rgb(1.0f, 1.0f, 0.2f), rgb(1.0f, 1.0f, 0.0f)},
        {rgb(0.0f, 0.0f, 1.0f), rgb(0.0f, 0.0f, 0.8f), rgb(0.0f, 0.0f, 0.6f)},
        {rgb(0.0f, 1.0f, 0.6f), rgb(0.0f, 1.0f, 0.4f), rgb(0.0f, 1.0f, 0.2f)},
        {rgb(1.0f, 0.6f, 0.4f), rgb(1.0f, 0.6f, 0.2f), rgb(1.0f, 0.6f, 0.0f)},
        {rgb(0.0f, 1.0f, 1.0f), rgb(0.0f, 0.8f, 0.8f), rgb(0.0f, 0.6f, 0.6f)},
        {rgb(0.4f, 0.4f, 0.2f), rgb(0.4f, 0.4f, 0.0f), rgb(0.4f, 0.4f, 0.4f)},
        {rgb(0.0f, 0.6f, 1.0f), rgb(0.0f, 0.4f, 1.0f), rgb(0.0f, 0.2f, 1.0f)},
        {rgb(0.8f, 0.4f, 1.0f), rgb(0.6f, 0.2f, 0.8f), rgb(0.4f, 0.0f, 0.6f)},
        {rgb(0.0f, 0.8f, 0.6f), rgb(0.0f, 0.8f, 0.4f), rgb(0.0f, 0.8f, 0.2f)},
    };
    return sets;
}

const HistogramColor &HistogramColor::forBar(int bar)
{
    const QList<HistogramColor> &sets = standardSets();
    return sets.at(((bar % sets.size()) + sets.size()) % sets.size());
}
