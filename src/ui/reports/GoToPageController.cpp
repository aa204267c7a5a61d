#include "GoToPageController.h"

#include "ui/controls/ProposedText.h"

#include <QLineEdit>

GoToPageController::GoToPageController(int maxPage, QWidget *parent)
    : ReportNumberDialog(QStringLiteral("GoToPage"), tr("Go to Page"), tr("Page:"), tr("of %1").arg(maxPage), maxPage,
                         parent),
      m_maxPage(maxPage)
{
    textPage = m_field;
    textPage->setObjectName(QStringLiteral("textPage"));
}

void GoToPageController::setCurrentPage(int page)
{
    if (page < 1 || page > m_maxPage)
        return;
    ProposedText::propose(textPage, QString::number(page));
}
