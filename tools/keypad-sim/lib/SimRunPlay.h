#pragma once

#include "SimModel.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <random>

namespace keypadsim {

// How the keypads of a class take part in each kind of activity, and what they read from the
// program's frames about it: which question runs and in what mode, which keypad has won a rush,
// what the teacher keypad shows of a result. Written from the keypads' behaviour: the large
// family learns the activity from the mode byte of the running question (state 3 of F5, or the
// Brevel permission to answer); the small family's keypads are told nothing, so their students
// follow the activity the teacher names.
class SimRunPlay
{
public:
    enum class Kind {
        Quiz,         // pick an answer (normal quiz, elimination, survey, grouping, ...)
        Rush,         // buzz; the keypad that wins answers
        RushByAnswer, // multiple mode's rush question on Corvel and Dravel: the first answer is the buzz
        Vote,         // pick any option
        RollCall,     // press something to be counted present
    };
    // The activity a keypad takes from a mode byte (3 rush, 0D multiple mode's rush, 8 roll call,
    // 9 vote, anything else a quiz).
    static Kind kindOfMode(int modeByte);
    // "quiz", "rush", "vote", "rollcall" (the small family's --activity); false when unknown.
    static bool parseKind(const QString &text, Kind *kind);

    // A question the keypads were told is running.
    struct Question
    {
        int serial = 0;      // 1 for the first question started since the log began, 2 for the next, ...
        int questionNo = 0;
        int type = 0;
        int optionCount = 0;
        int mode = 0;
        QString answer;      // Brevel: the right answer the permission carries
    };
    // The question running after these frames from the program, or none. Large family: a state 3
    // announcement not yet followed by state 2; small family: the receiver switched on (5A 80 DA)
    // and not yet off.
    static std::optional<Question> running(const QList<QByteArray> &programFrames, Model model);

    // The address told it has won the rush (Corvel and Dravel permission F7 a a 03 00 00 00,
    // Brevel success F7 a a 04 .. .. .. F5) in the frames from index `from` on; 0 when none.
    static int rushWinnerAddress(const QList<QByteArray> &programFrames, int from);

    // One keypad action of a question.
    struct Press
    {
        int delayMs = 0;
        int id = 0;
        bool buzz = false;   // the rush signal (small family: key "G"); else an answer
        QString text;
    };
    struct Class
    {
        QList<int> ids;
        QString right = QStringLiteral("A");
        int rightPercent = 70;
        int silentPercent = 5;
        int minDelayMs = 400;
        int maxDelayMs = 4000;
    };
    // What each keypad does when a question of this kind starts (a rush winner's answer follows
    // once it is told it won: answerOf()).
    static QList<Press> plan(Kind kind, const Question &question, const Class &keypads, std::mt19937 &rng);
    // The answer a keypad gives: the right one for most, another option for the rest.
    static QString answerOf(const QString &right, int optionCount, int rightPercent, std::mt19937 &rng);
    // The options a keypad offers for the question: two for true or false.
    static int optionsOf(const Question &question);

    // What the teacher keypad shows of a result frame (FD): the outcome of a rush, or per option
    // the count and share of a vote or class result; empty for any other frame.
    static QString teacherScreen(const QByteArray &frame);
};

} // namespace keypadsim
