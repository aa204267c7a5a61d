#include "CorrectRateStatistics.h"

#include "CorrectRateStatisticsByAnswerTimeView.h"
#include "core/engine/StoredAnswers.h"
#include "ReportCSVWriter.h"
#include "ReportPaging.h"

#include "core/base/PrintfNumber.h"
#include "core/engine/AnswerScoring.h"
#include "core/store/QuizEntity.h"

#include <QSet>

#include <algorithm>
#include <map>

CorrectRateStatistics::CorrectRateStatistics(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                             const ReportFramePolicy &policy,
                                             const CorrectRateStatisticsByAnswerTimeLayout &viewLayout)
    : ReportDocument(policy), m_layout(viewLayout), m_questions(buildQuestions(quiz, studentList))
{
    setSessionHead(quiz);
    const int perPage = rowPerPageFor(nameLines());
    for (const QuestionAndStudentAnsInfo &question : m_questions) {
        const QList<Row> rows = rowsOf(question, perPage, m_layout);
        m_rows += rows;
        m_rowsPerQuestion.append(int(rows.size()));
    }
    buildPages();
    // Each question leads to its first page, and so does each of its bands.
    for (int k = 0; k < m_questions.size(); ++k) {
        const int line = ReportPaging::firstPageOfOwner(pages(), k);
        NodeDataPtr node = NodeData::create(QStringLiteral("Question %1").arg(k + 1));
        node->setLine(line);
        for (const DivisibleByFiveStudentAnsRow &band : m_questions.at(k).sortArray())
            node->addChild(bandCaption(band.multiple()), true, line);
        m_nodes.append(node);
    }
}

ReportFramePolicy CorrectRateStatistics::frame()
{
    return ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::SessionWithReportRow);
}

int CorrectRateStatistics::bandOf(int seconds)
{
    const int t = std::max(0, seconds);
    return t / 5 - (t > 0 && t % 5 == 0 ? 1 : 0);
}

QString CorrectRateStatistics::bandCaption(int band)
{
    if (band <= 0)
        return QStringLiteral("0~5 seconds");
    return QStringLiteral("%1~%2 seconds").arg(5 * band + 1).arg(5 * band + 5);
}

QList<QuestionAndStudentAnsInfo> CorrectRateStatistics::buildQuestions(const QuizEntity &quiz,
                                                                       const QList<SelectStudents> &studentList)
{
    QList<SelectStudents> chosen;
    for (const SelectStudents &s : studentList)
        if (s.isSelected())
            chosen.append(s);
    const StoredAnswers first(quiz);

    QList<QuestionAndStudentAnsInfo> questions;
    const QList<QuestionEntity> &stored = quiz.allQuestions();
    for (int k = 1; k <= stored.size(); ++k) {
        const QuestionEntity &q = stored.at(k - 1);
        QuestionAndStudentAnsInfo info;
        info.setQuNum(k);
        info.setRightAns(q.rightAns());
        std::map<int, DivisibleByFiveStudentAnsRow> bands;
        for (const SelectStudents &s : chosen) {
            StudentAnswers<QString> a;
            a.setStudentNo(s.studentNo());
            a.setStudentID(s.studentID());
            a.setStudentName(s.studentName());
            const ResponseDataEntity *record = first.find(s.studentID(), k - 1);
            const QString response = record ? record->response() : QString();
            a.answers().append(response.isEmpty() ? QStringLiteral("__") : response);
            a.setAnsTime(record ? std::max(0, record->time()) : 0);
            a.setTotalPoints(AnswerScoring::points(response, q.rightAns(), q.mark(),
                                                   AnswerScoring::WrongAnswer::ScoresNothing));
            info.studentAnswers().append(a);
            DivisibleByFiveStudentAnsRow &band = bands[bandOf(a.ansTime())];
            band.setMultiple(bandOf(a.ansTime()));
            band.members().append(a);
        }
        for (const auto &[b, band] : bands)
            info.sortArray().append(band);
        questions.append(info);
    }
    return questions;
}

QList<CorrectRateStatistics::Row> CorrectRateStatistics::rowsOf(const QuestionAndStudentAnsInfo &question,
                                                                int rowPerPage,
                                                                const CorrectRateStatisticsByAnswerTimeLayout &layout)
{
    const int perPage = std::max(1, rowPerPage);
    const QString number = QString::number(question.quNum());
    const auto make = [&](int flag, const QString &title = QString()) {
        Row row;
        row.setFlag(flag);
        row.setQuNo(number);
        if (!title.isNull())
            row.setQuNoTitle(title);
        return row;
    };
    const QString title = QStringLiteral("Question %1").arg(question.quNum());
    QList<Row> rows{make(Row::QuestionTitle, title)};
    for (const DivisibleByFiveStudentAnsRow &band : question.sortArray()) {
        const QString caption = bandCaption(band.multiple());
        rows << make(Row::BandCaption, caption) << make(Row::Headings);
        int right = 0;
        for (const StudentAnswers<QString> &member : band.members()) {
            // A page that is full starts again with the question, the band and the headings.
            if (rows.size() % perPage == 0)
                rows << make(Row::QuestionTitle, title) << make(Row::BandCaption, caption) << make(Row::Headings);
            const QString answer = member.answers().value(0);
            const bool isRight = AnswerScoring::isRight(answer, question.rightAns());
            right += isRight;
            Row row = make(isRight ? Row::RightAnswer : Row::WrongAnswer);
            row.setStudentName(member.studentName());
            row.setAns(answer);
            row.setAnsTime(QStringLiteral("%1s").arg(member.ansTime()));
            row.setPoint(QString::number(member.totalPoints()));
            rows << row;
            if (layout.answerLine) {
                Row line = make(Row::AnswerLine);
                line.setAns(answer);
                line.setQuNo(QString::number(row.flag()));
                rows << line;
            }
        }
        Row rate = make(Row::CorrectRate);
        const double share = right * 100.0 / double(std::max<qsizetype>(1, band.members().size()));
        rate.setCorrectRate(PrintfNumber::fixed(share, 2) + QLatin1Char('%'));
        rows << rate << make(Row::Spacer);
    }
    // No spacer after the last band (a question without bands keeps its title).
    if (rows.last().flag() == Row::Spacer)
        rows.removeLast();
    return rows;
}

int CorrectRateStatistics::rowPerPageFor(int nameLines) const
{
    const int q = ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
    // A student's two rows stay on one page.
    if (m_layout.answerLine && q % 2 != 0)
        return std::max(1, q - 2);
    return std::max(1, q - 1);
}

QList<ReportPageSlice> CorrectRateStatistics::cutPages() const
{
    return ReportPaging::cutPerOwner(m_rowsPerQuestion, rowPerPage());
}

void CorrectRateStatistics::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    CorrectRateStatisticsByAnswerTimeView(m_layout, m_rows.mid(slice.first, slice.count)).paint(painter);
}

void CorrectRateStatistics::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.answerNote();
    QString lastTitle;
    QSet<QString> captions; // of the question last titled
    for (const Row &row : m_rows) {
        switch (row.flag()) {
        case Row::QuestionTitle:
            if (row.quNoTitle() == lastTitle)
                break;
            lastTitle = row.quNoTitle();
            captions.clear();
            csv.set(1, row.quNoTitle());
            csv.nextRow();
            csv.set(2, QStringLiteral("Q#"));
            csv.set(4, QStringLiteral("Student"));
            csv.set(7, QStringLiteral("AnswerTime"));
            csv.set(9, QStringLiteral("Point"));
            csv.nextRow();
            break;
        case Row::BandCaption:
            if (captions.contains(row.quNoTitle()))
                break;
            captions.insert(row.quNoTitle());
            csv.set(1, row.quNoTitle());
            csv.nextRow();
            break;
        case Row::RightAnswer:
        case Row::WrongAnswer:
            csv.set(2, row.quNo());
            csv.set(4, row.studentName());
            csv.set(7, row.ansTime());
            csv.set(9, row.point());
            csv.nextRow();
            csv.set(2, QStringLiteral("Answer"));
            csv.set(3, row.ans());
            csv.nextRow();
            break;
        case Row::CorrectRate:
            csv.set(8, QStringLiteral("Correct Rate:"));
            csv.set(9, row.correctRate());
            csv.nextRow();
            break;
        default:
            break;
        }
    }
}
