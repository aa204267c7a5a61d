#pragma once

#include "Question.h"
#include "ReportDocument.h"
#include "SelectStudents.h"
#include "StudyGuide.h"
#include "StudyGuideLayout.h"

#include <QList>

class QuizEntity;

// "Study Guide": for each ticked student, the questions of the session the student did not answer
// right, with their texts, options, the student's answer and the correct one. Each student starts
// on a page of their own.
class StudyGuideReport : public ReportDocument
{
public:
    StudyGuideReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                     const ReportFramePolicy &policy = ReportFramePolicy::viewerFrame(),
                     const StudyGuideLayout &viewLayout = StudyGuideLayout::standard(), const Progress &progress = {});

    QString reportName() const override { return QStringLiteral("Study Guide"); }
    const QList<StudyGuide> &studyGuideArray() const { return m_guides; }

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

    const StudyGuideLayout &m_layout;
    QList<Question> m_questions;
    QList<StudyGuide> m_guides;
    // The first row of each student among the report's rows.
    QList<int> m_firstRow;
};
