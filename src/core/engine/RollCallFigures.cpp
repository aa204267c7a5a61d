#include "RollCallFigures.h"

#include "core/engine/FigureText.h"
#include "core/engine/QuizData.h"

QList<StudentInClassPtr> RollCallFigures::absentees()
{
    const QuizData *qd = QuizData::shareManager();
    QList<StudentInClassPtr> out;
    for (const StudentInClassPtr &s : QuizParticipantData::shareManager()->arrayClassStudents()) {
        // The roll call records "1" for every keypad that answers.
        if (s && (s->deviceNo() <= 0 || qd->getStudentAnswer(1, s->deviceNo()) != QLatin1String("1")))
            out << s;
    }
    return out;
}

QString RollCallFigures::rate(int count, int participants)
{
    return FigureText::percent(participants <= 0 ? 0.f : float(count) / float(participants));
}

int RollCallFigures::groupOfAnswer(const QString &answer)
{
    if (answer.isEmpty())
        return 0;
    const QChar c = answer.at(0);
    return c >= QLatin1Char('A') && c <= QLatin1Char('G') ? c.unicode() - 'A' + 1 : 0;
}

QList<int> RollCallFigures::groupCounts()
{
    QList<int> counts(GroupCount + 1, 0);
    const QuizData *qd = QuizData::shareManager();
    for (int d : QuizParticipantData::shareManager()->loginDeviceNos()) {
        const int g = groupOfAnswer(qd->getStudentAnswer(1, d));
        ++counts[g == 0 ? GroupCount : g - 1];
    }
    return counts;
}
