#pragma once

#include <QFlags>
#include <QList>
#include <QStringList>

// What differs in a free-style run, where the teacher writes each question during the run and
// gives it its answer afterwards: the option counts a page may have, when the answer dialog
// opens and when the activity object judges a question, and which toolbar controls are live.
class FreeStyleRules
{
public:
    static constexpr int kMinOptions = 2;

    // Most options a page may have on this receiver: the Arvel keypads know A to F.
    static int maxOptions(int deviceType);
    // The option counts the toolbar offers, in order.
    static QList<int> optionCounts(int deviceType);
    // The option count of a page the teacher keypad asks for. The count comes from a keypad
    // frame: 0 (a true-or-false page) is kept, anything else is brought into the receiver's range.
    static int keypadOptionCount(int deviceType, int requested);
    // Box roles the role combo offers, entry i being role i: "No Set", "Question", "OptionA" ...
    // "OptionF", whatever the receiver.
    static QStringList roleNames();
    // Line width of the pen-size pop-up's items.
    static int penWidth(int item);

    // Stop: the answer dialog opens by itself for a question written with the toolbar that
    // stops for the first time (not in a vote).
    static bool answerDialogAtStop(int activity, bool setFromKeypad, bool stoppedBefore);
    // Stop: the activity object judges the question now. Free-style elimination judges a
    // question written with the toolbar only once its answer is set.
    static bool evaluatesAtStop(int activity, bool setFromKeypad);
    // The answer dialog's OK: the activity object judges the question (again).
    static bool evaluatesOnAnswer(int activity, bool setFromKeypad);
    // Answer Setting for a question that has run: in free-style elimination only while its
    // answer is unset (the answer decides who is out, once); elsewhere always.
    static bool answerSettingOpen(int activity, bool answerEmpty, bool setFromKeypad);

    // The free-style toolbar's controls.
    enum Item : unsigned {
        OptionCount = 1u << 0,
        Role = 1u << 1,
        Tool = 1u << 2,
        PenSize = 1u << 3,
        AlignAndSize = 1u << 4,
        ColorWell = 1u << 5,
        QuestionInfo = 1u << 6,
        Standard = 1u << 7,
        CutPicture = 1u << 8,
        AddNew = 1u << 9,
        Delete = 1u << 10,
    };
    Q_DECLARE_FLAGS(Items, Item)
    struct ToolbarState
    {
        bool enabled = false;      // the run is a free-style one
        bool bottomLayout = false; // the question pane is hidden
        bool haveQuestions = false;
        bool addNewState = true;   // between questions
        bool canCapture = true;    // a screen capture is installed
    };
    static Items toolbarItems(const ToolbarState &s);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(FreeStyleRules::Items)
