#pragma once

#include "core/base/CharacterSet.h"
#include "ui/controls/TextFormatter.h"

#include <QVariant>

#include <optional>

// The formatter of bounded integers, decimals and dates in the session and grade windows.
// Modes are tested in the order digit, decimal, date, plain; setting one does not clear another.
class PMResolutionFormatter : public TextFormatter
{
    Q_OBJECT
public:
    explicit PMResolutionFormatter(QObject *parent = nullptr);

    QString format() const { return m_format; }
    void setFormat(const QString &f) { m_format = f; }
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int v) { m_maxLength = v; }
    int maxNum() const { return m_maxNum; }
    int minNUm() const { return m_minNUm; }
    bool isDigit() const { return m_isDigit; }
    bool isFloat() const { return m_isFloat; }
    bool isDate() const { return m_isDate; }

    void setDigitWithMaxNum(int max);
    void setDigitWithMaxNumAndMixNum(int max, int min);
    void setFloatWithDecimalDigits(int digits, int max, int length);
    void setDate();
    void setLegalCharacterSet(const CharacterSet &set);

    // The object-to-text conversion; a null string when the object does not fit the mode.
    QString stringForObjectValue(const QVariant &value) const;
    // Styled text without attributes: plain text here.
    QString attributedStringForObjectValue(const QVariant &value) const;
    // The text-to-object conversion; false (and error set in digit mode) when refused.
    bool getObjectValue(QVariant *value, const QVariant &string, QString *error = nullptr) const;

    Verdict isPartialStringValid(const QString &proposed, const QString &typed) const override;

private:
    QString applyFormat(const QVariant &value) const;
    Verdict checkDecimal(const QString &proposed) const;
    static bool checkDate(const QString &proposed);

    QString m_format = QStringLiteral("%@");
    int m_maxLength = 0;
    int m_minNUm = -1;
    bool m_isDigit = false;
    int m_maxNum = -1;
    bool m_isDate = false;
    bool m_isFloat = false;
    int m_decimalDigits = 0;
    std::optional<CharacterSet> m_legalCharacterSet;
};
