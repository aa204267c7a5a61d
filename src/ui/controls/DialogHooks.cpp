#include "DialogHooks.h"

namespace {
DialogHooks::AlertResponder g_alert;
DialogHooks::FileResponder g_file;
} // namespace

namespace DialogHooks {
void setAlertResponder(AlertResponder responder) { g_alert = std::move(responder); }
const AlertResponder &alertResponder() { return g_alert; }
void setFileResponder(FileResponder responder) { g_file = std::move(responder); }
const FileResponder &fileResponder() { return g_file; }
} // namespace DialogHooks
