#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The report window's small dialogs that ask for one whole number (a page, a zoom): a field that
// takes digits up to a maximum, OK and Cancel. The modal result is the number OK gives, 0 for
// Cancel or closing.
class ReportNumberDialog : public QDialog
{
    Q_OBJECT
public:
    void doOK();
    void doCancel();

    QPushButton *btnOK = nullptr, *btnCancel = nullptr;

protected:
    ReportNumberDialog(const QString &name, const QString &title, const QString &caption, const QString &after,
                       int maximum, QWidget *parent);
    // The result OK gives for the number typed.
    virtual int resultFor(int typed) const { return typed; }

    QLineEdit *m_field = nullptr;
};
