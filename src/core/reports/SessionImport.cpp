#include "SessionImport.h"

#include "core/engine/AnswerScoring.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"

#include <QDir>
#include <QFile>

bool SessionImport::isDuplicate(const TovSessionXmlParsedResult &file, const QList<TovSessionXmlParsedResult> &index)
{
    for (const TovSessionXmlParsedResult &entry : index)
        if (entry.Mode() == file.Mode() && entry.ClassName() == file.ClassName() && entry.Name() == file.Name()
            && entry.Subject() == file.Subject() && entry.TeacherName() == file.TeacherName()
            && entry.Title() == file.Title() && entry.Type() == file.Type())
            return true;
    return false;
}

bool SessionImport::importFile(const QString &source, const QString &folder, const QString &now, QString *newPath,
                               QString *errorText)
{
    pugi::xml_document doc;
    QString why;
    if (!GlobalFunctions::loadXmlFile(source, doc, &why))
        return GlobalFunctions::failWith(errorText, why);
    if (std::string_view(doc.document_element().name()) != TovQuizXmlDatabase::kRootName)
        return GlobalFunctions::failWith(errorText, QStringLiteral("%1 is not a session file").arg(source));
    TovSessionXmlParsedResult header;
    header.parseXMLFile(source);
    if (!QDir().mkpath(folder))
        return GlobalFunctions::failWith(errorText, QStringLiteral("cannot make the folder %1").arg(folder));
    const QString target =
        GlobalFunctions::freeFilePath(folder, GlobalFunctions::safeFileName(header.Name() + now), QStringLiteral(".xml"));
    if (!TovQuizXmlDatabase().copyFileFrom(source, target, errorText))
        return false;
    TovSessionXmlParsedResult copied;
    if (!copied.parseXMLFile(target)) {
        QFile::remove(target);
        return GlobalFunctions::failWith(errorText, QStringLiteral("the copy %1 cannot be read back").arg(target));
    }
    copied.setFilePath(target);
    copied.setFlag(1);
    TovFastQuizXmlDatabase::sharedFastQuiz()->addQSessionResult(copied);
    if (newPath)
        *newPath = target;
    return true;
}

QString SessionImport::previewPoints(const QString &activity, const QuestionEntity &question, const QString &response)
{
    if (response.isNull())
        return QString();
    const QString code = QString::number(DataManager::getActModeNoByName(activity));
    const QString mode = QString::number(DataManager::getActModeNoByName(question.quMode()));
    return QString::number(AnswerScoring::points(response, question.rightAns(), question.mark(),
                                                 AnswerScoring::storedWrongAnswerRule(code, mode)));
}
