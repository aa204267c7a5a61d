#include "AcademicSummaryReport.h"

#include "AcademicSummaryReportView.h"
#include "GradebookReportDrawing.h"
#include "TickedSessionScores.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportCSVWriter.h"

#include <QCoreApplication>

AcademicSummaryReport::AcademicSummaryReport(const GradebookReportSource &source, const TickedSessionScores &scores,
                                             const QList<StudentMarkGrade> &students, float classAvg,
                                             const AcademicSummaryReportLayout &layout)
    : GradebookStudentReport(source, students), m_layout(layout)
{
    QList<int> rowCounts;
    for (const StudentMarkGrade &student : students) {
        float studentAvg = 0;
        int sessions = 0;
        QList<AcademicSummary> rows = typeRows(scores, student.studentID(), &studentAvg, &sessions);
        const qsizetype types = rows.size();
        for (qsizetype t = 0; t < types; ++t) {
            if (rows.at(t).missedSessions().isEmpty())
                continue;
            AcademicSummary missed;
            missed.setSessionType(rows.at(t).sessionType());
            missed.setCount(rows.at(t).count());
            missed.setMissedSessions(rows.at(t).missedSessions());
            missed.setHasMissedSession(true);
            rows << missed;
        }
        m_heads << ProgressiveAcademicHeadView::forStudent(QCoreApplication::translate("Report", "Academic Summary Report"),
                                                           source, student, classAvg, studentAvg, sessions);
        m_rows << rows;
        rowCounts << int(rows.size());
    }
    setRowsPerStudent(rowCounts, m_layout.rowPerPage, m_layout.signatureThreshold);
    buildPages();
}

QList<AcademicSummary> AcademicSummaryReport::typeRows(const TickedSessionScores &scores, const QString &studentID,
                                                       float *studentAvg, int *sessionCount)
{
    QList<AcademicSummary> rows;
    float sum = 0;
    int sessions = 0;
    for (qsizetype k = 0; k < scores.size(); ++k) {
        if (!scores.ratesStudent(k, studentID))
            continue;
        const SessionSelect &session = scores.row(k);
        const float percent = scores.percent(k, studentID);
        ++sessions;
        sum += percent;
        auto row = std::find_if(rows.begin(), rows.end(),
                                [&](const AcademicSummary &r) { return r.sessionType() == session.type(); });
        if (row == rows.end()) {
            AcademicSummary added;
            added.setSessionType(session.type());
            rows << added;
            row = rows.end() - 1;
        }
        if (TickedSessionScores::isMissed(percent))
            row->setMissedSessions(row->missedSessions().isEmpty()
                                       ? session.session()
                                       : QStringLiteral("%1 %2").arg(row->missedSessions(), session.session()));
        row->setCount(row->count() + 1);
        row->setTotalPoints(row->totalPoints() + percent);
        row->setTotalAvg(row->totalAvg() + scores.averagePercent(k));
    }
    if (studentAvg)
        *studentAvg = sessions > 0 ? sum / float(sessions) : 0.0f;
    if (sessionCount)
        *sessionCount = sessions;
    return rows;
}

void AcademicSummaryReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    AcademicSummaryReportView(m_layout, m_rows.mid(slice.first, slice.count), slice.hasSignature).paint(painter);
}

void AcademicSummaryReport::writeCSVBody(ReportCSVWriter &csv) const
{
    for (int i = 0; i < m_heads.size(); ++i) {
        if (i > 0)
            csv.nextRow(2);
        m_heads.at(i).writeCSV(csv, students().at(i).studentName(), source().teacherName);
        csv.set(1, QStringLiteral("Report"));
        csv.nextRow();
        csv.set(1, QStringLiteral("Session Type"));
        csv.set(5, QStringLiteral("Points"));
        csv.set(6, QStringLiteral("Session Avg"));
        csv.nextRow();
        const QList<AcademicSummary> rows = rowsOf(i);
        for (const AcademicSummary &row : rows) {
            if (row.hasMissedSession())
                continue;
            csv.set(1, row.typeText());
            csv.set(5, PrintfNumber::fixed(row.averagePercent(), 1));
            csv.set(6, PrintfNumber::fixed(row.averageOfSessions(), 1));
            csv.nextRow();
        }
        csv.set(1, QStringLiteral("Missed Session(s)"));
        csv.nextRow();
        for (const AcademicSummary &row : rows) {
            if (!row.hasMissedSession())
                continue;
            csv.set(1, QStringLiteral("%1:%2").arg(row.typeText(), row.missedSessions()));
            csv.nextRow();
        }
    }
}
