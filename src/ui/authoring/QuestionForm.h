#pragma once

#include "core/authoring/QuestionInfoRules.h"

#include <QStringList>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QObject;
class QPlainTextEdit;
class QWidget;

// The question form both question editors show (the question properties window beside the
// editor and the question editor over slides): the type and activity lists, points, answer time,
// deduction and rush time with their apply-to-all boxes, the difficulty cells, and the three
// answer areas of which one is shown: a grid of letters with its no-correct-answer cell, a box
// for each letter, a written answer. Each editor builds the parts here and arranges them in its
// own window; which of them are live for a page comes from QuestionInfoRules, applied here.
class QuestionForm
{
public:
    // Outlets.
    QComboBox *cmbQuestionType = nullptr, *cmbActionMode = nullptr;
    QLineEdit *point = nullptr, *timeLimit = nullptr, *rushPoint = nullptr, *rushTimeLimit = nullptr;
    QCheckBox *checkBoxAllInSameTimePoint = nullptr, *checkBoxAllInSameLevel = nullptr,
              *checkBoxAllInSameTimePointForRush = nullptr;
    QWidget *matrixDifficulty = nullptr, *matrixCorrectAnswer = nullptr;
    QButtonGroup *difficultyCells = nullptr, *answerCells = nullptr;
    QGroupBox *singleBox = nullptr, *multipleBox = nullptr, *otherBox = nullptr;
    QCheckBox *checkBoxes[10] = {};
    QPlainTextEdit *otherAnswer = nullptr;
    QLabel *optionMessage = nullptr;

    // The editor fills its own controls: no handler takes that for an edit.
    class Resetting
    {
    public:
        explicit Resetting(int &depth) : m_depth(depth) { ++m_depth; }
        ~Resetting() { --m_depth; }
        Resetting(const Resetting &) = delete;
        Resetting &operator=(const Resetting &) = delete;

    private:
        int &m_depth;
    };

protected:
    // The question type and activity lists.
    void buildLists(QWidget *parent);
    // A field of digits only, at most maxLength of them.
    static QLineEdit *numberField(QWidget *parent, const char *name, int maxLength);
    // One of the apply-to-all boxes.
    static QCheckBox *applyBox(QWidget *parent, const char *name, const QString &text);
    // The difficulty cells, one for each level, in a row; beside (when given) stands after them.
    void buildDifficulty(QWidget *parent, QObject *owner, const QStringList &levels, QWidget *beside = nullptr);
    // The answer areas, each made in turn where the editor wants it in its window's order: the
    // grid of letters with its no-correct-answer cell (and with a hidden cell for an answer that
    // is no letter when withBlankCell), a box for each letter, the written answer.
    void buildSingleAnswer(QWidget *parent, QObject *owner, bool withBlankCell);
    void buildMultipleAnswer(QWidget *parent);
    void buildOtherAnswer(QWidget *parent, const QString &title, int height);
    // Enables what the rules leave live for a page; shade paints a number field's ground.
    void enableControls(const QuestionInfoRules::Controls &c, const std::function<void(QWidget *, bool)> &shade);
    // The largest value a number field takes.
    int limitOf(const QLineEdit *field) const;
};
