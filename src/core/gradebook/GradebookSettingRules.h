#pragma once

#include "ConversionLetter.h"
#include "SelectSessionType.h"

#include <QList>
#include <QString>
#include <QStringList>

// The checks and texts of the gradebook settings: the pending error codes and their alert texts,
// the letter-scale range check, the weight total, trimming and the names given to new rows.
class GradebookSettingRules
{
public:
    enum ErrorCode {
        NoError = 0,
        EmptyTitle = 1,
        DuplicateTitle = 2,
        EndBeforeBeginning = 3,
        BeginningAfterEnd = 4,
        EmptySessionType = 5,
        DuplicateSessionType = 6,
        EmptyLetter = 7,
        DuplicateLetter = 8,
        StartAboveEnd = 9,
        RangesOverlap = 10,
        RangeNotZeroToHundred = 11,
        NoSessionTypeLeft = 12,
        SessionTypeInUse = 14,
    };

    // The alert text of a code ("" for 0, 13 and codes above 14); code 14 names sessionType.
    static QString errorText(int code, const QString &sessionType = {});

    // -1, 0 or 1 as a's pointFrom is below, equal to or above b's.
    static int sortLetterByPointFrom(const ConversionLetter &a, const ConversionLetter &b);
    // 0 when the letters' ranges cover 0 to 100 in whole points without gap or overlap; else
    // the first failing check: 11 for no letters, 9 a range that ends before it starts, 10 two
    // ranges that overlap, 11 a gap or ends other than 0 and 100.
    static int checkLetterRanges(const QList<ConversionLetter> &letters);

    // The sum, in single precision and in order, of the weights of the counted types.
    static float weightTotal(const QList<SelectSessionType> &types);
    // The total as the weight tab shows it: "%.1f%%".
    static QString weightTotalText(const QList<SelectSessionType> &types);
    // A weight list saves only when its total reads "100.0%".
    static bool weightsAddUpTo100(const QList<SelectSessionType> &types);

    // Without leading and trailing blanks (U+0020 only).
    static QString removeSpacesAround(const QString &text);
    // "base 1", "base 2", ...: the first such name not in taken (compared exactly).
    static QString firstFreeName(const QString &base, const QStringList &taken, const QString &separator = QStringLiteral(" "));

    // The five letters of a new scale: Letter1 90-100, Letter2 80-89, ..., Letter5 0-59.
    static QList<ConversionLetter> defaultLetters();
};
