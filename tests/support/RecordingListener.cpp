#include "RecordingListener.h"

#include "core/app/Orvenda_AppDelegate.h"

#include <QTimer>

RecordingListener::RecordingListener(Ack ack, int laterMs, QObject *parent) : QObject(parent), m_ack(ack), m_laterMs(laterMs) {}

void RecordingListener::handleMachMessage()
{
    ++messages;
    Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const DataOfFrame frame = app->frameToHandle();
    if (m_ack == Ack::Before)
        app->signalConditionOfDataHandled();
    frames.append(frame);
    if (onFrame)
        onFrame(frame);
    if (m_ack == Ack::After)
        app->signalConditionOfDataHandled();
    else if (m_ack == Ack::LaterMs)
        QTimer::singleShot(m_laterMs, this, [app] { app->signalConditionOfDataHandled(); });
}
