#pragma once

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QSize>
#include <QVariant>

#include "core/engine/QuizParticipantData.h"
#include "core/keypad/DataOfFrame.h"
#include "ui/presentation/SlideShowFather.h"
#include "ui/run/RunFather.h"

#include <functional>
#include <memory>
#include <optional>

class ElidedLabel;
class Orvenda_AppDelegate;
class PPTEditorMSO;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;
class TabKeypadInput;
class TabPresentationButtons;
class TabSettingsDialogs;

// The main tabbed window ("Tabctrl"): prepare and start an activity (Brightpoll), open the question
// editor (ExamEditor), reports and settings. It listens to the keypads whenever no other window does.
class TabController : public QMainWindow, public SlideShowFather, public RunFather
{
    Q_OBJECT
public:
    // What the class set-up dialog gives back: class, subject, teacher and students of the next run.
    struct ClassSetup
    {
        int classNo = 0;
        QString className;
        int subjectNo = 0;
        QString subjectName;
        int teacherNo = 0;
        QString teacherName;
        QList<StudentInClassPtr> students;
        int maxGroupNo = 0;
    };

    // What a question file or answer sheet tells before a run.
    struct QuestionFileInfo
    {
        QString strSymbol;
        int nExamPaperID = 0;
        QList<int> questionTypes; // nQuestionType of each question
    };

    // The hand-over to a run window.
    struct StartRequest
    {
        enum Kind { Activity, Presentation, AnswerSheet } kind = Activity;
        QString strPath;
        QString fileSepPath;
        int nDeviceType = -1;
        int nMode = 0;
        int nParticiptionMode = 0;
        bool bIsFreeStyle = false;
        int nIsGroup = 0;
        std::optional<int> testID;
    };

    // The windows other parts of the program provide, and the services the window drives. An
    // unset hook falls back to this window's own dialog (splash, system choice, login, system
    // settings) or does nothing. Tests set them to answer without a person.
    struct Hooks
    {
        std::function<void(QWidget *)> runSplash;
        std::function<void(QWidget *)> runSystemChoice;
        std::function<bool(QWidget *)> runLogin;
        std::function<int(QWidget *, ClassSetup &)> runClassSet;
        std::function<std::optional<QuestionFileInfo>(const QString &path)> readQuestionFile; // unset: the file itself
        std::function<void(TabController *, const StartRequest &)> startActivity;
        std::function<void(QWidget *, const QString &path, bool isPPT)> runTitleSet;
        std::function<void(TabController *, const QString &path)> openQuestionEditor; // empty path: new file
        std::function<void(QWidget *)> runReport;
        // Receive Session; the session file its last save wrote, "" when it saved none.
        std::function<QString(QWidget *)> runReceiveSession;
        std::function<void(QWidget *)> runVersionInfo;
        std::function<void(QWidget *, int mode)> runHardwareTest;
        std::function<void(QWidget *, int deviceType)> runChannelSet;
        std::function<bool(QWidget *)> runDataManagement; // true when data changed
        std::function<void(QWidget *)> runSystemSetting;
        // Runs startActivity takes besides question-file runs: free-style runs, and runs over a
        // presentation or an answer sheet.
        bool startsFreeStyle = false;
        bool startsPresentations = false;
        // The presentation tools are there: the presentation buttons work on decks, and Start
        // over a loaded deck shows it (the slide-show run comes with startsPresentations).
        bool editsPresentations = false;
        // The template picker for the open presentation (shown without a modal session; it
        // posts "AddOver" when it closes) and the question editor over the slides.
        std::function<void(TabController *)> showTemplatePicker;
        std::function<void(TabController *)> runSlideQuestionEditor;
    };
    static Hooks &hooks();
    static void resetHooks();

    explicit TabController(QWidget *parent = nullptr);
    ~TabController() override;

    // Set-up once the window exists: splash, system choice, lists, title, buttons.
    void awakeFromNib();
    // The system choice over this window (at start when no receiver was found, and from the
    // System menu): a choice sets the window up for its model; closed without one, nothing
    // changes and the menu offers it again.
    void chooseSystem();

    // Outlets.
    QTabWidget *tabView = nullptr;
    QPushButton *btnClassSet = nullptr, *btnLoad = nullptr, *btnTitleSet = nullptr, *btnStart = nullptr;
    QComboBox *cboParticipationMode = nullptr;
    QCheckBox *chkStyle = nullptr;
    QComboBox *cboActivityMode = nullptr;
    QPushButton *btnOpen = nullptr, *btnNew = nullptr;
    QComboBox *cboPPTTemp = nullptr;
    QPushButton *btnPPTOpen = nullptr, *btnPPTNew = nullptr, *btnPPTAdd = nullptr, *btnPPTDel = nullptr,
                *btnPPTSave = nullptr, *btnPPTClose = nullptr, *btnPPTSetup = nullptr;
    QPushButton *btnPXOpen = nullptr, *btnPXNew = nullptr, *btnReport = nullptr, *btnSession = nullptr,
                *btnSystem = nullptr, *btnHardware = nullptr, *btnLogin = nullptr, *btnVersion = nullptr,
                *btnChannelSet = nullptr, *btnDatabase = nullptr;
    // The status line: where the last run's session went, until the next run starts.
    ElidedLabel *txtSessionSaved = nullptr;

    // Indicators.
    void setClassSetted(bool v);
    void setLoad(bool v);
    void setButtonsState(bool loggedIn);
    void setPPTButtonState(int state) override;
    void sessionSaved(const QString &path) override;
    void refreshTitle(int type, int state, const QString &className);
    void refreshActionMode(int type, int partMode, int curActMode);
    // The activity numbers offered for a model, participation and free style.
    static QList<int> activityList(int type, int partMode, bool freeStyle);

    // Actions.
    void doClassSet();
    void doLoad();
    void doTitleSet();
    void doStart();
    void doCheckStyle();
    void comboBoxSelectionDidChange(QComboBox *box);
    void doPXNew();
    void doPXOpen();
    void doReports();
    void doReportsWindow();
    void doSession();
    void doSystemSet();
    void doChannelSet();
    void doHardwareTest();
    void doDataManagement();
    void doLoginSet();
    void doVersionInfo();
    bool login();
    bool openFile();
    void deviceChanged();

    // Whether the window or work behind one of this window's controls is in this build. A control
    // that leads nowhere yet stays disabled whatever its state would allow.
    bool isBuilt(const QWidget *control) const;
    // The file types Load offers: those a run can be started from in this build.
    static QString loadFilter();
    // The presentation buttons act through TabPresentationButtons; the open presentation has
    // changes not saved yet.
    bool bIsPPTChanged() const { return m_bIsPPTChanged; }

    // Window levels: the status level floats above the presentation program.
    bool isStatusLevel() const;
    void raiseToStatusLevel();
    void lowerToNormalLevel();

    // Keypad input (the window is the frame listener).
    Q_INVOKABLE void handleMachMessage();
    void handleKeypadFrame(const DataOfFrame &frame);
    void sendStudentLogoutClass();
    void sendWrongState(int state);
    void sendQuizMsgToTeacher();
    void sendClassMsgToDevice(int id);

    // State, read by tests and by the run windows.
    int curDeviceType() const { return m_curDeviceType; }
    int curParticipationMode() const { return m_curParticipationMode; }
    int curActivityMode() const { return m_curActivityMode; }
    int curWinState() const { return m_curWinState; }
    bool isFreeStyle() const { return m_isFreeStyle; }
    // The application delegate's flag: a login or logout anywhere (class set-up) holds here too.
    bool isLogIn() const;
    bool isRun() const { return m_isRun; }
    bool bIsLoaded() const { return m_bIsLoaded; }
    bool bIsClassSetted() const { return m_bIsClassSetted; }
    QString filePath() const { return m_FilePath; }
    QuizParticipantData *partiData() const { return m_partiData; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    friend class TabInterface;
    friend class TabKeypadInput;
    friend class TabPresentationButtons;
    friend class TabSettingsDialogs;

    void tabChanged(int index);
    bool tabViewShouldSelect(int index);
    void tabViewDidSelect(int index);
    void setIndicatorTitle(QPushButton *button, bool on);
    void setControlEnabled(QWidget *control, bool on);
    void disableWhatIsNotBuilt();
    void setKeepAbove(bool above);
    void becomeFrameListener();
    void startRun(StartRequest request);
    int runClassSetDialog(ClassSetup &setup);
    // Whether the class, subject and teacher of the run are still in the rosters.
    bool chosenClassStillThere() const;
    // Tells the teacher, once a file is loaded, which of its questions the keypads in use cannot
    // answer: the run shows them as teaching pages and refuses to start them.
    void warnOfUnanswerableQuestions(const QList<int> &questionTypes);
    StartRequest baseRequest() const;
    bool acceptedQuestionFile(const QString &path, QuestionFileInfo *info) const;
    static std::optional<QuestionFileInfo> readQuestionFile(const QString &path);

    Orvenda_AppDelegate *appDelegate = nullptr;
    PPTEditorMSO *pptUI = nullptr;
    int m_curDeviceType = -1;
    int m_curParticipationMode = 0;
    bool m_isFreeStyle = false;
    int m_curActivityMode = 0;
    int m_curWinState = 0;
    QuizParticipantData *m_partiData = nullptr;
    bool m_isRun = false;
    QString m_FilePath;
    QString m_FileSepPath;
    bool m_isLoadPPT = false;
    bool m_bIsLoaded = false;
    bool m_bIsClassSetted = false;
    bool m_bIsPPTChanged = false;
    int m_nLastState = 0;
    int m_lastTabIndex = 0;
    bool m_revertingTab = false;
    // The window's own size while a run has it hidden; a run window may shrink it.
    QSize m_sizeBeforeRun;
    std::unique_ptr<TabPresentationButtons> m_presentation;
    std::unique_ptr<TabKeypadInput> m_keypads;
    std::unique_ptr<TabSettingsDialogs> m_settings;
};
