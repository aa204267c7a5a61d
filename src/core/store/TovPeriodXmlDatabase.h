#pragma once

#include "GradebookXmlStore.h"
#include "PeriodEntity.h"

#include <QList>
#include <QString>

#include <optional>

template <typename T> class Singleton;

// The grading periods, kept in "Periods.xml" ("Periods" / "Period" with "Name", "PeriodFrom",
// "PeriodTo", in the order they were added). A load lists them by name (character-code order)
// numbered from 1; a period added later gets the next number and stands last until the next
// load. Numbers are not stored: callers keep one only until the next load.
class TovPeriodXmlDatabase : public GradebookXmlStore
{
public:
    // The store's file in the data folder and its root element.
    static constexpr char kFileName[] = "Periods.xml";
    static constexpr char kRootName[] = "Periods";

    static TovPeriodXmlDatabase *sharedUI();

    const QList<PeriodEntity> &periodList() const { return m_periods.list; }
    int maxNo() const { return m_periods.maxNo; }

    // Reads the file again; a file that cannot be read or created leaves the list as it was.
    // Whether the list changed (other periods, or other numbers).
    bool loadPeriods();
    std::optional<PeriodEntity> periodByNo(int no) const;
    // The first period whose title equals title, ignoring case.
    std::optional<PeriodEntity> periodByTitle(const QString &title) const;

    // Appends the period to the file and the list; the number given (also put into period), or
    // -1 when the file could not be written (nothing changes then).
    int addWithData(PeriodEntity &period, QString *errorText = nullptr);
    // Gives period number data.no() data's title and days, in the file and the list. False when
    // there is no such period or the file could not be written (nothing changes then).
    bool updateWithData(const PeriodEntity &data, QString *errorText = nullptr);
    bool deleteWithNo(int no, QString *errorText = nullptr);
    bool deleteWithData(const PeriodEntity *period, QString *errorText = nullptr);

private:
    friend class Singleton<TovPeriodXmlDatabase>;
    TovPeriodXmlDatabase();

    RecordSet<PeriodEntity> m_periods;
};
