#pragma once

#include "core/engine/QuizMode.h"

#include <QDialog>
#include <QList>

class QTableWidget;

// Lists the students whose keypads asked for the question set during a run
// ("GetRequestQuesStus"). Shown as a modal session that does not block its caller; "Send" posts
// "SENDQUESTIONREADY" for the run window, which then opens the question sending.
class GetRequestQuesStus : public QDialog, public RequestQuesStusWindow
{
    Q_OBJECT
public:
    explicit GetRequestQuesStus(QWidget *parent = nullptr);

    // Makes activity objects create this window when a keypad asks for the questions.
    static void installAsRequestWindow();

    void addRequestQuesStudents(const StudentInClassPtr &student, int stuDeviceID) override;
    bool isVisible() const override { return QDialog::isVisible(); }
    void showWindow() override;

    void onSend();
    void onCancel();

    QList<StudentInClassPtr> requestQuesStudents() const { return m_arrayRequestQuesStudents; }
    QList<int> readyForPollStudents() const { return m_arrayReadyForPollStudents; }

    QTableWidget *tableView = nullptr;

private:
    void reloadTable();

    QList<StudentInClassPtr> m_arrayRequestQuesStudents;
    QList<int> m_arrayReadyForPollStudents;
};
