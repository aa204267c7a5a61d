#include "ExamPaperInfo.h"

#include "platform/AtomicFile.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"
#include "platform/Log.h"
#include "platform/RegularFile.h"

#include <QFile>

ExamPaperInfo::ExamPaperInfo() = default;

QByteArray ExamPaperInfo::archivedData() const
{
    return KeyedArchiver::archivedData(*this);
}

bool ExamPaperInfo::writeToFile(const QString &path, QString *errorText) const
{
    return AtomicFile::write(path, archivedData(), errorText);
}

KeyedUnarchiver::ClassTable ExamPaperInfo::archiveClasses()
{
    KeyedUnarchiver::ClassTable table;
    table.insert(QStringLiteral("ExamPaperInfo"), [] { return std::make_shared<ExamPaperInfo>(); });
    QuestionSetView::addArchiveClasses(table);
    return table;
}

std::shared_ptr<ExamPaperInfo> ExamPaperInfo::unarchiveObjectWithData(const QByteArray &bytes, QString *errorText)
{
    KeyedUnarchiver coder(archiveClasses());
    auto root = std::dynamic_pointer_cast<ExamPaperInfo>(coder.unarchive(bytes));
    if (!root && !coder.failed())
        coder.fail(QStringLiteral("the root is no question set"));
    if (coder.failed()) {
        if (errorText)
            *errorText = coder.errorString();
        return nullptr;
    }
    return root;
}

std::shared_ptr<ExamPaperInfo> ExamPaperInfo::unarchiveObjectWithFile(const QString &path, QString *errorText)
{
    const std::optional<QByteArray> bytes = RegularFile::readAll(path, errorText);
    return bytes ? unarchiveObjectWithData(*bytes, errorText) : nullptr;
}

std::shared_ptr<ExamPaperInfo> ExamPaperInfo::loadQuestionFile(const QString &path, QString *errorText)
{
    auto root = unarchiveObjectWithFile(path, errorText);
    if (root && !root->hasValidSymbol()) {
        if (errorText)
            *errorText = QStringLiteral("wrong format mark");
        return nullptr;
    }
    if (!root)
        PollixLog(QStringLiteral("Cannot read question file %1").arg(path));
    return root;
}

QStringList ExamPaperInfo::archiveClassNames() const
{
    return {QStringLiteral("ExamPaperInfo"), QStringLiteral("NSObject")};
}

void ExamPaperInfo::encodeWithCoder(KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("PXFormatVersion"), kFormatVersion);
    coder.encodeString(m_strSymbol);
    coder.encodeInt(m_nExamPaperID);
    coder.encodeString(m_strExamPaperTitle);
    coder.encodeObjectArray(KeyedArchiver::objects(m_arrayQuestionsInfo));
    coder.encodeString(m_strMemo);
}

void ExamPaperInfo::initWithCoder(KeyedUnarchiver &coder)
{
    const qint64 version = coder.decodeInt(QStringLiteral("PXFormatVersion"));
    if (coder.failed())
        return;
    if (version < 1 || version > kFormatVersion)
        return coder.fail(QStringLiteral("format version %1 is not known").arg(version));
    const QString symbol = coder.decodeString();
    const qint64 id = coder.decodeInt();
    const QString title = coder.decodeString();
    auto pages = coder.decodeArrayOfClass<QuestionSetView>();
    const QString memo = coder.decodeString();
    if (coder.failed())
        return;
    if (id < INT32_MIN || id > INT32_MAX)
        return coder.fail(QStringLiteral("exam-paper ID out of range"));
    for (qsizetype i = 0; i < pages.size(); ++i)
        for (qsizetype j = 0; j < i; ++j)
            if (pages[i] == pages[j])
                pages[i] = pages[i]->copy(); // one page listed twice becomes two pages
    m_strSymbol = symbol;
    m_nExamPaperID = int(id);
    m_strExamPaperTitle = title.isNull() ? QStringLiteral("") : title;
    m_arrayQuestionsInfo = pages;
    m_strMemo = memo.isNull() ? QStringLiteral("") : memo;
}
