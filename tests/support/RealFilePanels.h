#pragma once

#include "ui/controls/DialogHooks.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

class QFileDialog;

// Lets the program's file panels come up for real while it lives (the hook that answers them in
// the other tests is put aside meanwhile) and works each one as the teacher does with the keys:
// once the panel holds them, the queued text is typed into its name box key by key, then Return.
// The keys after the last "/" (a file's name in a path) reach the box while the application's
// focus is elsewhere, as it may be while the completer's list of that folder is up under a window
// manager; the focus is back in the box for Return.
// A panel still up after Return takes the next queued text; one still up with nothing queued is
// cancelled by Escape and counted, so that no test hangs on a panel.
class RealFilePanels
{
public:
    RealFilePanels();
    ~RealFilePanels();

    void type(const QString &text) { m_texts << text; }

    // Where a panel stood after a Return that left it up: its folder and what its name box held.
    struct LeftUp
    {
        QString folder;
        QString name;
    };
    const QList<LeftUp> &leftUp() const { return m_leftUp; }
    int cancelled() const { return m_cancelled; }
    bool allTyped() const { return m_texts.isEmpty(); }

private:
    void work(QFileDialog *panel);

    DialogHooks::FileResponder m_putAside;
    QTimer m_poll;
    QPointer<QFileDialog> m_busy;
    QStringList m_texts;
    QList<LeftUp> m_leftUp;
    int m_cancelled = 0;
};
