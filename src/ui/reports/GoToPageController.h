#pragma once

#include "ReportNumberDialog.h"

// "GoToPage": asks for a page number. The modal result is the page, 0 for none (Cancel,
// closing, or OK with 0). The field takes digits only and never more than maxPage.
class GoToPageController : public ReportNumberDialog
{
    Q_OBJECT
public:
    explicit GoToPageController(int maxPage = 0, QWidget *parent = nullptr);

    int maxPage() const { return m_maxPage; }
    // The field starts at this page, selected, so that typing replaces it.
    void setCurrentPage(int page);

    QLineEdit *textPage = nullptr;

private:
    int m_maxPage;
};
