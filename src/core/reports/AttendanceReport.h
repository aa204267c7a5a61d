#pragma once

#include "ReportDocument.h"
#include "RollCallLayout.h"
#include "StudentIdNameAnswer.h"

#include <QList>

class QuizEntity;

// "Attendance": the roll call of an attendance session: how many of the class were absent and
// present, as counts and shares, and the names of both, each list in the order of the students'
// IDs read as numbers.
//
// The absentees are the students whose IDs the roll calls name ("|" between IDs). A student named
// more than once is absent once, so absentees and attendants add up to the class.
class AttendanceReport : public ReportDocument
{
public:
    explicit AttendanceReport(const QuizEntity &quiz, const ReportFramePolicy &policy = frame(),
                              const RollCallLayout &viewLayout = RollCallLayout::standard());

    // Back to the page shown after a PDF; the CSV head with "Report".
    static ReportFramePolicy frame();

    QString reportName() const override { return QStringLiteral("Attendance"); }
    int totalStudent() const { return m_totalStudent; }
    const QList<StudentIdNameAnswer> &studentList() const { return m_students; }
    const QList<StudentIdNameAnswer> &absentList() const { return m_absentees; }
    const QList<StudentIdNameAnswer> &attendantsList() const { return m_attendants; }
    int participants() const { return int(m_absentees.size() + m_attendants.size()); }

protected:
    // The longer of the two lists sets the pages.
    int rowCount() const override;
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 7; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const RollCallLayout &m_layout;
    int m_totalStudent = 0;
    QList<StudentIdNameAnswer> m_students;
    QList<StudentIdNameAnswer> m_absentees;
    QList<StudentIdNameAnswer> m_attendants;
};
