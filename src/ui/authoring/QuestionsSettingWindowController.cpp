#include "QuestionsSettingWindowController.h"

#include "AddSLides.h"
#include "QuestionInfoWindowController.h"
#include "Questions.h"
#include "SmallQuestions.h"
#include "PageTools.h"
#include "StandardController.h"
#include "TextFormatPanels.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/PageEditAppDelegate.h"
#include "core/authoring/QuestionInfoRules.h"
#include "core/authoring/TemplateData.h"
#include "core/base/ActivityCodes.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/AppIcons.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/NSMyColorWell.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ScreenCapture.h"
#include "ui/controls/ScreenFit.h"

#include <QAction>
#include <QCloseEvent>
#include <QColorDialog>
#include <QTextCharFormat>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr QSize kPageSize(800, 600);
const QString kTitle = QStringLiteral("Question Setting");

} // namespace

QuestionsSettingWindowController::QuestionsSettingWindowController(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("QuestionSet"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kTitle);
    buildInterface();
    m_panels = new TextFormatPanels(this, [this](const QTextCharFormat &f) { applyTextFormat(f); });

    auto *center = NotificationCenter::defaultCenter();
    center->addObserver(this, Notify::ScreenShotCaption,
                        [this](const Notification &n) { capturePicture(n.userInfo); });
    center->addObserver(this, Notify::PXAddTemplate, [this](const Notification &n) {
        AddTemplate(n.userInfo.value(Notify::Key::SelectIndex, -1).toInt());
    });
    center->addObserver(this, Notify::CloseQueInfo, [this](const Notification &) { CloseQueInfo(); });
    // Pages change in number and content from the properties window too; the controls follow.
    for (const QLatin1String name : {Notify::ChangeQuestionDisplay, Notify::BigQuestionDeleteKey, Notify::QuestionInfoPostAddTemplate})
        center->addObserver(this, name, [this](const Notification &) {
            QMetaObject::invokeMethod(this, [this] { validateToolbarItems(); followAnchorRole(); }, Qt::QueuedConnection);
        });
    center->addObserver(this, Notify::ChangeComboboxOption, [this](const Notification &n) {
        if (!bigQuestions->ownsPage(n.object))
            return;
        const QSignalBlocker block(comboboxToolTip);
        comboboxToolTip->setCurrentIndex(n.userInfo.value(Notify::Key::ToolTipNo).toInt());
    });
    validateToolbarItems();
}

QuestionsSettingWindowController::~QuestionsSettingWindowController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    // The boxes copied here belong to this set; they do not outlive the editor.
    PageEditAppDelegate::setCopyObjects({});
    delete m_questionInfo.data();
}

void QuestionsSettingWindowController::buildInterface()
{
    // The canvas first: the toolbar's arrange menu acts on it.
    bigQuestions = new Questions(kPageSize);
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(Qt::TopToolBarArea, bar);

    const auto actionOn = [this](QToolBar *on, const char *name, const QString &text, const char *icon,
                                 std::function<void()> slot) {
        QAction *a = PageTools::addAction(on, name, text, icon);
        connect(a, &QAction::triggered, this, std::move(slot));
        return a;
    };
    const auto toolButton = [&](const char *name, const QString &text, const char *icon) {
        return PageTools::addToolButton(bar, name, text, icon);
    };

    tbiAddNew = actionOn(bar, "tbiAddNew", tr("Add Page"), "addpage.png", [this] { onAddNewTemplate(); });
    tbiDel = actionOn(bar, "tbiDel", tr("Delete Page"), "delpage.png", [this] { onDelQuestion(); });
    btnQuestionInfo = toolButton("btnQuestionInfo", tr("Properties"), "info.png");
    connect(btnQuestionInfo, &QToolButton::clicked, this, &QuestionsSettingWindowController::onQuestionInfo);
    btnStandard = toolButton("btnStandard", tr("Standard"), "standard.png");
    connect(btnStandard, &QToolButton::clicked, this, &QuestionsSettingWindowController::onStandard);
    bar->addSeparator();
    tbiSave = actionOn(bar, "tbiSave", tr("Save"), "save.png", [this] { onSave(); });
    tbiSaveAs = actionOn(bar, "tbiSaveAs", tr("Save As"), "saveas.png", [this] { onSaveAs(); });

    // The drawing and box tools on a bar of their own, which goes below the page commands where
    // the window is too narrow for both side by side: no tool is ever in an overflow menu.
    formatBar = new QToolBar(this);
    formatBar->setObjectName(QStringLiteral("formatToolbar"));
    formatBar->setMovable(false);
    formatBar->setIconSize(bar->iconSize());
    formatBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(Qt::TopToolBarArea, formatBar);
    pubControl = PageTools::makeToolPopup(formatBar);
    connect(pubControl, &QComboBox::activated, this, [this] { onSelectToolAction(); });
    formatBar->addWidget(PageTools::labelled(tr("Tool"), pubControl, formatBar));
    pubControlPenSize = PageTools::makePenSizePopup(formatBar);
    connect(pubControlPenSize, &QComboBox::activated, this, [this] { onPenSize(); });
    formatBar->addWidget(PageTools::labelled(tr("Pen Size"), pubControlPenSize, formatBar));
    colorwell = new NSMyColorWell(formatBar);
    colorwell->setObjectName(QStringLiteral("colorwell"));
    colorwell->setColor(Qt::black);
    connect(colorwell, &NSMyColorWell::colorChanged, this, &QuestionsSettingWindowController::onColorSet);
    formatBar->addWidget(PageTools::labelled(tr("Pen Colour"), colorwell, formatBar));
    formatBar->addSeparator();

    tbiFont = actionOn(formatBar, "tbiFont", tr("Fonts"), "font.png", [this] { onFontPanel(); });
    tbiColor = actionOn(formatBar, "tbiColor", tr("Colors"), "colors.png", [this] { onColorPanel(); });
    pubControlAlignAndSize = PageTools::makeAlignAndSizeButton(formatBar, bigQuestions);
    formatBar->addWidget(pubControlAlignAndSize);
    tbiImport = actionOn(formatBar, "tbiImport", tr("Picture"), "picture.png", [this] { onImport(); });
    tbiCapture = actionOn(formatBar, "tbiCapture", tr("Capture"), "capture.png", [this] { onCapture(); });
    comboboxToolTip = new QComboBox(formatBar);
    comboboxToolTip->setObjectName(QStringLiteral("comboboxToolTip"));
    for (int role = 0; role <= MyTextView::RoleCapture; ++role)
        comboboxToolTip->addItem(MyTextView::toolTipForRole(role));
    comboboxToolTip->setMaxVisibleItems(23);
    connect(comboboxToolTip, &QComboBox::activated, this, [this] { comboBoxSelectionDidChange(); });
    formatBar->addWidget(PageTools::labelled(tr("Box Role"), comboboxToolTip, formatBar));

    // Pages: the thumbnail strip beside the canvas.
    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Only as tall as its pages: the scroll area stretches it down the column, and a smaller
    // screen shows no scroll bar for a few pages.
    smallQuestions = new SmallQuestions(QSize(int(kPageSize.width() * SmallQuestions::kScale) + 24, 400));
    auto *stripArea = new QScrollArea(central);
    stripArea->setObjectName(QStringLiteral("smallQuestionsSV"));
    stripArea->setWidget(smallQuestions);
    stripArea->setFixedWidth(smallQuestions->width() + 20);
    stripArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The strip's background reaches down its whole column, however tall the window.
    stripArea->setWidgetResizable(true);
    bigQuestions->setSmallQuestions(smallQuestions);
    smallQuestions->addController(this);
    auto *pageArea = new QScrollArea(central);
    pageArea->setObjectName(QStringLiteral("bigQuestionsSV"));
    pageArea->setWidget(bigQuestions);
    pageArea->setAlignment(Qt::AlignCenter);
    pageArea->setBackgroundRole(QPalette::Dark);
    layout->addWidget(stripArea);
    layout->addWidget(pageArea, 1);
    setCentralWidget(central);
    ScreenFit::resize(this, 1200, 760);
}

void QuestionsSettingWindowController::openFile(const QString &path)
{
    if (m_path.isEmpty())
        m_path = path;
    m_modalType = 0;
}

void QuestionsSettingWindowController::windowDidLoad()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (m_modalType != 0)
        return;
    bigQuestions->openFile(m_path);
    toSaveLastSaveQuestionsInfo();
    setTitleForPath();
    validateToolbarItems();
}

void QuestionsSettingWindowController::showWindow()
{
    windowDidLoad();
    show();
    raise();
    activateWindow();
    bigQuestions->setFocus();
}

void QuestionsSettingWindowController::setTitleForPath()
{
    setWindowTitle(QStringLiteral("%1(%2)").arg(kTitle, m_path));
}

void QuestionsSettingWindowController::toSaveLastSaveQuestionsInfo()
{
    equalArray.clear();
    for (const QuestionSetViewPtr &page : bigQuestions->questions())
        equalArray.append(page->copy());
}

bool QuestionsSettingWindowController::isQuestionsContentChange() const
{
    const QList<QuestionSetViewPtr> &pages = bigQuestions->questions();
    if (pages.size() != equalArray.size())
        return false;
    for (qsizetype i = 0; i < pages.size(); ++i)
        if (!equalArray[i]->isEqualTo(*pages[i]))
            return false;
    return true;
}

// ---- tools ----

void QuestionsSettingWindowController::onSelectToolAction()
{
    PageTools::selectTool(bigQuestions, pubControl->currentIndex());
}

void QuestionsSettingWindowController::onPenSize()
{
    PageTools::selectPenSize(bigQuestions, pubControlPenSize->currentIndex());
}

void QuestionsSettingWindowController::onColorSet(const QColor &color)
{
    if (colorwell->color() != color)
        colorwell->setColor(color);
    bigQuestions->onColorSet(color);
}

void QuestionsSettingWindowController::onImport()
{
    bigQuestions->onImport();
    // The picture's box is the one selected now: the role list shows its role, not the last box's.
    followAnchorRole();
}

void QuestionsSettingWindowController::onMakeSameSize() { bigQuestions->onMakeSameSize(); }
void QuestionsSettingWindowController::onMakeSameHeight() { bigQuestions->onMakeSameHeight(); }
void QuestionsSettingWindowController::onMakeSameWidth() { bigQuestions->onMakeSameWidth(); }
void QuestionsSettingWindowController::onAlignBottom() { bigQuestions->onAlignBottom(); }
void QuestionsSettingWindowController::onAlignTop() { bigQuestions->onAlignTop(); }
void QuestionsSettingWindowController::onAlignRight() { bigQuestions->onAlignRight(); }
void QuestionsSettingWindowController::onAlignLeft() { bigQuestions->onAlignLeft(); }

void QuestionsSettingWindowController::postContentChanged(QuestionSetView *page)
{
    NotificationCenter::defaultCenter()->postNotification(Notify::ChangeQuestionContent, {}, page);
    bigQuestions->update();
}

void QuestionsSettingWindowController::applyTextFormat(const QTextCharFormat &format)
{
    PageTools::applyTextFormat(bigQuestions, format);
}

void QuestionsSettingWindowController::onFontPanel()
{
    m_panels->showFontPanel();
}

void QuestionsSettingWindowController::onColorPanel()
{
    m_panels->showColorPanel();
}

void QuestionsSettingWindowController::onCapture()
{
    ScreenCapture *capture = ScreenCapture::installed();
    if (!capture || !bigQuestions->currentPage())
        return;
    // The editor is not part of the picture.
    const QRect frame = geometry();
    hide();
    capture->start(this);
    setGeometry(frame);
    show();
}

void QuestionsSettingWindowController::capturePicture(const QVariantMap &info)
{
    QuestionSetView *page = bigQuestions->currentPage();
    const QImage image = info.value(Notify::Key::Image).value<QImage>();
    // A capture the teacher gave up brings no picture: nothing to insert.
    if (!page || image.isNull())
        return;
    page->addCapturedPicture(image);
    postContentChanged(page);
}

// ---- pages ----

void QuestionsSettingWindowController::onAddNewTemplate()
{
    AddSLides chooser(this);
    chooser.setAddType(3);
    chooser.awakeFromNib();
    chooser.runForAddType();
}

void QuestionsSettingWindowController::AddTemplate(int index)
{
    // The chooser stays open for further adds: the limit holds for each of them.
    if (bigQuestions->questions().size() >= QuestionInfoRules::kMaxPages)
        return;
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const int deviceType = app ? app->currentDeviceType() : -1;
    QuestionSetViewPtr page;
    if (index == 1) {
        page = bigQuestions->createTemplate(0);
        // Arvel keypads cannot write an answer.
        page->setNQuestionType(deviceType == DeviceType::Arvel ? QuestionType::TeachingPlan : QuestionType::Cloze);
        page->setOptionHide();
    } else if (index >= 2 && index <= 10) {
        page = bigQuestions->createTemplate(index);
        page->setNQuestionType(QuestionType::SingleAnswer);
        page->setOptionHide();
    } else {
        const QStringList texts = TemplateData::getOptionContentByindex(index);
        if (texts.isEmpty())
            return; // no template has this index
        page = bigQuestions->createTemplate(int(texts.size()));
        if (index == 0) {
            page->setNQuestionType(QuestionType::TrueFalse);
        } else {
            page->setNQuestionType(QuestionType::SingleAnswer);
            page->setNQuestionActionMode(ActionMode::Vote);
        }
        for (int i = 0; i < texts.size() && i < 10; ++i)
            page->setOption(i, texts[i]);
    }
    bigQuestions->addNewQuestion(bigQuestions->nCurrentQuestionIndex(), page);
    validateToolbarItems();
}

void QuestionsSettingWindowController::onDelQuestion()
{
    if (!bigQuestions->currentPage())
        return;
    const int answer = PollixAlert::show(this, QStringLiteral("Pollix"), QStringLiteral("Pollix"),
                                         {tr("Yes"), tr("No")}, tr("Are you sure to delete this question?"),
                                         PollixAlert::Default::LeavesAsIs);
    if (answer != PollixAlert::AlertFirstButtonReturn)
        return;
    NotificationCenter::defaultCenter()->postNotification(Notify::BigQuestionDeleteKey, {}, this);
    validateToolbarItems();
}

void QuestionsSettingWindowController::onQuestionInfo()
{
    if (isOpenQusetionInfo || !bigQuestions->currentPage())
        return;
    isOpenQusetionInfo = true;
    auto *info = new QuestionInfoWindowController(this);
    info->setNCurrentQuestionNo(bigQuestions->nCurrentQuestionIndex());
    info->setQuestions(bigQuestions);
    info->setSmallQuestions(smallQuestions);
    info->setFather(this);
    smallQuestions->addController(info);
    m_questionInfo = info;
    validateToolbarItems();
    info->showWindow();
}

void QuestionsSettingWindowController::CloseQueInfo()
{
    isOpenQusetionInfo = false;
    validateToolbarItems();
}

void QuestionsSettingWindowController::onStandard()
{
    QuestionSetView *page = bigQuestions->currentPage();
    if (!page)
        return;
    StandardController standards(this);
    standards.setStandardName(page->strStandardCode());
    standards.awakeFromNib();
    if (DialogHooks::runModal(&standards) != 1)
        return;
    page->setStrStandardCode(standards.standardNameSelected());
    page->setStrStandardTitle(standards.standardTitleSelected());
    postContentChanged(page);
}

void QuestionsSettingWindowController::comboBoxSelectionDidChange()
{
    QuestionSetView *page = bigQuestions->currentPage();
    if (!page) {
        const QSignalBlocker block(comboboxToolTip);
        comboboxToolTip->setCurrentIndex(0);
        return;
    }
    if (page->giveAnchorRole(comboboxToolTip->currentIndex()))
        postContentChanged(page);
}

void QuestionsSettingWindowController::followAnchorRole()
{
    const QuestionSetView *page = bigQuestions->currentPage();
    const MyTextView *anchor = page ? page->anchorBox() : nullptr;
    const QSignalBlocker block(comboboxToolTip);
    comboboxToolTip->setCurrentIndex(anchor ? anchor->toolTipNo() : 0);
}

void QuestionsSettingWindowController::validateToolbarItems()
{
    const bool havePages = !bigQuestions->questions().isEmpty();
    for (QWidget *w : std::initializer_list<QWidget *>{comboboxToolTip, pubControlPenSize, pubControl, colorwell,
                                                        pubControlAlignAndSize, btnStandard})
        w->setEnabled(havePages);
    for (QAction *a : {tbiDel, tbiImport, tbiFont, tbiColor, tbiSave, tbiSaveAs})
        a->setEnabled(havePages);
    btnQuestionInfo->setEnabled(havePages && !isOpenQusetionInfo);
    // Capture works through the presentation tools' screen capture; without it there is none.
    tbiCapture->setEnabled(havePages && ScreenCapture::installed());
    tbiAddNew->setEnabled(bigQuestions->questions().size() < QuestionInfoRules::kMaxPages);
}

void QuestionsSettingWindowController::keyPressEvent(QKeyEvent *event)
{
    int n = bigQuestions->nCurrentQuestionIndex();
    if (event->key() == Qt::Key_Up)
        --n;
    else if (event->key() == Qt::Key_Down)
        ++n;
    else if (event->matches(QKeySequence::Cancel))
        // Escape that no control inside took is the close box: the question about the edits.
        return void(close());
    else
        return QMainWindow::keyPressEvent(event);
    NotificationCenter::defaultCenter()->postNotification(
        Notify::SmallQuestionCtrl, {{Notify::Key::PageQuestionNo, n}, {Notify::Key::CtrlType, 1}}, this);
}

// ---- saving ----

void QuestionsSettingWindowController::runSavePass(bool saveAs)
{
    for (const QuestionSetViewPtr &page : bigQuestions->questions())
        page->normaliseAnswerForSave(saveAs);
    refreshThumbnails();
}

void QuestionsSettingWindowController::refreshThumbnails()
{
    const QList<QuestionSetViewPtr> &pages = bigQuestions->questions();
    for (qsizetype i = 0; i < pages.size(); ++i)
        smallQuestions->upDateQuestion(int(i) + 1, pages[i]);
}

QString QuestionsSettingWindowController::chooseSavePath()
{
    int kind = 0;
    const QString chosen = FileDialogs::getSaveFileNameOfKind(
        this, tr("Save Question File"), FileDialogs::Kind::QuestionFiles,
        {tr("Question File (*.px)"), tr("Answer Sheet (*.sep)")}, &kind);
    if (chosen.isEmpty())
        return {};
    if (QFileInfo::exists(chosen)) {
        const QString name = QFileInfo(chosen).fileName();
        const int answer = PollixAlert::show(
            this, QStringLiteral("Pollix"), tr("\"%1\" already exists. Do you want to replace it?").arg(name),
            {tr("Yes"), tr("No")},
            tr("A file with the same name already exists on the Desktop.Replacing it will overwrite its current contents."),
            PollixAlert::Default::LeavesAsIs);
        if (answer != PollixAlert::AlertFirstButtonReturn)
            return {};
    }
    return chosen;
}

bool QuestionsSettingWindowController::write(const QString &path, bool saveAs)
{
    QString why;
    if (!bigQuestions->save(path, saveAs, &why)) {
        // The snapshot stays as it was: the set still counts as unsaved.
        PollixAlert::show(this, QStringLiteral("Pollix ARS"), tr("The question file could not be saved."), {tr("OK")},
                          why);
        return false;
    }
    return true;
}

bool QuestionsSettingWindowController::onSave()
{
    if (m_path.isEmpty())
        return onSaveAs();
    runSavePass(false);
    if (!write(m_path, false))
        return false;
    setTitleForPath();
    toSaveLastSaveQuestionsInfo();
    return true;
}

bool QuestionsSettingWindowController::onSaveAs()
{
    // The pages change only once the teacher has chosen where the file goes.
    const QString chosen = chooseSavePath();
    if (chosen.isEmpty())
        return false;
    runSavePass(true);
    if (!write(chosen, true))
        return false;
    m_path = chosen;
    setTitleForPath();
    toSaveLastSaveQuestionsInfo();
    return true;
}

bool QuestionsSettingWindowController::windowShouldClose()
{
    if (!isQuestionsContentChange()) {
        const PollixAlert::SaveAnswer answer =
            PollixAlert::askToSave(this, QStringLiteral("Warning"), QStringLiteral("Warning"),
                                   {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")},
                                   QStringLiteral("You have made some changes,save and exit?"));
        if (answer == PollixAlert::SaveAnswer::Cancel)
            return false;
        if (answer == PollixAlert::SaveAnswer::Save) {
            // The pages are written as they stand, without a save pass.
            if (!m_path.isEmpty()) {
                if (!write(m_path, false))
                    return false;
            } else {
                const QString chosen = chooseSavePath();
                if (chosen.isEmpty() || !write(chosen, true))
                    return false;
                m_path = chosen;
            }
        }
    }
    if (m_questionInfo)
        m_questionInfo->close();
    NotificationCenter::defaultCenter()->removeObserverTree(this);
    if (m_father) {
        m_father->show();
        m_father->raise();
        m_father->activateWindow();
    }
    return true;
}

void QuestionsSettingWindowController::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    placeToolBars();
}

void QuestionsSettingWindowController::placeToolBars()
{
    const QToolBar *pageBar = findChild<QToolBar *>(QStringLiteral("toolbar"));
    const int oneRow = pageBar->sizeHint().width() + formatBar->sizeHint().width();
    const bool wrap = oneRow > width();
    if (wrap == m_toolBarsWrapped)
        return;
    m_toolBarsWrapped = wrap;
    if (wrap)
        insertToolBarBreak(formatBar);
    else
        removeToolBarBreak(formatBar);
}

void QuestionsSettingWindowController::closeEvent(QCloseEvent *event)
{
    if (windowShouldClose())
        event->accept();
    else
        event->ignore();
}
