#include "TovTableView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

TovTableView::TovTableView(QWidget *parent) : QTableView(parent)
{
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

void TovTableView::mousePressEvent(QMouseEvent *event)
{
    // The menu acts on what was selected before; the right click does not change it.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TovTableView::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_popUpMenu)
        m_popUpMenu->popup(event->globalPos());
    event->accept();
}
