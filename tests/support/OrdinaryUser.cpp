#include "OrdinaryUser.h"

#include <grp.h>

#include <string>

namespace OrdinaryUser {

ChildTestRun::Outcome runCurrentTestAsOne()
{
    const std::string uidMap = "1000 " + std::to_string(::geteuid()) + " 1";
    const std::string gidMap = "1000 " + std::to_string(::getegid()) + " 1";
    return ChildTestRun::runCurrentTest(nullptr, {}, [&] {
        // Uid 1000 inside loses every capability at the exec.
        if (ChildTestRun::enterUserNamespace(0, uidMap.c_str(), gidMap.c_str()))
            return true;
        constexpr uid_t kNobody = 65534;
        return ::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0
            && ::setresuid(kNobody, kNobody, kNobody) == 0;
    });
}

} // namespace OrdinaryUser
