#include "OoxmlXml.h"

#include <cstring>
#include <sstream>

namespace OoxmlXml {

namespace {
const char *afterColon(const char *name)
{
    const char *colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

QByteArray prefixOf(const char *name)
{
    const char *colon = std::strrchr(name, ':');
    return colon ? QByteArray(name, int(colon - name)) : QByteArray();
}
} // namespace

QString localName(const pugi::xml_node &node)
{
    return QString::fromUtf8(afterColon(node.name()));
}

QString localName(const pugi::xml_attribute &attribute)
{
    return QString::fromUtf8(afterColon(attribute.name()));
}

bool is(const pugi::xml_node &node, const char *local)
{
    return node.type() == pugi::node_element && std::strcmp(afterColon(node.name()), local) == 0;
}

pugi::xml_node child(const pugi::xml_node &node, const char *local)
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (is(c, local))
            return c;
    return pugi::xml_node();
}

pugi::xml_node descendant(const pugi::xml_node &node, const char *local)
{
    return node.find_node([local](const pugi::xml_node &n) { return is(n, local); });
}

pugi::xml_attribute relationshipAttribute(const pugi::xml_node &node, const char *local)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(afterColon(a.name()), local) != 0 || prefixOf(a.name()).isEmpty())
            continue;
        // The prefix must be bound to the relationships namespace (transitional or strict).
        const QByteArray xmlns = "xmlns:" + prefixOf(a.name());
        for (pugi::xml_node n = node; n; n = n.parent()) {
            const pugi::xml_attribute decl = n.attribute(xmlns.constData());
            if (decl)
                return std::strstr(decl.value(), "relationships") ? a : pugi::xml_attribute();
        }
        return a;
    }
    return pugi::xml_attribute();
}

bool parse(pugi::xml_document &doc, const QByteArray &bytes)
{
    return doc.load_buffer(bytes.constData(), size_t(bytes.size()), pugi::parse_default | pugi::parse_declaration)
               .status == pugi::status_ok;
}

void startDocument(pugi::xml_document &doc)
{
    doc.reset();
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    decl.append_attribute("standalone") = "yes";
}

QByteArray serialize(const pugi::xml_document &doc)
{
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return QByteArray::fromStdString(out.str());
}

QByteArray prefixFor(pugi::xml_node node, const char *namespaceUri, const char *fallbackPrefix)
{
    for (pugi::xml_node n = node; n; n = n.parent()) {
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
            if (std::strcmp(a.value(), namespaceUri) != 0)
                continue;
            if (std::strcmp(a.name(), "xmlns") == 0)
                return QByteArray();
            if (std::strncmp(a.name(), "xmlns:", 6) == 0)
                return QByteArray(a.name() + 6) + ':';
        }
    }
    pugi::xml_node root;
    for (pugi::xml_node c = node.root().first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) {
            root = c;
            break;
        }
    const QByteArray decl = QByteArray("xmlns:") + fallbackPrefix;
    if (!root.attribute(decl.constData()))
        root.append_attribute(decl.constData()) = namespaceUri;
    return QByteArray(fallbackPrefix) + ':';
}

pugi::xml_node appendLike(pugi::xml_node parent, const pugi::xml_node &reference, const char *local)
{
    QByteArray prefix = prefixOf(reference.name());
    if (!prefix.isEmpty())
        prefix += ':';
    return parent.append_child((prefix + local).constData());
}

pugi::xml_node appendIn(pugi::xml_node parent, const char *namespaceUri, const char *fallbackPrefix, const char *local)
{
    return parent.append_child((prefixFor(parent, namespaceUri, fallbackPrefix) + local).constData());
}

} // namespace OoxmlXml
