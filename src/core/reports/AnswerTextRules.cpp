#include "AnswerTextRules.h"

#include "core/base/CommonFunc.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
const QString kNoAnswer = QStringLiteral("No Answer");

struct TypeName
{
    AnswerTextRules::Kind kind;
    const char *name;
    const char *code;
};
const TypeName kTypes[] = {{AnswerTextRules::Kind::Single, "Single Answer", "1"},
                           {AnswerTextRules::Kind::Multiple, "Multiple Answer", "2"},
                           {AnswerTextRules::Kind::Cloze, "Cloze Test", "3"},
                           {AnswerTextRules::Kind::Short, "Short Answer", "4"},
                           {AnswerTextRules::Kind::TrueFalse, "True or False", "5"}};

QString tr(const char *text)
{
    return QCoreApplication::translate("AnswerTextRules", text);
}

bool isLetterKind(AnswerTextRules::Kind kind)
{
    return kind == AnswerTextRules::Kind::Single || kind == AnswerTextRules::Kind::Multiple;
}

bool isFreeText(AnswerTextRules::Kind kind)
{
    return kind == AnswerTextRules::Kind::Cloze || kind == AnswerTextRules::Kind::Short;
}

bool isTrueText(const QString &s)
{
    return s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

bool isFalseText(const QString &s)
{
    return s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
}

bool isUpperLetter(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

// "True"/"False" as the letters A and B; null when the text is neither.
QString trueFalseAsLetter(const QString &s)
{
    if (isTrueText(s))
        return QStringLiteral("A");
    if (isFalseText(s))
        return QStringLiteral("B");
    return QString();
}
} // namespace

QString AnswerTextRules::outOfRangeText()
{
    return tr("The answer should be within the range of option count.");
}

QString AnswerTextRules::outOfRangeOnTypeText()
{
    return tr("The answer should be within the range of Option count.");
}

QString AnswerTextRules::invalidText()
{
    return tr("Invalid answer input.");
}

QString AnswerTextRules::duplicateText()
{
    return tr("Option characters should not be duplicate in the answer.");
}

QString AnswerTextRules::emptyText()
{
    return tr("Answer should not be empty.");
}

QString AnswerTextRules::notALetterText()
{
    return tr("The answer of a single answer question should be an option letter.");
}

AnswerTextRules::Kind AnswerTextRules::kindOfName(const QString &typeName)
{
    for (const TypeName &t : kTypes)
        if (typeName == QLatin1String(t.name))
            return t.kind;
    return Kind::Other;
}

QString AnswerTextRules::nameOfKind(Kind kind)
{
    for (const TypeName &t : kTypes)
        if (t.kind == kind)
            return QLatin1String(t.name);
    return QString();
}

QString AnswerTextRules::nameOfCode(const QString &code)
{
    for (const TypeName &t : kTypes)
        if (code == QLatin1String(t.code))
            return QLatin1String(t.name);
    return QString();
}

QString AnswerTextRules::codeOfName(const QString &typeName)
{
    for (const TypeName &t : kTypes)
        if (typeName == QLatin1String(t.name))
            return QLatin1String(t.code);
    return QStringLiteral("0");
}

int AnswerTextRules::reportTypeNo(const QString &typeName)
{
    const int code = codeOfName(typeName).toInt();
    return code == 0 ? 1 : code;
}

QChar AnswerTextRules::lastOptionLetter(int optionCount)
{
    return QChar(u'A' + qBound(1, optionCount, 26) - 1);
}

QStringList AnswerTextRules::entryTypeNames(int deviceType)
{
    switch (deviceType) {
    case 0:
    case 1:
        return {QStringLiteral("Single Answer"), QStringLiteral("True or False")};
    case 4:
        return {QStringLiteral("Single Answer"), QStringLiteral("Multiple Answer"), QStringLiteral("True or False"),
                QStringLiteral("Cloze Test")};
    case 2:
    case 3:
        return {QStringLiteral("Single Answer"), QStringLiteral("Multiple Answer"), QStringLiteral("True or False"),
                QStringLiteral("Cloze Test"), QStringLiteral("Short Answer")};
    default:
        return {};
    }
}

QStringList AnswerTextRules::editTypeNames(int deviceType)
{
    if (deviceType == 0 || deviceType == 1 || deviceType == 4)
        return entryTypeNames(deviceType);
    return entryTypeNames(2);
}

int AnswerTextRules::entryMaxOptions(int deviceType)
{
    return deviceType == 1 ? 6 : 10;
}

int AnswerTextRules::editMaxOptions(int deviceType)
{
    return isSmallFamily(deviceType) ? 6 : 10;
}

int AnswerTextRules::entryAnswerLength(int deviceType)
{
    switch (deviceType) {
    case 1:
        return 10;
    case 4:
        return 20;
    case 2:
    case 3:
        return 32;
    default:
        return 0;
    }
}

int AnswerTextRules::editAnswerLength(Kind kind, int optionCount, int deviceType)
{
    switch (kind) {
    case Kind::Single:
        return 1;
    case Kind::Multiple:
        return std::max(optionCount, 1);
    default:
        return deviceType == 4 ? 20 : 32;
    }
}

bool AnswerTextRules::isSmallFamily(int deviceType)
{
    return deviceType == 0 || deviceType == 1;
}

bool AnswerTextRules::recordsAnswer(const QString &answer, int deviceType)
{
    if (deviceType != 2 && deviceType != 3)
        return true;
    return !(answer.isEmpty() || answer == QLatin1String(" ") || answer == kNoAnswer);
}

// ---- Entry ----

QString AnswerTextRules::conversion(const QString &text, Kind kind)
{
    if (text == kNoAnswer)
        return text;
    const QString t = text.trimmed();
    switch (kind) {
    case Kind::Single:
    case Kind::Multiple:
        return t.toUpper();
    case Kind::TrueFalse:
        return stringToTureFalseString(t);
    default:
        return t;
    }
}

QString AnswerTextRules::restriction(const QString &text, Kind kind, int optionCount)
{
    if (text == kNoAnswer)
        return text;
    if (isLetterKind(kind)) {
        const QString letter = trueFalseAsLetter(text.trimmed());
        if (!letter.isNull())
            return letter;
        const QString t = text.trimmed().toUpper();
        if (kind == Kind::Single)
            return t.left(1);
        const QChar last = lastOptionLetter(optionCount);
        QString kept;
        for (QChar c : t)
            if (c <= last)
                kept.append(c);
        return kept.left(optionCount);
    }
    if (kind == Kind::TrueFalse) {
        QString t = stringToTureFalseString(text).trimmed();
        if (t.size() > 8)
            t.chop(1);
        return t;
    }
    return text;
}

bool AnswerTextRules::validate(const QString &text, Kind kind, int optionCount)
{
    if (text == kNoAnswer || text.isEmpty())
        return true;
    const QChar last = lastOptionLetter(optionCount);
    const auto isOption = [last](QChar c) { return c >= QLatin1Char('A') && c <= last; };
    switch (kind) {
    case Kind::Single:
        return isOption(text.at(0));
    case Kind::Multiple:
        return std::any_of(text.begin(), text.end(), isOption);
    case Kind::TrueFalse:
        return text == QLatin1String("True") || text == QLatin1String("False");
    default:
        return true;
    }
}

QString AnswerTextRules::settle(const QString &text, Kind kind, int optionCount, bool *refused)
{
    const QString r = restriction(conversion(text, kind), kind, optionCount);
    const bool ok = validate(r, kind, optionCount);
    if (refused)
        *refused = !ok;
    return ok ? r : kNoAnswer;
}

QString AnswerTextRules::afterEntryTypeChange(const QString &correct, Kind kind, int optionCount, bool *refused)
{
    if (refused)
        *refused = false;
    if (correct == kNoAnswer)
        return correct;
    if (isLetterKind(kind)) {
        if (correct == QLatin1String("True"))
            return QStringLiteral("A");
        if (correct == QLatin1String("False"))
            return QStringLiteral("B");
        return correct;
    }
    return settle(correct, kind, optionCount, refused);
}

QString AnswerTextRules::withinOptions(const QString &correct, int optionCount)
{
    if (correct == kNoAnswer)
        return correct;
    const QChar last = lastOptionLetter(optionCount);
    QString kept;
    for (QChar c : correct)
        if (c <= last)
            kept.append(c);
    return kept;
}

QString AnswerTextRules::entrySaveRefusal(QString *correct, Kind kind, int optionCount)
{
    QString c = *correct;
    if (!isFreeText(kind))
        c = c.trimmed();
    const QString r = restriction(conversion(c, kind), kind, optionCount);
    if (r.isEmpty()) {
        *correct = kNoAnswer;
        return QString();
    }
    if (r == kNoAnswer) {
        *correct = r;
        return QString();
    }
    if (kind == Kind::Single) {
        if (r.size() > 1)
            return invalidText();
        if (!isUpperLetter(r.at(0)))
            return notALetterText();
        if (r.at(0) > lastOptionLetter(optionCount))
            return outOfRangeText();
    } else if (kind == Kind::TrueFalse) {
        if (r != QLatin1String("True") && r != QLatin1String("False"))
            return invalidText();
    }
    *correct = r;
    return QString();
}

// ---- Editor ----

QString AnswerTextRules::typedRefusal(QString *typed, Kind kind, int optionCount, bool smallFamily)
{
    QString t = *typed;
    if (t.isEmpty())
        return emptyText();
    const QChar last = lastOptionLetter(optionCount);
    if (smallFamily) {
        if (t.at(0).toUpper() <= last)
            return QString();
        if (t == kNoAnswer || t == QLatin1String("NO ANSWER"))
            return QString();
        return outOfRangeText();
    }
    if (t == kNoAnswer)
        return QString();
    if (!isFreeText(kind))
        t = t.trimmed();
    if (isLetterKind(kind)) {
        t = t.toUpper();
        if (t.isEmpty() || !std::all_of(t.begin(), t.end(), isUpperLetter))
            return invalidText();
        if (kind == Kind::Single && t.size() > 1)
            return invalidText();
        for (QChar c : t)
            if (c > last)
                return outOfRangeText();
        if (kind == Kind::Multiple && t.left(t.size() - 1).contains(t.back()))
            return duplicateText();
    } else if (kind == Kind::TrueFalse) {
        t = stringToTureFalseString(t);
    }
    *typed = t;
    return QString();
}

QString AnswerTextRules::committed(const QString &typed, bool smallFamily)
{
    if (typed == kNoAnswer || !smallFamily)
        return typed;
    return typed.toUpper();
}

int AnswerTextRules::judgeTypeChange(QString *correct, Kind kind, int optionCount)
{
    if (correct->isEmpty())
        return 4;
    if (*correct == kNoAnswer)
        return 1;
    QString c = correct->trimmed();
    const QChar last = lastOptionLetter(optionCount);
    int code = 1;
    if (isLetterKind(kind)) {
        const QString letter = c == QLatin1String("True") ? QStringLiteral("A")
                               : c == QLatin1String("False") ? QStringLiteral("B")
                                                              : QString();
        if (!letter.isNull()) {
            c = letter;
        } else {
            c = c.toUpper();
            if ((kind == Kind::Single && c.size() > 1) || (kind == Kind::Multiple && c.size() > optionCount)
                || !std::all_of(c.begin(), c.end(), isUpperLetter))
                code = 2;
            else if (std::any_of(c.begin(), c.end(), [last](QChar ch) { return ch > last; }))
                code = 3;
        }
    } else if (kind == Kind::TrueFalse) {
        c = stringToTureFalseString(c);
        if (c != QLatin1String("True") && c != QLatin1String("False"))
            code = 2;
    }
    *correct = c;
    return code;
}

QString AnswerTextRules::judgementText(int code)
{
    switch (code) {
    case 2:
        return invalidText();
    case 3:
        return outOfRangeOnTypeText();
    case 4:
        return emptyText();
    default:
        return QString();
    }
}

QString AnswerTextRules::aligned(const QString &correct, Kind kind, int optionCount)
{
    QString c = isFreeText(kind) ? correct : correct.trimmed();
    if (c == kNoAnswer && (isLetterKind(kind) || kind == Kind::TrueFalse))
        return c;
    const QChar last = lastOptionLetter(optionCount);
    switch (kind) {
    case Kind::Single:
        c = c.toUpper();
        if (c.isEmpty() || c.at(0) < QLatin1Char('A') || c.at(0) > last)
            return kNoAnswer;
        return c;
    case Kind::Multiple: {
        QString kept;
        for (QChar ch : c.toUpper())
            if (ch >= QLatin1Char('A') && ch <= last && !kept.contains(ch))
                kept.append(ch);
        return kept.isEmpty() ? kNoAnswer : kept;
    }
    case Kind::TrueFalse: {
        const QString tf = stringToTureFalseString(c);
        return tf == QLatin1String("True") || tf == QLatin1String("False") ? tf : kNoAnswer;
    }
    default:
        return c;
    }
}

QString AnswerTextRules::studentAnswer(const QString &answer, Kind kind)
{
    const QString a = answer.trimmed();
    if (isLetterKind(kind)) {
        const QString letter = trueFalseAsLetter(a);
        return letter.isNull() ? a.toUpper() : letter;
    }
    if (kind == Kind::TrueFalse)
        return stringToTureFalseString(a);
    return a;
}

QString AnswerTextRules::studentAnswerAfterTypeChange(const QString &answer, Kind kind)
{
    if (isLetterKind(kind)) {
        if (answer == QLatin1String("True"))
            return QStringLiteral("A");
        if (answer == QLatin1String("False"))
            return QStringLiteral("B");
    } else if (kind == Kind::TrueFalse) {
        if (answer == QLatin1String("A"))
            return QStringLiteral("True");
        if (answer == QLatin1String("B"))
            return QStringLiteral("False");
    }
    return answer;
}

QString AnswerTextRules::editSaveRefusal(QString *correct, Kind kind, int optionCount)
{
    QString c = *correct;
    if (c == kNoAnswer)
        return QString();
    if (!isFreeText(kind))
        c = c.trimmed();
    // A question loaded without a correct answer keeps having none.
    if (c.isEmpty() && !isFreeText(kind)) {
        *correct = kNoAnswer;
        return QString();
    }
    const QChar last = lastOptionLetter(optionCount);
    const bool noCorrect = c == QLatin1String("nocorrect");
    if (kind == Kind::Single && !noCorrect) {
        if (c.size() > 1)
            return invalidText();
        c = c.toUpper();
        if (!isUpperLetter(c.at(0)))
            return invalidText();
        if (c.at(0) > last)
            return outOfRangeText();
    } else if (kind == Kind::TrueFalse && !noCorrect) {
        c = stringToTureFalseString(c);
        if (c != QLatin1String("True") && c != QLatin1String("False"))
            return invalidText();
    } else if (kind == Kind::Multiple) {
        c = c.toUpper();
        if (!isUpperLetter(c.at(0)))
            return invalidText();
        for (qsizetype i = 0; i < c.size(); ++i) {
            if (c.at(i) > last)
                return outOfRangeText();
            if (c.count(c.at(i)) > 1)
                return duplicateText();
        }
        if (c.size() > optionCount)
            return outOfRangeText();
    }
    *correct = c;
    return QString();
}
