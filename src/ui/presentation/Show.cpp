#include "Show.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

Show::Show(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Show"));
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    auto *button = new QPushButton(QStringLiteral("\u25A3"), this);
    button->setObjectName(QStringLiteral("btnShow"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, &Show::showHideWindow);
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect(0, 0, 1280, 1024);
    setGeometry(place(screen));
}

QRect Show::place(const QRect &screen)
{
    // 80 points from the right edge, 55 from the bottom (screen coordinates grow downwards here).
    return QRect(screen.width() - 80, screen.height() - 55 - 35, 40, 35);
}

void Show::showHideWindow()
{
    NotificationCenter::defaultCenter()->postNotification(Notify::ShowHideWindow, {}, this);
    close();
}
