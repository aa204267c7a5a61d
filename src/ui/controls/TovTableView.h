#pragma once

#include <QTableView>

class QMenu;

// A table that shows its own context menu on a right click, without selecting the clicked row.
class TovTableView : public QTableView
{
    Q_OBJECT
public:
    explicit TovTableView(QWidget *parent = nullptr);

    QMenu *popUpMenu() const { return m_popUpMenu; }
    // Not owned; none: a right click shows nothing.
    void setPopUpMenu(QMenu *menu) { m_popUpMenu = menu; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QMenu *m_popUpMenu = nullptr;
};
