#include "PresentationSave.h"

#include "PollixAlert.h"

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
