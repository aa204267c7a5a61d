#pragma once

#include "ClassResponseReportLayout.h"
#include "Question.h"
#include "ReportDocument.h"
#include "SingleColumnString.h"

#include <QList>

#include <functional>

class QuizEntity;

// "Class Response Report": every question's text and, for single-answer and true-or-false
// questions, each option with the share of the whole class that chose it; the others get a note.
//
// Its rows are SingleColumnString lines. nMessageType tells the kind: 0 a line of question text
// (num the question's number), 1 to 10 a line of option A to J, 11 to 13 the note of a
// multiple-answer, cloze-test or short-answer question (num 10000). An option line's num is
// 10,000,000 c + 1000 p + 1001 + 100 j + k: c 1 for the correct option, p the share in tenths
// of a percent, j the option, k the line of its text.
class ClassResponseReport : public ReportDocument
{
public:
    using Progress = std::function<void(int done, int total)>;

    enum LineKind { TitleLine = 0, FirstOptionLine = 1, LastOptionLine = 10, MultipleNote = 11, ClozeNote = 12,
                    ShortAnswerNote = 13 };
    static constexpr int kNoteNum = 10000;

    explicit ClassResponseReport(const QuizEntity &quiz, const ReportFramePolicy &policy = ReportFramePolicy::viewerFrame(),
                                 const ClassResponseReportLayout &viewLayout = ClassResponseReportLayout::standard(),
                                 const Progress &progress = {});

    // The questions with the share of the class that chose each option.
    static QList<Question> buildQuestions(const QuizEntity &quiz, const Progress &progress = {});
    // Whether option j is the question's correct one ("True" and "False" stand for A and B).
    static bool isCorrectOption(const Question &question, int j);
    // The share in tenths of a percent as the lines carry it.
    static int tenths(float percent);
    // The share as the CSV writes it: "100%", else one decimal cut, not rounded, after adding 0.05
    // ("33.3%", "0.0%").
    static QString csvPercent(float percent);

    QString reportName() const override { return QStringLiteral("Class Response Report"); }
    const QList<Question> &questionArray() const { return m_questions; }
    const QList<SingleColumnString> &strArray() const { return m_rows; }

    ReportSideList sideList() const override;
    int sideRowSelected(int row) override;

protected:
    int rowCount() const override { return int(m_rows.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 7; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    void buildRows();

    const ClassResponseReportLayout &m_layout;
    QList<Question> m_questions;
    QList<SingleColumnString> m_rows;
    // The question (index into m_questions) each row belongs to.
    QList<int> m_rowQuestion;
};
