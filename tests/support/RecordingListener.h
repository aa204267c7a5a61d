#pragma once

#include "core/keypad/DataOfFrame.h"

#include <QList>
#include <QObject>

#include <functional>

// A frame listener for tests: records every frame offered to it through the application
// delegate, acknowledging at once, after handling, later (QTimer), or never.
class RecordingListener : public QObject
{
    Q_OBJECT
public:
    enum class Ack { Before, After, LaterMs, Never };

    explicit RecordingListener(Ack ack = Ack::Before, int laterMs = 0, QObject *parent = nullptr);

    Q_INVOKABLE void handleMachMessage();

    QList<DataOfFrame> frames;
    int messages = 0;
    // Called for each frame while it is being handled (before an After acknowledgement).
    std::function<void(const DataOfFrame &)> onFrame;

private:
    Ack m_ack;
    int m_laterMs;
};
