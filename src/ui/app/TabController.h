#pragma once

#include <QMainWindow>

// The main tabbed window ("Tabctrl").
class TabController : public QMainWindow
{
    Q_OBJECT
public:
    explicit TabController(QWidget *parent = nullptr);
};
