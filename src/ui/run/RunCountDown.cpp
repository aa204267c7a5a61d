#include "RunCountDown.h"

#include "RunTimer.h"

#include "core/engine/ActivityRules.h"
#include "core/engine/QuizQuestions.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace {
const QColor kCounting(0x3c, 0xc8, 0x3c);
const QColor kPaused(0xf0, 0xd0, 0x20);
constexpr int kMaxSeconds = 900;
constexpr int kStep = 5;
constexpr int kSecondsPoints = 27;
constexpr int kWordsPoints = 14;
constexpr int kPadding = 8;
} // namespace

RunCountDown::RunCountDown(QLabel *field, QObject *parent) : QObject(parent), txtQuizTime(field), timer(new RunTimer(this))
{
    // The field is as wide as the widest thing it shows, so the buttons beside it keep their
    // place when a count-down gives way to "Receiving...".
    QFont seconds = txtQuizTime->font(), words = seconds;
    seconds.setBold(true);
    seconds.setPointSize(kSecondsPoints);
    words.setBold(true);
    words.setPointSize(kWordsPoints);
    const QFontMetrics s(seconds), w(words);
    const int widest = std::max({s.horizontalAdvance(QString::number(kMaxSeconds)), w.horizontalAdvance(tr("Assigning")),
                                 w.horizontalAdvance(tr("Receiving..."))});
    txtQuizTime->setMinimumWidth(std::max(txtQuizTime->minimumWidth(), widest + 2 * kPadding + 8));
}

void RunCountDown::setColors(const QColor &background, const QColor &text)
{
    txtQuizTime->setProperty("backgroundColor", background);
    txtQuizTime->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; border-radius: 4px; padding: 0 %3px; }")
                                   .arg(background.name(), text.name())
                                   .arg(kPadding));
}

void RunCountDown::setFontSize(int points)
{
    QFont f = txtQuizTime->font();
    f.setBold(true);
    f.setPointSize(points);
    txtQuizTime->setFont(f);
}

void RunCountDown::showSeconds(int seconds)
{
    setFontSize(kSecondsPoints);
    txtQuizTime->setText(QString::number(seconds));
    setColors(Qt::black, Qt::white);
}

void RunCountDown::showQuestionTime(int activity, int q, int questionCount)
{
    const QuizQuestions *qq = QuizQuestions::shareManager();
    int value = 0;
    switch (ActivityRules::time(activity, qq->actionMode(q))) {
    case ActivityRule::Time::Assigning:
        showAssigning();
        return;
    case ActivityRule::Time::SumOfQuizTimes:
        for (int i = 1; i <= questionCount; ++i)
            value += qq->quizTime(i);
        break;
    case ActivityRule::Time::Minute:
        value = 60;
        break;
    case ActivityRule::Time::RushTime:
        value = qq->rushTime(q);
        break;
    case ActivityRule::Time::QuizTime:
    case ActivityRule::Time::ActionModeTime:
        value = qq->quizTime(q);
        break;
    }
    showSeconds(value);
}

void RunCountDown::showAssigning()
{
    setFontSize(kWordsPoints);
    txtQuizTime->setText(tr("Assigning"));
    setColors(Qt::black, Qt::white);
}

void RunCountDown::showReceiving()
{
    setFontSize(kWordsPoints);
    txtQuizTime->setText(tr("Receiving..."));
    setColors(kCounting, Qt::black);
}

void RunCountDown::showWaiting()
{
    setColors(kCounting, Qt::black);
}

void RunCountDown::adjustQuizTimeCountDown(int delay)
{
    nAdjustTime = delay;
    timer->start([this] { adjustTimeCountDown(); });
    setColors(kCounting, Qt::black);
}

void RunCountDown::adjustTimeCountDown()
{
    --nAdjustTime;
    if (nAdjustTime > 0)
        return;
    timer->start([this] { startCountDown(); });
}

void RunCountDown::startCountDown()
{
    const int next = value() - 1;
    if (next > 0) {
        txtQuizTime->setText(QString::number(next));
        if (onTick)
            onTick();
    } else if (onTimeUp) {
        // The run's stop ends the count; until it does, every tick asks again.
        onTimeUp();
    }
}

void RunCountDown::pause()
{
    timer->stop();
    setColors(kPaused, Qt::black);
}

void RunCountDown::stop()
{
    timer->stop();
}

bool RunCountDown::isCounting() const
{
    return timer->isActive();
}

int RunCountDown::value() const
{
    return txtQuizTime->text().toInt();
}

void RunCountDown::OnTimeUp()
{
    const int v = value();
    if (v < kMaxSeconds)
        txtQuizTime->setText(QString::number(qMin(kMaxSeconds, v + kStep)));
}

void RunCountDown::OnTimeDown()
{
    const int v = value();
    if (v > kStep)
        txtQuizTime->setText(QString::number(v - kStep));
}
