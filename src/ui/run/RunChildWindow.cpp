#include "RunChildWindow.h"

#include <algorithm>

#include "RunFrameSink.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/ActivityCodes.h"
#include "core/keypad/DataOfFrame.h"
#include "core/keypad/KeypadMouse.h"
#include "core/presentation/MouseFunction.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/TeacherKeyButtons.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr uint8_t kKeyCommand = 0xF4;
} // namespace

RunChildWindow::RunChildWindow(const QString &objectName, const char *logName, QWidget *parent)
    : QDialog(parent), appDelegate(Orvenda_AppDelegate::getAppDelegate()), m_logName(logName)
{
    setObjectName(objectName);
    setModal(true);
    TeacherKeyButtons::watch(this);
}

RunChildWindow::~RunChildWindow()
{
    if (appDelegate && appDelegate->objectToReceiveCommData() == this)
        appDelegate->setObjectToReceiveCommData(nullptr);
}

int RunChildWindow::runModal()
{
    QPointer<QObject> previous = appDelegate ? appDelegate->objectToReceiveCommData() : nullptr;
    m_closed = false;
    load();
    if (appDelegate)
        appDelegate->setObjectToReceiveCommData(this);
    const int result = DialogHooks::runModal(this);
    if (appDelegate && appDelegate->objectToReceiveCommData() == this)
        appDelegate->setObjectToReceiveCommData(previous);
    return result;
}

void RunChildWindow::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    windowDidLoad();
    if (m_bIsRunForTeacherControl)
        clickBottomLeftLater(this);
}

void RunChildWindow::clickBottomLeftLater(QObject *context)
{
    // The click waits for the event loop and for the window system to have heard of every
    // window raised meanwhile: a click that overtook a raise would land on the window below
    // (over a slide show: the show, which a click steps on).
    QTimer::singleShot(0, context, [] {
        QGuiApplication::sync();
        MouseFunction::shareManager()->MoveToLeftBottomAndClickLeftButton();
    });
}

int RunChildWindow::runChild(RunChildWindow &child)
{
    child.setRun(m_run);
    return child.runModal();
}

void RunChildWindow::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        if (m_postsLoginViewToNormal)
            NotificationCenter::defaultCenter()->postNotification(Notify::LoginViewToNormal, {}, this);
    }
    QDialog::done(result);
}

QLabel *RunChildWindow::addField(const char *name, const QString &text)
{
    auto *l = new QLabel(text, this);
    l->setObjectName(QLatin1String(name));
    return l;
}

QTextEdit *RunChildWindow::addQuestionTitle(const char *name)
{
    auto *t = new QTextEdit(this);
    t->setObjectName(QLatin1String(name));
    t->setReadOnly(true);
    t->setFixedHeight(70);
    return t;
}

QPushButton *RunChildWindow::addButton(const char *name, const QString &text)
{
    auto *b = new QPushButton(text, this);
    b->setObjectName(QLatin1String(name));
    return b;
}

void RunChildWindow::layOutFigures(QTextEdit *title, const QList<std::pair<QLabel *, QLabel *>> &figures, QWidget *chart,
                                   const QList<QPushButton *> &buttons)
{
    auto *row = new QGridLayout;
    for (int i = 0; i < figures.size(); ++i) {
        row->addWidget(figures[i].first, 0, 2 * i, Qt::AlignRight);
        row->addWidget(figures[i].second, 0, 2 * i + 1, Qt::AlignLeft);
        figures[i].second->setMinimumWidth(50);
    }
    auto *foot = new QHBoxLayout;
    foot->addStretch();
    for (QPushButton *b : buttons)
        foot->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(row);
    layout->addWidget(chart, 1);
    layout->addLayout(foot);
}

void RunChildWindow::keepColumnShares(QTableWidget *table, const QList<double> &shares)
{
    if (!m_shares.contains(table))
        table->viewport()->installEventFilter(this);
    m_shares[table] = shares;
    table->setWordWrap(false);
    eventFilter(table->viewport(), nullptr);
}

bool RunChildWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (!event || event->type() == QEvent::Resize) {
        for (auto it = m_shares.cbegin(); it != m_shares.cend(); ++it) {
            if (it.key()->viewport() != watched)
                continue;
            const int width = it.key()->viewport()->width();
            const int columns = std::min(int(it.value().size()), it.key()->columnCount());
            int used = 0;
            for (int c = 0; c < columns; ++c) {
                int w = int(width * it.value().at(c));
                // The shares rarely add up to the whole width; the last column takes what is
                // left, so the header does not end in a bare strip.
                if (c == it.key()->columnCount() - 1)
                    w = std::max(w, width - used);
                it.key()->setColumnWidth(c, w);
                used += w;
            }
        }
    }
    return event ? QDialog::eventFilter(watched, event) : false;
}

void RunChildWindow::handleMachMessage()
{
    if (!appDelegate)
        return;
    const DataOfFrame frame = appDelegate->frameToHandle();
    const int type = appDelegate->currentDeviceType();
    if (!frame.isNull() && DeviceType::isSmallFamily(type))
        handleDataReceiveArvel(frame);
    else if (!frame.isNull() && DeviceType::isLargeFamily(type))
        handleDataReceiveCorvel_Dravel(frame);
    else
        appDelegate->signalConditionOfDataHandled();
}

void RunChildWindow::handleDataReceiveArvel(const DataOfFrame &frame)
{
    appDelegate->signalConditionOfDataHandled();
    const uint8_t *b = frame.data();
    PollixFrameLogf("data receive in %s : %02x\t%02x\t%02x\n", m_logName.constData(), b[0], b[1], b[2]);
    if (frame.isTeacherCommand())
        runTeacherKey(frame);
    else if (frame.isStudentCommand() && m_run)
        m_run->handleStudentFrame(frame);
}

void RunChildWindow::handleDataReceiveCorvel_Dravel(const DataOfFrame &frame)
{
    if (frame.isTeacherCommand() && frame.cmd() == kKeyCommand) {
        appDelegate->signalConditionOfDataHandled();
        runTeacherKey(frame);
        return;
    }
    // Logins, answers and the teacher keypad's other frames belong to the run.
    if (m_run)
        m_run->handleLongFrame(frame);
    else
        appDelegate->signalConditionOfDataHandled();
}

void RunChildWindow::runTeacherKey(const DataOfFrame &frame)
{
    const TeacherKeyMap::Action action = TeacherKeyMap::action(teacherContext(), frame);
    if (action == TeacherKeyMap::Action::Mouse)
        KeypadMouse::pass(frame);
    else if (action != TeacherKeyMap::Action::None)
        teacherAction(action);
}
