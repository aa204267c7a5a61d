#pragma once

#include "core/engine/QuizQuestionsElement.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class PPTEditor;

// How a question lives on a slide: one question per slide, held in shapes with fixed names
// ("Qu_Title", "OptionA".."OptionJ", "standard", "answer", "mark", "time", "deducemark",
// "rushtime", "mode", "activity_mode", "level"), plus the exam ID ("ID") and memo ("Memo") on
// slide 0. All access goes through the presentation driver's shape operations. The texts, not
// the numbers, are the interchange: the question editor and the run read the same texts into
// different indexes, as each has always done.
class QuestionSlideFormat
{
public:
    // Question-type texts by type code (0 single .. 5 true or false).
    static QString questionTypeText(int type);
    // Activity texts by the editor's activity index (0 Normal Quiz, 1 Rush Quiz, 2 Elimination, 3 Vote).
    static QString activityText(int editorIndex);
    // Level texts by nDiffcult (0 Other .. 3 Hard).
    static QString levelText(int level);

    // The leading decimal number of a text (after blanks, with a sign); 0 without one.
    static int integerValue(const QString &text);

    // Reads the way the run does: empty "mode" is a teaching plan, the last type text found
    // wins, "standard" whole into both standard fields, the answer as written.
    static QuizQuestionsElement readForRun(PPTEditor &ppt, int slide);
    // Every slide as a question, question n from slide n-1; progress(done, total) after each.
    static QList<QuizQuestionsElement> copyQuesInfoSlideToArray(PPTEditor &ppt,
                                                                const std::function<void(int, int)> &progress = {});
    // Reads the way the question editor does: first type text found in its own order, the
    // standard split at "_&#", "True"/"False" answers as "A"/"B".
    static QuizQuestionsElement readForEditor(PPTEditor &ppt, int slide);
    // Whether a slide holds a question: a "Qu_Title" shape that takes text. A slide of the
    // teacher's own design without one holds none, and nothing typed could be kept on it.
    static bool holdsQuestion(PPTEditor &ppt, int slide);
    // Writes one question (the editor's save) into a slide that holds one. The record follows
    // what was written: a question without a correct answer that is not a vote becomes a
    // teaching plan with no options; the option count becomes the slide's number of option
    // shapes. A box of the question's settings that the slide lacks ("mark", "level", ...) is
    // added, hidden, so that nothing set is lost and the slide shows nothing new. False (with
    // the reason) when the slide holds no question or cannot take a box.
    static bool writeQuestion(PPTEditor &ppt, int slide, QuizQuestionsElement &question, int editorActivityIndex,
                              QString *errorText = nullptr);

    // The exam ID rule of slide 0: an "ID" whose integer value is 0 (empty, letters, "0") gets
    // the next exam ID; a slide 0 without an "ID" box gets one, hidden, so that the number
    // stays with the deck. Answers the deck's exam ID, or none (with the reason) when no ID
    // could be drawn or written. *changed tells whether the deck was changed.
    static std::optional<int> applyExamIdRule(PPTEditor &ppt, const std::function<std::optional<int>()> &nextExamId,
                                              bool *changed = nullptr, QString *errorText = nullptr);
    // The same with the exam-ID counter of the application folder.
    static std::optional<int> applyExamIdRule(PPTEditor &ppt, bool *changed = nullptr, QString *errorText = nullptr);

    // The exam ID rule applied for one save, with what it changed, so that a save that does not
    // happen (cancelled or failed) can take it back and spend no number on a deck that never kept it.
    struct ExamIdDraw
    {
        std::optional<int> id; // the deck's exam ID; none when none could be drawn or written
        bool drawn = false;    // a new number went into the deck
        QString before;        // slide 0's "ID" text before
        bool wasModified = false;
    };
    static ExamIdDraw drawExamId(PPTEditor &ppt, QString *errorText = nullptr);
    // The deck as before the draw (its "ID" text and its unsaved mark), and the number given back
    // to the counter.
    static void takeBackExamId(PPTEditor &ppt, const ExamIdDraw &draw);
};
