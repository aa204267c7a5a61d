#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// Text and list helpers shared across the program.

// Leading and trailing spaces and tabs removed; line ends are kept.
QString trimString(const QString &s);
// "True" gives "A", "False" gives "B" (any case); anything else the trimmed text.
QString trueFalseStringToString(const QString &s);
// "True", "T", "A" give "True"; "False", "F", "B" give "False" (any case); else the trimmed text.
QString stringToTureFalseString(const QString &s);
// A backslash before every backslash and apostrophe.
QString conversionString(const QString &s);
// The characters of a text of at most 10 characters in ascending order; longer texts unchanged.
QString sortString(const QString &s);
// Answer comparison: exact equality.
bool myStringIsEqualToString(const QString &a, const QString &b);

// The local time now as "YYYY-MM-DDTHH:MM:SS".
QString GetDateTimeNow();
// "first last", or whichever is non-empty, or "Null" when both are empty.
QString mergeFirstLastString(const QString &first, const QString &last);
QString TrimString(const QString &s);

void MyCopyMutableArrayToMutableArray(const QList<int> &source, QList<int> &target);
void MyAddValueToMutableArray(int value, QList<int> &array);
void MYRemoveValueFromMutableArray(int value, QList<int> &array);

// Sort comparators: -1, 0 or 1. The context's "order" of -1 keeps the natural order, anything
// else reverses it; MyCompareFunction compares the values under the context's "key" when given.
int MyCompareFunctionForSortString(const QVariant &a, const QVariant &b, const QVariantMap &context);
int MyCompareFunction(const QVariant &a, const QVariant &b, const QVariantMap &context);
int compare(const char16_t *a, const char16_t *b);
bool MyIsEqualToForFractionAndDecimal(const QString &a, const QString &b);
