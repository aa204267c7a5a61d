// Linked into every executable of a sanitizer build (POLLIX_SANITIZE=thread or address).
//
// Child processes: this Qt starts them with a vfork-style clone (CLONE_VM | CLONE_VFORK), and the
// child runs intercepted calls (close, signal) on the parent's address space and thread state.
// The sanitizers cannot follow that: after one QProcess start, ThreadSanitizer no longer sees the
// starting thread's locks and reports races that are none. Newer Qt versions start children with
// fork in sanitizer builds for the same reason; here the clone is turned into a fork, which the
// sanitizers intercept properly. The child then runs the same function a vfork child would.
//
// Default options: ThreadSanitizer ignores the memory accesses that uninstrumented libraries
// (Qt's own thread pool scaling an image, for one) make inside intercepted calls, since it cannot
// see the futex-based locks that order them. LeakSanitizer leaves alone what the D-Bus library
// keeps until the process ends when Qt's X11 platform uses it; Pollix cannot free that.

#include <dlfcn.h>
#include <sched.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdarg>

namespace {
using CloneFunction = int (*)(int (*)(void *), void *, int, void *, ...);

int startWithFork(int (*fn)(void *), void *arg, int flags, pid_t *parentTid)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(fn(arg));
    if (pid < 0)
        return -1;
    if (flags & CLONE_PIDFD) {
        const int pidfd = int(syscall(SYS_pidfd_open, pid, 0));
        if (pidfd < 0) {
            const int error = errno;
            kill(pid, SIGKILL);
            errno = error;
            return -1;
        }
        *reinterpret_cast<int *>(parentTid) = pidfd;
    }
    return pid;
}
} // namespace

extern "C" int clone(int (*fn)(void *), void *stack, int flags, void *arg, ...)
{
    va_list args;
    va_start(args, arg);
    pid_t *parentTid = va_arg(args, pid_t *);
    void *tls = va_arg(args, void *);
    pid_t *childTid = va_arg(args, pid_t *);
    va_end(args);
    const int vforkStyle = CLONE_VM | CLONE_VFORK;
    if ((flags & vforkStyle) == vforkStyle && !(flags & (CLONE_THREAD | CLONE_SETTLS)))
        return startWithFork(fn, arg, flags, parentTid);
    static const auto next = reinterpret_cast<CloneFunction>(dlsym(RTLD_NEXT, "clone"));
    return next(fn, stack, flags, arg, parentTid, tls, childTid);
}

extern "C" const char *__tsan_default_options()
{
    return "ignore_noninstrumented_modules=1";
}

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}
