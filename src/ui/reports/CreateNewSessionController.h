#pragma once

#include "core/reports/ActionDetail.h"
#include "core/reports/StudentGradeReport.h"
#include "core/reports/StudentIdNameAnswer.h"

#include "ui/controls/EditHold.h"
#include "ui/controls/PollixAlert.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>

class CreateNewSessionPointsForm;
class FieldLeave;
class MyComboBox;
class QuizEntity;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;
class ReportController;

// Manual session entry ("CreateNewSession"), opened by the Report window's New button. Two
// independent forms, each with its own Save and Close: a session held on paper, with questions
// and every student's answer to every question (stored as a Normal Quiz), and a session recorded
// by each student's points alone (a points-only session). A saved session is listed and its day
// brought into the Report window's date range. Save and Close end the modal run with 0, the
// window's close box with 1.
class CreateNewSessionController : public QDialog
{
    Q_OBJECT
public:
    // deviceType: the receiver's device type the window is set up for; by default the current
    // receiver's (-1 without one).
    explicit CreateNewSessionController(ReportController *parent = nullptr, std::optional<int> deviceType = std::nullopt);
    ~CreateNewSessionController() override;

    // ---- Full form ----
    void doNext();
    void doPre();
    void doStandard();
    // False when a check refused the entry or the file could not be written (the window stays);
    // once saved the window ends, after asking about the points form's edits.
    bool doSave();
    void doClose();
    void doDateChange();
    // The close box: false keeps the window open.
    bool windowShouldClose();

    const QList<ActionDetail> &questionArray() const { return m_questionArray; }
    const QList<StudentIdNameAnswer> &tableArray() const { return m_tableArray; }
    int curTotalQuestions() const { return m_curTotalQuestions; }
    bool isChanged() const { return m_isChanged; }
    int deviceType() const { return m_deviceType; }
    // The file the last save wrote.
    QString savedPath() const { return m_savedPath; }

    // ---- Points form ----
    bool doSave2();
    void doClose2();
    void doDateChange2();
    const QList<StudentGradeReport> &studentListTableArray() const;
    bool hasChange() const;

    // The close box (and Escape).
    void reject() override;

    // Outlets of the full form.
    QTabWidget *tabForms = nullptr;
    QLineEdit *textSession = nullptr, *textTestTitle = nullptr, *textCorrectAnswer = nullptr, *textPoint = nullptr,
              *textTotalStudents = nullptr;
    MyComboBox *cboType = nullptr, *cboClass = nullptr, *cboSubject = nullptr, *cboTeacher = nullptr,
               *cboTotalQuestion = nullptr, *cboQuestion = nullptr, *cboQuestionMode = nullptr,
               *cboNumOfOptions = nullptr, *cboDifficultyLevel = nullptr;
    QDateEdit *dateActDate = nullptr;
    QPlainTextEdit *textQuestion = nullptr, *textStandard = nullptr;
    QTableWidget *tableView = nullptr;
    QPushButton *btnStandard = nullptr, *btnPre = nullptr, *btnNext = nullptr, *btnSave1 = nullptr, *btnClose1 = nullptr;

    // Outlets of the points form.
    QLineEdit *textSession2 = nullptr, *textTotalPoint = nullptr;
    MyComboBox *cmbType = nullptr, *cmbClass = nullptr, *cmbSubject = nullptr, *cmbTeacher = nullptr;
    QDateEdit *datePicker = nullptr;
    QTableWidget *studentListTable = nullptr;
    QPushButton *bntSave = nullptr, *bntClose = nullptr;

private:
    friend class CreateNewSessionPointsForm;

    void buildInterface();
    QWidget *buildFullForm();
    void awakeFromNib();

    // Full form.
    int shownQuestion() const;
    ActionDetail &shownDetail();
    void changed();
    void classSelected(int index);
    void totalSelected(int index);
    void showQuestion(int index);
    void typeSelected(int index);
    void optionsSelected(int index);
    void levelSelected(int index);
    void otherSelected();
    void updatePreNext();
    void step(int delta);
    void correctAnswerTyped(const QString &text);
    void correctAnswerEnded();
    void answerEdited(QTableWidgetItem *item);
    void sessionNameEnded();
    // The check of a name typed, when the field is left; false after telling that it is blank
    // (the field keeps the focus).
    bool sessionNameMayBeLeft();
    void fillAnswerTable();
    void emptyAnswersOfAllQuestions();
    // The checks and the save behind a Yes to the closing question; false keeps the window.
    bool askSaveOnClose();
    // The checks and the write of the full form alone; the window stays.
    bool saveFullForm();
    // Ends the window after a save of either form; Cancel at the other form's question keeps it.
    void leaveAfterSave();
    EditHold::Answer askBeforeLeaving();

    // Alerts titled "Pollix"; answers the button index.
    int alert(const QString &text, const QStringList &buttons = {}, const QString &title = {},
              const QString &informative = {}, PollixAlert::Default byDefault = PollixAlert::Default::First);
    void finishSave(const QString &day);
    // Whether the new file at path reads back as quiz; when not, it is removed (reason in errorText).
    static bool writtenAsEntered(const QString &path, const QuizEntity &quiz, QString *errorText);

    ReportController *m_parent = nullptr;
    int m_deviceType = -1;

    QList<ActionDetail> m_questionArray;
    QList<StudentIdNameAnswer> m_tableArray;
    QString m_curClass;
    int m_curTotalQuestions = 0;
    bool m_isChanged = false;
    int m_lastSelectedIndex = 0;
    bool m_classHasChange = false;
    int m_nResettingMyself = 0;
    bool m_filling = false;
    QString m_savedPath;
    FieldLeave *m_nameLeave = nullptr;

    CreateNewSessionPointsForm *m_points = nullptr;
    EditHold *m_hold = nullptr;
};
