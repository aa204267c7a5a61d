#include "platform/ArchivedColor.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"

#include <gtest/gtest.h>

#include <plist/plist.h>

#include <cstdlib>

namespace {

// A small graph node: a name, a number, an optional link (which may point back), a list of
// children and a few values of every kind.
class Node : public KeyedArchiveObject
{
public:
    QString name;
    qint64 number = 0;
    const Node *link = nullptr;               // written
    std::weak_ptr<Node> readLink;             // read
    QList<std::shared_ptr<Node>> children;
    QList<QColor> colours;                    // written as value objects

    QStringList archiveClassNames() const override { return {"Node", "NSObject"}; }
    void encodeWithCoder(KeyedArchiver &coder) const override
    {
        coder.encodeString(name);
        coder.encodeInt(number);
        coder.encodeObject(link);
        coder.encodeObjectArray(KeyedArchiver::objects(children));
        QList<const KeyedArchiveObject *> refs;
        std::vector<ArchivedColor> values;
        values.reserve(size_t(colours.size()));
        for (const QColor &c : colours)
            values.emplace_back(c);
        for (const auto &v : values)
            refs.append(&v);
        coder.encodeValueObjectArray("colours", refs);
    }
    void initWithCoder(KeyedUnarchiver &coder) override
    {
        name = coder.decodeString();
        number = coder.decodeInt();
        readLink = coder.decodeObjectOfClass<Node>();
        children = coder.decodeArrayOfClass<Node>();
        for (const auto &c : coder.decodeArrayOfClass<ArchivedColor>("colours"))
            colours.append(c->color());
    }
};

KeyedUnarchiver::ClassTable table()
{
    return {{"Node", [] { return std::make_shared<Node>(); }},
            {"NSColor", [] { return std::make_shared<ArchivedColor>(); }}};
}

std::shared_ptr<Node> read(const QByteArray &bytes, QString *why = nullptr)
{
    KeyedUnarchiver coder(table());
    auto root = std::dynamic_pointer_cast<Node>(coder.unarchive(bytes));
    if (why)
        *why = coder.errorString();
    return coder.failed() ? nullptr : root;
}

// Re-encodes an archive after changing it with edit (on the parsed property list).
QByteArray edited(const QByteArray &bytes, const std::function<void(plist_t archive, plist_t objects)> &edit)
{
    plist_t archive = nullptr;
    plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &archive);
    edit(archive, plist_dict_get_item(archive, "$objects"));
    char *out = nullptr;
    uint32_t len = 0;
    plist_to_bin(archive, &out, &len);
    QByteArray result(out, int(len));
    free(out);
    plist_free(archive);
    return result;
}

} // namespace

TEST(KeyedArchive, SharedObjectsAndCyclesKeepTheirIdentity)
{
    Node root, child, grandchild;
    root.name = "root";
    root.number = -3000000000LL;
    child.name = "child";
    grandchild.name = QString(); // nil
    grandchild.number = 7;
    child.children = {std::shared_ptr<Node>(&grandchild, [](Node *) {})};
    root.children = {std::shared_ptr<Node>(&child, [](Node *) {}), std::shared_ptr<Node>(&child, [](Node *) {})};
    root.link = &root;         // a cycle through the root
    grandchild.link = &child;  // a cycle back up
    root.colours = {QColor(1, 2, 3, 4), QColor(250, 0, 0)};

    const QByteArray bytes = KeyedArchiver::archivedData(root);
    auto back = read(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, "root");
    EXPECT_EQ(back->number, -3000000000LL);
    EXPECT_EQ(back->readLink.lock(), back);
    ASSERT_EQ(back->children.size(), 2);
    EXPECT_EQ(back->children[0], back->children[1]) << "one object written once, read once";
    const auto &g = back->children[0]->children.at(0);
    EXPECT_TRUE(g->name.isNull());
    EXPECT_EQ(g->readLink.lock(), back->children[0]);
    EXPECT_EQ(back->colours, QList<QColor>({QColor(1, 2, 3, 4), QColor(250, 0, 0)}))
        << "value objects made at the same address stay distinct";
    back->readLink.reset();
}

TEST(KeyedArchive, MalformedArchivesFailCleanly)
{
    Node root;
    root.name = "n";
    const QByteArray good = KeyedArchiver::archivedData(root);
    ASSERT_TRUE(read(good));

    QString why;
    // A reference past the end of $objects.
    EXPECT_FALSE(read(edited(good, [](plist_t, plist_t objects) {
        plist_t dict = plist_array_get_item(objects, plist_array_get_size(objects) - 1);
        for (uint32_t i = 1; i < plist_array_get_size(objects); ++i)
            if (PLIST_IS_DICT(plist_array_get_item(objects, i)) && plist_dict_get_item(plist_array_get_item(objects, i), "$0"))
                dict = plist_array_get_item(objects, i);
        plist_dict_set_item(dict, "$0", plist_new_uid(9999));
    }), &why));
    EXPECT_EQ(why, "reference out of range");
    // A number where a string belongs.
    EXPECT_FALSE(read(edited(good, [](plist_t, plist_t objects) {
        for (uint32_t i = 1; i < plist_array_get_size(objects); ++i)
            if (PLIST_IS_STRING(plist_array_get_item(objects, i)) && plist_string_val_compare(plist_array_get_item(objects, i), "n") == 0)
                plist_array_set_item(objects, plist_new_uint(5), i);
    }), &why));
    EXPECT_EQ(why, "a string was expected");
    // Another archiver, a missing $null, an unknown class.
    EXPECT_FALSE(read(edited(good, [](plist_t archive, plist_t) {
        plist_dict_set_item(archive, "$archiver", plist_new_string("Other"));
    })));
    EXPECT_FALSE(read(edited(good, [](plist_t, plist_t objects) { plist_array_set_item(objects, plist_new_string("x"), 0); })));
    KeyedUnarchiver strict(KeyedUnarchiver::ClassTable{});
    EXPECT_FALSE(strict.unarchive(good));
    EXPECT_TRUE(strict.errorString().startsWith("unknown class"));
}

TEST(KeyedArchive, DeepChainsAreRefusedWithoutExhaustingTheStack)
{
    std::vector<Node> chain(2000);
    for (size_t i = 0; i + 1 < chain.size(); ++i)
        chain[i].children = {std::shared_ptr<Node>(&chain[i + 1], [](Node *) {})};
    QString why;
    EXPECT_FALSE(read(KeyedArchiver::archivedData(chain[0]), &why));
    EXPECT_EQ(why, "objects nested too deeply");
    std::vector<Node> shortChain(100);
    for (size_t i = 0; i + 1 < shortChain.size(); ++i)
        shortChain[i].children = {std::shared_ptr<Node>(&shortChain[i + 1], [](Node *) {})};
    EXPECT_TRUE(read(KeyedArchiver::archivedData(shortChain[0])));
}

// A binary property list of `levels` arrays, each holding the next (the last one empty), laid
// out by hand: objects, then the offset table, then the trailer.
QByteArray nestedArrays(quint32 levels)
{
    QByteArray out("bplist00");
    QList<quint32> offsets;
    auto be32 = [&out](quint32 v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(char((v >> shift) & 0xff));
    };
    for (quint32 i = 0; i < levels; ++i) {
        offsets.append(quint32(out.size()));
        if (i + 1 < levels) {
            out.append(char(0xA1));
            be32(i + 1);
        } else {
            out.append(char(0xA0));
        }
    }
    const quint32 table = quint32(out.size());
    for (quint32 o : offsets)
        be32(o);
    out.append(QByteArray(6, '\0'));
    out.append(char(4)).append(char(4));
    for (quint64 v : {quint64(levels), quint64(0), quint64(table)}) {
        be32(quint32(v >> 32));
        be32(quint32(v));
    }
    return out;
}

TEST(KeyedArchive, DeeplyNestedPropertyListsAreRefusedBeforeParsing)
{
    // The property-list parser recurses once per level: this many levels overflow its stack.
    QString why;
    EXPECT_FALSE(read(nestedArrays(300000), &why));
    EXPECT_EQ(why, "damaged property list");
    // A few levels are well-formed, merely no keyed archive.
    EXPECT_FALSE(read(nestedArrays(5), &why));
    EXPECT_EQ(why, "no archive dictionary");
}

TEST(KeyedArchive, RectanglesAsText)
{
    QRectF r;
    EXPECT_EQ(KeyedArchiver::stringFromRect(QRectF(1.5, -2, 300, 0)), "{{1.5, -2}, {300, 0}}");
    ASSERT_TRUE(KeyedUnarchiver::rectFromString("{{1.5, -2}, {300, 0}}", &r));
    EXPECT_EQ(r, QRectF(1.5, -2, 300, 0));
    ASSERT_TRUE(KeyedUnarchiver::rectFromString("{{0,0},{1e3,2}}", &r));
    EXPECT_EQ(r.width(), 1000);
    for (const char *bad : {"", "{{1, 2}, {3}}", "{{a, 2}, {3, 4}}", "{{1, 2}, {3, 4}} ", "{{1e999, 0}, {1, 1}}"})
        EXPECT_FALSE(KeyedUnarchiver::rectFromString(bad, &r)) << bad;
}
