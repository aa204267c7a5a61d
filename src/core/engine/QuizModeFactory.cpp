#include "QuizModeFactory.h"

#include "core/engine/Arvel_Elimination.h"
#include "core/engine/Arvel_HandRaise.h"
#include "core/engine/Arvel_Multiple.h"
#include "core/engine/Arvel_Normal.h"
#include "core/engine/Arvel_PaperQuiz.h"
#include "core/engine/Arvel_QuickGroup.h"
#include "core/engine/Arvel_RollCall.h"
#include "core/engine/Arvel_Rush.h"
#include "core/engine/Arvel_Survey.h"
#include "core/engine/Arvel_Vote.h"
#include "core/engine/Brevel_Elimination.h"
#include "core/engine/Brevel_Multiple.h"
#include "core/engine/Brevel_Normal.h"
#include "core/engine/Brevel_PaperQuiz.h"
#include "core/engine/Brevel_RollCall.h"
#include "core/engine/Brevel_Rush.h"
#include "core/engine/Brevel_Vote.h"
#include "core/engine/Corvel_Elimination.h"
#include "core/engine/Corvel_HandRaise.h"
#include "core/engine/Corvel_HomeWork.h"
#include "core/engine/Corvel_Multiple.h"
#include "core/engine/Corvel_Normal.h"
#include "core/engine/Corvel_PaperQuiz.h"
#include "core/engine/Corvel_QuickGroup.h"
#include "core/engine/Corvel_RollCall.h"
#include "core/engine/Corvel_Rush.h"
#include "core/engine/Corvel_Survey.h"
#include "core/engine/Corvel_Vote.h"
#include "core/engine/Dravel_Elimination.h"
#include "core/engine/Dravel_HomeWork.h"
#include "core/engine/Dravel_Multiple.h"
#include "core/engine/Dravel_Normal.h"
#include "core/engine/Dravel_PaperQuiz.h"
#include "core/engine/Dravel_RollCall.h"
#include "core/engine/Dravel_Rush.h"
#include "core/engine/Dravel_Survey.h"
#include "core/engine/Dravel_Vote.h"

#include <QHash>

#include <functional>

namespace {
QString smallFamilyClass(int activity, bool presentationRun)
{
    switch (activity) {
    case 0:
    case 9: return QStringLiteral("Arvel_Normal");
    case 1: return QStringLiteral("Arvel_PaperQuiz");
    case 3:
    case 10: return QStringLiteral("Arvel_Rush");
    case 4:
    case 11: return QStringLiteral("Arvel_Elimination");
    case 5: return QStringLiteral("Arvel_Multiple");
    case 7:
    case 12: return QStringLiteral("Arvel_Vote");
    case 8: return QStringLiteral("Arvel_RollCall");
    case 13: return presentationRun ? QStringLiteral("Arvel_Normal") : QStringLiteral("Arvel_QuickGroup");
    case 14: return QStringLiteral("Arvel_HandRaise");
    default: return presentationRun ? QStringLiteral("Arvel_Normal") : QString();
    }
}

QString largeFamilyClass(int activity, int deviceType, bool presentationRun)
{
    const QString model = deviceType == 2 ? QStringLiteral("Corvel") : deviceType == 3 ? QStringLiteral("Dravel") : QStringLiteral("Brevel");
    switch (activity) {
    case 0:
    case 9: return model + QStringLiteral("_Normal");
    case 1: return model + QStringLiteral("_PaperQuiz");
    case 2: return deviceType == 4 ? QString() : model + QStringLiteral("_HomeWork");
    case 3:
    case 10: return model + QStringLiteral("_Rush");
    case 4:
    case 11: return model + QStringLiteral("_Elimination");
    case 5: return model + QStringLiteral("_Multiple");
    case 7:
    case 12: return (deviceType == 3 && presentationRun) ? QStringLiteral("Corvel_Vote") : model + QStringLiteral("_Vote");
    case 8: return (deviceType == 3 && !presentationRun) ? QStringLiteral("Corvel_RollCall") : model + QStringLiteral("_RollCall");
    case 13: return presentationRun ? QString() : QStringLiteral("Arvel_QuickGroup");
    case 14: return QStringLiteral("Arvel_HandRaise");
    default: return QString();
    }
}
} // namespace

QString QuizModeFactory::className(int activity, int deviceType, bool presentationRun)
{
    if (deviceType == 0 || deviceType == 1)
        return smallFamilyClass(activity, presentationRun);
    if (deviceType >= 2 && deviceType <= 4)
        return largeFamilyClass(activity, deviceType, presentationRun);
    return QString();
}

std::unique_ptr<QuizMode> QuizModeFactory::create(int activity, int deviceType, bool presentationRun)
{
    static const QHash<QString, std::function<std::unique_ptr<QuizMode>()>> makers = {
        {QStringLiteral("Arvel_Elimination"), [] { return std::unique_ptr<QuizMode>(new Arvel_Elimination); }},
        {QStringLiteral("Arvel_HandRaise"), [] { return std::unique_ptr<QuizMode>(new Arvel_HandRaise); }},
        {QStringLiteral("Arvel_Multiple"), [] { return std::unique_ptr<QuizMode>(new Arvel_Multiple); }},
        {QStringLiteral("Arvel_Normal"), [] { return std::unique_ptr<QuizMode>(new Arvel_Normal); }},
        {QStringLiteral("Arvel_PaperQuiz"), [] { return std::unique_ptr<QuizMode>(new Arvel_PaperQuiz); }},
        {QStringLiteral("Arvel_QuickGroup"), [] { return std::unique_ptr<QuizMode>(new Arvel_QuickGroup); }},
        {QStringLiteral("Arvel_RollCall"), [] { return std::unique_ptr<QuizMode>(new Arvel_RollCall); }},
        {QStringLiteral("Arvel_Rush"), [] { return std::unique_ptr<QuizMode>(new Arvel_Rush); }},
        {QStringLiteral("Arvel_Survey"), [] { return std::unique_ptr<QuizMode>(new Arvel_Survey); }},
        {QStringLiteral("Arvel_Vote"), [] { return std::unique_ptr<QuizMode>(new Arvel_Vote); }},
        {QStringLiteral("Brevel_Elimination"), [] { return std::unique_ptr<QuizMode>(new Brevel_Elimination); }},
        {QStringLiteral("Brevel_Multiple"), [] { return std::unique_ptr<QuizMode>(new Brevel_Multiple); }},
        {QStringLiteral("Brevel_Normal"), [] { return std::unique_ptr<QuizMode>(new Brevel_Normal); }},
        {QStringLiteral("Brevel_PaperQuiz"), [] { return std::unique_ptr<QuizMode>(new Brevel_PaperQuiz); }},
        {QStringLiteral("Brevel_RollCall"), [] { return std::unique_ptr<QuizMode>(new Brevel_RollCall); }},
        {QStringLiteral("Brevel_Rush"), [] { return std::unique_ptr<QuizMode>(new Brevel_Rush); }},
        {QStringLiteral("Brevel_Vote"), [] { return std::unique_ptr<QuizMode>(new Brevel_Vote); }},
        {QStringLiteral("Corvel_Elimination"), [] { return std::unique_ptr<QuizMode>(new Corvel_Elimination); }},
        {QStringLiteral("Corvel_HandRaise"), [] { return std::unique_ptr<QuizMode>(new Corvel_HandRaise); }},
        {QStringLiteral("Corvel_HomeWork"), [] { return std::unique_ptr<QuizMode>(new Corvel_HomeWork); }},
        {QStringLiteral("Corvel_Multiple"), [] { return std::unique_ptr<QuizMode>(new Corvel_Multiple); }},
        {QStringLiteral("Corvel_Normal"), [] { return std::unique_ptr<QuizMode>(new Corvel_Normal); }},
        {QStringLiteral("Corvel_PaperQuiz"), [] { return std::unique_ptr<QuizMode>(new Corvel_PaperQuiz); }},
        {QStringLiteral("Corvel_QuickGroup"), [] { return std::unique_ptr<QuizMode>(new Corvel_QuickGroup); }},
        {QStringLiteral("Corvel_RollCall"), [] { return std::unique_ptr<QuizMode>(new Corvel_RollCall); }},
        {QStringLiteral("Corvel_Rush"), [] { return std::unique_ptr<QuizMode>(new Corvel_Rush); }},
        {QStringLiteral("Corvel_Survey"), [] { return std::unique_ptr<QuizMode>(new Corvel_Survey); }},
        {QStringLiteral("Corvel_Vote"), [] { return std::unique_ptr<QuizMode>(new Corvel_Vote); }},
        {QStringLiteral("Dravel_Elimination"), [] { return std::unique_ptr<QuizMode>(new Dravel_Elimination); }},
        {QStringLiteral("Dravel_HomeWork"), [] { return std::unique_ptr<QuizMode>(new Dravel_HomeWork); }},
        {QStringLiteral("Dravel_Multiple"), [] { return std::unique_ptr<QuizMode>(new Dravel_Multiple); }},
        {QStringLiteral("Dravel_Normal"), [] { return std::unique_ptr<QuizMode>(new Dravel_Normal); }},
        {QStringLiteral("Dravel_PaperQuiz"), [] { return std::unique_ptr<QuizMode>(new Dravel_PaperQuiz); }},
        {QStringLiteral("Dravel_RollCall"), [] { return std::unique_ptr<QuizMode>(new Dravel_RollCall); }},
        {QStringLiteral("Dravel_Rush"), [] { return std::unique_ptr<QuizMode>(new Dravel_Rush); }},
        {QStringLiteral("Dravel_Survey"), [] { return std::unique_ptr<QuizMode>(new Dravel_Survey); }},
        {QStringLiteral("Dravel_Vote"), [] { return std::unique_ptr<QuizMode>(new Dravel_Vote); }},
    };
    const auto it = makers.constFind(className(activity, deviceType, presentationRun));
    if (it == makers.constEnd())
        return nullptr;
    std::unique_ptr<QuizMode> mode = it.value()();
    mode->setDeviceType(deviceType);
    return mode;
}
