#include "EditSessionController.h"

#include "ReportController.h"
#include "SessionFormParts.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/PrintfNumber.h"
#include "core/reports/AnswerTextRules.h"
#include "core/reports/SessionEdit.h"
#include "core/roster/RosterRecords.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/FileVersions.h"
#include "platform/Log.h"
#include "ui/authoring/StandardController.h"
#include "ui/controls/ColumnFit.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/LimitedCellDelegate.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ScreenFit.h"
#include "ui/controls/TovLabel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
using Kind = AnswerTextRules::Kind;
constexpr int kSessionNameLength = 80;
constexpr int kQuestionTextLength = 255;
constexpr int kMinPoint = 1;
constexpr int kMaxPoint = 250;

QTableWidgetItem *item(const QString &text, bool editable)
{
    auto *i = new QTableWidgetItem(text);
    if (!editable)
        i->setFlags(i->flags() & ~Qt::ItemIsEditable);
    return i;
}

QTableWidget *table(QWidget *parent, const char *name, const QStringList &headers)
{
    QTableWidget *t = SessionFormParts::table(parent, name, headers);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 12);
    return t;
}

QLineEdit *shownField(QWidget *parent, const char *name)
{
    auto *f = new QLineEdit(parent);
    f->setObjectName(QLatin1String(name));
    f->setReadOnly(true);
    return f;
}
} // namespace

EditSessionController::EditSessionController(int actNo, ReportController *parent, const ReportTable1Element &row,
                                             std::optional<int> hostType)
    : QDialog(parent), m_curActNo(actNo), m_actID(row.strID()), m_filePath(row.filePath()), m_parent(parent)
{
    setObjectName(QStringLiteral("EditSession"));
    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    m_hostType = hostType.value_or(app ? app->currentDeviceType() : -1);
    // The file of the row, not whichever file carries its ID; its activity kept as the stored
    // code, which scores the answers and is written back.
    pugi::xml_document doc;
    m_loaded = GlobalFunctions::loadXmlFile(m_filePath, doc, &m_loadError);
    if (m_loaded && TovQuizXmlDatabase::isPointsOnlyRoot(doc.document_element())) {
        m_loaded = false;
        m_loadError = QStringLiteral("%1 holds points only").arg(m_filePath);
    }
    if (m_loaded) {
        TovQuizXmlDatabase::readFullSession(doc.document_element(), m_quiz);
        // The creation time as stored, so that a rewrite keeps the session's place in the list.
        const QString created = GlobalFunctions::getValueByTagName(QStringLiteral("DateCreated"), doc.document_element());
        if (created.size() >= 19)
            m_quiz.setDate(GlobalFunctions::timeStampFromStandardText(created));
    }
    setWindowTitle(tr("Edit Session"));
    tabView = new QTabWidget(this);
    tabView->setObjectName(QStringLiteral("tabView"));
    tabView->addTab(buildTab(1), tr("Questions"));
    tabView->addTab(buildTab(2), tr("Students"));
    btnSave = new QPushButton(tr("Save"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSaveClose = new QPushButton(tr("Save and Close"), this);
    btnSaveClose->setObjectName(QStringLiteral("btnSaveClose"));
    btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton *b : {btnSave, btnSaveClose, btnClose})
        b->setAutoDefault(false);
    connect(btnSave, &QPushButton::clicked, this, &EditSessionController::doSave);
    connect(btnSaveClose, &QPushButton::clicked, this, &EditSessionController::doSaveClose);
    connect(btnClose, &QPushButton::clicked, this, &EditSessionController::doClose);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnSaveClose);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabView);
    layout->addLayout(buttons);
    ScreenFit::resize(this, 1000, 700);
    awakeFromNib();
}

EditSessionController::~EditSessionController() = default;

QWidget *EditSessionController::buildTab(int tab)
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tab%1").arg(tab));
    const auto name = [tab](const char *base) { return QStringLiteral("%1%2").arg(QLatin1String(base)).arg(tab).toLatin1(); };
    auto *session = new QLineEdit(page);
    session->setObjectName(QString::fromLatin1(name("textSession")));
    session->setMaxLength(kSessionNameLength);
    auto *type = new MyComboBox(page);
    type->setObjectName(QString::fromLatin1(name("cboType")));
    type->setEditable(false);
    auto *subject = new MyComboBox(page);
    subject->setObjectName(QString::fromLatin1(name("cboSubject")));
    subject->setEditable(false);
    auto *date = new QDateEdit(page);
    date->setObjectName(QString::fromLatin1(name("dateActDate")));
    date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date->setEnabled(false);
    QLineEdit *total = shownField(page, tab == 1 ? "textTotalPoints1" : "textTotalPoints2");
    QLineEdit *klass = shownField(page, tab == 1 ? "textClass1" : "textClass2");
    QLineEdit *avg = shownField(page, tab == 1 ? "textAvgPoints1" : "textAvgPoints2");
    QLineEdit *students = shownField(page, tab == 1 ? "textTotalStudent1" : "textTotalStudent2");

    auto *grid = new QGridLayout;
    const auto place = [grid, page](int row, int column, const QString &caption, QWidget *control) {
        SessionFormParts::place(grid, page, row, column, caption, control);
    };
    place(0, 0, tr("Session Name:"), session);
    place(0, 1, tr("Session Type:"), type);
    place(0, 2, tr("Date:"), date);
    place(0, 3, tr("Total Points:"), total);
    place(1, 0, tr("Class:"), klass);
    place(1, 1, tr("Subject:"), subject);
    place(1, 2, tr("Average Points:"), avg);
    place(1, 3, tr("Total Students:"), students);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setColumnStretch(5, 1);
    grid->setColumnStretch(7, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);

    if (tab == 1) {
        textSession1 = session;
        cboType1 = type;
        cboSubject1 = subject;
        dateActDate1 = date;
        textTotalPoints1 = total;
        textClass1 = klass;
        textAvgPoints1 = avg;
        textTotalStudent1 = students;
        tableQuestion1 = table(page, "tableQuestion1",
                               {tr("No."), tr("Type"), tr("Correct Answer"), tr("Options"), tr("Points"), tr("Level"),
                                tr("Question")});
        const int widths[] = {44, 150, 130, 70, 60, 100};
        for (int c = 0; c < 6; ++c)
            tableQuestion1->setColumnWidth(c, widths[c]);
        tableQuestion1->setItemDelegate(new LimitedCellDelegate(
            [this](const QModelIndex &index) {
                switch (index.column()) {
                case ColCorrectAnswer: return answerLimit(index.row());
                case ColOptions:
                case ColPoint: return 3;
                default: return 0;
                }
            },
            tableQuestion1));
        tableQuestion1->setEditTriggers(QAbstractItemView::AllEditTriggers);
        textQuestionTitle1 = new QPlainTextEdit(page);
        textQuestionTitle1->setObjectName(QStringLiteral("textQuestionTitle1"));
        textQuestionTitle1->setMaximumHeight(80);
        textStandard1 = new QPlainTextEdit(page);
        textStandard1->setObjectName(QStringLiteral("textStandard1"));
        textStandard1->setReadOnly(true);
        textStandard1->setMaximumHeight(48);
        btnStandard = new QPushButton(tr("Standard..."), page);
        btnStandard->setObjectName(QStringLiteral("btnStandard"));
        btnStandard->setAutoDefault(false);
        btnStandard->setEnabled(false);
        auto *detail = new QGridLayout;
        auto *questionLabel = new TovLabel(tr("Question:"), page);
        auto *standardLabel = new TovLabel(tr("Standard:"), page);
        detail->addWidget(questionLabel, 0, 0, Qt::AlignTop | Qt::AlignRight);
        detail->addWidget(textQuestionTitle1, 0, 1, 1, 2);
        detail->addWidget(standardLabel, 1, 0, Qt::AlignTop | Qt::AlignRight);
        detail->addWidget(textStandard1, 1, 1);
        detail->addWidget(btnStandard, 1, 2, Qt::AlignTop);
        layout->addWidget(tableQuestion1, 1);
        layout->addLayout(detail);
        connect(tableQuestion1, &QTableWidget::itemChanged, this, &EditSessionController::questionEdited);
        connect(tableQuestion1, &QTableWidget::itemSelectionChanged, this, &EditSessionController::questionSelected);
        connect(textQuestionTitle1, &QPlainTextEdit::textChanged, this, [this] {
            const int row = tableQuestion1->currentRow();
            if (m_filling || row < 0 || row >= m_questionArray.size())
                return;
            QString text = textQuestionTitle1->toPlainText();
            if (text.size() > kQuestionTextLength) {
                text.truncate(kQuestionTextLength);
                const QSignalBlocker block(textQuestionTitle1);
                textQuestionTitle1->setPlainText(text);
                textQuestionTitle1->moveCursor(QTextCursor::End);
            }
            m_questionArray[row].setQuestion(text);
            const QSignalBlocker block(tableQuestion1);
            tableQuestion1->item(row, ColQuestion)->setText(text);
            if (QTableWidgetItem *shown = tableQuestion2->item(row, Col2Question))
                shown->setText(text);
            markChanged();
        });
        connect(btnStandard, &QPushButton::clicked, this, &EditSessionController::doStandard);
    } else {
        textSession2 = session;
        cboType2 = type;
        cboSubject2 = subject;
        dateActDate2 = date;
        textTotalPoints2 = total;
        textClass2 = klass;
        textAvgPoints2 = avg;
        textTotalStudent2 = students;
        tableStudent2 = table(page, "tableStudent2", {tr("Student ID"), tr("Student Name")});
        tableStudent2->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // Beside the questions: the IDs are read whole, the names take what is left.
        new ColumnFit(tableStudent2, {ColumnFit::Whole, 184});
        tableQuestion2 = table(page, "tableQuestion2", {tr("No."), tr("Question"), tr("Correct Answer"), tr("Answer")});
        tableQuestion2->setColumnWidth(0, 44);
        tableQuestion2->setColumnWidth(1, 330);
        tableQuestion2->setColumnWidth(2, 130);
        tableQuestion2->setEditTriggers(QAbstractItemView::AllEditTriggers);
        // A student's answer takes what the question's correct answer takes.
        tableQuestion2->setItemDelegateForColumn(
            Col2Answer, new LimitedCellDelegate([this](const QModelIndex &index) { return answerLimit(index.row()); },
                                                tableQuestion2));
        auto *split = new QSplitter(page);
        split->addWidget(tableStudent2);
        split->addWidget(tableQuestion2);
        split->setStretchFactor(1, 2);
        split->setSizes({300, 660});
        layout->addWidget(split, 1);
        connect(tableStudent2, &QTableWidget::itemSelectionChanged, this, &EditSessionController::studentSelected);
        connect(tableQuestion2, &QTableWidget::itemChanged, this, &EditSessionController::answerEdited);
    }
    return page;
}

void EditSessionController::awakeFromNib()
{
    m_filling = true;
    m_questionArray = SessionEdit::questionRows(m_quiz);
    m_studentArray = SessionEdit::studentRows(m_quiz);
    QStringList subjects = RosterRecords::subjectNames();
    QStringList types = ReportController::sessionTypeNames();
    // A session keeps a subject or type no longer in the lists.
    if (!m_quiz.subject().isEmpty() && !subjects.contains(m_quiz.subject()))
        subjects << m_quiz.subject();
    if (!m_quiz.sessionType().isEmpty() && !types.contains(m_quiz.sessionType()))
        types << m_quiz.sessionType();
    const QDate day = QDate::fromString(m_quiz.dateText().left(10), QStringLiteral("yyyy-MM-dd"));
    for (int tab = 1; tab <= 2; ++tab) {
        MyComboBox *subject = tab == 1 ? cboSubject1 : cboSubject2;
        MyComboBox *type = tab == 1 ? cboType1 : cboType2;
        subject->addItems(subjects);
        subject->setCurrentIndex(subjects.indexOf(m_quiz.subject()));
        type->addItems(types);
        type->setCurrentIndex(types.indexOf(m_quiz.sessionType()));
        (tab == 1 ? textSession1 : textSession2)->setText(m_quiz.name());
        (tab == 1 ? dateActDate1 : dateActDate2)->setDate(day);
        (tab == 1 ? textTotalPoints1 : textTotalPoints2)->setText(m_quiz.totalMark().trimmed());
        (tab == 1 ? textTotalStudent1 : textTotalStudent2)->setText(QString::number(m_quiz.allStudents().size()));
        (tab == 1 ? textClass1 : textClass2)->setText(m_quiz.className());
    }
    // Each name, type and subject shows in both tabs.
    const auto mirrorText = [this](QLineEdit *from, QLineEdit *to) {
        connect(from, &QLineEdit::textEdited, this, [this, to](const QString &text) {
            to->setText(text);
            markChanged();
        });
    };
    mirrorText(textSession1, textSession2);
    mirrorText(textSession2, textSession1);
    // A name edited to nothing is told when the field is left, and the field keeps the focus
    // (and the edit) until it holds a name. A field the focus merely passed through says
    // nothing, however empty: a session stored without a name is told about at Save. Leaving
    // because the window closes or the other tab is shown says nothing either.
    for (QLineEdit *field : {textSession1, textSession2}) {
        const int tab = field == textSession1 ? 0 : 1;
        connect(field, &QLineEdit::editingFinished, this, [this, field, tab] {
            if (!field->isModified())
                return;
            if (!field->text().trimmed().isEmpty()) {
                field->setModified(false);
                return;
            }
            if (isVisible() && tabView->currentIndex() == tab) {
                alert(tr("Session Name required."));
                field->setFocus();
            }
        });
    }
    const auto mirrorBox = [this](MyComboBox *from, MyComboBox *to) {
        connect(from, &QComboBox::currentIndexChanged, this, [this, to](int index) {
            const QSignalBlocker block(to);
            to->setCurrentIndex(index);
            markChanged();
        });
    };
    mirrorBox(cboType1, cboType2);
    mirrorBox(cboType2, cboType1);
    mirrorBox(cboSubject1, cboSubject2);
    mirrorBox(cboSubject2, cboSubject1);

    fillQuestionTable();
    {
        const QSignalBlocker block(tableStudent2);
        tableStudent2->setRowCount(int(m_studentArray.size()));
        for (int r = 0; r < m_studentArray.size(); ++r) {
            tableStudent2->setItem(r, 0, item(m_studentArray.at(r).stuID(), false));
            tableStudent2->setItem(r, 1, item(m_studentArray.at(r).str(), false));
        }
    }
    fillQuestionTable2();
    m_filling = false;
    calculateAvgPoint();
    if (!m_questionArray.isEmpty()) {
        tableQuestion1->selectRow(0);
        tableQuestion2->selectRow(0);
    }
    studentSelected();
    btnSave->setEnabled(false);
    btnSaveClose->setEnabled(false);
    m_hasChanged = false;
}

int EditSessionController::answerLimit(int row) const
{
    if (row < 0 || row >= m_questionArray.size())
        return 0;
    const ActionDetail &q = m_questionArray.at(row);
    return AnswerTextRules::editAnswerLength(AnswerTextRules::kindOfName(q.quMode()), q.numOfOptions(), m_hostType);
}

QComboBox *EditSessionController::modeBox(int r) const
{
    return qobject_cast<QComboBox *>(tableQuestion1->cellWidget(r, ColMode));
}

QComboBox *EditSessionController::levelBox(int r) const
{
    return qobject_cast<QComboBox *>(tableQuestion1->cellWidget(r, ColLevel));
}

void EditSessionController::setRowCells(int r)
{
    const QSignalBlocker block(tableQuestion1);
    const ActionDetail &q = m_questionArray.at(r);
    tableQuestion1->setItem(r, ColNo, item(QString::number(q.actQuNo()), false));
    tableQuestion1->setItem(r, ColCorrectAnswer, item(q.correctAnswer(), true));
    tableQuestion1->setItem(r, ColOptions, item(QString::number(q.numOfOptions()), true));
    tableQuestion1->setItem(r, ColPoint, item(QString::number(q.point()), true));
    tableQuestion1->setItem(r, ColQuestion, item(q.question(), false));
}

void EditSessionController::fillQuestionTable()
{
    const QSignalBlocker block(tableQuestion1);
    tableQuestion1->setRowCount(int(m_questionArray.size()));
    const QStringList types = AnswerTextRules::editTypeNames(m_hostType);
    for (int r = 0; r < m_questionArray.size(); ++r) {
        setRowCells(r);
        auto *mode = new QComboBox;
        mode->setObjectName(QStringLiteral("table1ModeCell"));
        mode->addItems(types);
        if (!types.contains(m_questionArray.at(r).quMode()))
            mode->addItem(m_questionArray.at(r).quMode());
        mode->setCurrentText(m_questionArray.at(r).quMode());
        connect(mode, &QComboBox::currentTextChanged, this, [this, r](const QString &name) { modeChosen(r, name); });
        tableQuestion1->setCellWidget(r, ColMode, mode);
        auto *level = new QComboBox;
        level->setObjectName(QStringLiteral("cboCellLevel"));
        level->addItems(SessionEdit::levelNames());
        level->setCurrentText(m_questionArray.at(r).quLevel());
        connect(level, &QComboBox::currentTextChanged, this, [this, r](const QString &name) { levelChosen(r, name); });
        tableQuestion1->setCellWidget(r, ColLevel, level);
    }
}

void EditSessionController::fillQuestionTable2()
{
    const QSignalBlocker block(tableQuestion2);
    tableQuestion2->setRowCount(int(m_questionArray.size()));
    for (int r = 0; r < m_questionArray.size(); ++r) {
        const ActionDetail &q = m_questionArray.at(r);
        tableQuestion2->setItem(r, Col2No, item(QString::number(r + 1), false));
        tableQuestion2->setItem(r, Col2Question, item(q.question(), false));
        tableQuestion2->setItem(r, Col2CorrectAnswer, item(q.correctAnswer(), false));
        tableQuestion2->setItem(r, Col2Answer, item(QString(), false));
    }
}

int EditSessionController::alert(const QString &text, const QStringList &buttons, const QString &informative)
{
    return SessionFormParts::alert(this, text, buttons, informative);
}

void EditSessionController::markChanged()
{
    if (m_filling)
        return;
    m_hasChanged = true;
    btnSave->setEnabled(true);
    btnSaveClose->setEnabled(true);
}

void EditSessionController::reopen(QTableWidget *t, int row, int column)
{
    QTimer::singleShot(0, t, [t, row, column] {
        if (QTableWidgetItem *cell = t->item(row, column)) {
            t->setCurrentItem(cell);
            t->editItem(cell);
        }
    });
}

void EditSessionController::questionEdited(QTableWidgetItem *cell)
{
    if (m_filling || !cell)
        return;
    const int r = cell->row();
    if (r < 0 || r >= m_questionArray.size())
        return;
    ActionDetail &q = m_questionArray[r];
    const Kind kind = AnswerTextRules::kindOfName(q.quMode());
    const bool small = AnswerTextRules::isSmallFamily(m_hostType);
    const auto refuse = [&](const QString &why, const QString &old) {
        {
            const QSignalBlocker block(tableQuestion1);
            cell->setText(old);
        }
        if (!why.isEmpty())
            alert(why);
        reopen(tableQuestion1, r, cell->column());
    };
    switch (cell->column()) {
    case ColCorrectAnswer: {
        QString typed = cell->text();
        const QString why = AnswerTextRules::typedRefusal(&typed, kind, q.numOfOptions(), small);
        if (!why.isEmpty())
            return refuse(why, q.correctAnswer());
        q.setCorrectAnswer(AnswerTextRules::committed(typed, small));
        break;
    }
    case ColOptions: {
        bool ok = false;
        const int n = cell->text().trimmed().toInt(&ok);
        if (!ok || n < 2 || n > AnswerTextRules::editMaxOptions(m_hostType))
            return refuse(QString(), QString::number(q.numOfOptions()));
        q.setNumOfOptions(n);
        break;
    }
    case ColPoint: {
        bool ok = false;
        const int p = cell->text().trimmed().toInt(&ok);
        if (!ok || p < kMinPoint || p > kMaxPoint)
            return refuse(QString(), QString::number(q.point()));
        q.setPoint(p);
        break;
    }
    default:
        return;
    }
    // The correct answer follows the row's type and option count (a lowered count drops letters).
    q.setCorrectAnswer(AnswerTextRules::aligned(q.correctAnswer(), kind, q.numOfOptions()));
    setRowCells(r);
    refreshQuestionAnswer(r);
    markChanged();
    calculateAvgPoint();
}

void EditSessionController::modeChosen(int r, const QString &name)
{
    if (m_filling || r < 0 || r >= m_questionArray.size())
        return;
    ActionDetail &q = m_questionArray[r];
    q.setQuMode(name);
    const Kind kind = AnswerTextRules::kindOfName(name);
    for (SingleColumnString &cell : q.studentAnswerArray())
        cell.setQuModeNo(AnswerTextRules::reportTypeNo(name));
    QString correct = q.correctAnswer();
    const int code = AnswerTextRules::judgeTypeChange(&correct, kind, q.numOfOptions());
    q.setCorrectAnswer(correct);
    setRowCells(r);
    markChanged();
    if (code != 1) {
        alert(AnswerTextRules::judgementText(code));
        return;
    }
    refreshQuestionAnswer(r);
    refreshQuestionStudentAnswers(r);
    studentSelected();
    calculateAvgPoint();
}

void EditSessionController::levelChosen(int r, const QString &name)
{
    if (m_filling || r < 0 || r >= m_questionArray.size())
        return;
    m_questionArray[r].setQuLevel(name);
    markChanged();
}

void EditSessionController::refreshQuestionAnswer(int r)
{
    const QSignalBlocker block(tableQuestion2);
    if (QTableWidgetItem *cell = tableQuestion2->item(r, Col2CorrectAnswer))
        cell->setText(m_questionArray.at(r).correctAnswer());
}

void EditSessionController::refreshQuestionStudentAnswers(int r)
{
    ActionDetail &q = m_questionArray[r];
    const Kind kind = AnswerTextRules::kindOfName(q.quMode());
    for (SingleColumnString &cell : q.studentAnswerArray())
        cell.setStr(AnswerTextRules::studentAnswerAfterTypeChange(cell.str(), kind));
}

void EditSessionController::questionSelected()
{
    const int r = tableQuestion1->currentRow();
    const bool selected = r >= 0 && r < m_questionArray.size();
    textQuestionTitle1->setReadOnly(!selected);
    btnStandard->setEnabled(selected);
    m_filling = true;
    textQuestionTitle1->setPlainText(selected ? m_questionArray.at(r).question() : QString());
    textStandard1->setPlainText(selected ? m_questionArray.at(r).standard() : QString());
    m_filling = false;
}

void EditSessionController::studentSelected()
{
    const QList<QTableWidgetItem *> chosen = tableStudent2->selectedItems();
    const int s = chosen.isEmpty() ? -1 : chosen.first()->row();
    const QString id = s >= 0 && s < m_studentArray.size() ? m_studentArray.at(s).stuID() : QString();
    const QSignalBlocker block(tableQuestion2);
    for (int r = 0; r < m_questionArray.size(); ++r) {
        QString answer;
        if (s >= 0)
            for (const SingleColumnString &cell : m_questionArray.at(r).studentAnswerArray())
                if (cell.stuID() == id) {
                    answer = cell.str();
                    break;
                }
        QTableWidgetItem *cell = item(answer, s >= 0);
        tableQuestion2->setItem(r, Col2Answer, cell);
    }
}

void EditSessionController::answerEdited(QTableWidgetItem *cell)
{
    if (m_filling || !cell || cell->column() != Col2Answer)
        return;
    const QList<QTableWidgetItem *> chosen = tableStudent2->selectedItems();
    const int r = cell->row();
    if (chosen.isEmpty() || r < 0 || r >= m_questionArray.size())
        return;
    const QString id = m_studentArray.value(chosen.first()->row()).stuID();
    ActionDetail &q = m_questionArray[r];
    const QString answer = AnswerTextRules::studentAnswer(cell->text(), AnswerTextRules::kindOfName(q.quMode()));
    for (SingleColumnString &a : q.studentAnswerArray())
        if (a.stuID() == id) {
            a.setStr(answer);
            const QSignalBlocker block(tableQuestion2);
            cell->setText(answer);
            markChanged();
            break;
        }
    calculateAvgPoint();
}

void EditSessionController::calculateAvgPoint()
{
    const float avg = SessionEdit::averagePoints(m_quiz.actionType(), m_questionArray, int(m_quiz.allStudents().size()));
    textAvgPoints1->setText(PrintfNumber::fixed(double(avg), 1));
    textAvgPoints2->setText(PrintfNumber::fixed(double(textAvgPoints1->text().toFloat()), 1));
}

void EditSessionController::doStandard()
{
    const int r = tableQuestion1->currentRow();
    if (r < 0 || r >= m_questionArray.size())
        return;
    StandardController picker(this);
    picker.setStandardName(m_questionArray.at(r).code());
    DialogHooks::runModal(&picker);
    if (!picker.standardTitleSelected().isEmpty()) {
        m_questionArray[r].setStandard(picker.standardTitleSelected());
        m_questionArray[r].setCode(picker.standardNameSelected());
        m_filling = true;
        textStandard1->setPlainText(picker.standardTitleSelected());
        m_filling = false;
    }
    markChanged();
}

bool EditSessionController::doSave()
{
    const QString name = textSession1->text();
    if (name.trimmed().isEmpty()) {
        alert(tr("Please enter the Session Name"), {tr("Ok")});
        return false;
    }
    int refused = -1;
    const QString why = SessionEdit::refusal(m_questionArray, &refused);
    if (!why.isEmpty()) {
        alert(why);
        m_shouldClose = false;
        if (refused >= 0)
            tableQuestion1->selectRow(refused);
        return false;
    }
    const QuizEntity saved =
        SessionEdit::saved(m_quiz, m_questionArray, name, cboType1->currentText(), cboSubject1->currentText(), m_hostType);
    QString error;
    // Always the file the editor was opened on.
    if (!TovQuizXmlDatabase().upDataQuizForReport(m_filePath, saved, &error)
        || !TovQuizXmlDatabase().readsBackAs(m_filePath, saved, &error)) {
        PollixLog(QStringLiteral("Failed to rewrite the session %1: %2").arg(m_filePath, error));
        const bool changedElsewhere = FileVersions::isChangedText(error);
        // The list shows the other program's version of the session, as the store now holds it.
        if (changedElsewhere && m_parent) {
            m_parent->refresh1();
            m_parent->selectArray1ByFilePath(m_filePath);
        }
        alert(tr("The session could not be saved."), {},
              PollixAlert::refusedSave(error, tr("Close this window and open the session again to see the other program's "
                                                 "version; your changes stay in this window until you close it.")));
        m_shouldClose = false;
        return false;
    }
    m_quiz = saved;
    for (int r = 0; r < m_questionArray.size(); ++r)
        setRowCells(r);
    fillQuestionTable2();
    studentSelected();
    m_hasChanged = false;
    btnSave->setEnabled(false);
    btnSaveClose->setEnabled(false);
    m_shouldClose = true;
    if (m_parent) {
        m_parent->refresh1();
        m_parent->selectArray1ByFilePath(m_filePath);
    }
    SessionFormParts::sayWhereSaved(this, m_filePath);
    return true;
}

void EditSessionController::doSaveClose()
{
    doSave();
    if (!textSession1->text().trimmed().isEmpty() && m_shouldClose)
        doClose();
}

bool EditSessionController::askToSave()
{
    // A save refused by a check keeps the window and its edits.
    const EditHold::Answer answer = EditHold::askSave(this, tr("Pollix"), tr("Do you want to save the changes to contents?"),
                                                      {tr("Yes"), tr("No")}, [this] { return doSave() && m_shouldClose; });
    if (answer != EditHold::Answer::Leave)
        return false;
    m_hasChanged = false;
    return true;
}

void EditSessionController::doClose()
{
    EditHold::commitOpenCell(this);
    if (m_hasChanged && !askToSave())
        return;
    done(0);
}

void EditSessionController::reject()
{
    doClose();
}
