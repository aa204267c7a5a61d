#pragma once

#include "core/store/LetterEntity.h"
#include "core/store/LetterGradeEntity.h"
#include "core/store/SessionTypeInWeight.h"
#include "core/store/WeightEntity.h"

#include <QString>

// Gradebook settings as a teacher makes them, for tests that need one in the file.
namespace GradebookSeeds {

// A scale of two letters: A for 50 to 100 points, B for 0 to 49.
inline LetterGradeEntity twoLetterScale(const QString &title)
{
    LetterGradeEntity scale;
    scale.setTitle(title);
    LetterEntity a, b;
    a.setLetter(QStringLiteral("A"));
    a.setPointFrom(50);
    a.setPointTo(100);
    b.setLetter(QStringLiteral("B"));
    b.setPointTo(49);
    scale.setLetterList({a, b});
    return scale;
}

// A weight list counting the built-in type Exam (number 2) at 100 percent.
inline WeightEntity examOnlyWeights(const QString &title)
{
    WeightEntity weights;
    weights.setTitle(title);
    SessionTypeInWeight exam;
    exam.setSessionTypeNo(2);
    exam.setIsSelect(true);
    exam.setWeight(100);
    weights.setSessionTypesInWeight({exam});
    return weights;
}

} // namespace GradebookSeeds
