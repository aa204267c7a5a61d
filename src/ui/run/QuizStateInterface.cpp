#include "QuizStateInterface.h"

#include "QuizStateWindowController.h"
#include "StudentLoginView.h"

#include "ui/authoring/Questions.h"
#include "ui/authoring/SmallQuestions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpacerItem>
#include <QVBoxLayout>

using Control = RunControls::Control;
using KeyAction = TeacherKeyMap::Action;

namespace {

// The gap between groups of the run bar, as built and on a narrow screen; the buttons' own gap there.
constexpr int kGroupGap = 24;
constexpr int kTightGroupGap = 8;
constexpr int kTightSpacing = 4;

QScrollArea *makeScrollArea(QWidget *parent, const QString &name, QWidget *inside, const char *background)
{
    auto *area = new QScrollArea(parent);
    area->setObjectName(name);
    area->setWidget(inside);
    area->setStyleSheet(QStringLiteral("QScrollArea { background: %1; border: none; }").arg(QLatin1String(background)));
    return area;
}

} // namespace

QString QuizStateInterface::receiverLostStyle()
{
    return QStringLiteral("QLabel { background: #c62828; color: #ffffff; font-weight: bold; font-size: 13pt; "
                          "padding: 4px 10px; border-radius: 4px; }");
}

QLabel *QuizStateInterface::makeLabel(QWidget *parent, const QString &name, const QString &text, bool bold)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

const QList<QuizStateInterface::RunButton> &QuizStateInterface::runButtons()
{
    using W = QuizStateWindowController;
    static const QList<RunButton> buttons{
        {"btnPrevious", "Previous", QStyle::SP_MediaSeekBackward, &W::btnPrevious, Control::Previous, &W::OnPrevious, KeyAction::Previous, 0, 1},
        {"btnStart", "Start", QStyle::SP_MediaPlay, &W::btnStart, Control::Start, &W::OnStart, KeyAction::Start, 0, 0},
        {"btnStop", "Stop", QStyle::SP_MediaStop, &W::btnStop, Control::Stop, &W::OnStop, KeyAction::Stop, 0, 0},
        {"btnNext", "Next", QStyle::SP_MediaSeekForward, &W::btnNext, Control::Next, &W::OnNext, KeyAction::Next, 0, 1},
        {"btnTimeDown", "-5", QStyle::SP_ArrowDown, &W::btnTimeDown, Control::TimeDown, &W::OnTimeDown, KeyAction::None, 1, 0},
        {"btnTimeUp", "+5", QStyle::SP_ArrowUp, &W::btnTimeUp, Control::TimeUp, &W::OnTimeUp, KeyAction::None, 1, 0},
        {"btnResult", "Result", QStyle::SP_FileDialogContentsView, &W::btnResult, Control::Result, &W::OnResult, KeyAction::Result, 2, 5},
        {"btnReport", "Report", QStyle::SP_FileDialogDetailedView, &W::btnReport, Control::Report, &W::OnReport, KeyAction::Report, 2, 6},
        {"btnSendQuestions", "Send Questions", QStyle::SP_ArrowRight, &W::btnSendQuestions, Control::SendQuestions,
         &W::OnSendQuestions, KeyAction::SendQuestions, 2, 6},
        {"btnRead", "Read", QStyle::SP_MediaVolume, &W::btnRead, Control::Read, &W::OnSpeech, KeyAction::None, 2, 2},
        {"btnAnswerSetting", "Set Answer", QStyle::SP_DialogApplyButton, &W::btnAnswerSetting, Control::AnswerSetting,
         &W::OnAnswerSetting, KeyAction::None, 2, 4},
        {"btnToggle", "Questions", QStyle::SP_TitleBarShadeButton, &W::btnToggle, Control::Toggle, &W::OnToggle, KeyAction::None, 2, 7},
        {"btnExit", "Exit", QStyle::SP_DialogCloseButton, &W::btnExit, Control::Exit, &W::OnExit, KeyAction::Exit, 3, 3},
    };
    return buttons;
}

StudentLoginView *QuizStateInterface::build(QuizStateWindowController *w)
{
    auto *content = new QWidget(w);
    content->setObjectName(QStringLiteral("QuizStateContent"));
    content->setAttribute(Qt::WA_StyledBackground);
    content->setStyleSheet(QStringLiteral("#QuizStateContent { background: #1f2a36; }"
                                          "#QuizStateContent QLabel { color: #e8edf2; }"
                                          "#QuizStateContent QPushButton[runButton=\"true\"] { min-height: 34px; padding: 2px 12px; }"));
    auto *outer = new QVBoxLayout(w);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(content);

    auto *grid = new StudentLoginView;
    auto *root = new QVBoxLayout(content);
    root->setContentsMargins(8, 8, 8, 8);
    root->setSpacing(6);
    root->addLayout(buildStatusBand(w, content));
    // Stands out over the whole width while the receiver is lost; hidden otherwise.
    w->txtReceiverState = makeLabel(content, QStringLiteral("txtReceiverState"), RunSession::receiverLostNotice(), true);
    w->txtReceiverState->setStyleSheet(receiverLostStyle());
    w->txtReceiverState->setWordWrap(true);
    w->txtReceiverState->hide();
    root->addWidget(w->txtReceiverState);
    w->txtMessage = makeLabel(content, QStringLiteral("txtMessage"));
    root->addWidget(w->txtMessage);
    root->addLayout(buildPaneBand(w, content, grid), 1);
    root->addLayout(buildButtonBand(w, content));
    return grid;
}

QBoxLayout *QuizStateInterface::buildStatusBand(QuizStateWindowController *w, QWidget *content)
{
    // Activity, question, page, answered, hand raises, done, class.
    auto *status = new QHBoxLayout;
    w->txtMultipleModeString = makeLabel(content, QStringLiteral("txtMultipleModeString"));
    QFont big = w->txtMultipleModeString->font();
    big.setPointSize(16);
    big.setBold(true);
    w->txtMultipleModeString->setFont(big);
    w->txtQuNoTitle = makeLabel(content, QStringLiteral("txtQuNoTitle"), QuizStateWindowController::tr("Question No.:"));
    w->txtQuNo = makeLabel(content, QStringLiteral("txtQuNo"), {}, true);
    w->txtPageAndTotalPageTitle = makeLabel(content, QStringLiteral("txtPageAndTotalPageTitle"), QuizStateWindowController::tr("Page:"));
    w->txtPageAndTotalPage = makeLabel(content, QStringLiteral("txtPageAndTotalPage"), {}, true);
    auto *answeredTitle =
        makeLabel(content, QStringLiteral("txtLoginAndAnsweredTitle"), QuizStateWindowController::tr("Answered / Logged in:"));
    w->txtLoginAndAnswered = makeLabel(content, QStringLiteral("txtLoginAndAnswered"), QStringLiteral("0 / 0"), true);
    w->txtDone = makeLabel(content, QStringLiteral("txtDone"));
    w->txtDone->setStyleSheet(QStringLiteral("color: #7fd36b; font-weight: bold;"));
    w->txtHandRaiseTitle = makeLabel(content, QStringLiteral("txtHandRaiseTitle"), QuizStateWindowController::tr("Hand Raise:"));
    w->txtHandRaise = makeLabel(content, QStringLiteral("txtHandRaise"), QStringLiteral("0"), true);
    // A long class name takes the room left on the line, never more: the window stays on the
    // screen, and where the room is short the name gives way to "..." rather than losing its start.
    w->txtClassName = new ElidedLabel(content);
    w->txtClassName->setObjectName(QStringLiteral("txtClassName"));
    w->txtClassName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    status->addWidget(w->txtMultipleModeString);
    status->addSpacing(24);
    for (const auto &[title, value] :
         {std::pair{w->txtQuNoTitle, w->txtQuNo}, std::pair{w->txtPageAndTotalPageTitle, w->txtPageAndTotalPage},
          std::pair{answeredTitle, w->txtLoginAndAnswered}, std::pair{w->txtHandRaiseTitle, w->txtHandRaise}}) {
        status->addWidget(title);
        status->addWidget(value);
        status->addSpacing(16);
    }
    status->addWidget(w->txtDone);
    status->addWidget(w->txtClassName, 1);
    return status;
}

QBoxLayout *QuizStateInterface::buildPaneBand(QuizStateWindowController *w, QWidget *content, StudentLoginView *grid)
{
    // Thumbnail strip, page, student grid.
    w->smallQuestions = new SmallQuestions(QSize(int(kPageSize.width() * SmallQuestions::kScale) + 24, 400));
    w->smallQuestionsSV = makeScrollArea(content, QStringLiteral("smallQuestionsSV"), w->smallQuestions, "#dfe4ea");
    w->smallQuestionsSV->setFixedWidth(w->smallQuestions->width() + 20);
    w->smallQuestionsSV->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The strip reaches down the whole pane, however few pages it holds.
    w->smallQuestionsSV->setWidgetResizable(true);
    w->bigQuestions = new Questions(kPageSize);
    w->bigQuestions->setSmallQuestions(w->smallQuestions);
    w->smallQuestions->setCanvas(w->bigQuestions);
    QScrollArea *pageHost = makeScrollArea(content, QStringLiteral("QuestionsSV"), w->bigQuestions, "#2c3a48");
    // The page fills the room the window has, whatever the screen: the class sees all of it.
    w->bigQuestions->setFillsView(true);
    w->bigQuestions->setMinimumSize(kPageSize / 2);
    pageHost->setWidgetResizable(true);
    grid->resize(5 * (StudentLoginView::buttonWidth + 2) + 8, 200);
    w->loginViewSV = makeScrollArea(content, QStringLiteral("loginViewSV"), grid, "#f4f6f8");
    w->loginViewSV->setFixedWidth(grid->width() + 20);
    w->loginViewSV->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The foot of the grid's column is given to the students not in the class while they stand there.
    w->forceLoginRoom = new QWidget(content);
    w->forceLoginRoom->setObjectName(QStringLiteral("forceLoginRoom"));
    auto *gridColumn = new QVBoxLayout;
    gridColumn->setSpacing(0);
    gridColumn->addWidget(w->loginViewSV, 1);
    gridColumn->addWidget(w->forceLoginRoom);

    auto *panes = new QHBoxLayout;
    panes->addWidget(w->smallQuestionsSV);
    panes->addWidget(pageHost, 1);
    panes->addLayout(gridColumn);
    return panes;
}

QBoxLayout *QuizStateInterface::buildButtonBand(QuizStateWindowController *w, QWidget *content)
{
    auto *bar = new QHBoxLayout;
    bar->setObjectName(QStringLiteral("runBar"));
    w->txtQuizTime = makeLabel(content, QStringLiteral("txtQuizTime"), QStringLiteral("0"));
    w->txtQuizTime->setAlignment(Qt::AlignCenter);
    w->txtQuizTime->setMinimumWidth(110);
    w->txtQuizTime->setTextInteractionFlags(Qt::NoTextInteraction);
    int group = 0;
    for (const RunButton &row : runButtons()) {
        if (row.group != group) {
            if (row.group == 3)
                bar->addStretch(1);
            else
                bar->addSpacing(kGroupGap);
            group = row.group;
        }
        auto *b = new QPushButton(w->style()->standardIcon(row.icon), QuizStateWindowController::tr(row.text), content);
        b->setObjectName(QLatin1String(row.name));
        b->setProperty("runButton", true);
        b->setProperty("caption", b->text());
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(kBarIconSize);
        w->*row.outlet = b;
        if (row.outlet == &QuizStateWindowController::btnTimeUp)
            bar->addWidget(w->txtQuizTime);
        bar->addWidget(b);
        // A mouse click and a teacher key take the same path: the action checks its button first.
        if (row.action)
            QObject::connect(b, &QPushButton::clicked, w, [w, action = row.action] { (w->*action)(); });
    }
    w->btnStart->setCheckable(true);
    w->btnStart->setProperty("imageName", QStringLiteral("start_normal.png"));
    fixStartWidth(w);
    return bar;
}

void QuizStateInterface::fixStartWidth(QuizStateWindowController *w)
{
    // Start becomes Pause and back: it keeps the width of the wider text, so nothing beside it moves.
    QPushButton *start = w->btnStart;
    const QString shown = start->text();
    start->setMinimumWidth(0);
    start->setMaximumWidth(QWIDGETSIZE_MAX);
    int width = 0;
    for (const QString &text : {QuizStateWindowController::tr("Pause"), QuizStateWindowController::tr("Start")}) {
        start->setText(text);
        width = qMax(width, start->sizeHint().width());
    }
    start->setText(shown);
    start->setFixedWidth(width);
}

int QuizStateInterface::fitButtonBand(QuizStateWindowController *w, int screenWidth)
{
    auto *bar = w->findChild<QHBoxLayout *>(QStringLiteral("runBar"));
    const QLayout *root = w->findChild<QWidget *>(QStringLiteral("QuizStateContent"))->layout();
    const int room = screenWidth - root->contentsMargins().left() - root->contentsMargins().right();
    int step = 0;
    for (;; ++step) {
        const bool tight = step >= 1;
        bar->setSpacing(tight ? kTightSpacing : -1);
        for (int i = 0; i < bar->count(); ++i) {
            QSpacerItem *gap = bar->itemAt(i)->spacerItem();
            if (gap && gap->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed)
                gap->changeSize(tight ? kTightGroupGap : kGroupGap, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
        }
        for (const RunButton &row : runButtons()) {
            QPushButton *b = w->*row.outlet;
            // The button's own sheet wins over the window's for the padding alone.
            b->setStyleSheet(tight ? QStringLiteral("padding: 2px 6px;") : QString());
            if (row.captionRank == 0)
                continue;
            const bool iconOnly = step > row.captionRank;
            const QString caption = b->property("caption").toString();
            b->setText(iconOnly ? QString() : caption);
            b->setToolTip(iconOnly ? caption : QString());
        }
        fixStartWidth(w);
        bar->invalidate();
        if (step == kLastFitStep || bar->sizeHint().width() <= room)
            return step;
    }
}
