#pragma once

#include "ClassStudyGuideLayout.h"
#include "ReportDocument.h"
#include "SelectStudents.h"
#include "SingleColumnString.h"
#include "StudentAnswers.h"

#include <QList>

class QuizEntity;

// "Class Study Guide": for each ticked student, how many questions of the session the student
// missed and what share of them that is, with each missed question's number, correct answer and
// the student's answer. Each student starts on a page of their own.
class ClassStudyGuideReport : public ReportDocument
{
public:
    ClassStudyGuideReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                          const ReportFramePolicy &policy = ReportFramePolicy::viewerFrame(),
                          const ClassStudyGuideLayout &viewLayout = ClassStudyGuideLayout::standard(),
                          const Progress &progress = {});

    QString reportName() const override { return QStringLiteral("Class Study Guide"); }
    // answers: the student's missed questions (num the question's number, str the reply, "__"
    // when the student has none).
    const QList<StudentAnswers<>> &studentAnswersArray() const { return m_students; }
    // num the question's number, str its correct answer.
    const QList<SingleColumnString> &questionArray() const { return m_questions; }
    // Missed questions a page holds.
    int entriesPerPage() const;

    ReportSideList sideList() const override;
    int sideRowSelected(int row) override;

protected:
    int rowCount() const override;
    int rowPerPageFor(int nameLines) const override;
    QList<ReportPageSlice> cutPages() const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 5; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    void build(const QuizEntity &quiz, const QList<SelectStudents> &students, const Progress &progress);

    const ClassStudyGuideLayout &m_layout;
    QList<SingleColumnString> m_questions;
    QList<StudentAnswers<>> m_students;
    // The first entry of each student among the report's entries.
    QList<int> m_firstEntry;
};
