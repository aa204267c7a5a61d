#include "ForceLoginController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/ForceLoginEnrolment.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/WindowOwner.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMoveEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {
QString key(const QString &id)
{
    return id.toCaseFolded();
}
} // namespace

void ForceLoginController::offer(QPointer<ForceLoginController> &window, QWidget *run, const Notification &n)
{
    const auto s = n.userInfo.value(Notify::Key::StudentInfo).value<StudentInClassPtr>();
    if (!s)
        return;
    const bool created = !window;
    if (created)
        window = new ForceLoginController(run);
    window->setFront();
    window->addLoginStudent(s);
    if (created || !window->isVisible())
        window->show();
}

// Not kept on top of every window: it is one of the run's windows, and a question, a report or the
// save opened over the run stands in front of it (WindowOwner).
ForceLoginController::ForceLoginController(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("ForceLogin"));
    setWindowTitle(tr("Students Not in the Class"));
    resize(480, 360);
    tableView = new QTableWidget(0, 2, this);
    tableView->setObjectName(QStringLiteral("tableView"));
    tableView->setHorizontalHeaderLabels({tr("Student ID"), tr("Student Name")});
    tableView->horizontalHeaderItem(0)->setData(Qt::UserRole, QStringLiteral("Student ID"));
    tableView->horizontalHeaderItem(1)->setData(Qt::UserRole, QStringLiteral("Student Name"));
    tableView->verticalHeader()->hide();
    tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(tableView, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!m_filling && item->column() == 0 && item->row() < m_selected.size())
            m_selected[item->row()] = item->checkState() == Qt::Checked ? 1 : 0;
    });

    btnSelectAll = new QCheckBox(tr("Select All"), this);
    btnSelectAll->setObjectName(QStringLiteral("btnSelectAll"));
    connect(btnSelectAll, &QCheckBox::clicked, this, &ForceLoginController::doSelectAll);
    btnRemove = new QPushButton(tr("Remove"), this);
    btnRemove->setObjectName(QStringLiteral("btnRemove"));
    btnLogin = new QPushButton(tr("Login"), this);
    btnLogin->setObjectName(QStringLiteral("btnLogin"));
    btnLogin->setDefault(true);
    connect(btnRemove, &QPushButton::clicked, this, &ForceLoginController::onRemove);
    connect(btnLogin, &QPushButton::clicked, this, &ForceLoginController::onLogin);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnSelectAll);
    buttons->addStretch();
    buttons->addWidget(btnRemove);
    buttons->addWidget(btnLogin);
    // Narrow enough to stand in the activity window's grid column.
    buttons->setSpacing(4);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(tableView, 1);
    layout->addLayout(buttons);
}

ForceLoginController::~ForceLoginController() = default;

void ForceLoginController::setFront()
{
    WindowOwner::toFrontOfRun(this);
}

void ForceLoginController::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_place)
        return;
    m_ours = true;
    place();
    m_toPlace = true;
}

void ForceLoginController::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_notedAt.clear();
    m_notedSize.clear();
}

void ForceLoginController::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    moved(event->spontaneous());
}

void ForceLoginController::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    moved(event->spontaneous());
}

void ForceLoginController::moved(bool fromWindowSystem)
{
    const QRect at = geometry();
    if (!fromWindowSystem) {
        // Made, shown or placed by the program (the run, or the placing of every window as it
        // opens): the window system's answer comes later.
        note(at);
        return;
    }
    if (m_asking || !isVisible())
        return;
    // Being framed: where the window manager first puts it is no drag, and the placing with the
    // frame, once it is painted, puts it where the run wants it.
    if (m_toPlace)
        return;
    if (!noted(at)) {
        m_ours = false;
        return;
    }
    // An older place's answer took the window back there. The place asked last may never have
    // gone out (the toolkit had the window there already when it was asked): asked again, it
    // is where the window stays once every answer is in.
    if (m_ours && at != m_placedAt)
        ask(m_placedAt);
}

void ForceLoginController::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // Painted, it is on the screen, framed by the window manager by now or soon. Until then it
    // is looked at on each painting (without a window manager no frame comes).
    if (m_toPlace)
        QTimer::singleShot(0, this, &ForceLoginController::placeInFrame);
}

void ForceLoginController::placeInFrame()
{
    if (!m_toPlace)
        return;
    // Placed again with the frame, its title bar keeps off what the run shows and its frame on
    // the screen, as long as it stands where it was put (the teacher may drag it).
    if (!isVisible() || !m_ours) {
        m_toPlace = false;
    } else if (!frame().isNull()) {
        m_toPlace = false;
        place();
        emit placedInFrame();
    }
}

void ForceLoginController::placeAgain()
{
    if (m_place && isVisible() && m_ours)
        place();
}

void ForceLoginController::place()
{
    m_placedAt = m_place(frame());
    ask(m_placedAt);
}

QMargins ForceLoginController::frame() const
{
    // Worked out while the window manager is still framing the window, the toolkit's frame can
    // be nonsense (a border of minus the window's width): no frame yet.
    const QMargins m = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    return m.left() >= 0 && m.top() >= 0 && m.right() >= 0 && m.bottom() >= 0 ? m : QMargins();
}

void ForceLoginController::ask(const QRect &at)
{
    note(at);
    m_asking = true;
    setGeometry(at);
    m_asking = false;
}

void ForceLoginController::note(const QRect &at)
{
    // Answers come within a few places given; the window system may answer none of them.
    constexpr qsizetype kRemembered = 16;
    const auto remember = [](auto &list, const auto &value) {
        list.removeAll(value);
        if (list.size() >= kRemembered)
            list.removeFirst();
        list << value;
    };
    remember(m_notedAt, at.topLeft());
    remember(m_notedSize, at.size());
}

bool ForceLoginController::noted(const QRect &at) const
{
    return m_notedAt.contains(at.topLeft()) && m_notedSize.contains(at.size());
}

void ForceLoginController::addLoginStudent(const StudentInClassPtr &student)
{
    if (!student)
        return;
    for (const StudentInClassPtr &s : m_students)
        if (key(s->studentID()) == key(student->studentID()))
            return;
    m_students << student;
    m_selected << 0;
    reloadTable();
}

void ForceLoginController::setSelected(int row, bool selected)
{
    if (row >= 0 && row < m_selected.size()) {
        m_selected[row] = selected ? 1 : 0;
        reloadTable();
    }
}

void ForceLoginController::reloadTable()
{
    m_filling = true;
    tableView->setRowCount(int(m_students.size()));
    for (int r = 0; r < m_students.size(); ++r) {
        auto *id = new QTableWidgetItem(m_students[r]->studentID());
        id->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        id->setCheckState(m_selected[r] == 1 ? Qt::Checked : Qt::Unchecked);
        tableView->setItem(r, 0, id);
        auto *name = new QTableWidgetItem(m_students[r]->studentFullName());
        name->setFlags(Qt::ItemIsEnabled);
        tableView->setItem(r, 1, name);
    }
    m_filling = false;
}

void ForceLoginController::doSelectAll()
{
    for (int &tick : m_selected)
        tick = btnSelectAll->isChecked() ? 1 : 0;
    reloadTable();
}

void ForceLoginController::onRemove()
{
    btnSelectAll->setChecked(false);
    for (qsizetype i = m_students.size() - 1; i >= 0; --i) {
        if (m_selected[i] == 1) {
            m_students.removeAt(i);
            m_selected.removeAt(i);
        }
    }
    reloadTable();
}

void ForceLoginController::onLogin()
{
    if (m_students.isEmpty())
        return;
    btnSelectAll->setChecked(false);
    QuizParticipantData *qpd = QuizParticipantData::shareManager();
    QList<StudentInClassPtr> ticked;
    for (qsizetype i = 0; i < m_students.size(); ++i)
        if (m_selected[i] == 1)
            ticked << m_students[i];

    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const int limit = app ? app->maxStudentNumberAllowed() : 999;
    const ForceLoginEnrolment::Outcome outcome = ForceLoginEnrolment::enrol(ticked, qpd->classNo(), limit);
    for (const StudentInClassPtr &added : outcome.added) {
        const qsizetype i = m_students.indexOf(added);
        if (i >= 0) {
            m_students.removeAt(i);
            m_selected.removeAt(i);
        }
    }
    reloadTable();
    qpd->setArrayClassStudents(ForceLoginEnrolment::classList(qpd->classNo(), qpd->arrayClassStudents()));
    if (outcome.failed)
        PollixAlert::show(this, QStringLiteral("Pollix"), tr("The students could not be added to the class."),
                          {tr("OK")}, outcome.errorText);
    else if (outcome.classFull)
        PollixAlert::show(this, QStringLiteral("Pollix"),
                          tr("Cannot add more than %1 students to a class.").arg(limit), {tr("OK")});
}
