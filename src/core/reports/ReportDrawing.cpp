#include "ReportDrawing.h"

#include "ReportPainter.h"

#include <QFontMetricsF>
#include <QRegularExpression>

#include <cmath>
#include <utility>

namespace {
// Character boundaries (a surrogate pair is one character).
QList<int> characterStarts(const QString &text)
{
    QList<int> starts;
    starts.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        starts.append(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return starts;
}

QString characterAt(const QString &text, const QList<int> &starts, int k)
{
    const int end = k + 1 < starts.size() ? starts.at(k + 1) : int(text.size());
    return text.mid(starts.at(k), end - starts.at(k));
}
} // namespace

double textWidthF(const QString &text, const QFont &font)
{
    return QFontMetricsF(font).horizontalAdvance(text);
}

int textWidth(const QString &text, const QFont &font)
{
    return int(textWidthF(text, font));
}

QStringList getStrings(const QString &input, double width, const QFont &font)
{
    QString text = input;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(text) <= width)
        return {text};

    const QList<int> starts = characterStarts(text);
    QStringList lines;
    int lineStart = 0; // a character index
    long long running = 0;
    for (int k = 0; k < starts.size(); ++k) {
        running = (long long)(running + metrics.horizontalAdvance(characterAt(text, starts, k)));
        if (running < width)
            continue;
        // A character wider than the whole width on a line of its own stays there alone.
        const int breakAt = k > lineStart ? k : k + 1;
        lines.append(text.mid(starts.at(lineStart), (breakAt < starts.size() ? starts.at(breakAt) : text.size())
                                                          - starts.at(lineStart)));
        lineStart = breakAt;
        if (lineStart >= starts.size())
            return lines;
        const QString rest = text.mid(starts.at(lineStart));
        if (metrics.horizontalAdvance(rest) <= width) {
            lines.append(rest);
            return lines;
        }
        if (breakAt == k) {
            running = (long long)metrics.horizontalAdvance(characterAt(text, starts, k));
        } else {
            running = 0;
        }
    }
    if (lineStart < starts.size())
        lines.append(text.mid(starts.at(lineStart)));
    return lines;
}

QStringList getStringsWithin(const QString &text, double width, const QFont &font)
{
    QStringList lines = getStrings(text, width, font);
    for (int i = 0; i < lines.size(); ++i) {
        int keep = int(lines.at(i).size());
        while (keep > 1 && textWidthF(lines.at(i).left(keep), font) > width)
            --keep;
        if (keep > 1 && lines.at(i).at(keep - 1).isHighSurrogate())
            --keep;
        if (keep == lines.at(i).size())
            continue;
        const QString rest = lines.at(i).mid(keep);
        lines[i].truncate(keep);
        if (i + 1 < lines.size())
            lines[i + 1].prepend(rest);
        else
            lines.append(rest);
    }
    return lines;
}

QStringList getWordWrappedStrings(const QString &input, double width, const QFont &font)
{
    QString text = input;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (textWidthF(text, font) <= width)
        return {text};
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList lines;
    QString line;
    for (const QString &word : text.split(blanks, Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (textWidthF(longer, font) <= width) {
            line = longer;
            continue;
        }
        if (!line.isEmpty())
            lines.append(std::exchange(line, QString()));
        if (textWidthF(word, font) <= width) {
            line = word;
            continue;
        }
        // A word no line can hold: its pieces fill lines, the last one takes the next words.
        QStringList pieces = getStringsWithin(word, width, font);
        line = pieces.takeLast();
        lines.append(pieces);
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines.append(line);
    return lines;
}

QString getStringWithSuspensionPoint(const QString &text, double width, const QFont &font)
{
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString dots = QStringLiteral("...");
    const int d = int(metrics.horizontalAdvance(dots));
    if (d >= width)
        return dots;
    const double available = width - d;
    const QList<int> starts = characterStarts(text);
    long long running = 0;
    for (int k = 0; k < starts.size(); ++k) {
        running = (long long)(running + metrics.horizontalAdvance(characterAt(text, starts, k)));
        if (running >= available) {
            // The character that reached the limit and the one before it both go.
            if (k < 1)
                return dots;
            return text.left(starts.at(k - 1)) + dots;
        }
    }
    return dots;
}

QString shortenedText(const QString &text, int limit, int keep)
{
    return text.size() > limit ? QStringLiteral("%1...").arg(text.left(keep)) : text;
}

void drawRectWithFillColor(ReportPainter &painter, double x, double y, double width, double height, const QColor &fill)
{
    painter.strokeRect(x, y, width, height, 3, ReportStyle::frameBlue());
    painter.fillRect(x + 1, y + 1, width - 2, height - 2, fill);
}
