#pragma once

#include "ReportNumberDialog.h"

// "CustomZoom": asks for a zoom in percent. The modal result is the percent, 25 to 400 (a
// smaller number, 0 too, gives 25), or 0 for Cancel or closing.
class CustomZoomController : public ReportNumberDialog
{
    Q_OBJECT
public:
    static constexpr int kMinimum = 25;
    static constexpr int kMaximum = 400;

    explicit CustomZoomController(QWidget *parent = nullptr);

    QLineEdit *textFactor = nullptr;

protected:
    int resultFor(int typed) const override;
};
