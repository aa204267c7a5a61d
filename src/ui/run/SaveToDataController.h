#pragma once

#include "core/engine/EndOfRunSave.h"
#include "core/keypad/DataOfFrame.h"
#include "core/store/QuizEntity.h"
#include "core/store/StudentEntity.h"
#include "ui/controls/PollixAlert.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class Orvenda_AppDelegate;
class QLineEdit;
class QPushButton;

// The end-of-run save ("SaveToData"): the teacher names the session and the run's shared data
// becomes one session file in the data folder (EndOfRunSave). The teacher keypad can confirm or
// cancel it; a save that went through asks nothing more, so that the keypad steers on.
class SaveToDataController : public QDialog
{
    Q_OBJECT
public:
    // What a run window hands over at its end.
    struct Request
    {
        QString strFileName;
        int curDeviceType = -1;
        int curParticipationMode = 0;
        int curActivityMode = 0;
        bool bIsFreeStyle = false;
        int nIsGroup = 0;
        QList<StudentEntity> *arrStuLoginContentTime = nullptr;
        QStringList *arrQuizTime = nullptr;
    };
    // Runs the dialog over a run window as the frame listener (the window takes the role back).
    // Returns where the session went: empty when nothing was written (cancelled, quick grouping).
    static QString runForRun(QWidget *window, const Request &request);
    // The program is ending (a logout, a shutdown): the run is saved as OK saves it, with no
    // dialog and no question, under name, else under the proposed name. False with why when the file could not be written; false with no why
    // when the run saves nothing (quick grouping).
    static bool saveUnasked(QWidget *window, const Request &request, const QString &name, QString *savedPath,
                            QString *errorText);

    explicit SaveToDataController(QWidget *parent = nullptr);
    ~SaveToDataController() override;

    QString strFileName() const { return m_strFileName; }
    void setStrFileName(const QString &v) { m_strFileName = v; }
    int curDeviceType() const { return m_curDeviceType; }
    void setCurDeviceType(int v) { m_curDeviceType = v; }
    int curActivityMode() const { return m_curActivityMode; }
    void setCurActivityMode(int v) { m_curActivityMode = v; }
    int curParticipationMode() const { return m_curParticipationMode; }
    void setCurParticipationMode(int v) { m_curParticipationMode = v; }
    bool bIsFreeStyle() const { return m_bIsFreeStyle; }
    void setBIsFreeStyle(bool v) { m_bIsFreeStyle = v; }
    int nIsGroup() const { return m_nIsGroup; }
    void setNIsGroup(int v) { m_nIsGroup = v; }
    // The opener's own lists: one record per class student with the last login time, and the
    // run's start, end and counted seconds. Both are emptied when the dialog closes.
    void setArrStuLoginContentTime(QList<StudentEntity> *v) { m_arrStuLoginContentTime = v; }
    void setArrQuizTime(QStringList *v) { m_arrQuizTime = v; }

    // Fills in the proposed name; exec() calls it.
    void awakeFromNib();
    int exec() override;

    void onOK();
    // Asks before the run is dropped; Escape (reject) and the close box come here too.
    void onCancel();
    void reject() override;
    Q_INVOKABLE void handleMachMessage();

    // The session the run makes (no file is written).
    QuizEntity NormalSave();
    QuizEntity RollCallSave();
    void removeQuizRecord();
    static QString getMaxLengString(const QString &text);
    // The class logout frame, three times (the keypads' answer to the logout wake asks it).
    void sendStudentLogoutClass();

    // Where the last save went; empty until a session was written.
    QString savedPath() const { return m_savedPath; }

    QLineEdit *txtSaveSession = nullptr;
    QPushButton *buttonOK = nullptr;
    QPushButton *buttonCancel = nullptr;

protected:
    void closeEvent(class QCloseEvent *event) override;

private:
    void takeRequest(const Request &request);
    // F1 saves, F2 and the Exit key cancel, mouse frames drive the pointer; false for other frames.
    bool runTeacherKey(const DataOfFrame &frame);
    void handleDataReceiveArvel();
    void handleDataReceiveCorvel_Dravel();
    int runKeypadAlert(const QString &text, const QStringList &buttons, const QString &informativeText = {},
                       const QString &title = QStringLiteral("Warning"),
                       PollixAlert::Default byDefault = PollixAlert::Default::First);
    // The dialog's settings and the opener's lists as the save takes them.
    EndOfRunSave::Run run() const;
    void windowShouldClose();

    Orvenda_AppDelegate *appDelegate = nullptr;
    QString m_strFileName;
    int m_curDeviceType = -1;
    int m_curActivityMode = 0;
    int m_curParticipationMode = 0;
    bool m_bIsFreeStyle = false;
    int m_nIsGroup = 0;
    QList<StudentEntity> *m_arrStuLoginContentTime = nullptr;
    QStringList *m_arrQuizTime = nullptr;
    QString m_savedPath;
    bool m_closing = false;
};
