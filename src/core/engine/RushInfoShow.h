#pragma once

#include <QString>

#include <functional>
#include <memory>

// What a rush activity object needs of the rush winner box (a window of the UI layer): it is made
// when a student wins the rush, told the winner, shown, and closed when the question stops.
class RushInfoShow
{
public:
    virtual ~RushInfoShow() = default;
    virtual void setStrStudentID(const QString &id) = 0;
    virtual void setStrStudentName(const QString &name) = 0;
    virtual void showWindow() = 0;
    virtual void closeWindow() = 0;

    using Factory = std::function<std::unique_ptr<RushInfoShow>()>;
    // The UI installs the factory at start-up; without one (tests of the engine alone) no box is made.
    static void setFactory(Factory factory) { factory_() = std::move(factory); }
    static std::unique_ptr<RushInfoShow> create() { return factory_() ? factory_()() : nullptr; }

private:
    static Factory &factory_()
    {
        static Factory f;
        return f;
    }
};
