#pragma once

#include "ConversionLetter.h"
#include "SelectSessionType.h"

#include "core/store/RecordField.h"

#include <QList>
#include <QString>
#include <QStringList>

class ReportPainter;

// The head of every page of the Class Grade Report: the class, subject and teacher, the class
// average as a letter and the grading period, over the weight list with each session type's
// weight and the letter scale with each letter's range.
class ClassGradeReportHeadView
{
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectGrade, setSubjectGrade, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
    // The class average's letter.
    POLLIX_RECORD_FIELD(QString, classAvg, setClassAvg, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, gradingPeriod, setGradingPeriod, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, weightTitle, setWeightTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, letterTitle, setLetterTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QList<SelectSessionType>, weightListArray, setWeightListArray)
    POLLIX_RECORD_FIELD(QList<ConversionLetter>, letterGradeListArray, setLetterGradeListArray)

public:
    // "Exam(40%);Lab(60%);".
    QString weightText() const;
    // "A(90-100);B(80-89);".
    QString letterText() const;

    // Draws the head into its frame (744 x 520); the weight and letter texts wrap at textWidth
    // into at most maxLines lines together, the last one cut with "..." when they need more.
    void paint(ReportPainter &painter, double textWidth = 700, int maxLines = 5) const;
};
