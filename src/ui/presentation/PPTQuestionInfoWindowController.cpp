#include "PPTQuestionInfoWindowController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/QuestionInfoRules.h"
#include "core/authoring/TemplateData.h"
#include "core/base/ActivityCodes.h"
#include "core/presentation/QuestionSlideFormat.h"
#include "core/presentation/SlideQuestionRules.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/PPTEditorMSO.h"
#include "ui/authoring/AddSLides.h"
#include "ui/authoring/StandardController.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/PresentationSave.h"
#include "ui/controls/ProgressControl.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kOptions = 10;
constexpr int kNoCorrectCell = QuestionInfoRules::kNoCorrectCell;
const QString kNoCorrect = QStringLiteral("nocorrect");
const char *kLevels[] = {"Other", "Easy", "Normal", "Hard"};

void collectLeaves(const TemplateData::Node &node, QList<TemplateData> &out)
{
    if (node.data.isLeaf())
        out << node.data;
    for (const TemplateData::Node &child : node.children)
        collectLeaves(child, out);
}

void setBackground(QWidget *w, bool white)
{
    w->setStyleSheet(white ? QString() : QStringLiteral("background: #e4e4e4;"));
}
} // namespace

PPTQuestionInfoWindowController::Hooks &PPTQuestionInfoWindowController::hooks()
{
    static Hooks h;
    return h;
}

PPTQuestionInfoWindowController::PPTQuestionInfoWindowController(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PPTQuestionInfo"));
    setWindowTitle(tr("Slide Questions"));
    pptUI = PPTEditorMSO::shareManager();
    if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        m_deviceType = app->currentDeviceType();
    buildInterface();
    NotificationCenter::defaultCenter()->addObserver(this, Notify::PPTEditAddTemplateOver, [this](const Notification &n) {
        if (!m_closed)
            GetOverState(n.userInfo.value(Notify::Key::PptState).toInt(), n.userInfo.value(Notify::Key::SelectIndex).toInt());
    });
}

PPTQuestionInfoWindowController::~PPTQuestionInfoWindowController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

// ---- interface ----

void PPTQuestionInfoWindowController::buildInterface()
{
    auto *nav = new QHBoxLayout;
    cmbQuestionNo = new QComboBox(this);
    cmbQuestionNo->setObjectName(QStringLiteral("cmbQuestionNo"));
    cmbQuestionNo->setMinimumWidth(70);
    btnPrevious = new QPushButton(tr("Previous"), this);
    btnPrevious->setObjectName(QStringLiteral("btnPrevious"));
    btnNext = new QPushButton(tr("Next"), this);
    btnNext->setObjectName(QStringLiteral("btnNext"));
    // Template names are long and the bar is narrow: the list opens as wide as its names.
    cmbTemplate = new MyComboBox(this);
    cmbTemplate->setEditable(false);
    cmbTemplate->setObjectName(QStringLiteral("cmbTemplate"));
    btnAdd = new QPushButton(tr("Add"), this);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnDelete = new QPushButton(tr("Delete"), this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    btnSave = new QPushButton(tr("Save"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    for (QPushButton *b : {btnPrevious, btnNext, btnAdd, btnDelete, btnSave})
        b->setAutoDefault(false);
    nav->addWidget(new QLabel(tr("Question:"), this));
    nav->addWidget(cmbQuestionNo);
    nav->addWidget(btnPrevious);
    nav->addWidget(btnNext);
    nav->addSpacing(20);
    nav->addWidget(btnAdd);
    nav->addWidget(btnDelete);
    nav->addStretch(1);
    nav->addWidget(new QLabel(tr("Template for a new deck:"), this));
    nav->addWidget(cmbTemplate);
    nav->addSpacing(20);
    nav->addWidget(btnSave);

    auto *root = new QVBoxLayout(this);
    root->addLayout(nav);
    root->addWidget(buildForm(), 1);

    connect(btnPrevious, &QPushButton::clicked, this, &PPTQuestionInfoWindowController::onPrevious);
    connect(btnNext, &QPushButton::clicked, this, &PPTQuestionInfoWindowController::onNext);
    connect(btnAdd, &QPushButton::clicked, this, &PPTQuestionInfoWindowController::onAdd);
    connect(btnDelete, &QPushButton::clicked, this, &PPTQuestionInfoWindowController::onDelete);
    connect(btnSave, &QPushButton::clicked, this, &PPTQuestionInfoWindowController::onSave);
    connect(cmbQuestionNo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_bResettingMyself || index < 0)
            return;
        m_nCurrentQuestionNo = index;
        reloadQuestionInfo();
    });
}

QWidget *PPTQuestionInfoWindowController::buildForm()
{
    auto *form = new QWidget(this);
    auto *columns = new QHBoxLayout(form);
    columns->setContentsMargins(0, 0, 0, 0);

    // Texts: the question and its ten options.
    auto *texts = new QVBoxLayout;
    titleBox = new QGroupBox(tr("Question Title"), form);
    titleBox->setObjectName(QStringLiteral("titleBox"));
    questionTitle = new QPlainTextEdit(titleBox);
    questionTitle->setObjectName(QStringLiteral("questionTitle"));
    questionTitle->setFixedHeight(70);
    (new QVBoxLayout(titleBox))->addWidget(questionTitle);
    optionBox = new QGroupBox(tr("Answer Choice Setting"), form);
    optionBox->setObjectName(QStringLiteral("optionBox"));
    auto *optionGrid = new QGridLayout(optionBox);
    for (int k = 0; k < kOptions; ++k) {
        const QChar letter(u'A' + k);
        options[k] = new QPlainTextEdit(optionBox);
        options[k]->setObjectName(QStringLiteral("option%1").arg(letter));
        options[k]->setFixedHeight(44);
        // Narrow enough that the whole window fits a 1024-wide projector screen.
        options[k]->setMinimumWidth(190);
        optionGrid->addWidget(new QLabel(QString(letter), optionBox), k % 5, (k / 5) * 2);
        optionGrid->addWidget(options[k], k % 5, (k / 5) * 2 + 1);
    }
    // A slide of the teacher's own design holds no question boxes: nothing typed could be kept on it.
    noQuestionMessage = new QLabel(tr("This slide holds no question. To add a question slide, click Add and choose one "
                                      "of the template slides."),
                                   form);
    noQuestionMessage->setObjectName(QStringLiteral("noQuestionMessage"));
    noQuestionMessage->setWordWrap(true);
    noQuestionMessage->hide();
    optionMessage = new QLabel(tr("Arvel keypads answer A to F."), form);
    optionMessage->setObjectName(QStringLiteral("optionMessage"));
    texts->addWidget(noQuestionMessage);
    texts->addWidget(titleBox);
    texts->addWidget(optionBox, 1);
    texts->addWidget(optionMessage);

    // Settings: type, activity, numbers, difficulty, standard, answer.
    auto *settings = new QVBoxLayout;
    auto *fields = new QFormLayout;
    buildLists(form);
    fields->addRow(tr("Question Type:"), cmbQuestionType);
    fields->addRow(tr("Activity:"), cmbActionMode);
    const auto limitedField = [&](const char *name, int limit) {
        QLineEdit *f = numberField(form, name, int(QString::number(limit).size()));
        f->setMaximumWidth(80);
        connect(f, &QLineEdit::textEdited, this, [this, f] { numberChanged(f); });
        return f;
    };
    point = limitedField("point", QuestionInfoRules::kMaxPoint);
    timeLimit = limitedField("timeLimit", QuestionInfoRules::kMaxTime);
    rushPoint = limitedField("rushPoint", QuestionInfoRules::kMaxDePoint);
    rushTimeLimit = limitedField("rushTimeLimit", QuestionInfoRules::kMaxRushTime);
    checkBoxAllInSameTimePoint = applyBox(form, "checkBoxAllInSameTimePoint", tr("Apply to all questions"));
    checkBoxAllInSameTimePointForRush = applyBox(form, "checkBoxAllInSameTimePointForRush", tr("Apply to all questions"));
    checkBoxAllInSameLevel = applyBox(form, "checkBoxAllInSameLevel", tr("Apply to all questions"));
    // The two time labels share one width, so that the fields and boxes after them line up.
    auto *timeLabel = new QLabel(tr("Time (s):"), form);
    auto *rushTimeLabel = new QLabel(tr("Rush time (s):"), form);
    const int timeLabelWidth = std::max(timeLabel->sizeHint().width(), rushTimeLabel->sizeHint().width());
    timeLabel->setMinimumWidth(timeLabelWidth);
    rushTimeLabel->setMinimumWidth(timeLabelWidth);
    auto *pointRow = new QHBoxLayout;
    pointRow->addWidget(point);
    pointRow->addWidget(timeLabel);
    pointRow->addWidget(timeLimit);
    pointRow->addWidget(checkBoxAllInSameTimePoint);
    pointRow->addStretch(1);
    fields->addRow(tr("Points:"), pointRow);
    auto *rushRow = new QHBoxLayout;
    rushRow->addWidget(rushPoint);
    rushRow->addWidget(rushTimeLabel);
    rushRow->addWidget(rushTimeLimit);
    rushRow->addWidget(checkBoxAllInSameTimePointForRush);
    rushRow->addStretch(1);
    fields->addRow(tr("Rush points:"), rushRow);

    QStringList levels;
    for (const char *level : kLevels)
        levels << tr(level);
    buildDifficulty(form, this, levels, checkBoxAllInSameLevel);
    fields->addRow(tr("Difficulty:"), matrixDifficulty);

    txtStandard = new QLabel(form);
    txtStandard->setObjectName(QStringLiteral("txtStandard"));
    txtStandard->setWordWrap(true);
    btnStandard = new QPushButton(tr("Standard..."), form);
    btnStandard->setObjectName(QStringLiteral("btnStandard"));
    btnStandard->setAutoDefault(false);
    auto *standardRow = new QHBoxLayout;
    standardRow->addWidget(txtStandard, 1);
    standardRow->addWidget(btnStandard);
    fields->addRow(tr("Standard:"), standardRow);
    settings->addLayout(fields);

    // The correct answer: a grid of letters, ten boxes, or a free text.
    buildSingleAnswer(form, this, false);
    buildMultipleAnswer(form);
    for (int k = 0; k < kOptions; ++k)
        connect(checkBoxes[k], &QCheckBox::clicked, this, [this, k] { onChangeCorrectAnswerMulite(k); });
    buildOtherAnswer(form, tr("Correct Answer"), 50);
    checkBoxNoCorrectAnswer = applyBox(form, "checkBoxNoCorrectAnswer", tr("No correct answer"));
    settings->addWidget(singleBox);
    settings->addWidget(multipleBox);
    settings->addWidget(otherBox);
    settings->addWidget(checkBoxNoCorrectAnswer);
    settings->addStretch(1);

    columns->addLayout(texts, 3);
    columns->addLayout(settings, 2);

    connect(questionTitle, &QPlainTextEdit::textChanged, this, [this] { textChanged(questionTitle); });
    for (QPlainTextEdit *view : options)
        connect(view, &QPlainTextEdit::textChanged, this, [this, view] { textChanged(view); });
    connect(otherAnswer, &QPlainTextEdit::textChanged, this, [this] { textChanged(otherAnswer); });
    connect(cmbQuestionType, &QComboBox::currentIndexChanged, this, [this] { typeChanged(); });
    connect(cmbActionMode, &QComboBox::currentIndexChanged, this, [this] { activityChanged(); });
    for (QCheckBox *box : {checkBoxAllInSameTimePoint, checkBoxAllInSameLevel, checkBoxAllInSameTimePointForRush})
        connect(box, &QCheckBox::clicked, this, [this, box] { checkBoxAllInSame(box); });
    connect(checkBoxNoCorrectAnswer, &QCheckBox::clicked, this, &PPTQuestionInfoWindowController::noCorrectAnswerClicked);
    connect(answerCells, &QButtonGroup::idClicked, this, &PPTQuestionInfoWindowController::onChangeCorrectAnswer);
    connect(difficultyCells, &QButtonGroup::idClicked, this, &PPTQuestionInfoWindowController::onChangeDifficulty);
    connect(btnStandard, &QPushButton::clicked, this, &PPTQuestionInfoWindowController::onStandard);
    return form;
}

// ---- opening ----

int PPTQuestionInfoWindowController::runModal()
{
    awakeFromNib();
    return DialogHooks::runModal(this);
}

void PPTQuestionInfoWindowController::awakeFromNib()
{
    Resetting guard(m_bResettingMyself);
    m_nCurrentQuestionNo = qMax(0, pptUI->getIndexOfSelectPPT() - 1);
    cmbQuestionType->clear();
    m_arrayQuestionType.clear();
    for (const QuestionInfoRules::Entry &e : QuestionInfoRules::questionTypes(m_deviceType)) {
        cmbQuestionType->addItem(tr(qPrintable(e.text)));
        m_arrayQuestionType << e.code;
    }
    cmbActionMode->clear();
    for (const QString &name : SlideQuestionRules::activityNames(true))
        cmbActionMode->addItem(tr(qPrintable(name)));
    cmbTemplate->clear();
    QList<TemplateData> templates;
    collectLeaves(TemplateData::templateTree(1, m_deviceType), templates);
    for (const TemplateData &t : templates)
        cmbTemplate->addItem(t.name(), t.index());

    m_bSomeMessageChanged = false;
    InitQuestionArray();
    m_nCurrentQuestionNo = qBound(0, m_nCurrentQuestionNo, qMax(0, int(m_questions.size()) - 1));
    loadcmbQuestionNo(int(m_questions.size()), m_nCurrentQuestionNo);
    reloadQuestionInfo();
    btnDelete->setEnabled(m_questions.size() > 1);
    btnAdd->setEnabled(m_questions.size() < QuestionInfoRules::kMaxPages);
    // Arvel keypads answer A to F only.
    const int letters = QuestionInfoRules::singleAnswerLetters(m_deviceType);
    for (int k = 0; k < kOptions; ++k)
        answerCells->button(k)->setVisible(k < letters);
}

void PPTQuestionInfoWindowController::InitQuestionArray()
{
    m_questions.clear();
    const int count = pptUI->getCountOfSlide();
    // Reading a long deck takes a moment: the teacher sees how far it has got.
    ProgressControl progress(parentWidget());
    progress.setMaxValue(count);
    if (count > 1)
        progress.show();
    for (int i = 0; i < count; ++i) {
        m_questions << QuestionSlideFormat::readForEditor(*pptUI, i);
        progress.showProgress(i + 1);
    }
}

void PPTQuestionInfoWindowController::loadcmbQuestionNo(int count, int index)
{
    Resetting guard(m_bResettingMyself);
    cmbQuestionNo->clear();
    for (int i = 1; i <= count; ++i)
        cmbQuestionNo->addItem(QString::number(i));
    if (count >= 1)
        cmbQuestionNo->setCurrentIndex(qBound(0, index, count - 1));
}

// ---- the document ----

bool PPTQuestionInfoWindowController::hasCurrent() const
{
    return m_nCurrentQuestionNo >= 0 && m_nCurrentQuestionNo < m_questions.size();
}

QuizQuestionsElement &PPTQuestionInfoWindowController::current()
{
    return m_questions[m_nCurrentQuestionNo];
}

int PPTQuestionInfoWindowController::ask(const QString &question, const QStringList &buttons, PollixAlert::Default byDefault)
{
    QStringList titles;
    for (const QString &b : buttons.isEmpty() ? QStringList{QStringLiteral("Yes"), QStringLiteral("No")} : buttons)
        titles << tr(qPrintable(b));
    return PollixAlert::show(this, QStringLiteral("Pollix"), tr("Pollix"), titles, tr(qPrintable(question)), byDefault);
}

void PPTQuestionInfoWindowController::changed()
{
    m_bSomeMessageChanged = true;
}

void PPTQuestionInfoWindowController::onPrevious()
{
    if (cmbQuestionNo->currentIndex() > 0)
        cmbQuestionNo->setCurrentIndex(cmbQuestionNo->currentIndex() - 1);
}

void PPTQuestionInfoWindowController::onNext()
{
    if (cmbQuestionNo->currentIndex() + 1 < cmbQuestionNo->count())
        cmbQuestionNo->setCurrentIndex(cmbQuestionNo->currentIndex() + 1);
}

void PPTQuestionInfoWindowController::onAdd()
{
    if (pptUI->getCountOfSlide() == -1) {
        if (ask(QStringLiteral("The slide has been closed. Do you want to renew a PPT slide and add the questions?"))
            == PollixAlert::AlertFirstButtonReturn)
            reNewPPT();
        return;
    }
    if (hooks().runTemplatePicker) {
        hooks().runTemplatePicker(this);
        return;
    }
    AddSLides picker(this);
    picker.setAddType(1);
    picker.runForAddType();
}

void PPTQuestionInfoWindowController::GetOverState(int pptState, int templateIndex)
{
    if (pptState == 0)
        return;
    // The pasted slide is the presentation's last.
    m_nCurrentQuestionNo = int(m_questions.size());
    AddAQuestion(templateIndex);
    btnDelete->setEnabled(m_questions.size() > 1);
    {
        Resetting guard(m_bResettingMyself);
        cmbQuestionNo->addItem(QString::number(m_questions.size()));
        cmbQuestionNo->setCurrentIndex(cmbQuestionNo->count() - 1);
        for (QCheckBox *box : {checkBoxAllInSameTimePoint, checkBoxAllInSameLevel, checkBoxAllInSameTimePointForRush})
            box->setChecked(false);
    }
    reloadQuestionInfo();
    btnAdd->setEnabled(m_questions.size() < QuestionInfoRules::kMaxPages);
    // The slide is in the deck, not yet in its file.
    changed();
}

void PPTQuestionInfoWindowController::AddAQuestion(int templateIndex)
{
    Resetting guard(m_bResettingMyself);
    const int slide = m_nCurrentQuestionNo;
    QStringList texts;
    for (int k = 0; k < kOptions; ++k)
        texts << pptUI->readTextBoxByName(QStringLiteral("Option%1").arg(QChar(u'A' + k)), slide);
    m_questions << SlideQuestionRules::addedQuestion(pptUI->readTextBoxByName(QStringLiteral("Qu_Title"), slide), texts,
                                                     pptUI->getOptionCountbySlidePos(slide), templateIndex);
}

void PPTQuestionInfoWindowController::onDelete()
{
    if (pptUI->getCountOfSlide() == -1 || !hasCurrent())
        return;
    if (ask(QStringLiteral("Are you sure to delete this question?"), {}, PollixAlert::Default::LeavesAsIs)
        != PollixAlert::AlertFirstButtonReturn)
        return;
    // The question goes with its slide: when the slide stays, so does the question.
    if (!pptUI->deleteSlideIsWithPos(true, m_nCurrentQuestionNo)) {
        PollixAlert::show(this, QStringLiteral("Pollix"), tr("The slide could not be deleted."), {tr("OK")}, pptUI->lastErrorText());
        return;
    }
    m_questions.removeAt(m_nCurrentQuestionNo);
    if (m_nCurrentQuestionNo > 0)
        --m_nCurrentQuestionNo;
    btnDelete->setEnabled(m_questions.size() > 1);
    {
        Resetting guard(m_bResettingMyself);
        cmbQuestionNo->setCurrentIndex(m_nCurrentQuestionNo);
        cmbQuestionNo->removeItem(cmbQuestionNo->count() - 1);
    }
    reloadQuestionInfo();
    btnAdd->setEnabled(m_questions.size() <= QuestionInfoRules::kMaxPages - 1);
    changed();
}

void PPTQuestionInfoWindowController::reNewPPT()
{
    const int templateIndex = cmbTemplate->currentData().isValid() ? cmbTemplate->currentData().toInt() : 1;
    pptUI->quitPPT();
    QString why;
    if (!pptUI->startPPT() || !pptUI->deleteSlideIsWithPos(true, 0) || !pptUI->copySlideByIndex(templateIndex)
        || !pptUI->pasteSlide()) {
        PollixAlert::show(this, QStringLiteral("Pollix"), tr("The slide could not be added."), {tr("OK")}, pptUI->lastErrorText());
        return;
    }
    m_nCurrentQuestionNo = 0;
    m_questions.clear();
    AddAQuestion(templateIndex);
    reloadQuestionInfo();
    loadcmbQuestionNo(1, 0);
    btnDelete->setEnabled(false);
    btnAdd->setEnabled(true);
    changed();
}

void PPTQuestionInfoWindowController::onSave()
{
    if (pptUI->getCountOfSlide() == -1) {
        PollixAlert::show(this, QStringLiteral("Pollix"), tr("The slide has been closed. Please reopen the slide."));
        return;
    }
    // Only a save that reached the file clears the mark: declined or failed, the edits are still unsaved.
    if (saveMessage() && writeDeck())
        m_bSomeMessageChanged = false;
}

bool PPTQuestionInfoWindowController::writeDeck()
{
    return PresentationSave::saveWithExamId(this, *pptUI);
}

bool PPTQuestionInfoWindowController::saveMessage()
{
    // Only the slides that hold a question take one; the others were offered nothing to type.
    QList<int> slides;
    for (int i = 0; i < m_questions.size(); ++i)
        if (QuestionSlideFormat::holdsQuestion(*pptUI, i))
            slides << i;
    for (int i : std::as_const(slides)) {
        if (m_questions[i].nQuestionType() == QuestionType::TrueFalse
            && pptUI->readTextBoxByName(QStringLiteral("mode"), i) != QLatin1String("True or False")
            && ask(QStringLiteral("You will change question mode to True or False; original question content may be lost, "
                                  "are you sure you want to do this?"),
                   {}, PollixAlert::Default::LeavesAsIs)
                   != PollixAlert::AlertFirstButtonReturn)
            return false;
    }
    QString why;
    for (int i : std::as_const(slides)) {
        if (!QuestionSlideFormat::writeQuestion(*pptUI, i, m_questions[i], m_questions[i].nActionMode(), &why)) {
            PollixAlert::show(this, QStringLiteral("Pollix"), tr("The presentation could not be saved."), {tr("OK")}, why);
            return false;
        }
    }
    reloadQuestionInfo();
    return true;
}

bool PPTQuestionInfoWindowController::hasUnsavedChanges() const
{
    // The deck itself may have changed before the editor opened (a slide deleted or added from
    // the main window): its file lacks that as much as the editor's own edits.
    return m_bSomeMessageChanged || pptUI->isModified();
}

bool PPTQuestionInfoWindowController::windowShouldClose()
{
    if (hasUnsavedChanges()) {
        const PollixAlert::SaveAnswer answer =
            PollixAlert::askToSave(this, QStringLiteral("Pollix"), tr("Pollix"), {tr("Yes"), tr("No"), tr("Cancel")},
                                   tr("Contents have been changed, do you want to save?"));
        if (answer == PollixAlert::SaveAnswer::Cancel)
            return false;
        if (answer == PollixAlert::SaveAnswer::Save) {
            // A save declined or failed keeps the editor, with the edits, open.
            if (!saveMessage() || !writeDeck())
                return false;
            m_bSomeMessageChanged = false;
        }
    }
    NotificationCenter::defaultCenter()->postNotification(Notify::GetSaveState,
                                                          {{Notify::Key::SaveState, hasUnsavedChanges() ? 1 : 0}}, this);
    m_closed = true;
    return true;
}

void PPTQuestionInfoWindowController::closeEvent(QCloseEvent *event)
{
    if (!m_closed && !windowShouldClose()) {
        event->ignore();
        return;
    }
    QDialog::done(1);
    event->accept();
}

void PPTQuestionInfoWindowController::reject()
{
    close();
}

// ---- the form ----

bool PPTQuestionInfoWindowController::isVote() const
{
    return cmbActionMode->currentIndex() == SlideQuestionRules::kVoteIndex;
}

void PPTQuestionInfoWindowController::setEditable(QPlainTextEdit *view, bool editable, const QString &text)
{
    if (view->toPlainText() != text)
        view->setPlainText(text);
    view->setReadOnly(!editable);
    setBackground(view, editable);
}

void PPTQuestionInfoWindowController::setVoteOffered(bool offered)
{
    Resetting guard(m_bResettingMyself);
    if (offered && cmbActionMode->count() <= SlideQuestionRules::kVoteIndex)
        cmbActionMode->addItem(tr("Vote"));
    else if (!offered && cmbActionMode->count() > SlideQuestionRules::kVoteIndex)
        cmbActionMode->removeItem(SlideQuestionRules::kVoteIndex);
}

void PPTQuestionInfoWindowController::reloadQuestionInfo()
{
    Resetting guard(m_bResettingMyself);
    // The question shown is the slide the teacher has chosen: the main window's Delete takes it,
    // and the editor opens on it next time.
    if (hasCurrent())
        pptUI->setIndexOfSelectPPT(m_nCurrentQuestionNo + 1);
    m_currentHoldsQuestion = hasCurrent() && QuestionSlideFormat::holdsQuestion(*pptUI, m_nCurrentQuestionNo);
    noQuestionMessage->setVisible(hasCurrent() && !m_currentHoldsQuestion);
    bindQueMessage();
    bindTitleAndOption();
    bindCorrectAnswer();
    bindHelperForVote();
    bindControls();
}

void PPTQuestionInfoWindowController::bindQueMessage()
{
    if (!holdsQuestion()) {
        // A slide without a question has no settings to show; with no slide at all, those of a new question.
        const bool slide = hasCurrent();
        cmbQuestionType->setCurrentIndex(slide ? -1 : 0);
        cmbActionMode->setCurrentIndex(slide ? -1 : 0);
        point->setText(slide ? QString() : QStringLiteral("10"));
        timeLimit->setText(slide ? QString() : QStringLiteral("30"));
        rushPoint->setText(slide ? QString() : QStringLiteral("10"));
        rushTimeLimit->setText(slide ? QString() : QStringLiteral("30"));
        txtStandard->setText(tr("(none)"));
        return;
    }
    QuizQuestionsElement &q = current();
    int typeIndex = int(m_arrayQuestionType.indexOf(q.nQuestionType()));
    if (typeIndex < 0) {
        // A type these keypads cannot answer: the question becomes a page without a question.
        q.setNQuestionType(QuestionType::TeachingPlan);
        typeIndex = int(m_arrayQuestionType.indexOf(QuestionType::TeachingPlan));
        changed();
    }
    cmbQuestionType->setCurrentIndex(typeIndex);
    const bool single = q.nQuestionType() == QuestionType::SingleAnswer;
    setVoteOffered(single);
    // Only a single-answer question is a vote.
    if (q.nActionMode() < 0 || q.nActionMode() >= cmbActionMode->count())
        q.setNActionMode(0);
    cmbActionMode->setCurrentIndex(q.nActionMode());
    if (QAbstractButton *cell = difficultyCells->button(qBound(0, q.nDiffcult(), 3)))
        cell->setChecked(true);
    point->setText(QString::number(q.nPoint()));
    timeLimit->setText(QString::number(q.nQuizTime()));
    rushPoint->setText(QString::number(q.nRushPoint()));
    rushTimeLimit->setText(QString::number(q.nRushTime()));
    const QString code = q.strStandard();
    txtStandard->setText(code.isEmpty() ? tr("(none)") : code + QStringLiteral("  ") + q.strStandardTitle());
}

void PPTQuestionInfoWindowController::bindTitleAndOption()
{
    if (!holdsQuestion()) {
        setEditable(questionTitle, false, QString());
        for (QPlainTextEdit *view : options)
            setEditable(view, false, QString());
        return;
    }
    QuizQuestionsElement &q = current();
    const int type = q.nQuestionType();
    q.setNOptionNum(SlideQuestionRules::optionCount(type, pptUI->getAllOptionCountbySlidePos(m_nCurrentQuestionNo)));
    const int shown = SlideQuestionRules::shownOptions(type, q.nOptionNum());
    setEditable(questionTitle, true, q.strTitle());
    const int letters = QuestionInfoRules::singleAnswerLetters(m_deviceType);
    for (int k = 0; k < kOptions; ++k) {
        const bool offered = k < shown;
        if (type == QuestionType::TrueFalse && k < 2)
            setEditable(options[k], false, k == 0 ? QStringLiteral("True") : QStringLiteral("False"));
        else
            setEditable(options[k], offered, offered ? q.strOption(k) : QString());
        answerCells->button(k)->setEnabled(offered && k < letters);
        checkBoxes[k]->setEnabled(offered);
    }
}

void PPTQuestionInfoWindowController::bindCorrectAnswer()
{
    if (!holdsQuestion()) {
        showNoAnswerToChoose();
        return;
    }
    if (isVote())
        return;
    QuizQuestionsElement &q = current();
    const int type = q.nQuestionType();
    const bool choice = type == QuestionType::SingleAnswer || type == QuestionType::TrueFalse;
    singleBox->setVisible(choice);
    multipleBox->setVisible(type == QuestionType::MultipleAnswer);
    otherBox->setVisible(!choice && type != QuestionType::MultipleAnswer);
    // The single-answer grid has a cell of its own for no correct answer.
    checkBoxNoCorrectAnswer->setVisible(type == QuestionType::MultipleAnswer);
    // Corrections of the answer are no edit of the teacher's.
    q.setStrAnswer(SlideQuestionRules::formAnswer(type, q.strAnswer()));
    const QString answer = q.strAnswer();
    if (choice) {
        const int cell = answer == kNoCorrect ? kNoCorrectCell : answer.at(0).unicode() - u'A';
        if (QAbstractButton *b = answerCells->button(cell))
            b->setChecked(true);
        checkBoxNoCorrectAnswer->setChecked(answer == kNoCorrect);
    } else if (type == QuestionType::MultipleAnswer) {
        checkBoxNoCorrectAnswer->setChecked(answer == kNoCorrect);
        for (int k = 0; k < kOptions; ++k)
            checkBoxes[k]->setChecked(answer != kNoCorrect && answer.contains(QChar(u'A' + k)));
    } else if (type == QuestionType::Cloze || type == QuestionType::ShortAnswer) {
        setEditable(otherAnswer, true, answer == kNoCorrect ? QString() : answer);
    } else {
        setEditable(otherAnswer, false, QString());
    }
}

void PPTQuestionInfoWindowController::showNoAnswerToChoose()
{
    singleBox->hide();
    multipleBox->hide();
    otherBox->show();
    checkBoxNoCorrectAnswer->hide();
    setEditable(otherAnswer, false, QString());
}

void PPTQuestionInfoWindowController::bindHelperForVote()
{
    const bool vote = isVote();
    cmbQuestionType->setEnabled(!vote && holdsQuestion());
    titleBox->setTitle(vote ? tr("Vote Title") : tr("Question Title"));
    optionBox->setTitle(vote ? tr("Vote Choice Setting") : tr("Answer Choice Setting"));
    if (vote)
        showNoAnswerToChoose();
    const bool single = holdsQuestion() && current().nQuestionType() == QuestionType::SingleAnswer;
    optionMessage->setVisible(m_deviceType == DeviceType::Arvel && single && !vote);
}

void PPTQuestionInfoWindowController::bindControls()
{
    const int type = holdsQuestion() ? current().nQuestionType() : QuestionType::TeachingPlan;
    const QuestionInfoRules::Controls c = QuestionInfoRules::controls(m_deviceType, type, isVote() ? ActionMode::Vote : 0);
    enableControls(c, setBackground);
    // The activity is chosen for a question the keypads can answer.
    cmbActionMode->setEnabled(c.timeLimit);
    btnStandard->setEnabled(holdsQuestion());
}

// ---- edits ----

void PPTQuestionInfoWindowController::numberChanged(QLineEdit *field)
{
    if (m_bResettingMyself || !holdsQuestion())
        return;
    const int limit = limitOf(field);
    const int typed = field->text().toInt();
    const int value = QuestionInfoRules::clampValue(typed, limit);
    if (value != typed || field->text() != QString::number(typed)) {
        field->setText(QString::number(value));
        field->selectAll();
    }
    QuizQuestionsElement &q = current();
    if (field == point)
        q.setNPoint(value);
    else if (field == timeLimit)
        q.setNQuizTime(value);
    else if (field == rushPoint)
        q.setNRushPoint(value);
    else
        q.setNRushTime(value);
    Resetting guard(m_bResettingMyself);
    if (field == point || field == timeLimit)
        checkBoxAllInSameTimePoint->setChecked(false);
    else
        checkBoxAllInSameTimePointForRush->setChecked(false);
    changed();
}

void PPTQuestionInfoWindowController::textChanged(QPlainTextEdit *view)
{
    if (m_bResettingMyself || !holdsQuestion() || view->isReadOnly())
        return;
    QuizQuestionsElement &q = current();
    const QString text = view->toPlainText();
    if (view == otherAnswer) {
        const int limit = QuestionInfoRules::writtenAnswerLimit(m_deviceType);
        if (text.size() > limit) {
            Resetting guard(m_bResettingMyself);
            view->setPlainText(text.left(limit));
            view->moveCursor(QTextCursor::End);
        }
        q.setStrAnswer(view->toPlainText());
        changed();
        return;
    }
    const int k = int(std::find(std::begin(options), std::end(options), view) - std::begin(options));
    const QString before = view == questionTitle ? q.strTitle() : q.strOption(k);
    if (text.size() > QuestionInfoRules::kMaxTextLength) {
        // An edit past the limit is refused whole, a paste as much as a typed character.
        Resetting guard(m_bResettingMyself);
        view->setPlainText(before);
        view->moveCursor(QTextCursor::End);
        return;
    }
    if (view == questionTitle)
        q.setStrTitle(text);
    else
        q.setStrOption(k, text);
    changed();
}

void PPTQuestionInfoWindowController::typeChanged()
{
    if (m_bResettingMyself || !holdsQuestion())
        return;
    const int index = cmbQuestionType->currentIndex();
    if (index < 0 || index >= m_arrayQuestionType.size())
        return;
    QuizQuestionsElement &q = current();
    const int type = m_arrayQuestionType[index];
    q.setNQuestionType(type);
    q.setNOptionNum(SlideQuestionRules::optionCount(type, pptUI->getAllOptionCountbySlidePos(m_nCurrentQuestionNo)));
    if (type != QuestionType::SingleAnswer && q.nActionMode() == SlideQuestionRules::kVoteIndex)
        q.setNActionMode(0);
    changed();
    reloadQuestionInfo();
}

void PPTQuestionInfoWindowController::activityChanged()
{
    if (m_bResettingMyself || !holdsQuestion())
        return;
    current().setNActionMode(qMax(0, cmbActionMode->currentIndex()));
    changed();
    reloadQuestionInfo();
}

void PPTQuestionInfoWindowController::checkBoxAllInSame(QCheckBox *box)
{
    if (m_bResettingMyself || !holdsQuestion() || !box->isChecked())
        return;
    if (ask(QStringLiteral("Are you sure to apply these settings to all questions?"), {}, PollixAlert::Default::LeavesAsIs)
        != PollixAlert::AlertFirstButtonReturn) {
        Resetting guard(m_bResettingMyself);
        box->setChecked(false);
        return;
    }
    using A = SlideQuestionRules::ApplyToAll;
    const A what = box == checkBoxAllInSameTimePoint ? A::TimeAndPoints : box == checkBoxAllInSameLevel ? A::Level : A::RushTimeAndPoints;
    SlideQuestionRules::applyToAll(m_questions, what, current());
    changed();
}

void PPTQuestionInfoWindowController::noCorrectAnswerClicked()
{
    if (m_bResettingMyself || !holdsQuestion())
        return;
    Resetting guard(m_bResettingMyself);
    if (checkBoxNoCorrectAnswer->isChecked()) {
        current().setStrAnswer(kNoCorrect);
        for (QCheckBox *box : checkBoxes)
            box->setChecked(false);
        if (QAbstractButton *cell = answerCells->button(kNoCorrectCell))
            cell->setChecked(true);
    }
    changed();
}

void PPTQuestionInfoWindowController::onChangeCorrectAnswerMulite(int letter)
{
    if (m_bResettingMyself || !holdsQuestion())
        return;
    Resetting guard(m_bResettingMyself);
    checkBoxNoCorrectAnswer->setChecked(false);
    QList<bool> ticked;
    for (QCheckBox *box : checkBoxes)
        ticked << box->isChecked();
    bool refused = false;
    const QString answer =
        SlideQuestionRules::multipleAnswer(ticked, QuestionInfoRules::multipleAnswerLimit(m_deviceType), letter, &refused);
    if (refused)
        checkBoxes[letter]->setChecked(false);
    current().setStrAnswer(answer);
    changed();
}

void PPTQuestionInfoWindowController::onChangeCorrectAnswer(int cell)
{
    if (m_bResettingMyself || !holdsQuestion())
        return;
    Resetting guard(m_bResettingMyself);
    checkBoxNoCorrectAnswer->setChecked(cell == kNoCorrectCell);
    current().setStrAnswer(cell == kNoCorrectCell ? kNoCorrect : QString(QChar(u'A' + cell)));
    changed();
}

void PPTQuestionInfoWindowController::onChangeDifficulty(int cell)
{
    if (m_bResettingMyself || !holdsQuestion())
        return;
    current().setNDiffcult(cell);
    Resetting guard(m_bResettingMyself);
    checkBoxAllInSameLevel->setChecked(false);
    changed();
}

void PPTQuestionInfoWindowController::onStandard()
{
    if (!holdsQuestion())
        return;
    StandardController standards(this);
    standards.setStandardName(current().strStandard());
    standards.awakeFromNib();
    if (DialogHooks::runModal(&standards) != 1)
        return;
    current().setStrStandard(standards.standardNameSelected());
    current().setStrStandardTitle(standards.standardTitleSelected());
    changed();
    reloadQuestionInfo();
}
