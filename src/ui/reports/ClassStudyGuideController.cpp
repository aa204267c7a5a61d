#include "ClassStudyGuideController.h"

#include "core/reports/ClassStudyGuideReport.h"

ClassStudyGuideController::ClassStudyGuideController(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                                     QWidget *parent)
    : ReportFrame(std::make_unique<ClassStudyGuideReport>(quiz, studentList), QStringLiteral("ClassStudyGuide"), parent)
{
}

ClassStudyGuideReport *ClassStudyGuideController::classStudyGuideReport() const
{
    return static_cast<ClassStudyGuideReport *>(report());
}
