#include "CommonFunc.h"

#include <QDateTime>

#include <algorithm>

namespace {
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

int sign(int v)
{
    return (v > 0) - (v < 0);
}

int compareVariants(const QVariant &a, const QVariant &b)
{
    const QPartialOrdering order = QVariant::compare(a, b);
    if (order == QPartialOrdering::Less)
        return -1;
    if (order == QPartialOrdering::Greater)
        return 1;
    if (order == QPartialOrdering::Equivalent)
        return 0;
    return sign(a.toString().compare(b.toString()));
}
} // namespace

QString trimString(const QString &s)
{
    qsizetype start = 0;
    qsizetype end = s.size();
    while (start < end && isBlank(s.at(start)))
        ++start;
    while (end > start && isBlank(s.at(end - 1)))
        --end;
    return s.mid(start, end - start);
}

QString trueFalseStringToString(const QString &s)
{
    const QString t = trimString(s);
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("A");
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("B");
    return t;
}

QString stringToTureFalseString(const QString &s)
{
    const QString t = trimString(s);
    for (const char *v : {"True", "T", "A"})
        if (t.compare(QLatin1String(v), Qt::CaseInsensitive) == 0)
            return QStringLiteral("True");
    for (const char *v : {"False", "F", "B"})
        if (t.compare(QLatin1String(v), Qt::CaseInsensitive) == 0)
            return QStringLiteral("False");
    return t;
}

QString conversionString(const QString &s)
{
    QString out;
    out.reserve(s.size() * 2);
    for (QChar c : s) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('\''))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString sortString(const QString &s)
{
    if (s.size() > 10)
        return s;
    QList<QString> chars;
    for (QChar c : s)
        chars << QString(c);
    std::stable_sort(chars.begin(), chars.end(), [](const QString &a, const QString &b) { return a.compare(b) < 0; });
    return chars.join(QString());
}

bool myStringIsEqualToString(const QString &a, const QString &b)
{
    return a == b;
}

QString GetDateTimeNow()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QString mergeFirstLastString(const QString &first, const QString &last)
{
    if (!first.isEmpty() && !last.isEmpty())
        return first + QLatin1Char(' ') + last;
    if (!first.isEmpty())
        return first;
    if (!last.isEmpty())
        return last;
    return QStringLiteral("Null");
}

QString TrimString(const QString &s)
{
    return trimString(s);
}

void MyCopyMutableArrayToMutableArray(const QList<int> &source, QList<int> &target)
{
    if (&source == &target)
        return;
    target.clear();
    target.append(source);
}

void MyAddValueToMutableArray(int value, QList<int> &array)
{
    if (!array.contains(value))
        array.append(value);
}

void MYRemoveValueFromMutableArray(int value, QList<int> &array)
{
    array.removeOne(value);
}

int MyCompareFunctionForSortString(const QVariant &a, const QVariant &b, const QVariantMap &context)
{
    const int result = compareVariants(a, b);
    return context.value(QStringLiteral("order")).toInt() == -1 ? result : -result;
}

int MyCompareFunction(const QVariant &a, const QVariant &b, const QVariantMap &context)
{
    const QString key = context.value(QStringLiteral("key")).toString();
    if (key.isEmpty())
        return MyCompareFunctionForSortString(a, b, context);
    return MyCompareFunctionForSortString(a.toMap().value(key), b.toMap().value(key), context);
}

int compare(const char16_t *a, const char16_t *b)
{
    return int(*a) - int(*b);
}

bool MyIsEqualToForFractionAndDecimal(const QString &a, const QString &b)
{
    return myStringIsEqualToString(a, b);
}
