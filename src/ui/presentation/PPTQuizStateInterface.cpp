#include "PPTQuizStateInterface.h"

#include "PPTQuizStateWindowController.h"

#include "ui/run/QuizStateInterface.h"
#include "ui/run/RunSession.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

using Control = RunControls::Control;

namespace {
constexpr QSize kBarIconSize{22, 22};
constexpr int kBarSpacing = 4;

QString tr(const char *text)
{
    return PPTQuizStateWindowController::tr(text);
}

QString barStyle(bool compact)
{
    return QStringLiteral("#PPTQuizStateContent { background: #1f2a36; }"
                          "#PPTQuizStateContent QLabel { color: #e8edf2; }"
                          "#PPTQuizStateContent QPushButton { min-height: 30px; padding: 2px %1px; }")
        .arg(compact ? 3 : 6);
}
} // namespace

QRect PPTQuizStateInterface::screenRect()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1280, 1024);
}

const QList<PPTQuizStateInterface::BarButton> &PPTQuizStateInterface::barButtons()
{
    using W = PPTQuizStateWindowController;
    static const QList<BarButton> buttons{
        {"btnPrevious", "Previous", QStyle::SP_MediaSeekBackward, &W::btnPrevious, Control::Previous, &W::OnPrevious},
        {"btnStart", "Start", QStyle::SP_MediaPlay, &W::btnStart, Control::Start, &W::OnStart},
        {"btnStop", "Stop", QStyle::SP_MediaStop, &W::btnStop, Control::Stop, &W::OnStop},
        {"btnNext", "Next", QStyle::SP_MediaSeekForward, &W::btnNext, Control::Next, &W::OnNext},
        // This bar names its time buttons the other way round: "down" gives more time.
        {"btnTimeUp", "-5", QStyle::SP_ArrowDown, &W::btnTimeUp, Control::TimeDown, &W::OnTimeUp},
        {"btnTimeDown", "+5", QStyle::SP_ArrowUp, &W::btnTimeDown, Control::TimeUp, &W::OnTimeDown},
        {"btnResult", "Result", QStyle::SP_FileDialogContentsView, &W::btnResult, Control::Result, &W::OnResult},
        {"btnReport", "Report", QStyle::SP_FileDialogDetailedView, &W::btnReport, Control::Report, &W::OnReport},
        {"btnSendQuestions", "Send", QStyle::SP_ArrowRight, &W::btnSendQuestions, Control::SendQuestions, &W::OnSendQuestions},
        // The bar is one screen wide: the three least used show their picture only.
        {"btnSpeed", "Read aloud", QStyle::SP_MediaVolume, &W::btnSpeed, Control::Read, &W::OnSpeech},
        {"btnUpHide", "Student strip: smaller or larger", QStyle::SP_TitleBarShadeButton, &W::btnUpHide, Control(0), &W::OnHideUp},
        {"btnDownHide", "Hide this bar", QStyle::SP_TitleBarMinButton, &W::btnDownHide, Control(0), &W::OnHideDown},
        {"btnExit", "Exit", QStyle::SP_DialogCloseButton, &W::btnExit, Control::Exit, &W::OnExit},
    };
    return buttons;
}

void PPTQuizStateInterface::build(PPTQuizStateWindowController *w)
{
    auto *content = new QWidget(w);
    content->setObjectName(QStringLiteral("PPTQuizStateContent"));
    content->setAttribute(Qt::WA_StyledBackground);
    w->m_barContent = content;
    content->setStyleSheet(barStyle(false));
    auto *outer = new QHBoxLayout(w);
    outer->setContentsMargins(0, 0, 0, 0);
    // The bar's size is the screen's width, whatever the buttons ask: fitBarToWidth arranges
    // them within it.
    outer->setSizeConstraint(QLayout::SetNoConstraint);
    outer->addWidget(content);

    w->txtMultipleModeString = QuizStateInterface::makeLabel(content, QStringLiteral("txtMultipleModeString"));
    QFont big = w->txtMultipleModeString->font();
    big.setPointSize(14);
    big.setBold(true);
    w->txtMultipleModeString->setFont(big);
    w->txtQuNoTitle = QuizStateInterface::makeLabel(content, QStringLiteral("txtQuNoTitle"), tr("Question No.:"));
    w->txtQuNo = QuizStateInterface::makeLabel(content, QStringLiteral("txtQuNo"), {}, true);
    w->txtPageAndTotalPageTitle = QuizStateInterface::makeLabel(content, QStringLiteral("txtPageAndTotalPageTitle"), tr("Slide:"));
    w->txtPageAndTotalPage = QuizStateInterface::makeLabel(content, QStringLiteral("txtPageAndTotalPage"), {}, true);
    w->txtLoginAndAnsweredTitle = QuizStateInterface::makeLabel(content, QStringLiteral("txtLoginAndAnsweredTitle"), tr("Answered:"));
    w->txtLoginAndAnswered = QuizStateInterface::makeLabel(content, QStringLiteral("txtLoginAndAnswered"), QStringLiteral("0 / 0"), true);
    w->txtHandRaiseTitle = QuizStateInterface::makeLabel(content, QStringLiteral("txtHandRaiseTitle"), tr("Hand Raise:"));
    w->txtHandRaise = QuizStateInterface::makeLabel(content, QStringLiteral("txtHandRaise"), QStringLiteral("0"), true);
    w->txtDone = QuizStateInterface::makeLabel(content, QStringLiteral("txtDone"));
    w->txtDone->setStyleSheet(QStringLiteral("color: #7fd36b; font-weight: bold;"));
    // "All Done" and "Done" take the same room: nothing beside them moves.
    w->txtDone->setFixedWidth(w->txtDone->fontMetrics().horizontalAdvance(tr("All Done")) + 24);
    // The bar is one line of figures high: the notice is short, its tool tip says the rest.
    w->txtReceiverState = QuizStateInterface::makeLabel(content, QStringLiteral("txtReceiverState"), tr("Receiver disconnected"), true);
    w->txtReceiverState->setStyleSheet(QuizStateInterface::receiverLostStyle());
    w->txtReceiverState->setToolTip(RunSession::receiverLostNotice());
    w->txtReceiverState->hide();
    w->txtQuizTime = QuizStateInterface::makeLabel(content, QStringLiteral("txtQuizTime"), QStringLiteral("0"));
    w->txtQuizTime->setAlignment(Qt::AlignCenter);
    w->txtQuizTime->setMinimumWidth(100);
    w->txtQuizTime->setTextInteractionFlags(Qt::NoTextInteraction);

    // Two lines of figures at the left, the run's buttons to the right.
    auto *figures = new QVBoxLayout;
    w->m_figuresLayout = figures;
    figures->setSpacing(0);
    auto *line1 = new QHBoxLayout;
    line1->addWidget(w->txtMultipleModeString);
    line1->addSpacing(12);
    line1->addWidget(w->txtDone);
    line1->addWidget(w->txtReceiverState);
    line1->addStretch(1);
    figures->addLayout(line1);
    for (const auto &pairs : {QList<std::pair<QLabel *, QLabel *>>{{w->txtQuNoTitle, w->txtQuNo},
                                                                   {w->txtPageAndTotalPageTitle, w->txtPageAndTotalPage}},
                              QList<std::pair<QLabel *, QLabel *>>{{w->txtLoginAndAnsweredTitle, w->txtLoginAndAnswered},
                                                                   {w->txtHandRaiseTitle, w->txtHandRaise}}}) {
        auto *line = new QHBoxLayout;
        for (const auto &[title, value] : pairs) {
            line->addWidget(title);
            line->addSpacing(4);
            line->addWidget(value);
            line->addSpacing(12);
        }
        line->addStretch(1);
        figures->addLayout(line);
    }

    auto *bar = new QHBoxLayout(content);
    w->m_barLayout = bar;
    // A margin on the left: a click the keypad mouse makes in the screen's corner hits nothing.
    bar->setContentsMargins(16, 4, 8, 4);
    bar->setSpacing(kBarSpacing);
    bar->addLayout(figures, 1);
    auto *buttons = new QHBoxLayout;
    w->m_buttonsLayout = buttons;
    buttons->setSpacing(kBarSpacing);
    // Takes the room left of the buttons only when they have a row of their own.
    w->m_buttonsLead = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    buttons->addSpacerItem(w->m_buttonsLead);
    bar->addLayout(buttons);
    for (const BarButton &row : barButtons()) {
        const bool pictureOnly = row.outlet == &PPTQuizStateWindowController::btnSpeed
                                 || row.outlet == &PPTQuizStateWindowController::btnUpHide
                                 || row.outlet == &PPTQuizStateWindowController::btnDownHide;
        auto *b = new QPushButton(w->style()->standardIcon(QStyle::StandardPixmap(row.icon)), pictureOnly ? QString() : tr(row.text),
                                  content);
        if (pictureOnly)
            b->setToolTip(tr(row.text));
        b->setObjectName(QLatin1String(row.name));
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(kBarIconSize);
        w->*row.outlet = b;
        if (row.outlet == &PPTQuizStateWindowController::btnTimeUp)
            buttons->addWidget(w->txtQuizTime);
        if (row.outlet == &PPTQuizStateWindowController::btnExit)
            buttons->addSpacing(16);
        buttons->addWidget(b);
        // A click and a teacher key take the same path: the action checks its button first.
        QObject::connect(b, &QPushButton::clicked, w, [w, action = row.action] { (w->*action)(); });
    }
    w->btnStart->setCheckable(true);
    RunSession::setStartShowsPause(w->btnStart, false);
    fitBarToWidth(w, QWIDGETSIZE_MAX);
    w->btnUpHide->setProperty("imageName", QStringLiteral("max_normal.png"));
}

void PPTQuizStateInterface::placeBar(PPTQuizStateWindowController *w, int height)
{
    const QRect screen = screenRect();
    fitBarToWidth(w, screen.width());
    height = std::max(height, w->layout()->totalMinimumSize().height());
    w->setGeometry(screen.left(), screen.bottom() + 1 - height, screen.width(), height);
}

void PPTQuizStateInterface::fitBarToWidth(PPTQuizStateWindowController *w, int width)
{
    for (int arrangement = Roomy;; ++arrangement) {
        // The words stay on every button, so each one still says what it does.
        const bool compact = arrangement != Roomy;
        w->m_barArrangement = arrangement;
        w->m_barContent->setStyleSheet(barStyle(compact));
        for (const BarButton &row : barButtons()) {
            QPushButton *b = w->*row.outlet;
            b->setIconSize(compact && !b->text().isEmpty() ? QSize(0, 0) : kBarIconSize);
        }
        // Start becomes Pause and back: as wide as the wider, so nothing beside it moves.
        const QString startText = w->btnStart->text();
        int startWidth = 0;
        w->btnStart->setMinimumWidth(0);
        w->btnStart->setMaximumWidth(QWIDGETSIZE_MAX);
        for (const QString &text : {tr("Pause"), tr("Start")}) {
            w->btnStart->setText(text);
            w->btnStart->ensurePolished();
            startWidth = std::max(startWidth, w->btnStart->sizeHint().width());
        }
        w->btnStart->setText(startText);
        w->btnStart->setFixedWidth(startWidth);
        w->m_barLayout->setSpacing(compact ? 2 : kBarSpacing);
        w->m_buttonsLayout->setSpacing(compact ? 2 : kBarSpacing);
        const bool twoRows = arrangement == TwoRows;
        w->m_barLayout->setDirection(twoRows ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
        w->m_figuresLayout->setDirection(twoRows ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
        w->m_buttonsLead->changeSize(0, 0, twoRows ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Minimum);
        // The content's own layout first, each line of it anew: a figure hidden meanwhile (the
        // receiver's notice) would still count until its line is laid out again.
        w->m_barLayout->invalidate();
        w->m_barLayout->activate();
        w->layout()->invalidate();
        w->layout()->activate();
        if (arrangement == TwoRows || w->layout()->totalMinimumSize().width() <= width)
            return;
    }
}
