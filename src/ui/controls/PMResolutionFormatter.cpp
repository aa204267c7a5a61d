#include "PMResolutionFormatter.h"

#include <QRegularExpression>

#include <cmath>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int decimalDigitCount(int n)
{
    int count = 0;
    for (; n > 0; n /= 10)
        ++count;
    return count;
}

bool isLeapYear(int year)
{
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

} // namespace

PMResolutionFormatter::PMResolutionFormatter(QObject *parent) : TextFormatter(parent) {}

void PMResolutionFormatter::setDigitWithMaxNum(int max)
{
    m_isDigit = true;
    m_format = QStringLiteral("%d");
    m_maxNum = max;
    m_maxLength = decimalDigitCount(max);
}

void PMResolutionFormatter::setDigitWithMaxNumAndMixNum(int max, int min)
{
    setDigitWithMaxNum(max);
    m_minNUm = min;
}

void PMResolutionFormatter::setFloatWithDecimalDigits(int digits, int max, int length)
{
    m_isFloat = true;
    m_format = QStringLiteral("%.%1f").arg(digits);
    m_decimalDigits = digits;
    m_maxNum = max;
    m_maxLength = length;
}

void PMResolutionFormatter::setDate()
{
    m_isDate = true;
    m_maxLength = 10;
}

void PMResolutionFormatter::setLegalCharacterSet(const CharacterSet &set)
{
    m_legalCharacterSet = set;
}

// The formats are the program's own: "%d", "%.Nf" or text with "%@".
QString PMResolutionFormatter::applyFormat(const QVariant &value) const
{
    static const QRegularExpression token(QStringLiteral("%(d|@|\\.(\\d+)f)"));
    QString out;
    qsizetype last = 0;
    auto it = token.globalMatch(m_format);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += m_format.mid(last, m.capturedStart() - last);
        if (m.captured(1) == QLatin1String("d"))
            out += QString::number(value.toInt());
        else if (m.captured(1) == QLatin1String("@"))
            out += value.toString();
        else
            out += QString::number(value.toDouble(), 'f', m.captured(2).toInt());
        last = m.capturedEnd();
    }
    out += m_format.mid(last);
    return out;
}

QString PMResolutionFormatter::stringForObjectValue(const QVariant &value) const
{
    const bool isNumber = value.typeId() == QMetaType::Int || value.typeId() == QMetaType::Double
        || value.typeId() == QMetaType::LongLong;
    if (m_isDigit || m_isFloat)
        return isNumber ? applyFormat(value) : QString();
    return applyFormat(value);
}

QString PMResolutionFormatter::attributedStringForObjectValue(const QVariant &value) const
{
    return applyFormat(value);
}

bool PMResolutionFormatter::getObjectValue(QVariant *value, const QVariant &string, QString *error) const
{
    const bool isString = string.typeId() == QMetaType::QString;
    *value = QVariant();
    if (m_isDigit) {
        if (!isString) {
            if (error)
                *error = QStringLiteral("Couldn\u2019t convert  to int");
            return false;
        }
        *value = leadingInteger(string.toString());
        return true;
    }
    if (m_isFloat) {
        if (!isString)
            return false;
        *value = string.toString().trimmed().toDouble();
        return true;
    }
    if (m_isDate) {
        if (!isString || string.toString().size() != 10)
            return false;
        *value = string.toString();
        return true;
    }
    *value = string.toString();
    return true;
}

TextFormatter::Verdict PMResolutionFormatter::checkDecimal(const QString &proposed) const
{
    const qsizetype length = proposed.size();
    bool seenPoint = false;
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = proposed.at(i);
        if (c == QLatin1Char('.') && i >= length - m_decimalDigits - 1 && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (!isAsciiDigit(c))
            return {false, {}, {}};
    }
    if (m_maxNum != -1 && proposed.toDouble() > m_maxNum)
        return {false, applyFormat(double(m_maxNum)), {}};
    return {};
}

bool PMResolutionFormatter::checkDate(const QString &t)
{
    const auto at = [&t](int i) { return t.at(i); };
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = at(i);
        switch (i) {
        case 0:
        case 1:
        case 2:
            if (!isAsciiDigit(c))
                return false;
            break;
        case 3:
            if (!isAsciiDigit(c) || leadingInteger(t) < 1)
                return false;
            break;
        case 4:
        case 7:
            if (c != QLatin1Char('-'))
                return false;
            break;
        case 5:
            if (c != QLatin1Char('0') && c != QLatin1Char('1'))
                return false;
            break;
        case 6:
            if (at(5) == QLatin1Char('0') ? !(c >= QLatin1Char('1') && c <= QLatin1Char('9'))
                                          : !(c >= QLatin1Char('0') && c <= QLatin1Char('2')))
                return false;
            break;
        case 8: {
            const bool february = at(5) == QLatin1Char('0') && at(6) == QLatin1Char('2');
            if (!(c >= QLatin1Char('0') && c <= (february ? QLatin1Char('2') : QLatin1Char('3'))))
                return false;
            break;
        }
        case 9: {
            if (!isAsciiDigit(c))
                return false;
            const int year = t.left(4).toInt();
            const int month = t.mid(5, 2).toInt();
            const QChar d = at(8);
            if (d == QLatin1Char('0') && c == QLatin1Char('0'))
                return false;
            switch (month) {
            case 1: case 3: case 5: case 7: case 8: case 10: case 12:
                if (d == QLatin1Char('3') && c > QLatin1Char('1'))
                    return false;
                break;
            case 4: case 6: case 9: case 11:
                if (d == QLatin1Char('3') && c != QLatin1Char('0'))
                    return false;
                break;
            case 2:
                if (d == QLatin1Char('2') && c > (isLeapYear(year) ? QLatin1Char('9') : QLatin1Char('8')))
                    return false;
                break;
            default:
                return false;
            }
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

TextFormatter::Verdict PMResolutionFormatter::isPartialStringValid(const QString &proposed, const QString &typed) const
{
    // The length bounds what is typed: a longer text the program put in the field stays whole
    // (it never grows) until the teacher shortens or replaces it.
    if (proposed.size() > m_maxLength && proposed.size() > committedText().size())
        return {false, {}, {}};
    if (m_isDigit) {
        for (QChar c : typed)
            if (c.category() != QChar::Number_DecimalDigit)
                return {false, {}, {}};
        const int value = leadingInteger(proposed);
        if (m_maxNum != -1 && value > m_maxNum)
            return {false, QString::number(m_maxNum), {}};
        if (m_minNUm != -1 && value < m_minNUm)
            return {false, QString::number(m_minNUm), {}};
        return {};
    }
    if (m_isFloat)
        return checkDecimal(proposed);
    if (m_isDate)
        return {checkDate(proposed), {}, {}};
    if (m_legalCharacterSet && !m_legalCharacterSet->containsAll(typed))
        return {false, {}, {}};
    return {};
}
