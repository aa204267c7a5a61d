#include "StandardsAnalysisReport.h"

#include "PersonalStandardsReport.h"
#include "PersonalStandardsReportView.h"
#include "ReportPaging.h"

#include "core/base/PrintfNumber.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/DataManager.h"

#include <QHash>
#include <algorithm>
#include <QSet>

StandardsAnalysisReport::StandardsAnalysisReport(const QuizEntity &quiz, const ReportFramePolicy &policy,
                                                 const PersonalStandardsReportLayout &viewLayout)
    : ReportDocument(policy), m_layout(viewLayout), m_codes(PersonalStandardsReport::standardCodes(quiz))
{
    const QList<StudentEntity> present = DataManager::getAttendStudentInfoInOneQuiz(quiz);
    m_totalStudents = int(present.size());
    QSet<QString> attendants;
    for (const StudentEntity &s : present)
        attendants.insert(s.id());

    // A code's share is the mean of its questions' shares, each rounded first.
    // Summed in the order of the question numbers, as the codes were found.
    QList<const QuestionEntity *> questions;
    for (const QuestionEntity &q : quiz.allQuestions())
        if (q.standard() && !q.standard()->code().isEmpty())
            questions.append(&q);
    std::stable_sort(questions.begin(), questions.end(),
                     [](const QuestionEntity *a, const QuestionEntity *b) { return a->quNo() < b->quNo(); });
    QHash<QString, float> sums;
    const StoredAnswers stored(quiz);
    for (const QuestionEntity *q : questions)
        sums[q->standard()->code()] +=
            questionRate(quiz, stored, int(q - quiz.allQuestions().constData()), attendants, m_totalStudents);
    for (CodeStandardCorrect &code : m_codes) {
        code.setCorrect(sums.value(code.code()) / float(code.quNoArray().size()));
        m_rows.append(PersonalStandardsReport::codeRows(code, code.correct(), m_layout));
    }
    setSessionHead(quiz);
    buildPages();
}

float StandardsAnalysisReport::questionRate(const QuizEntity &quiz, const StoredAnswers &stored, int position,
                                            const QSet<QString> &attendants, int totalStudents)
{
    if (totalStudents <= 0 || position < 0 || position >= quiz.allQuestions().size())
        return 0.0f;
    const QuestionEntity &question = quiz.allQuestions().at(position);
    const QString reply = DataManager::storedReplyOf(question, question.rightAns());
    int right = 0;
    for (const QString &id : attendants) {
        const ResponseDataEntity *a = stored.find(id, position);
        right += a && a->response() == reply ? 1 : 0;
    }
    return PrintfNumber::fixed(double(right) / double(totalStudents), 3).toFloat();
}

int StandardsAnalysisReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void StandardsAnalysisReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    PersonalStandardsReportView(m_layout, m_rows.mid(slice.first, slice.count)).paint(painter);
}

void StandardsAnalysisReport::writeCSVBody(ReportCSVWriter &csv) const
{
    PersonalStandardsReport::writeRows(csv, m_rows, 3);
}
