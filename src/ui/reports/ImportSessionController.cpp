#include "ImportSessionController.h"

#include "ReportController.h"
#include "SessionFormParts.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/CommonFunc.h"
#include "core/engine/AnswerScoring.h"
#include "core/engine/StoredAnswers.h"
#include "core/reports/SessionImport.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovSessionXmlParsedResult.h"
#include "platform/Log.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QTableWidget *table(QWidget *parent, const char *name, const QStringList &headers)
{
    QTableWidget *t = SessionFormParts::table(parent, name, headers);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return t;
}

void setCell(QTableWidget *t, int row, int column, const QString &text)
{
    t->setItem(row, column, new QTableWidgetItem(text));
}
} // namespace

ImportSessionController::ImportSessionController(const QString &filePath, ReportController *parent)
    : QDialog(parent), m_openFilePath(filePath), m_parent(parent)
{
    setObjectName(QStringLiteral("ImportSession"));
    buildInterface();
    const std::optional<SessionImport::Checked> file = SessionImport::check(filePath, &m_loadError);
    m_loaded = file && !file->pointsOnly;
    if (file && file->pointsOnly)
        m_loadError = tr("This is a points-only session file; the gradebook imports it.");
    if (m_loaded) {
        m_quiz = file->quiz;
        awakeFromNib();
    }
}

void ImportSessionController::buildInterface()
{
    setWindowTitle(tr("Import Session"));
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabView"));
    for (int g = 0; g < 2; ++g) {
        auto *page = new QWidget;
        auto *grid = new QGridLayout;
        const auto field = [page, grid](QLineEdit **slot, const char *name, int group, const QString &caption, int row,
                                        int column) {
            auto *f = new QLineEdit(page);
            f->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(name)).arg(group + 1));
            f->setReadOnly(true);
            SessionFormParts::place(grid, page, row, column, caption, f);
            *slot = f;
        };
        field(&sessionName[g], "sessionName", g, tr("Session:"), 0, 0);
        field(&type[g], "type", g, tr("Type:"), 0, 1);
        field(&date[g], "date", g, tr("Date:"), 0, 2);
        field(&className[g], "className", g, tr("Class:"), 1, 0);
        field(&subjectName[g], "subjectName", g, tr("Subject:"), 1, 1);
        field(&teacherName[g], "teacherName", g, tr("Teacher:"), 1, 2);
        field(&totalQuestions[g], "totalQuestions", g, tr("Total Questions:"), 2, 0);
        for (int c = 1; c < 6; c += 2)
            grid->setColumnStretch(c, 1);
        auto *title = new QPlainTextEdit(page);
        title->setObjectName(QStringLiteral("questionTitleAndDifficultLevel%1").arg(g + 1));
        title->setReadOnly(true);
        title->setMaximumHeight(64);
        auto *tables = new QHBoxLayout;
        if (g == 0) {
            studentPointTableView = table(page, "studentPointTableView", {tr("Student -- Points")});
            questionTableView = table(page, "questionTableView", {tr("No."), tr("Points"), tr("Correct Answer"), tr("Answer")});
            questionTableView->setColumnWidth(0, 50);
            questionTableView->setColumnWidth(2, 140);
            tables->addWidget(studentPointTableView, 2);
            tables->addWidget(questionTableView, 3);
            questionTitleAndDifficultLevel1 = title;
        } else {
            questionPointsStandardTableView = table(page, "questionPointsStandardTableView", {tr("Question")});
            studentTableView = table(page, "studentTableView", {tr("Student Name"), tr("Answer"), tr("Points")});
            studentTableView->setColumnWidth(0, 200);
            tables->addWidget(questionPointsStandardTableView, 2);
            tables->addWidget(studentTableView, 3);
            questionTitleAndDifficultLevel2 = title;
        }
        auto *layout = new QVBoxLayout(page);
        layout->addLayout(grid);
        layout->addLayout(tables, 1);
        layout->addWidget(title);
        tabs->addTab(page, g == 0 ? tr("By Student") : tr("By Question"));
    }
    btnImport = new QPushButton(tr("Import"), this);
    btnImport->setObjectName(QStringLiteral("btnImport"));
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton *b : {btnImport, btnCancel})
        b->setAutoDefault(false);
    connect(btnImport, &QPushButton::clicked, this, &ImportSessionController::doImport);
    connect(btnCancel, &QPushButton::clicked, this, &ImportSessionController::doCancle);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnImport);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);
    resize(900, 640);
}

void ImportSessionController::awakeFromNib()
{
    m_actModeNo = DataManager::getActModeNoByName(m_quiz.actionType());
    const QString day = m_quiz.startTime().left(10);
    for (int g = 0; g < 2; ++g) {
        sessionName[g]->setText(m_quiz.name());
        type[g]->setText(m_quiz.sessionType());
        totalQuestions[g]->setText(QString::number(m_quiz.allQuestions().size()));
        className[g]->setText(m_quiz.className());
        teacherName[g]->setText(m_quiz.teacherName());
        subjectName[g]->setText(m_quiz.subject());
        date[g]->setText(day);
    }
    questionPointsStandardTableView->setRowCount(int(m_quiz.allQuestions().size()));
    for (int i = 0; i < m_quiz.allQuestions().size(); ++i) {
        const QuestionEntity &q = m_quiz.allQuestions().at(i);
        setCell(questionPointsStandardTableView, i, 0,
                QStringLiteral("Question %1 -- %2 -- Answer -- %3").arg(i + 1).arg(q.mark()).arg(q.rightAns()));
    }
    const StoredAnswers stored(m_quiz);
    for (const StudentEntity &s : m_quiz.allStudents()) {
        StudentPoint student;
        student.studentID = s.id();
        student.studentName = mergeFirstLastString(s.firstName(), s.lastName());
        for (const ResponseDataEntity *a : stored.answersOf(s.id()))
            student.answers.append(a ? a->response() : QString());
        // Every point stored for the student, as the reports' stored total counts them.
        student.totalPoints = int(AnswerScoring::storedTotal(m_quiz, s.id()));
        m_students.append(student);
    }
    studentPointTableView->setRowCount(int(m_students.size()));
    for (int i = 0; i < m_students.size(); ++i)
        setCell(studentPointTableView, i, 0,
                QStringLiteral("%1 -- %2").arg(m_students.at(i).studentName).arg(m_students.at(i).totalPoints));
    connect(studentPointTableView, &QTableWidget::itemSelectionChanged, this, &ImportSessionController::reloadQuestionTable);
    connect(questionTableView, &QTableWidget::itemSelectionChanged, this, [this] {
        const int r = questionTableView->currentRow();
        questionTitleAndDifficultLevel1->setPlainText(r >= 0 ? m_quiz.allQuestions().value(r).title() : QString());
    });
    connect(questionPointsStandardTableView, &QTableWidget::itemSelectionChanged, this, [this] {
        const int r = questionPointsStandardTableView->currentRow();
        questionTitleAndDifficultLevel2->setPlainText(r >= 0 ? m_quiz.allQuestions().value(r).title() : QString());
        reloadStudentTable();
    });
    reloadQuestionTable();
    reloadStudentTable();
    for (QTableWidget *t : {studentPointTableView, questionTableView, questionPointsStandardTableView, studentTableView})
        if (t->rowCount() > 0)
            t->selectRow(0);
}

void ImportSessionController::reloadQuestionTable()
{
    const QList<QTableWidgetItem *> chosen = studentPointTableView->selectedItems();
    const StudentPoint *student = chosen.isEmpty() ? nullptr : &m_students.at(chosen.first()->row());
    const QSignalBlocker block(questionTableView);
    questionTableView->setRowCount(int(m_quiz.allQuestions().size()));
    for (int i = 0; i < m_quiz.allQuestions().size(); ++i) {
        const QuestionEntity &q = m_quiz.allQuestions().at(i);
        setCell(questionTableView, i, 0, QString::number(i + 1));
        setCell(questionTableView, i, 1, QString::number(q.mark()));
        setCell(questionTableView, i, 2, q.rightAns());
        setCell(questionTableView, i, 3, student ? student->answers.value(i) : q.rightAns());
    }
}

void ImportSessionController::reloadStudentTable()
{
    const int r = questionPointsStandardTableView->currentRow();
    const QuestionEntity *q = r >= 0 && r < m_quiz.allQuestions().size() ? &m_quiz.allQuestions().at(r) : nullptr;
    studentTableView->setRowCount(int(m_students.size()));
    for (int i = 0; i < m_students.size(); ++i) {
        const StudentPoint &s = m_students.at(i);
        setCell(studentTableView, i, 0, s.studentName);
        if (!q) {
            setCell(studentTableView, i, 1, QStringLiteral("NULL"));
            setCell(studentTableView, i, 2, QStringLiteral("0"));
            continue;
        }
        const QString answer = s.answers.value(r);
        setCell(studentTableView, i, 1, answer);
        setCell(studentTableView, i, 2, SessionImport::previewPoints(m_quiz.actionType(), *q, answer));
    }
}

bool ImportSessionController::doImport()
{
    TovSessionXmlParsedResult header;
    header.parseXMLFile(m_openFilePath);
    if (SessionImport::isDuplicate(header, TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults())) {
        SessionFormParts::alert(this, tr("The session already exists."));
        return false;
    }
    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    QString error;
    if (!app || !SessionImport::importFile(m_openFilePath, app->strQuizXmlDataFilePath(), GlobalFunctions::currentTimeDesp(),
                                           &m_importedPath, &error)) {
        PollixLog(QStringLiteral("Failed to import %1: %2").arg(m_openFilePath, error));
        SessionFormParts::alert(this, tr("The session could not be imported."), {}, error);
        return false;
    }
    const QString day = m_quiz.startTime().left(10);
    if (m_parent) {
        if (day.size() == 10)
            m_parent->widenDateRange(day);
        m_parent->refresh1();
    }
    SessionFormParts::alert(this, tr("Import was successful."));
    doCancle();
    return true;
}

void ImportSessionController::doCancle()
{
    done(0);
}
