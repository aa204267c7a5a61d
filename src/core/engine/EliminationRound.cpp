#include "EliminationRound.h"

#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

void EliminationRound::begin(int q)
{
    auto *qd = QuizData::shareManager();
    const QList<int> out = qd->arrayEliminationStudentsDeviceNo();
    qd->setEliminationModeJoinStudents(QuizParticipantData::shareManager()->getSumOfLoginStudents() - int(out.size()), q);
    qd->setArrayAlreadyEliminationDeviceNo(out, q);
}

bool EliminationRound::isEliminated(int d)
{
    return QuizData::shareManager()->arrayEliminationStudentsDeviceNo().contains(d);
}

void EliminationRound::decide(int q, QObject *sender)
{
    auto *qd = QuizData::shareManager();
    const QString right = QuizQuestions::shareManager()->answer(q);
    QList<int> out = qd->arrayEliminationStudentsDeviceNo();
    for (int d : QuizParticipantData::shareManager()->loginDeviceNos()) {
        if (out.contains(d)) {
            qd->setArrayAlreadyEliminationSum(int(out.size()), q);
            continue;
        }
        const QString answer = qd->getStudentAnswer(q, d);
        const bool wrong = answer != right;
        if (wrong) {
            out.append(d);
            qd->setArrayEliminationStudentsDeviceNo(out);
        }
        qd->setArrayAlreadyEliminationSum(int(out.size()), q);
        NotificationCenter::defaultCenter()->postNotification(
            Notify::StudentElimination,
            {{Notify::Key::DeviceNo, d}, {Notify::Key::Type, wrong ? 1 : 0}, {Notify::Key::Ans, answer}}, sender);
    }
}
