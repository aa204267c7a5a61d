#include "TovPeriodXmlDatabase.h"

#include "platform/Singleton.h"

using GF = GlobalFunctions;

namespace {
void writeFields(pugi::xml_node element, const PeriodEntity &p)
{
    GF::setValue(p.title(), QStringLiteral("Name"), element);
    GF::setValue(p.dateFrom(), QStringLiteral("PeriodFrom"), element);
    GF::setValue(p.dateTo(), QStringLiteral("PeriodTo"), element);
}
} // namespace

TovPeriodXmlDatabase *TovPeriodXmlDatabase::sharedUI()
{
    return Singleton<TovPeriodXmlDatabase>::instance();
}

TovPeriodXmlDatabase::TovPeriodXmlDatabase()
    : GradebookXmlStore(QString::fromLatin1(kFileName), kRootName),
      m_periods{nullptr, "Period", "Name", [](const PeriodEntity &p) { return p.title(); },
                QStringLiteral("no such grading period")}
{
    loadPeriods();
}

bool TovPeriodXmlDatabase::loadPeriods()
{
    pugi::xml_document doc;
    if (!readDocument(doc))
        return false;
    QList<PeriodEntity> loaded;
    for (pugi::xml_node n : elementsOf(m_periods, doc.document_element())) {
        PeriodEntity p;
        p.setTitle(GF::getValueByTagName(QStringLiteral("Name"), n));
        p.setDateFrom(GF::getValueByTagName(QStringLiteral("PeriodFrom"), n));
        p.setDateTo(GF::getValueByTagName(QStringLiteral("PeriodTo"), n));
        loaded << p;
    }
    const bool changed = setLoaded(
        m_periods, loaded, [](const PeriodEntity &a, const PeriodEntity &b) { return a.title() < b.title(); },
        doc.document_element());
    if (!loaded.isEmpty())
        m_periods.maxNo = int(loaded.size()) + 1;
    return changed;
}

std::optional<PeriodEntity> TovPeriodXmlDatabase::periodByNo(int no) const
{
    const qsizetype i = m_periods.indexOfNo(no);
    if (i < 0)
        return std::nullopt;
    return m_periods.list.at(i);
}

std::optional<PeriodEntity> TovPeriodXmlDatabase::periodByTitle(const QString &title) const
{
    for (const PeriodEntity &p : m_periods.list)
        if (p.title().compare(title, Qt::CaseInsensitive) == 0)
            return p;
    return std::nullopt;
}

int TovPeriodXmlDatabase::addWithData(PeriodEntity &period, QString *errorText)
{
    return addRecord(m_periods, period, [&](pugi::xml_node element) { writeFields(element, period); }, errorText);
}

bool TovPeriodXmlDatabase::updateWithData(const PeriodEntity &data, QString *errorText)
{
    const qsizetype i = editRecord(
        m_periods, data.no(),
        [&](pugi::xml_node element, QString *) {
            writeFields(element, data);
            return true;
        },
        errorText);
    if (i < 0)
        return false;
    m_periods.list[i] = data;
    return true;
}

bool TovPeriodXmlDatabase::deleteWithNo(int no, QString *errorText)
{
    return deleteRecord(m_periods, no, errorText);
}

bool TovPeriodXmlDatabase::deleteWithData(const PeriodEntity *period, QString *errorText)
{
    if (!period)
        return GF::failWith(errorText, QStringLiteral("no grading period"));
    return deleteWithNo(period->no(), errorText);
}
