#include "ResultOfEliminationReport.h"

#include "EliminationStudentListView.h"
#include "core/engine/StoredAnswers.h"
#include "ReportCSVWriter.h"
#include "ReportSessionStats.h"
#include "ResultOfEliminationAllStudentResponseView.h"

#include "core/engine/AnswerScoring.h"
#include "core/store/QuizEntity.h"

#include <QCoreApplication>

#include <algorithm>

ResultOfEliminationReport::ResultOfEliminationReport(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                                     int flag, const ReportFramePolicy &policy,
                                                     const ResultOfEliminationLayout &viewLayout)
    : ReportDocument(policy), m_flag(flag), m_layout(viewLayout)
{
    // Shown in the order of their numbers; each keeps its stored position, which its answers name.
    const QList<Question> inStoredOrder = ReportSessionStats::questionsWithPoints(quiz);
    QList<int> positions;
    for (int p = 0; p < inStoredOrder.size(); ++p)
        positions.append(p);
    std::stable_sort(positions.begin(), positions.end(),
                     [&](int a, int b) { return inStoredOrder.at(a).quNo() < inStoredOrder.at(b).quNo(); });
    for (int p : positions) {
        QuestionAndQuestionNum record;
        record.setQuestion(inStoredOrder.at(p));
        m_questions.append(record);
    }
    for (int k = 1; k <= m_questions.size(); ++k) {
        m_questions[k - 1].setNo(k);
        m_questions[k - 1].setQuestionNo(QStringLiteral("Question %1").arg(k));
    }

    const StoredAnswers first(quiz);
    for (const SelectStudents &s : studentList) {
        if (!s.isSelected())
            continue;
        StudentAnswers<AnsPointQuNo> student;
        student.setStudentNo(s.studentNo());
        student.setStudentID(s.studentID());
        student.setStudentName(s.studentName());
        for (int k = 0; k < m_questions.size(); ++k) {
            const Question &q = m_questions.at(k).question();
            const ResponseDataEntity *stored = first.find(s.studentID(), positions.at(k));
            AnsPointQuNo answer;
            answer.setQuNo(q.quNo());
            if (!stored || (stored->response().isEmpty() && !q.rightAns().isEmpty())) {
                answer.setAns(QStringLiteral("__"));
            } else {
                answer.setAns(stored->response());
                answer.setPoint(AnswerScoring::points(stored->response(), q.rightAns(), q.point(),
                                                      AnswerScoring::WrongAnswer::CostsPoints));
            }
            student.setTotalPoints(student.totalPoints() + answer.point());
            student.answers().append(answer);
        }
        m_students.append(student);
    }

    for (int k = 0; k < m_questions.size(); ++k) {
        const Question &q = m_questions.at(k).question();
        QList<ResultOfEliminationPrintDate> rows;
        for (const StudentAnswers<AnsPointQuNo> &student : m_students) {
            ResultOfEliminationPrintDate row;
            row.setQuestionNo(QString::number(k + 1));
            row.setQuestionPoint(QString::number(q.point()));
            row.setStudentID(student.studentID());
            row.setStudentName(student.studentName());
            row.setResponse(student.answers().at(k).ans());
            // "__" (no answer) is never the right answer: the student is out.
            row.setIsFail(row.response() != q.rightAns());
            rows.append(row);
        }
        m_rows.append(rows);
    }
    setSessionHead(quiz);
    QList<int> rows, failures;
    for (int k = 0; k < m_rows.size(); ++k) {
        rows.append(int(m_rows.at(k).size()));
        failures.append(int(failed(k).size()));
    }
    m_pageTable = pagesFor(rows, failures, rowPerPageFor(nameLines()), listRowsPerPage());
    buildPages();
}

ReportFramePolicy ResultOfEliminationReport::frame()
{
    return ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::Session);
}

QList<ResultOfEliminationReport::Page> ResultOfEliminationReport::pagesFor(const QList<int> &rowsPerQuestion,
                                                                           const QList<int> &failedPerQuestion,
                                                                           int rowPerPage, int listRowsPerPage)
{
    const int perPage = std::max(1, rowPerPage), perList = std::max(1, listRowsPerPage);
    QList<Page> pages;
    for (int k = 0; k < rowsPerQuestion.size(); ++k) {
        for (int first = 0; first < rowsPerQuestion.at(k); first += perPage)
            pages.append({k, false, first, std::min(perPage, rowsPerQuestion.at(k) - first)});
        // The list has a page even when nobody is out.
        const int failed = failedPerQuestion.value(k);
        int first = 0;
        do {
            pages.append({k, true, first, std::min(perList, failed - first)});
            first += perList;
        } while (first < failed);
    }
    return pages;
}

int ResultOfEliminationReport::rowPerPageFor(int nameLines) const
{
    return std::max(1, (m_layout.rowsBase - 25 * nameLines) / m_layout.rowHeight);
}

int ResultOfEliminationReport::listRowsPerPage() const
{
    // The list's rows start 51 below the page view's top: no more than the view can hold.
    const int height = int(bodyFrame({}).height());
    return std::clamp((height - 51) / 25 + 1, 1, m_layout.listRowsMax);
}

QList<ResultOfEliminationPrintDate> ResultOfEliminationReport::failed(int question) const
{
    QList<ResultOfEliminationPrintDate> out;
    for (const ResultOfEliminationPrintDate &row : m_rows.at(question))
        if (row.isFail())
            out.append(row);
    return out;
}

QList<ReportPageSlice> ResultOfEliminationReport::cutPages() const
{
    QList<ReportPageSlice> slices;
    for (int p = 0; p < m_pageTable.size(); ++p)
        slices.append({p, m_pageTable.at(p).first, m_pageTable.at(p).count, false});
    return slices;
}

void ResultOfEliminationReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    if (m_pageTable.isEmpty())
        return;
    const Page &page = m_pageTable.value(slice.owner);
    if (page.eliminatedList)
        EliminationStudentListView(failed(page.question).mid(page.first, page.count), page.question + 1).paint(painter);
    else
        ResultOfEliminationAllStudentResponseView(m_layout, m_rows.at(page.question).mid(page.first, page.count),
                                                  page.question + 1)
            .paint(painter);
}

ReportSideList ResultOfEliminationReport::sideList() const
{
    ReportSideList list;
    list.headers = {QCoreApplication::translate("Report", "Q#"), QCoreApplication::translate("Report", "Question")};
    for (const QuestionAndQuestionNum &q : m_questions)
        list.rows.append({q.questionNo(), q.question().questionTitle()});
    return list;
}

int ResultOfEliminationReport::sideRowSelected(int row)
{
    for (int p = 0; p < m_pageTable.size(); ++p)
        if (m_pageTable.at(p).question == row)
            return p + 1;
    return 0;
}

void ResultOfEliminationReport::writeCSVBody(ReportCSVWriter &csv) const
{
    for (int k = 0; k < m_questions.size(); ++k) {
        csv.set(1, m_questions.at(k).questionNo());
        csv.nextRow();
        csv.set(2, QStringLiteral("Q#"));
        csv.set(3, QStringLiteral("Question Point"));
        csv.set(5, QStringLiteral("Student ID"));
        csv.set(7, QStringLiteral("Student Name"));
        csv.nextRow();
        for (const ResultOfEliminationPrintDate &row : m_rows.at(k)) {
            csv.set(2, row.questionNo());
            csv.set(3, row.questionPoint());
            csv.set(5, row.studentID());
            csv.set(7, row.studentName());
            csv.nextRow();
            csv.set(2, QStringLiteral("Response"));
            csv.set(3, row.response());
            csv.nextRow();
        }
        csv.set(1, QStringLiteral("Eliminated Student List:"));
        csv.nextRow();
        csv.set(3, QStringLiteral("Student ID"));
        csv.set(5, QStringLiteral("Student Name"));
        csv.nextRow();
        // The same students as the pages list.
        for (const ResultOfEliminationPrintDate &row : failed(k)) {
            csv.set(3, row.studentID());
            csv.set(5, row.studentName());
            csv.nextRow();
        }
    }
}
