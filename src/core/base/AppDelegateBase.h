#pragma once

#include <QString>
#include <QStringList>

// What every room asks of the running program without reaching the application delegate, which
// sits above them all and owns the receiver: the application folder and its data folders, the
// receiver model in use and the codes stored in session files. Orvenda_AppDelegate derives from
// it and is the one instance registered; rooms below it ask here.
class AppDelegateBase
{
public:
    virtual ~AppDelegateBase();

    // Null until launching has finished (Orvenda_AppDelegate::setAppDelegate is called then).
    static AppDelegateBase *getAppDelegate();
    static QString defaultApplicationFolder();
    // The folders below applicationFolder that the teacher's work is saved in: the data folder,
    // then its classes', sessions' and course grades' folders (as the delegate's paths, without a
    // trailing "/").
    static QStringList savedFolders(const QString &applicationFolder);

    QString strStandardFilePath() const { return m_strStandardFilePath; }
    void setStrStandardFilePath(const QString &v) { m_strStandardFilePath = v; }
    QString strClassXmlDataFilePath() const { return m_strClassXmlDataFilePath; }
    void setStrClassXmlDataFilePath(const QString &v) { m_strClassXmlDataFilePath = v; }
    QString strDataFilePath() const { return m_strDataFilePath; }
    void setStrDataFilePath(const QString &v) { m_strDataFilePath = v; }
    QString strQuizXmlDataFilePath() const { return m_strQuizXmlDataFilePath; }
    void setStrQuizXmlDataFilePath(const QString &v) { m_strQuizXmlDataFilePath = v; }
    QString strCourseGradeFilePath() const { return m_strCourseGradeFilePath; }
    void setStrCourseGradeFilePath(const QString &v) { m_strCourseGradeFilePath = v; }
    QString strPollixFilePath() const { return m_strPollixFilePath; }
    void setStrPollixFilePath(const QString &v) { m_strPollixFilePath = v; }

    // The model of the current receiver; -1 without one.
    virtual int currentDeviceType() const = 0;

    static QString getActModeByNo(int activityNo);
    static QString getActNoByName(const QString &name);
    static QString getQueTypeByNo(int questionType);
    static QString getMachineTypeByNo(int deviceType);

protected:
    // rootFolder: the application folder; empty means $POLLIX_HOME, else ~/.local/share/Pollix/.
    explicit AppDelegateBase(const QString &rootFolder);
    static void registerAppDelegate(AppDelegateBase *delegate);

private:
    QString m_strStandardFilePath;
    QString m_strClassXmlDataFilePath;
    QString m_strDataFilePath;
    QString m_strQuizXmlDataFilePath;
    QString m_strCourseGradeFilePath;
    QString m_strPollixFilePath;
};
