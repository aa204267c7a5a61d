#include "QuestionInfoWindowController.h"

#include "AddSLides.h"
#include "Questions.h"
#include "SmallQuestions.h"
#include "TextFormatPanels.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/QuestionInfoRules.h"
#include "core/authoring/TemplateData.h"
#include "core/base/ActivityCodes.h"
#include "core/engine/QuizQuestions.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/TextFormatter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
using Rules = QuestionInfoRules;
constexpr int kColumns = 5;
const QString kNoCorrect = QStringLiteral("nocorrect");
const QColor kWhite(Qt::white);
const QColor kGrey(0xe4, 0xe4, 0xe4);
const QColor kLightGrey(0xf0, 0xf0, 0xf0);

QString letter(int k)
{
    return QString(QChar(u'A' + k));
}

void setBase(QWidget *w, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, color);
    w->setPalette(pal);
}
} // namespace

QuestionInfoWindowController::QuestionInfoWindowController(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("QuestionInfo"));
    setWindowTitle(tr("Question Properties"));
    setAttribute(Qt::WA_DeleteOnClose);
    qqObject = QuizQuestions::shareManager();
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    m_nDeviceType = app ? app->currentDeviceType() : -1;
    buildInterface();

    auto *center = NotificationCenter::defaultCenter();
    center->addObserver(this, Notify::PXAddTemplateOver, [this](const Notification &n) {
        GetOverState(n.userInfo.value(Notify::Key::SelectIndex, -1).toInt());
    });
    // The editor's canvas may change its current page or its pages while this window is open
    // (a thumbnail pressed, a page added or deleted there): this window follows, so that what
    // it shows, changes and deletes is always the canvas's current page.
    for (const QLatin1String name : {Notify::ChangeQuestionDisplay, Notify::BigQuestionDeleteKey, Notify::QuestionInfoPostAddTemplate})
        center->addObserver(this, name, [this](const Notification &) {
            QMetaObject::invokeMethod(this, [this] { syncWithCanvas(); }, Qt::QueuedConnection);
        });
}

QuestionInfoWindowController::~QuestionInfoWindowController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void QuestionInfoWindowController::buildInterface()
{
    auto *root = new QVBoxLayout(this);

    // Page, type and mode.
    auto *head = new QHBoxLayout;
    cmbQuestionNo = new QComboBox(this);
    cmbQuestionNo->setObjectName(QStringLiteral("cmbQuestionNo"));
    cmbQuestionNo->setMinimumWidth(60);
    btnPrevious = new QPushButton(QStringLiteral("<"), this);
    btnPrevious->setObjectName(QStringLiteral("btnPrevious"));
    btnPrevious->setFixedWidth(32);
    btnNext = new QPushButton(QStringLiteral(">"), this);
    btnNext->setObjectName(QStringLiteral("btnNext"));
    btnNext->setFixedWidth(32);
    buildLists(this);
    cmbQuestionType->setMinimumWidth(150);
    cmbActionMode->setMinimumWidth(120);
    head->addWidget(new QLabel(tr("Question"), this));
    head->addWidget(cmbQuestionNo);
    head->addWidget(btnPrevious);
    head->addWidget(btnNext);
    head->addSpacing(12);
    head->addWidget(new QLabel(tr("Type"), this));
    head->addWidget(cmbQuestionType);
    head->addSpacing(12);
    head->addWidget(new QLabel(tr("Activity"), this));
    head->addWidget(cmbActionMode);
    head->addStretch(1);
    btnAdd = new QPushButton(tr("Add..."), this);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnDelete = new QPushButton(tr("Delete"), this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    auto *btnFont = new QPushButton(tr("Fonts"), this);
    btnFont->setObjectName(QStringLiteral("btnFontPanel"));
    auto *btnColor = new QPushButton(tr("Colors"), this);
    btnColor->setObjectName(QStringLiteral("btnColorPanel"));
    for (QPushButton *b : {btnAdd, btnDelete, btnFont, btnColor})
        head->addWidget(b);
    root->addLayout(head);

    // Points, times, difficulty.
    auto *settings = new QGroupBox(tr("Scoring and Time"), this);
    auto *grid = new QGridLayout(settings);
    const auto field = [&](const char *name, int row, int column, const QString &label, const QString &unit) {
        QLineEdit *f = numberField(settings, name, 4);
        f->setFixedWidth(60);
        grid->addWidget(new QLabel(label, settings), row, column);
        auto *cell = new QHBoxLayout;
        cell->addWidget(f);
        cell->addWidget(new QLabel(unit, settings));
        cell->addStretch(1);
        grid->addLayout(cell, row, column + 1);
        connect(f, &QLineEdit::textEdited, this, [this, f] { numberChanged(f); });
        return f;
    };
    point = field("point", 0, 0, tr("Points"), tr("(1-250)"));
    timeLimit = field("timeLimit", 0, 2, tr("Answer Time"), tr("s (1-900)"));
    rushPoint = field("rushPoint", 1, 0, tr("Deduction"), tr("(1-250)"));
    rushTimeLimit = field("rushTimeLimit", 1, 2, tr("Rush Time"), tr("s (1-240)"));
    checkBoxAllInSameTimePoint = applyBox(settings, "checkBoxAllInSameTimePoint", tr("Apply points and time to all questions"));
    checkBoxAllInSameTimePointForRush =
        applyBox(settings, "checkBoxAllInSameTimePointForRush", tr("Apply rush time to all questions"));
    grid->addWidget(checkBoxAllInSameTimePoint, 0, 4);
    grid->addWidget(checkBoxAllInSameTimePointForRush, 1, 4);
    buildDifficulty(settings, this, {tr("Very Easy"), tr("Easy"), tr("Medium"), tr("Hard"), tr("Very Hard")});
    grid->addWidget(new QLabel(tr("Difficulty"), settings), 2, 0);
    grid->addWidget(matrixDifficulty, 2, 1, 1, 3);
    checkBoxAllInSameLevel = applyBox(settings, "checkBoxAllInSameLevel", tr("Apply difficulty to all questions"));
    grid->addWidget(checkBoxAllInSameLevel, 2, 4);
    grid->setColumnStretch(4, 1);
    root->addWidget(settings);

    // Texts.
    auto *texts = new QGroupBox(tr("Question and Options"), this);
    auto *textGrid = new QGridLayout(texts);
    const auto textView = [&](const QString &name) {
        auto *v = new QTextEdit(texts);
        v->setObjectName(name);
        v->setAcceptRichText(true);
        v->setFont(BaseTextView::defaultFont());
        v->document()->setDefaultFont(BaseTextView::defaultFont());
        v->installEventFilter(this);
        return v;
    };
    questionTitle = textView(QStringLiteral("questionTitle"));
    questionTitle->setFixedHeight(64);
    textGrid->addWidget(new QLabel(tr("Question"), texts), 0, 0, Qt::AlignTop);
    textGrid->addWidget(questionTitle, 0, 1, 1, 3);
    connect(questionTitle, &QTextEdit::textChanged, this, [this] { textChanged(questionTitle, MyTextView::RoleQuestion); });
    for (int k = 0; k < 10; ++k) {
        options[k] = textView(QStringLiteral("option") + letter(k));
        options[k]->setFixedHeight(40);
        const int row = 1 + k / 2, column = (k % 2) * 2;
        textGrid->addWidget(new QLabel(letter(k), texts), row, column, Qt::AlignTop | Qt::AlignRight);
        textGrid->addWidget(options[k], row, column + 1);
        connect(options[k], &QTextEdit::textChanged, this, [this, k] { textChanged(options[k], MyTextView::RoleOptionA + k); });
    }
    root->addWidget(texts);

    // Answer areas: exactly one is shown.
    auto *answers = new QHBoxLayout;
    buildSingleAnswer(this, this, true);
    buildMultipleAnswer(this);
    for (int k = 0; k < 10; ++k)
        connect(checkBoxes[k], &QCheckBox::clicked, this, [this, k] { onChangeCorrectAnswerMulite(checkBoxes[k]); });
    noCorrectAnswerBox = applyBox(multipleBox, "checkBoxNoCorrectAnswer", tr("No correct answer"));
    static_cast<QGridLayout *>(multipleBox->layout())->addWidget(noCorrectAnswerBox, 2, 0, 1, kColumns);
    buildOtherAnswer(this, tr("Answer"), 60);
    for (QGroupBox *b : {singleBox, multipleBox, otherBox}) {
        b->setMinimumHeight(130);
        answers->addWidget(b, 1);
    }
    root->addLayout(answers);
    optionMessage = new QLabel(this);
    optionMessage->setObjectName(QStringLiteral("optionMessage"));
    optionMessage->setWordWrap(true);
    root->addWidget(optionMessage);

    connect(cmbQuestionNo, &QComboBox::activated, this, [this](int i) { showPage(i + 1); });
    connect(btnPrevious, &QPushButton::clicked, this, &QuestionInfoWindowController::onPrevious);
    connect(btnNext, &QPushButton::clicked, this, &QuestionInfoWindowController::onNext);
    connect(cmbQuestionType, &QComboBox::activated, this, [this] { typeChanged(); });
    connect(cmbActionMode, &QComboBox::activated, this, [this] { modeChanged(); });
    connect(answerCells, &QButtonGroup::idClicked, this, &QuestionInfoWindowController::onChangeCorrectAnswer);
    connect(difficultyCells, &QButtonGroup::idClicked, this, &QuestionInfoWindowController::onChangeDifficulty);
    connect(noCorrectAnswerBox, &QCheckBox::clicked, this, &QuestionInfoWindowController::checkBoxNoCorrectAnswer);
    for (QCheckBox *b : {checkBoxAllInSameTimePoint, checkBoxAllInSameLevel, checkBoxAllInSameTimePointForRush})
        connect(b, &QCheckBox::clicked, this, [this, b] { checkBoxAllInSame(b); });
    connect(otherAnswer, &QPlainTextEdit::textChanged, this, &QuestionInfoWindowController::otherAnswerChanged);
    connect(btnAdd, &QPushButton::clicked, this, &QuestionInfoWindowController::onAdd);
    connect(btnDelete, &QPushButton::clicked, this, &QuestionInfoWindowController::onDelete);
    connect(btnFont, &QPushButton::clicked, this, &QuestionInfoWindowController::onFontPanel);
    connect(btnColor, &QPushButton::clicked, this, &QuestionInfoWindowController::onColorPanel);
}

QuestionSetView *QuestionInfoWindowController::qsv() const
{
    if (!m_canvas)
        return nullptr;
    const int i = m_nCurrentQuestionNo - 1;
    return i >= 0 && i < m_canvas->questions().size() ? m_canvas->questions()[i].get() : nullptr;
}

int QuestionInfoWindowController::selectedType() const
{
    return cmbQuestionType->currentIndex() >= 0 ? cmbQuestionType->currentData().toInt() : -1;
}

void QuestionInfoWindowController::showWindow()
{
    awakeFromNib();
    show();
    raise();
    activateWindow();
}

void QuestionInfoWindowController::awakeFromNib()
{
    const Resetting filling(nResettingMyself);
    const int count = m_canvas ? int(m_canvas->questions().size()) : 0;
    m_nCurrentQuestionNo = qBound(count ? 1 : 0, m_nCurrentQuestionNo, count);
    reloadcmbQuestionNo(count, m_nCurrentQuestionNo - 1);
    rebuildQuestionsOption();
    btnDelete->setEnabled(count > 1);
    btnAdd->setEnabled(count < Rules::kMaxPages);
    if (m_nDeviceType == DeviceType::Arvel) {
        // Arvel keypads answer A to F.
        for (int k = Rules::singleAnswerLetters(1); k < 10; ++k)
            answerCells->button(k)->hide();
    }
    reloadQuestionInfo();
}

void QuestionInfoWindowController::reloadcmbQuestionNo(int count, int index)
{
    const QSignalBlocker block(cmbQuestionNo);
    cmbQuestionNo->clear();
    for (int i = 1; i <= count; ++i)
        cmbQuestionNo->addItem(QString::number(i));
    cmbQuestionNo->setCurrentIndex(index);
}

void QuestionInfoWindowController::rebuildQuestionsOption()
{
    questionsOption.clear();
    if (m_canvas)
        for (const QuestionSetViewPtr &page : m_canvas->questions())
            questionsOption.append(page->getOptionNum());
}

void QuestionInfoWindowController::fillTypeList(int pageType)
{
    const QSignalBlocker block(cmbQuestionType);
    cmbQuestionType->clear();
    for (const Rules::Entry &e : Rules::questionTypes(m_nDeviceType))
        cmbQuestionType->addItem(e.text, e.code);
    if (!Rules::isTypeOffered(m_nDeviceType, pageType) && !Rules::questionTypeName(pageType).isEmpty())
        cmbQuestionType->addItem(tr("%1 (not supported by these keypads)").arg(Rules::questionTypeName(pageType)), pageType);
    cmbQuestionType->setCurrentIndex(cmbQuestionType->findData(pageType));
}

void QuestionInfoWindowController::fillModeList(bool withVote)
{
    const QSignalBlocker block(cmbActionMode);
    const int current = cmbActionMode->currentData().toInt();
    const bool hadEntries = cmbActionMode->count() > 0;
    cmbActionMode->clear();
    for (const Rules::Entry &e : Rules::actionModes(withVote))
        cmbActionMode->addItem(e.text, e.code);
    if (hadEntries)
        cmbActionMode->setCurrentIndex(qMax(0, cmbActionMode->findData(current)));
}

void QuestionInfoWindowController::selectMode(int mode)
{
    const QSignalBlocker block(cmbActionMode);
    cmbActionMode->setCurrentIndex(qMax(0, cmbActionMode->findData(mode)));
}

void QuestionInfoWindowController::updateOptionMessage()
{
    QuestionSetView *page = qsv();
    if (!page)
        return;
    const int type = page->nQuestionType();
    if (!Rules::isTypeOffered(m_nDeviceType, type)) {
        optionMessage->setText(tr("The keypads of this receiver cannot answer this question type. Choose another type, "
                                  "or the question cannot be started."));
        optionMessage->show();
    } else if (m_nDeviceType == DeviceType::Arvel && type == QuestionType::SingleAnswer
               && page->nQuestionActionMode() != ActionMode::Vote) {
        optionMessage->setText(tr("Arvel keypads answer with the letters A to F."));
        optionMessage->show();
    } else {
        optionMessage->hide();
    }
}

void QuestionInfoWindowController::reloadQuestionInfo()
{
    QuestionSetView *page = qsv();
    if (!page)
        return;
    const Resetting filling(nResettingMyself);
    fillTypeList(page->nQuestionType());
    m_nLastQueType = cmbQuestionType->currentIndex();
    fillModeList(page->nQuestionType() == QuestionType::SingleAnswer);
    selectMode(page->nQuestionActionMode());
    cmbActionMode->setEnabled(page->nQuestionType() != QuestionType::TeachingPlan);
    cmbQuestionType->setEnabled(page->nQuestionActionMode() != ActionMode::Vote);
    updateOptionMessage();
    const int d = page->nQuestionDifficulty();
    if (QAbstractButton *cell = difficultyCells->button(d))
        cell->setChecked(true);
    point->setText(QString::number(page->nQuestionPoint()));
    timeLimit->setText(QString::number(page->nQuestionTimeLimit()));
    rushPoint->setText(QString::number(page->nQuestionDePoint()));
    rushTimeLimit->setText(QString::number(page->nQuestionRushTimeLimit()));
    setQueAnswer(page->strAnswer());
    bindHelperForOption(page->nQuestionType());
    bindHelperForMessage();
}

void QuestionInfoWindowController::setQueAnswer(const QString &answer)
{
    QuestionSetView *page = qsv();
    const int t = page ? page->nQuestionType() : selectedType();
    const QString shown = Rules::shownAnswer(answer, t);
    // "Vote" belongs to single-answer questions only.
    if (t == QuestionType::SingleAnswer && cmbActionMode->count() == 3) {
        const QSignalBlocker block(cmbActionMode);
        cmbActionMode->addItem(QStringLiteral("Vote"), ActionMode::Vote);
    } else if (t != QuestionType::SingleAnswer && cmbActionMode->count() > 3) {
        const QSignalBlocker block(cmbActionMode);
        cmbActionMode->removeItem(3);
    }
    // An answer that is empty already means no correct answer; only a different one is replaced.
    const auto noCorrect = [page] {
        if (page && !page->strAnswer().isEmpty() && page->strAnswer() != kNoCorrect)
            page->setStrAnswer(kNoCorrect);
    };
    const bool arvel = m_nDeviceType == DeviceType::Arvel;
    if (t == QuestionType::SingleAnswer || t == QuestionType::TrueFalse) {
        bool reset = false;
        const int cell = Rules::singleAnswerCell(shown, &reset);
        answerCells->button(cell)->setChecked(true);
        if (reset)
            noCorrect();
    } else if (t == QuestionType::MultipleAnswer && !arvel) {
        bool any = false;
        for (int k = 0; k < 10; ++k) {
            checkBoxes[k]->setChecked(shown != kNoCorrect && shown.contains(letter(k)));
            any = any || checkBoxes[k]->isChecked();
        }
        noCorrectAnswerBox->setChecked(shown == kNoCorrect || !any);
        if (!any)
            noCorrect();
    } else if (t == QuestionType::TeachingPlan) {
        const QSignalBlocker block(otherAnswer);
        otherAnswer->clear();
    } else if ((t == QuestionType::Cloze || t == QuestionType::ShortAnswer) && !arvel) {
        const QSignalBlocker block(otherAnswer);
        otherAnswer->setPlainText(shown == kNoCorrect ? QString() : shown);
    }
}

void QuestionInfoWindowController::setViewText(QTextEdit *view, const MyTextView *box, bool editable)
{
    const QSignalBlocker block(view);
    if (box)
        BaseTextView::setParagraphsOf(*view->document(), box->textview()->paragraphs());
    else
        view->clear();
    view->setReadOnly(!editable);
    setBase(view, editable ? kWhite : kGrey);
}

void QuestionInfoWindowController::copyIntoBoxes(int role, const QList<BaseTextView::Paragraph> &text)
{
    QuestionSetView *page = qsv();
    if (!page)
        return;
    if (MyTextView *box = page->boxWithRole(role))
        box->textview()->setParagraphs(text);
    if (m_strip && m_nCurrentQuestionNo >= 1 && m_nCurrentQuestionNo <= m_strip->array().size())
        if (MyTextView *thumb = m_strip->array()[m_nCurrentQuestionNo - 1]->boxWithRole(role))
            thumb->textview()->setParagraphs(text);
    if (m_strip)
        m_strip->update();
    if (m_canvas)
        m_canvas->update();
}

bool QuestionInfoWindowController::bindHelperForOption(int previousType)
{
    QuestionSetView *page = qsv();
    if (!page)
        return true;
    const int t = page->nQuestionType();
    if (t == QuestionType::TrueFalse && previousType != QuestionType::TrueFalse && nResettingMyself == 0) {
        const int answer = PollixAlert::show(
            this, QStringLiteral("Pollix"), QStringLiteral("Pollix"), {tr("Yes"), tr("No")},
            tr("You will change question mode to True or False; original question content may be lost, are you sure "
               "you want to do this?"),
            PollixAlert::Default::LeavesAsIs);
        if (answer != PollixAlert::AlertFirstButtonReturn) {
            // Back to the type before, as if the teacher had chosen it again; the texts stay.
            const QSignalBlocker block(cmbQuestionType);
            cmbQuestionType->setCurrentIndex(m_nLastQueType);
            applyType(selectedType(), selectedType());
            return false;
        }
    }
    // A type the keypads cannot answer leaves the page as it is, option boxes included.
    if (Rules::isTypeOffered(m_nDeviceType, t))
        page->setOptionHide(m_nDeviceType);

    const MyTextView *question = page->getQuestionTitle();
    if (t == QuestionType::TrueFalse) {
        setViewText(questionTitle, question, question != nullptr);
        for (int k = 0; k < 10; ++k) {
            const bool trueFalse = k < 2;
            answerCells->button(k)->setEnabled(trueFalse);
            checkBoxes[k]->setEnabled(trueFalse);
            if (!trueFalse) {
                setViewText(options[k], nullptr, false);
                continue;
            }
            const QString text = k == 0 ? QStringLiteral("True") : QStringLiteral("False");
            {
                const QSignalBlocker block(options[k]);
                options[k]->setPlainText(text);
            }
            options[k]->setReadOnly(true);
            setBase(options[k], kLightGrey);
            if (page->getOption(k)) {
                BaseTextView scratch;
                scratch.setString(text);
                copyIntoBoxes(MyTextView::RoleOptionA + k, scratch.paragraphs());
            }
        }
        return true;
    }
    setViewText(questionTitle, question, true);
    if (t == QuestionType::TeachingPlan) {
        for (int k = 0; k < 10; ++k)
            setViewText(options[k], nullptr, false);
        return true;
    }
    for (int k = 0; k < 10; ++k) {
        const MyTextView *box = page->getOption(k);
        const bool present = box && !box->isHidden();
        if (present && previousType == QuestionType::TrueFalse)
            copyIntoBoxes(MyTextView::RoleOptionA + k, {}); // "True" and "False" leave with the type
        setViewText(options[k], present ? box : nullptr, present);
        answerCells->button(k)->setEnabled(present);
        checkBoxes[k]->setEnabled(present);
    }
    return true;
}

void QuestionInfoWindowController::bindHelperForMessage()
{
    QuestionSetView *page = qsv();
    if (!page)
        return;
    const Rules::Controls c = Rules::controls(m_nDeviceType, page->nQuestionType(), page->nQuestionActionMode());
    enableControls(c, [](QWidget *w, bool on) { setBase(w, on ? kWhite : kGrey); });
    singleBox->setVisible(c.area == Rules::AnswerArea::Single);
    multipleBox->setVisible(c.area == Rules::AnswerArea::Multiple);
    otherBox->setVisible(c.area == Rules::AnswerArea::Other);
    if (c.area == Rules::AnswerArea::Other) {
        if (!c.otherEditable) {
            const QSignalBlocker block(otherAnswer);
            otherAnswer->clear();
        }
        otherAnswer->setReadOnly(!c.otherEditable);
        setBase(otherAnswer, c.otherEditable ? kWhite : kGrey);
    }
}

QString QuestionInfoWindowController::getMultipleAnswer() const
{
    if (selectedType() != QuestionType::MultipleAnswer)
        return {};
    QString letters;
    for (int k = 0; k < 10; ++k)
        if (checkBoxes[k]->isChecked())
            letters += letter(k);
    return letters;
}

// ---- changes ----

void QuestionInfoWindowController::showPage(int n)
{
    if (!m_canvas || n < 1 || n > m_canvas->questions().size())
        return;
    const Resetting filling(nResettingMyself);
    if (n != m_nCurrentQuestionNo)
        NotificationCenter::defaultCenter()->postNotification(
            Notify::SmallQuestionCtrl, {{Notify::Key::PageQuestionNo, n}, {Notify::Key::CtrlType, 1}}, this);
    m_nCurrentQuestionNo = n;
    {
        const QSignalBlocker block(cmbQuestionNo);
        cmbQuestionNo->setCurrentIndex(n - 1);
    }
    reloadQuestionInfo();
}

void QuestionInfoWindowController::onPrevious()
{
    showPage(m_nCurrentQuestionNo - 1);
}

void QuestionInfoWindowController::onNext()
{
    showPage(m_nCurrentQuestionNo + 1);
}

void QuestionInfoWindowController::typeChanged()
{
    QuestionSetView *page = qsv();
    if (!page)
        return;
    applyType(selectedType(), page->nQuestionType());
}

void QuestionInfoWindowController::applyType(int t, int previousType)
{
    QuestionSetView *page = qsv();
    if (!page || t < 0)
        return;
    if (nResettingMyself == 0)
        page->setNQuestionType(t);
    qqObject->setQuestionType(m_nCurrentQuestionNo, t);
    // Once a type the keypads can answer is chosen, the entry of the one they cannot goes.
    if (Rules::isTypeOffered(m_nDeviceType, t)) {
        const QVariant last = cmbQuestionType->itemData(m_nLastQueType);
        fillTypeList(t);
        m_nLastQueType = cmbQuestionType->findData(last);
    }
    cmbActionMode->setEnabled(t != QuestionType::TeachingPlan);
    setQueAnswer(page->strAnswer().isEmpty() ? kNoCorrect : page->strAnswer());
    updateOptionMessage();
    if (!bindHelperForOption(previousType))
        return;
    bindHelperForMessage();
    m_nLastQueType = cmbQuestionType->currentIndex();
    NotificationCenter::defaultCenter()->postNotification(Notify::ChangeQuestionContent, {}, page);
}

void QuestionInfoWindowController::modeChanged()
{
    QuestionSetView *page = qsv();
    if (!page)
        return;
    const int mode = cmbActionMode->currentData().toInt();
    cmbQuestionType->setEnabled(mode != ActionMode::Vote);
    if (nResettingMyself == 0)
        page->setNQuestionActionMode(mode);
    updateOptionMessage();
    bindHelperForMessage();
}

void QuestionInfoWindowController::onChangeCorrectAnswer(int cell)
{
    QuestionSetView *page = qsv();
    if (!page || cell < 0 || cell > Rules::kNoCorrectCell)
        return;
    noCorrectAnswerBox->setChecked(false);
    page->setNQuestionCorrectAnswer(cell);
    page->setStrAnswer(cell == Rules::kNoCorrectCell ? kNoCorrect : letter(cell));
}

void QuestionInfoWindowController::onChangeCorrectAnswerMulite(QAbstractButton *box)
{
    QuestionSetView *page = qsv();
    if (!page)
        return;
    noCorrectAnswerBox->setChecked(false);
    const QString current = page->strAnswer();
    if (box->isChecked() && current != kNoCorrect && current.size() >= Rules::multipleAnswerLimit(m_nDeviceType))
        box->setChecked(false); // no more letters than the keypads can send
    const QString letters = getMultipleAnswer();
    page->setStrAnswer(letters);
    page->setStrMultipleAnswer(letters);
}

void QuestionInfoWindowController::checkBoxNoCorrectAnswer()
{
    QuestionSetView *page = qsv();
    if (!page || !noCorrectAnswerBox->isChecked())
        return;
    page->setStrAnswer(kNoCorrect);
    for (QCheckBox *b : checkBoxes)
        b->setChecked(false);
}

void QuestionInfoWindowController::otherAnswerChanged()
{
    QuestionSetView *page = qsv();
    if (!page || nResettingMyself > 0 || otherAnswer->isReadOnly())
        return;
    const int limit = Rules::writtenAnswerLimit(m_nDeviceType);
    QString text = otherAnswer->toPlainText();
    if (text.size() > limit) {
        text = Rules::cut(text, limit);
        const QSignalBlocker block(otherAnswer);
        otherAnswer->setPlainText(text);
        otherAnswer->moveCursor(QTextCursor::End);
    }
    page->setStrAnswer(text);
    page->setStrOtherAnswer(text);
}

void QuestionInfoWindowController::numberChanged(QLineEdit *field)
{
    QuestionSetView *page = qsv();
    if (!page)
        return;
    const int limit = limitOf(field);
    const int value = Rules::clampValue(TextFormatter::leadingInteger(field->text()), limit);
    if (field->text() != QString::number(value)) {
        field->setText(QString::number(value));
        field->selectAll();
    }
    if (field == point) {
        page->setNQuestionPoint(value);
        checkBoxAllInSameTimePoint->setChecked(false);
    } else if (field == timeLimit) {
        page->setNQuestionTimeLimit(value);
        checkBoxAllInSameTimePoint->setChecked(false);
    } else if (field == rushPoint) {
        page->setNQuestionDePoint(value);
        checkBoxAllInSameTimePointForRush->setChecked(false);
    } else {
        page->setNQuestionRushTimeLimit(value);
        checkBoxAllInSameTimePointForRush->setChecked(false);
    }
}

void QuestionInfoWindowController::onChangeDifficulty(int cell)
{
    if (QuestionSetView *page = qsv()) {
        page->setNQuestionDifficulty(cell);
        checkBoxAllInSameLevel->setChecked(false);
    }
}

void QuestionInfoWindowController::checkBoxAllInSame(QCheckBox *box)
{
    if (!box->isChecked() || !m_canvas)
        return;
    const int answer = PollixAlert::show(this, QStringLiteral("Pollix"), QStringLiteral("Pollix"), {tr("Yes"), tr("No")},
                                         tr("Are you sure to apply these settings to all questions?"),
                                         PollixAlert::Default::LeavesAsIs);
    if (answer != PollixAlert::AlertFirstButtonReturn) {
        box->setChecked(false);
        return;
    }
    const int points = Rules::clampValue(point->text().toInt(), Rules::kMaxPoint);
    const int seconds = Rules::clampValue(timeLimit->text().toInt(), Rules::kMaxTime);
    const int rush = Rules::clampValue(rushTimeLimit->text().toInt(), Rules::kMaxRushTime);
    const int level = difficultyCells->checkedId();
    for (const QuestionSetViewPtr &page : m_canvas->questions()) {
        if (box == checkBoxAllInSameTimePoint) {
            page->setNQuestionPoint(points);
            page->setNQuestionTimeLimit(seconds);
        } else if (box == checkBoxAllInSameLevel) {
            if (level >= 0)
                page->setNQuestionDifficulty(level);
        } else {
            page->setNQuestionRushTimeLimit(rush);
        }
    }
}

void QuestionInfoWindowController::textChanged(QTextEdit *view, int role)
{
    QuestionSetView *page = qsv();
    if (!page || nResettingMyself > 0 || view->isReadOnly())
        return;
    if (view->document()->characterCount() - 1 > Rules::kMaxTextLength) {
        const QSignalBlocker block(view);
        QTextCursor cut(view->document());
        cut.setPosition(Rules::kMaxTextLength);
        cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
        view->moveCursor(QTextCursor::End);
    }
    // A page without the box keeps nothing of the text.
    if (page->boxWithRole(role))
        copyIntoBoxes(role, BaseTextView::paragraphsOf(*view->document()));
}

// ---- pages ----

void QuestionInfoWindowController::onAdd()
{
    if (!m_canvas || m_canvas->questions().size() >= Rules::kMaxPages)
        return;
    AddSLides chooser(this);
    chooser.setAddType(2);
    chooser.awakeFromNib();
    chooser.runForAddType();
}

void QuestionInfoWindowController::GetOverState(int index)
{
    if (!m_canvas || m_canvas->questions().size() >= Rules::kMaxPages)
        return;
    const QStringList texts = TemplateData::getOptionContentByindex(index);
    int count = 0;
    if (index == 0 || index > 10)
        count = int(texts.size());
    else if (index >= 2)
        count = index;
    if (index < 0 || (index > 10 && texts.isEmpty()))
        return; // no template has this index
    const Resetting filling(nResettingMyself);
    NotificationCenter::defaultCenter()->postNotification(
        Notify::QuestionInfoPostAddTemplate,
        {{Notify::Key::PageQuestionNo, m_nCurrentQuestionNo}, {Notify::Key::OptionNum, count}}, this);
    rebuildQuestionsOption();
    const int total = int(m_canvas->questions().size());
    const int added = m_nCurrentQuestionNo + 1;
    reloadcmbQuestionNo(total, added - 1);
    m_nCurrentQuestionNo = added;
    QuestionSetView *page = qsv();
    if (!page)
        return;
    if (index > 10)
        page->setNQuestionActionMode(ActionMode::Vote);
    if (index == 0)
        page->setNQuestionType(QuestionType::TrueFalse);
    else if (count == 0)
        page->setNQuestionType(m_nDeviceType == DeviceType::Arvel ? QuestionType::TeachingPlan : QuestionType::Cloze);
    for (int k = 0; k < texts.size() && k < 10; ++k)
        page->setOption(k, texts[k]);
    if (m_strip && added <= m_strip->array().size())
        m_strip->upDateQuestion(added, m_canvas->questions()[added - 1]);
    showPage(added);
    btnDelete->setEnabled(total > 1);
    btnAdd->setEnabled(total < Rules::kMaxPages);
}

void QuestionInfoWindowController::onDelete()
{
    QuestionSetView *page = qsv();
    if (!page || !m_canvas)
        return;
    const int answer = PollixAlert::show(this, QStringLiteral("Pollix"), QStringLiteral("Pollix"), {tr("Yes"), tr("No")},
                                         tr("Are you sure to delete this question?"), PollixAlert::Default::LeavesAsIs);
    if (answer != PollixAlert::AlertFirstButtonReturn)
        return;
    const Resetting filling(nResettingMyself);
    NotificationCenter::defaultCenter()->postNotification(Notify::BigQuestionDeleteKey, {}, page);
    syncWithCanvas();
}

void QuestionInfoWindowController::syncWithCanvas()
{
    if (!m_canvas || m_closed)
        return;
    const int count = int(m_canvas->questions().size());
    if (count == 0) {
        close();
        return;
    }
    const int current = qBound(1, m_canvas->nCurrentQuestionIndex(), count);
    if (current == m_nCurrentQuestionNo && count == cmbQuestionNo->count() && count == questionsOption.size())
        return;
    const Resetting filling(nResettingMyself);
    reloadcmbQuestionNo(count, current - 1);
    m_nCurrentQuestionNo = current;
    rebuildQuestionsOption();
    btnDelete->setEnabled(count > 1);
    btnAdd->setEnabled(count < Rules::kMaxPages);
    reloadQuestionInfo();
}

// ---- text formats ----

bool QuestionInfoWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto *view = qobject_cast<QTextEdit *>(watched))
            m_lastTextView = view;
    return QWidget::eventFilter(watched, event);
}

void QuestionInfoWindowController::applyTextFormat(const QTextCharFormat &format)
{
    if (m_lastTextView && !m_lastTextView->isReadOnly())
        m_lastTextView->mergeCurrentCharFormat(format);
}

void QuestionInfoWindowController::onFontPanel()
{
    panels()->showFontPanel();
}

void QuestionInfoWindowController::onColorPanel()
{
    panels()->showColorPanel();
}

TextFormatPanels *QuestionInfoWindowController::panels()
{
    if (!m_panels)
        m_panels = new TextFormatPanels(this, [this](const QTextCharFormat &f) { applyTextFormat(f); });
    return m_panels;
}

void QuestionInfoWindowController::closeEvent(QCloseEvent *event)
{
    if (!m_closed) {
        m_closed = true;
        NotificationCenter::defaultCenter()->removeObserverTree(this);
        NotificationCenter::defaultCenter()->postNotification(Notify::CloseQueInfo);
    }
    event->accept();
}

void QuestionInfoWindowController::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel))
        return void(close());
    QWidget::keyPressEvent(event);
}
