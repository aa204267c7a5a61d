#include "PPTBaffle.h"

#include "core/reports/ReportDrawing.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

PPTBaffle::PPTBaffle(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("PPTBaffle"));
    // A backdrop never takes the keys: a window manager puts an undecorated, screen-sized window
    // that has them in front of every window kept on top, and the run's bar and strip would be
    // lost behind it once the show has ended (its Escape).
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Pollix"));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor::fromRgbF(0.898f, 0.898f, 0.898f, 1.0f));
    setPalette(p);
    txtMessage = new QLabel(this);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    QFont font = txtMessage->font();
    font.setPointSize(20);
    txtMessage->setFont(font);
    txtMessage->setStyleSheet(QStringLiteral("QLabel#txtMessage { color: #333333; }"));
    // In the middle of what the run's windows leave free (setFreeArea); a line too long for it
    // goes on below rather than under them.
    txtMessage->setAlignment(Qt::AlignCenter);
    txtMessage->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addStretch(1);
    layout->addWidget(txtMessage);
    layout->addStretch(1);
}

void PPTBaffle::setFreeArea(const QMargins &taken)
{
    layout()->setContentsMargins(QMargins(kMargin, kMargin, kMargin, kMargin) + taken);
}

QString PPTBaffle::shownTitle(const QString &title)
{
    QString name = title.split(QLatin1Char('/')).last();
    return shortenedText(name.section(QLatin1Char('.'), 0, 0), 20, 20);
}

void PPTBaffle::setMessageID(const QString &testId, const QString &title)
{
    txtMessage->setText(QStringLiteral("ID:%1     Title:%2").arg(testId, shownTitle(title)));
}
