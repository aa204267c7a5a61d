#pragma once

#include "core/base/CharacterSet.h"
#include "ui/controls/TextFormatter.h"

#include <QVariant>

class QLineEdit;

// The formatter of names, IDs and plain numbers: a maximum length, an optional largest number,
// no negative numbers, and a set of characters that may not be typed (the apostrophe unless told).
class MyEnterFormatter : public TextFormatter
{
    Q_OBJECT
public:
    explicit MyEnterFormatter(QObject *parent = nullptr);

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int v) { m_maxLength = v; }
    int maxNum() const { return m_maxNum; }
    void setMaxNum(int v) { m_maxNum = v; }
    const CharacterSet &illegalCharacterSet() const { return m_illegalCharacterSet; }

    void setAlphanumericFormater();
    void setNumberFormater();
    void setLegalCharacterSet(const CharacterSet &set);
    void setIllegalCharacterSet(const CharacterSet &set);

    static QString stringForObjectValue(const QVariant &value);
    static bool getObjectValue(QVariant *value, const QVariant &string);

    Verdict isPartialStringValid(const QString &proposed, const QString &typed) const override;

    static QString illegalCharacterError() { return QStringLiteral("illegimate character."); }

private:
    int m_maxLength = 255;
    int m_maxNum = -1;
    CharacterSet m_illegalCharacterSet = CharacterSet::characters(QStringLiteral("'"));
    std::optional<CharacterSet> m_legalCharacterSet;
};

// Gives field a new MyEnterFormatter with that maximum length, replacing any formatter it had.
MyEnterFormatter *setMaxLength(QLineEdit *field, int maxLength);
// The same, as the windows name it.
inline MyEnterFormatter *limitTextField(QLineEdit *field, int maxLength) { return setMaxLength(field, maxLength); }
