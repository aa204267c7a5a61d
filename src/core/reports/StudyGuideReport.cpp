#include "StudyGuideReport.h"

#include "ReportCSVWriter.h"
#include "ReportPaging.h"
#include "ReportQuestionLines.h"
#include "ReportStyle.h"
#include "StudyGuideView.h"

#include "core/engine/AnswerScoring.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/DataManager.h"
#include "core/store/QuizEntity.h"

using namespace ReportQuestionLines;

StudyGuideReport::StudyGuideReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                   const ReportFramePolicy &policy, const StudyGuideLayout &viewLayout,
                                   const Progress &progress)
    : ReportDocument(policy), m_layout(viewLayout)
{
    setSessionHead(quiz);
    build(quiz, students, progress);
    buildPages();
}

void StudyGuideReport::build(const QuizEntity &quiz, const QList<SelectStudents> &students, const Progress &progress)
{
    const QList<QuestionEntity> &questions = quiz.allQuestions();
    for (const QuestionEntity &stored : questions) {
        Question q;
        q.setQuNo(stored.quNo());
        q.setActQuNo(stored.quNo());
        q.setRightAns(stored.rightAns());
        m_questions.append(q);
    }
    const QFont font = ReportStyle::arial(m_layout.textSize);
    const StoredAnswers stored(quiz);
    int rows = 0;
    forEachTicked(students, progress, [&](const SelectStudents &row) {
        StudyGuide guide;
        guide.setStudentNo(row.studentNo());
        guide.setStudentID(row.studentID());
        guide.setStudentName(row.studentName());
        const QList<const ResponseDataEntity *> answers = stored.answersOf(row.studentID());
        for (int k = 0; k < questions.size(); ++k) {
            const QuestionEntity &question = questions.at(k);
            const ResponseDataEntity *answer = answers.at(k);
            if (AnswerScoring::isStoredRight(answer, question))
                continue;
            QList<SingleColumnString> &lines = guide.strArray();
            lines += textLines(question.title(), m_layout.textWidth, font);
            switch (DataManager::getQuTypeNoByName(question.quType())) {
            case 1:
            case 2: {
                QStringList options;
                for (const QuestionOptionEntity &option : question.allOptions())
                    options.append(option.text());
                lines += optionLines(options, m_layout.optionWidth, font);
                break;
            }
            case 3:
                lines.append(line(kMarker, QStringLiteral("Cloze Test"), 11));
                break;
            case 4:
                lines.append(line(kMarker, QStringLiteral("Short Answer"), 12));
                break;
            default:
                break;
            }
            const QString reply = answer ? answer->response() : QStringLiteral("__");
            if (m_layout.correctAnswerBesideReply) {
                lines.append(line(question.quNo(), QStringLiteral("Your Answer:") + reply));
            } else {
                lines.append(line(StudyGuideView::kYourAnswer, QStringLiteral("Your Answer:") + reply));
                const QString right = question.rightAns().isEmpty() ? QStringLiteral("__") : question.rightAns();
                lines.append(line(StudyGuideView::kCorrectAnswer, QStringLiteral("Correct Answer:") + right));
            }
        }
        m_firstRow.append(rows);
        rows += int(guide.strArray().size());
        m_guides.append(guide);
    });
}

int StudyGuideReport::rowCount() const
{
    return m_firstRow.isEmpty() ? 0 : m_firstRow.last() + int(m_guides.last().strArray().size());
}

int StudyGuideReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

QList<ReportPageSlice> StudyGuideReport::cutPages() const
{
    QList<int> rows;
    for (const StudyGuide &guide : m_guides)
        rows.append(int(guide.strArray().size()));
    return ReportPaging::cutPerOwner(rows, rowPerPage());
}

void StudyGuideReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    if (slice.owner < 0 || slice.owner >= m_guides.size()) {
        StudyGuideView(m_layout, {}, {}, {}, m_questions).paint(painter);
        return;
    }
    const StudyGuide &guide = m_guides.at(slice.owner);
    StudyGuideView(m_layout, guide.studentID(), guide.studentName(),
                   guide.strArray().mid(slice.first - m_firstRow.at(slice.owner), slice.count), m_questions)
        .paint(painter);
}

ReportSideList StudyGuideReport::sideList() const
{
    QList<QStringList> rows;
    for (const StudyGuide &guide : m_guides)
        rows.append({guide.studentID(), guide.studentName()});
    return studentSideList(rows);
}

int StudyGuideReport::sideRowSelected(int row)
{
    return firstPageOfOwner(row, int(m_guides.size()));
}

void StudyGuideReport::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.answerNote();
    for (const StudyGuide &guide : m_guides) {
        csv.set(2, guide.studentID() + QLatin1Char(' ') + guide.studentName());
        csv.nextRow();
        if (guide.strArray().isEmpty()) {
            csv.set(1, QStringLiteral("There is no record."));
            csv.nextRow();
        }
        int previousKind = 0;
        for (const SingleColumnString &row : guide.strArray()) {
            csv.set(1, isOptionLine(row) ? csvOptionText(row, previousKind) : row.str());
            csv.nextRow();
            previousKind = row.nMessageType();
        }
    }
}
