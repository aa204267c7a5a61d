#pragma once

#include <QObject>
#include <QPointer>
#include <QVariantMap>

class Controller;
class PPTStudentLoginView;
class QuizStateWindowController;
struct Notification;

// The free-style side of the activity window: the teacher writes each question on a blank page
// with the free-style toolbar, runs it, and gives it its answer and points afterwards in the
// answer dialog. This keeps the run's questions in step with the pages (added, copied in before
// they are read, deleted), opens the answer dialog and has the activity object judge the
// question when the rules say, switches between the full window and a strip at the bottom of the
// screen (with the floating student strip in front), and puts screen captures on the page.
class FreeStyleRun : public QObject
{
    Q_OBJECT
public:
    explicit FreeStyleRun(QuizStateWindowController *window);
    ~FreeStyleRun() override;

    Controller *toolbar() const { return m_controller; }
    PPTStudentLoginView *pptStudentLoginView() const;
    bool bShowQuestionPane() const { return _bShowQuestionPane; }
    int nLoginViewState() const { return nLoginViewState_; }

    // Window load: the toolbar, the floating student strip and the first pane layout.
    void windowDidLoad();
    // The question on page q was set on the teacher keypad (with its answer).
    bool setFromKeypad(int q) const;
    // A question starts or stops: adding and deleting pages waits for its end.
    void questionStarted();
    void questionStopped();
    // Stop: the answer dialog opens by itself for a question written with the toolbar that stops
    // for the first time (once the stop is over).
    void afterStop(int q, bool stoppedBefore);
    void reloadQuestionInfo(int n);
    void reloadAllQuestions();
    // Exit: the colour panel goes, and the floating strip with the window.
    void exiting();
    // A result or report window opens: the floating strip keeps out of its way.
    void beforeResultWindow();

    void OnAnswerSetting();
    void OnToggle();
    void onCapture();
    void toNewFreeStylePaneLayout(bool show);
    // The window over the screen with the question pane, else a strip at its foot tall enough
    // for what it shows (the receiver's notice among it).
    void placeWindow();
    void hideQuestionViews(bool hide);

private:
    void freestyleAddNewQuestion(const Notification &n);
    void freestyleGetQuestion(const Notification &n);
    void freestyleDelQuestion();
    void capturePicture(const QVariantMap &info);
    void setLoginViewToNoraml();
    void markRushAnswer(const QString &rightAnswer, bool onlyWrong);
    void renumberPages();
    void countQuestions();

    QuizStateWindowController *w;
    Controller *m_controller = nullptr;
    QPointer<PPTStudentLoginView> m_strip;
    bool _bShowQuestionPane = false;
    bool m_capturing = false;
    int nLoginViewState_ = 0;
};
