#include "QuestionEditorOpener.h"

#include "TabController.h"

#include "core/engine/QuizParticipantData.h"
#include "ui/authoring/QuestionsSettingWindowController.h"
#include "ui/authoring/TitleSetController.h"

namespace QuestionEditorOpener {

void install()
{
    TabController::hooks().openQuestionEditor = [](TabController *tab, const QString &path) { open(tab, path); };
    TabController::hooks().runTitleSet = [](QWidget *parent, const QString &path, bool isPPT) {
        TitleSetController dialog(parent);
        dialog.setBIsPPT(isPPT);
        QuizParticipantData *run = QuizParticipantData::shareManager();
        dialog.setTeacherName(run->teacherName());
        dialog.setSubjectName(run->subjectName());
        dialog.setFilePath(path);
        dialog.runModal();
    };
}

QuestionsSettingWindowController *open(TabController *father, const QString &path)
{
    auto *editor = new QuestionsSettingWindowController;
    if (!path.isEmpty())
        editor->openFile(path);
    editor->setFather(father);
    editor->showWindow();
    if (father)
        father->hide();
    return editor;
}

} // namespace QuestionEditorOpener
