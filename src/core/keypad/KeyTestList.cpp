#include "KeyTestList.h"

KeyTestList::KeyTestList(int deviceType) : m_deviceType(deviceType)
{
    if (!isRegistration())
        m_keyValues = QStringList(kKeypadIds, QString());
}

int KeyTestList::pageCount() const
{
    return entryCount() <= 0 ? 1 : (entryCount() - 1) / kIdsPerPage + 1;
}

int KeyTestList::idAt(int page, int table, int row)
{
    return kIdsPerPage * (page - 1) + kRowsPerTable * (table - 1) + row + 1;
}

int KeyTestList::pageOfId(int id)
{
    return id <= 0 ? 1 : (id - 1) / kIdsPerPage + 1;
}

QString KeyTestList::entryText(int id) const
{
    return id >= 1 && id <= entryCount() ? m_keyValues.at(id - 1) : QString();
}

bool KeyTestList::setEntry(int id, const QString &text)
{
    if (id < 1 || id > entryCount())
        return false;
    m_keyValues[id - 1] = text;
    return true;
}

void KeyTestList::clearEntries()
{
    for (QString &v : m_keyValues)
        v.clear();
}

int KeyTestList::registerName(const QString &name)
{
    const int at = int(m_keyValues.indexOf(name));
    if (at >= 0)
        return at + 1;
    if (entryCount() >= kMaxRegistrations)
        return -1;
    m_keyValues.append(name);
    return entryCount();
}

void KeyTestList::reset()
{
    if (isRegistration())
        m_keyValues.clear();
    else
        clearEntries();
}

QString KeyTestList::keyText(uint8_t key)
{
    if (key == 'G')
        return QStringLiteral("Rush Quiz");
    return QString(QChar(key));
}

QString KeyTestList::teacherKeyName(uint8_t code)
{
    static const char *const names[] = {"Previous", "OK", "Run", "Result", "Report", "Start", "Stop", "Next", "F1", "F2"};
    if (code < 0x80 || code > 0x89)
        return QString();
    return QString::fromLatin1(names[code - 0x80]);
}
