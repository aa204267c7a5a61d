#pragma once

#include "core/keypad/DeviceController.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "platform/NotificationCenter.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"

#include <QComboBox>
#include <QObject>
#include <QStringList>

// Every roster notification posted while it lives, as "name index".
struct HeardNotifications
{
    QStringList notes;
    QObject owner;
    HeardNotifications()
    {
        for (const char *name : {"ClassChanged", "NewClassAdded", "SubjectChanged", "TeacherChanged"})
            NotificationCenter::defaultCenter()->addObserver(&owner, QLatin1String(name), [this](const Notification &n) {
                notes << QStringLiteral("%1 %2").arg(n.name).arg(n.userInfo.value("index").toInt());
            });
    }
};

// The roster windows on a fresh data folder, a receiver model chosen, alerts answered.
class RosterWindowTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        useDeviceType(1);
        classes = TovClassXmlDatabase::sharedClassUI();
        roster = TovStudentRoster::sharedUI();
    }
    static void useDeviceType(int type) { DeviceController::ShareDeviceController()->setCurDeviceType(type); }

    static StudentEntity student(const QString &id, const QString &first = QStringLiteral("F"), int device = 1,
                                 int group = 1)
    {
        StudentEntity s;
        s.setId(id);
        s.setFirstName(first);
        s.setLastName(QStringLiteral("L"));
        s.setDeviceNo(device);
        s.setGroupNo(group);
        s.setGender(1);
        s.setBirthday(QDateTime(QDate(2001, 5, 4), QTime(0, 0)));
        return s;
    }
    // n students "<prefix>1".. with keypads 1..n.
    static QList<StudentEntity> students(const QString &prefix, int n, int group = 1)
    {
        QList<StudentEntity> out;
        for (int i = 1; i <= n; ++i)
            out << student(prefix + QString::number(i), QStringLiteral("N%1").arg(i), i, group);
        return out;
    }
    QStringList idsInClass(int no) const
    {
        QStringList out;
        for (const StudentEntity &s : classes->getStudentListByClassNo(no))
            out << s.id();
        return out;
    }
    QStringList idsInRoster() const
    {
        QStringList out;
        for (const StudentEntity &s : roster->getAllStudents().value_or(QList<StudentEntity>()))
            out << s.id();
        return out;
    }
    static void choose(QComboBox *combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    TovClassXmlDatabase *classes = nullptr;
    TovStudentRoster *roster = nullptr;
    DialogAnswers answers;
};
