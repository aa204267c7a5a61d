#include "GradebookXmlStore.h"

#include "platform/FileVersions.h"
#include "platform/Log.h"

using GF = GlobalFunctions;

GradebookXmlStore::GradebookXmlStore(const QString &fileName, const char *rootName)
    : m_filePath(GF::pathInDataFolder(fileName)), m_rootName(rootName)
{
}

void GradebookXmlStore::fillEmptyRoot(pugi::xml_node) const {}

bool GradebookXmlStore::createXmlFileAtPath(const QString &path, QString *errorText) const
{
    pugi::xml_document doc;
    fillEmptyRoot(GF::createRoot(doc, m_rootName, false));
    return GF::saveXmlDocument(path, doc, errorText);
}

bool GradebookXmlStore::readDocument(pugi::xml_document &doc, QString *errorText) const
{
    QString why;
    bool ok = false;
    if (m_filePath.isEmpty())
        why = QStringLiteral("no data folder");
    else if (GF::fileExistsAtPath(m_filePath) || createXmlFileAtPath(m_filePath, &why))
        ok = GF::loadXmlFile(m_filePath, doc, &why);
    if (ok)
        return true;
    PollixLog(QStringLiteral("Failed to load Xml file because of %1").arg(why));
    return GF::failWith(errorText, why);
}

bool GradebookXmlStore::changeFile(const std::function<bool(pugi::xml_node, QString *)> &edit, QString *errorText)
{
    pugi::xml_document doc;
    if (!readDocument(doc, errorText))
        return false;
    QString why;
    if (!edit(doc.document_element(), &why))
        return GF::failWith(errorText, why);
    return GF::saveXmlDocument(m_filePath, doc, errorText);
}

int GradebookXmlStore::positionOf(pugi::xml_node element)
{
    int pos = 0;
    for (pugi::xml_node n = element.previous_sibling(element.name()); n; n = n.previous_sibling(element.name()))
        ++pos;
    return pos;
}

pugi::xml_node GradebookXmlStore::containerOf(pugi::xml_node root, const char *container)
{
    return container ? root.child(container) : root;
}

pugi::xml_node GradebookXmlStore::existingContainer(pugi::xml_node root, const char *container, QString *why)
{
    const pugi::xml_node parent = containerOf(root, container);
    if (!parent) {
        *why = QStringLiteral("<%1>/<%2> not found.").arg(GF::fromUtf8(root.name()), QLatin1String(container));
        PollixLog(*why);
    }
    return parent;
}

QString GradebookXmlStore::changedText() const
{
    return FileVersions::changedText(m_filePath);
}
