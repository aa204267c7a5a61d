#pragma once

#include "core/engine/QuizParticipantData.h"

// What an activity object needs of the question-request list window (which lives in the UI
// layer): it adds a student that asked for the question set and shows itself when hidden.
class RequestQuesStusWindow
{
public:
    virtual ~RequestQuesStusWindow() = default;
    virtual void addRequestQuesStudents(const StudentInClassPtr &student, int stuDeviceID) = 0;
    virtual bool isVisible() const = 0;
    virtual void showWindow() = 0;
};
