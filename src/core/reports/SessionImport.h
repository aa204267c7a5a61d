#pragma once

#include "core/store/QuestionEntity.h"
#include "core/store/QuizEntity.h"
#include "core/store/TovSessionXmlParsedResult.h"

#include <QList>
#include <QString>

// Bringing a session file written by another installation into the session folder: the check
// that this installation does not hold it already, the copy under a name of its own, and the
// points the preview shows for an answer.
class SessionImport
{
public:
    // The same session is already stored when an entry of the index has the same Mode,
    // ClassName, Name, Subject, TeacherName, Title and Type (exact text).
    static bool isDuplicate(const TovSessionXmlParsedResult &file, const QList<TovSessionXmlParsedResult> &index);
    // Copies the file into folder as its Name followed by now (".xml"), the Name made safe as a
    // file name (the Name inside the file is not touched) and never over another file, then adds
    // the copy to the session index. False with the reason when the file cannot be read as a
    // session or cannot be copied; nothing is left behind then.
    static bool importFile(const QString &source, const QString &folder, const QString &now, QString *newPath,
                           QString *errorText);
    // The points an answer gains on a question in the preview, by the session's stored activity
    // (name or code) and the question's own Mode: "" when the student has no answer (null).
    static QString previewPoints(const QString &activity, const QuestionEntity &question, const QString &response);
};
