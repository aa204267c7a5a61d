#include "VoteReport.h"

#include "core/engine/StoredAnswers.h"
#include "ReportCSVWriter.h"
#include "ReportDrawing.h"
#include "ReportPaging.h"
#include "ReportStyle.h"
#include "VotingResultView.h"

#include "core/base/CommonFunc.h"
#include "core/store/DataManager.h"
#include "core/store/QuizEntity.h"

#include <QCoreApplication>

#include <cmath>

VoteReport::VoteReport(const QuizEntity &quiz, const ReportFramePolicy &policy, const VotingResultLayout &viewLayout)
    : ReportDocument(policy), m_layout(viewLayout)
{
    const QList<StudentEntity> attendants = DataManager::getAttendStudentInfoInOneQuiz(quiz);
    m_totalStudent = int(attendants.size());
    m_questions = buildQuestions(quiz, attendants);
    for (const Question &question : m_questions)
        m_rows += rowsOf(question, m_totalStudent, m_layout);
    setSessionHead(quiz);
    buildPages();
}

ReportFramePolicy VoteReport::frame()
{
    return ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::SessionWithReportRow);
}

float VoteReport::percentOf(int votes, int attendants)
{
    return attendants > 0 ? float(votes * 100) / float(attendants) : 0.0f;
}

QList<Question> VoteReport::buildQuestions(const QuizEntity &quiz, const QList<StudentEntity> &attendants)
{
    const StoredAnswers first(quiz);

    const int n = int(attendants.size());
    QList<Question> questions;
    for (int position = 0; position < quiz.allQuestions().size(); ++position) {
        const QuestionEntity &stored = quiz.allQuestions().at(position);
        Question question;
        question.setQuNo(stored.quNo());
        question.setActQuNo(stored.quNo());
        question.setQuTypeNo(DataManager::getQuTypeNoByName(stored.quType()));
        question.setQuestionTitle(stored.title());
        const QList<QuestionOptionEntity> options = DataManager::getAllOptionsOfOneQuestion(stored);
        question.setOptionNo(int(options.size()));
        for (const QuestionOptionEntity &option : options)
            question.options().append(trimString(option.text()));

        for (int j = 0; j < options.size(); ++j) {
            const QString reply = DataManager::storedReplyOf(stored, QString(QChar(u'A' + j)));
            int votes = 0;
            for (const StudentEntity &s : attendants) {
                const ResponseDataEntity *answer = first.find(s.id(), position);
                votes += answer && answer->response() == reply;
            }
            question.optionPercentArray().append(percentOf(votes, n));
        }
        questions.append(question);
    }
    return questions;
}

QList<VotingResultsPrintPerRowDate> VoteReport::rowsOf(const Question &question, int attendants,
                                                       const VotingResultLayout &layout)
{
    using Row = VotingResultsPrintPerRowDate;
    const QFont font = ReportStyle::arial(layout.measureSize);
    QList<Row> rows;
    const QStringList lines = getWordWrappedStrings(question.questionTitle(), layout.titleWidth, font);
    for (int k = 0; k < lines.size(); ++k) {
        Row row;
        row.setType(Row::TitleLine);
        row.setPrintStr(lines.at(k));
        row.setTotal(attendants);
        row.setCount(k);
        rows.append(row);
    }
    Row heading;
    heading.setType(Row::Heading);
    heading.setPrintStr(QStringLiteral("Candidate"));
    rows.append(heading);

    int voted = 0;
    for (int j = 0; j < question.optionNo(); ++j) {
        const float percent = question.optionPercentArray().value(j);
        Row row;
        row.setType(Row::Option);
        row.setPrintStr(getStringWithSuspensionPoint(QString(QChar(u'A' + j)) + QLatin1Char('.') + question.options().value(j),
                                                     layout.optionWidth, font));
        row.setCount(int(std::lround(double(attendants) * double(percent) / 100.0)));
        row.setPercent(percent / 100);
        voted += row.count();
        rows.append(row);
    }
    Row abstained;
    abstained.setType(Row::Abstained);
    abstained.setPrintStr(QCoreApplication::translate("Report", "Abstained from voting"));
    abstained.setCount(attendants - voted);
    abstained.setPercent(percentOf(abstained.count(), attendants) / 100);
    rows.append(abstained);
    return rows;
}

int VoteReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void VoteReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    VotingResultView(m_layout, m_rows.mid(slice.first, slice.count)).paint(painter);
}

void VoteReport::writeCSVBody(ReportCSVWriter &csv) const
{
    using Row = VotingResultsPrintPerRowDate;
    for (const Row &row : m_rows) {
        switch (row.type()) {
        case Row::TitleLine:
            csv.set(1, row.printStr());
            csv.set(4, QStringLiteral("Total"));
            csv.set(5, QString::number(row.total()));
            break;
        case Row::Heading:
            csv.set(1, row.printStr());
            csv.set(4, QStringLiteral("Count"));
            csv.set(5, QStringLiteral("Percent"));
            break;
        default:
            csv.set(1, row.printStr());
            csv.set(4, QString::number(row.count()));
            csv.set(5, row.percentText());
            break;
        }
        csv.nextRow(row.type() == Row::Abstained ? 2 : 1);
    }
}
