#pragma once

#include <QByteArray>

#include <functional>
#include <optional>

class DataOfFrame;

// The teacher keypad's mouse frames. A frame's first data byte is either a mouse or key command
// (move a step, click, a key stroke) or E0, an air-mouse movement whose position follows in the
// next two bytes. Every window and activity object that receives such a frame hands it to pass();
// the presentation tools install the one sink that moves the pointer.
class KeypadMouse
{
public:
    struct Command
    {
        enum Kind { Step, AirMove };
        Kind kind = Step;
        int code = 0; // Step: the command byte
        int x = 0;    // AirMove: the two position bytes as sent
        int y = 0;
    };
    using Sink = std::function<void(const Command &)>;

    // The one hook; empty: mouse frames are decoded and dropped.
    static void setSink(Sink sink);

    // The command in a mouse frame's data bytes; nothing for an empty frame or an air move
    // without its position.
    static std::optional<Command> decode(const QByteArray &data);
    static std::optional<Command> decode(const DataOfFrame &frame);

    // Decodes and hands the command to the sink; false when the bytes held none.
    static bool pass(const QByteArray &data);
    static bool pass(const DataOfFrame &frame);
};
