#include "RunCountDown.h"

#include "RunTimer.h"

#include <QLabel>

namespace {
const QColor kCounting(0x3c, 0xc8, 0x3c);
const QColor kPaused(0xf0, 0xd0, 0x20);
constexpr int kMaxSeconds = 900;
constexpr int kStep = 5;
} // namespace

RunCountDown::RunCountDown(QLabel *field, QObject *parent) : QObject(parent), txtQuizTime(field), timer(new RunTimer(this))
{
}

void RunCountDown::setColors(const QColor &background, const QColor &text)
{
    txtQuizTime->setProperty("backgroundColor", background);
    txtQuizTime->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; border-radius: 4px; padding: 0 8px; }")
                                   .arg(background.name(), text.name()));
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
    setFontSize(27);
    txtQuizTime->setText(QString::number(seconds));
    setColors(Qt::black, Qt::white);
}

void RunCountDown::showAssigning()
{
    setFontSize(14);
    txtQuizTime->setText(tr("Assigning"));
    setColors(Qt::black, Qt::white);
}

void RunCountDown::showReceiving()
{
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
