#include "StudyGuideController.h"

#include "core/reports/StudyGuideReport.h"

StudyGuideController::StudyGuideController(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                           QWidget *parent)
    : ReportFrame(std::make_unique<StudyGuideReport>(quiz, studentList), QStringLiteral("StudyGuide"), parent)
{
}

StudyGuideReport *StudyGuideController::studyGuideReport() const
{
    return static_cast<StudyGuideReport *>(report());
}
