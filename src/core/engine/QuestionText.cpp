#include "QuestionText.h"

namespace QuestionText {

namespace {
constexpr int kMaxChoiceLines = 24;
constexpr int kMaxChoiceTexts = 11;
// The twelfth frame text (the 23rd and 24th lines) is cut so that its frame keeps within length.
constexpr int kLastPairLine = 23;
constexpr int kLastPairLength = 38;

QString oneLine(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString trimmedCarriageReturns(QString text)
{
    while (text.startsWith(QLatin1Char('\r')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}
} // namespace

bool isSeparateChar(QChar c)
{
    switch (c.unicode() & 0xFF) {
    case '!':
    case ',':
    case '.':
    case '?':
    case ' ': return true;
    default: return false;
    }
}

QStringList splitIntoLines(const QString &text)
{
    QStringList lines;
    QString rest = text;
    while (rest.size() > kLineLength) {
        const bool separated = isSeparateChar(rest.at(kLineLength)) || isSeparateChar(rest.at(kLineLength - 1));
        lines << rest.left(kLineLength - 1) + (separated ? QLatin1Char(' ') : QLatin1Char('-'));
        rest = rest.mid(kLineLength - 1);
    }
    lines << rest;
    return lines;
}

QString titleFromPath(const QString &path)
{
    const QString last = path.section(QLatin1Char('/'), -1);
    const qsizetype dot = last.indexOf(QLatin1Char('.'));
    return dot < 0 ? last : last.left(dot);
}

bool isTextOnlyType(int questionType)
{
    return questionType == 2 || questionType == 3;
}

QStringList frameTexts(const QString &title, int questionType, const QStringList &options)
{
    const QStringList titleLines = splitIntoLines(oneLine(title));
    const bool textOnly = isTextOnlyType(questionType);

    QStringList lines = titleLines;
    if (!textOnly) {
        QList<QStringList> optionLines;
        qsizetype total = titleLines.size();
        for (qsizetype k = 0; k < options.size(); ++k) {
            const QString option = trimmedCarriageReturns(oneLine(options[k]));
            optionLines << splitIntoLines(QString(QChar(char16_t(u'A' + k))) + QLatin1Char('.') + option);
            total += optionLines.last().size();
        }
        if (total > kMaxChoiceLines && !options.isEmpty()) {
            const qsizetype share = qMax<qsizetype>(0, (kMaxChoiceLines - titleLines.size()) / options.size());
            for (auto &ol : optionLines)
                ol = ol.mid(0, share);
        }
        for (const auto &ol : optionLines)
            lines << ol;
    }

    QStringList texts;
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        QString text = lines[i] + kLineEnd;
        if (i + 1 < lines.size()) {
            text += lines[i + 1];
            if (i + 1 == kLastPairLine)
                text = text.left(kLastPairLength);
        }
        texts << text;
    }
    if (!textOnly && texts.size() > kMaxChoiceTexts)
        texts = texts.mid(0, kMaxChoiceTexts);
    return texts;
}

} // namespace QuestionText
