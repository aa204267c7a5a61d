#include "ReportCourseGradeTab.h"

#include "SessionSelectController.h"
#include "SubjectGradeSettingController.h"

#include "core/gradebook/SessionSelection.h"
#include "core/roster/RosterRecords.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "ui/controls/ColumnFit.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PollixAlert.h"
#include "ui/reports/ReportController.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kSelect = QStringLiteral("--Select--");

QTableWidget *recordTable(QWidget *parent, const char *name)
{
    auto *table = new QTableWidget(0, 4, parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels({QObject::tr("Title"), QObject::tr("Class"), QObject::tr("Subject"),
                                      QObject::tr("Teacher")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    // Names all: they share the list's width, also in the half of a small screen's window.
    new ColumnFit(table, {180, 90, 110, 110});
    return table;
}
} // namespace

ReportCourseGradeTab::ReportCourseGradeTab(ReportController *report, QWidget *parent) : QWidget(parent), m_report(report)
{
    setObjectName(QStringLiteral("tab2"));
    buildInterface();
    m_resetting = true;
    fillNames(cboClass2, RosterRecords::classNames());
    fillNames(cboSubject2, RosterRecords::subjectNames());
    fillNames(cboTeacher2, RosterRecords::teacherNames());
    dateFrom2->setDate(QDate::currentDate());
    dateTo2->setDate(QDate::currentDate());
    m_from2Date = m_to2Date = QDate::currentDate();
    m_resetting = false;
    refreshPeriod2();
    refreshWeight2();
    refreshConversion2();
    btnCreate2->setEnabled(false);
}

ReportCourseGradeTab::~ReportCourseGradeTab() = default;

void ReportCourseGradeTab::buildInterface()
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
    cboGradingPeriod2 = combo("cboGradingPeriod2");
    cboClass2 = combo("cboClass2");
    cboSubject2 = combo("cboSubject2");
    cboTeacher2 = combo("cboTeacher2");
    textSubjectGrade2 = new QLineEdit(this);
    textSubjectGrade2->setObjectName(QStringLiteral("textSubjectGrade2"));
    textSubjectGrade2->setMaxLength(35);
    dateFrom2 = new QDateEdit(this);
    dateFrom2->setObjectName(QStringLiteral("dateFrom2"));
    dateTo2 = new QDateEdit(this);
    dateTo2->setObjectName(QStringLiteral("dateTo2"));
    for (QDateEdit *d : {dateFrom2, dateTo2}) {
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setCalendarPopup(true);
    }
    weightListTable2 = recordTable(this, "weightListTable2");
    conversionListTable2 = recordTable(this, "conversionListTable2");
    btnCreate2 = button("btnCreate2", tr("Create"));
    btnNew2 = button("btnNew2", tr("New Points Session..."));
    btnPeriod2 = button("btnPeriod2", tr("Grading Periods..."));
    btnWeight2 = button("btnWeight2", tr("Weights..."));
    btnLetterGrade2 = button("btnLetterGrade2", tr("Letter Grades..."));
    btnSessionType2 = button("btnSessionType2", tr("Session Types..."));
    // Creating points-only sessions belongs to the session list's manual entry.
    btnNew2->setEnabled(m_report && m_report->btnNew1 && m_report->isBuilt(m_report->btnNew1));

    auto *choices = new QGridLayout;
    const QList<std::pair<QString, QWidget *>> cells{
        {tr("Class:"), cboClass2},     {tr("Subject:"), cboSubject2}, {tr("Teacher:"), cboTeacher2},
        {tr("Grading Period:"), cboGradingPeriod2}, {tr("From:"), dateFrom2}, {tr("To:"), dateTo2}};
    for (int i = 0; i < cells.size(); ++i) {
        choices->addWidget(new QLabel(cells.at(i).first, this), i / 3, (i % 3) * 2, Qt::AlignRight);
        choices->addWidget(cells.at(i).second, i / 3, (i % 3) * 2 + 1);
    }
    choices->addWidget(new QLabel(tr("Course Grade:"), this), 2, 0, Qt::AlignRight);
    choices->addWidget(textSubjectGrade2, 2, 1, 1, 3);
    for (int c : {1, 3, 5})
        choices->setColumnStretch(c, 1);

    const auto group = [this](const QString &title, QTableWidget *table, QPushButton *settings) {
        auto *box = new QGroupBox(title, this);
        auto *l = new QVBoxLayout(box);
        l->addWidget(table, 1);
        auto *row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(settings);
        l->addLayout(row);
        return box;
    };
    auto *lists = new QHBoxLayout;
    lists->addWidget(group(tr("Weight Set"), weightListTable2, btnWeight2), 1);
    lists->addWidget(group(tr("Letter Grade"), conversionListTable2, btnLetterGrade2), 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnPeriod2);
    buttons->addWidget(btnSessionType2);
    buttons->addWidget(btnNew2);
    buttons->addStretch();
    buttons->addWidget(btnCreate2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);

    connect(btnCreate2, &QPushButton::clicked, this, &ReportCourseGradeTab::doCreate2);
    connect(btnNew2, &QPushButton::clicked, this, &ReportCourseGradeTab::doNew2);
    connect(btnPeriod2, &QPushButton::clicked, this, &ReportCourseGradeTab::doPeriod2);
    connect(btnWeight2, &QPushButton::clicked, this, &ReportCourseGradeTab::doWeight2);
    connect(btnLetterGrade2, &QPushButton::clicked, this, &ReportCourseGradeTab::doLetterGrade2);
    connect(btnSessionType2, &QPushButton::clicked, this, &ReportCourseGradeTab::doSessionType2);
    connect(cboGradingPeriod2, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_resetting)
            periodChosen();
    });
    for (MyComboBox *box : {cboClass2, cboSubject2, cboTeacher2})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_resetting)
                btnCreate2->setEnabled(true);
        });
    for (QDateEdit *d : {dateFrom2, dateTo2})
        connect(d, &QDateEdit::dateChanged, this, [this] {
            if (!m_resetting)
                doDateChange2();
        });
    connect(textSubjectGrade2, &QLineEdit::textEdited, this, [this] { btnCreate2->setEnabled(true); });
    for (QTableWidget *t : {weightListTable2, conversionListTable2})
        connect(t, &QTableWidget::itemSelectionChanged, this, [this] {
            if (!m_resetting)
                btnCreate2->setEnabled(true);
        });
}

void ReportCourseGradeTab::fillNames(MyComboBox *box, const QStringList &names)
{
    box->clear();
    box->addItem(kSelect);
    box->addItems(names);
    box->setCurrentIndex(0);
    box->setFit();
}

void ReportCourseGradeTab::fillRecordTable(QTableWidget *table, const QList<QStringList> &rows)
{
    const bool was = m_resetting;
    m_resetting = true;
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 4; ++c)
            table->setItem(r, c, new QTableWidgetItem(rows.at(r).value(c)));
    m_resetting = was;
}

int ReportCourseGradeTab::firstSelectedRow(QTableWidget *table) const
{
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ReportCourseGradeTab::refreshPeriod2()
{
    const bool was = m_resetting;
    m_resetting = true;
    periodArray = SessionSelection::periods(TovPeriodXmlDatabase::sharedUI()->periodList());
    QStringList titles;
    for (const GradePeriod &p : periodArray)
        titles << p.periodTitle();
    fillNames(cboGradingPeriod2, titles);
    m_resetting = was;
}

void ReportCourseGradeTab::refreshWeight2()
{
    weightListArray.clear();
    QList<QStringList> rows;
    for (const WeightEntity &w : TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightList()) {
        WeightList row;
        row.setWeightNum(w.no());
        row.setWeightTitle(w.title());
        row.setClassName(w.className());
        row.setSubjectName(w.subjectName());
        row.setTeacherName(w.teacherName());
        row.setClassNum(TovClassXmlDatabase::sharedClassUI()->classNoByName(w.className()));
        row.setSubjectNum(TovSubjectXmlDatabase::sharedSubjectUI()->subjectNoByName(w.subjectName()));
        row.setTeacherNum(TovTeacherXmlDatabase::sharedUI()->teacherNoByName(w.teacherName()));
        row.setSessionTypesInWeight(w.sessionTypesInWeight());
        weightListArray << row;
        rows << QStringList{w.title(), w.className(), w.subjectName(), w.teacherName()};
    }
    fillRecordTable(weightListTable2, rows);
}

void ReportCourseGradeTab::refreshConversion2()
{
    conversionListArray.clear();
    QList<QStringList> rows;
    for (const LetterGradeEntity &s : TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList()) {
        ConversionList row;
        row.setConversionNum(s.no());
        row.setConversionTitle(s.title());
        row.setClassName(s.className());
        row.setSubjectName(s.subjectName());
        row.setTeacherName(s.teacherName());
        row.setConversionListArr(s.letterList());
        conversionListArray << row;
        rows << QStringList{s.title(), s.className(), s.subjectName(), s.teacherName()};
    }
    fillRecordTable(conversionListTable2, rows);
}

void ReportCourseGradeTab::refreshSessionTypes()
{
    if (!m_report || !m_report->cboType1)
        return;
    m_report->setBResettingMyself(true);
    MyComboBox *box = m_report->cboType1;
    box->clear();
    box->addItem(GlobalFunctions::allText());
    for (const SessionTypeEntity &t : TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeList())
        box->addItem(t.name());
    box->setCurrentIndex(0);
    box->setFit();
    m_report->setBResettingMyself(false);
}

void ReportCourseGradeTab::periodChosen()
{
    btnCreate2->setEnabled(true);
    const int item = cboGradingPeriod2->currentIndex();
    if (item <= 0 || item > periodArray.size())
        return;
    const std::optional<PeriodEntity> period = TovPeriodXmlDatabase::sharedUI()->periodByNo(periodArray.at(item - 1).periodNum());
    if (!period)
        return;
    m_resetting = true;
    dateFrom2->setDate(QDate::fromString(period->dateFrom(), QStringLiteral("yyyy-MM-dd")));
    dateTo2->setDate(QDate::fromString(period->dateTo(), QStringLiteral("yyyy-MM-dd")));
    m_from2Date = dateFrom2->date();
    m_to2Date = dateTo2->date();
    m_resetting = false;
}

void ReportCourseGradeTab::doDateChange2()
{
    if (dateFrom2->date() > dateTo2->date()) {
        m_resetting = true;
        dateFrom2->setDate(m_from2Date);
        dateTo2->setDate(m_to2Date);
        m_resetting = false;
        return;
    }
    m_from2Date = dateFrom2->date();
    m_to2Date = dateTo2->date();
    // A range set by hand is no longer the chosen period.
    refreshPeriod2();
}

void ReportCourseGradeTab::doCreate2()
{
    const auto refuse = [this](const QString &text) { PollixAlert::show(this, QStringLiteral("Pollix"), text); };
    const int weightRow = firstSelectedRow(weightListTable2);
    const int scaleRow = firstSelectedRow(conversionListTable2);
    if (cboClass2->currentIndex() <= 0)
        return refuse(tr("Class is required."));
    if (cboSubject2->currentIndex() <= 0)
        return refuse(tr("Subject is required."));
    if (cboTeacher2->currentIndex() <= 0)
        return refuse(tr("Teacher is required."));
    if (cboGradingPeriod2->currentIndex() <= 0)
        return refuse(tr("Grading Period is required."));
    if (weightRow < 0)
        return refuse(tr("Weight Set is required."));
    if (scaleRow < 0)
        return refuse(tr("Letter Grade is required."));
    if (textSubjectGrade2->text().isEmpty())
        return refuse(tr("Course Grade is required."));

    const std::optional<PeriodEntity> period =
        TovPeriodXmlDatabase::sharedUI()->periodByNo(periodArray.value(cboGradingPeriod2->currentIndex() - 1).periodNum());
    const int classNo = TovClassXmlDatabase::sharedClassUI()->classNoByName(cboClass2->currentText());
    const std::optional<SubjectEntity> subject = TovSubjectXmlDatabase::sharedSubjectUI()->subjectByNo(
        TovSubjectXmlDatabase::sharedSubjectUI()->subjectNoByName(cboSubject2->currentText()));
    const std::optional<WeightEntity> weight =
        TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightByNo(weightListArray.value(weightRow).weightNum());
    const int teacherNo = TovTeacherXmlDatabase::sharedUI()->teacherNoByName(cboTeacher2->currentText());
    const std::optional<LetterGradeEntity> scale =
        TovGradeLetterXmlDatabase::sharedUI()->letterGradeByNo(conversionListArray.value(scaleRow).conversionNum());
    // The lists were built from the stores; one that changed meanwhile is read again.
    if (!period || !subject || !weight || !scale) {
        refreshPeriod2();
        refreshWeight2();
        refreshConversion2();
        return refuse(tr("The gradebook settings have changed. Please choose again."));
    }
    SessionSelectController selection(*weight, *scale, *period, classNo, *subject, teacherNo, window());
    DialogHooks::runModal(&selection);
}

void ReportCourseGradeTab::doNew2()
{
    if (m_report)
        m_report->doNewPointsSession();
}

void ReportCourseGradeTab::openSettings(int tab)
{
    SubjectGradeSettingController settings(tab, this, window());
    DialogHooks::runModal(&settings);
}

void ReportCourseGradeTab::doPeriod2()
{
    openSettings(0);
}

void ReportCourseGradeTab::doWeight2()
{
    openSettings(1);
}

void ReportCourseGradeTab::doLetterGrade2()
{
    openSettings(2);
}

void ReportCourseGradeTab::doSessionType2()
{
    openSettings(3);
}
