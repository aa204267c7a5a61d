#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// What the key test shows, by keypad id: the last key each keypad sent (Envel, Arvel, Brevel; ids
// 1 to 400), or the names Corvel and Dravel keypads registered with (registration number 1 up).
// A page shows 100 entries in four tables of 25 rows. Ids come from keypads and are untrusted:
// an id outside the list is refused, never written.
class KeyTestList
{
public:
    static constexpr int kIdsPerPage = 100;
    static constexpr int kTables = 4;
    static constexpr int kRowsPerTable = 25;
    static constexpr int kKeypadIds = 400;
    static constexpr int kMaxRegistrations = 0xFFFF; // numbers travel as 16 bits

    explicit KeyTestList(int deviceType);

    int deviceType() const { return m_deviceType; }
    // Corvel and Dravel keypads register by name instead of showing keys by id.
    bool isRegistration() const { return m_deviceType == 2 || m_deviceType == 3; }

    const QStringList &keyValues() const { return m_keyValues; }
    int entryCount() const { return int(m_keyValues.size()); }
    int pageCount() const;
    // The id shown on page p (from 1), table t (1 to 4), row r (0 to 24).
    static int idAt(int page, int table, int row);
    static int pageOfId(int id);
    // "" beyond the list.
    QString entryText(int id) const;
    // False (and nothing changes) for an id outside 1 to entryCount().
    bool setEntry(int id, const QString &text);
    void clearEntries();

    // The registration number of a name: its position + 1; a new name is appended (-1 once the
    // numbers are used up).
    int registerName(const QString &name);
    // Keys cleared (ids stay), or the registration list emptied.
    void reset();

    // Small family: what a student key shows ("Rush Quiz" for G), and a teacher key's name.
    static QString keyText(uint8_t key);
    static QString teacherKeyName(uint8_t code);

private:
    int m_deviceType;
    QStringList m_keyValues;
};
