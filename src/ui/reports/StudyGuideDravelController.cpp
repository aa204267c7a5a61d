#include "StudyGuideDravelController.h"

#include "core/reports/StudyGuideReport.h"

StudyGuideDravelController::StudyGuideDravelController(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                                       QWidget *parent)
    : ReportFrame(std::make_unique<StudyGuideReport>(quiz, studentList, ReportFramePolicy::dravelFrame(),
                                                     StudyGuideLayout::dravel()),
                  QStringLiteral("StudyGuide"), parent)
{
}

StudyGuideReport *StudyGuideDravelController::studyGuideReport() const
{
    return static_cast<StudyGuideReport *>(report());
}
