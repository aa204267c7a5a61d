#pragma once

#include <functional>
#include <mutex>

// Process-wide objects (stores, the device controller, the run's data) are created on first use
// under a lock and live for the whole run. Tests may tear them all down between cases so that
// each case starts from a fresh application folder.
class SingletonRegistry
{
public:
    static void registerReset(std::function<void()> reset);
    // Destroys every singleton created so far, the newest first. Tests only.
    static void resetAll();
};

template <typename T>
class Singleton
{
public:
    static T *instance()
    {
        std::lock_guard lock(mutex());
        if (!slot()) {
            slot() = new T();
            SingletonRegistry::registerReset([] {
                T *old = nullptr;
                {
                    std::lock_guard l(mutex());
                    old = slot();
                    slot() = nullptr;
                }
                delete old;
            });
        }
        return slot();
    }

    static bool exists()
    {
        std::lock_guard lock(mutex());
        return slot() != nullptr;
    }

private:
    static std::recursive_mutex &mutex()
    {
        static std::recursive_mutex m;
        return m;
    }
    static T *&slot()
    {
        static T *p = nullptr;
        return p;
    }
};
