#pragma once

#include "platform/InputEventSink.h"

#include <QList>
#include <QPoint>

// A pointer that only notes where it is clicked, on a main screen 768 points high.
struct PointerClicks : InputEventSink
{
    bool isAvailable() const override { return true; }
    QPoint cursorPosition() override { return {}; }
    int mainScreenHeight() override { return 768; }
    void moveTo(const QPoint &) override {}
    void button(Button, bool down, const QPoint &p) override
    {
        if (down)
            clicks << p;
    }
    void key(Key) override {}
    QList<QPoint> clicks;
};
