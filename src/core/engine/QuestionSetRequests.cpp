#include "QuestionSetRequests.h"

namespace {
QuestionSetRequests::WindowFactory &windowFactory()
{
    static QuestionSetRequests::WindowFactory factory;
    return factory;
}
} // namespace

void QuestionSetRequests::setWindowFactory(WindowFactory factory)
{
    windowFactory() = std::move(factory);
}

void QuestionSetRequests::add(int d)
{
    m_arrAskForQueStu.append(d);
    getQueStuWindowShow(d);
}

void QuestionSetRequests::getQueStuWindowShow(int d)
{
    const StudentInClassPtr student = QuizParticipantData::shareManager()->loginStudentWithDeviceNo(d);
    if (!student)
        return;
    if (!getReqQueCtrl) {
        if (!windowFactory())
            return;
        getReqQueCtrl = windowFactory()();
        if (!getReqQueCtrl)
            return;
    }
    getReqQueCtrl->addRequestQuesStudents(student, d);
    if (!getReqQueCtrl->isVisible())
        getReqQueCtrl->showWindow();
}
