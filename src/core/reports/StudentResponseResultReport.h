#pragma once

#include "ReportDocument.h"
#include "SelectStudents.h"
#include "SingleColumnString.h"
#include "StudentAnswers.h"
#include "StudentResponseResultLayout.h"

#include <QList>

class QuizEntity;

// "Student Response Result": for each ticked student, the whole question paper of the session
// as the student answered it: every question's text, its options or a mark, the student's answer
// with a tick or a cross, the points gained on it, and the student's total. Each student starts on
// a page of their own.
class StudentResponseResultReport : public ReportDocument
{
public:
    StudentResponseResultReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                const ReportFramePolicy &policy = ReportFramePolicy::viewerFrame(),
                                const StudentResponseResultLayout &viewLayout = StudentResponseResultLayout::standard(),
                                const Progress &progress = {});

    QString reportName() const override { return QStringLiteral("Student Response Result"); }
    // One per ticked student: totalPoints the session's stored total; answers one per question
    // (str the reply, "" for none; num 1 when right, else 0; point the points gained).
    const QList<StudentAnswers<>> &studentAnswersArray() const { return m_students; }
    // The question paper's lines, the same for every student.
    const QList<SingleColumnString> &arrayForCSV() const { return m_lines; }
    // The session's stored activity code.
    int actMode() const { return m_actMode; }

    ReportSideList sideList() const override;
    int sideRowSelected(int row) override;

protected:
    int rowCount() const override { return int(m_lines.size() * m_students.size()); }
    int rowPerPageFor(int nameLines) const override;
    QList<ReportPageSlice> cutPages() const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 9; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    void buildLines(const QuizEntity &quiz);
    void mark(const QuizEntity &quiz, const QList<SelectStudents> &students, const Progress &progress);

    const StudentResponseResultLayout &m_layout;
    int m_actMode = -1;
    QList<SingleColumnString> m_lines;
    QList<StudentAnswers<>> m_students;
};
