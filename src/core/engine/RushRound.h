#pragma once

#include "core/engine/QuizParticipantData.h"
#include "core/engine/RushInfoShow.h"

#include <QString>

#include <memory>
#include <optional>

// One rush question as every model runs it: who won it, the answer marks that say so, the winner
// box and the notice to the activity window. Buzzes count only while the question runs (between
// open() and close()) and only from a keypad that a logged-in student with an ID carries: a buzz
// from anywhere else would hold the win for nobody, and nobody could win the question any more.
class RushRound
{
public:
    RushRound() = default;
    ~RushRound();
    RushRound(const RushRound &) = delete;
    RushRound &operator=(const RushRound &) = delete;

    // The winner's device number; -1 while nobody has won.
    int nRushDeviceNo() const { return m_nRushDeviceNo; }
    bool hasWinner() const { return m_nRushDeviceNo != -1; }
    bool isOpen() const { return m_open; }

    // The question starts: nobody has won it, buzzes count.
    void open();
    // The question ends: buzzes no longer count and the box closes. The winner is kept for the
    // teacher keypad's result unless asked to forget it.
    void close(bool forgetWinner);

    // Keypad d buzzed during question q. It wins when the question runs, nobody has won yet and a
    // logged-in student with an ID carries d: then its answer to q becomes "__N" and everybody
    // else's "__". False: the buzz changes nothing.
    bool take(int q, int d);
    // Before anybody buzzes: nobody has the right to answer question q ("__" for everyone).
    static void markNobody(int q);
    // The logged-in student who won, or null.
    StudentInClassPtr winner() const;

    // The winner box with the winner's ID and name (none when the UI has no box to give).
    void showBox();
    void closeBox();
    bool boxShown() const { return bool(m_risc); }

    // "RUSHMODE_STUDENTRUSH": type 0 the winner has buzzed, 1 the winner has answered, 2 the
    // winner has buzzed in multiple mode; answerType 0 right, 1 wrong (Corvel and Dravel only).
    static void post(int deviceNo, int type, const QString &answer, std::optional<int> answerType = std::nullopt);

private:
    int m_nRushDeviceNo = -1;
    bool m_open = false;
    std::unique_ptr<RushInfoShow> m_risc;
};
