#pragma once

class QObject;

// The bookkeeping an elimination question keeps in the run's shared data on every model: who is
// still in when it starts, who drops out when it ends. Whoever does not give exactly the right
// answer (no answer included) is out for the rest of the run, and keypads that are out are not
// heard any more.
class EliminationRound
{
public:
    // Question q starts: the number still in and the list of those already out are kept for it.
    static void begin(int q);
    // Keypad d is out of the run.
    static bool isEliminated(int d);
    // Question q ends: every student still in who did not answer it right drops out. One
    // "ELIMINATIONMODE_STUDENTELIMINATION" per student still in at the start, with sender as object.
    static void decide(int q, QObject *sender);
};
