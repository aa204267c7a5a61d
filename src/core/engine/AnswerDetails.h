#pragma once

#include "core/engine/QuestionReport.h"

// One student's answers over the whole question set (row r shows question r + 1): the answer
// and its points by the activity's rule, or, where the teacher marks the answers (Hand Raise),
// the points given. Teaching-plan pages show empty cells.
class AnswerDetails
{
public:
    AnswerDetails(int activity, const StudentInClassPtr &student);

    static QList<QuestionReport::Column> columns(int activity);

    int rowCount() const { return int(m_rows.size()); }
    QString cell(int row, const QString &identifier) const;

private:
    QStringList m_identifiers;
    QList<QStringList> m_rows;
};
