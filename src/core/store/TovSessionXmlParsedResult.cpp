#include "TovSessionXmlParsedResult.h"

#include "MyXmlParser.h"
#include "TovQuizXmlDatabase.h"
#include "platform/Log.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

namespace {
// Header capture: the scanner's callbacks filling one entry.
class HeaderCapture : public MyXmlParser::Delegate
{
public:
    explicit HeaderCapture(QuizSummary &summary) : m_summary(summary) {}

    void myParserDidStartElement(MyXmlParser &parser, const QString &name) override
    {
        ++m_depth;
        if (m_depth == 1 && m_root.isNull())
            m_root = name;
        if (m_depth > 2) {
            // The first element inside a header-level element: the header is over.
            m_headerRead = true;
            parser.setDelegate(nullptr);
            return;
        }
        if (m_depth == 2) {
            if (m_previous == QLatin1String("TotalMark"))
                m_summary.setIsCoureGrade(name == QLatin1String("StartTime"));
            m_curString.clear();
        }
    }

    void myParserFoundCharacters(MyXmlParser &, const QString &text) override
    {
        if (m_depth == 2)
            m_curString += text;
    }

    void myParserDidEndElement(MyXmlParser &, const QString &name) override
    {
        if (m_depth == 2) {
            if (!m_seen.contains(name)) {
                m_seen.append(name);
                const bool known = m_curString.isEmpty() || m_summary.setField(name, m_curString);
                if (!known && !isKnownOther(name))
                    PollixLog(QStringLiteral("<%1> not support").arg(name));
            }
            m_previous = name;
        }
        if (m_depth == 1)
            m_headerRead = true; // the root closed
        if (m_depth > 0)
            --m_depth;
    }

    // What keeps the header from being read, once the scan is over; empty when nothing does.
    QString damage() const
    {
        if (m_root.isNull())
            return QStringLiteral("it holds no XML element");
        if (m_root != QLatin1String(TovQuizXmlDatabase::kRootName))
            return QStringLiteral("it is no session file (its root element is <%1>, not <%2>)")
                .arg(m_root, QLatin1String(TovQuizXmlDatabase::kRootName));
        if (!m_headerRead)
            return QStringLiteral("it ends before its header does (the file was cut short)");
        return QString();
    }

private:
    static bool isKnownOther(const QString &name)
    {
        return name == QLatin1String("Version") || name == QLatin1String("Questions") ||
               name == QLatin1String("StuentAnswers") || name == QLatin1String("Students") ||
               name == QLatin1String("Rollcalls");
    }

    QuizSummary &m_summary;
    QString m_root;
    bool m_headerRead = false;
    int m_depth = 0;
    QString m_curString;
    QString m_previous;
    QStringList m_seen;
};
} // namespace

bool TovSessionXmlParsedResult::parseXMLFile(const QString &path)
{
    if (bParsed())
        static_cast<QuizSummary &>(*this).reset();
    HeaderCapture capture(*this);
    MyXmlParser parser(path);
    parser.setDelegate(&capture);
    const bool opened = parser.parse();
    setBParsed(true);
    if (!opened) {
        QFile file;
        QString why;
        if (RegularFile::open(file, path, &why))
            why = QStringLiteral("it could not be read");
        setDamage(QStringLiteral("the file cannot be opened (%1)").arg(why));
    } else if (QFileInfo(path).size() == 0) {
        setDamage(QStringLiteral("the file is empty"));
    } else {
        setDamage(capture.damage());
    }
    return opened;
}
