#pragma once

#include "core/engine/QuizParticipantData.h"

// What one button of the student grid stands for: a copy of the student and the button's state.
class StudentInfo
{
public:
    StudentInClassPtr student() const { return m_student; }
    // Keeps a copy, so later changes to the run's student object do not reach the button.
    void setStudent(const StudentInClassPtr &s) { m_student = s ? std::make_shared<StudentInClass>(*s) : nullptr; }
    int state() const { return m_state; }
    void setState(int state) { m_state = state; }

private:
    StudentInClassPtr m_student;
    int m_state = 0;
};
