#pragma once

#include <QString>

#include <memory>

class QuizMode;

// Which activity object serves a run: one class per pair of activity number and device type.
class QuizModeFactory
{
public:
    // The class name for the pair, or empty when the pair has no activity object (survey,
    // Brevel homework, unknown numbers). presentationRun: the slide-show run window, which
    // differs for Dravel vote and roll call and falls back to Arvel_Normal on small receivers.
    static QString className(int activity, int deviceType, bool presentationRun = false);
    // A new activity object for the pair, or null when it has none.
    static std::unique_ptr<QuizMode> create(int activity, int deviceType, bool presentationRun = false);
};
