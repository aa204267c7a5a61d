#pragma once

#include "InputEventSink.h"

#include <QString>

struct _XDisplay;

// Synthetic input through the X server's XTest extension, on the display Pollix shows on (or a
// display named for tests). Without an X display or without XTest it is not available and
// drops every event.
class XTestEventSink : public InputEventSink
{
public:
    explicit XTestEventSink(const QString &displayName = QString());
    ~XTestEventSink() override;
    XTestEventSink(const XTestEventSink &) = delete;
    XTestEventSink &operator=(const XTestEventSink &) = delete;

    bool isAvailable() const override { return m_display != nullptr; }
    QPoint cursorPosition() override;
    int mainScreenHeight() override;
    void moveTo(const QPoint &point) override;
    void button(Button which, bool down, const QPoint &point) override;
    void key(Key which) override;

private:
    _XDisplay *m_display = nullptr;
};
