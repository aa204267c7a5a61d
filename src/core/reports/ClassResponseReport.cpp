#include "ClassResponseReport.h"

#include "ClassResponseReportView.h"
#include "ReportCSVWriter.h"
#include "ReportDrawing.h"
#include "ReportPaging.h"
#include "ReportSessionStats.h"
#include "ReportStyle.h"

#include "core/base/CommonFunc.h"
#include "core/base/PrintfNumber.h"
#include "core/store/DataManager.h"
#include "core/store/QuizEntity.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {
QString letter(int j)
{
    return QString(QChar(u'A' + j));
}
} // namespace

ClassResponseReport::ClassResponseReport(const QuizEntity &quiz, const ReportFramePolicy &policy,
                                         const ClassResponseReportLayout &viewLayout, const Progress &progress)
    : ReportDocument(policy), m_layout(viewLayout), m_questions(buildQuestions(quiz, progress))
{
    setSessionHead(quiz);
    buildRows();
    buildPages();
}

QList<Question> ClassResponseReport::buildQuestions(const QuizEntity &quiz, const Progress &progress)
{
    const ReportSessionStats stats(quiz);
    return stats.questions(quiz, progress, [&stats](const QuestionEntity &stored, int position, Question &question) {
        const QList<QuestionOptionEntity> options = DataManager::getAllOptionsOfOneQuestion(stored);
        for (int j = 0; j < options.size(); ++j) {
            question.options().append(options.at(j).text());
            question.optionPercentArray().append(stats.percentOf(stats.optionChosen(position, stored, letter(j))));
        }
    });
}

bool ClassResponseReport::isCorrectOption(const Question &question, int j)
{
    const QString right = question.quTypeNo() == 5 ? trueFalseStringToString(question.rightAns()) : question.rightAns();
    return right == letter(j);
}

int ClassResponseReport::tenths(float percent)
{
    return int(std::trunc((double(percent) + 0.05) * 10));
}

QString ClassResponseReport::csvPercent(float percent)
{
    if (percent == 100.0f)
        return QStringLiteral("100%");
    const float t = (percent * 100 + 5) / 100;
    QString text = PrintfNumber::fixed(double(t), 6);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point >= 0)
        text.truncate(point + 2);
    return text + QLatin1Char('%');
}

void ClassResponseReport::buildRows()
{
    const QFont font = ReportStyle::arial(m_layout.textSize);
    for (int qi = 0; qi < m_questions.size(); ++qi) {
        const Question &question = m_questions.at(qi);
        for (const QString &line : getWordWrappedStrings(question.questionTitle(), m_layout.titleWidth, font)) {
            SingleColumnString row;
            row.setNum(question.actQuNo());
            row.setStr(line);
            row.setNMessageType(TitleLine);
            m_rows.append(row);
            m_rowQuestion.append(qi);
        }
        const int type = question.quTypeNo();
        if (type == 1 || type == 5) {
            for (int j = 0; j < question.optionNo() && j < 10; ++j) {
                const int c = isCorrectOption(question, j) ? 1 : 0;
                const int p = tenths(question.optionPercentArray().value(j));
                const QStringList lines = getWordWrappedStrings(question.options().value(j), m_layout.optionWidth, font);
                for (int k = 0; k < lines.size(); ++k) {
                    SingleColumnString row;
                    // The line number stays within its two digits of the code.
                    row.setNum(10000000 * c + 1000 * p + 1001 + 100 * j + std::min(k, 98));
                    row.setStr(lines.at(k));
                    row.setNMessageType(FirstOptionLine + j);
                    m_rows.append(row);
                    m_rowQuestion.append(qi);
                }
            }
        } else if (type >= 2 && type <= 4) {
            static const char *const notes[] = {"Multiple-Choice Question", "Cloze Test Question",
                                                "Short Answer Question"};
            SingleColumnString row;
            row.setNum(kNoteNum);
            row.setStr(QString::fromLatin1(notes[type - 2]));
            row.setNMessageType(MultipleNote + type - 2);
            m_rows.append(row);
            m_rowQuestion.append(qi);
        }
    }
}

int ClassResponseReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void ClassResponseReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    ClassResponseReportView(m_layout, m_rows.mid(slice.first, slice.count)).paint(painter);
}

ReportSideList ClassResponseReport::sideList() const
{
    ReportSideList list;
    list.headers = {QCoreApplication::translate("Report", "Q#"), QCoreApplication::translate("Report", "Question")};
    for (const Question &q : m_questions)
        list.rows.append({QString::number(q.actQuNo()), q.questionTitle()});
    return list;
}

int ClassResponseReport::sideRowSelected(int row)
{
    if (row < 0 || row >= m_questions.size())
        return 0;
    // The page that holds the question's first line of text.
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rowQuestion.at(i) == row)
            return ReportPaging::pageOfRow(pages(), i);
    return 0;
}

void ClassResponseReport::writeCSVBody(ReportCSVWriter &csv) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        const SingleColumnString &row = m_rows.at(i);
        const Question &question = m_questions.at(m_rowQuestion.at(i));
        const int kind = row.nMessageType();
        if (kind == TitleLine) {
            csv.set(1, row.str());
        } else if (kind >= FirstOptionLine && kind <= LastOptionLine) {
            const int j = kind - FirstOptionLine;
            const bool firstLine = (row.num() - 1) % 100 == 0;
            csv.set(1, firstLine ? letter(j) + QLatin1Char('.') + row.str() : row.str());
            csv.set(6, csvPercent(question.optionPercentArray().value(j)));
            if (isCorrectOption(question, j))
                csv.set(7, QStringLiteral("Correct Answer"));
        } else {
            csv.set(1, row.str());
            csv.set(6, QStringLiteral("--"));
        }
        csv.nextRow();
    }
}
