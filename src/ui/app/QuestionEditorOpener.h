#pragma once

#include <QString>

class QuestionsSettingWindowController;
class TabController;

// The main window's ways into question authoring: New and Open of the question editor, and the
// title and ID dialog of a loaded question file or answer sheet.
namespace QuestionEditorOpener {
void install();
// Opens the editor for a new set (empty path) or for a file the main window has checked; the
// main window steps aside until the editor closes.
QuestionsSettingWindowController *open(TabController *father, const QString &path);
} // namespace QuestionEditorOpener
