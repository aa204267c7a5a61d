#include "TabInterface.h"

#include "TabController.h"
#include "TabPresentationButtons.h"

#include "ui/controls/AppIcons.h"
#include "ui/controls/ElidedLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Every icon bar of the window shows its pictures at this one size.
constexpr int kBarIconSize = 32;

QString tr(const char *text)
{
    return TabController::tr(text);
}

QPushButton *bigButton(QWidget *parent, const char *name, const QString &text, const QIcon &icon)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIconSize(QSize(kBarIconSize, kBarIconSize));
    TabInterface::setBarIcon(b, icon);
    b->setMinimumSize(150, 64);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

QPushButton *smallButton(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

void TabInterface::setBarIcon(QPushButton *button, const QIcon &icon)
{
    button->setIcon(AppIcons::sized(icon, kBarIconSize));
}

void TabInterface::build(TabController *w)
{
    w->tabView = new QTabWidget(w);
    w->tabView->setObjectName(QStringLiteral("tabView"));
    w->tabView->setDocumentMode(false);
    w->setCentralWidget(w->tabView);
    QStyle *st = w->style();

    // Brightpoll: prepare and start an activity.
    auto *bright = new QWidget;
    bright->setObjectName(QStringLiteral("Brightpoll"));
    auto *brightLayout = new QVBoxLayout(bright);
    auto *runBox = new QGroupBox(tr("Class and Quiz"), bright);
    auto *runLayout = new QHBoxLayout(runBox);
    w->btnClassSet = bigButton(runBox, "btnClassSet", tr("Class"), st->standardIcon(QStyle::SP_DirHomeIcon));
    w->btnLoad = bigButton(runBox, "btnLoad", tr("Load"), st->standardIcon(QStyle::SP_DialogOpenButton));
    w->btnTitleSet = bigButton(runBox, "btnTitleSet", tr("Title"), st->standardIcon(QStyle::SP_FileDialogDetailedView));
    w->btnStart = bigButton(runBox, "btnStart", tr("Start"), st->standardIcon(QStyle::SP_MediaPlay));
    for (QPushButton *b : {w->btnClassSet, w->btnLoad, w->btnTitleSet, w->btnStart})
        runLayout->addWidget(b);

    auto *actBox = new QGroupBox(tr("Activity"), bright);
    auto *actLayout = new QGridLayout(actBox);
    w->cboParticipationMode = new QComboBox(actBox);
    w->cboParticipationMode->setObjectName(QStringLiteral("cboParticipationMode"));
    w->chkStyle = new QCheckBox(tr("Free Style"), actBox);
    w->chkStyle->setObjectName(QStringLiteral("chkStyle"));
    w->cboActivityMode = new QComboBox(actBox);
    w->cboActivityMode->setObjectName(QStringLiteral("cboActivityMode"));
    w->cboActivityMode->setMinimumWidth(180);
    actLayout->addWidget(new QLabel(tr("Participation:"), actBox), 0, 0);
    actLayout->addWidget(w->cboParticipationMode, 0, 1);
    actLayout->addWidget(w->chkStyle, 0, 2);
    actLayout->addWidget(new QLabel(tr("Activity:"), actBox), 1, 0);
    actLayout->addWidget(w->cboActivityMode, 1, 1);
    actLayout->setColumnStretch(3, 1);

    auto *fileBox = new QGroupBox(tr("Question File"), bright);
    auto *fileLayout = new QHBoxLayout(fileBox);
    w->btnNew = smallButton(fileBox, "btnNew", tr("New"));
    w->btnOpen = smallButton(fileBox, "btnOpen", tr("Open"));
    fileLayout->addWidget(w->btnNew);
    fileLayout->addWidget(w->btnOpen);
    fileLayout->addStretch();

    auto *pptBox = new QGroupBox(tr("PowerPoint"), bright);
    auto *pptLayout = new QGridLayout(pptBox);
    w->cboPPTTemp = new QComboBox(pptBox);
    w->cboPPTTemp->setObjectName(QStringLiteral("cboPPTTemp"));
    w->btnPPTOpen = smallButton(pptBox, "btnPPTOpen", tr("Open"));
    w->btnPPTNew = smallButton(pptBox, "btnPPTNew", tr("New"));
    w->btnPPTAdd = smallButton(pptBox, "btnPPTAdd", tr("Add"));
    w->btnPPTDel = smallButton(pptBox, "btnPPTDel", tr("Delete"));
    w->btnPPTSave = smallButton(pptBox, "btnPPTSave", tr("Save"));
    w->btnPPTClose = smallButton(pptBox, "btnPPTClose", tr("Close"));
    w->btnPPTSetup = smallButton(pptBox, "btnPPTSetup", tr("Setup"));
    pptLayout->addWidget(new QLabel(tr("Template:"), pptBox), 0, 0);
    pptLayout->addWidget(w->cboPPTTemp, 0, 1, 1, 3);
    int col = 0;
    for (QPushButton *b :
         {w->btnPPTOpen, w->btnPPTNew, w->btnPPTAdd, w->btnPPTDel, w->btnPPTSave, w->btnPPTClose, w->btnPPTSetup})
        pptLayout->addWidget(b, 1 + col / 4, col % 4), ++col;

    auto *lower = new QHBoxLayout;
    lower->addWidget(fileBox);
    lower->addWidget(pptBox, 1);
    brightLayout->addWidget(runBox);
    brightLayout->addWidget(actBox);
    brightLayout->addLayout(lower);
    brightLayout->addStretch();

    // ExamEditor: question files.
    auto *editor = new QWidget;
    editor->setObjectName(QStringLiteral("ExamEditor"));
    auto *editorLayout = new QHBoxLayout(editor);
    w->btnPXNew = bigButton(editor, "btnPXNew", tr("New Question File"), st->standardIcon(QStyle::SP_FileIcon));
    w->btnPXOpen = bigButton(editor, "btnPXOpen", tr("Open Question File"), st->standardIcon(QStyle::SP_DialogOpenButton));
    editorLayout->addWidget(w->btnPXNew, 0, Qt::AlignTop);
    editorLayout->addWidget(w->btnPXOpen, 0, Qt::AlignTop);
    editorLayout->addStretch();

    // Reports.
    auto *reports = new QWidget;
    reports->setObjectName(QStringLiteral("Reports"));
    auto *reportsLayout = new QHBoxLayout(reports);
    w->btnReport = bigButton(reports, "btnReport", tr("Report"), AppIcons::icon(QStringLiteral("lock.png")));
    w->btnSession = bigButton(reports, "btnSession", tr("Receive Session"), st->standardIcon(QStyle::SP_ArrowDown));
    reportsLayout->addWidget(w->btnReport, 0, Qt::AlignTop);
    reportsLayout->addWidget(w->btnSession, 0, Qt::AlignTop);
    reportsLayout->addStretch();

    // Settings.
    auto *settings = new QWidget;
    settings->setObjectName(QStringLiteral("Settings"));
    auto *settingsLayout = new QGridLayout(settings);
    w->btnSystem = bigButton(settings, "btnSystem", tr("System"), AppIcons::icon(QStringLiteral("system.png")));
    w->btnChannelSet = bigButton(settings, "btnChannelSet", tr("Channel"), AppIcons::icon(QStringLiteral("lock.png")));
    w->btnHardware = bigButton(settings, "btnHardware", tr("Hardware Test"), AppIcons::icon(QStringLiteral("hardware.png")));
    w->btnDatabase = bigButton(settings, "btnDatabase", tr("Data Management"), AppIcons::icon(QStringLiteral("lock.png")));
    w->btnLogin = bigButton(settings, "btnLogin", tr("Login Setup"), st->standardIcon(QStyle::SP_DialogApplyButton));
    w->btnVersion = bigButton(settings, "btnVersion", tr("Version"), st->standardIcon(QStyle::SP_MessageBoxInformation));
    col = 0;
    for (QPushButton *b : {w->btnSystem, w->btnChannelSet, w->btnHardware, w->btnDatabase, w->btnLogin, w->btnVersion})
        settingsLayout->addWidget(b, col / 3, col % 3), ++col;
    settingsLayout->setRowStretch(2, 1);

    w->tabView->addTab(bright, tr("Brightpoll"));
    w->tabView->addTab(editor, tr("Question Editor"));
    w->tabView->addTab(reports, tr("Reports"));
    w->tabView->addTab(settings, tr("Settings"));
    QObject::connect(w->tabView, &QTabWidget::currentChanged, w, &TabController::tabChanged);

    QObject::connect(w->btnClassSet, &QPushButton::clicked, w, &TabController::doClassSet);
    QObject::connect(w->btnLoad, &QPushButton::clicked, w, &TabController::doLoad);
    QObject::connect(w->btnTitleSet, &QPushButton::clicked, w, &TabController::doTitleSet);
    QObject::connect(w->btnStart, &QPushButton::clicked, w, &TabController::doStart);
    QObject::connect(w->chkStyle, &QCheckBox::clicked, w, &TabController::doCheckStyle);
    QObject::connect(w->cboParticipationMode, &QComboBox::activated, w,
                     [w] { w->comboBoxSelectionDidChange(w->cboParticipationMode); });
    QObject::connect(w->cboActivityMode, &QComboBox::activated, w, [w] { w->comboBoxSelectionDidChange(w->cboActivityMode); });
    TabPresentationButtons *ppt = w->m_presentation.get();
    QObject::connect(w->btnPPTOpen, &QPushButton::clicked, w, [ppt] { ppt->doPPTOpen(); });
    QObject::connect(w->btnPPTNew, &QPushButton::clicked, w, [ppt] { ppt->doPPTNew(); });
    QObject::connect(w->btnPPTAdd, &QPushButton::clicked, w, [ppt] { ppt->doPPTAdd(); });
    QObject::connect(w->btnPPTDel, &QPushButton::clicked, w, [ppt] { ppt->doPPTDel(); });
    QObject::connect(w->btnPPTSave, &QPushButton::clicked, w, [ppt] { ppt->doPPTSave(); });
    QObject::connect(w->btnPPTClose, &QPushButton::clicked, w, [ppt] { ppt->doPPTClose(); });
    QObject::connect(w->btnPPTSetup, &QPushButton::clicked, w, [ppt] { ppt->doPPTSetup(); });
    QObject::connect(w->btnNew, &QPushButton::clicked, w, &TabController::doPXNew);
    QObject::connect(w->btnOpen, &QPushButton::clicked, w, &TabController::doPXOpen);
    QObject::connect(w->btnPXNew, &QPushButton::clicked, w, &TabController::doPXNew);
    QObject::connect(w->btnPXOpen, &QPushButton::clicked, w, &TabController::doPXOpen);
    QObject::connect(w->btnReport, &QPushButton::clicked, w, &TabController::doReports);
    QObject::connect(w->btnSession, &QPushButton::clicked, w, &TabController::doSession);
    QObject::connect(w->btnSystem, &QPushButton::clicked, w, &TabController::doSystemSet);
    QObject::connect(w->btnChannelSet, &QPushButton::clicked, w, &TabController::doChannelSet);
    QObject::connect(w->btnHardware, &QPushButton::clicked, w, &TabController::doHardwareTest);
    QObject::connect(w->btnDatabase, &QPushButton::clicked, w, &TabController::doDataManagement);
    QObject::connect(w->btnLogin, &QPushButton::clicked, w, &TabController::doLoginSet);
    QObject::connect(w->btnVersion, &QPushButton::clicked, w, &TabController::doVersionInfo);

    w->txtSessionSaved = new ElidedLabel(w);
    w->txtSessionSaved->setObjectName(QStringLiteral("txtSessionSaved"));
    w->statusBar()->addWidget(w->txtSessionSaved, 1);

    w->resize(820, 560);
}

void TabInterface::setToolTips(TabController *w)
{
    const QList<std::pair<QPushButton *, const char *>> tips{
        {w->btnClassSet, "Class Setup"}, {w->btnLoad, "Load Quiz File"}, {w->btnTitleSet, "Quiz File Title Setup"},
        {w->btnStart, "Start Exam"},     {w->btnOpen, "Open"},           {w->btnNew, "New"},
        {w->btnPPTOpen, "Open"},         {w->btnPPTNew, "New"},          {w->btnPPTAdd, "Add"},
        {w->btnPPTDel, "Delete"},        {w->btnPPTSave, "Save"},        {w->btnPPTClose, "Close"},
        {w->btnPPTSetup, "PowerPoint Setup"}, {w->btnPXOpen, "Open"},    {w->btnPXNew, "New"},
        {w->btnReport, "Report"},        {w->btnSession, "Receive Session"}, {w->btnSystem, "System Setup"},
        {w->btnChannelSet, "Channel Setup"}, {w->btnHardware, "Hardware Test"}, {w->btnDatabase, "Data Management"},
        {w->btnLogin, "Login Setup"},    {w->btnVersion, "Version Information"}};
    for (const auto &[button, tip] : tips)
        button->setToolTip(tr(tip));
}
