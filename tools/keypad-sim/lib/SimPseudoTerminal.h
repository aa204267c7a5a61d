#pragma once

#include <QString>

namespace keypadsim {

// The simulated receiver's port: a pseudo-terminal whose master side the receiver holds, and the
// symbolic link the program finds it by, as it finds a USB receiver by its port's path.
class SimPseudoTerminal
{
public:
    // A new master (non-blocking) and the path of the side the program opens; -1 with *error set.
    // The master shows a hang-up (POLLHUP) whenever no program holds the other side, from the start.
    static int open(QString *path, QString *error);
    // Points link at target, replacing a link of ours in one step (an empty link: nothing to do);
    // false with *error set, also when a file that is no link stands there.
    static bool pointLink(const QString &link, const QString &target, QString *error);
    // Removes the link, when a link stands there.
    static void removeLink(const QString &link);
    // After the program's side hung up: whether the program left it in exclusive use and nobody
    // has it open since, so that every later program would be refused.
    static bool leftInExclusiveUse(int masterFd);
};

} // namespace keypadsim
