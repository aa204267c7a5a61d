#include "QuizSummary.h"

#include "GlobalFunctions.h"

bool QuizSummary::setField(const QString &element, const QString &text)
{
    // Ordered by how often a header holds them, all of them once per file.
    static const struct
    {
        const char *name;
        void (*set)(QuizSummary &, const QString &);
    } fields[] = {
        {"ID", [](QuizSummary &s, const QString &t) { s.setID(t); }},
        {"DateCreated", [](QuizSummary &s, const QString &t) { s.setDateCreated(t); }},
        {"Name", [](QuizSummary &s, const QString &t) { s.setName(t); }},
        {"Title", [](QuizSummary &s, const QString &t) { s.setTitle(t); }},
        {"Mode", [](QuizSummary &s, const QString &t) { s.setMode(t); }},
        {"Model", [](QuizSummary &s, const QString &t) { s.setModel(t); }},
        {"PassGrade", [](QuizSummary &s, const QString &t) { s.setPassGrade(GlobalFunctions::intValue(t)); }},
        {"ClassName", [](QuizSummary &s, const QString &t) { s.setClassName(t); }},
        {"Subject", [](QuizSummary &s, const QString &t) { s.setSubject(t); }},
        {"TeacherName", [](QuizSummary &s, const QString &t) { s.setTeacherName(t); }},
        {"Groups", [](QuizSummary &s, const QString &t) { s.setGroups(GlobalFunctions::intValue(t)); }},
        {"Type", [](QuizSummary &s, const QString &t) { s.setType(t); }},
        {"StartTime", [](QuizSummary &s, const QString &t) { s.setStartTime(t); }},
        {"EndTime", [](QuizSummary &s, const QString &t) { s.setEndTime(t); }},
        {"TimeElapsed", [](QuizSummary &s, const QString &t) { s.setTimeElapsed(GlobalFunctions::intValue(t)); }},
        {"TotalMark", [](QuizSummary &s, const QString &t) { s.setTotalMark(t); }},
    };
    for (const auto &field : fields) {
        if (element == QLatin1String(field.name)) {
            field.set(*this, text);
            return true;
        }
    }
    return false;
}

QString QuizSummary::description() const
{
    QString out;
    const auto line = [&out](const char *label, const QString &value) {
        out += QLatin1String(label) + QStringLiteral(": ") + value + QLatin1Char('\n');
    };
    line("ID", m_ID);
    line("Name", m_Name);
    line("Title", m_Title);
    line("Mode", m_Mode);
    line("DateCreated", m_DateCreated);
    line("Model", m_Model);
    line("Type", m_Type);
    line("Groups", QString::number(m_Groups));
    line("PassGrade", QString::number(m_PassGrade));
    line("ClassName", m_ClassName);
    line("TeacherName", m_TeacherName);
    line("Subject", m_Subject);
    line("isCoureGrade", m_isCoureGrade ? QStringLiteral("1") : QStringLiteral("0"));
    line("TotalMark", m_TotalMark);
    line("StartTime", m_StartTime);
    line("EndTime", m_EndTime);
    line("TimeElapsed", QString::number(m_TimeElapsed));
    return out;
}
