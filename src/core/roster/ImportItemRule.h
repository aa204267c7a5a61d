#pragma once

#include "core/base/CharacterSet.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// What one import field accepts: a kind of check with its bounds, whether a blank or a repeated
// cell is an error, and the value that stands in for a missing or rejected one. Items share their
// rule (ImportItemRulePtr): a copy of an item is the same rule.
class ImportItemRule
{
public:
    enum ValueType {
        NoCheck = 0,
        WholeNumber = 1,   // ASCII digits only, min..max
        DecimalNumber = 2, // min..max
        LimitedText = 3,   // at most maxLength characters, none of invalidCharSet
        DateValue = 4,     // year, month, day with "-", "/" or "."
        OneOfList = 5      // one of enumStringList, ignoring case
    };

    // A rule with every default: no check, blanks and repeats allowed, default "".
    static std::shared_ptr<ImportItemRule> noNeedImportItemRule();

    bool canBeEmpty() const { return m_canBeEmpty; }
    void setCanBeEmpty(bool v) { m_canBeEmpty = v; }
    bool canBeDuplicate() const { return m_canBeDuplicate; }
    void setCanBeDuplicate(bool v) { m_canBeDuplicate = v; }
    int valueType() const { return m_valueType; }
    void setValueType(int v) { m_valueType = v; }
    float minDecimalValue() const { return m_minDecimalValue; }
    void setMinDecimalValue(float v) { m_minDecimalValue = v; }
    float maxDecimalValue() const { return m_maxDecimalValue; }
    void setMaxDecimalValue(float v) { m_maxDecimalValue = v; }
    QString defaultStringValue() const { return m_defaultStringValue; }
    void setDefaultStringValue(const QString &v) { m_defaultStringValue = v; }
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int v) { m_maxLength = v; }
    QStringList enumStringList() const { return m_enumStringList; }
    void setEnumStringList(const QStringList &v) { m_enumStringList = v; }
    const std::optional<CharacterSet> &invalidCharSet() const { return m_invalidCharSet; }
    void setInvalidCharSet(const CharacterSet &v) { m_invalidCharSet = v; }

    // The message for value (displayName fills the message), or "" when the value is acceptable.
    // Blank and repeat checks are the column's, not done here.
    QString errorDescriptionByStringValue(const QString &value, const QString &displayName) const;
    // Exactly three texts forming a valid year (0-9999), month and day.
    static bool isValidDateComponent(const QStringList &parts);
    // The date a text of the date kind names; none when the rule would refuse it or the
    // calendar has no such day.
    static std::optional<QDate> dateFromText(const QString &text);

    // The length the limits count: characters as a reader sees them, so a letter outside the
    // basic plane counts once and is never cut in half.
    static int characterCount(const QString &text);
    static QString firstCharacters(const QString &text, int count);

private:
    bool m_canBeEmpty = true;
    bool m_canBeDuplicate = true;
    int m_valueType = NoCheck;
    float m_minDecimalValue = 0;
    float m_maxDecimalValue = 0;
    QString m_defaultStringValue = QStringLiteral("");
    int m_maxLength = 0;
    QStringList m_enumStringList;
    std::optional<CharacterSet> m_invalidCharSet;
};

using ImportItemRulePtr = std::shared_ptr<ImportItemRule>;
