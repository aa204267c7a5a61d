#pragma once

#include <QString>

// The window a run hands the screen back to (the main window). It is told where the run's
// session went, and shows it without asking anything: the teacher keypad steers on at once.
class RunFather
{
public:
    virtual ~RunFather() = default;
    virtual void sessionSaved(const QString &path) = 0;
};
