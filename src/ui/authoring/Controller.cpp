#include "Controller.h"

#include "PageTools.h"
#include "Questions.h"
#include "SmallQuestions.h"
#include "StandardController.h"
#include "TextFormatPanels.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/AppIcons.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/NSMyColorWell.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ScreenCapture.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>

Controller::Controller(QWidget *window, Questions *canvas, SmallQuestions *strip)
    : QObject(window), bigQuestions(canvas), smallQuestions(strip)
{
    setObjectName(QStringLiteral("Controller"));
    build(window);
    m_panels = new TextFormatPanels(window, [this](const QTextCharFormat &f) { PageTools::applyTextFormat(bigQuestions, f); });
    auto *nc = NotificationCenter::defaultCenter();
    nc->addObserver(this, Notify::ChangeComboboxOption, [this](const Notification &n) {
        if (bigQuestions->ownsPage(n.object))
            selectOption(n.userInfo.value(Notify::Key::ToolTipNo).toInt());
    });
    nc->addObserver(this, Notify::FreeStyleTeacherQuestion, [this](const Notification &n) { MessageToAdd(n.userInfo); });
    // The page count decides what is live.
    for (const QLatin1String name : {Notify::ChangeQuestionDisplay, Notify::BigQuestionDeleteKey})
        nc->addObserver(this, name, [this](const Notification &) { validateToolbarItems(); });
    validateToolbarItems();
}

Controller::~Controller()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void Controller::build(QWidget *window)
{
    m_toolbar = new QToolBar(window);
    m_toolbar->setObjectName(QStringLiteral("toolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // The run window is dark; the toolbar keeps the light look of the editor's.
    m_toolbar->setAutoFillBackground(true);
    m_toolbar->setBackgroundRole(QPalette::Window);
    // Its captions are dark on its light face, whatever the window's own labels are.
    m_toolbar->setStyleSheet(
        QStringLiteral("#toolbar QLabel { color: #1f2a36; } #toolbar QLabel:disabled { color: #8a939c; }"));
    const auto action = [this](const char *name, const QString &text, const char *icon, void (Controller::*slot)()) {
        QAction *a = PageTools::addAction(m_toolbar, name, text, icon);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    const auto toolButton = [this](const char *name, const QString &text, const char *icon) {
        return PageTools::addToolButton(m_toolbar, name, text, icon);
    };

    cmbTemplate = new QComboBox(m_toolbar);
    cmbTemplate->setObjectName(QStringLiteral("cmbTemplate"));
    m_toolbar->addWidget(PageTools::labelled(tr("New Question"), cmbTemplate, m_toolbar));
    tbiAddNew = action("tbiAddNew", tr("Add"), "addpage.png", &Controller::onAddNewTemplate);
    tbiDel = action("tbiDel", tr("Delete"), "delpage.png", &Controller::onDel);
    m_toolbar->addSeparator();

    pubControl = PageTools::makeToolPopup(m_toolbar);
    connect(pubControl, &QComboBox::activated, this, &Controller::onSelectToolAction);
    m_toolbar->addWidget(PageTools::labelled(tr("Tool"), pubControl, m_toolbar));
    pubControlPenSize = PageTools::makePenSizePopup(m_toolbar);
    connect(pubControlPenSize, &QComboBox::activated, this, &Controller::onPenSize);
    m_toolbar->addWidget(PageTools::labelled(tr("Pen Size"), pubControlPenSize, m_toolbar));
    colorwell = new NSMyColorWell(m_toolbar);
    colorwell->setObjectName(QStringLiteral("colorwell"));
    colorwell->setColor(Qt::black);
    connect(colorwell, &NSMyColorWell::colorChanged, this, &Controller::onColorSet);
    m_toolbar->addWidget(PageTools::labelled(tr("Pen Colour"), colorwell, m_toolbar));
    pubControlAlignAndSize = PageTools::makeAlignAndSizeButton(m_toolbar, bigQuestions);
    m_toolbar->addWidget(pubControlAlignAndSize);
    tbiFont = action("tbiFont", tr("Fonts"), "font.png", &Controller::onFontPanel);
    tbiColor = action("tbiColor", tr("Colors"), "colors.png", &Controller::onColorPanel);
    comboboxToolTip = new QComboBox(m_toolbar);
    comboboxToolTip->setObjectName(QStringLiteral("comboboxToolTip"));
    connect(comboboxToolTip, &QComboBox::activated, this, &Controller::comboBoxSelectionDidChange);
    m_toolbar->addWidget(PageTools::labelled(tr("Box Role"), comboboxToolTip, m_toolbar));
    m_toolbar->addSeparator();
    // Question information has nothing to show in a free-style run; the button stays off.
    btnQuestionInfo = toolButton("btnQuestionInfo", tr("Properties"), "info.png");
    btnStandard = toolButton("btnStandard", tr("Standard"), "standard.png");
    connect(btnStandard, &QToolButton::clicked, this, &Controller::onStandard);
    tbiCutPicture = action("tbiCutPicture", tr("Capture"), "capture.png", &Controller::onCutPicture);
}

void Controller::initData()
{
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const int deviceType = app ? app->currentDeviceType() : -1;
    m_arrayTemplateNum = FreeStyleRules::optionCounts(deviceType);
    const QSignalBlocker b1(cmbTemplate), b2(comboboxToolTip);
    cmbTemplate->clear();
    for (int n : std::as_const(m_arrayTemplateNum))
        cmbTemplate->addItem(tr("%1 Options").arg(n));
    comboboxToolTip->clear();
    comboboxToolTip->addItems(FreeStyleRules::roleNames());
    cmbTemplate->setCurrentIndex(0);
    comboboxToolTip->setCurrentIndex(0);
    m_bToolbarEnableFlag = false;
    validateToolbarItems();
}

void Controller::setAddNewState(bool between)
{
    m_bAddNewState = between;
    validateToolbarItems();
}

void Controller::setFreestyleBottomState(bool bottom)
{
    m_bFreestyleBottom = bottom;
    validateToolbarItems();
}

void Controller::setBToolbarEnableFlag(bool enabled)
{
    m_bToolbarEnableFlag = enabled;
    validateToolbarItems();
}

void Controller::validateToolbarItems()
{
    FreeStyleRules::ToolbarState s;
    s.enabled = m_bToolbarEnableFlag;
    s.bottomLayout = m_bFreestyleBottom;
    s.haveQuestions = !bigQuestions->questions().isEmpty();
    s.addNewState = m_bAddNewState;
    s.canCapture = ScreenCapture::installed() != nullptr;
    const FreeStyleRules::Items on = FreeStyleRules::toolbarItems(s);
    using I = FreeStyleRules::Item;
    cmbTemplate->setEnabled(on.testFlag(I::OptionCount));
    comboboxToolTip->setEnabled(on.testFlag(I::Role));
    pubControl->setEnabled(on.testFlag(I::Tool));
    pubControlPenSize->setEnabled(on.testFlag(I::PenSize));
    pubControlAlignAndSize->setEnabled(on.testFlag(I::AlignAndSize));
    colorwell->setEnabled(on.testFlag(I::ColorWell));
    tbiFont->setEnabled(on.testFlag(I::ColorWell));
    tbiColor->setEnabled(on.testFlag(I::ColorWell));
    btnQuestionInfo->setEnabled(false);
    btnStandard->setEnabled(on.testFlag(I::Standard));
    tbiCutPicture->setEnabled(on.testFlag(I::CutPicture));
    tbiAddNew->setEnabled(on.testFlag(I::AddNew));
    tbiDel->setEnabled(on.testFlag(I::Delete));
}

// ---- page tools ----

void Controller::onSelectToolAction()
{
    PageTools::selectTool(bigQuestions, pubControl->currentIndex());
}

void Controller::onPenSize()
{
    PageTools::selectPenSize(bigQuestions, pubControlPenSize->currentIndex());
}

void Controller::onColorSet(const QColor &color)
{
    bigQuestions->onColorSet(color);
}

bool Controller::isColorPanelShown() const
{
    return m_colorSession;
}

void Controller::onColorPanel()
{
    if (m_colorSession)
        return;
    m_colorSession = true;
    NotificationCenter::defaultCenter()->postNotification(Notify::BigQuestionBeginDoModal, {}, this);
    m_panels->showColorPanel();
    QColorDialog *panel = m_panels->colorPanel();
    panel->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    panel->show();
    panel->raise();
    // The panel closes (and goes) with its close box or closeColorPanel().
    connect(panel, &QObject::destroyed, this, [this] {
        if (!m_colorSession)
            return;
        m_colorSession = false;
        NotificationCenter::defaultCenter()->postNotification(Notify::BigQuestionEndDoModal, {}, this);
    });
}

void Controller::closeColorPanel()
{
    if (QColorDialog *panel = m_panels->colorPanel(); panel && m_colorSession)
        panel->close();
}

void Controller::onFontPanel()
{
    m_panels->showFontPanel();
}

void Controller::onCutPicture()
{
    if (!tbiCutPicture->isEnabled())
        return;
    NotificationCenter::defaultCenter()->postNotification(Notify::FreeStyleCutPicture, {}, this);
}

void Controller::onStandard()
{
    QuestionSetView *page = bigQuestions->currentPage();
    if (!page)
        return;
    StandardController standards(bigQuestions->window());
    standards.setStandardName(page->strStandardCode());
    standards.awakeFromNib();
    if (DialogHooks::runModal(&standards) != 1)
        return;
    page->setStrStandardCode(standards.standardNameSelected());
    page->setStrStandardTitle(standards.standardTitleSelected());
    NotificationCenter::defaultCenter()->postNotification(Notify::ChangeQuestionContent, {}, page);
}

void Controller::comboBoxSelectionDidChange()
{
    QuestionSetView *page = bigQuestions->currentPage();
    if (!page) {
        const QSignalBlocker block(comboboxToolTip);
        comboboxToolTip->setCurrentIndex(0);
        return;
    }
    if (page->giveAnchorRole(comboboxToolTip->currentIndex())) {
        NotificationCenter::defaultCenter()->postNotification(Notify::ChangeQuestionContent, {}, page);
        bigQuestions->update();
    }
}

void Controller::selectOption(int role)
{
    // Roles past "OptionF" (options G to J, titles, pictures) have no entry here.
    const QSignalBlocker block(comboboxToolTip);
    comboboxToolTip->setCurrentIndex(role >= 0 && role < comboboxToolTip->count() ? role : 0);
}

// ---- pages ----

void Controller::addPage(int optionCount, int questionType, const QString &answer, const QString &addType)
{
    bigQuestions->addNewQuestion(int(bigQuestions->questions().size()), bigQuestions->createTemplate(optionCount));
    NotificationCenter::defaultCenter()->postNotification(
        Notify::FreeStyleAddNewQuestion,
        {{Notify::Key::QueType, questionType}, {Notify::Key::QueAns, answer}, {Notify::Key::OptionSum, optionCount},
         {Notify::Key::AddType, addType}},
        this);
    validateToolbarItems();
}

void Controller::onAddNewTemplate()
{
    if (!tbiAddNew->isEnabled())
        return;
    const int entry = cmbTemplate->currentIndex();
    if (entry < 0 || entry >= m_arrayTemplateNum.size())
        return;
    addPage(m_arrayTemplateNum[entry], 0, QString(), QStringLiteral("button"));
}

void Controller::MessageToAdd(const QVariantMap &info)
{
    // Only a free-style run takes questions from the teacher keypad, and only between questions.
    if (!m_bToolbarEnableFlag || !m_bAddNewState)
        return;
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const int deviceType = app ? app->currentDeviceType() : -1;
    const int options = FreeStyleRules::keypadOptionCount(deviceType, info.value(Notify::Key::OptSum).toInt());
    addPage(options, info.value(Notify::Key::QueType).toInt(), info.value(Notify::Key::QueAns).toString(),
            QStringLiteral("Teacher"));
}

void Controller::onDel()
{
    if (!tbiDel->isEnabled())
        return;
    NotificationCenter *nc = NotificationCenter::defaultCenter();
    nc->postNotification(Notify::BigQuestionBeginDoModal, {}, this);
    const int answer = PollixAlert::show(bigQuestions->window(), QStringLiteral("Pollix"), tr("Are you sure to delete this question?"),
                                         {tr("Yes"), tr("No")}, {}, PollixAlert::Default::LeavesAsIs);
    nc->postNotification(Notify::BigQuestionEndDoModal, {}, this);
    if (answer != PollixAlert::AlertSecondButtonReturn)
        nc->postNotification(Notify::BigQuestionDeleteKey, {}, this);
}
