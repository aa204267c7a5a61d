#include "OrdinaryUser.h"

#include <grp.h>
#include <sched.h>

#include <string>

namespace OrdinaryUser {

ChildTestRun::Outcome runCurrentTestAsOne()
{
    const std::string uidMap = "1000 " + std::to_string(::geteuid()) + " 1";
    const std::string gidMap = "1000 " + std::to_string(::getegid()) + " 1";
    return ChildTestRun::runCurrentTest(nullptr, {}, [&] {
        // Uid 1000 inside loses every capability at the exec.
        if (::unshare(CLONE_NEWUSER) == 0) {
            ChildTestRun::writeProcFile("/proc/self/setgroups", "deny");
            return ChildTestRun::writeProcFile("/proc/self/uid_map", uidMap.c_str())
                && ChildTestRun::writeProcFile("/proc/self/gid_map", gidMap.c_str());
        }
        constexpr uid_t kNobody = 65534;
        return ::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0
            && ::setresuid(kNobody, kNobody, kNobody) == 0;
    });
}

} // namespace OrdinaryUser
