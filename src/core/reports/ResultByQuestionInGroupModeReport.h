#pragma once

#include "GroupAndStudentsPoint.h"
#include "QuestionAndQuestionNum.h"
#include "ReportDocument.h"
#include "ResultByQuestionInGroupModeLayout.h"
#include "ResultsByQuestionInGroupModePrintDate.h"

#include <QList>

class StoredAnswers;
class QuizEntity;

// "Result By Question" of a group session: for every question (by number), every group of the
// attending students with its members' responses, their points on the question, their points in
// the session and whether they were right; each group with its points, extra points, members,
// participants and correct rate; each question closing with the same figures over all groups.
// Each question starts a page; pages are cut as the rows are made (a group going on over a page
// repeats its header there). The outline beside the pages holds a node per question and a leaf
// per group, each leading to the page it starts on.
class ResultByQuestionInGroupModeReport : public ReportDocument
{
public:
    explicit ResultByQuestionInGroupModeReport(
        const QuizEntity &quiz, const ReportFramePolicy &policy = ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::Session),
        const ResultByQuestionInGroupModeLayout &viewLayout = ResultByQuestionInGroupModeLayout::standard());

    QString reportName() const override { return QStringLiteral("Result By Question"); }
    // Ascending by number; question k of the report is entry k - 1, labelled "Question k" on its
    // pages, in the outline and in the CSV alike.
    const QList<QuestionAndQuestionNum> &questionArray() const { return m_questions; }
    const QList<GroupAndStudentsPoint> &groupArray() const { return m_groups; }
    int totalStudent() const { return m_totalStudent; }
    // The rows of all pages in page order (a page's slice is its run of them; its owner is the
    // question's index).
    const QList<ResultsByQuestionInGroupModePrintDate> &arrayForCSV() const { return m_rows; }

    QList<NodeDataPtr> outline() const override { return m_nodes; }

protected:
    int rowCount() const override { return int(m_rows.size()); }
    QList<ReportPageSlice> cutPages() const override { return m_slices; }
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 8; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    // position: the question's place in the stored order, which its answers are paired by.
    void buildQuestion(const QuizEntity &quiz, const StoredAnswers &first, int k, int position, int nameLines);

    const ResultByQuestionInGroupModeLayout &m_layout;
    QList<QuestionAndQuestionNum> m_questions;
    QList<GroupAndStudentsPoint> m_groups;
    int m_totalStudent = 0;
    QList<ResultsByQuestionInGroupModePrintDate> m_rows;
    QList<ReportPageSlice> m_slices;
    QList<NodeDataPtr> m_nodes;
};
