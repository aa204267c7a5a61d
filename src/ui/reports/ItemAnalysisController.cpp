#include "ItemAnalysisController.h"

#include "core/reports/ResponseSpreadReport.h"

ItemAnalysisController::ItemAnalysisController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<ResponseSpreadReport>(quiz), QStringLiteral("ItemAnalysis"), parent)
{
}

ResponseSpreadReport *ItemAnalysisController::responseSpreadReport() const
{
    return static_cast<ResponseSpreadReport *>(report());
}
