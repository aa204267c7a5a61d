#include "Questions.h"

#include "SmallQuestions.h"

#include "core/store/XMLControl.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/RegularFile.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ProgressControl.h"

#include <QAbstractButton>
#include <QFile>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QTextEdit>

Questions::Questions(const QSize &size, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Questions"));
    resize(size);
    setFocusPolicy(Qt::StrongFocus);
    m_orgRect = QRectF(QPointF(0, 0), QSizeF(size));
    m_epi = std::make_shared<ExamPaperInfo>();
    m_examIdSource = [] { return XMLControl::sharedXMLUI()->getExamID(); };

    m_editor = new QTextEdit(this);
    m_editor->setObjectName(QStringLiteral("textview"));
    m_editor->setFrameStyle(QFrame::NoFrame);
    m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->viewport()->setAutoFillBackground(false);
    // The editor alone: a bare rule would also reach its context menu and draw that see-through.
    m_editor->setStyleSheet(QStringLiteral("QTextEdit#textview { background: transparent; }"));
    m_editor->hide();
    connect(m_editor, &QTextEdit::textChanged, this, &Questions::textDidChange);

    auto *center = NotificationCenter::defaultCenter();
    center->addObserver(this, Notify::ChangeQuestionDisplay, [this](const Notification &n) {
        if (m_smallQuestions && n.object && n.object != m_smallQuestions)
            return;
        showQuestion(n.userInfo.value(Notify::Key::PageQuestionNo).toInt());
    });
    center->addObserver(this, Notify::ChangeQuestionContent,
                        [this](const Notification &n) { rebuildThumbnail(n.object); });
    center->addObserver(this, Notify::BigQuestionDeleteKey, [this](const Notification &) { deleteCurrent(); });
    center->addObserver(this, Notify::QuestionInfoPostAddTemplate, [this](const Notification &n) {
        addNewQuestion(n.userInfo.value(Notify::Key::PageQuestionNo).toInt(),
                       createTemplate(n.userInfo.value(Notify::Key::OptionNum).toInt()));
    });
}

Questions::~Questions()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    endEditing();
}

QuestionSetView *Questions::currentPage() const
{
    const int i = m_nCurrentQuestionIndex - 1;
    return i >= 0 && i < m_questions.size() ? m_questions[i].get() : nullptr;
}

bool Questions::ownsPage(const QObject *page) const
{
    for (const auto &p : m_questions)
        if (p.get() == page || (p->pds() && p->pds() == page))
            return true;
    return false;
}

void Questions::setBtnQuestionInfo(QAbstractButton *button)
{
    m_btnQuestionInfo = button;
    updateQuestionInfoButton();
}

void Questions::updateQuestionInfoButton()
{
    if (m_btnQuestionInfo)
        m_btnQuestionInfo->setEnabled(!m_questions.isEmpty());
}

void Questions::setSmallQuestions(SmallQuestions *strip)
{
    m_smallQuestions = strip;
    if (strip)
        strip->setCanvas(this);
}

void Questions::applyToolMode(QuestionSetView &page)
{
    page.setColorSet(m_colorSet);
    page.setNPenSize(m_nPenSize);
    if (m_mouseControlState == QuestionSetView::ModeDrawBoxes)
        page.setTextFrame();
    else if (m_mouseControlState == QuestionSetView::ModePen)
        page.setPen();
    else
        page.setCursor();
}

void Questions::addNewQuestion(int n, QuestionSetViewPtr page)
{
    n = qBound(0, n, int(m_questions.size()));
    const QRectF target(QPointF(0, 0), m_orgRect.size());
    if (page) {
        page->fitToRect(target);
    } else {
        page = std::make_shared<QuestionSetView>(QRectF(0, 0, target.width() - 2, target.height() - 2));
        page->setCursor();
    }
    m_questions.insert(n, page);
    updateQuestionInfoButton();
    m_nCurrentQuestionIndex = n + 1;
    if (m_smallQuestions)
        m_smallQuestions->addQuestion(n, page);
    applyToolMode(*page);
    syncEditor();
    update();
}

QuestionSetViewPtr Questions::createTemplate(int n) const
{
    auto page = QuestionSetView::createTemplate(n, m_orgRect.size());
    for (const auto &box : page->cellArray())
        box->setCursorCtrl();
    return page;
}

void Questions::deleteQuestion(int n)
{
    if (n < 1 || n > m_questions.size())
        return;
    endEditing();
    m_questions.removeAt(n - 1);
    if (!m_questions.isEmpty())
        m_nCurrentQuestionIndex = n > m_questions.size() ? n - 1 : n;
    else
        m_nCurrentQuestionIndex = 0;
    if (m_smallQuestions)
        m_smallQuestions->DeleteQuestion(n);
    updateQuestionInfoButton();
    syncEditor();
    update();
}

void Questions::deleteCurrent()
{
    deleteQuestion(m_nCurrentQuestionIndex);
}

void Questions::showQuestion(int m)
{
    if (m < 1 || m > m_questions.size())
        return;
    if (m_smallQuestions)
        m_questions[m - 1]->setBFreeStyle(m_smallQuestions->bIsFreeStyle());
    if (m == m_nCurrentQuestionIndex)
        return;
    endEditing();
    if (QuestionSetView *old = currentPage(); old && old->pds()) {
        old->flushPenStrokes();
        if (m_smallQuestions)
            m_smallQuestions->upDateQuestion(m_nCurrentQuestionIndex, m_questions[m_nCurrentQuestionIndex - 1]);
    }
    m_nCurrentQuestionIndex = m;
    fitToView(m);
    syncEditor();
    update();
}

void Questions::rebuildThumbnail(const QObject *changed)
{
    if (changed && !ownsPage(changed))
        return;
    if (m_smallQuestions && currentPage())
        m_smallQuestions->upDateQuestion(m_nCurrentQuestionIndex, m_questions[m_nCurrentQuestionIndex - 1]);
    update();
}

bool Questions::openFile(const QString &path)
{
    endEditing();
    if (m_smallQuestions)
        m_smallQuestions->removeAllQuestions();
    auto read = ExamPaperInfo::unarchiveObjectWithFile(path);
    m_questions.clear();
    m_nCurrentQuestionIndex = 0;
    m_epi->setNExamPaperID(read ? read->nExamPaperID() : 0);
    m_epi->setStrExamPaperTitle(read ? read->strExamPaperTitle() : QStringLiteral(""));
    m_epi->setStrMemo(read ? read->strMemo() : QStringLiteral(""));
    const QList<QuestionSetViewPtr> pages = read ? read->arrayQuestionsInfo() : QList<QuestionSetViewPtr>();
    ProgressControl progress(this);
    progress.setMaxValue(int(pages.size()));
    if (pages.size() > 1)
        progress.show();
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QuestionSetViewPtr &page = pages[i];
        page->reloadQuestion();
        page->setBCtrl(true);
        page->setOptionHide();
        page->normaliseAnswerAfterReading();
        addNewQuestion(int(i), page);
        progress.showProgress(int(i) + 1);
    }
    updateQuestionInfoButton();
    if (!m_questions.isEmpty()) {
        m_nCurrentQuestionIndex = 0;
        showQuestion(1);
        if (m_smallQuestions)
            m_smallQuestions->selectedQuestionNo(1);
    }
    syncEditor();
    update();
    return read != nullptr;
}

bool Questions::save(const QString &path, bool saveAs, QString *errorText)
{
    const int oldId = m_epi->nExamPaperID();
    if (oldId < 1 || saveAs) {
        // An ID of 0 in the file would pass for "never saved"; rather write nothing.
        const std::optional<int> id = m_examIdSource ? m_examIdSource() : std::nullopt;
        if (!id || *id < 1) {
            if (errorText)
                *errorText = QStringLiteral("No exam ID could be taken from the exam-ID counter (ExamID.xml).");
            return false;
        }
        m_epi->setNExamPaperID(*id);
    }
    const bool penMode = m_mouseControlState == QuestionSetView::ModePen;
    if (penMode)
        for (const auto &page : m_questions)
            page->setCursor();
    m_epi->setArrayQuestionsInfo(m_questions);
    const bool written = m_epi->writeToFile(path, errorText);
    if (!written)
        m_epi->setNExamPaperID(oldId); // the set stays as the file on disk has it
    if (penMode)
        for (const auto &page : m_questions)
            page->setPen();
    return written;
}

void Questions::setPen() { setAllPagesMode(QuestionSetView::ModePen); }
void Questions::setTextFrame() { setAllPagesMode(QuestionSetView::ModeDrawBoxes); }
void Questions::setCursor() { setAllPagesMode(QuestionSetView::ModeSelect); }

void Questions::setAllPagesMode(int mode)
{
    m_mouseControlState = mode;
    for (const auto &page : m_questions)
        applyToolMode(*page);
    syncEditor();
    update();
}

void Questions::onPenSize(int size)
{
    m_nPenSize = size;
    for (const auto &page : m_questions)
        page->setNPenSize(size);
}

void Questions::onColorSet(const QColor &color)
{
    m_colorSet = color;
    for (const auto &page : m_questions)
        page->setColorSet(color);
}

#define POLLIX_ON_CURRENT_PAGE(method, call)   \
    void Questions::method()                   \
    {                                          \
        if (QuestionSetView *page = currentPage()) { \
            page->call();                      \
            update();                          \
        }                                      \
    }
POLLIX_ON_CURRENT_PAGE(onAlignLeft, alignLeft)
POLLIX_ON_CURRENT_PAGE(onAlignRight, alignRight)
POLLIX_ON_CURRENT_PAGE(onAlignTop, alignTop)
POLLIX_ON_CURRENT_PAGE(onAlignBottom, alignBottom)
POLLIX_ON_CURRENT_PAGE(onMakeSameWidth, makeSameWidth)
POLLIX_ON_CURRENT_PAGE(onMakeSameHeight, makeSameHeight)
POLLIX_ON_CURRENT_PAGE(onMakeSameSize, makeSameSize)
#undef POLLIX_ON_CURRENT_PAGE

void Questions::onImport()
{
    const QString path = FileDialogs::getOpenFileName(this, QStringLiteral("Import"), FileDialogs::Kind::Pictures);
    if (!path.isEmpty())
        importPicture(path);
}

bool Questions::importPicture(const QString &path)
{
    QuestionSetView *page = currentPage();
    if (!page)
        return false;
    // Read through a checked file: a pipe picked by mistake would hold the editor forever.
    QFile file;
    const QImage image = RegularFile::open(file, path, nullptr) ? QImageReader(&file).read() : QImage();
    if (image.isNull()) {
        PollixAlert::show(this, QStringLiteral("Pollix ARS"), QStringLiteral("The file is not a picture."));
        return false;
    }
    if (!page->anchorBox()) {
        // A photograph is often larger than the page: it would cover it and put its handles out of
        // reach, so it comes in shrunk to the page with its proportions kept.
        QSizeF size(image.size());
        if (size.width() > page->frame().width() || size.height() > page->frame().height())
            size = size.scaled(page->frame().size(), Qt::KeepAspectRatio);
        auto box = std::make_shared<MyTextView>(QRectF(QPointF(0, 0), size));
        page->addExistView(box);
        box->setNPenSize(page->nPenSize());
        if (page->Flag() == QuestionSetView::ModeDrawBoxes)
            box->setTextFrame();
        else if (page->Flag() == QuestionSetView::ModePen)
            box->setPen();
        const int index = page->indexOfBox(box.get());
        page->setSelection({index}, index);
    }
    page->anchorBox()->setIg(image);
    rebuildThumbnail(nullptr);
    return true;
}

void Questions::resizeContent(int n)
{
    if (n < 1 || n > m_questions.size())
        return;
    m_questions[n - 1]->fitToRect(QRectF(QPointF(0, 0), m_orgRect.size()));
    update();
}

void Questions::fitToView(int n)
{
    if (!m_fillsView || n < 1 || n > m_questions.size())
        return;
    QuestionSetView &page = *m_questions[n - 1];
    // A page is two points smaller than the rectangle it is fitted to.
    if (page.frame().size() == m_orgRect.size() - QSizeF(2, 2))
        return;
    const bool current = n == m_nCurrentQuestionIndex;
    if (current)
        endEditing();
    page.fitToRect(QRectF(QPointF(0, 0), m_orgRect.size()));
    applyToolMode(page);
    if (current)
        syncEditor();
    if (m_smallQuestions)
        m_smallQuestions->upDateQuestion(n, m_questions[n - 1]);
}

void Questions::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_fillsView || size().isEmpty())
        return;
    m_orgRect = QRectF(QPointF(0, 0), QSizeF(size()));
    fitToView(m_nCurrentQuestionIndex);
}

QPointF Questions::toPage(const QPointF &p) const
{
    const QuestionSetView *page = currentPage();
    const double h = page ? page->frame().height() : height();
    return QPointF(p.x(), h - p.y());
}

QRectF Questions::toWidget(const QRectF &r) const
{
    const QuestionSetView *page = currentPage();
    return AuthoringView::flipped(r, page ? page->frame().height() : height());
}

void Questions::endEditing()
{
    // The text widget works on the box's own document: it must let go of it before the box
    // can go, and the box leaves editing so that it draws its text again.
    if (m_editingBox)
        for (const auto &page : m_questions)
            if (page->indexOfBox(m_editingBox) >= 0)
                m_editingBox->textview()->setBCtrl(false);
    m_editingBox = nullptr;
    m_editor->hide();
    m_editor->blockSignals(true);
    m_editor->setDocument(new QTextDocument(m_editor));
    m_editor->blockSignals(false);
}

void Questions::syncEditor()
{
    QuestionSetView *page = currentPage();
    MyTextView *editing = nullptr;
    // A box newly put into editing wins over the one edited so far, which then stops.
    if (page)
        for (const auto &box : page->cellArray())
            if (box->isEditing() && !box->isHidden() && (!editing || box.get() != m_editingBox))
                editing = box.get();
    if (editing == m_editingBox && (editing || m_editor->isHidden()))
        return;
    endEditing();
    if (!editing) {
        setFocus();
        return;
    }
    m_editingBox = editing;
    m_editor->blockSignals(true);
    m_editor->setDocument(editing->textview()->document());
    m_editor->blockSignals(false);
    m_editor->setGeometry(toWidget(MyTextView::getTextRect(editing->frame())).toAlignedRect());
    m_editor->show();
    m_editor->setFocus();
}

void Questions::textDidChange()
{
    QuestionSetView *page = currentPage();
    if (!page || !m_editingBox || !m_smallQuestions)
        return;
    const int index = page->indexOfBox(m_editingBox);
    const int n = m_nCurrentQuestionIndex;
    if (index < 0 || n < 1 || n > m_smallQuestions->array().size())
        return;
    const auto &thumb = m_smallQuestions->array()[n - 1];
    if (index < thumb->cellArray().size())
        thumb->cellArray()[index]->textview()->setParagraphs(m_editingBox->textview()->paragraphs());
    m_smallQuestions->update();
}

void Questions::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (const QuestionSetView *page = currentPage())
        page->draw(painter);
}

void Questions::press(QMouseEvent *event, int clickCount)
{
    QuestionSetView *page = currentPage();
    if (!page)
        return;
    setFocus();
    page->mouseDown(toPage(event->position()), clickCount, event->modifiers() & Qt::ControlModifier);
    syncEditor();
    update();
}

void Questions::mousePressEvent(QMouseEvent *event)
{
    press(event, 1);
}

void Questions::mouseDoubleClickEvent(QMouseEvent *event)
{
    press(event, 2);
}

void Questions::mouseMoveEvent(QMouseEvent *event)
{
    QuestionSetView *page = currentPage();
    if (!page || !(event->buttons() & Qt::LeftButton))
        return;
    page->mouseDragged(toPage(event->position()));
    update();
}

void Questions::mouseReleaseEvent(QMouseEvent *)
{
    if (QuestionSetView *page = currentPage()) {
        page->mouseUp();
        syncEditor();
        update();
    }
}

void Questions::keyPressEvent(QKeyEvent *event)
{
    // A box's text being typed keeps Escape; otherwise a key the page has no use for goes on to
    // the window, whose Escape is its way out (the activity window's Exit, the editor's close).
    if (event->key() == Qt::Key_Escape && m_editingBox)
        return;
    QuestionSetView *page = currentPage();
    if (!page || !page->keyDown(event->key(), event->text(), event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    syncEditor();
    update();
}
