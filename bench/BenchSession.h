#pragma once

#include "core/store/QuizEntity.h"

// A normal quiz for the benchmarks: every student answers every question with B, worth 10.
inline QuizEntity benchSession(int students, int questions)
{
    QuizEntity quiz;
    quiz.setName(QStringLiteral("Bench"));
    quiz.setTitle(QStringLiteral("Week 3 & review"));
    quiz.setDate(QStringLiteral("2012-03-23T14:07:09"));
    quiz.setActionType(QStringLiteral("1"));
    quiz.setMachineName(QStringLiteral("2"));
    quiz.setClassName(QStringLiteral("Class A"));
    quiz.setSessionType(QStringLiteral("Exam"));
    for (int q = 1; q <= questions; ++q) {
        QuestionEntity question;
        question.setQuNo(q);
        question.setQuType(QStringLiteral("1"));
        question.setQuMode(QStringLiteral("1"));
        question.setRightAns(QStringLiteral("B"));
        question.setTitle(QStringLiteral("Question %1: which of these is right?").arg(q));
        for (int o = 0; o < 4; ++o) {
            QuestionOptionEntity option;
            option.setText(QStringLiteral("Option %1").arg(QChar('A' + o)));
            option.setPoint(o == 1 ? 10 : 0);
            question.allOptions().append(option);
        }
        quiz.allQuestions().append(question);
    }
    for (int s = 1; s <= students; ++s) {
        StudentEntity student;
        student.setId(QStringLiteral("S%1").arg(s, 4, 10, QLatin1Char('0')));
        student.setFirstName(QStringLiteral("First%1").arg(s));
        student.setLastName(QStringLiteral("Last%1").arg(s));
        student.setDeviceNo(s);
        quiz.allStudents().append(student);
        for (int q = 1; q <= questions; ++q) {
            ResponseDataEntity answer;
            answer.setStudentID(student.id());
            answer.setQuestionID(QString::number(q));
            answer.setResponse(QStringLiteral("B"));
            answer.setTime(7);
            answer.setStudentPoint(QStringLiteral("10"));
            quiz.allStudentsAns().append(answer);
        }
    }
    return quiz;
}
