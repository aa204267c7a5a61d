#include "ResultByQuestionReport.h"

#include "core/engine/StoredAnswers.h"
#include "ReportCSVWriter.h"
#include "ReportDrawing.h"
#include "ReportPaging.h"
#include "ReportSessionStats.h"
#include "ReportStyle.h"
#include "ResultByQuestionView.h"
#include "StudentIdOrder.h"

#include "core/engine/AnswerScoring.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/QuizEntity.h"

#include <QCoreApplication>

#include <algorithm>

ResultByQuestionReport::ResultByQuestionReport(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                               int flag, const ReportFramePolicy &policy)
    : ResultByQuestionReport(quiz, studentList, flag, policy,
                             flag == 0 ? ResultByQuestionLayout::answerDetail() : ResultByQuestionLayout::scores())
{
}

ResultByQuestionReport::ResultByQuestionReport(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                               int flag, const ReportFramePolicy &policy,
                                               const ResultByQuestionLayout &viewLayout)
    : ReportDocument(policy), m_flag(flag), m_layout(viewLayout)
{
    m_questions = ReportSessionStats::questionsWithPoints(quiz);
    m_students = buildAnswers(quiz, m_questions, studentList);
    setSessionHead(quiz);
    buildRows();
    buildPages();
}

ReportFramePolicy ResultByQuestionReport::frame()
{
    return ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::Session);
}

QString ResultByQuestionReport::reportName() const
{
    return m_flag == 0 ? QStringLiteral("Result By Question(Answer Detail)") : QStringLiteral("Result By Question(Scores)");
}

QList<StudentAnswers<AnsPointQuNo>> ResultByQuestionReport::buildAnswers(const QuizEntity &quiz,
                                                                         const QList<Question> &questions,
                                                                         const QList<SelectStudents> &studentList)
{
    QList<SelectStudents> sorted = studentList;
    sortByStudentId(sorted);
    const StoredAnswers first(quiz);

    QList<StudentAnswers<AnsPointQuNo>> students;
    for (const SelectStudents &s : sorted) {
        if (!s.isSelected())
            continue;
        StudentAnswers<AnsPointQuNo> student;
        student.setStudentNo(s.studentNo());
        student.setStudentID(s.studentID());
        student.setStudentName(s.studentName());
        for (int k = 1; k <= questions.size(); ++k) {
            const Question &q = questions.at(k - 1);
            const QString response = first.reply(s.studentID(), k - 1);
            AnsPointQuNo answer;
            answer.setQuNo(q.quNo());
            answer.setAns(AnswerScoring::isNoAnswer(response) ? QStringLiteral("__") : response);
            answer.setPoint(AnswerScoring::points(response, q.rightAns(), q.point(), AnswerScoring::WrongAnswer::CostsPoints));
            student.setTotalPoints(student.totalPoints() + answer.point());
            student.answers().append(answer);
        }
        students.append(student);
    }
    return students;
}

void ResultByQuestionReport::buildRows()
{
    const int perPage = rowPerPageFor(nameLines());
    const QFont font = ReportStyle::arial(m_layout.textSize);
    // Every student's block shows the same question texts: wrap each once.
    QList<QStringList> titleLines;
    for (const Question &q : m_questions)
        titleLines.append(getWordWrappedStrings(q.questionTitle(), m_layout.titleWidth, font));
    for (int s = 0; s < m_students.size(); ++s) {
        const StudentAnswers<AnsPointQuNo> &student = m_students.at(s);
        const auto make = [&](int flag) {
            Row row;
            row.setFlag(flag);
            row.setStudentID(student.studentID());
            row.setStudentNo(student.studentNo());
            return row;
        };
        const auto head = [&] {
            Row title = make(Row::StudentTitle);
            title.setTitle(student.studentID() + QLatin1Char(' ') + student.studentName());
            m_rows << title << make(Row::Headings);
        };
        head();
        for (int k = 1; k <= m_questions.size(); ++k) {
            const Question &q = m_questions.at(k - 1);
            const AnsPointQuNo &a = student.answers().at(k - 1);
            const QStringList &lines = titleLines.at(k - 1);
            // A question that would open a page, its answers on its first line, starts it with the
            // student's title and headings.
            if (m_layout.questionCells && !m_layout.answerLines && k > 1 && m_rows.size() % perPage == 0)
                head();
            for (int l = 0; l < lines.size(); ++l) {
                Row row = make(l == 0 ? Row::QuestionFirstLine : Row::QuestionLine);
                row.setQuNo(QString::number(k));
                row.setQuTitle(lines.at(l));
                if (l == 0) {
                    row.setResponse(a.ans());
                    row.setCorrectAnswer(q.rightAns());
                    row.setPonit(QString::number(a.point()));
                }
                m_rows << row;
            }
            if (m_layout.answerLines) {
                // Answers that would open a page start it with the student's title and headings.
                if (m_rows.size() % perPage == 0)
                    head();
                Row response = make(Row::Response);
                response.setResponse(a.ans());
                Row correct = make(Row::CorrectAnswer);
                correct.setCorrectAnswer(q.rightAns());
                m_rows << response << correct;
            }
        }
        if (m_layout.totalRow) {
            Row total = make(Row::Total);
            total.setTotalPoint(QString::number(student.totalPoints()));
            m_rows << total;
        }
        if (s + 1 < m_students.size())
            m_rows << make(Row::Separator);
    }
}

int ResultByQuestionReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void ResultByQuestionReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    ResultByQuestionView(m_layout, m_rows.mid(slice.first, slice.count)).paint(painter);
}

ReportSideList ResultByQuestionReport::sideList() const
{
    ReportSideList list;
    list.headers = {QCoreApplication::translate("Report", "Student ID"),
                    QCoreApplication::translate("Report", "Student Name")};
    for (const auto &s : m_students)
        list.rows.append({s.studentID(), s.studentName()});
    return list;
}

int ResultByQuestionReport::sideRowSelected(int row)
{
    if (row < 0 || row >= m_students.size())
        return 0;
    const QString id = m_students.at(row).studentID();
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).studentID() == id)
            return ReportPaging::pageOfRow(pages(), i);
    return 0;
}

void ResultByQuestionReport::writeCSVBody(ReportCSVWriter &csv) const
{
    const bool detail = m_layout.answerLines;
    if (detail) {
        // The note stands in the row the head leaves empty.
        csv.nextRow(-1);
        csv.answerNote();
        csv.nextRow();
    }
    QString titled; // the student whose title was written last: a title repeated at a page's top is not
    for (const Row &row : m_rows) {
        switch (row.flag()) {
        case Row::StudentTitle:
            if (row.studentID() == titled && !titled.isNull())
                break;
            titled = row.studentID();
            csv.set(1, row.title());
            csv.nextRow();
            csv.set(2, QStringLiteral("Q#"));
            csv.set(3, QStringLiteral("Question Test"));
            if (!detail)
                csv.set(8, QStringLiteral("Point"));
            csv.nextRow();
            break;
        case Row::QuestionFirstLine:
        case Row::QuestionLine:
            if (row.flag() == Row::QuestionFirstLine) {
                csv.set(2, row.quNo());
                if (!detail)
                    csv.set(8, row.ponit());
            }
            csv.set(3, row.quTitle());
            csv.nextRow();
            break;
        case Row::Response:
            csv.set(2, QStringLiteral("Response"));
            csv.set(3, row.response());
            csv.nextRow();
            break;
        case Row::CorrectAnswer:
            csv.set(1, QStringLiteral("CorrectAnswer"));
            csv.set(3, row.correctAnswer());
            csv.nextRow();
            break;
        case Row::Total:
            csv.set(7, QStringLiteral("Total Point:"));
            csv.set(8, row.totalPoint());
            csv.nextRow();
            break;
        case Row::Separator:
            titled = QString();
            csv.nextRow();
            break;
        default:
            break;
        }
    }
}
