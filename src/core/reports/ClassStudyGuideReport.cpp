#include "ClassStudyGuideReport.h"

#include "ClassStudyGuideView.h"
#include "ReportCSVWriter.h"
#include "ReportPaging.h"

#include "core/engine/AnswerScoring.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/QuizEntity.h"

#include <algorithm>

ClassStudyGuideReport::ClassStudyGuideReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                             const ReportFramePolicy &policy, const ClassStudyGuideLayout &viewLayout,
                                             const Progress &progress)
    : ReportDocument(policy), m_layout(viewLayout)
{
    setSessionHead(quiz);
    build(quiz, students, progress);
    buildPages();
}

void ClassStudyGuideReport::build(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                  const Progress &progress)
{
    const QList<QuestionEntity> &questions = quiz.allQuestions();
    for (const QuestionEntity &stored : questions) {
        SingleColumnString q;
        q.setNum(stored.quNo());
        q.setStr(stored.rightAns());
        m_questions.append(q);
    }
    const StoredAnswers stored(quiz);
    int entries = 0;
    forEachTicked(students, progress, [&](const SelectStudents &row) {
        StudentAnswers<> student = studentOf(row);
        const QList<const ResponseDataEntity *> answers = stored.answersOf(row.studentID());
        for (int k = 0; k < questions.size(); ++k) {
            if (AnswerScoring::isStoredRight(answers.at(k), questions.at(k)))
                continue;
            SingleColumnString missed;
            missed.setNum(questions.at(k).quNo());
            missed.setStr(answers.at(k) ? answers.at(k)->response() : QStringLiteral("__"));
            student.answers().append(missed);
        }
        m_firstEntry.append(entries);
        entries += int(student.answers().size());
        m_students.append(student);
    });
}

int ClassStudyGuideReport::rowCount() const
{
    return m_firstEntry.isEmpty() ? 0 : m_firstEntry.last() + int(m_students.last().answers().size());
}

int ClassStudyGuideReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

int ClassStudyGuideReport::entriesPerPage() const
{
    const int heading = m_layout.asTable ? 1 : 0;
    return std::max(1, (rowPerPage() - heading) / std::max(1, m_layout.rowsPerEntry));
}

QList<ReportPageSlice> ClassStudyGuideReport::cutPages() const
{
    QList<int> entries;
    for (const StudentAnswers<> &student : m_students)
        entries.append(int(student.answers().size()));
    return ReportPaging::cutPerOwner(entries, entriesPerPage());
}

void ClassStudyGuideReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    if (slice.owner < 0 || slice.owner >= m_students.size()) {
        ClassStudyGuideView(m_layout, {}, {}, {}, 0, m_questions).paint(painter);
        return;
    }
    const StudentAnswers<> &student = m_students.at(slice.owner);
    ClassStudyGuideView(m_layout, student.studentID(), student.studentName(),
                        student.answers().mid(slice.first - m_firstEntry.at(slice.owner), slice.count),
                        int(student.answers().size()), m_questions)
        .paint(painter);
}

ReportSideList ClassStudyGuideReport::sideList() const
{
    QList<QStringList> rows;
    for (const StudentAnswers<> &student : m_students)
        rows.append({student.studentID(), student.studentName()});
    return studentSideList(rows);
}

int ClassStudyGuideReport::sideRowSelected(int row)
{
    return firstPageOfOwner(row, int(m_students.size()));
}

void ClassStudyGuideReport::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.answerNote();
    for (const StudentAnswers<> &student : m_students) {
        csv.set(2, student.studentID() + QLatin1Char(' ') + student.studentName());
        csv.nextRow();
        csv.set(1, ClassStudyGuideView::summary(ClassStudyGuideView::summaryFormat(), int(student.answers().size()),
                                                int(m_questions.size())));
        csv.nextRow();
        csv.set(1, QStringLiteral("The question(s) you missed are listed below."));
        csv.nextRow();
        const QList<SingleColumnString> &missed = student.answers();
        for (int a = 0; a < missed.size(); ++a) {
            if (a > 0)
                csv.nextRow();
            csv.set(3, QStringLiteral("Question#"));
            csv.set(5, QString::number(missed.at(a).num()));
            csv.nextRow();
            csv.set(3, QStringLiteral("Correct Answer"));
            csv.set(5, ClassStudyGuideView::correctAnswer(m_questions, missed.at(a).num()));
            csv.nextRow();
            csv.set(3, QStringLiteral("You Answer"));
            csv.set(5, missed.at(a).str());
            csv.nextRow();
        }
    }
}
