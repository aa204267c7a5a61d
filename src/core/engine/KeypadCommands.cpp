#include "KeypadCommands.h"

#include "core/base/ActivityCodes.h"
#include "core/base/CommonFunc.h"

#include <QStringDecoder>

namespace KeypadCommands {

QString text(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return QString();
    return decoded.isNull() ? QString(QLatin1String("")) : decoded;
}

QString brevelAnswerText(const QByteArray &data)
{
    if (data.size() < 6 || quint8(data[2]) == 0 || quint8(data[2]) == 1)
        return QString();
    return text(data.mid(6));
}

QString answerForType(const QString &answer, int questionType, bool upperCase)
{
    QString stored = answer;
    if (upperCase && (questionType == QuestionType::SingleAnswer || questionType == QuestionType::MultipleAnswer))
        stored = stored.toUpper();
    if (questionType == QuestionType::MultipleAnswer)
        stored = sortString(stored);
    else if (questionType == QuestionType::TrueFalse)
        stored = stringToTureFalseString(stored);
    return stored;
}

std::optional<Login> login(const QByteArray &data, int idStart)
{
    const qsizetype zero = data.indexOf('\0');
    const int z = zero < 0 ? int(data.size()) : int(zero);
    if (z < idStart)
        return std::nullopt;
    Login out{text(data.mid(idStart, z - idStart)), QStringLiteral("Null")};
    if (z < data.size())
        out.name = text(data.mid(z + 1, qMax(0, int(data.size()) - 2 - z)));
    return out;
}

std::optional<FreeStyleQuestion> freeStyleQuestion(const QByteArray &data, int deviceType)
{
    if (data.size() < 2)
        return std::nullopt;
    const int keypadType = quint8(data[0]);
    FreeStyleQuestion q{keypadType, quint8(data[1]), QString::fromLatin1(data.mid(2))};
    if (keypadType == 2) {
        const bool cloze = (deviceType == DeviceType::Corvel || deviceType == DeviceType::Dravel) && q.answer.size() > 1;
        q.questionType = cloze ? QuestionType::Cloze : QuestionType::TrueFalse;
    } else if (keypadType == 4 && deviceType == DeviceType::Brevel) {
        q.questionType = 10;
    }
    if (q.questionType == QuestionType::TrueFalse) {
        if (q.answer == QLatin1String("T"))
            q.answer = QStringLiteral("True");
        else if (q.answer == QLatin1String("F"))
            q.answer = QStringLiteral("False");
    }
    return q;
}

} // namespace KeypadCommands
