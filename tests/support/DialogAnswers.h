#pragma once

#include "ui/controls/DialogHooks.h"

#include <QList>
#include <QString>
#include <QStringList>

// Answers the program's alerts and file dialogs from a queue, and records what was asked.
// While it lives, no real dialog opens; an alert with no queued answer gets its first button.
class DialogAnswers
{
public:
    DialogAnswers();
    ~DialogAnswers();

    // A negative index leaves the alert by Escape or its close box.
    void answerAlert(int buttonIndex) { m_alertAnswers << buttonIndex; }
    void answerFile(const QString &path) { m_fileAnswers << path; }

    const QList<AlertRequest> &alerts() const { return m_alerts; }
    QStringList alertTexts() const;
    const QList<FileDialogRequest> &fileDialogs() const { return m_files; }

private:
    QList<int> m_alertAnswers;
    QStringList m_fileAnswers;
    QList<AlertRequest> m_alerts;
    QList<FileDialogRequest> m_files;
};
