#include "GradebookSettingRules.h"

#include "core/base/PrintfNumber.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("SubjectGradeSettingController", text);
}
} // namespace

QString GradebookSettingRules::errorText(int code, const QString &sessionType)
{
    switch (code) {
    case EmptyTitle: return tr("The Title should not be empty.");
    case DuplicateTitle: return tr("The Title already exists.");
    case EndBeforeBeginning: return tr("Ending date should be later than beginning date.");
    case BeginningAfterEnd: return tr("Beginning date should be earlier than ending date.");
    case EmptySessionType: return tr("The Session Type should not be empty.");
    case DuplicateSessionType: return tr("The Session Type already exists.");
    case EmptyLetter: return tr("The letter should not be empty.");
    case DuplicateLetter: return tr("The letter should not be duplicated.");
    case StartAboveEnd: return tr("Start value cannot be greater than end value.");
    case RangesOverlap: return tr("Point ranges overlap.");
    case RangeNotZeroToHundred: return tr("Point range should be from 0 to 100.");
    case NoSessionTypeLeft: return tr("It must be at least one session type exist.");
    case SessionTypeInUse:
        return tr("The Session Type '%1' is used by the weight list, cannot be deleted.").arg(sessionType);
    default: return QString();
    }
}

int GradebookSettingRules::sortLetterByPointFrom(const ConversionLetter &a, const ConversionLetter &b)
{
    return a.pointFrom() < b.pointFrom() ? -1 : (a.pointFrom() > b.pointFrom() ? 1 : 0);
}

int GradebookSettingRules::checkLetterRanges(const QList<ConversionLetter> &letters)
{
    if (letters.isEmpty())
        return RangeNotZeroToHundred;
    QList<ConversionLetter> sorted = letters;
    std::stable_sort(sorted.begin(), sorted.end(), [](const ConversionLetter &a, const ConversionLetter &b) {
        return sortLetterByPointFrom(a, b) < 0;
    });
    for (const ConversionLetter &l : sorted)
        if (l.pointTo() < l.pointFrom())
            return StartAboveEnd;
    for (qsizetype i = 1; i < sorted.size(); ++i)
        if (sorted.at(i - 1).pointTo() >= sorted.at(i).pointFrom())
            return RangesOverlap;
    if (sorted.first().pointFrom() != 0 || sorted.last().pointTo() != 100)
        return RangeNotZeroToHundred;
    for (qsizetype i = 1; i < sorted.size(); ++i)
        if (sorted.at(i).pointFrom() - sorted.at(i - 1).pointTo() > 1)
            return RangeNotZeroToHundred;
    return NoError;
}

float GradebookSettingRules::weightTotal(const QList<SelectSessionType> &types)
{
    float sum = 0.0f;
    for (const SelectSessionType &t : types)
        if (t.isSelect())
            sum += t.weight();
    return sum;
}

QString GradebookSettingRules::weightTotalText(const QList<SelectSessionType> &types)
{
    return PrintfNumber::fixed(double(weightTotal(types)), 1) + QLatin1Char('%');
}

bool GradebookSettingRules::weightsAddUpTo100(const QList<SelectSessionType> &types)
{
    return weightTotalText(types) == QLatin1String("100.0%");
}

QString GradebookSettingRules::removeSpacesAround(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString GradebookSettingRules::firstFreeName(const QString &base, const QStringList &taken, const QString &separator)
{
    for (int n = 1;; ++n) {
        const QString name = base + separator + QString::number(n);
        if (!taken.contains(name))
            return name;
    }
}

QList<ConversionLetter> GradebookSettingRules::defaultLetters()
{
    static const int bounds[5][2] = {{90, 100}, {80, 89}, {70, 79}, {60, 69}, {0, 59}};
    QList<ConversionLetter> out;
    for (int i = 0; i < 5; ++i) {
        ConversionLetter l;
        l.setLetter(QStringLiteral("Letter%1").arg(i + 1));
        l.setPointFrom(bounds[i][0]);
        l.setPointTo(bounds[i][1]);
        out << l;
    }
    return out;
}
