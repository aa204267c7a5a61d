#pragma once

#include <QObject>

class QLineEdit;

// Tells when the teacher leaves a line field: Return (the focus stays in it), Tab, or a click on
// another control. Another window coming to the front (an alert, a menu) does not leave the
// field, nor does the field disappearing with its page or its window. A window that refuses what
// was typed keeps the teacher there with stay().
class FieldLeave : public QObject
{
    Q_OBJECT
public:
    // Watches field (and is owned by it).
    explicit FieldLeave(QLineEdit *field);

    // Brings the focus back to the field, its text selected, once the focus has finished moving
    // (the alert that said why is gone by then).
    void stay();

signals:
    void left();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_field;
};
