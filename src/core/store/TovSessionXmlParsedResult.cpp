#include "TovSessionXmlParsedResult.h"

#include "MyXmlParser.h"
#include "platform/Log.h"

namespace {
// Header capture: the scanner's callbacks filling one entry.
class HeaderCapture : public MyXmlParser::Delegate
{
public:
    explicit HeaderCapture(QuizSummary &summary) : m_summary(summary) {}

    void myParserDidStartElement(MyXmlParser &parser, const QString &name) override
    {
        ++m_depth;
        if (m_depth > 2) {
            // The first element inside a header-level element: the header is over.
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
        if (m_depth > 0)
            --m_depth;
    }

private:
    static bool isKnownOther(const QString &name)
    {
        return name == QLatin1String("Version") || name == QLatin1String("Questions") ||
               name == QLatin1String("StuentAnswers") || name == QLatin1String("Students") ||
               name == QLatin1String("Rollcalls");
    }

    QuizSummary &m_summary;
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
    return opened;
}
