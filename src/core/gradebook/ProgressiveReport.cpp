#include "ProgressiveReport.h"

#include "GradebookReportDrawing.h"
#include "ProgressiveReportView.h"
#include "TickedSessionScores.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportCSVWriter.h"
#include "core/store/GlobalFunctions.h"

#include <QCoreApplication>

ProgressiveReport::ProgressiveReport(const GradebookReportSource &source, const TickedSessionScores &scores,
                                     const QList<StudentMarkGrade> &students, float classAvg,
                                     const ProgressiveReportLayout &layout)
    : GradebookStudentReport(source, students), m_layout(layout), m_classAvg(classAvg)
{
    QList<int> rowCounts;
    for (const StudentMarkGrade &student : students) {
        float studentAvg = 0;
        int sessions = 0;
        const QList<PregressReportData> rows = buildRows(scores, student.studentID(), &studentAvg, &sessions);
        m_heads << ProgressiveAcademicHeadView::forStudent(
            QCoreApplication::translate("Report", "%1 Progressive Report").arg(source.subjectName), source, student,
            classAvg, studentAvg, sessions);
        m_rows << rows;
        rowCounts << int(rows.size());
    }
    setRowsPerStudent(rowCounts, m_layout.rowPerPage, m_layout.signatureThreshold);
    buildPages();
}

QString ProgressiveReport::reportName() const
{
    return QStringLiteral("%1 Progressive Report").arg(source().subjectName);
}

QList<PregressReportData> ProgressiveReport::buildRows(const TickedSessionScores &scores, const QString &studentID,
                                                       float *studentAvg, int *sessionCount)
{
    QList<PregressReportData> rows;
    QList<bool> missed;
    float sum = 0;
    for (qsizetype k = 0; k < scores.size(); ++k) {
        if (!scores.ratesStudent(k, studentID))
            continue;
        const SessionSelect &session = scores.row(k);
        const float percent = scores.percent(k, studentID);
        PregressReportData row;
        row.setSession(session.session());
        row.setSessionType(session.type());
        row.setPoint(PrintfNumber::fixed(percent, 1));
        row.setSessionAvg(scores.averagePercent(k));
        row.setDate(session.date());
        sum += percent;
        missed << isMissedAsShown(row.point());
        rows << row;
    }
    const int sessions = int(rows.size());
    for (int i = 0; i < sessions; ++i)
        if (missed.at(i)) {
            PregressReportData row = rows.at(i);
            row.setFlag(PregressReportData::MissedRow);
            rows << row;
        }
    if (studentAvg)
        *studentAvg = sessions > 0 ? sum / float(sessions) : 0.0f;
    if (sessionCount)
        *sessionCount = sessions;
    return rows;
}

bool ProgressiveReport::isMissedAsShown(const QString &point)
{
    return GlobalFunctions::intValue(point) < TickedSessionScores::kPassPercent;
}

QList<PregressReportData> ProgressiveReport::rowsOf(int student) const
{
    return m_rows.mid(firstRowOf(student), rowCountOf(student));
}

void ProgressiveReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    ProgressiveReportView(m_layout, m_rows.mid(slice.first, slice.count), slice.hasSignature).paint(painter);
}

void ProgressiveReport::writeCSVBody(ReportCSVWriter &csv) const
{
    for (int i = 0; i < m_heads.size(); ++i) {
        const ProgressiveAcademicHeadView &head = m_heads.at(i);
        const StudentMarkGrade &student = students().at(i);
        if (i > 0)
            csv.nextRow(2);
        head.writeCSV(csv, student.studentName(), source().teacherName);
        csv.nextRow();
        csv.set(1, QStringLiteral("Report"));
        csv.nextRow();
        csv.set(1, QStringLiteral("Session"));
        csv.set(4, QStringLiteral("Session Type"));
        csv.set(5, QStringLiteral("Points"));
        csv.set(6, QStringLiteral("Session Avg"));
        csv.set(7, QStringLiteral("Date"));
        csv.nextRow();
        const QList<PregressReportData> rows = rowsOf(i);
        for (const PregressReportData &row : rows) {
            if (row.flag() != PregressReportData::SessionRow)
                continue;
            csv.set(1, row.session());
            csv.set(4, row.sessionType());
            csv.set(5, row.point());
            csv.set(6, PrintfNumber::fixed(row.sessionAvg(), 1));
            csv.set(7, row.date());
            csv.nextRow();
        }
        csv.nextRow();
        csv.set(1, QStringLiteral("Missed Session(s)"));
        csv.nextRow();
        csv.set(1, QStringLiteral("Session Title"));
        csv.set(7, QStringLiteral("Session Date"));
        csv.nextRow();
        for (const PregressReportData &row : rows) {
            if (row.flag() != PregressReportData::MissedRow)
                continue;
            csv.set(1, row.session());
            csv.set(7, row.date());
            csv.nextRow();
        }
    }
}
