// Session files, read as the session list, the reports and the import preview read them.

#include "FuzzSupport.h"

#include "core/reports/SessionImport.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovSessionXmlParsedResult.h"

#include <QHash>

QList<QByteArray> fuzzSeeds()
{
    return Fuzz::testDataFiles({QStringLiteral(".xml")}, QByteArrayLiteral("<Session"));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::inputFile(data, size, QStringLiteral("session.xml"));
    // The import's own check, XML rules included, before the readers that follow it.
    QString why;
    SessionImport::check(path, &why);
    TovSessionXmlParsedResult header;
    header.parseXMLFile(path);
    const TovQuizXmlDatabase store;
    store.getQuizInfoIsCorseGrade(path);
    store.getQuizMessage(path);
    const std::optional<QuizEntity> quiz = store.getQuizInfoAll(path);
    if (!quiz)
        return 0;
    // The import preview's points: every answer against the question its number names.
    QHash<int, const QuestionEntity *> byNumber;
    for (const QuestionEntity &q : quiz->allQuestions())
        byNumber.insert(q.quNo(), &q);
    for (const ResponseDataEntity &answer : quiz->allStudentsAns())
        if (const QuestionEntity *q = byNumber.value(GlobalFunctions::intValue(answer.questionID()), nullptr))
            SessionImport::previewPoints(quiz->actionType(), *q, answer.response());
    return 0;
}
