#include "KeypadMouse.h"

#include "DataOfFrame.h"

#include "platform/Log.h"

#include <mutex>

namespace {
constexpr uint8_t kAirMove = 0xE0;

struct SinkHolder
{
    std::mutex mutex;
    KeypadMouse::Sink sink;
};

SinkHolder &holder()
{
    static SinkHolder h;
    return h;
}
} // namespace

void KeypadMouse::setSink(Sink sink)
{
    std::lock_guard lock(holder().mutex);
    holder().sink = std::move(sink);
}

std::optional<KeypadMouse::Command> KeypadMouse::decode(const QByteArray &data)
{
    if (data.isEmpty())
        return std::nullopt;
    Command c;
    const uint8_t first = uint8_t(data[0]);
    if (first != kAirMove) {
        c.code = first;
        return c;
    }
    if (data.size() < 3) {
        PollixLog(QStringLiteral("mouse move without a position: ignored."));
        return std::nullopt;
    }
    c.kind = Command::AirMove;
    c.x = uint8_t(data[1]);
    c.y = uint8_t(data[2]);
    return c;
}

std::optional<KeypadMouse::Command> KeypadMouse::decode(const DataOfFrame &frame)
{
    return decode(QByteArray(reinterpret_cast<const char *>(frame.data()), frame.dataLen()));
}

bool KeypadMouse::pass(const QByteArray &data)
{
    const std::optional<Command> c = decode(data);
    if (!c)
        return false;
    Sink sink;
    {
        std::lock_guard lock(holder().mutex);
        sink = holder().sink;
    }
    if (sink)
        sink(*c);
    return true;
}

bool KeypadMouse::pass(const DataOfFrame &frame)
{
    return pass(QByteArray(reinterpret_cast<const char *>(frame.data()), frame.dataLen()));
}
