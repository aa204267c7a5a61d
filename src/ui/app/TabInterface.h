#pragma once

class QIcon;
class QPushButton;
class TabController;

// The main window's widgets, built tab by tab into its outlets: Brightpoll (class, load, title
// and start, the activity lists, the question file and presentation buttons), the question
// editor's, the reports' and the settings' buttons; every control is connected to its action.
class TabInterface
{
public:
    static void build(TabController *w);
    static void setToolTips(TabController *w);
    // Every icon bar of the window shows its pictures at one size.
    static void setBarIcon(QPushButton *button, const QIcon &icon);
};
