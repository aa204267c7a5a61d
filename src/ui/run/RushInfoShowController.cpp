#include "RushInfoShowController.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/WindowOwner.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

RushInfoShowController::RushInfoShowController(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("RushInfoShow"));
    setWindowTitle(tr("Rush Quiz"));
    setStyleSheet(QStringLiteral("#RushInfoShow { background: #fff4e0; border: 3px solid #ee8014; } #RushInfoShow > QLabel { font-size: 20pt; }"));
    setAttribute(Qt::WA_StyledBackground, true);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(24, 18, 24, 18);
    grid->addWidget(new QLabel(tr("ID:"), this), 0, 0);
    textfieldStudentID = new QLabel(this);
    textfieldStudentID->setObjectName(QStringLiteral("textfieldStudentID"));
    grid->addWidget(textfieldStudentID, 0, 1);
    grid->addWidget(new QLabel(tr("Name:"), this), 1, 0);
    textfieldStudentName = new QLabel(this);
    textfieldStudentName->setObjectName(QStringLiteral("textfieldStudentName"));
    grid->addWidget(textfieldStudentName, 1, 1);
    for (QLabel *l : {textfieldStudentID, textfieldStudentName}) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
}

RushInfoShowController::~RushInfoShowController()
{
    windowShouldClose();
}

void RushInfoShowController::showWindow()
{
    // Made by the run without an owner: owned by the window the teacher is on, it stays above it.
    WindowOwner::adopt(this);
    textfieldStudentID->setText(m_strStudentID);
    textfieldStudentName->setText(m_strStudentName);
    adjustSize();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // The activity window steps down while the box is up.
    if (!m_shown) {
        m_shown = true;
        NotificationCenter::defaultCenter()->postNotification(Notify::BigQuestionBeginDoModal, {}, this);
    }
    show();
    raise();
    activateWindow();
}

void RushInfoShowController::closeWindow()
{
    if (windowShouldClose())
        hide();
}

bool RushInfoShowController::windowShouldClose()
{
    if (m_modalsession) {
        m_modalsession->quit();
        m_modalsession = nullptr;
    }
    if (m_shown) {
        m_shown = false;
        NotificationCenter::defaultCenter()->postNotification(Notify::BigQuestionEndDoModal, {}, this);
    }
    return true;
}

void RushInfoShowController::closeEvent(QCloseEvent *event)
{
    windowShouldClose();
    event->accept();
}
