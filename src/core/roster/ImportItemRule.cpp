#include "ImportItemRule.h"

#include <QRegularExpression>

#include <limits>

namespace {
bool isAsciiDigits(const QString &text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// The whole-number value of a text as the date parts are read: leading digits, 0 without any.
int leadingValue(const QString &text)
{
    qint64 value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - '0');
        if (value > 1000000)
            break; // far beyond every bound a date part has
    }
    return int(value);
}

// The decimal value of a text read as far as it forms a number (0 when it does not begin with one).
double leadingDecimal(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

// The parts of a date text: split at "-", else "/", else "."; none when no separator splits it.
std::optional<QStringList> dateParts(const QString &text)
{
    for (QChar separator : {QLatin1Char('-'), QLatin1Char('/'), QLatin1Char('.')}) {
        const QStringList parts = text.split(separator);
        if (parts.size() > 1)
            return parts;
    }
    return std::nullopt;
}

bool dateCharacters(const QString &text)
{
    for (QChar c : text)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('/') ||
              c == QLatin1Char('.')))
            return false;
    return true;
}
} // namespace

std::shared_ptr<ImportItemRule> ImportItemRule::noNeedImportItemRule()
{
    return std::make_shared<ImportItemRule>();
}

int ImportItemRule::characterCount(const QString &text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

QString ImportItemRule::firstCharacters(const QString &text, int count)
{
    qsizetype i = 0;
    for (int taken = 0; taken < count && i < text.size(); ++taken) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++i;
    }
    return text.left(i);
}

QString ImportItemRule::errorDescriptionByStringValue(const QString &value, const QString &displayName) const
{
    switch (m_valueType) {
    case WholeNumber: {
        const int low = int(m_minDecimalValue);
        const int high = int(m_maxDecimalValue);
        const QString message = QStringLiteral("The %1 should be between %2 and %3.").arg(displayName).arg(low).arg(high);
        if (!isAsciiDigits(value))
            return message;
        // Digits only, so the one way to fail the conversion is a number too long for it.
        bool ok = true;
        const qulonglong n = value.isEmpty() ? 0 : value.toULongLong(&ok);
        if (!ok || n > qulonglong(std::numeric_limits<int>::max()) || int(n) < low || int(n) > high)
            return message;
        return {};
    }
    case DecimalNumber: {
        const double n = leadingDecimal(value);
        if (n < m_minDecimalValue || n > m_maxDecimalValue)
            return QString::asprintf("The %s should be between %f and %f.", displayName.toUtf8().constData(),
                                     double(m_minDecimalValue), double(m_maxDecimalValue));
        return {};
    }
    case LimitedText:
        if (characterCount(value) > m_maxLength)
            return QStringLiteral("The %1 should be no more than %2 characters.").arg(displayName).arg(m_maxLength);
        if (m_invalidCharSet && m_invalidCharSet->intersects(value))
            return QStringLiteral("The %1 contains some invalid characters.").arg(displayName);
        return {};
    case DateValue: {
        if (value.size() > 10)
            return QStringLiteral("Invalid Date");
        if (!dateCharacters(value))
            return QStringLiteral("Invalid Date.");
        const std::optional<QStringList> parts = dateParts(value);
        if (!parts || !isValidDateComponent(*parts))
            return QStringLiteral("Invalid Date.");
        return {};
    }
    case OneOfList: {
        if (m_enumStringList.isEmpty())
            return {};
        for (const QString &entry : m_enumStringList)
            if (value.compare(entry, Qt::CaseInsensitive) == 0)
                return {};
        QString message = QStringLiteral("The %1 should be one of following strings:\n").arg(displayName);
        for (const QString &entry : m_enumStringList)
            message += entry + QLatin1Char('\n');
        return message;
    }
    default:
        return {};
    }
}

bool ImportItemRule::isValidDateComponent(const QStringList &parts)
{
    if (parts.size() != 3)
        return false;
    const int year = leadingValue(parts.at(0));
    const int month = leadingValue(parts.at(1));
    const int day = leadingValue(parts.at(2));
    if (year < 0 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int length = month == 2 && leap ? 29 : lengths[month - 1];
    return day <= length;
}

std::optional<QDate> ImportItemRule::dateFromText(const QString &text)
{
    ImportItemRule rule;
    rule.setValueType(DateValue);
    if (!rule.errorDescriptionByStringValue(text, {}).isEmpty())
        return std::nullopt;
    const QStringList parts = *dateParts(text);
    const QDate date(leadingValue(parts.at(0)), leadingValue(parts.at(1)), leadingValue(parts.at(2)));
    if (!date.isValid())
        return std::nullopt; // the year 0, which the calendar does not have
    return date;
}
