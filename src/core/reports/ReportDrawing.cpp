#include "ReportDrawing.h"

#include "ReportPainter.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

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

namespace {
// A stretch of a text, [from, to).
struct Span
{
    qsizetype from = 0;
    qsizetype to = 0;
};

bool isBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// A blank a line may break at: white space other than a break and the no-break spaces.
bool isBlank(QChar c)
{
    return c.isSpace() && !isBreak(c) && c != QChar(0x00A0) && c != QChar(0x2007) && c != QChar(0x202F);
}

// The lines typed in text: a carriage return, a line feed or the two together end one; those
// at the very end start none.
QList<Span> typedLines(const QString &text)
{
    QList<Span> lines;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isBreak(text.at(i)))
            continue;
        lines.append({from, i});
        if (text.at(i) == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        from = i + 1;
    }
    lines.append({from, text.size()});
    while (lines.size() > 1 && lines.last().from == lines.last().to)
        lines.removeLast();
    return lines;
}

QString textOf(const QString &text, Span span)
{
    return text.mid(span.from, span.to - span.from);
}

// The lines of one typed line, each a stretch of text.
void wrapTypedLine(const QString &text, Span typed, double width, const QFont &font, QList<Span> &out)
{
    if (textWidthF(textOf(text, typed), font) <= width) {
        out.append(typed);
        return;
    }
    Span line{-1, -1};
    for (qsizetype i = typed.from; i < typed.to;) {
        if (isBlank(text.at(i))) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < typed.to && !isBlank(text.at(end)))
            ++end;
        const Span word{i, end};
        i = end;
        if (line.from >= 0 && textWidthF(textOf(text, {line.from, word.to}), font) <= width) {
            line.to = word.to;
            continue;
        }
        if (line.from >= 0)
            out.append(line);
        line = word;
        if (textWidthF(textOf(text, word), font) <= width)
            continue;
        // A word no line can hold: its pieces fill lines, the last one takes the next words.
        const QStringList pieces = getStringsWithin(textOf(text, word), width, font);
        for (qsizetype k = 0; k + 1 < pieces.size() && line.from + pieces.at(k).size() < word.to; ++k) {
            out.append({line.from, line.from + pieces.at(k).size()});
            line.from += pieces.at(k).size();
        }
    }
    // Blanks alone: one empty line.
    out.append(line.from >= 0 ? line : Span{typed.from, typed.from});
}

QList<Span> wrappedSpans(const QString &text, double width, const QFont &font)
{
    QList<Span> spans;
    for (const Span &typed : typedLines(text))
        wrapTypedLine(text, typed, width, font, spans);
    return spans;
}
} // namespace

QStringList getWordWrappedStrings(const QString &text, double width, const QFont &font)
{
    QStringList lines;
    for (const Span &span : wrappedSpans(text, width, font))
        lines.append(textOf(text, span));
    return lines;
}

QStringList getWordWrappedStrings(const QString &text, double width, const QFont &font, int maxLines)
{
    const QList<Span> spans = wrappedSpans(text, width, font);
    const qsizetype keep = std::max(1, maxLines);
    QStringList lines;
    for (qsizetype k = 0; k < spans.size() && (k + 1 < keep || spans.size() <= keep); ++k)
        lines.append(textOf(text, spans.at(k)));
    if (spans.size() <= keep)
        return lines;
    QString rest = text.mid(spans.at(keep - 1).from);
    rest.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar &c : rest)
        if (isBreak(c))
            c = QLatin1Char(' ');
    lines.append(getStringWithSuspensionPoint(rest, width, font));
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
