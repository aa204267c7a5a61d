#pragma once

#include "platform/PPTEditor.h"

#include <QString>

class PPTEditorMSO;
class QWidget;

// Saving the open deck from a window, one way for every window. A failure is told with its
// reason; a save panel the teacher cancelled is no failure and tells nothing, so that the window
// stays as it was, with its edits and its unsaved mark.
namespace PresentationSave {

// Tells what a save came to (why: the driver's reason of a failure); true when the deck reached
// its file.
bool tell(QWidget *window, PPTEditor::SaveResult result, const QString &why);
// Saves the open deck (a deck never saved asks for a file name first) and tells the outcome, a
// save that worked with where the deck went.
bool save(QWidget *window, PPTEditorMSO &ppt);
// The same for a deck of questions: one without an exam ID gets the next one as it is saved, and
// a save that does not happen gives the number back, leaving the deck as it was.
bool saveWithExamId(QWidget *window, PPTEditorMSO &ppt);

} // namespace PresentationSave
