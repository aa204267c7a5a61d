#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QDialog;

// Alerts and file dialogs go through these hooks so that tests (and scripted runs) can answer
// them without a person in front of the screen. With no hook set, the real dialog is shown.
struct AlertRequest
{
    QString title;
    QString text;
    QString informativeText;
    QStringList buttons;
};

struct FileDialogRequest
{
    bool save = false;
    QString caption;
    QString directory;
    QString filter;
    // The file name a save panel proposes in its name box ("" for none).
    QString proposedName;
};

namespace DialogHooks {
// The answer is the 0-based index of the button pressed; a negative answer leaves the alert by
// Escape or its close box.
using AlertResponder = std::function<int(const AlertRequest &)>;
// The answer is the chosen path; empty means cancelled.
using FileResponder = std::function<QString(const FileDialogRequest &)>;

void setAlertResponder(AlertResponder responder);
const AlertResponder &alertResponder();
void setFileResponder(FileResponder responder);
const FileResponder &fileResponder();
// Windows run their own modal dialogs through runModal(); a responder set here gets the dialog,
// set up and ready, instead of exec(), and answers its result. Tests drive the dialog's
// controls from it, and may still call exec() themselves.
using ModalResponder = std::function<int(QDialog *)>;
void setModalResponder(ModalResponder responder);
const ModalResponder &modalResponder();
int runModal(QDialog *dialog);
} // namespace DialogHooks
