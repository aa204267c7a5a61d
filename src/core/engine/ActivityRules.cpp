#include "ActivityRules.h"

#include <QCoreApplication>

#include <array>

namespace {

using R = ActivityRule;

// One row per activity number, in number order.
std::array<ActivityRule, Activity::Count> makeTable()
{
    std::array<ActivityRule, Activity::Count> t{};
    const auto row = [&t](int activity, const char *name, int stored, const char *sessionType) -> ActivityRule & {
        ActivityRule &r = t[activity];
        r.activity = activity;
        r.name = name;
        r.baseActivity = activity;
        r.storedActivity = stored;
        r.sessionType = sessionType;
        return r;
    };

    row(Activity::NormalQuiz, "Normal Quiz", StoredActivity::NormalQuiz, "Exam");

    R &paper = row(Activity::PaperQuiz, "Paper Quiz", StoredActivity::PaperQuiz, "Exam");
    paper.pages = R::Pages::QuestionFileNoPlans;
    paper.showsPages = paper.navigates = paper.checksQuestionAtStart = paper.readAloud = false;
    paper.time = R::Time::SumOfQuizTimes;
    paper.start = R::Start::PaperQuiz;
    paper.stop = R::Stop::Plain;
    paper.grid = R::Grid::PaperQuiz;
    paper.questionPcStateAlways = paper.questionSetOnKeypads = true;
    paper.resultAfterStop = false;
    paper.result = R::ResultWindow::QuizResultQuestionOnly;
    paper.totalCoversWholeSet = true;
    paper.report = R::Report::PaperQuiz;
    paper.runs = R::Runs::QuestionSet;

    R &homework = row(Activity::HomeWork, "Homework", StoredActivity::HomeWork, "Homework");
    homework.showsPages = homework.navigates = homework.checksQuestionAtStart = homework.readAloud = false;
    homework.adjustableTime = false;
    homework.time = R::Time::Assigning;
    homework.start = R::Start::HomeWork;
    homework.stop = R::Stop::Plain;
    homework.questionPcStateAlways = homework.questionSetOnKeypads = true;
    homework.resultAfterStop = false;
    homework.result = R::ResultWindow::QuizResultQuestionOnly;
    homework.totalCoversWholeSet = true;
    homework.report = R::Report::HomeWork;
    homework.runs = R::Runs::QuestionSet;

    R &rush = row(Activity::RushQuiz, "Rush Quiz", StoredActivity::RushQuiz, "Game");
    rush.time = R::Time::RushTime;
    rush.start = R::Start::Rush;
    rush.questionPcStateAlways = true;
    rush.wrongAnswer = R::WrongAnswer::CostsPoints;

    R &elimination = row(Activity::Elimination, "Elimination", StoredActivity::Elimination, "Game");
    elimination.start = R::Start::Elimination;
    elimination.stop = R::Stop::Plain;
    elimination.questionRunsOnce = elimination.locksLoginsAtStart = true;
    elimination.nextGrid = R::NextGrid::RightOnPreviousQuestion;

    R &multiple = row(Activity::MultipleMode, "Multiple Mode", StoredActivity::MultipleMode, "Exam");
    multiple.time = R::Time::ActionModeTime;
    multiple.start = R::Start::ByActionMode;
    multiple.wrongAnswer = R::WrongAnswer::ByActionMode;

    R &survey = row(Activity::Survey, "Survey", StoredActivity::Survey, "Exam");
    survey.stop = R::Stop::Survey;
    survey.resultAfterStop = survey.reportAfterStop = false;
    survey.result = R::ResultWindow::Histogram;
    survey.report = R::Report::Survey;

    R &vote = row(Activity::Vote, "Vote", StoredActivity::Vote, "Other");
    vote.stop = R::Stop::Plain;
    vote.reportAfterStop = false;
    vote.result = R::ResultWindow::Histogram;
    vote.questionBroadcastRepeated = true;

    for (int n : {int(Activity::Attendance), int(Activity::QuickGrouping)}) {
        R &roll = n == Activity::Attendance ? row(n, "Attendance", StoredActivity::Attendance, "Attendance")
                                            : row(n, "Quick Grouping", 0, "Exam");
        roll.pages = R::Pages::None;
        roll.showsPages = roll.navigates = roll.checksQuestionAtStart = false;
        roll.time = R::Time::Minute;
        roll.start = R::Start::RollCall;
        roll.stop = R::Stop::RollCall;
        roll.grid = R::Grid::RollCall;
        roll.reportAfterStop = false;
        roll.runs = n == Activity::Attendance ? R::Runs::RollCall : R::Runs::Grouping;
    }
    t[Activity::Attendance].readAloud = false;
    t[Activity::Attendance].questionPcStateAlways = true;
    t[Activity::Attendance].result = R::ResultWindow::RollCallResult;
    t[Activity::Attendance].fallbackDeviceType = DeviceType::Corvel;
    t[Activity::QuickGrouping].result = R::ResultWindow::QuickGroupingResult;
    t[Activity::QuickGrouping].fallbackDeviceType = DeviceType::Arvel;

    // Free style: the activity it stands for, on pages written during the run.
    const auto freeStyle = [&t](int activity, int base) {
        ActivityRule &r = t[activity];
        r = t[base];
        r.activity = activity;
        r.baseActivity = base;
        r.freeStyle = true;
        r.pages = R::Pages::Editable;
        r.stop = R::Stop::Question;
        r.answerSetting = base != Activity::Vote;
        r.questionPcStateAlways = false;
    };
    freeStyle(Activity::FreeNormalQuiz, Activity::NormalQuiz);
    freeStyle(Activity::FreeRushQuiz, Activity::RushQuiz);
    freeStyle(Activity::FreeElimination, Activity::Elimination);
    freeStyle(Activity::FreeVote, Activity::Vote);
    t[Activity::FreeElimination].nextGrid = R::NextGrid::RightOnThisQuestion;

    R &handRaise = row(Activity::HandRaise, "Hand Raise", StoredActivity::HandRaise, "Exam");
    handRaise.stop = R::Stop::Plain;
    handRaise.grid = R::Grid::HandRaise;
    handRaise.resultAfterStop = false;
    handRaise.result = R::ResultWindow::QuizResultQuestionOnly;
    handRaise.fallbackDeviceType = DeviceType::Arvel;
    handRaise.pointsMarkedByTeacher = true;
    handRaise.report = R::Report::HandRaise;
    return t;
}

const std::array<ActivityRule, Activity::Count> &table()
{
    static const std::array<ActivityRule, Activity::Count> t = makeTable();
    return t;
}

ActivityRule makeOther()
{
    ActivityRule r;
    r.stop = ActivityRule::Stop::Survey;
    r.resultAfterStop = r.reportAfterStop = false;
    return r;
}

} // namespace

const ActivityRule &ActivityRules::rule(int activity)
{
    static const ActivityRule other = makeOther();
    if (activity < 0 || activity >= Activity::Count)
        return other;
    return table()[activity];
}

const QStringList &ActivityRules::AllActivityMode()
{
    // The English names are the translation keys.
    static const QStringList names = [] {
        QStringList out;
        for (int activity = 0; activity < Activity::Count; ++activity)
            out << QCoreApplication::translate("Orvenda_AppDelegate", ActivityRules::rule(activity).name);
        return out;
    }();
    return names;
}

QString ActivityRules::name(int activity)
{
    return QString::fromLatin1(rule(activity).name);
}

bool ActivityRules::isFreeStyle(int activity)
{
    return rule(activity).freeStyle;
}

int ActivityRules::savedActivity(int activity)
{
    const ActivityRule &r = rule(activity);
    return r.activity < 0 ? activity : r.baseActivity;
}

QString ActivityRules::storedCode(int activity)
{
    const int stored = rule(savedActivity(activity)).storedActivity;
    return stored > 0 ? QString::number(stored) : QString();
}

QString ActivityRules::sessionType(int activity)
{
    return QString::fromLatin1(rule(savedActivity(activity)).sessionType);
}

ActivityRule::Time ActivityRules::time(int activity, int actionMode)
{
    const ActivityRule::Time t = rule(activity).time;
    if (t != ActivityRule::Time::ActionModeTime)
        return t;
    return actionMode == ActionMode::Rush ? ActivityRule::Time::RushTime : ActivityRule::Time::QuizTime;
}

ActivityRule::Start ActivityRules::startStep(int activity, int actionMode)
{
    const ActivityRule::Start s = rule(activity).start;
    if (s != ActivityRule::Start::ByActionMode)
        return s;
    switch (actionMode) {
    case ActionMode::Rush:
        return ActivityRule::Start::Rush;
    case ActionMode::Normal:
    case ActionMode::Elimination:
    case ActionMode::Vote:
        return ActivityRule::Start::CountDown;
    default:
        return ActivityRule::Start::Nothing;
    }
}

bool ActivityRules::questionRunsOnce(int activity, int actionMode)
{
    return eliminates(activity, actionMode);
}

bool ActivityRules::eliminates(int activity, int actionMode)
{
    if (rule(activity).start == ActivityRule::Start::ByActionMode)
        return actionMode == ActionMode::Elimination;
    return rule(activity).questionRunsOnce;
}

bool ActivityRules::clearsEliminatedAtStart(int activity, int actionMode)
{
    return rule(activity).start == ActivityRule::Start::ByActionMode && actionMode != ActionMode::Elimination;
}

ActivityRule::NextGrid ActivityRules::gridAfterNext(int activity, int actionMode)
{
    if (rule(activity).start == ActivityRule::Start::ByActionMode && actionMode == ActionMode::Elimination)
        return ActivityRule::NextGrid::RightOnPreviousQuestion;
    return rule(activity).nextGrid;
}

ActivityRule::Grid ActivityRules::grid(int activity, int deviceType)
{
    const ActivityRule::Grid g = rule(activity).grid;
    // Only the Arvel and Brevel keypads page through a paper quiz question by question.
    if (g == ActivityRule::Grid::PaperQuiz && deviceType != DeviceType::Arvel && deviceType != DeviceType::Brevel)
        return ActivityRule::Grid::Normal;
    return g;
}

QString ActivityRules::actionModeName(int actionMode)
{
    switch (actionMode) {
    case ActionMode::Rush:
        return name(Activity::RushQuiz);
    case ActionMode::Elimination:
        return name(Activity::Elimination);
    default:
        return name(Activity::NormalQuiz);
    }
}

int ActivityRules::keypadQuestionLimit(int activity, int deviceType)
{
    const bool holdsSet = deviceType == DeviceType::Corvel || deviceType == DeviceType::Dravel;
    return holdsSet && rule(activity).questionSetOnKeypads ? 60 : 0;
}

int ActivityRules::modeObjectDeviceType(int activity, int deviceType)
{
    if (deviceType >= DeviceType::Arvel && deviceType <= DeviceType::Brevel)
        return deviceType;
    return rule(activity).fallbackDeviceType;
}
