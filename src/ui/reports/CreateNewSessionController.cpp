#include "CreateNewSessionController.h"

#include "CreateNewSessionPointsForm.h"
#include "ReportController.h"
#include "SessionFormParts.h"

#include "core/base/CommonFunc.h"
#include "core/app/Orvenda_AppDelegate.h"
#include "core/gradebook/GradebookSettingRules.h"
#include "core/reports/AnswerTextRules.h"
#include "core/reports/ManualSession.h"
#include "core/reports/StudentIdOrder.h"
#include "core/roster/RosterRecords.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/Log.h"
#include "ui/authoring/StandardController.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/FieldLeave.h"
#include "ui/controls/LimitedCellDelegate.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PMResolutionFormatter.h"
#include "ui/controls/ScreenFit.h"
#include "ui/controls/TabSwitchGate.h"

#include <QApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
using Kind = AnswerTextRules::Kind;

constexpr int kDefaultPoint = 10;
constexpr int kDefaultNumOfOptions = 2; // the position of "4" in the option counts
constexpr int kDefaultDifficultyLevel = 0;
constexpr int kMaxQuestionText = 230;
constexpr int kAnswerColumn = 2;
constexpr int kQuestionCounts = 100;
} // namespace

CreateNewSessionController::CreateNewSessionController(ReportController *parent, std::optional<int> deviceType)
    : QDialog(parent), m_parent(parent)
{
    setObjectName(QStringLiteral("CreateNewSession"));
    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    m_deviceType = deviceType.value_or(app ? app->currentDeviceType() : -1);
    buildInterface();
    awakeFromNib();
}

CreateNewSessionController::~CreateNewSessionController() = default;

// ---- Interface ----

void CreateNewSessionController::buildInterface()
{
    setWindowTitle(tr("New Session"));
    tabForms = new QTabWidget(this);
    tabForms->setObjectName(QStringLiteral("tabForms"));
    tabForms->addTab(buildFullForm(), tr("Questions and Answers"));
    m_points = new CreateNewSessionPointsForm(this);
    tabForms->addTab(m_points->buildPointsForm(), tr("Points Only"));
    // Showing the points form leaves the name field being typed in: its check holds the switch.
    new TabSwitchGate(tabForms, [this](int) {
        return tabForms->currentIndex() != 0 || !textSession->hasFocus() || sessionNameMayBeLeft();
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabForms);
    ScreenFit::resize(this, 980, 720);
}

QWidget *CreateNewSessionController::buildFullForm()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("fullForm"));
    textSession = SessionFormParts::lineEdit(page, "textSession");
    textSession->setMaxLength(100);
    textTestTitle = SessionFormParts::lineEdit(page, "textTestTitle");
    textTestTitle->setMaxLength(100);
    cboType = SessionFormParts::comboBox(page, "cboType");
    cboClass = SessionFormParts::comboBox(page, "cboClass");
    cboSubject = SessionFormParts::comboBox(page, "cboSubject");
    cboTeacher = SessionFormParts::comboBox(page, "cboTeacher");
    dateActDate = SessionFormParts::datePicker(page, "dateActDate");
    cboTotalQuestion = SessionFormParts::comboBox(page, "cboTotalQuestion");
    cboQuestion = SessionFormParts::comboBox(page, "cboQuestion");
    cboQuestionMode = SessionFormParts::comboBox(page, "cboQuestionMode");
    cboQuestionMode->setMinimumContentsLength(14);
    cboNumOfOptions = SessionFormParts::comboBox(page, "cboNumOfOptions");
    cboDifficultyLevel = SessionFormParts::comboBox(page, "cboDifficultyLevel");
    textCorrectAnswer = SessionFormParts::lineEdit(page, "textCorrectAnswer");
    textPoint = SessionFormParts::lineEdit(page, "textPoint");
    textQuestion = new QPlainTextEdit(page);
    textQuestion->setObjectName(QStringLiteral("textQuestion"));
    textStandard = new QPlainTextEdit(page);
    textStandard->setObjectName(QStringLiteral("textStandard"));
    textStandard->setMaximumHeight(48);
    textQuestion->setMaximumHeight(72);
    btnStandard = SessionFormParts::button(page, "btnStandard", tr("Standard..."));
    textTotalStudents = SessionFormParts::lineEdit(page, "textTotalStudents");
    textTotalStudents->setReadOnly(true);
    tableView = SessionFormParts::entryTable(page, "tableView", {tr("Student ID"), tr("Student Name"), tr("Answer")});
    btnPre = SessionFormParts::button(page, "btnPre", tr("Previous"));
    btnNext = SessionFormParts::button(page, "btnNext", tr("Next"));
    btnSave1 = SessionFormParts::button(page, "btnSave1", tr("Save"));
    btnClose1 = SessionFormParts::button(page, "btnClose1", tr("Close"));

    auto *header = new QGroupBox(tr("Session"), page);
    auto *grid = new QGridLayout(header);
    const auto place = [grid, header](int row, int column, const QString &caption, QWidget *control) {
        SessionFormParts::place(grid, header, row, column, caption, control);
    };
    place(0, 0, tr("Session Name:"), textSession);
    place(0, 1, tr("Test Title:"), textTestTitle);
    place(0, 2, tr("Date:"), dateActDate);
    place(1, 0, tr("Class:"), cboClass);
    place(1, 1, tr("Subject:"), cboSubject);
    place(1, 2, tr("Teacher:"), cboTeacher);
    place(2, 0, tr("Session Type:"), cboType);
    place(2, 1, tr("Total Questions:"), cboTotalQuestion);
    place(2, 2, tr("Total Students:"), textTotalStudents);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 2);
    grid->setColumnStretch(5, 1);

    auto *questionBox = new QGroupBox(tr("Question"), page);
    auto *q = new QGridLayout(questionBox);
    const auto placeQ = [q, questionBox](int row, int column, const QString &caption, QWidget *control, int span = 1) {
        SessionFormParts::place(q, questionBox, row, column, caption, control, span);
    };
    placeQ(0, 0, tr("Question:"), cboQuestion);
    placeQ(0, 1, tr("Type:"), cboQuestionMode);
    placeQ(0, 2, tr("Options:"), cboNumOfOptions);
    placeQ(1, 0, tr("Difficulty:"), cboDifficultyLevel);
    placeQ(1, 1, tr("Correct Answer:"), textCorrectAnswer);
    placeQ(1, 2, tr("Points:"), textPoint);
    placeQ(2, 0, tr("Text:"), textQuestion, 5);
    placeQ(3, 0, tr("Standard:"), textStandard, 4);
    q->addWidget(btnStandard, 3, 5);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnPre);
    buttons->addWidget(btnNext);
    buttons->addStretch();
    buttons->addWidget(btnSave1);
    buttons->addWidget(btnClose1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(header);
    layout->addWidget(questionBox);
    layout->addWidget(tableView, 1);
    layout->addLayout(buttons);

    auto *points = new PMResolutionFormatter(textPoint);
    points->setDigitWithMaxNumAndMixNum(250, 1);
    points->attachTo(textPoint);
    // The correct answer and the students' answers take what the receiver's keypads can send.
    const int limit = AnswerTextRules::entryAnswerLength(m_deviceType);
    if (limit > 0)
        textCorrectAnswer->setMaxLength(limit);
    tableView->setItemDelegateForColumn(
        kAnswerColumn, new LimitedCellDelegate([limit](const QModelIndex &) { return limit; }, tableView));

    connect(cboClass, &QComboBox::currentIndexChanged, this, &CreateNewSessionController::classSelected);
    connect(cboTotalQuestion, &QComboBox::currentIndexChanged, this, &CreateNewSessionController::totalSelected);
    connect(cboQuestion, &QComboBox::currentIndexChanged, this, &CreateNewSessionController::showQuestion);
    connect(cboQuestionMode, &QComboBox::currentIndexChanged, this, &CreateNewSessionController::typeSelected);
    connect(cboNumOfOptions, &QComboBox::currentIndexChanged, this, &CreateNewSessionController::optionsSelected);
    connect(cboDifficultyLevel, &QComboBox::currentIndexChanged, this, &CreateNewSessionController::levelSelected);
    for (MyComboBox *box : {cboType, cboSubject, cboTeacher})
        connect(box, &QComboBox::currentIndexChanged, this, &CreateNewSessionController::otherSelected);
    connect(dateActDate, &QDateEdit::dateChanged, this, &CreateNewSessionController::doDateChange);
    connect(textCorrectAnswer, &QLineEdit::textEdited, this, &CreateNewSessionController::correctAnswerTyped);
    connect(textCorrectAnswer, &QLineEdit::editingFinished, this, &CreateNewSessionController::correctAnswerEnded);
    connect(textPoint, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!m_questionArray.isEmpty())
            shownDetail().setPoint(GlobalFunctions::intValue(text));
        changed();
    });
    connect(textSession, &QLineEdit::textEdited, this, &CreateNewSessionController::changed);
    m_nameLeave = new FieldLeave(textSession);
    connect(m_nameLeave, &FieldLeave::left, this, &CreateNewSessionController::sessionNameEnded);
    connect(textTestTitle, &QLineEdit::textEdited, this, &CreateNewSessionController::changed);
    connect(textQuestion, &QPlainTextEdit::textChanged, this, [this] {
        if (m_filling || m_questionArray.isEmpty())
            return;
        QString text = textQuestion->toPlainText();
        if (text.size() > kMaxQuestionText) {
            text.truncate(kMaxQuestionText);
            const QSignalBlocker block(textQuestion);
            textQuestion->setPlainText(text);
            textQuestion->moveCursor(QTextCursor::End);
        }
        shownDetail().setQuestion(text);
        changed();
    });
    connect(textStandard, &QPlainTextEdit::textChanged, this, [this] {
        if (m_filling || m_questionArray.isEmpty())
            return;
        shownDetail().setStandard(textStandard->toPlainText());
        changed();
    });
    connect(tableView, &QTableWidget::itemChanged, this, &CreateNewSessionController::answerEdited);
    connect(tableView, &QTableWidget::cellClicked, this, [this](int row) {
        if (QTableWidgetItem *item = tableView->item(row, kAnswerColumn))
            tableView->editItem(item);
    });
    connect(btnStandard, &QPushButton::clicked, this, &CreateNewSessionController::doStandard);
    connect(btnPre, &QPushButton::clicked, this, &CreateNewSessionController::doPre);
    connect(btnNext, &QPushButton::clicked, this, &CreateNewSessionController::doNext);
    connect(btnSave1, &QPushButton::clicked, this, &CreateNewSessionController::doSave);
    connect(btnClose1, &QPushButton::clicked, this, &CreateNewSessionController::doClose);
    if (!m_hold)
        m_hold = new EditHold(
            this, [this] { return m_isChanged || m_points->hasChange(); }, [this] { return askBeforeLeaving(); });
    return page;
}

void CreateNewSessionController::awakeFromNib()
{
    btnPre->setEnabled(false);
    btnNext->setEnabled(false);
    SessionFormParts::fillBox(cboSubject, RosterRecords::subjectNames());
    SessionFormParts::fillBox(cboTeacher, RosterRecords::teacherNames());
    {
        const QSignalBlocker block(dateActDate);
        dateActDate->setDate(SessionFormParts::today());
    }
    const QStringList sessionTypes = ReportController::sessionTypeNames();
    SessionFormParts::fillBox(cboType, sessionTypes);
    {
        const QSignalBlocker block(cboType);
        cboType->setCurrentIndex(ManualSession::defaultSessionType(sessionTypes));
    }
    QStringList options;
    for (int n = 2; n <= AnswerTextRules::entryMaxOptions(m_deviceType); ++n)
        options << QString::number(n);
    SessionFormParts::fillBox(cboNumOfOptions, options);
    {
        const QSignalBlocker block(cboNumOfOptions);
        cboNumOfOptions->setCurrentIndex(kDefaultNumOfOptions);
    }
    SessionFormParts::fillBox(cboDifficultyLevel, ManualSession::levelNames());
    QStringList counts;
    for (int n = 1; n <= kQuestionCounts; ++n)
        counts << QString::number(n);
    SessionFormParts::fillBox(cboTotalQuestion, counts);
    totalSelected(0);
    SessionFormParts::fillBox(cboClass, RosterRecords::classNames());
    m_lastSelectedIndex = cboClass->currentIndex();
    classSelected(cboClass->currentIndex());
    showQuestion(0);
    {
        const QSignalBlocker a(textCorrectAnswer), b(textPoint);
        textCorrectAnswer->setText(AnswerTextRules::noAnswer());
        textPoint->setText(QString::number(kDefaultPoint));
    }
    const QStringList types = AnswerTextRules::entryTypeNames(m_deviceType);
    // Without a receiver every question is a single answer: shown, but not to be chosen.
    SessionFormParts::fillBox(cboQuestionMode,
                              types.isEmpty() ? QStringList{AnswerTextRules::nameOfKind(Kind::Single)} : types);
    cboQuestionMode->setEnabled(!types.isEmpty());
    m_points->setUpPointsForm();
    btnSave1->setEnabled(false);
    bntSave->setEnabled(false);
    m_isChanged = false;
    m_classHasChange = true;
}

// ---- Full form ----

int CreateNewSessionController::shownQuestion() const
{
    return qBound(0, cboQuestion->currentIndex(), int(m_questionArray.size()) - 1);
}

ActionDetail &CreateNewSessionController::shownDetail()
{
    return m_questionArray[shownQuestion()];
}

void CreateNewSessionController::changed()
{
    if (m_filling)
        return;
    m_isChanged = true;
    btnSave1->setEnabled(true);
}

int CreateNewSessionController::alert(const QString &text, const QStringList &buttons, const QString &title,
                                      const QString &informative, PollixAlert::Default byDefault)
{
    return SessionFormParts::alert(this, text, buttons, informative, title, byDefault);
}

void CreateNewSessionController::emptyAnswersOfAllQuestions()
{
    for (ActionDetail &q : m_questionArray) {
        q.studentAnswerArray().clear();
        for (const StudentIdNameAnswer &row : m_tableArray) {
            SingleColumnString answer;
            answer.setNum(row.studentNo());
            answer.setStuID(row.studentID());
            q.studentAnswerArray().append(answer);
        }
    }
}

void CreateNewSessionController::classSelected(int index)
{
    btnSave1->setEnabled(true);
    if (m_classHasChange) {
        const int yes = alert(tr("If you switch to another Class, you will lose the input for current Class. Continue anyway?"),
                              {tr("Yes"), tr("No")}, {}, {}, PollixAlert::Default::LeavesAsIs);
        if (yes != 0) {
            const QSignalBlocker block(cboClass);
            cboClass->setCurrentIndex(cboClass->findText(m_curClass));
            return;
        }
        m_lastSelectedIndex = index;
    }
    m_isChanged = true;
    m_classHasChange = true;
    m_curClass = index < 0 ? QString() : cboClass->itemText(index);
    const QList<StudentEntity> students = SessionFormParts::studentsOfClass(m_curClass);
    textTotalStudents->setText(QString::number(students.size()));
    m_tableArray.clear();
    for (const StudentEntity &s : students) {
        StudentIdNameAnswer row;
        row.setStudentNo(s.no());
        row.setStudentID(s.id());
        row.setStudentName(mergeFirstLastString(s.firstName(), s.lastName()));
        m_tableArray.append(row);
    }
    sortByStudentId(m_tableArray);
    emptyAnswersOfAllQuestions();
    fillAnswerTable();
}

void CreateNewSessionController::fillAnswerTable()
{
    const QSignalBlocker block(tableView);
    tableView->setRowCount(int(m_tableArray.size()));
    const ActionDetail *shown = m_questionArray.isEmpty() ? nullptr : &m_questionArray.at(shownQuestion());
    for (int r = 0; r < m_tableArray.size(); ++r) {
        StudentIdNameAnswer &row = m_tableArray[r];
        if (shown)
            for (const SingleColumnString &answer : shown->studentAnswerArray())
                if (answer.num() == row.studentNo())
                    row.setAnswer(answer.str());
        tableView->setItem(r, 0, SessionFormParts::fixedItem(row.studentID()));
        tableView->setItem(r, 1, SessionFormParts::fixedItem(row.studentName()));
        tableView->setItem(r, kAnswerColumn, new QTableWidgetItem(row.answer()));
    }
}

void CreateNewSessionController::totalSelected(int index)
{
    btnSave1->setEnabled(true);
    if (index < 0)
        return;
    const int n = cboTotalQuestion->itemText(index).toInt();
    if (n < m_curTotalQuestions) {
        if (alert(tr("Decreasing the number of questions will cause missing potential inputs, continue anyway?"),
                  {tr("Yes"), tr("No")}, {}, {}, PollixAlert::Default::LeavesAsIs)
            != 0) {
            const QSignalBlocker block(cboTotalQuestion);
            cboTotalQuestion->setCurrentIndex(cboTotalQuestion->findText(QString::number(m_curTotalQuestions)));
            return;
        }
        if (shownQuestion() + 1 > n) {
            const QSignalBlocker block(cboQuestion);
            cboQuestion->setCurrentIndex(n - 1);
            showQuestion(n - 1);
        }
        const QSignalBlocker block(cboQuestion);
        for (int i = m_curTotalQuestions - 1; i >= n; --i) {
            cboQuestion->removeItem(i);
            m_questionArray.removeAt(i);
        }
        m_curTotalQuestions = n;
    } else {
        const QSignalBlocker block(cboQuestion);
        for (int k = m_curTotalQuestions + 1; k <= n; ++k) {
            cboQuestion->addItem(QString::number(k));
            ActionDetail q;
            for (const StudentIdNameAnswer &row : m_tableArray) {
                SingleColumnString answer;
                answer.setNum(row.studentNo());
                answer.setStuID(row.studentID());
                q.studentAnswerArray().append(answer);
            }
            m_questionArray.append(q);
        }
        if (cboQuestion->currentIndex() < 0 && cboQuestion->count() > 0)
            cboQuestion->setCurrentIndex(0);
        if (index != 0)
            m_isChanged = true;
        m_curTotalQuestions = n;
    }
    updatePreNext();
}

void CreateNewSessionController::showQuestion(int index)
{
    btnSave1->setEnabled(true);
    if (index < 0 || index >= m_questionArray.size())
        return;
    const ActionDetail q = m_questionArray.at(index);
    {
        const QSignalBlocker a(cboQuestionMode), b(cboNumOfOptions), c(cboDifficultyLevel);
        if (cboQuestionMode->findText(q.quMode()) >= 0)
            cboQuestionMode->setCurrentIndex(cboQuestionMode->findText(q.quMode()));
        cboNumOfOptions->setCurrentIndex(cboNumOfOptions->findText(QString::number(q.numOfOptions())));
        cboDifficultyLevel->setCurrentIndex(std::max(0, cboDifficultyLevel->findText(q.quLevel())));
    }
    // As if the teacher had chosen them.
    typeSelected(cboQuestionMode->currentIndex());
    optionsSelected(cboNumOfOptions->currentIndex());
    levelSelected(cboDifficultyLevel->currentIndex());
    m_filling = true;
    {
        const QSignalBlocker a(textCorrectAnswer), b(textPoint);
        textCorrectAnswer->setText(m_questionArray.at(index).correctAnswer());
        textPoint->setText(QString::number(q.point()));
        textQuestion->setPlainText(q.question());
        textStandard->setPlainText(q.standard());
    }
    m_filling = false;
    fillAnswerTable();
    updatePreNext();
}

void CreateNewSessionController::typeSelected(int index)
{
    btnSave1->setEnabled(true);
    if (m_questionArray.isEmpty() || index < 0)
        return;
    ActionDetail &q = shownDetail();
    const QString name = cboQuestionMode->itemText(index);
    q.setQuMode(name);
    if (shownQuestion() != 0)
        changed();
    const Kind kind = AnswerTextRules::kindOfName(name);
    cboNumOfOptions->setEnabled(kind == Kind::Single || kind == Kind::Multiple || kind == Kind::Other);
    if (q.correctAnswer() == AnswerTextRules::noAnswer() || m_nResettingMyself > 0)
        return;
    bool refused = false;
    const QString correct = AnswerTextRules::afterEntryTypeChange(q.correctAnswer(), kind, q.numOfOptions(), &refused);
    if (refused)
        alert(AnswerTextRules::outOfRangeText());
    q.setCorrectAnswer(correct);
    const QSignalBlocker block(textCorrectAnswer);
    textCorrectAnswer->setText(correct);
}

void CreateNewSessionController::optionsSelected(int index)
{
    btnSave1->setEnabled(true);
    if (m_questionArray.isEmpty() || index < 0)
        return;
    ActionDetail &q = shownDetail();
    const bool trueFalse = cboQuestionMode->currentText() == AnswerTextRules::nameOfKind(Kind::TrueFalse);
    q.setNumOfOptions(trueFalse ? 2 : cboNumOfOptions->itemText(index).toInt());
    if (index != kDefaultNumOfOptions)
        changed();
    if (AnswerTextRules::kindOfName(q.quMode()) == Kind::Multiple && m_nResettingMyself == 0
        && textCorrectAnswer->text() != AnswerTextRules::noAnswer()) {
        const QSignalBlocker block(textCorrectAnswer);
        textCorrectAnswer->setText(AnswerTextRules::withinOptions(textCorrectAnswer->text(), q.numOfOptions()));
        q.setCorrectAnswer(textCorrectAnswer->text());
    }
}

void CreateNewSessionController::levelSelected(int index)
{
    btnSave1->setEnabled(true);
    if (m_questionArray.isEmpty() || index < 0)
        return;
    shownDetail().setQuLevel(cboDifficultyLevel->itemText(index));
    if (index != kDefaultDifficultyLevel)
        changed();
}

void CreateNewSessionController::otherSelected()
{
    btnSave1->setEnabled(true);
    if (cboClass->currentIndex() != m_lastSelectedIndex)
        m_isChanged = true;
}

void CreateNewSessionController::updatePreNext()
{
    const int t = m_curTotalQuestions, p = cboQuestion->currentIndex();
    btnPre->setEnabled(t > 1 && p > 0);
    btnNext->setEnabled(t > 1 && p < t - 1);
}

void CreateNewSessionController::step(int delta)
{
    if (m_questionArray.isEmpty())
        return;
    ActionDetail &q = shownDetail();
    bool refused = false;
    const QString r = AnswerTextRules::settle(q.correctAnswer(), AnswerTextRules::kindOfName(q.quMode()),
                                              q.numOfOptions(), &refused);
    q.setCorrectAnswer(r);
    {
        const QSignalBlocker block(textCorrectAnswer);
        textCorrectAnswer->setText(r);
    }
    if (refused) {
        alert(AnswerTextRules::outOfRangeText());
        return;
    }
    const int next = shownQuestion() + delta;
    if (next < 0 || next >= m_questionArray.size())
        return;
    ++m_nResettingMyself;
    cboQuestion->setCurrentIndex(next);
    --m_nResettingMyself;
}

void CreateNewSessionController::doNext()
{
    step(1);
}

void CreateNewSessionController::doPre()
{
    step(-1);
}

void CreateNewSessionController::correctAnswerTyped(const QString &text)
{
    if (m_questionArray.isEmpty())
        return;
    ActionDetail &q = shownDetail();
    const QString r = AnswerTextRules::restriction(text, AnswerTextRules::kindOfName(q.quMode()), q.numOfOptions());
    if (r != text) {
        const QSignalBlocker block(textCorrectAnswer);
        textCorrectAnswer->setText(r);
    }
    q.setCorrectAnswer(r);
    changed();
}

void CreateNewSessionController::correctAnswerEnded()
{
    if (m_questionArray.isEmpty())
        return;
    ActionDetail &q = shownDetail();
    QString text = textCorrectAnswer->text();
    if (text != AnswerTextRules::noAnswer()) {
        bool refused = false;
        text = AnswerTextRules::settle(text, AnswerTextRules::kindOfName(q.quMode()), q.numOfOptions(), &refused);
        const QSignalBlocker block(textCorrectAnswer);
        textCorrectAnswer->setText(text);
        if (refused)
            alert(AnswerTextRules::outOfRangeText());
    }
    q.setCorrectAnswer(text);
}

void CreateNewSessionController::answerEdited(QTableWidgetItem *item)
{
    if (!item || item->column() != kAnswerColumn || m_questionArray.isEmpty() || item->row() >= m_tableArray.size())
        return;
    ActionDetail &q = shownDetail();
    StudentIdNameAnswer &row = m_tableArray[item->row()];
    const QString answer =
        AnswerTextRules::restriction(item->text(), AnswerTextRules::kindOfName(q.quMode()), q.numOfOptions());
    row.setAnswer(answer);
    for (SingleColumnString &cell : q.studentAnswerArray())
        if (cell.num() == row.studentNo()) {
            cell.setStr(answer);
            cell.setStuID(row.studentID());
        }
    if (answer != item->text()) {
        const QSignalBlocker block(tableView);
        item->setText(answer);
    }
    changed();
}

void CreateNewSessionController::sessionNameEnded()
{
    // Save tells about a missing name itself and Close asks about the changes; told here too,
    // the alert would swallow the click, and Close could never close the window.
    const QWidget *to = QApplication::focusWidget();
    if (to == btnSave1 || to == btnClose1 || tabForms->currentIndex() != 0)
        return;
    sessionNameMayBeLeft();
}

bool CreateNewSessionController::sessionNameMayBeLeft()
{
    // A name typed (blanks included) is checked when the field is left; until it holds a name,
    // every leaving tells again. A field the focus merely passed through says nothing (Save
    // tells about a missing name).
    if (!textSession->isModified())
        return true;
    const QString name = GradebookSettingRules::removeSpacesAround(textSession->text());
    if (name != textSession->text())
        textSession->setText(name);
    textSession->setModified(name.isEmpty());
    if (!name.isEmpty())
        return true;
    alert(tr("Session name should not be empty."));
    m_nameLeave->stay();
    return false;
}

void CreateNewSessionController::doStandard()
{
    if (m_questionArray.isEmpty())
        return;
    StandardController picker(this);
    picker.setStandardName(shownDetail().code());
    DialogHooks::runModal(&picker);
    if (picker.standardTitleSelected().isEmpty())
        return;
    ActionDetail &q = shownDetail();
    q.setStandard(picker.standardTitleSelected());
    q.setCode(picker.standardNameSelected());
    m_filling = true;
    textStandard->setPlainText(q.standard());
    m_filling = false;
}

void CreateNewSessionController::doDateChange()
{
    changed();
}

bool CreateNewSessionController::doSave()
{
    if (!saveFullForm())
        return false;
    leaveAfterSave();
    return true;
}

void CreateNewSessionController::leaveAfterSave()
{
    // A save ends the window, but the other form may still hold what the teacher typed: it is
    // asked about first, and Cancel there keeps the window with it.
    m_hold->leave(0);
}

bool CreateNewSessionController::saveFullForm()
{
    const QString name = GradebookSettingRules::removeSpacesAround(textSession->text());
    textSession->setText(name);
    if (name.isEmpty()) {
        alert(tr("Session name should not be empty."));
        textSession->setFocus();
        return false;
    }
    if (m_tableArray.isEmpty()) {
        alert(tr("The class cannot be empty."));
        return false;
    }
    if (cboSubject->currentIndex() < 0 || cboSubject->currentText().isEmpty()) {
        alert(tr("Please Select a Subject."));
        return false;
    }
    int refused = -1;
    const QString why = ManualSession::refusal(m_questionArray, &refused);
    if (!why.isEmpty()) {
        alert(why);
        if (refused >= 0)
            cboQuestion->setCurrentIndex(refused);
        return false;
    }
    ManualSession::Header header;
    header.name = name;
    header.title = textTestTitle->text();
    header.sessionType = cboType->currentText();
    header.className = cboClass->currentText();
    header.subject = cboSubject->currentText();
    header.teacherName = cboTeacher->currentText();
    header.day = dateActDate->date();
    header.deviceType = m_deviceType;
    QuizEntity quiz = ManualSession::build(header, m_questionArray, SessionFormParts::studentsOfClass(header.className),
                                           GlobalFunctions::currentTimeDesp());
    QString path, error;
    if (!TovQuizXmlDatabase().addQuizWithName(name, quiz, &path, &error)
        || !writtenAsEntered(path, quiz, &error)) {
        PollixLog(QStringLiteral("Failed to save the session %1: %2").arg(name, error));
        alert(tr("The session could not be saved."), {}, {}, error);
        return false;
    }
    m_savedPath = path;
    m_isChanged = false;
    // Kept open for the other form, the window must not write the same session twice.
    btnSave1->setEnabled(false);
    finishSave(quiz.startTime().left(10));
    SessionFormParts::sayWhereSaved(this, path);
    return true;
}

bool CreateNewSessionController::writtenAsEntered(const QString &path, const QuizEntity &quiz, QString *errorText)
{
    if (TovQuizXmlDatabase().readsBackAs(path, quiz, errorText))
        return true;
    // A new session that does not read back as entered is not kept.
    TovQuizXmlDatabase().deleteQuizWithName(path);
    return false;
}

void CreateNewSessionController::finishSave(const QString &day)
{
    if (!m_parent)
        return;
    m_parent->widenDateRange(day);
    m_parent->refresh1();
}

bool CreateNewSessionController::askSaveOnClose()
{
    if (GradebookSettingRules::removeSpacesAround(textSession->text()).isEmpty()) {
        alert(tr("Session name should not be empty"));
        textSession->setFocus();
        return false;
    }
    if (cboSubject->currentIndex() < 0 || cboSubject->currentText().isEmpty()) {
        alert(tr("Please Select a Subject."));
        return false;
    }
    return saveFullForm();
}

EditHold::Answer CreateNewSessionController::askBeforeLeaving()
{
    // Both forms live in the one window: leaving it loses what either holds, so each asks.
    const QStringList buttons{tr("Yes"), tr("No"), tr("Cancel")};
    if (m_isChanged
        && EditHold::askSave(this, tr("Pollix"), tr("Do you want to save the changes to contents?"), buttons,
                             [this] { return askSaveOnClose(); })
               == EditHold::Answer::Stay)
        return EditHold::Answer::Stay;
    if (m_points->hasChange()
        && EditHold::askSave(this, tr("Warning"), tr("Do you want to save the change ?"), buttons,
                             [this] { return m_points->savePoints(); })
               == EditHold::Answer::Stay)
        return EditHold::Answer::Stay;
    return EditHold::Answer::Leave;
}

void CreateNewSessionController::doClose()
{
    m_hold->leave(0);
}

bool CreateNewSessionController::windowShouldClose()
{
    return m_hold->mayLeave();
}

void CreateNewSessionController::reject()
{
    // Reached by Escape and the close box once the hold let the window go.
    if (isVisible())
        done(1);
}

// ---- Points form ----

bool CreateNewSessionController::doSave2() { return m_points->doSave2(); }
void CreateNewSessionController::doDateChange2() { m_points->doDateChange2(); }
const QList<StudentGradeReport> &CreateNewSessionController::studentListTableArray() const { return m_points->studentListTableArray(); }
bool CreateNewSessionController::hasChange() const { return m_points->hasChange(); }

void CreateNewSessionController::doClose2()
{
    m_hold->leave(0);
}
