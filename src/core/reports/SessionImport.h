#pragma once

#include "core/store/QuestionEntity.h"
#include "core/store/QuizEntity.h"
#include "core/store/TovSessionXmlParsedResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Bringing a session file written by another installation into the session folder: the check of
// the file before anything is shown or stored, the check that this installation does not hold it
// already, the copy under a name of its own, and the points the preview shows for an answer.
class SessionImport
{
public:
    // The largest session file taken in: a class of a thousand keypads answering a hundred
    // questions stays well below it.
    static constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
    // Deeper than any element of a session file (Session, Questions, Question, Options, Option,
    // Text) and its value.
    static constexpr int kMaxDepth = 8;

    // The file read whole within kMaxFileBytes and checked with the reader that loads sessions:
    // UTF-8 text, well-formed XML (one root element with nothing but comments and processing
    // instructions beside it; a refusal names the line), a <Session> root with the header the
    // session list needs (ID, DateCreated, Name, Mode, ClassName, Subject, TeacherName, Type), no
    // element nested deeper than kMaxDepth, every question numbered, every student and answer
    // naming its student, and a student or a question at all. None, with a reason a teacher can
    // act on, otherwise.
    struct Checked
    {
        QByteArray bytes;
        bool pointsOnly = false;
        QuizEntity quiz;
    };
    static std::optional<Checked> check(const QString &path, QString *reason);

    // The same session is already stored when an entry of the index has the same Mode,
    // ClassName, Name, Subject, TeacherName, Title and Type (exact text).
    static bool isDuplicate(const TovSessionXmlParsedResult &file, const QList<TovSessionXmlParsedResult> &index);
    // Checks the file again (it may have changed since it was shown), then writes the checked
    // bytes into folder as its Name followed by now (".xml"), the Name made safe as a file name
    // (the Name inside the file is not touched) and never over another file, and adds the copy
    // to the session index. False with the reason when the file is refused or cannot be written;
    // nothing is left behind then.
    static bool importFile(const QString &source, const QString &folder, const QString &now, QString *newPath,
                           QString *errorText);
    // The points an answer gains on a question in the preview, by the session's stored activity
    // (name or code) and the question's own Mode: "" when the student has no answer (null).
    static QString previewPoints(const QString &activity, const QuestionEntity &question, const QString &response);
};
