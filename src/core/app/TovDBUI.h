#pragma once

#include "platform/Singleton.h"

// A process-wide object that the login and end-of-run save windows hold and use nothing of.
class TovDBUI
{
public:
    static TovDBUI *sharedDBUI() { return Singleton<TovDBUI>::instance(); }

private:
    friend class Singleton<TovDBUI>;
    TovDBUI() = default;
};
