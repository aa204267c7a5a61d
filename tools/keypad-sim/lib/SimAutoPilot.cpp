#include "SimAutoPilot.h"

#include <QSet>

#include <algorithm>
#include <chrono>
#include <vector>

namespace keypadsim {

namespace {
// The mode byte of a running question whose whole set the students work through on their own
// and then hand in (homework, paper quiz).
constexpr int kWholeSetMode = 2;
} // namespace

SimAutoPilot::SimAutoPilot(SimReceiver &receiver, const Options &options)
    : m_sim(receiver), m_activity(receiver), m_options(options)
{
}

SimAutoPilot::Options SimAutoPilot::Options::brisk(int keypads, const QStringList &answers)
{
    Options o;
    o.keypads = keypads;
    o.answers = answers;
    o.pollMs = 10;
    o.minDelayMs = 20;
    o.maxDelayMs = 200;
    o.silentPercent = 0;
    o.rightPercent = 100;
    return o;
}

SimAutoPilot::~SimAutoPilot()
{
    stop();
}

void SimAutoPilot::start()
{
    if (m_thread.joinable())
        return;
    m_stop = false;
    // The keypads answer the host's wake themselves (answerWakeCall), so the set's receiver does not.
    m_set = std::make_unique<SimQuestionSet>(
        m_sim, SimQuestionSet::Options{m_options.lossPercent, 0, false, m_options.seed + 1});
    m_sim.setUploadLossPercent(m_options.lossPercent);
    m_thread = std::thread([this] { run(); });
}

void SimAutoPilot::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    m_set.reset();
}

QString SimAutoPilot::chooseAnswer(const QString &right, int roll, int rightPercent, std::mt19937 &rng, int options)
{
    if (roll < rightPercent)
        return right;
    // A keypad offers only the question's options: a true-or-false question is never answered C.
    const int n = options >= 2 ? std::min(options, 10) : 4;
    QStringList others;
    for (int i = 0; i < n; ++i)
        if (const QString o(QChar(u'A' + i)); o != right)
            others << o;
    return others.at(int(rng() % others.size()));
}

QStringList SimAutoPilot::teacherScreens() const
{
    std::lock_guard lock(m_screenMutex);
    return m_teacherScreens;
}

void SimAutoPilot::answerWakeCall(int &wakesSeen)
{
    const int wakes = m_activity.wakeFrames();
    if (wakes < wakesSeen)
        wakesSeen = 0; // the log was cleared: the wakes heard since count from its start
    if (wakes <= wakesSeen || m_holdWakeAnswers)
        return;
    wakesSeen = wakes;
    if (m_options.keypads <= 0)
        return;
    if (m_sim.model() == Model::Brevel) {
        // Brevel keypads never log in: the keypad that wakes first answers the call.
        m_sim.wakeUpReply(1);
        return;
    }
    // Each keypad answers as it stands. One that is out (never in, logged out at a class's end, or
    // refused because its student is not in the class) logs in, with the student ID it holds (a
    // keypad logged in by hand too, whatever its number); one that is in keeps its device number
    // and answers the call, the first of them for all, so that a few keypads out (students of
    // another class about) never keep the program from going on with the class that is in.
    int firstIn = 0;
    bool anyOut = false;
    QList<int> ids = m_sim.keypadIds();
    for (int id = 1; id <= m_options.keypads; ++id)
        if (!ids.contains(id))
            ids << id;
    std::sort(ids.begin(), ids.end());
    for (int id : ids) {
        const SimKeypad k = m_sim.keypad(id);
        if (k.teacher)
            continue;
        if (k.loggedIn) {
            firstIn = firstIn ? firstIn : id;
            continue;
        }
        if (!k.studentId.isEmpty())
            m_sim.login(id, k.studentId, k.name);
        else if (m_options.students && id <= m_options.keypads)
            m_activity.loginAll(id, 1, id);
        else
            continue;
        anyOut = true;
    }
    if (anyOut)
        ++m_loginRounds;
    if (firstIn)
        m_sim.wakeUpReply(firstIn);
}

void SimAutoPilot::showTeacherScreens(const QList<QByteArray> &frames, int &shown)
{
    int seen = 0;
    for (const QByteArray &f : frames) {
        const QString screen = SimRunPlay::teacherScreen(f);
        if (screen.isEmpty() || ++seen <= shown)
            continue;
        shown = seen;
        {
            std::lock_guard lock(m_screenMutex);
            m_teacherScreens << screen;
        }
        if (m_options.teacherScreen) {
            std::fprintf(m_options.teacherScreen, "teacher keypad: %s\n", qPrintable(screen));
            std::fflush(m_options.teacherScreen);
        }
    }
}

QMap<int, QString> SimAutoPilot::homework(int id, std::mt19937 &rng) const
{
    QList<int> held = m_set ? m_set->questions(id).keys() : QList<int>();
    if (held.isEmpty() && !(m_set && m_set->announcedCount(id) > 0)) {
        for (int q = 1; q <= m_options.answers.size(); ++q)
            held << q;
    }
    QMap<int, QString> out;
    for (int q : held) {
        const QString right = m_options.answers.value(q - 1, QStringLiteral("A"));
        out.insert(q, chooseAnswer(right, int(rng() % 100), m_options.rightPercent, rng));
    }
    return out;
}

void SimAutoPilot::run()
{
    using namespace std::chrono;
    std::mt19937 rng(m_options.seed);
    const bool smallFamily = m_sim.info().family == 0;
    int wakesSeen = 0;
    int screensShown = 0;
    int questionSerial = 0;
    SimRunPlay::Kind kind = SimRunPlay::Kind::Quiz;
    int rushFrom = 0;       // the frames of the running rush question start here
    int rushWinner = 0;     // keypad id that won it; 0 none yet
    bool resultAsked = true;
    steady_clock::time_point askResultAt;
    QString right;
    int optionCount = 4;
    struct Pending
    {
        steady_clock::time_point due;
        SimRunPlay::Press press;
    };
    std::vector<Pending> pending;
    // Homework and paper quiz: when each keypad next asks to hand in.
    bool handingIn = false;
    std::vector<std::pair<steady_clock::time_point, int>> handIns;
    const bool uploads = m_sim.model() == Model::Corvel || m_sim.model() == Model::Dravel;
    const auto idOfAddress = [this](int address) {
        for (int id = 1; id <= m_options.keypads; ++id)
            if (m_sim.keypad(id).address() == address)
                return id;
        return 0;
    };
    const auto winnerAnswers = [&](int id) {
        rushWinner = id;
        const int delay = m_options.minDelayMs + int(rng() % std::max(1, m_options.maxDelayMs - m_options.minDelayMs)) / 2;
        SimRunPlay::Press p;
        p.id = id;
        p.text = SimRunPlay::answerOf(right, optionCount, m_options.rightPercent, rng);
        pending.push_back({steady_clock::now() + milliseconds(delay), p});
    };

    while (!m_stop) {
        answerWakeCall(wakesSeen);
        if (!m_options.students || m_holdStudents) {
            std::this_thread::sleep_for(milliseconds(m_options.pollMs));
            continue;
        }
        QList<QByteArray> frames;
        for (const SimFrame &f : m_sim.framesFromProgram())
            frames << f.bytes;
        const auto question = SimRunPlay::running(frames, m_sim.model());
        const auto now = steady_clock::now();
        const bool wholeSet = uploads && question && question->mode == kWholeSetMode;
        if (wholeSet && !handingIn) {
            // Homework or paper quiz started: every keypad works through the set and, after a
            // while, hands its answers in.
            handingIn = true;
            handIns.clear();
            for (int id = 1; id <= m_options.keypads; ++id) {
                if (!m_sim.keypad(id).loggedIn || int(rng() % 100) < m_options.silentPercent)
                    continue;
                const QMap<int, QString> answers = homework(id, rng);
                if (answers.isEmpty())
                    continue;
                m_sim.setUploadAnswers(id, answers);
                const int span = std::max(1, m_options.maxDelayMs - m_options.minDelayMs);
                handIns.emplace_back(now + milliseconds(m_options.minDelayMs + int(rng() % span)), id);
            }
        } else if (!wholeSet) {
            handingIn = false;
            handIns.clear();
        }
        for (auto &[due, id] : handIns) {
            // A student who logged out hands nothing in until the keypad is in again.
            const SimKeypad k = m_sim.keypad(id);
            if (due > now || k.uploadComplete || k.loggedOut)
                continue;
            m_sim.requestUpload(id);
            due = now + milliseconds(m_options.handInRetryMs + int(rng() % 500));
        }
        if (wholeSet) {
            questionSerial = question->serial; // nothing to answer live
        } else if (question && question->serial != questionSerial) {
            // A new question: every keypad decides what it does and when.
            questionSerial = question->serial;
            kind = smallFamily ? m_options.smallFamilyActivity : SimRunPlay::kindOfMode(question->mode);
            right = !question->answer.isEmpty() ? question->answer
                                                : m_options.answers.value(question->questionNo - 1, QStringLiteral("A"));
            optionCount = SimRunPlay::optionsOf(*question);
            SimRunPlay::Class keypads;
            for (int id = 1; id <= m_options.keypads; ++id)
                keypads.ids << id;
            keypads.right = right;
            keypads.rightPercent = m_options.rightPercent;
            keypads.silentPercent = m_options.silentPercent;
            keypads.minDelayMs = m_options.minDelayMs;
            keypads.maxDelayMs = m_options.maxDelayMs;
            pending.clear();
            for (const SimRunPlay::Press &p : SimRunPlay::plan(kind, *question, keypads, rng))
                pending.push_back({now + milliseconds(p.delayMs), p});
            rushFrom = int(frames.size());
            rushWinner = 0;
            resultAsked = smallFamily || (kind != SimRunPlay::Kind::Vote && kind != SimRunPlay::Kind::Rush);
            ++m_questionsAnswered;
        }
        const bool rush = kind == SimRunPlay::Kind::Rush || kind == SimRunPlay::Kind::RushByAnswer;
        if (question && rush && !rushWinner && !smallFamily) {
            if (const int address = SimRunPlay::rushWinnerAddress(frames, rushFrom))
                if (const int id = idOfAddress(address))
                    winnerAnswers(id);
        }
        if (!question) {
            pending.clear();
            // After a vote or a rush the teacher keypad asks what came of it.
            if (!resultAsked && askResultAt == steady_clock::time_point())
                askResultAt = now + milliseconds(300);
            if (!resultAsked && now >= askResultAt) {
                m_sim.teacherQuery(6);
                resultAsked = true;
                askResultAt = {};
            }
        }
        for (auto it = pending.begin(); it != pending.end();) {
            if (it->due > now) {
                ++it;
                continue;
            }
            if (m_sim.keypad(it->press.id).loggedOut) {
                // Its student logged out: nothing to press on until the keypad is in again (the
                // call that starts the question logs it in), as long as the question runs.
                it->due = now + milliseconds(m_options.pollMs);
                ++it;
                continue;
            }
            const SimRunPlay::Press p = it->press;
            it = pending.erase(it);
            const bool isBuzz = p.buzz || (kind == SimRunPlay::Kind::RushByAnswer && p.id != rushWinner);
            if (rush && rushWinner && p.id != rushWinner && isBuzz)
                continue; // the rush is won: the others put their keypads down
            if (p.buzz)
                m_sim.buzz(p.id);
            else
                m_sim.answer(p.id, p.text);
            // The small family's keypads are told nothing: the first buzz heard wins.
            if (smallFamily && rush && !rushWinner && p.buzz) {
                winnerAnswers(p.id);
                break; // pending changed
            }
        }
        showTeacherScreens(frames, screensShown);
        std::this_thread::sleep_for(milliseconds(m_options.pollMs));
    }
}

} // namespace keypadsim
