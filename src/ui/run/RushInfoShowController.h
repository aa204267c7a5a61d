#pragma once

#include "core/engine/RushInfoShow.h"

#include <QEventLoop>
#include <QPointer>
#include <QWidget>

class QLabel;

// The rush winner box ("RushInfoShow"): the ID and name of the student who won the rush, floating
// over the activity window, which steps below it while it is up.
class RushInfoShowController : public QWidget, public RushInfoShow
{
    Q_OBJECT
public:
    explicit RushInfoShowController(QWidget *parent = nullptr);
    ~RushInfoShowController() override;

    QString strStudentID() const { return m_strStudentID; }
    void setStrStudentID(const QString &id) override { m_strStudentID = id; }
    QString strStudentName() const { return m_strStudentName; }
    void setStrStudentName(const QString &name) override { m_strStudentName = name; }
    // A modal session the box runs in, if any; closing the box ends it.
    QEventLoop *modalsession() const { return m_modalsession; }
    void setModalsession(QEventLoop *session) { m_modalsession = session; }
    void showWindow() override;
    void closeWindow() override;
    // Ends the box; posts "BigQuestionEndDoModal" once.
    bool windowShouldClose();

    QLabel *textfieldStudentName = nullptr;
    QLabel *textfieldStudentID = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_strStudentID;
    QString m_strStudentName;
    bool m_shown = false;
    QPointer<QEventLoop> m_modalsession;
};
