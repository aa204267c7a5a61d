#include "ImportCourseGradeController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/CommonFunc.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "ui/controls/PollixAlert.h"
#include "ui/reports/ReportController.h"

#include <QDate>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kPollix = QStringLiteral("Pollix");

bool sameHeader(const TovSessionXmlParsedResult &a, const TovSessionXmlParsedResult &b)
{
    return a.Mode() == b.Mode() && a.ClassName() == b.ClassName() && a.Name() == b.Name() &&
           a.Subject() == b.Subject() && a.TeacherName() == b.TeacherName() && a.Title() == b.Title() &&
           a.Type() == b.Type();
}
} // namespace

ImportCourseGradeController::ImportCourseGradeController(const QString &filePath, ReportController *parent,
                                                         QWidget *parentWidget)
    : QDialog(parentWidget), m_openFilePath(filePath), m_parentController(parent)
{
    setObjectName(QStringLiteral("ImportCourseGrade"));
    setWindowTitle(tr("Import Course Grade Session"));
    const auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    sessionName = label("sessionName");
    type = label("type");
    className = label("className");
    subjectName = label("subjectName");
    teacherName = label("teacherName");
    date = label("date");
    tableView = new QTableWidget(0, 3, this);
    tableView->setObjectName(QStringLiteral("tableView"));
    tableView->setHorizontalHeaderLabels({tr("Student ID"), tr("Student Name"), tr("Points")});
    tableView->verticalHeader()->hide();
    tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView->setColumnWidth(0, 120);
    tableView->setColumnWidth(1, 240);
    tableView->horizontalHeader()->setStretchLastSection(true);
    btnImport = new QPushButton(tr("Import"), this);
    btnImport->setObjectName(QStringLiteral("btnImport"));
    btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto *form = new QFormLayout;
    form->addRow(tr("Session:"), sessionName);
    form->addRow(tr("Session Type:"), type);
    form->addRow(tr("Class:"), className);
    form->addRow(tr("Subject:"), subjectName);
    form->addRow(tr("Teacher:"), teacherName);
    form->addRow(tr("Date:"), date);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnImport);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(tableView, 1);
    layout->addLayout(buttons);
    resize(520, 560);

    connect(btnImport, &QPushButton::clicked, this, &ImportCourseGradeController::doImport);
    connect(btnClose, &QPushButton::clicked, this, &ImportCourseGradeController::doClose);
    awakeFromNib();
}

ImportCourseGradeController::~ImportCourseGradeController() = default;

void ImportCourseGradeController::awakeFromNib()
{
    const std::optional<QuizEntity> quiz = TovQuizXmlDatabase().getQuizInfoAll(m_openFilePath);
    m_readable = bool(quiz);
    btnImport->setEnabled(m_readable);
    if (!quiz) {
        PollixAlert::show(this, kPollix, tr("The file cannot be read."), {tr("OK")}, m_openFilePath);
        return;
    }
    sessionName->setText(quiz->name());
    type->setText(quiz->sessionType());
    className->setText(quiz->className());
    subjectName->setText(quiz->subject());
    teacherName->setText(quiz->teacherName());
    date->setText(quiz->dateText().left(10));
    for (const StudentEntity &s : quiz->allStudents()) {
        StudentIdNameAnswer row;
        row.setStudentID(s.id());
        row.setStudentName(mergeFirstLastString(s.firstName(), s.lastName()));
        row.setTotalPoint(GlobalFunctions::intValue(s.totalMark()));
        m_rows << row;
    }
    tableView->setRowCount(int(m_rows.size()));
    for (int r = 0; r < m_rows.size(); ++r) {
        tableView->setItem(r, 0, new QTableWidgetItem(m_rows.at(r).studentID()));
        tableView->setItem(r, 1, new QTableWidgetItem(m_rows.at(r).studentName()));
        auto *points = new QTableWidgetItem(QString::number(m_rows.at(r).totalPoint()));
        points->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        tableView->setItem(r, 2, points);
    }
}

void ImportCourseGradeController::doImport()
{
    if (!m_readable)
        return;
    TovSessionXmlParsedResult header;
    if (!header.parseXMLFile(m_openFilePath)) {
        PollixAlert::show(this, kPollix, tr("The file cannot be read."), {tr("OK")}, m_openFilePath);
        return;
    }
    TovFastQuizXmlDatabase *index = TovFastQuizXmlDatabase::sharedFastQuiz();
    for (const TovSessionXmlParsedResult &listed : index->allSessionXmlParsedResults()) {
        if (sameHeader(listed, header)) {
            PollixAlert::show(this, kPollix, tr("The session already exists."));
            return;
        }
    }
    // A name no file of the folder has: another session's file is never replaced.
    const QString folder = Orvenda_AppDelegate::getAppDelegate()->strCourseGradeFilePath();
    QString why;
    const QString target = GlobalFunctions::freeFilePath(
        folder, GlobalFunctions::safeFileName(QFileInfo(m_openFilePath).completeBaseName()), QStringLiteral(".xml"), &why);
    if (target.isEmpty() || !TovQuizXmlDatabase().copyFileFrom(m_openFilePath, target, &why)) {
        PollixAlert::show(this, kPollix, tr("The session could not be imported."), {tr("OK")}, why);
        return;
    }
    header.setFlag(2);
    header.setFilePath(target);
    index->addQSessionResult(header);
    widenOpenerRange();
    PollixAlert::show(this, kPollix, tr("Import was successful."));
    doClose();
}

void ImportCourseGradeController::widenOpenerRange()
{
    if (!m_parentController)
        return;
    const QString day = date->text();
    const QDate d = QDate::fromString(day, QStringLiteral("yyyy-MM-dd"));
    const QDate earliest = QDate::fromString(m_parentController->earliestDate(), QStringLiteral("yyyy-MM-dd"));
    const QDate latest = QDate::fromString(m_parentController->lastestDate(), QStringLiteral("yyyy-MM-dd"));
    if (d.isValid()) {
        if (!earliest.isValid() || earliest > d) {
            m_parentController->setEarliestDate(day);
            m_parentController->setFromDate1(day);
        }
        if (!latest.isValid() || d > latest) {
            m_parentController->setLastestDate(day);
            m_parentController->setToDate1(day);
        }
        if (m_parentController->table1Array().isEmpty()) {
            m_parentController->setFromDate1(day);
            m_parentController->setToDate1(day);
            m_parentController->setEarliestDate(day);
            m_parentController->setLastestDate(day);
        }
    }
    m_parentController->refresh1();
}

void ImportCourseGradeController::doClose()
{
    done(0);
}
