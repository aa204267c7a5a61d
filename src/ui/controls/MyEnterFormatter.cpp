#include "MyEnterFormatter.h"

#include <QLineEdit>

MyEnterFormatter::MyEnterFormatter(QObject *parent) : TextFormatter(parent) {}

void MyEnterFormatter::setAlphanumericFormater()
{
    m_illegalCharacterSet = CharacterSet::alphanumerics().inverted();
}

void MyEnterFormatter::setNumberFormater()
{
    m_illegalCharacterSet = CharacterSet::decimalDigits().inverted();
}

void MyEnterFormatter::setLegalCharacterSet(const CharacterSet &set)
{
    if (m_legalCharacterSet && *m_legalCharacterSet == set)
        return;
    m_legalCharacterSet = set;
    m_illegalCharacterSet = set.inverted();
}

void MyEnterFormatter::setIllegalCharacterSet(const CharacterSet &set)
{
    m_illegalCharacterSet = set;
}

QString MyEnterFormatter::stringForObjectValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
        return QString::number(value.toInt());
    case QMetaType::QString:
        return value.toString();
    default:
        return QString();
    }
}

bool MyEnterFormatter::getObjectValue(QVariant *value, const QVariant &string)
{
    if (string.typeId() != QMetaType::QString) {
        *value = QVariant();
        return false;
    }
    *value = string.toString();
    return true;
}

TextFormatter::Verdict MyEnterFormatter::isPartialStringValid(const QString &proposed, const QString &typed) const
{
    if (proposed.size() > m_maxLength)
        return {false, {}, {}};
    const int number = leadingInteger(proposed);
    if (m_maxNum != -1 && number > m_maxNum)
        return {false, {}, {}};
    if (number < 0)
        return {false, {}, {}};
    if (m_illegalCharacterSet.intersects(typed))
        return {false, {}, illegalCharacterError()};
    return {};
}

MyEnterFormatter *setMaxLength(QLineEdit *field, int maxLength)
{
    auto *f = new MyEnterFormatter(field);
    f->setMaxLength(maxLength);
    f->attachTo(field);
    return f;
}
