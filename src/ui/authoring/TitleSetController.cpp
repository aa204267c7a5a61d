#include "TitleSetController.h"

#include "core/presentation/QuestionSlideFormat.h"
#include "core/store/XMLControl.h"
#include "platform/PPTEditorMSO.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/MyEnterFormatter.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/PresentationSave.h"
#include "ui/controls/ProposedText.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kIdDigits = 4;
constexpr int kMemoLength = 250;
} // namespace

TitleSetController::TitleSetController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TitleSet"));
    setWindowTitle(tr("Quiz File Title Setup"));
    const auto field = [this](const char *name, bool editable) {
        auto *f = new QLineEdit(this);
        f->setObjectName(QString::fromLatin1(name));
        f->setReadOnly(!editable);
        if (!editable) {
            // Shown only: drawn as part of the dialog, not as a field to type into.
            QPalette pal = f->palette();
            pal.setColor(QPalette::Base, pal.color(QPalette::Window));
            f->setPalette(pal);
        }
        f->setMinimumWidth(320);
        return f;
    };
    txtID = field("txtID", true);
    txtTeacherName = field("txtTeacherName", false);
    txtSubjectName = field("txtSubjectName", false);
    txtTestTitle = field("txtTestTitle", true);
    txtMemo = field("txtMemo", true);
    auto *form = new QFormLayout;
    form->addRow(tr("Exam ID:"), txtID);
    form->addRow(tr("Teacher:"), txtTeacherName);
    form->addRow(tr("Subject:"), txtSubjectName);
    form->addRow(tr("Title:"), txtTestTitle);
    form->addRow(tr("Memo:"), txtMemo);

    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(txtID, &QLineEdit::textEdited, this, &TitleSetController::controlTextDidChange);
    connect(btnOK, &QPushButton::clicked, this, &TitleSetController::onOK);
    connect(cancel, &QPushButton::clicked, this, &TitleSetController::onCancel);
}

bool TitleSetController::awakeFromNib()
{
    if (m_bIsPPT)
        return awakeFromNibPresentation();
    QString why;
    currentEPI = ExamPaperInfo::unarchiveObjectWithFile(m_filePath, &why);
    btnOK->setEnabled(currentEPI != nullptr);
    if (!currentEPI)
        return false;
    txtID->setText(QString::number(currentEPI->nExamPaperID()));
    txtTeacherName->setText(m_teacherName);
    txtSubjectName->setText(m_subjectName);
    // The set's own title; a set that has none yet is offered its file name.
    const QString stored = currentEPI->strExamPaperTitle();
    if (stored.isEmpty())
        ProposedText::propose(txtTestTitle, QFileInfo(m_filePath).fileName());
    else
        txtTestTitle->setText(stored);
    txtMemo->setText(currentEPI->strMemo());
    setMaxLength(txtID, kIdDigits)->setNumberFormater();
    setMaxLength(txtMemo, kMemoLength);
    return true;
}

int TitleSetController::runModal()
{
    if (!awakeFromNib()) {
        PollixAlert::show(parentWidget(), QStringLiteral("Warning"), QStringLiteral("Error format!"));
        return 0;
    }
    return DialogHooks::runModal(this);
}

void TitleSetController::controlTextDidChange()
{
    const QString number = QString::number(TextFormatter::leadingInteger(txtID->text()));
    if (txtID->text() != number)
        txtID->setText(number);
    // The next key press replaces a 0 or a full ID.
    if (number == QLatin1String("0") || number.size() >= kIdDigits)
        txtID->selectAll();
}

void TitleSetController::onOK()
{
    if (m_bIsPPT) {
        onOKPresentation();
        return;
    }
    if (!currentEPI)
        return; // nothing was read: nothing may be written over the file
    // An empty title would not stick: the next opening offers the file's name in its place.
    if (txtTestTitle->text().trimmed().isEmpty()) {
        PollixAlert::show(this, QStringLiteral("Pollix"), tr("Title should not be empty."), {tr("OK")});
        txtTestTitle->setFocus();
        return;
    }
    ExamPaperInfo updated = *currentEPI;
    updated.setStrMemo(txtMemo->text());
    updated.setStrExamPaperTitle(txtTestTitle->text());
    updated.setNExamPaperID(TextFormatter::leadingInteger(txtID->text()));
    QString why;
    if (!updated.writeToFile(m_filePath, &why)) {
        PollixAlert::show(this, QStringLiteral("Pollix ARS"), tr("The question file could not be saved."), {tr("OK")}, why);
        return;
    }
    currentEPI.reset();
    done(1);
}

void TitleSetController::onCancel()
{
    currentEPI.reset();
    done(0);
}

void TitleSetController::setTestID()
{
    if (m_nID <= 0)
        m_nID = XMLControl::sharedXMLUI()->getExamID().value_or(m_nID);
}

// ---- the set in an open presentation ----

bool TitleSetController::awakeFromNibPresentation()
{
    pptUI = PPTEditorMSO::shareManager();
    // The ID and the memo live on the first slide: without one there is nothing to show or keep.
    const bool open = pptUI->getCountOfSlide() > 0;
    btnOK->setEnabled(open);
    if (!open)
        return false;
    m_nID = QuestionSlideFormat::integerValue(pptUI->readTextBoxByName(QStringLiteral("ID"), 0));
    m_memo = pptUI->readTextBoxByName(QStringLiteral("Memo"), 0);
    m_testTitle = m_filePath.split(QLatin1Char('/')).last().section(QLatin1Char('.'), 0, 0);
    txtID->setText(QString::number(m_nID));
    txtTeacherName->setText(m_teacherName);
    txtSubjectName->setText(m_subjectName);
    txtTestTitle->setText(m_testTitle);
    // A deck's title is its file name: shown, not typed into, since OK keeps none.
    txtTestTitle->setReadOnly(true);
    txtTestTitle->setPalette(txtTeacherName->palette());
    txtMemo->setText(m_memo);
    setMaxLength(txtID, kIdDigits)->setNumberFormater();
    setMaxLength(txtMemo, kMemoLength);
    return true;
}

void TitleSetController::onOKPresentation()
{
    if (!pptUI)
        return;
    if (txtID->text().isEmpty()) {
        PollixAlert::show(this, QStringLiteral("Pollix"), QStringLiteral("Exam ID should not be empty."), {QStringLiteral("Yes")});
        return;
    }
    // A deck from elsewhere may lack the boxes: they are added, hidden, so that nothing typed is lost.
    const QList<std::pair<QString, QString>> boxes{{QStringLiteral("ID"), txtID->text()}, {QStringLiteral("Memo"), txtMemo->text()}};
    QList<std::pair<QString, QString>> before;
    for (const auto &[name, text] : boxes)
        before.append({name, pptUI->readTextBoxByName(name, 0)});
    // What the deck held goes back where the save does not happen: the texts stay in the dialog,
    // and the deck holds only what was saved, should the teacher give up here. A deck that was as
    // its file is so again: nothing is left to ask about on the way out, or to write as a run ends.
    const bool wasModified = pptUI->isModified();
    const auto putBack = [&] {
        for (const auto &[name, text] : before)
            pptUI->writeTextBoxByName(name, 0, text);
        pptUI->setModified(wasModified);
    };
    for (const auto &[name, text] : boxes) {
        if (!pptUI->writeTextBoxByName(name, 0, text) && !pptUI->addTextBox(0, name, text, true)) {
            putBack();
            PollixAlert::show(this, QStringLiteral("Pollix"), tr("The presentation could not be saved."), {tr("OK")},
                              tr("The first slide cannot take the box \"%1\".").arg(name));
            return;
        }
    }
    QString why;
    if (!PresentationSave::tell(this, pptUI->savePPT(&why), why)) {
        putBack();
        return;
    }
    done(1);
}
