#include "AppDelegateBase.h"

#include "platform/ChangeJournal.h"
#include "platform/TakenFolders.h"

#include <QDir>
#include <QList>

#include <atomic>

namespace {
std::atomic<AppDelegateBase *> g_appDelegate{nullptr};

constexpr char kData[] = "Data";
constexpr char kClasses[] = "Data/Classes";
constexpr char kQuiz[] = "Data/Quiz";
constexpr char kCourseGrade[] = "Data/CourseGrade";
} // namespace

AppDelegateBase::AppDelegateBase(const QString &rootFolder)
{
    QString root = rootFolder.isEmpty() ? defaultApplicationFolder() : rootFolder;
    root = QDir::cleanPath(root);
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    m_strPollixFilePath = root;
    m_strStandardFilePath = root + QStringLiteral("Template.xml");
    m_strDataFilePath = root + QLatin1String(kData) + QLatin1Char('/');
    m_strClassXmlDataFilePath = root + QLatin1String(kClasses);
    m_strQuizXmlDataFilePath = root + QLatin1String(kQuiz);
    m_strCourseGradeFilePath = root + QLatin1String(kCourseGrade);
    // Changes of several files note themselves down in the data folder first.
    ChangeJournal::setFolder(m_strDataFilePath);
}

AppDelegateBase::~AppDelegateBase()
{
    AppDelegateBase *self = this;
    if (g_appDelegate.compare_exchange_strong(self, nullptr))
        TakenFolders::take(QString(), QString(), {});
    if (ChangeJournal::folder() == QDir::cleanPath(m_strDataFilePath))
        ChangeJournal::setFolder(QString());
}

AppDelegateBase *AppDelegateBase::getAppDelegate()
{
    return g_appDelegate.load();
}

void AppDelegateBase::registerAppDelegate(AppDelegateBase *delegate)
{
    g_appDelegate.store(delegate);
    // Registered as the program takes its folder: the links an administrator put in place of the
    // data folder's own folders are noted now, before anything there is read or changed.
    if (!delegate) {
        TakenFolders::take(QString(), QString(), {});
        return;
    }
    const QDir data(delegate->strDataFilePath());
    TakenFolders::take(delegate->strPollixFilePath(), delegate->strDataFilePath(),
                       {data.relativeFilePath(delegate->strQuizXmlDataFilePath()),
                        data.relativeFilePath(delegate->strCourseGradeFilePath()),
                        data.relativeFilePath(delegate->strClassXmlDataFilePath())});
}

QString AppDelegateBase::defaultApplicationFolder()
{
    const QString env = qEnvironmentVariable("POLLIX_HOME");
    if (!env.isEmpty())
        return env;
    return QDir::homePath() + QStringLiteral("/.local/share/Pollix/");
}

QStringList AppDelegateBase::savedFolders(const QString &applicationFolder)
{
    const QDir root(QDir::cleanPath(applicationFolder));
    QStringList out;
    for (const char *folder : {kData, kClasses, kQuiz, kCourseGrade})
        out << root.filePath(QLatin1String(folder));
    return out;
}

QString AppDelegateBase::getActModeByNo(int activityNo)
{
    switch (activityNo) {
    case 0: return QStringLiteral("1");
    case 1: return QStringLiteral("2");
    case 2: return QStringLiteral("3");
    case 3: return QStringLiteral("4");
    case 4: return QStringLiteral("5");
    case 5: return QStringLiteral("6");
    case 7: return QStringLiteral("15");
    case 8: return QStringLiteral("13");
    case 9: return QStringLiteral("20");
    case 10: return QStringLiteral("21");
    case 11: return QStringLiteral("22");
    default: return QStringLiteral("NULL");
    }
}

QString AppDelegateBase::getActNoByName(const QString &name)
{
    static const QList<std::pair<QString, QString>> table{
        {QStringLiteral("Normal Quiz"), QStringLiteral("1")},   {QStringLiteral("Paper Quiz"), QStringLiteral("2")},
        {QStringLiteral("HomeWork"), QStringLiteral("3")},      {QStringLiteral("Rush Quiz"), QStringLiteral("4")},
        {QStringLiteral("Elimination"), QStringLiteral("5")},   {QStringLiteral("Multiple Mode"), QStringLiteral("6")},
        {QStringLiteral("Vote"), QStringLiteral("15")},         {QStringLiteral("Attendance"), QStringLiteral("13")}};
    for (const auto &[key, code] : table)
        if (key == name)
            return code;
    return name;
}

QString AppDelegateBase::getQueTypeByNo(int questionType)
{
    switch (questionType) {
    case 0: return QStringLiteral("1");
    case 1: return QStringLiteral("2");
    case 2: return QStringLiteral("3");
    case 3: return QStringLiteral("4");
    case 5: return QStringLiteral("5");
    default: return QStringLiteral("NULL");
    }
}

QString AppDelegateBase::getMachineTypeByNo(int deviceType)
{
    if (deviceType >= 0 && deviceType <= 4)
        return QString::number(deviceType);
    return QStringLiteral("NULL");
}
