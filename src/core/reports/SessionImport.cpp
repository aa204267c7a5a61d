#include "SessionImport.h"

#include "core/base/TextBytes.h"
#include "core/engine/AnswerScoring.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/FolderHandle.h"
#include "platform/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("SessionImport", text);
}

std::optional<SessionImport::Checked> refuse(QString *reason, const QString &why)
{
    if (reason)
        *reason = why;
    return std::nullopt;
}

// The encoding that 8-bit bytes declare, "" for UTF-8 or none.
QString declaredEncoding(const QByteArray &bytes)
{
    static const QRegularExpression declared(QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([^\"']+)[\"']"));
    const QRegularExpressionMatch m = declared.match(QString::fromLatin1(bytes.left(256)));
    if (m.hasMatch()) {
        const QString name = m.captured(1).trimmed();
        if (name.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0
            && name.compare(QLatin1String("UTF8"), Qt::CaseInsensitive) != 0)
            return name;
    }
    return QString();
}

// A parser's message put in the refusal's parentheses: its own full stop would end the sentence
// inside them.
QString notWellFormed(QString message, qint64 line)
{
    message = message.trimmed();
    if (message.endsWith(QLatin1Char('.')))
        message.chop(1);
    return tr("The file is not well-formed XML (%1, line %2).").arg(message).arg(line);
}

// The deepest element under node (node itself counts 1), walked without recursion.
int depthOf(pugi::xml_node root)
{
    int deepest = 0;
    QList<std::pair<pugi::xml_node, int>> stack{{root, 1}};
    while (!stack.isEmpty()) {
        const auto [node, depth] = stack.takeLast();
        deepest = std::max(deepest, depth);
        if (depth > SessionImport::kMaxDepth)
            break;
        for (pugi::xml_node child : node.children())
            if (child.type() == pugi::node_element)
                stack.append({child, depth + 1});
    }
    return deepest;
}

// Why the bytes are not well-formed XML, with the line, or "" when they are. The session reader's
// parser takes more than XML allows (a second element after the root, text outside it, an
// attribute given twice, an undeclared entity) and reads such a file as if it were sound, so a
// file is first read through a reader that holds to the XML rules. One thing is let through: the
// session store writes a control character (from a keypad's text or an imported roster) as a
// character reference such as "&#01;", which XML 1.0 does not allow; the session reader reads it,
// and a file Pollix wrote is not refused for it.
QString wellFormedProblem(const QString &text)
{
    static const QRegularExpression reference(QStringLiteral("&#(?:x([0-9A-Fa-f]{1,6})|([0-9]{1,7}));"));
    QString checked;
    checked.reserve(text.size());
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const uint code = m.capturedLength(1) > 0 ? m.captured(1).toUInt(nullptr, 16) : m.captured(2).toUInt();
        if (code < 1 || code > 0x1F)
            continue;
        checked += QStringView(text).mid(from, m.capturedStart() - from);
        checked += QLatin1String("&#32;");
        from = m.capturedEnd();
    }
    checked += QStringView(text).mid(from);
    QXmlStreamReader reader(checked);
    while (!reader.atEnd())
        reader.readNext();
    if (!reader.hasError())
        return QString();
    return notWellFormed(reader.errorString(), reader.lineNumber());
}

bool isWholeNumber(const char *text)
{
    const QString t = QString::fromUtf8(text).trimmed();
    bool ok = false;
    t.toInt(&ok);
    return ok;
}
} // namespace

std::optional<SessionImport::Checked> SessionImport::check(const QString &path, QString *reason)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return refuse(reason, tr("The file could not be found."));
    if (info.size() > kMaxFileBytes)
        return refuse(reason, tr("The file is %1 MB; a session file may be at most %2 MB.")
                                  .arg(double(info.size()) / (1024 * 1024), 0, 'f', 1)
                                  .arg(kMaxFileBytes / (1024 * 1024)));
    QFile file;
    if (QString why; !RegularFile::open(file, path, &why))
        return refuse(reason, tr("The file could not be opened: %1.").arg(why));
    Checked checked;
    // A file that grew after it was measured is read no further than the limit.
    checked.bytes = RegularFile::readAtMost(file, kMaxFileBytes);
    if (checked.bytes.size() > kMaxFileBytes)
        return refuse(reason, tr("The file is larger than %1 MB, the most a session file may be.")
                                  .arg(kMaxFileBytes / (1024 * 1024)));
    const TextBytes::Look look = TextBytes::lookAt(checked.bytes);
    if (look.kind == TextBytes::Kind::NotText) {
        // Where the first such byte is, for a text damaged by a stray one.
        QString where = TextBytes::faultText(look);
        where[0] = where.at(0).toUpper();
        return refuse(reason, tr("This is not a session file: it holds bytes that no text holds, as an archive, a "
                                 "picture or a compressed file does. Choose the session file itself; one packed in "
                                 "an archive or compressed is unpacked first. %1.")
                                  .arg(where));
    }
    const QString encoding = look.kind == TextBytes::Kind::EightBit ? declaredEncoding(checked.bytes)
                                                                    : TextBytes::encodingName(look.kind);
    if (!encoding.isEmpty())
        return refuse(reason, tr("The file is written in %1; session files are UTF-8 text. Save it as UTF-8 and "
                                 "import it again.").arg(encoding));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(checked.bytes);
    if (utf8.hasError())
        return refuse(reason, tr("The file is not UTF-8 text; session files are. Save it as UTF-8 and import it again."));

    const QString malformed = wellFormedProblem(text);
    if (!malformed.isEmpty())
        return refuse(reason, malformed);
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(checked.bytes.constData(), size_t(checked.bytes.size()),
                        pugi::parse_default | pugi::parse_ws_pcdata_single, pugi::encoding_utf8);
    if (!parsed) {
        const int line = int(checked.bytes.left(qsizetype(parsed.offset)).count('\n')) + 1;
        return refuse(reason, notWellFormed(QString::fromUtf8(parsed.description()), line));
    }
    const pugi::xml_node root = doc.document_element();
    if (std::string_view(root.name()) != "Session")
        return refuse(reason, tr("This is not a session file: it holds <%1> where a session file holds <Session>.")
                                  .arg(QString::fromUtf8(root.name())));
    if (depthOf(root) > kMaxDepth)
        return refuse(reason, tr("The file is not a session file: its elements are nested deeper than a session "
                                 "file's."));
    for (const char *field : {"ID", "DateCreated", "Name", "Mode", "ClassName", "Subject", "TeacherName", "Type"})
        if (!root.child(field))
            return refuse(reason, tr("The session file has no <%1>; it is damaged or was not written as a session.")
                                      .arg(QLatin1String(field)));
    checked.pointsOnly = TovQuizXmlDatabase::isPointsOnlyRoot(root);
    const char *studentID = checked.pointsOnly ? "SID" : "ID";
    int students = 0, questions = 0;
    for (pugi::xml_node node : root.children("Students"))
        for (pugi::xml_node student : node.children("Student")) {
            if (!student.child(studentID))
                return refuse(reason, tr("A student of the session file has no ID."));
            ++students;
        }
    if (!checked.pointsOnly) {
        for (pugi::xml_node node : root.children("Questions"))
            for (pugi::xml_node question : node.children("Question")) {
                if (!isWholeNumber(question.child_value("No")))
                    return refuse(reason, tr("A question of the session file has no number."));
                ++questions;
            }
        for (pugi::xml_node node : root.children("StuentAnswers"))
            for (pugi::xml_node answer : node.children("SAnswer"))
                if (!answer.child("SID") || !answer.child("QNo"))
                    return refuse(reason, tr("An answer of the session file names no student or no question."));
    }
    if (students == 0 && questions == 0)
        return refuse(reason, tr("The session file holds no students and no questions."));
    checked.quiz = DataManager::quizFromRoot(root);
    return checked;
}

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
    QString why;
    const std::optional<Checked> checked = check(source, &why);
    if (!checked)
        return GlobalFunctions::failWith(errorText, why);
    // The sessions folder held open from its making to the copy's removal, should it not read back.
    const FolderHandle held = GlobalFunctions::heldFolder(folder, true, &why);
    if (!held.isOpen())
        return GlobalFunctions::failWith(errorText, why); // naming the folder, and what became of it
    const QString target = GlobalFunctions::freeFilePath(
        folder, GlobalFunctions::safeFileName(checked->quiz.name() + now), QStringLiteral(".xml"), errorText);
    if (target.isEmpty())
        return false;
    const QString name = QFileInfo(target).fileName();
    if (!AtomicFile::write(held, name, checked->bytes, errorText))
        return false;
    TovSessionXmlParsedResult copied;
    if (!copied.parseXMLFile(held.pathOf(name))) {
        held.removeFile(name);
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
