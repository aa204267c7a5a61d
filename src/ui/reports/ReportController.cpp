#include "ReportController.h"

#include "CreateReportController.h"
#include "ReportTable1Model.h"

#include "core/reports/SessionImport.h"
#include "core/roster/RosterRecords.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/Log.h"
#include "ui/controls/ColumnFit.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ScreenFit.h"
#include "ui/controls/TovLabel.h"
#include "ui/controls/TovTableView.h"

#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString kDayFormat = QStringLiteral("yyyy-MM-dd");

QDate today()
{
    return GlobalFunctions::currentDateTime().date();
}

QString dayText(const QDate &day)
{
    return day.toString(kDayFormat);
}

const QList<TovSessionXmlParsedResult> &arrQuizSummary()
{
    return TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults();
}
} // namespace

ReportController::Hooks &ReportController::hooks()
{
    static Hooks h;
    return h;
}

void ReportController::resetHooks()
{
    hooks() = Hooks();
}

ReportController::ReportController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Report"));
    buildInterface();
    awakeFromNib();
    // The window opens with the newest session chosen.
    m_bResettingMyself = true;
    if (!table1Array().isEmpty())
        table1->selectRow(0);
    tableViewSelectionDidChange();
    m_bResettingMyself = false;
}

ReportController::~ReportController() = default;

void ReportController::buildInterface()
{
    setWindowTitle(tr("Report"));
    tabView = new QTabWidget(this);
    tabView->setObjectName(QStringLiteral("tabView"));
    auto *tab1 = new QWidget;
    tab1->setObjectName(QStringLiteral("tab1"));

    const auto combo = [tab1](const char *name) {
        auto *box = new MyComboBox(tab1);
        box->setObjectName(QLatin1String(name));
        box->setEditable(false);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
        return box;
    };
    cboTestTitle1 = combo("cboTestTitle1");
    cboActivityMode1 = combo("cboActivityMode1");
    cboType1 = combo("cboType1");
    cboClass1 = combo("cboClass1");
    cboSubject1 = combo("cboSubject1");
    cboTeacher1 = combo("cboTeacher1");
    cboFlag1 = combo("cboFlag1");
    for (MyComboBox *box : {cboTestTitle1, cboActivityMode1, cboType1, cboClass1, cboSubject1, cboTeacher1, cboFlag1})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { comboBoxSelectionDidChange(); });

    const auto picker = [tab1](const char *name) {
        auto *edit = new QDateEdit(tab1);
        edit->setObjectName(QLatin1String(name));
        edit->setDisplayFormat(kDayFormat);
        edit->setCalendarPopup(true);
        return edit;
    };
    dateFrom1 = picker("dateFrom1");
    dateTo1 = picker("dateTo1");
    connect(dateFrom1, &QDateEdit::dateChanged, this, &ReportController::doDateChange);
    connect(dateTo1, &QDateEdit::dateChanged, this, &ReportController::doDateChange);

    // Two rows: the session's own fields and the days on the right.
    auto *filters = new QGridLayout;
    const struct
    {
        const char *caption;
        QWidget *control;
        int row, column;
    } cells[] = {{"Test Title:", cboTestTitle1, 0, 0}, {"Activity:", cboActivityMode1, 0, 1}, {"Type:", cboType1, 0, 2},
                 {"Kind:", cboFlag1, 0, 3},            {"From:", dateFrom1, 0, 4},          {"Class:", cboClass1, 1, 0},
                 {"Subject:", cboSubject1, 1, 1},     {"Teacher:", cboTeacher1, 1, 2},     {"To:", dateTo1, 1, 4}};
    for (const auto &cell : cells) {
        auto *label = new TovLabel(tr(cell.caption), tab1);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        filters->addWidget(label, cell.row, cell.column * 2);
        filters->addWidget(cell.control, cell.row, cell.column * 2 + 1);
    }
    for (int c = 1; c < 10; c += 2)
        filters->setColumnStretch(c, 1);

    table1 = new TovTableView(tab1);
    table1->setObjectName(QStringLiteral("table1"));
    m_model = new ReportTable1Model(this);
    table1->setModel(m_model);
    table1->setSelectionBehavior(QAbstractItemView::SelectRows);
    table1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table1->verticalHeader()->hide();
    table1->horizontalHeader()->setStretchLastSection(true);
    table1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table1->setAlternatingRowColors(true);
    table1->verticalHeader()->setDefaultSectionSize(table1->fontMetrics().height() + 8);
    // The activity, the day and the kind are read whole, on a small screen too; the names and
    // titles typed by teachers share the rest.
    new ColumnFit(table1, {170, 140, ColumnFit::Whole, 110, 110, 120, ColumnFit::Whole, 90, ColumnFit::Whole});
    connect(table1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReportController::tableViewSelectionDidChange);
    connect(table1, &QAbstractItemView::doubleClicked, this, &ReportController::table1DoubleAction);

    const auto button = [tab1](const char *name, const QString &title) {
        auto *b = new QPushButton(title, tab1);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    btnNew1 = button("btnNew1", tr("New..."));
    btnEdit1 = button("btnEdit1", tr("Edit..."));
    btnMerge1 = button("btnMerge1", tr("Merge..."));
    btnImport = button("btnImport", tr("Import..."));
    btnExport1 = button("btnExport1", tr("Export..."));
    btnDelete = button("btnDelete", tr("Delete"));
    btnReport1 = button("btnReport1", tr("Report..."));
    connect(btnNew1, &QPushButton::clicked, this, &ReportController::doNew1);
    connect(btnEdit1, &QPushButton::clicked, this, &ReportController::doEdit1);
    connect(btnMerge1, &QPushButton::clicked, this, &ReportController::doMerge1);
    connect(btnImport, &QPushButton::clicked, this, &ReportController::doImport1);
    connect(btnExport1, &QPushButton::clicked, this, &ReportController::doExport1);
    connect(btnDelete, &QPushButton::clicked, this, &ReportController::doDelete1);
    connect(btnReport1, &QPushButton::clicked, this, &ReportController::doReport1);
    btnNew1->setEnabled(isBuilt(btnNew1));

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {btnNew1, btnEdit1, btnMerge1, btnImport, btnExport1, btnDelete})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(btnReport1);

    // The status line: what the buttons cannot do for the chosen sessions, and why.
    lblStatus1 = new QLabel(tab1);
    lblStatus1->setObjectName(QStringLiteral("lblStatus1"));
    lblStatus1->setWordWrap(true);
    lblStatus1->setMinimumHeight(lblStatus1->fontMetrics().height());

    auto *layout1 = new QVBoxLayout(tab1);
    layout1->addLayout(filters);
    layout1->addWidget(table1, 1);
    layout1->addLayout(buttons);
    layout1->addWidget(lblStatus1);

    tabView->addTab(tab1, tr("Sessions"));
    // The course-grade tabs are the gradebook's.
    if (hooks().addCourseGradeTabs)
        hooks().addCourseGradeTabs(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabView);
    ScreenFit::resize(this, 1100, 680);
}

void ReportController::fillCombo(MyComboBox *box, const QStringList &items)
{
    box->clear();
    box->addItem(GlobalFunctions::allText());
    box->addItems(items);
    box->setCurrentIndex(0);
    box->setFit();
}

void ReportController::awakeFromNib()
{
    m_bResettingMyself = true;
    TovFastQuizXmlDatabase::sharedFastQuiz()->reloadQuiz();
    fillCombo(cboTestTitle1, ReportSessionList::titles(arrQuizSummary()));
    fillCombo(cboActivityMode1, ReportSessionList::activityNames());
    fillCombo(cboType1, sessionTypeNames());
    fillCombo(cboFlag1, ReportSessionList::kinds());
    fillCombo(cboClass1, RosterRecords::classNames());
    fillCombo(cboSubject1, RosterRecords::subjectNames());
    fillCombo(cboTeacher1, RosterRecords::teacherNames());
    setToDate1(dayText(today()));
    firstRefresh1();
    getEarliestDate();
    setPickersToRange();
    m_bResettingMyself = false;
}

bool ReportController::isBuilt(const QWidget *control) const
{
    const Hooks &h = hooks();
    const QList<ReportTable1Element> rows = selectedRows();
    const bool course = !rows.isEmpty() && rows.first().flag() != 1;
    if (control == btnNew1)
        return bool(h.newSession);
    if (control == btnEdit1)
        return course ? bool(h.editCourseGrade) : bool(h.editSession);
    if (control == btnMerge1)
        return bool(h.mergeSessions);
    if (control == btnImport)
        return h.importSession || h.importCourseGrade;
    if (control == btnReport1)
        return !course || bool(h.pointsList);
    return control != nullptr;
}

// ---- The list ----

const QList<ReportTable1Element> &ReportController::table1Array() const
{
    return m_model->rows();
}

ReportSessionList::Filter ReportController::currentFilter() const
{
    ReportSessionList::Filter f;
    // No item chosen: a null text, which nothing passes.
    const auto value = [](const MyComboBox *box) { return box->currentIndex() < 0 ? QString() : box->currentText(); };
    f.title = value(cboTestTitle1);
    f.activity = value(cboActivityMode1);
    f.type = value(cboType1);
    f.className = value(cboClass1);
    f.subject = value(cboSubject1);
    f.teacher = value(cboTeacher1);
    f.kind = value(cboFlag1);
    f.from = dateFrom1->date();
    f.to = dateTo1->date();
    return f;
}

void ReportController::buildList(const ReportSessionList::Filter *filter)
{
    m_building = true;
    m_model->setRows(ReportSessionList::rows(arrQuizSummary(), filter));
    // A file that cannot be read has nothing for these columns: its reason runs across them.
    table1->clearSpans();
    for (int r = 0; r < table1Array().size(); ++r)
        if (!table1Array().at(r).unreadable().isEmpty())
            table1->setSpan(r, ReportTable1Model::Title, 1, ReportTable1Model::Type - ReportTable1Model::Title + 1);
    m_building = false;
    if (!table1Array().isEmpty())
        table1->selectRow(0);
    tableViewSelectionDidChange();
}

void ReportController::firstRefresh1()
{
    buildList(nullptr);
}

void ReportController::refresh1()
{
    const ReportSessionList::Filter filter = currentFilter();
    buildList(&filter);
    rebuildTitleCombo();
}

void ReportController::refreshIfChangeCbo()
{
    const ReportSessionList::Filter filter = currentFilter();
    buildList(&filter);
}

void ReportController::rebuildTitleCombo()
{
    m_bResettingMyself = true;
    fillCombo(cboTestTitle1, ReportSessionList::titles(arrQuizSummary()));
    m_bResettingMyself = false;
}

void ReportController::getEarliestDate(QList<QDate> *days)
{
    const ReportSessionList::DateRange range = ReportSessionList::defaultDateRange(
        table1Array(), today(), [] { return DataManager::getElementByTag(QStringLiteral("DateCreated")); });
    m_earliestDate = dayText(range.from);
    m_lastestDate = dayText(range.to);
    if (days)
        for (const ReportTable1Element &row : table1Array())
            if (row.day().isValid())
                days->append(row.day());
}

void ReportController::widenDateRange(const QString &day)
{
    const QDate d = QDate::fromString(day, kDayFormat);
    if (!d.isValid())
        return;
    if (table1Array().isEmpty()) {
        m_earliestDate = m_lastestDate = day;
        setFromDate1(day);
        setToDate1(day);
        return;
    }
    if (dateFrom1->date() > d) {
        m_earliestDate = day;
        setFromDate1(day);
    }
    if (d > dateTo1->date()) {
        m_lastestDate = day;
        setToDate1(day);
    }
}

QStringList ReportController::sessionTypeNames()
{
    return hooks().sessionTypeNames ? hooks().sessionTypeNames() : ReportSessionList::builtInSessionTypes();
}

void ReportController::setPickersToRange()
{
    setFromDate1(m_earliestDate);
    setToDate1(m_lastestDate);
}

void ReportController::selectArray1ByID(const QString &strID)
{
    for (int i = 0; i < table1Array().size(); ++i)
        if (table1Array().at(i).strID() == strID) {
            table1->clearSelection();
            table1->selectRow(i);
            return;
        }
}

void ReportController::selectArray1ByFilePath(const QString &path)
{
    for (int i = 0; i < table1Array().size(); ++i)
        if (table1Array().at(i).filePath() == path) {
            table1->clearSelection();
            table1->selectRow(i);
            return;
        }
}

void ReportController::setFromDate1(const QString &day)
{
    const QSignalBlocker block(dateFrom1);
    dateFrom1->setDate(QDate::fromString(day, kDayFormat));
}

void ReportController::setToDate1(const QString &day)
{
    const QSignalBlocker block(dateTo1);
    dateTo1->setDate(QDate::fromString(day, kDayFormat));
}

QString ReportController::curFromDate() const
{
    return dayText(dateFrom1->date());
}

QString ReportController::curToDate() const
{
    return dayText(dateTo1->date());
}

QList<ReportTable1Element> ReportController::selectedRows() const
{
    QList<ReportTable1Element> rows;
    if (!table1 || !table1->selectionModel())
        return rows;
    QModelIndexList selected = table1->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    for (const QModelIndex &index : selected)
        if (index.row() < table1Array().size())
            rows.append(table1Array().at(index.row()));
    return rows;
}

// ---- Actions ----

void ReportController::comboBoxSelectionDidChange()
{
    if (m_bResettingMyself)
        return;
    refreshIfChangeCbo();
}

void ReportController::doDateChange()
{
    if (m_bResettingMyself)
        return;
    refresh1();
}

void ReportController::setButtons(const ReportSessionList::Buttons &b)
{
    btnEdit1->setEnabled(b.edit && isBuilt(btnEdit1));
    btnMerge1->setEnabled(b.merge && isBuilt(btnMerge1));
    btnExport1->setEnabled(b.exportFile);
    btnReport1->setEnabled(b.report && isBuilt(btnReport1));
    btnImport->setEnabled(b.importFile && isBuilt(btnImport));
    btnDelete->setEnabled(b.deleteRows);
    btnNew1->setEnabled(isBuilt(btnNew1));
}

void ReportController::tableViewSelectionDidChange()
{
    if (m_building)
        return;
    const QList<ReportTable1Element> rows = selectedRows();
    const ReportSessionList::Buttons buttons = ReportSessionList::buttonsFor(rows, m_bResettingMyself);
    setButtons(buttons);
    // A greyed Merge says why, where points-only sessions are among those chosen.
    const QString why = !buttons.merge && rows.size() > 1 ? ReportSessionList::pointsOnlyRefusal(rows) : QString();
    btnMerge1->setToolTip(why);
    lblStatus1->setText(why);
}

void ReportController::table1DoubleAction()
{
    if (ReportSessionList::doubleClickEdits(selectedRows()) && btnEdit1->isEnabled())
        doEdit1();
}

void ReportController::refreshAfterChange()
{
    refresh1();
    getEarliestDate();
    setPickersToRange();
}

void ReportController::doNew1()
{
    runNewSession(false);
}

void ReportController::doNewPointsSession()
{
    runNewSession(true);
}

void ReportController::runNewSession(bool pointsOnly)
{
    if (!hooks().newSession)
        return;
    if (hooks().newSession(this, pointsOnly) != 0)
        refreshAfterChange();
}

void ReportController::doEdit1()
{
    const QList<ReportTable1Element> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const ReportTable1Element &row = rows.first();
    if (refuseUnreadable(row))
        return;
    m_ActNo = row.actNo();
    const auto &editor = row.flag() == 1 ? hooks().editSession : hooks().editCourseGrade;
    if (editor)
        editor(this, row);
}

void ReportController::doMerge1()
{
    const QList<ReportTable1Element> rows = selectedRows();
    if (rows.isEmpty() || !hooks().mergeSessions)
        return;
    const QString kinds = ReportSessionList::pointsOnlyRefusal(rows);
    if (!kinds.isEmpty()) {
        PollixAlert::show(this, tr("Pollix"), kinds);
        return;
    }
    const bool ok = ReportSessionList::mayMerge(rows, [](const QString &path) {
        return TovQuizXmlDatabase().getQuizMessage(path);
    });
    if (!ok) {
        PollixAlert::show(this, tr("Pollix"), tr("Please select the same class, subject, test paper to merge ."));
        return;
    }
    hooks().mergeSessions(this);
    refreshAfterChange();
    selectArray1ByFilePath(rows.first().filePath());
}

void ReportController::doExport1()
{
    const QList<ReportTable1Element> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const ReportTable1Element &row = rows.first();
    const QString path = FileDialogs::getSaveFileNameOfType(this, tr("Export"), FileDialogs::Kind::Sessions, tr("XML (*.xml)"),
                                                            row.exportFileName());
    if (path.isEmpty())
        return;
    QString why;
    if (!TovQuizXmlDatabase().copyFileFrom(row.filePath(), path, &why)) {
        PollixLog(QStringLiteral("Failed to export %1 to %2: %3").arg(row.filePath(), path, why));
        PollixAlert::show(this, tr("Pollix"), tr("The session could not be exported."), {tr("OK")}, why);
        return;
    }
    PollixAlert::show(this, tr("Pollix"), tr("Exported successfully."), {tr("OK")}, PollixAlert::savedTo(path));
}

void ReportController::doImport1()
{
    const QString path = FileDialogs::getOpenFileName(this, tr("Import"), FileDialogs::Kind::Sessions, tr("XML (*.xml)"));
    if (path.isEmpty())
        return;
    // Checked whole before any window shows it.
    QString why;
    const std::optional<SessionImport::Checked> file = SessionImport::check(path, &why);
    if (!file) {
        PollixLog(QStringLiteral("Refused to import %1: %2").arg(path, why));
        PollixAlert::show(this, tr("Pollix"), tr("The file cannot be imported."), {tr("OK")}, why);
        return;
    }
    const auto &importer = file->pointsOnly ? hooks().importCourseGrade : hooks().importSession;
    if (!importer) {
        PollixAlert::show(this, tr("Pollix"), tr("Sessions of this kind cannot be imported in this version."));
        return;
    }
    importer(this, path);
    refreshAfterChange();
}

void ReportController::doDelete1()
{
    const QList<ReportTable1Element> rows = selectedRows();
    if (rows.isEmpty())
        return;
    if (PollixAlert::show(this, tr("Pollix"), tr("Do you want to delete the selected sessions?"), {tr("OK"), tr("Cancel")},
                          {}, PollixAlert::Default::LeavesAsIs)
        != PollixAlert::AlertFirstButtonReturn)
        return;
    QStringList kept;
    for (const ReportTable1Element &row : rows)
        if (!TovQuizXmlDatabase().deleteQuizWithName(row.filePath()))
            kept << row.session();
    m_bResettingMyself = true;
    refresh1();
    getEarliestDate();
    setPickersToRange();
    m_bResettingMyself = false;
    // Back to every activity: rebuilds the list when another one was chosen.
    cboActivityMode1->setCurrentIndex(0);
    if (table1Array().isEmpty()) {
        setFromDate1(dayText(today()));
        setToDate1(dayText(today()));
    }
    if (!kept.isEmpty())
        PollixAlert::show(this, tr("Pollix"), tr("These sessions could not be deleted:"), {tr("OK")}, kept.join(QLatin1Char('\n')));
}

bool ReportController::refuseUnreadable(const ReportTable1Element &row)
{
    if (row.unreadable().isEmpty())
        return false;
    PollixAlert::show(this, tr("Pollix"), tr("The session could not be read."), {tr("OK")},
                      QStringLiteral("%1: %2").arg(QFileInfo(row.filePath()).fileName(), row.unreadable()));
    return true;
}

void ReportController::doReport1()
{
    const QList<ReportTable1Element> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const ReportTable1Element &row = rows.first();
    if (refuseUnreadable(row))
        return;
    if (row.flag() != 1) {
        if (!hooks().pointsList)
            return;
        QString why;
        const std::optional<QuizEntity> quiz = DataManager::getQuizAtPath(row.filePath(), &why);
        if (!quiz) {
            PollixAlert::show(this, tr("Pollix"), tr("The session could not be read."), {tr("OK")}, why);
            return;
        }
        hooks().pointsList(this, *quiz);
        return;
    }
    CreateReportController chooser(row.actNo(), row.activityMode(), row.strID(), row.filePath(), this);
    if (!chooser.isLoaded()) {
        PollixAlert::show(this, tr("Pollix"), tr("The session could not be read."), {tr("OK")}, chooser.loadError());
        return;
    }
    DialogHooks::runModal(&chooser);
}
