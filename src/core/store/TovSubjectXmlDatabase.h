#pragma once

#include "GlobalFunctions.h"
#include "SubjectEntity.h"

#include <QList>
#include <QString>

#include <optional>

template <typename T> class Singleton;

// The subjects of the school, kept in Subjects.xml in the data folder. Subjects are numbered
// 1..n in file order at load; an added one gets the next number; a delete leaves a gap until the
// next load. Number 0 stands for all subjects.
class TovSubjectXmlDatabase
{
public:
    // The store's file in the data folder and its root element.
    static constexpr char kFileName[] = "Subjects.xml";
    static constexpr char kRootName[] = "Subjects";

    static TovSubjectXmlDatabase *sharedSubjectUI();

    // Reads the file again (creating an empty one when it is missing); an unreadable file
    // leaves the list as it was.
    void loadSubjects();
    // Writes the empty document (root "Subjects").
    static bool createXmlFileAtPath(const QString &path);

    const QList<SubjectEntity> &subjectList() const { return m_subjectList; }
    int subjectCount() const { return int(m_subjectList.size()); }
    QString subjectXmlFilePath() const { return m_subjectXmlFilePath; }
    int maxNo() const { return m_maxNo; }

    // 0 gives "All"; an unknown number "".
    QString nameBySubjectNo(int no) const;
    // Exact comparison; -1 when none.
    int subjectNoByName(const QString &name) const;
    std::optional<SubjectEntity> subjectByNo(int no) const;
    // Ignores letter case (callers ask it before adding).
    bool existSubjectWithName(const QString &name) const;

    // Each write below gives the reason of its failure in *errorText.
    // Appends the subject to the file; on success the record gets its number and joins the list.
    bool addSubjectWithData(SubjectEntity &subject, QString *errorText = nullptr);
    // Renames subject no to data's name. False when the file does not hold the subject (the list
    // entry is renamed all the same), holds it otherwise than the store read it (another program
    // changed it: its version stays, and so does the list) or could not be written (nothing
    // changes).
    bool updateSubjectWithNo(int no, const SubjectEntity &data, QString *errorText = nullptr);
    // Removes subject no. False when the file does not hold it (the list entry goes all the same)
    // or the file could not be written (nothing changes).
    bool deleteSubjectWithNo(int no, QString *errorText = nullptr);

private:
    friend class Singleton<TovSubjectXmlDatabase>;
    TovSubjectXmlDatabase();

    qsizetype indexOfNo(int no) const;
    // asRead: only while the element is still as the store read or wrote it.
    GlobalFunctions::FileEdit editSubjectElement(qsizetype index, const std::function<void(pugi::xml_node)> &edit,
                                                 QString *errorText, bool asRead);
    // Which of the subjects whose name equals this entry's (ignoring case) it is, from 0.
    int rankAmongEqualNames(qsizetype index) const;

    QList<SubjectEntity> m_subjectList;
    // Each listed subject's element as the store last read or wrote it (GlobalFunctions::changedSinceRead).
    QList<QByteArray> m_asRead;
    QString m_subjectXmlFilePath;
    int m_maxNo = 1;
};
