#pragma once

#include <QLineEdit>

// A field whose Return (or Enter) runs its search and nothing else. A plain line edit lets the
// key go on to its dialog, which presses the default button: the search would run and then the
// window would close with whatever was ticked. The search hangs on returnPressed, as on any
// line edit.
class SearchField : public QLineEdit
{
    Q_OBJECT
public:
    explicit SearchField(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
