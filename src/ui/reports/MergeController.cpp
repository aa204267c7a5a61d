#include "MergeController.h"

#include "ReportController.h"
#include "SessionFormParts.h"

#include "core/reports/SessionMerge.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/StoreTransaction.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/Log.h"

#include <QCheckBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
// Columns of both tables: the row field each shows.
enum Column { ColSession, ColTitle, ColClass, ColSubject, ColTeacher, ColType, ColDate, ColumnCount };

QStringList headers()
{
    return {QObject::tr("Session"), QObject::tr("Test Title"), QObject::tr("Class"), QObject::tr("Subject"),
            QObject::tr("Teacher"), QObject::tr("Type"), QObject::tr("Date")};
}

QString field(const ReportTable1Element &row, int column)
{
    switch (column) {
    case ColSession:
        return row.session();
    case ColTitle:
        return row.testTitle();
    case ColClass:
        return row.className();
    case ColSubject:
        return row.subjectName();
    case ColTeacher:
        return row.teacherName();
    case ColType:
        return row.type();
    default:
        return row.date();
    }
}

QTableWidget *table(QWidget *parent, const char *name)
{
    QTableWidget *t = SessionFormParts::table(parent, name, headers());
    const int widths[] = {170, 130, 100, 100, 110, 90};
    for (int c = 0; c < 6; ++c)
        t->setColumnWidth(c, widths[c]);
    return t;
}
} // namespace

MergeController::MergeController(ReportController *parent) : QDialog(parent), m_parent(parent)
{
    setObjectName(QStringLiteral("Merge"));
    buildInterface();
    awakeFromNib();
}

void MergeController::buildInterface()
{
    setWindowTitle(tr("Merge Sessions"));
    table1 = table(this, "table1");
    table1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table1->setSelectionMode(QAbstractItemView::MultiSelection);
    table2 = table(this, "table2");
    table2->setFixedHeight(table2->horizontalHeader()->sizeHint().height() + table2->verticalHeader()->defaultSectionSize() + 6);
    matrixMegeType = new QWidget(this);
    matrixMegeType->setObjectName(QStringLiteral("matrixMegeType"));
    radioByQuestions = new QRadioButton(tr("By questions (one class, several papers)"), matrixMegeType);
    radioByQuestions->setObjectName(QStringLiteral("radioByQuestions"));
    radioByClasses = new QRadioButton(tr("By classes (one paper, several classes)"), matrixMegeType);
    radioByClasses->setObjectName(QStringLiteral("radioByClasses"));
    radioByQuestions->setChecked(true);
    auto *choices = new QHBoxLayout(matrixMegeType);
    choices->setContentsMargins(0, 0, 0, 0);
    choices->addWidget(radioByQuestions);
    choices->addWidget(radioByClasses);
    choices->addStretch();
    box = new QCheckBox(tr("Delete the source sessions after merging"), this);
    box->setObjectName(QStringLiteral("box"));
    btnSave = new QPushButton(tr("Merge"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton *b : {btnSave, btnClose})
        b->setAutoDefault(false);
    connect(btnSave, &QPushButton::clicked, this, &MergeController::doSave);
    connect(btnClose, &QPushButton::clicked, this, &MergeController::doClose);
    // Only the name is the teacher's to type; the rest comes from the first session.
    connect(table2, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item && item->row() == 0 && item->column() == ColSession)
            m_result.setSession(item->text());
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(box);
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Sessions to merge:"), this));
    layout->addWidget(table1, 1);
    layout->addWidget(matrixMegeType);
    layout->addWidget(new QLabel(tr("New session (type its name):"), this));
    layout->addWidget(table2);
    layout->addLayout(buttons);
    resize(900, 420);
}

void MergeController::awakeFromNib()
{
    if (m_parent)
        m_table1Array = m_parent->selectedRows();
    if (!m_table1Array.isEmpty()) {
        const ReportTable1Element &first = m_table1Array.first();
        m_result.setType(first.type());
        m_result.setClassName(first.className());
        m_result.setSubjectName(first.subjectName());
        m_result.setTeacherName(first.teacherName());
    }
    m_result.setDate(GlobalFunctions::currentDateTime().date().toString(QStringLiteral("yyyy-MM-dd")));
    table1->setRowCount(int(m_table1Array.size()));
    for (int r = 0; r < m_table1Array.size(); ++r)
        for (int c = 0; c < ColumnCount; ++c)
            table1->setItem(r, c, new QTableWidgetItem(field(m_table1Array.at(r), c)));
    table1->selectAll();
    const QSignalBlocker block(table2);
    table2->setRowCount(1);
    for (int c = 0; c < ColumnCount; ++c) {
        auto *item = new QTableWidgetItem(field(m_result, c));
        if (c != ColSession)
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        table2->setItem(0, c, item);
    }
    table2->setCurrentCell(0, ColSession);
    table2->editItem(table2->item(0, ColSession));
}

int MergeController::alert(const QString &text, const QStringList &buttons, const QString &informative)
{
    return SessionFormParts::alert(this, text, buttons, informative);
}

bool MergeController::doSave()
{
    const QString name = m_result.session();
    if (name.trimmed().isEmpty()) {
        alert(tr("Please input the new Session Title ."), {tr("Yes")});
        return false;
    }
    // Each session from its own file: imported sessions may share an ID.
    QList<SessionMerge::Source> sources;
    for (const ReportTable1Element &row : m_table1Array) {
        // As stored: the activity stays its code.
        const std::optional<QuizEntity> quiz = TovQuizXmlDatabase().getQuizInfoAll(row.filePath());
        if (!quiz) {
            alert(tr("The session could not be read."), {}, row.filePath());
            return false;
        }
        sources.append({row.testTitle(), row.className(), *quiz});
    }
    const SessionMerge::Kind kind = radioByClasses->isChecked() ? SessionMerge::Kind::ByClasses : SessionMerge::Kind::ByQuestions;
    const QString refusal = SessionMerge::refusal(kind, sources);
    if (!refusal.isEmpty()) {
        alert(refusal);
        return false;
    }
    if (alert(tr("Are you sure you want to merge these sessions ?"), {tr("Yes"), tr("No")}) != 0)
        return false;
    QuizEntity merged = SessionMerge::merge(kind, sources, name, GlobalFunctions::currentTimeDesp());
    // Nothing is written that would not keep every student's answers and points.
    const QString loss = SessionMerge::lossOf(kind, sources, merged);
    if (!loss.isEmpty()) {
        PollixLog(QStringLiteral("Merge of %1 refused: %2").arg(name, loss));
        alert(tr("The sessions could not be merged."), {}, loss);
        return false;
    }
    // The merged session and the removal of its sources are one change: cut short, it must
    // neither lose the sources' answers nor keep them twice.
    QString error;
    const bool saved = StoreTransaction::runAsOne(
        [&](QString *failure) {
            if (!TovQuizXmlDatabase().addQuizWithName(name, merged, &m_mergedPath, failure))
                return false;
            // The sources go only when the new file holds what was merged.
            const std::optional<QuizEntity> written = TovQuizXmlDatabase().getQuizInfoAll(m_mergedPath);
            if (!written || !SessionMerge::sameContent(*written, merged)) {
                PollixLog(QStringLiteral("The merged session %1 does not read back as written").arg(m_mergedPath));
                *failure = tr("The written file does not read back.");
                return false;
            }
            if (box->isChecked())
                for (const ReportTable1Element &row : m_table1Array)
                    TovQuizXmlDatabase().deleteQuizWithName(row.filePath());
            return true;
        },
        &error, TovFastQuizXmlDatabase::sharedFastQuiz());
    if (!saved) {
        PollixLog(QStringLiteral("Failed to write the merged session %1: %2").arg(name, error));
        alert(tr("The merged session could not be saved."), {}, error);
        return false;
    }
    SessionFormParts::sayWhereSaved(this, m_mergedPath);
    if (m_parent) {
        m_parent->widenDateRange(m_result.date());
        m_parent->refresh1();
    }
    done(0);
    return true;
}

void MergeController::doClose()
{
    if (!m_result.session().trimmed().isEmpty())
        doSave();
    done(0);
}

void MergeController::reject()
{
    done(0);
}
