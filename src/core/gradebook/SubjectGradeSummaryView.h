#pragma once

#include "AcademicSummary.h"
#include "ConversionLetter.h"
#include "SubjectGradeSummaryLayout.h"

#include <QList>
#include <QString>

class ReportPainter;

// One page of a student's Course Grade Summary: the page's type rows with the student's average
// percent and its letter, the "Final" row with the weighted total and its letter, and on the
// student's last page the signature block.
class SubjectGradeSummaryView
{
public:
    SubjectGradeSummaryView(const SubjectGradeSummaryLayout &layout, const QList<AcademicSummary> &rows,
                            const QList<ConversionLetter> &letters, bool hasSignature, float totalPoint,
                            const QString &totalLetter);

    void paint(ReportPainter &painter) const;

private:
    const SubjectGradeSummaryLayout &m_layout;
    QList<AcademicSummary> m_rows;
    const QList<ConversionLetter> &m_letters;
    bool m_signature;
    float m_totalPoint;
    QString m_totalLetter;
};
