#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

// pugixml does not know namespaces: Office XML is matched by local names, and new elements take
// the prefix that the document already uses for their namespace.
namespace OoxmlXml {

inline constexpr const char *kPresentationNs = "http://schemas.openxmlformats.org/presentationml/2006/main";
inline constexpr const char *kDrawingNs = "http://schemas.openxmlformats.org/drawingml/2006/main";
inline constexpr const char *kRelationshipsNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QString localName(const pugi::xml_node &node);
QString localName(const pugi::xml_attribute &attribute);
bool is(const pugi::xml_node &node, const char *local);
// The first child (or descendant) element with that local name.
pugi::xml_node child(const pugi::xml_node &node, const char *local);
pugi::xml_node descendant(const pugi::xml_node &node, const char *local);
// The attribute in the relationships namespace with that local name ("r:id", "r:embed").
pugi::xml_attribute relationshipAttribute(const pugi::xml_node &node, const char *local);

bool parse(pugi::xml_document &doc, const QByteArray &bytes);
// An empty document with the declaration Office writes (version 1.0, UTF-8, standalone).
void startDocument(pugi::xml_document &doc);
QByteArray serialize(const pugi::xml_document &doc);

// "a:" (or "" for the default namespace) for the namespace URI as declared on the node or its
// ancestors; declares it on the document element under fallbackPrefix when nobody does.
QByteArray prefixFor(pugi::xml_node node, const char *namespaceUri, const char *fallbackPrefix);
// A new element in the namespace of a reference element (same prefix).
pugi::xml_node appendLike(pugi::xml_node parent, const pugi::xml_node &reference, const char *local);
pugi::xml_node appendIn(pugi::xml_node parent, const char *namespaceUri, const char *fallbackPrefix, const char *local);

} // namespace OoxmlXml
