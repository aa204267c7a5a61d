#include "StudentResponseResultReport.h"

#include "ReportCSVWriter.h"
#include "ReportPaging.h"
#include "ReportQuestionLines.h"
#include "ReportStyle.h"
#include "StudentResponseResultView.h"

#include "core/engine/AnswerScoring.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/DataManager.h"
#include "core/store/QuizEntity.h"

using namespace ReportQuestionLines;

StudentResponseResultReport::StudentResponseResultReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                                         const ReportFramePolicy &policy,
                                                         const StudentResponseResultLayout &viewLayout,
                                                         const Progress &progress)
    : ReportDocument(policy), m_layout(viewLayout), m_actMode(DataManager::getActModeNoByName(quiz.actionType()))
{
    setSessionHead(quiz);
    buildLines(quiz);
    mark(quiz, students, progress);
    buildPages();
}

void StudentResponseResultReport::buildLines(const QuizEntity &quiz)
{
    const QFont font = ReportStyle::arial(m_layout.textSize);
    const QList<QuestionEntity> &questions = quiz.allQuestions();
    for (int p = 1; p <= questions.size(); ++p) {
        const QuestionEntity &question = questions.at(p - 1);
        for (SingleColumnString text : textLines(question.title(), m_layout.textWidth, font)) {
            text.setQuModeNo(p);
            m_lines.append(text);
        }
        const int type = DataManager::getQuTypeNoByName(question.quType());
        QStringList options;
        for (const QuestionOptionEntity &option : question.allOptions())
            options.append(option.text());
        if (type == 1 || type == 2 || type == 5) {
            for (SingleColumnString option :
                 optionLines(options, type == 2 ? m_layout.multipleOptionWidth : m_layout.optionWidth, font)) {
                option.setQuTypeNo(type == 2 ? 2 : 1);
                m_lines.append(option);
            }
        } else if (type == 3 || type == 4) {
            SingleColumnString marker =
                line(kMarker, type == 3 ? QStringLiteral("Cloze Test") : QStringLiteral("Short Answer"),
                     type == 3 ? 11 : 12);
            marker.setQuTypeNo(type);
            m_lines.append(marker);
        }
        m_lines.append(line(p, QStringLiteral("Your Answer:"), StudentResponseResultView::kAnswerLine));
    }
}

void StudentResponseResultReport::mark(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                       const Progress &progress)
{
    const QList<QuestionEntity> &questions = quiz.allQuestions();
    const StoredAnswers stored(quiz);
    forEachTicked(students, progress, [&](const SelectStudents &row) {
        StudentAnswers<> student = studentOf(row);
        student.setTotalPoints(int(AnswerScoring::storedTotal(quiz, row.studentID())));
        const QList<const ResponseDataEntity *> answers = stored.answersOf(row.studentID());
        for (int k = 0; k < questions.size(); ++k) {
            const QuestionEntity &question = questions.at(k);
            const QString reply = answers.at(k) ? answers.at(k)->response() : QString();
            SingleColumnString answer;
            answer.setStr(reply);
            answer.setNum(AnswerScoring::isRight(reply, question.rightAns()) ? 1 : 0);
            answer.setPoint(AnswerScoring::storedPoints(quiz, question, reply));
            student.answers().append(answer);
        }
        m_students.append(student);
    });
}

int StudentResponseResultReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

QList<ReportPageSlice> StudentResponseResultReport::cutPages() const
{
    return ReportPaging::cutPerOwner(QList<int>(m_students.size(), int(m_lines.size())), rowPerPage());
}

void StudentResponseResultReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    if (slice.owner < 0 || slice.owner >= m_students.size()) {
        StudentResponseResultView(m_layout, StudentAnswers<>(), {}).paint(painter);
        return;
    }
    const int first = slice.first - slice.owner * int(m_lines.size());
    StudentResponseResultView(m_layout, m_students.at(slice.owner), m_lines.mid(first, slice.count)).paint(painter);
}

ReportSideList StudentResponseResultReport::sideList() const
{
    QList<QStringList> rows;
    for (const StudentAnswers<> &student : m_students)
        rows.append({student.studentID(), student.studentName()});
    return studentSideList(rows);
}

int StudentResponseResultReport::sideRowSelected(int row)
{
    return firstPageOfOwner(row, int(m_students.size()));
}

void StudentResponseResultReport::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.answerNote();
    for (const StudentAnswers<> &student : m_students) {
        csv.set(2, student.studentID() + QLatin1Char(' ') + student.studentName());
        csv.set(8, QStringLiteral("Total Points:"));
        // The file adds up what its rows show; the page's band keeps the stored total.
        int gained = 0;
        for (const SingleColumnString &answer : student.answers())
            gained += answer.point();
        csv.set(9, QString::number(gained));
        csv.nextRow();
        int previousKind = 0;
        for (const SingleColumnString &row : m_lines) {
            if (row.nMessageType() == StudentResponseResultView::kAnswerLine) {
                const SingleColumnString answer = student.answers().value(row.num() - 1);
                csv.set(1, QStringLiteral("Your Answer:")
                               + (answer.str().isEmpty() ? QStringLiteral("__") : answer.str()));
                csv.set(9, answer.num() == 1 ? QStringLiteral("tick") : QStringLiteral("cross"));
            } else {
                csv.set(1, isOptionLine(row) ? csvOptionText(row, previousKind) : row.str());
            }
            csv.nextRow();
            previousKind = row.nMessageType();
        }
    }
}
