#include "DialogHooks.h"

#include <QDialog>

namespace {
DialogHooks::AlertResponder g_alert;
DialogHooks::FileResponder g_file;
DialogHooks::ModalResponder g_modal;
} // namespace

namespace DialogHooks {
void setAlertResponder(AlertResponder responder) { g_alert = std::move(responder); }
const AlertResponder &alertResponder() { return g_alert; }
void setFileResponder(FileResponder responder) { g_file = std::move(responder); }
const FileResponder &fileResponder() { return g_file; }
void setModalResponder(ModalResponder responder) { g_modal = std::move(responder); }
const ModalResponder &modalResponder() { return g_modal; }
int runModal(QDialog *dialog)
{
    if (g_modal) {
        // A copy: the responder may replace itself while it runs.
        const ModalResponder responder = g_modal;
        return responder(dialog);
    }
    return dialog->exec();
}
} // namespace DialogHooks
