#include "SessionQuestionReport.h"

#include "QuestionReportView.h"
#include "ReportCSVWriter.h"
#include "ReportPaging.h"
#include "ReportQuestionLines.h"
#include "ReportStyle.h"

#include "core/base/CommonFunc.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/DataManager.h"
#include "core/store/QuizEntity.h"

#include <QCoreApplication>

#include <algorithm>

using namespace ReportQuestionLines;

namespace {
const QString kNoAnswer = QStringLiteral("__");

// The bar a reply counts under: a letter A to J of a single-answer question, "True" (A) or
// "False" (B) of a true-or-false question; anything else is Other.
int barOf(int type, const QString &reply)
{
    if (type == 5) {
        const QString tf = stringToTureFalseString(reply);
        if (tf == QLatin1String("True"))
            return 0;
        if (tf == QLatin1String("False"))
            return 1;
        return ChoiseCount::kOther;
    }
    if (reply.size() == 1 && reply.at(0) >= QLatin1Char('A') && reply.at(0) <= QLatin1Char('J'))
        return reply.at(0).unicode() - u'A';
    return ChoiseCount::kOther;
}
} // namespace

SessionQuestionReport::SessionQuestionReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                             const ReportFramePolicy &policy, const QuestionReportLayout &viewLayout,
                                             const Progress &progress)
    : ReportDocument(policy), m_layout(viewLayout)
{
    setSessionHead(quiz);
    gather(quiz, students, progress);
    buildBlocks();
    buildPages();
}

void SessionQuestionReport::gather(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                   const Progress &progress)
{
    for (const QuestionEntity &stored : quiz.allQuestions()) {
        Question q;
        q.setQuNo(stored.quNo());
        q.setActQuNo(stored.quNo());
        q.setQuestionTitle(stored.title());
        q.setRightAns(stored.rightAns());
        q.setOptionNo(int(stored.allOptions().size()));
        q.setQuType(stored.quType());
        q.setQuMode(stored.quMode());
        q.setQuTypeNo(DataManager::getQuTypeNoByName(stored.quType()));
        if (q.quTypeNo() == 1 || q.quTypeNo() == 2 || q.quTypeNo() == 5)
            for (const QuestionOptionEntity &option : stored.allOptions())
                q.options().append(option.text());
        m_questions.append(q);
        m_choises.append(ChoiseCount());
    }

    const StoredAnswers stored(quiz);
    forEachTicked(students, progress, [&](const SelectStudents &row) {
        StudentAnswers<> student = studentOf(row);
        const QList<const ResponseDataEntity *> answers = stored.answersOf(row.studentID());
        for (int k = 0; k < m_questions.size(); ++k) {
            const Question &question = m_questions.at(k);
            SingleColumnString answer;
            answer.setNum(question.actQuNo());
            answer.setStr(answers.at(k) ? answers.at(k)->response() : kNoAnswer);
            student.answers().append(answer);
            if (question.quTypeNo() == 1 || question.quTypeNo() == 5)
                m_choises[k].add(barOf(question.quTypeNo(), answer.str()));
        }
        m_students.append(student);
    });
}

void SessionQuestionReport::buildBlocks()
{
    const QFont font = ReportStyle::arial(m_layout.textSize);
    for (const Question &question : m_questions) {
        QList<SingleColumnString> block = textLines(question.questionTitle(), m_layout.textWidth, font);
        switch (question.quTypeNo()) {
        case 1:
        case 2:
        case 5:
            block += optionLines(question.options().mid(0, question.optionNo()), m_layout.optionWidth, font);
            break;
        case 3:
            block.append(line(kMarker, QStringLiteral("Cloze Test"), ClozeMark));
            break;
        case 4:
            block.append(line(kMarker, QStringLiteral("Short Answer"), ShortAnswerMark));
            break;
        default:
            break;
        }
        block.append(line(QuestionReportView::kCorrectAnswer, QStringLiteral("Correct Answer:") + question.rightAns(),
                          CorrectAnswerRow));
        block.append(line(QuestionReportView::kHeading, QString(), HeadingRow));
        m_firstRow.append(m_rowCount);
        m_rowCount += int(block.size() + m_students.size());
        m_blocks.append(block);
    }
}

bool SessionQuestionReport::hasChart(const Question &question) const
{
    return m_layout.chartTypes.contains(question.quTypeNo());
}

int SessionQuestionReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

QList<ReportPageSlice> SessionQuestionReport::cutPages() const
{
    // A question's last page carries its chart when the chart's rows stay free below the last
    // row; else the chart has a page of its own.
    QList<int> rows, thresholds;
    for (int i = 0; i < m_questions.size(); ++i) {
        rows.append(int(m_blocks.at(i).size() + m_students.size()));
        thresholds.append(hasChart(m_questions.at(i)) ? std::max(0, rowPerPage() - m_layout.chartRows) : -1);
    }
    return ReportPaging::cutPerOwner(rows, rowPerPage(), thresholds);
}

QList<int> SessionQuestionReport::pageArray() const
{
    QList<int> counts(m_questions.size(), 0);
    if (m_questions.isEmpty())
        return counts;
    for (const ReportPageSlice &page : pages())
        ++counts[page.owner];
    return counts;
}

void SessionQuestionReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    const int i = slice.owner;
    if (i < 0 || i >= m_questions.size()) {
        QuestionReportView(m_layout, {}, {}, 0, std::nullopt).paint(painter);
        return;
    }
    const QList<SingleColumnString> &block = m_blocks.at(i);
    const int from = slice.first - m_firstRow.at(i);
    const int to = from + slice.count;
    const int blockSize = int(block.size());
    const QList<SingleColumnString> rows = block.mid(from, std::max(0, std::min(to, blockSize) - from));
    const int studentFrom = std::max(from, blockSize) - blockSize;
    const QList<StudentAnswers<>> students = m_students.mid(studentFrom, std::max(0, to - blockSize - studentFrom));
    const bool chart = slice.hasSignature && hasChart(m_questions.at(i));
    QuestionReportView(m_layout, rows, students, i, chart ? std::optional(m_choises.at(i)) : std::nullopt)
        .paint(painter);
}

ReportSideList SessionQuestionReport::sideList() const
{
    ReportSideList list;
    list.headers = {QCoreApplication::translate("Report", "Q#"), QCoreApplication::translate("Report", "Question")};
    for (const Question &q : m_questions)
        list.rows.append({QString::number(q.actQuNo()), q.questionTitle()});
    return list;
}

int SessionQuestionReport::sideRowSelected(int row)
{
    return firstPageOfOwner(row, int(m_questions.size()));
}

void SessionQuestionReport::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.answerNote();
    int previousKind = -1;
    for (int q = 0; q < m_blocks.size(); ++q) {
        for (const SingleColumnString &row : m_blocks.at(q)) {
            const int kind = row.nMessageType();
            if (isTextLine(row)) {
                // Each line of a question's text follows an empty row.
                csv.nextRow();
                csv.set(1, row.str());
                csv.nextRow();
            } else if (isOptionLine(row)) {
                csv.set(1, csvOptionText(row, previousKind));
                csv.nextRow();
            } else if (kind == ClozeMark || kind == ShortAnswerMark) {
                csv.set(1, row.str());
                csv.nextRow();
            } else if (kind == CorrectAnswerRow) {
                csv.set(1, row.str());
                csv.nextRow();
                csv.set(2, QStringLiteral("Student ID"));
                csv.set(5, QStringLiteral("Student Name"));
                csv.set(8, QStringLiteral("Student Answer"));
                csv.nextRow();
                for (const StudentAnswers<> &student : m_students) {
                    csv.set(2, student.studentID());
                    csv.set(5, student.studentName());
                    csv.set(8, student.answers().value(q).str());
                    csv.nextRow();
                }
            }
            previousKind = kind;
        }
    }
}
