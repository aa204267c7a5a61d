#include "ReportCourseGradeListTab.h"

#include "core/gradebook/GradebookBackupFile.h"
#include "core/store/TovGradeSessionsXmlDatabase.h"
#include "core/store/StoreTransaction.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PollixAlert.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kSelect = QStringLiteral("--Select--");
const QString kAll = QStringLiteral("All");

QTableWidget *checkTable(QWidget *parent, const char *name, const QStringList &headers)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setColumnWidth(0, 30);
    table->setColumnWidth(1, 160);
    table->setColumnWidth(2, 220);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QTableWidgetItem *checkItem(bool checked)
{
    auto *it = new QTableWidgetItem;
    it->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return it;
}
} // namespace

ReportCourseGradeListTab::Hooks &ReportCourseGradeListTab::hooks()
{
    static Hooks h;
    return h;
}

ReportCourseGradeListTab::ReportCourseGradeListTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tab3"));
    buildInterface();
    setListMode(true);
    refresh3();
    NotificationCenter::defaultCenter()->addObserver(this, Notify::UpdateGradingPeriod, [this](const auto &) {
        TovGradeSessionsXmlDatabase::sharedUI()->loadGradeSessionList();
        refresh3();
    });
}

ReportCourseGradeListTab::~ReportCourseGradeListTab()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void ReportCourseGradeListTab::buildInterface()
{
    const auto combo = [this](const char *name) {
        auto *box = new MyComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(false);
        box->setMinimumWidth(160);
        return box;
    };
    const auto button = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    cboGradingPeriod3 = combo("cboGradingPeriod3");
    cboGradingPeriod3->setMinimumWidth(280);
    cboClass3 = combo("cboClass3");
    cboTeacher3 = combo("cboTeacher3");
    tableSelectStudent3 = checkTable(this, "tableSelectStudent3", {QString(), tr("Student ID"), tr("Student Name")});
    tableSelectSubject3 =
        checkTable(this, "tableSelectSubject3", {QString(), tr("Subject"), tr("Class"), tr("Teacher")});
    btnSelectAll = new QCheckBox(tr("Select All"), this);
    btnSelectAll->setObjectName(QStringLiteral("btnSelectAll"));
    btnPreview3 = button("btnPreview3", tr("Preview"));
    btnSaveAs3 = button("btnSaveAs3", tr("Save As..."));
    btnDelete3 = button("btnDelete3", tr("Delete..."));
    btnExportDelete3 = button("btnExportDelete3", tr("Save As"));
    btnCancel3 = button("btnCancel3", tr("Cancel"));
    btnImport3 = button("btnImport3", tr("Import..."));
    // The width of the longer title: the button keeps its place when its title changes.
    btnExportDelete3->setMinimumWidth(std::max(btnExportDelete3->sizeHint().width(),
                                               QPushButton(tr("Delete")).sizeHint().width()));

    auto *filters = new QHBoxLayout;
    filters->addWidget(new QLabel(tr("Grading Period:"), this));
    filters->addWidget(cboGradingPeriod3, 2);
    filters->addWidget(new QLabel(tr("Class:"), this));
    filters->addWidget(cboClass3, 1);
    filters->addWidget(new QLabel(tr("Teacher:"), this));
    filters->addWidget(cboTeacher3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnSelectAll);
    buttons->addStretch();
    for (QPushButton *b : {btnExportDelete3, btnCancel3, btnSaveAs3, btnDelete3, btnImport3, btnPreview3})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(tableSelectStudent3, 1);
    layout->addWidget(tableSelectSubject3, 1);
    layout->addLayout(buttons);

    connect(btnPreview3, &QPushButton::clicked, this, &ReportCourseGradeListTab::doPreview3);
    connect(btnSaveAs3, &QPushButton::clicked, this, &ReportCourseGradeListTab::doExport3);
    connect(btnDelete3, &QPushButton::clicked, this, &ReportCourseGradeListTab::doDelete3);
    connect(btnExportDelete3, &QPushButton::clicked, this, &ReportCourseGradeListTab::doExportDelete3);
    connect(btnCancel3, &QPushButton::clicked, this, &ReportCourseGradeListTab::doCancel3);
    connect(btnImport3, &QPushButton::clicked, this, &ReportCourseGradeListTab::doImport3);
    connect(btnSelectAll, &QCheckBox::clicked, this, &ReportCourseGradeListTab::doSelectAll3);
    for (MyComboBox *box : {cboGradingPeriod3, cboClass3, cboTeacher3})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (m_resetting)
                return;
            refreshTable3();
            if (!m_listMode)
                subjectsOfPeriod();
        });
    connect(tableSelectStudent3, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *it) {
        if (!m_resetting && it->column() == 0)
            selectStudentArray[it->row()].setIsSelected(it->checkState() == Qt::Checked);
    });
    connect(tableSelectSubject3, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *it) {
        if (!m_resetting && it->column() == 0)
            selectSubjectArray[it->row()].setIsSelect(it->checkState() == Qt::Checked);
    });
}

int ReportCourseGradeListTab::alert(const QString &text, const QString &why, const QStringList &buttons,
                                    PollixAlert::Default byDefault)
{
    return PollixAlert::show(this, QStringLiteral("Pollix"), text, buttons.isEmpty() ? QStringList{tr("OK")} : buttons,
                             why, byDefault) -
           PollixAlert::AlertFirstButtonReturn;
}

void ReportCourseGradeListTab::setListMode(bool list)
{
    m_listMode = list;
    tableSelectStudent3->setVisible(list);
    tableSelectSubject3->setVisible(!list);
    for (QPushButton *b : {btnExportDelete3, btnCancel3}) {
        b->setVisible(!list);
        b->setEnabled(!list);
    }
    // While subjects are chosen, their Save As or Delete and Cancel are the only ways on.
    const bool anyPeriod = !TovGradeSessionsXmlDatabase::sharedUI()->periodList().isEmpty();
    for (QPushButton *b : {btnSaveAs3, btnDelete3, btnImport3}) {
        b->setVisible(list);
        b->setEnabled(list && (b == btnImport3 || anyPeriod));
    }
    cboClass3->setEnabled(list);
    cboTeacher3->setEnabled(list);
    btnSelectAll->setVisible(list);
}

void ReportCourseGradeListTab::refresh3()
{
    TovGradeSessionsXmlDatabase *store = TovGradeSessionsXmlDatabase::sharedUI();
    m_resetting = true;
    cboGradingPeriod3->clear();
    cboGradingPeriod3->addItem(kSelect);
    for (const PeriodEntity &p : store->periodList())
        cboGradingPeriod3->addItem(p.unique_title());
    cboClass3->clear();
    cboClass3->addItem(kAll);
    cboClass3->addItems(store->classList());
    cboTeacher3->clear();
    cboTeacher3->addItem(kAll);
    cboTeacher3->addItems(store->teacherList());
    for (MyComboBox *box : {cboGradingPeriod3, cboClass3, cboTeacher3}) {
        box->setCurrentIndex(0);
        box->setFit();
    }
    m_resetting = false;
    const bool anyPeriod = !store->periodList().isEmpty();
    btnSaveAs3->setEnabled(anyPeriod);
    btnDelete3->setEnabled(anyPeriod);
    // The report card comes with the gradebook reports.
    btnPreview3->setEnabled(bool(hooks().reportCard));
    refreshTable3();
}

void ReportCourseGradeListTab::refreshTable3()
{
    gradeNumArray = DataManager::getAllCourseGradeWherePeriod(cboGradingPeriod3->currentText(),
                                                              cboTeacher3->currentText(), cboClass3->currentText())
                        .value_or(QList<CourseGradeEntity>());
    selectStudentArray.clear();
    selectSubjectArray.clear();
    for (const CourseGradeEntity &g : gradeNumArray) {
        for (const CourseGradeDetail &d : g.allGradeDetails()) {
            SelectStudents row;
            row.setStudentID(d.studentID());
            row.setStudentName(d.studentName());
            selectStudentArray << row;
        }
        if (std::none_of(selectSubjectArray.begin(), selectSubjectArray.end(),
                         [&](const SelectSubject &s) { return s.subjectName() == g.subjectName(); })) {
            SelectSubject subject;
            subject.setSubjectName(g.subjectName());
            subject.setClassName(g.className());
            subject.setTeacherName(g.teacherName());
            selectSubjectArray << subject;
        }
    }
    btnSelectAll->setChecked(false);
    fillStudentTable();
    fillSubjectTable();
}

void ReportCourseGradeListTab::fillStudentTable()
{
    m_resetting = true;
    tableSelectStudent3->setRowCount(int(selectStudentArray.size()));
    for (int r = 0; r < selectStudentArray.size(); ++r) {
        const SelectStudents &s = selectStudentArray.at(r);
        tableSelectStudent3->setItem(r, 0, checkItem(s.isSelected()));
        tableSelectStudent3->setItem(r, 1, new QTableWidgetItem(s.studentID()));
        tableSelectStudent3->setItem(r, 2, new QTableWidgetItem(s.studentName()));
    }
    m_resetting = false;
}

void ReportCourseGradeListTab::fillSubjectTable()
{
    m_resetting = true;
    tableSelectSubject3->setRowCount(int(selectSubjectArray.size()));
    for (int r = 0; r < selectSubjectArray.size(); ++r) {
        const SelectSubject &s = selectSubjectArray.at(r);
        tableSelectSubject3->setItem(r, 0, checkItem(s.isSelect()));
        tableSelectSubject3->setItem(r, 1, new QTableWidgetItem(s.subjectName()));
        tableSelectSubject3->setItem(r, 2, new QTableWidgetItem(s.className()));
        tableSelectSubject3->setItem(r, 3, new QTableWidgetItem(s.teacherName()));
    }
    m_resetting = false;
}

void ReportCourseGradeListTab::subjectsOfPeriod()
{
    // Every course grade of the period, whatever its class and teacher.
    const QList<CourseGradeEntity> all =
        DataManager::getAllCourseGradeWherePeriod(cboGradingPeriod3->currentText(), kAll, kAll)
            .value_or(QList<CourseGradeEntity>());
    selectSubjectArray.clear();
    for (const CourseGradeEntity &g : all) {
        if (std::any_of(selectSubjectArray.begin(), selectSubjectArray.end(),
                        [&](const SelectSubject &s) { return s.subjectName() == g.subjectName(); }))
            continue;
        SelectSubject subject;
        subject.setSubjectName(g.subjectName());
        subject.setClassName(g.className());
        subject.setTeacherName(g.teacherName());
        selectSubjectArray << subject;
    }
    fillSubjectTable();
}

void ReportCourseGradeListTab::doSelectAll3()
{
    for (SelectStudents &s : selectStudentArray)
        s.setIsSelected(btnSelectAll->isChecked());
    fillStudentTable();
}

void ReportCourseGradeListTab::doPreview3()
{
    btnSelectAll->setVisible(true);
    if (!m_listMode) {
        doCancel3();
        return;
    }
    if (cboGradingPeriod3->currentIndex() <= 0) {
        alert(tr("Please select a Grading Period."));
        return;
    }
    if (std::none_of(selectStudentArray.begin(), selectStudentArray.end(),
                     [](const SelectStudents &s) { return s.isSelected(); })) {
        alert(tr("Please select a student record."));
        return;
    }
    if (hooks().reportCard)
        hooks().reportCard(this, gradeNumArray, selectStudentArray);
}

void ReportCourseGradeListTab::enterExportDeleteMode(const QString &title)
{
    btnExportDelete3->setText(title);
    setListMode(false);
    refreshTable3();
    subjectsOfPeriod();
}

void ReportCourseGradeListTab::doExport3()
{
    enterExportDeleteMode(tr("Save As"));
}

void ReportCourseGradeListTab::doDelete3()
{
    enterExportDeleteMode(tr("Delete"));
}

void ReportCourseGradeListTab::doCancel3()
{
    setListMode(true);
    btnSelectAll->setVisible(false);
}

void ReportCourseGradeListTab::backToList()
{
    setListMode(true);
    refresh3();
}

void ReportCourseGradeListTab::doExportDelete3()
{
    if (cboGradingPeriod3->currentIndex() <= 0) {
        alert(tr("Please select a Grading Period."));
        return;
    }
    QList<SelectSubject> chosen;
    for (const SelectSubject &s : selectSubjectArray)
        if (s.isSelect())
            chosen << s;
    if (chosen.isEmpty()) {
        alert(tr("Please select at least one Subject."));
        return;
    }
    if (btnExportDelete3->text() == tr("Delete")) {
        if (alert(tr("Do you want to delete the selected Subjects?"), {}, {tr("Yes"), tr("No")}, PollixAlert::Default::LeavesAsIs)
            != 0)
            return;
        TovGradeSessionsXmlDatabase *store = TovGradeSessionsXmlDatabase::sharedUI();
        const QString period = cboGradingPeriod3->currentText();
        QString why;
        // The course grades of every chosen subject go together, or none does.
        const bool deleted = StoreTransaction::runAsOne(
            [&](QString *failure) {
                for (const SelectSubject &s : chosen) {
                    // Only the course grades of the row's class and teacher go; a subject without
                    // any (false without a reason) is no failure.
                    if (!store->deleteStudentGradeByPeriod(period, s.subjectName(), s.className(), s.teacherName(), failure) &&
                        !failure->isEmpty())
                        return false;
                }
                return true;
            },
            &why, store);
        if (!deleted)
            alert(tr("The course grades could not be deleted."), why);
        backToList();
        return;
    }
    export3PanelDidEnd(FileDialogs::getSaveFileNameOfType(this, tr("Save As"), FileDialogs::Kind::Gradebooks,
                                                          tr("Gradebook backup (*.gbd)")));
}

void ReportCourseGradeListTab::export3PanelDidEnd(const QString &path)
{
    if (path.isEmpty())
        return;
    QStringList subjects;
    for (const SelectSubject &s : selectSubjectArray)
        if (s.isSelect())
            subjects << s.subjectName();
    QString why;
    const std::optional<GradebookBackupFile::Backup> backup =
        GradebookBackupFile::gatherForExport(cboGradingPeriod3->currentText(), subjects, &why);
    if (!backup || !GradebookBackupFile::write(path, *backup, &why)) {
        alert(tr("The gradebook backup could not be written."), why);
        return;
    }
    alert(tr("Exported successfully."), PollixAlert::savedTo(path));
    backToList();
}

void ReportCourseGradeListTab::doImport3()
{
    import3PanelDidEnd(FileDialogs::getOpenFileName(this, tr("Import"), FileDialogs::Kind::Gradebooks, tr("Gradebook backup (*.gbd)")));
}

void ReportCourseGradeListTab::import3PanelDidEnd(const QString &path)
{
    if (path.isEmpty())
        return;
    GradebookBackupFile::ReadError error = GradebookBackupFile::ReadError::None;
    QString why;
    const std::optional<GradebookBackupFile::Backup> backup = GradebookBackupFile::read(path, &error, &why);
    if (!backup) {
        if (error == GradebookBackupFile::ReadError::NotABackup)
            alert(tr("Please choose the correct file"));
        else
            alert(tr("The file cannot be read."), why);
        return;
    }
    const GradebookBackupFile::StoreResult result = GradebookBackupFile::storeBackup(
        *backup,
        [this](const CourseGradeEntity &) {
            // Escape and the close box end the import as No does: nothing of it is lost.
            return PollixAlert::askToSave(this, QStringLiteral("Pollix"), tr("Do you want to save the changes to contents?"),
                                          {tr("Yes"), tr("No")})
                   == PollixAlert::SaveAnswer::Save;
        },
        &why);
    if (periodsChanged)
        periodsChanged();
    if (result == GradebookBackupFile::StoreResult::Failed)
        alert(tr("The course grades could not be saved."), why);
    else if (result == GradebookBackupFile::StoreResult::Done)
        alert(tr("Import was successful."));
    backToList();
}
