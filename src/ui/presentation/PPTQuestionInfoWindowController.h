#pragma once

#include "core/engine/QuizQuestionsElement.h"
#include "ui/authoring/QuestionForm.h"
#include "ui/controls/PollixAlert.h"

#include <QDialog>
#include <QList>

#include <functional>

class MyComboBox;
class PPTEditorMSO;
class QPushButton;
class QuizQuestionsElement;

// The question editor over slides ("PPTQuestionInfo"): the questions of the open presentation,
// one per slide, edited in a form and written into the slides' named shapes when the teacher
// saves. Slides are added from the template slides and deleted at once; texts and settings stay
// in the editor until Save (or Yes when closing). A slide of the teacher's own design, without a
// question title box, holds no question: it is shown with nothing to type, and the save leaves it
// as it is. A deck changed here, by its texts or by a slide added or deleted, is saved or asked
// about before the editor closes. The form offers what the receiver model at opening can answer,
// with the limits of the question properties window.
class PPTQuestionInfoWindowController : public QDialog, public QuestionForm
{
    Q_OBJECT
public:
    // The template picker (add type 1); unset: the picker itself, modally.
    struct Hooks
    {
        std::function<void(PPTQuestionInfoWindowController *)> runTemplatePicker;
    };
    static Hooks &hooks();

    explicit PPTQuestionInfoWindowController(QWidget *parent = nullptr);
    ~PPTQuestionInfoWindowController() override;

    // Reads every slide and shows the selected one (done by runModal()).
    void awakeFromNib();
    // Runs the editor modally; 1 when it was closed.
    int runModal();

    int nCurrentQuestionNo() const { return m_nCurrentQuestionNo; }
    int deviceType() const { return m_deviceType; }
    bool bSomeMessageChanged() const { return m_bSomeMessageChanged; }
    const QList<QuizQuestionsElement> &questions() const { return m_questions; }
    // The codes behind the type chooser's items.
    QList<int> arrayQuestionType() const { return m_arrayQuestionType; }

    // Document actions.
    void onPrevious();
    void onNext();
    void onAdd();
    void onDelete();
    void onSave();
    // The template picker's answer ("PPTEditAddTemplateOver").
    void GetOverState(int pptState, int templateIndex);
    // Writes every question into its slide; false when the teacher declined a change to true or false.
    bool saveMessage();
    // Writes the deck to its file (a new deck asks for one) with its exam ID, drawn now when it has
    // none, and says where it went, or why not.
    bool writeDeck();
    void reNewPPT();

    // Form.
    void reloadQuestionInfo();
    void onStandard();

    // Outlets (the question form's in QuestionForm).
    QComboBox *cmbQuestionNo = nullptr;
    MyComboBox *cmbTemplate = nullptr;
    QPushButton *btnAdd = nullptr, *btnDelete = nullptr, *btnPrevious = nullptr, *btnNext = nullptr, *btnSave = nullptr,
                *btnStandard = nullptr;
    QPlainTextEdit *questionTitle = nullptr;
    QPlainTextEdit *options[10] = {};
    QLabel *txtStandard = nullptr;
    // Shown over a slide that holds no question: how to add a question slide.
    QLabel *noQuestionMessage = nullptr;
    QGroupBox *titleBox = nullptr, *optionBox = nullptr;
    QCheckBox *checkBoxNoCorrectAnswer = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildInterface();
    QWidget *buildForm();
    void InitQuestionArray();
    void loadcmbQuestionNo(int count, int index);
    void AddAQuestion(int templateIndex);
    // Asks before closing while the deck or the questions hold what its file lacks; false stays.
    bool windowShouldClose();
    bool hasUnsavedChanges() const;
    // The editor's alert; buttons Yes and No unless others are given.
    int ask(const QString &question, const QStringList &buttons = {},
            PollixAlert::Default byDefault = PollixAlert::Default::First);
    QuizQuestionsElement &current();
    bool hasCurrent() const;
    // The question shown is on a slide that holds one: the form is there to edit it.
    bool holdsQuestion() const { return hasCurrent() && m_currentHoldsQuestion; }
    bool isVote() const;
    bool noDevice() const { return m_deviceType < 0; }

    void bindQueMessage();
    void bindTitleAndOption();
    void bindCorrectAnswer();
    void bindHelperForVote();
    // A vote, or a slide without a question: the answer panel empty and read-only.
    void showNoAnswerToChoose();
    void bindControls();
    void setVoteOffered(bool offered);
    void setEditable(QPlainTextEdit *view, bool editable, const QString &text);

    void numberChanged(QLineEdit *field);
    void textChanged(QPlainTextEdit *view);
    void typeChanged();
    void activityChanged();
    void checkBoxAllInSame(QCheckBox *box);
    void noCorrectAnswerClicked();
    void onChangeCorrectAnswerMulite(int letter);
    void onChangeCorrectAnswer(int cell);
    void onChangeDifficulty(int cell);
    void changed();

    PPTEditorMSO *pptUI = nullptr;
    QList<QuizQuestionsElement> m_questions;
    QList<int> m_arrayQuestionType;
    int m_nCurrentQuestionNo = 0;
    int m_deviceType = -1;
    bool m_bSomeMessageChanged = false;
    bool m_currentHoldsQuestion = false;
    int m_bResettingMyself = 0;
    bool m_closed = false;
};
