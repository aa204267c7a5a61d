#include "ClassStudyGuideDravelController.h"

#include "core/reports/ClassStudyGuideReport.h"

ClassStudyGuideDravelController::ClassStudyGuideDravelController(const QuizEntity &quiz,
                                                                 const QList<SelectStudents> &studentList,
                                                                 QWidget *parent)
    : ReportFrame(std::make_unique<ClassStudyGuideReport>(quiz, studentList, ReportFramePolicy::dravelFrame(),
                                                          ClassStudyGuideLayout::dravel()),
                  QStringLiteral("ClassStudyGuide"), parent)
{
}

ClassStudyGuideReport *ClassStudyGuideDravelController::classStudyGuideReport() const
{
    return static_cast<ClassStudyGuideReport *>(report());
}
