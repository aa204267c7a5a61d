#include "Singleton.h"

#include <vector>

namespace {
std::mutex &registryMutex()
{
    static std::mutex m;
    return m;
}
std::vector<std::function<void()>> &resets()
{
    static std::vector<std::function<void()>> r;
    return r;
}
} // namespace

void SingletonRegistry::registerReset(std::function<void()> reset)
{
    std::lock_guard lock(registryMutex());
    resets().push_back(std::move(reset));
}

void SingletonRegistry::resetAll()
{
    std::vector<std::function<void()>> todo;
    {
        std::lock_guard lock(registryMutex());
        todo.swap(resets());
    }
    for (auto it = todo.rbegin(); it != todo.rend(); ++it)
        (*it)();
}
