#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QDialog;
class TabController;

// Opens the main tabbed window ("Tabctrl") with its menus and keeps it for the run.
class MainwndController : public QObject
{
    Q_OBJECT
public:
    explicit MainwndController(QObject *parent = nullptr);
    ~MainwndController() override;

    // Builds the main window and runs its set-up (splash, system choice); then shows it.
    void initWindow();
    void showWindow();
    TabController *window() const { return m_window; }

    QPointer<QDialog> wndLogin;
    QPointer<QDialog> wndClassEdit;
    QAction *menuSelectSystem = nullptr;
    QAction *menuEnvel = nullptr;
    QAction *menuArvel = nullptr;
    QAction *menuCorvel = nullptr;
    QAction *menuDravel = nullptr;

private:
    void awakeFromNib();
    // The System menu follows the receiver: usable while none is plugged in, the model in use ticked.
    void refreshSystemMenu();
    TabController *m_window = nullptr;
};
