#pragma once

#include <functional>

// Work of this process on the application folder that runs off the GUI thread: a backup or a
// restore on a progress window's worker, or work handed on to run after its window closed (the
// archive of the data a restore replaced). While any of it runs or waits, the folder must stay
// this process's: an ending keeps the folder's lock until the last piece is done (whenIdle), so
// that no other start finishes or removes what it is still making.
namespace FolderWork {

// Counts as running while it lives.
class Running
{
public:
    Running();
    ~Running();
    Running(const Running &) = delete;
    Running &operator=(const Running &) = delete;

private:
    bool m_own; // not part of work handed on
};

// Runs work on a thread of its own after the work handed on before it, one at a time; it counts
// as running from now until it returns.
void runInBackground(std::function<void()> work);

bool running();
// Whether the calling thread itself runs such work (waiting for it to end would wait forever).
bool runningOnThisThread();

// Whether all the work running or waiting was handed on (runInBackground): some runs, and no work
// of a window (a backup or a restore under way) does.
bool onlyHandedOnRuns();

// Calls then once no work runs or waits: at once, on this thread, when none does; else on the
// thread that ends the last piece, right after it ended.
void whenIdle(std::function<void()> then);

// Blocks until no work runs or waits. The program calls it before it lets go of the folder.
void waitUntilIdle();

} // namespace FolderWork
