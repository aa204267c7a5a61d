#include "PresentationSave.h"

#include "PollixAlert.h"

#include "core/presentation/QuestionSlideFormat.h"
#include "platform/PPTEditorMSO.h"

#include <QObject>

bool PresentationSave::tell(QWidget *window, PPTEditor::SaveResult result, const QString &why)
{
    if (result == PPTEditor::SaveResult::Failed)
        PollixAlert::show(window, QStringLiteral("Pollix"), QObject::tr("The presentation could not be saved."),
                          {QObject::tr("OK")}, why);
    return result == PPTEditor::SaveResult::Saved;
}

bool PresentationSave::save(QWidget *window, PPTEditorMSO &ppt)
{
    QString why;
    if (!tell(window, ppt.savePPT(&why), why))
        return false;
    PollixAlert::show(window, QStringLiteral("Pollix"), QObject::tr("Saved successfully."), {QObject::tr("OK")},
                      PollixAlert::savedTo(ppt.fileName()));
    return true;
}

bool PresentationSave::saveWithExamId(QWidget *window, PPTEditorMSO &ppt)
{
    QString why;
    const QuestionSlideFormat::ExamIdDraw draw = QuestionSlideFormat::drawExamId(ppt, &why);
    // A deck without slides has nowhere to keep an ID, and is saved without one.
    if (!draw.id && ppt.getCountOfSlide() > 0) {
        PollixAlert::show(window, QStringLiteral("Pollix"), QObject::tr("The exam ID could not be recorded."),
                          {QObject::tr("OK")}, why);
        return false;
    }
    if (save(window, ppt))
        return true;
    QuestionSlideFormat::takeBackExamId(ppt, draw);
    return false;
}
