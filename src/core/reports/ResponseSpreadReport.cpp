#include "ResponseSpreadReport.h"

#include "ItemAnalysisView.h"
#include "ReportCSVWriter.h"
#include "ReportPaging.h"
#include "ReportSessionStats.h"

#include "core/base/CommonFunc.h"
#include "core/base/PrintfNumber.h"
#include "core/store/DataManager.h"
#include "core/store/QuizEntity.h"

ResponseSpreadReport::ResponseSpreadReport(const QuizEntity &quiz, const ReportFramePolicy &policy,
                                           const ItemAnalysisLayout &viewLayout, const Progress &progress)
    : ReportDocument(policy), m_layout(viewLayout), m_questions(buildQuestions(quiz, progress)),
      m_noStudents(quiz.allStudents().isEmpty())
{
    setSessionHead(quiz);
    buildPages();
}

QList<Question> ResponseSpreadReport::buildQuestions(const QuizEntity &quiz, const Progress &progress)
{
    const ReportSessionStats stats(quiz);
    return stats.questions(quiz, progress, [&stats](const QuestionEntity &stored, int position, Question &question) {
        // Replies of one letter A to J, "True" and "False" as A and B; the rest is Other.
        int counters[10] = {};
        const bool trueFalse = stored.quType() == QLatin1String("5");
        const QHash<QString, int> replies = stats.repliesTo(position);
        for (auto it = replies.cbegin(); it != replies.cend(); ++it) {
            const QString reply = trueFalse ? trueFalseStringToString(it.key()) : it.key();
            if (reply.size() == 1 && reply.at(0) >= QLatin1Char('A') && reply.at(0) <= QLatin1Char('J'))
                counters[reply.at(0).unicode() - u'A'] += it.value();
        }
        for (int j = 0; j < 10; ++j)
            question.optionPercentArray().append(stats.percentOf(counters[j]));
    });
}

bool ResponseSpreadReport::hasNumbers(const Question &question)
{
    return question.quTypeNo() == 1 || question.quTypeNo() == 5;
}

QStringList ResponseSpreadReport::shareTexts(const Question &question)
{
    QStringList texts;
    for (int j = 0; j < 10; ++j)
        texts.append(PrintfNumber::fixed(double(question.optionPercentArray().value(j)), 2));
    return texts;
}

float ResponseSpreadReport::other(const Question &question)
{
    float sum = 0;
    for (const QString &text : shareTexts(question))
        sum += text.toFloat();
    return 100.0f - sum;
}

QString ResponseSpreadReport::otherText(float value)
{
    QString text = PrintfNumber::fixed(double(value), 2);
    // A difference too small to show is no difference.
    return text == QLatin1String("-0.00") ? QStringLiteral("0.00") : text;
}

int ResponseSpreadReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void ResponseSpreadReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    ItemAnalysisView(m_layout, m_questions.mid(slice.first, slice.count), m_noStudents).paint(painter);
}

void ResponseSpreadReport::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.set(1, QStringLiteral("Single Answer Question Mode Only(Note:'--'means the quesion mode is not the single "
                              "answer) Unit:%"));
    csv.nextRow();
    csv.set(2, QStringLiteral("Q#"));
    for (int j = 0; j < 10; ++j)
        csv.set(3 + j, QString(QChar(u'A' + j)));
    csv.set(13, QStringLiteral("Other"));
    csv.nextRow();
    for (const Question &question : m_questions) {
        csv.set(2, QString::number(question.quNo()));
        if (hasNumbers(question)) {
            const QStringList shares = shareTexts(question);
            for (int j = 0; j < 10; ++j)
                csv.set(3 + j, shares.at(j));
            csv.set(13, otherText(m_noStudents ? 0.0f : other(question)));
        } else {
            for (int c = 3; c <= 13; ++c)
                csv.set(c, QStringLiteral("--"));
        }
        csv.nextRow();
    }
}
