#pragma once

#include <cerrno>

// A system call that a signal cut short (EINTR) is made again, but not for ever: kMostInARow
// interruptions in a row end it with EINTR as its error, so that a stream of signals cannot hold a
// read or a write of the disk or the line in a loop. Any other answer is the call's own.
namespace Uninterrupted {

inline constexpr int kMostInARow = 100;

template <typename SystemCall>
auto call(SystemCall &&systemCall)
{
    for (int interrupted = 1;; ++interrupted) {
        const auto result = systemCall();
        if (result >= 0 || errno != EINTR || interrupted >= kMostInARow)
            return result;
    }
}

} // namespace Uninterrupted
