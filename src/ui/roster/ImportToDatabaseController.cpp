#include "ImportToDatabaseController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/CommonFunc.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ScreenFit.h"
#include "ui/controls/TableExtensions.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString kPollixArs = QStringLiteral("Pollix ARS");

QTableWidget *listOfRecords(QWidget *parent, const QString &name)
{
    auto *table = new QTableWidget(parent);
    table->setObjectName(name);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(22);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setStretchLastSection(true);
    // A reason or a stored value is read whole: it wraps in its cell (the row grows), on any
    // screen and after any change of a column's width.
    table->setWordWrap(true);
    table->setTextElideMode(Qt::ElideNone);
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionResized, table, [table] { table->resizeRowsToContents(); });
    return table;
}

// One row's cells, each with its whole text as its tip too.
void setRow(QTableWidget *table, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c) {
        auto *item = new QTableWidgetItem(cells.at(c));
        item->setToolTip(cells.at(c));
        table->setItem(row, c, item);
    }
    table->resizeRowToContents(row);
}
} // namespace

ImportToDatabaseController::ImportToDatabaseController(QWidget *parent) : QDialog(parent), m_fromWorker(this)
{
    setObjectName(QStringLiteral("ImportToDatabase"));
    if (const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        m_importer.setMaxStudentNumberAllowed(app->maxStudentNumberAllowed());

    txtImportState = new QLabel(this);
    txtImportState->setObjectName(QStringLiteral("txtImportState"));
    // The state line may name more than one outcome: it folds rather than widen the window.
    txtImportState->setWordWrap(true);
    txtImportResult = new QLabel(this);
    txtImportResult->setObjectName(QStringLiteral("txtImportResult"));
    level = new QProgressBar(this);
    level->setObjectName(QStringLiteral("level"));
    level->setRange(0, 100);
    level->setValue(0);
    tblLostDataInfo = listOfRecords(this, QStringLiteral("tblLostDataInfo"));
    txtReplacedResult = new QLabel(this);
    txtReplacedResult->setObjectName(QStringLiteral("txtReplacedResult"));
    tblReplacedValues = listOfRecords(this, QStringLiteral("tblReplacedValues"));
    txtReplacedResult->hide();
    tblReplacedValues->hide();
    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setEnabled(false);
    connect(btnOK, &QPushButton::clicked, this, [this] { done(0); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtImportState);
    layout->addWidget(level);
    layout->addSpacing(8);
    layout->addWidget(txtImportResult);
    layout->addWidget(tblLostDataInfo, 1);
    layout->addWidget(txtReplacedResult);
    layout->addWidget(tblReplacedValues, 1);
    layout->addLayout(buttons);
}

ImportToDatabaseController::~ImportToDatabaseController()
{
    // The worker only posts its result; once joined, nothing of this window is left in use by it
    // (a posted result that was never run goes with the window).
    joinWorker();
}

void ImportToDatabaseController::setClassNoToImport(int classNo, const QString &className)
{
    m_classNo = classNo;
    m_className = className;
    m_importer.setClassNoToImport(classNo, className);
}

void ImportToDatabaseController::windowDidLoad()
{
    tblLostDataInfo->setColumnCount(0);
    if (m_mode == 0) {
        setWindowTitle(tr("Importing Students"));
        txtImportResult->setText(tr("List of students not imported"));
        addColumnWithTitle(tblLostDataInfo, tr("Student ID"), QStringLiteral("studentID"), 145);
        addColumnWithTitle(tblLostDataInfo, tr("Full Name"), QStringLiteral("studentName"), 145);
        addColumnWithTitle(tblLostDataInfo, tr("Class Name"), QStringLiteral("className"), 144);
    } else {
        setWindowTitle(tr("Importing Teachers"));
        txtImportResult->setText(tr("List of teachers not imported"));
        addColumnWithTitle(tblLostDataInfo, tr("Teacher Name"), QStringLiteral("teacherName"), 218);
        addColumnWithTitle(tblLostDataInfo, tr("Title"), QStringLiteral("title"), 218);
    }
    // Why a record stayed out, so the teacher can mend the file and import it again.
    addColumnWithTitle(tblLostDataInfo, tr("Reason"), QStringLiteral("reason"), 220);
    tblReplacedValues->setColumnCount(0);
    txtReplacedResult->setText(tr("Values not stored as typed"));
    addColumnWithTitle(tblReplacedValues, tr("Row"), QStringLiteral("row"), 50);
    if (m_mode == 0) {
        addColumnWithTitle(tblReplacedValues, tr("Student ID"), QStringLiteral("studentID"), 110);
        addColumnWithTitle(tblReplacedValues, tr("Full Name"), QStringLiteral("studentName"), 145);
    } else {
        addColumnWithTitle(tblReplacedValues, tr("Teacher Name"), QStringLiteral("teacherName"), 218);
    }
    addColumnWithTitle(tblReplacedValues, tr("Value"), QStringLiteral("value"), 380);
    txtImportState->setText(tr("Processing file..."));
    // Tall enough from the start for the list of values not stored as typed, which comes at the
    // end: the window does not grow (nor leave the screen) then.
    ScreenFit::resize(this, 760, m_replacements.isEmpty() ? 420 : 560);
}

int ImportToDatabaseController::exec()
{
    windowDidLoad();
    return QDialog::exec();
}

void ImportToDatabaseController::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        if (tblLostDataInfo->columnCount() == 0)
            windowDidLoad();
        startImport();
    }
}

void ImportToDatabaseController::closeEvent(QCloseEvent *event)
{
    // Until the import is over the window stays: what it says then is the import's outcome.
    if (!m_done) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ImportToDatabaseController::reject()
{
    if (m_done)
        QDialog::reject();
}

void ImportToDatabaseController::startImport()
{
    m_started = true;
    activateWindow();
    if (m_mode == 0) {
        m_worker = std::thread([this, records = m_resultDataOfStudents] {
            const QList<StudentEntity> students = RosterImporter::studentsFromRecords(records);
            m_fromWorker.post([this, students] { importStudents(students); });
        });
    } else {
        m_worker = std::thread([this, records = m_resultDataOfTeachers] {
            const QList<TeacherEntity> teachers = RosterImporter::teachersFromRecords(records);
            m_fromWorker.post([this, teachers] { importTeachers(teachers); });
        });
    }
}

void ImportToDatabaseController::joinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

void ImportToDatabaseController::followImporter()
{
    joinWorker();
    m_importer.onProgress = [this](int percent) {
        level->setValue(percent);
        // The GUI thread is busy with the import: draw now what the teacher should see.
        level->repaint();
        tblLostDataInfo->repaint();
    };
    m_importer.onLost = [this] { showLostRows(); };
    m_importer.onClassFull = [this](int limit) {
        PollixAlert::show(this, kPollixArs, tr("The max number of students in a class is %1.").arg(limit), {tr("OK")});
    };
}

void ImportToDatabaseController::importStudents(const QList<StudentEntity> &students)
{
    followImporter();
    finishImport(m_importer.importStudentsUsingPreviewResultData(students));
}

void ImportToDatabaseController::importTeachers(const QList<TeacherEntity> &teachers)
{
    followImporter();
    finishImport(m_importer.importTeachersUsingPreviewResultData(teachers));
}

void ImportToDatabaseController::showLostRows()
{
    const int rows = m_mode == 0 ? int(m_importer.studentsLost().size()) : int(m_importer.teachersLost().size());
    if (rows < tblLostDataInfo->rowCount())
        tblLostDataInfo->setRowCount(0);
    const int from = tblLostDataInfo->rowCount();
    tblLostDataInfo->setRowCount(rows);
    for (int r = from; r < rows; ++r) {
        QStringList cells;
        if (m_mode == 0) {
            const RosterImporter::LostStudent &lost = m_importer.studentsLost().at(r);
            cells = {lost.student.studentID(), lost.student.studentFullName(), m_className, lost.reason};
        } else {
            const RosterImporter::LostTeacher &lost = m_importer.teachersLost().at(r);
            cells = {lost.teacher.teacherName(), lost.teacher.title(), lost.reason};
        }
        setRow(tblLostDataInfo, r, cells);
    }
    tblLostDataInfo->scrollToBottom();
}

ImportToDatabaseController::Listed ImportToDatabaseController::showReplacedValues()
{
    QSet<int> lost;
    if (m_mode == 0)
        for (const RosterImporter::LostStudent &l : m_importer.studentsLost())
            lost.insert(l.record);
    else
        for (const RosterImporter::LostTeacher &l : m_importer.teachersLost())
            lost.insert(l.record);
    const QList<QStringList> &records = m_mode == 0 ? m_resultDataOfStudents : m_resultDataOfTeachers;
    tblReplacedValues->setRowCount(0);
    Listed listed;
    for (const ImportPreviewState::Replacement &replaced : m_replacements) {
        if (lost.contains(replaced.record) || replaced.record < 0 || replaced.record >= records.size())
            continue;
        const QStringList &record = records.at(replaced.record);
        // The keypad number the import gave, now that it is known.
        const auto given = m_importer.givenDeviceNos().constFind(replaced.record);
        const bool gaveOne = replaced.deviceNoGiven && m_mode == 0 && given != m_importer.givenDeviceNos().constEnd();
        // A number given where the file gave none is named only when another student holds it too.
        if (gaveOne && replaced.typed.isEmpty() && given->free)
            continue;
        const QString detail = gaveOne ? ImportPreviewState::givenDeviceNoNote(replaced.field, replaced.typed, *given,
                                                                               replaced.heldBy)
                                       : replaced.detail;
        listed.shared = listed.shared || (gaveOne && !given->free);
        listed.replaced = listed.replaced || !(gaveOne && replaced.typed.isEmpty());
        // Item order: students 1 ID, 2 first and 3 last name; teachers 1 first and 2 last name.
        const QStringList cells = m_mode == 0
                                      ? QStringList{replaced.row, record.value(1).trimmed(),
                                                    mergeFirstLastString(record.value(2).trimmed(), record.value(3).trimmed()),
                                                    detail}
                                      : QStringList{replaced.row,
                                                    mergeFirstLastString(record.value(1).trimmed(), record.value(2).trimmed()),
                                                    replaced.detail};
        const int r = tblReplacedValues->rowCount();
        tblReplacedValues->setRowCount(r + 1);
        setRow(tblReplacedValues, r, cells);
    }
    const bool any = tblReplacedValues->rowCount() > 0;
    txtReplacedResult->setVisible(any);
    tblReplacedValues->setVisible(any);
    return listed;
}

void ImportToDatabaseController::finishImport(bool ok)
{
    level->setValue(100);
    const Listed listed = showReplacedValues();
    const bool replaced = listed.replaced || listed.shared;
    // Nothing left out: the empty list of records not imported gives its room to the values not
    // stored as typed, which are then read without scrolling.
    const bool lostAny = tblLostDataInfo->rowCount() > 0;
    txtImportResult->setVisible(lostAny || !replaced);
    tblLostDataInfo->setVisible(lostAny || !replaced);
    QString state = tr("Import successfully.");
    if (!ok)
        state = tr("Some records are either already in database or invalid.");
    else if (listed.replaced && listed.shared)
        state = tr("Imported; some values were not stored as typed, and some students share a keypad number with "
                   "other students (listed below).");
    else if (listed.shared)
        state = tr("Imported; some students share a keypad number with other students (listed below).");
    else if (listed.replaced)
        state = tr("Imported; some values were not stored as typed (listed below).");
    txtImportState->setText(state);
    m_done = true;
    btnOK->setEnabled(true);
    btnOK->setDefault(true);
    if (!m_importer.failureText().isEmpty())
        PollixAlert::show(this, kPollixArs, m_importer.failureText(), {tr("OK")}, m_importer.failureReason());
    emit importFinished();
}
