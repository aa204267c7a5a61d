#pragma once

#include "QuestionForm.h"
#include "Questions.h"
#include "SmallQuestions.h"

#include "core/authoring/QuestionSetView.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractButton;
class QPushButton;
class QTextCharFormat;
class QTextEdit;
class QuizQuestions;
class TextFormatPanels;

// The question properties window ("QuestionInfo"): type, activity mode, answer, points, times,
// difficulty and the texts of one page at a time, written into the page as they change (texts
// into its thumbnail too). The editor opens it beside itself, not modally; it follows the
// editor's current page, and closing it posts "CloseQueInfo".
//
// What it offers depends on the keypad model at creation. A page whose type that model cannot
// answer is shown as such and left unchanged until the teacher picks another type.
class QuestionInfoWindowController : public QWidget, public QuestionForm
{
    Q_OBJECT
public:
    explicit QuestionInfoWindowController(QWidget *parent = nullptr);
    ~QuestionInfoWindowController() override;

    int nDeviceType() const { return m_nDeviceType; }
    int nCurrentQuestionNo() const { return m_nCurrentQuestionNo; }
    void setNCurrentQuestionNo(int n) { m_nCurrentQuestionNo = n; }
    // The canvas whose pages this window edits, and its thumbnail strip.
    void setQuestions(Questions *canvas) { m_canvas = canvas; }
    void setSmallQuestions(SmallQuestions *strip) { m_strip = strip; }
    void setFather(QObject *father) { m_father = father; }

    // Fills the lists and shows the current page (done by showWindow).
    void awakeFromNib();
    void showWindow();
    void reloadQuestionInfo();
    void setQueAnswer(const QString &answer);
    // Shows the texts for the page's type (previousType: the type before a change). Answers
    // false when the teacher declined a change to true or false and the type went back.
    bool bindHelperForOption(int previousType);
    void bindHelperForMessage();
    QString getMultipleAnswer() const;
    void reloadcmbQuestionNo(int count, int index);

    // Actions.
    void onChangeCorrectAnswer(int cell);
    void onChangeCorrectAnswerMulite(QAbstractButton *box);
    void checkBoxNoCorrectAnswer();
    void checkBoxAllInSame(QCheckBox *box);
    void onChangeDifficulty(int cell);
    void onDelete();
    void onAdd();
    void onPrevious();
    void onNext();
    void onFontPanel();
    void onColorPanel();
    // The template chooser's answer ("PXAddTemplateOver").
    void GetOverState(int index);

    QuestionSetView *qsv() const;
    // The code of the type list's selection (-1 when none).
    int selectedType() const;

    // Outlets (the question form's in QuestionForm).
    QComboBox *cmbQuestionNo = nullptr;
    QTextEdit *questionTitle = nullptr;
    QTextEdit *options[10] = {};
    QCheckBox *noCorrectAnswerBox = nullptr; // objectName "checkBoxNoCorrectAnswer"
    QPushButton *btnDelete = nullptr, *btnAdd = nullptr, *btnPrevious = nullptr, *btnNext = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    // Escape that no control inside took closes the window, as the editor's Escape closes it.
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildInterface();
    void fillTypeList(int pageType);
    void fillModeList(bool withVote);
    void selectMode(int mode);
    void showPage(int n);
    void typeChanged();
    void applyType(int type, int previousType);
    void modeChanged();
    void numberChanged(QLineEdit *field);
    void otherAnswerChanged();
    void textChanged(QTextEdit *view, int role);
    void setViewText(QTextEdit *view, const MyTextView *box, bool editable);
    void copyIntoBoxes(int role, const QList<BaseTextView::Paragraph> &text);
    void syncWithCanvas();
    void rebuildQuestionsOption();
    void updateOptionMessage();
    void applyTextFormat(const QTextCharFormat &format);
    TextFormatPanels *panels();

    int m_nDeviceType = -1;
    int m_nCurrentQuestionNo = 0;
    int m_nLastQueType = 0;
    QList<int> questionsOption;
    QuizQuestions *qqObject = nullptr;
    int nResettingMyself = 0;
    QPointer<Questions> m_canvas;
    QPointer<SmallQuestions> m_strip;
    QPointer<QObject> m_father;
    QPointer<QTextEdit> m_lastTextView;
    TextFormatPanels *m_panels = nullptr;
    bool m_closed = false;
};
