#include "PersonalStandardsReport.h"

#include "PersonalStandardsReportView.h"
#include "ReportCSVWriter.h"
#include "ReportDrawing.h"
#include "ReportPaging.h"
#include "ReportStyle.h"

#include "core/base/PrintfNumber.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/QuizEntity.h"

#include <algorithm>

PersonalStandardsReport::PersonalStandardsReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                                 const ReportFramePolicy &policy,
                                                 const PersonalStandardsReportLayout &viewLayout)
    : ReportDocument(policy), m_layout(viewLayout)
{
    m_codes = standardCodes(quiz, &m_standardCount);
    // Codes without any title make no report.
    if (m_standardCount > 0) {
        const QSet<QString> answers = answerKeys(quiz);
        // Each code's title is wrapped once; the students' rows differ in their share only.
        QList<QList<PersonalStandardsReportPrintDate>> codeLines;
        for (const CodeStandardCorrect &code : m_codes)
            codeLines.append(codeRows(code, 0.0f, m_layout));
        for (const SelectStudents &student : students) {
            if (!student.isSelected())
                continue;
            PersonalStandardsReportPrintDate heading;
            heading.setFlag(PersonalStandardsReportPrintDate::StudentHeading);
            heading.setStudentID(student.studentID());
            heading.setStudentName(student.studentName());
            m_rows.append(heading);
            const NodeDataPtr node = NodeData::create(student.studentName());
            node->setLine(int(m_rows.size()));
            for (int k = 0; k < m_codes.size(); ++k) {
                node->addChild(m_codes.at(k).code(), true, int(m_rows.size()) + 1);
                QList<PersonalStandardsReportPrintDate> rows = codeLines.at(k);
                rows.first().setCorrect(studentRate(answers, m_codes.at(k), student.studentID()));
                m_rows.append(rows);
            }
            m_nodes.append(node);
        }
    }
    setSessionHead(quiz);
    buildPages();
}

ReportFramePolicy PersonalStandardsReport::defaultPolicy()
{
    ReportFramePolicy policy = ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::Session);
    policy.outlineLine = ReportFramePolicy::OutlineLine::Row;
    return policy;
}

QList<CodeStandardCorrect> PersonalStandardsReport::standardCodes(const QuizEntity &quiz, int *titled)
{
    QList<const QuestionEntity *> questions;
    for (const QuestionEntity &q : quiz.allQuestions())
        questions.append(&q);
    std::stable_sort(questions.begin(), questions.end(),
                     [](const QuestionEntity *a, const QuestionEntity *b) { return a->quNo() < b->quNo(); });
    QList<CodeStandardCorrect> codes;
    int withTitle = 0;
    for (const QuestionEntity *q : questions) {
        const QString code = q->standard() ? q->standard()->code() : QString();
        const QString title = q->standard() ? q->standard()->title() : QString();
        auto known = std::find_if(codes.begin(), codes.end(), [&](const CodeStandardCorrect &c) { return c.code() == code; });
        if (known != codes.end()) {
            known->rightAnsArray().append(q->rightAns());
            known->quNoArray().append(q->quNo());
            continue;
        }
        if (code.isEmpty())
            continue;
        CodeStandardCorrect added;
        added.setCode(code);
        added.setStandard(title.isNull() ? QStringLiteral("") : title);
        added.rightAnsArray().append(q->rightAns());
        added.quNoArray().append(q->quNo());
        codes.append(added);
        withTitle += !title.isEmpty();
    }
    if (titled)
        *titled = withTitle;
    return codes;
}

QList<PersonalStandardsReportPrintDate> PersonalStandardsReport::codeRows(const CodeStandardCorrect &code, float correct,
                                                                          const PersonalStandardsReportLayout &layout)
{
    QList<PersonalStandardsReportPrintDate> rows;
    const QStringList lines = getWordWrappedStrings(code.standard(), layout.titleWidth, ReportStyle::arial(layout.textSize));
    for (int k = 0; k < lines.size(); ++k) {
        PersonalStandardsReportPrintDate row;
        row.setStandard(lines.at(k));
        if (k == 0) {
            row.setFlag(PersonalStandardsReportPrintDate::CodeLine);
            row.setCode(code.code());
            row.setCorrect(correct);
        } else {
            row.setFlag(PersonalStandardsReportPrintDate::TitleLine);
        }
        rows.append(row);
    }
    return rows;
}

QSet<QString> PersonalStandardsReport::answerKeys(const QuizEntity &quiz)
{
    // Only the answer that belongs to a question counts, under that question's number.
    const QList<int> belongs = StoredAnswers(quiz).questionOfRecords();
    QSet<QString> keys;
    for (qsizetype i = 0; i < belongs.size(); ++i) {
        if (belongs.at(i) < 0)
            continue;
        const ResponseDataEntity &a = quiz.allStudentsAns().at(i);
        keys.insert(answerKey(a.studentID(), QString::number(quiz.allQuestions().at(belongs.at(i)).quNo()), a.response()));
    }
    return keys;
}

QString PersonalStandardsReport::answerKey(const QString &studentID, const QString &questionID, const QString &response)
{
    return studentID + QChar(0) + questionID + QChar(0) + response;
}

float PersonalStandardsReport::studentRate(const QSet<QString> &answers, const CodeStandardCorrect &code,
                                           const QString &studentID)
{
    const QList<int> &numbers = code.quNoArray();
    if (numbers.isEmpty())
        return 0.0f;
    int right = 0;
    for (int j = 0; j < numbers.size(); ++j)
        right += answers.contains(answerKey(studentID, QString::number(numbers.at(j)), code.rightAnsArray().value(j)));
    return PrintfNumber::fixed(double(right) / double(numbers.size()), 3).toFloat();
}

int PersonalStandardsReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void PersonalStandardsReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    PersonalStandardsReportView(m_layout, m_rows.mid(slice.first, slice.count)).paint(painter);
}

void PersonalStandardsReport::writeRows(ReportCSVWriter &csv, const QList<PersonalStandardsReportPrintDate> &rows,
                                        int noRecordColumn)
{
    csv.set(1, QStringLiteral("Report"));
    csv.nextRow();
    csv.set(2, QStringLiteral("Code"));
    csv.set(3, QStringLiteral("Standard"));
    csv.set(8, QStringLiteral("Correct(%)"));
    csv.nextRow();
    if (rows.isEmpty()) {
        csv.noRecord(noRecordColumn);
        return;
    }
    for (const PersonalStandardsReportPrintDate &row : rows) {
        switch (row.flag()) {
        case PersonalStandardsReportPrintDate::StudentHeading:
            csv.set(1, row.studentID() + QLatin1Char(' ') + row.studentName());
            break;
        case PersonalStandardsReportPrintDate::CodeLine:
            csv.set(2, row.code());
            csv.set(3, row.standard());
            csv.set(8, PersonalStandardsReportView::percent(row.correct()));
            break;
        default:
            csv.set(3, row.standard());
            break;
        }
        csv.nextRow();
    }
}

void PersonalStandardsReport::writeCSVBody(ReportCSVWriter &csv) const
{
    writeRows(csv, m_rows, 4);
}
