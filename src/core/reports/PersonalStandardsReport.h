#pragma once

#include "CodeStandardCorrect.h"
#include "PersonalStandardsReportLayout.h"
#include "PersonalStandardsReportPrintDate.h"
#include "ReportDocument.h"
#include "SelectStudents.h"

#include <QList>
#include <QSet>

class QuizEntity;

// "Personal Standards Report": for each ticked student, each curriculum standard the session's
// questions carry, with the share of its questions the student answered right. The outline
// beside the pages holds a node per student and a leaf per code; each leads to its row's page.
class PersonalStandardsReport : public ReportDocument
{
public:
    PersonalStandardsReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                            const ReportFramePolicy &policy = defaultPolicy(),
                            const PersonalStandardsReportLayout &viewLayout = PersonalStandardsReportLayout::standard());
    // The window frame, back to the page shown after a PDF, outline lines counting rows.
    static ReportFramePolicy defaultPolicy();

    // The session's standard codes in the order of their lowest question number (questions taken
    // by number; those without a code left out; codes compared exactly), each with the title of
    // its lowest-numbered question and its questions' numbers and right answers. *titled gets
    // how many codes have a title.
    static QList<CodeStandardCorrect> standardCodes(const QuizEntity &quiz, int *titled = nullptr);
    // The rows of one code: its first title line with the code and the share, a row for each
    // further line of the title wrapped at the layout's width.
    static QList<PersonalStandardsReportPrintDate> codeRows(const CodeStandardCorrect &code, float correct,
                                                            const PersonalStandardsReportLayout &layout);
    // Every stored answer that belongs to a question (StoredAnswers) as a key of its student, that
    // question's number and the response.
    static QSet<QString> answerKeys(const QuizEntity &quiz);
    // The share of the code's questions the student answered right (a stored answer exactly
    // equal to the question's right answer), to three decimals: a question counts once, however
    // many such answers the student stored.
    static float studentRate(const QSet<QString> &answers, const CodeStandardCorrect &code, const QString &studentID);
    // The CSV body of the standards reports; without rows, "There is no record." in row 12 at
    // the column given and "Created On:" in row 15.
    static void writeRows(ReportCSVWriter &csv, const QList<PersonalStandardsReportPrintDate> &rows, int noRecordColumn);

    QString reportName() const override { return QStringLiteral("Personal Standards Report"); }
    const QList<PersonalStandardsReportPrintDate> &printDateArray() const { return m_rows; }
    const QList<CodeStandardCorrect> &standardsCodeCorrectArray() const { return m_codes; }
    int standardCount() const { return m_standardCount; }

    QList<NodeDataPtr> outline() const override { return m_nodes; }

protected:
    int rowCount() const override { return int(m_rows.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 8; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    static QString answerKey(const QString &studentID, const QString &questionID, const QString &response);

    const PersonalStandardsReportLayout &m_layout;
    QList<CodeStandardCorrect> m_codes;
    int m_standardCount = 0;
    QList<PersonalStandardsReportPrintDate> m_rows;
    QList<NodeDataPtr> m_nodes;
};
