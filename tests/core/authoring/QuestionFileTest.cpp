#include "core/authoring/ExamPaperInfo.h"

#include "platform/AtomicFile.h"
#include "platform/KeyedArchiver.h"
#include "support/PollixTest.h"

#include <QPainterPath>
#include <QRandomGenerator>

#include <plist/plist.h>

#include <cstdlib>

namespace {

// Builds a keyed archive by hand with libplist, in the order the file format lays values out,
// so that reading is checked against the format rather than against our own writer.
class HandArchive
{
public:
    HandArchive()
    {
        m_objects = plist_new_array();
        plist_array_append_item(m_objects, plist_new_string("$null"));
    }
    ~HandArchive() { plist_free(m_objects); }

    uint64_t add(plist_t node)
    {
        plist_array_append_item(m_objects, node);
        return plist_array_get_size(m_objects) - 1;
    }
    uint64_t cls(const QStringList &chain)
    {
        plist_t d = plist_new_dict();
        plist_dict_set_item(d, "$classname", plist_new_string(chain[0].toUtf8().constData()));
        plist_t a = plist_new_array();
        for (const QString &c : chain)
            plist_array_append_item(a, plist_new_string(c.toUtf8().constData()));
        plist_dict_set_item(d, "$classes", a);
        return add(d);
    }
    uint64_t str(const char *s) { return add(plist_new_string(s)); }
    uint64_t num(int64_t v) { return add(plist_new_uint(uint64_t(v))); }
    // An object dictionary whose values are filled later (so that cycles can point at it).
    plist_t object(uint64_t classUid, uint64_t *uid)
    {
        plist_t d = plist_new_dict();
        plist_dict_set_item(d, "$class", plist_new_uid(classUid));
        *uid = add(d);
        return d;
    }
    uint64_t array(const QList<uint64_t> &items)
    {
        if (!m_arrayClass)
            m_arrayClass = cls({"NSArray", "NSObject"});
        uint64_t id = 0;
        plist_t d = object(m_arrayClass, &id);
        plist_t a = plist_new_array();
        for (uint64_t i : items)
            plist_array_append_item(a, plist_new_uid(i));
        plist_dict_set_item(d, "NS.objects", a);
        return id;
    }
    static void ref(plist_t dict, const char *key, uint64_t uid) { plist_dict_set_item(dict, key, plist_new_uid(uid)); }
    static void rect(plist_t dict, const char *key, const char *text) { plist_dict_set_item(dict, key, plist_new_string(text)); }

    QByteArray bytes(uint64_t root, const char *archiver = "NSKeyedArchiver")
    {
        plist_t top = plist_new_dict();
        plist_dict_set_item(top, "root", plist_new_uid(root));
        plist_t archive = plist_new_dict();
        plist_dict_set_item(archive, "$version", plist_new_uint(100000));
        plist_dict_set_item(archive, "$archiver", plist_new_string(archiver));
        plist_dict_set_item(archive, "$top", top);
        plist_dict_set_item(archive, "$objects", plist_copy(m_objects));
        char *out = nullptr;
        uint32_t len = 0;
        plist_to_bin(archive, &out, &len);
        QByteArray result(out, int(len));
        free(out);
        plist_free(archive);
        return result;
    }

    plist_t m_objects;
    uint64_t m_arrayClass = 0;
};

void viewPart(plist_t d, const char *frame, uint64_t subviews, uint64_t superview)
{
    HandArchive::rect(d, "PXFrame", frame);
    HandArchive::rect(d, "PXBounds", frame);
    HandArchive::ref(d, "PXHidden", 0); // replaced below by the caller when needed
    plist_dict_remove_item(d, "PXHidden");
    HandArchive::ref(d, "PXSubviews", subviews);
    HandArchive::ref(d, "PXSuperview", superview);
}

// One set "Fractions", ID 42, one true-or-false page whose question box says "2/4 = 1/2?", with
// the box's text view pointing back at the box and the box back at the page (cycles).
QByteArray handMadeSet(const char *symbol = "Pollix", bool cycleIntoItself = false)
{
    HandArchive a;
    const uint64_t rootClass = a.cls({"ExamPaperInfo", "NSObject"});
    uint64_t rootUid = 0, pageUid = 0, boxUid = 0, fieldUid = 0;
    plist_t root = a.object(rootClass, &rootUid);
    plist_t page = a.object(a.cls({"QuestionSetView", "NSView", "NSResponder", "NSObject"}), &pageUid);
    plist_t box = a.object(a.cls({"MyTextView", "NSView", "NSResponder", "NSObject"}), &boxUid);
    plist_t field = a.object(a.cls({"BaseTextView", "NSTextView", "NSText", "NSView", "NSResponder", "NSObject"}), &fieldUid);
    const uint64_t zero = a.num(0), one = a.num(1);

    HandArchive::ref(root, "PXFormatVersion", one);
    HandArchive::ref(root, "$0", a.str(symbol));
    HandArchive::ref(root, "$1", a.num(42));
    HandArchive::ref(root, "$2", a.str("Fractions"));
    HandArchive::ref(root, "$3", a.array({pageUid}));
    HandArchive::ref(root, "$4", a.str("week 3"));

    viewPart(page, "{{0, 0}, {798, 598}}", a.array({boxUid}), cycleIntoItself ? pageUid : 0);
    HandArchive::ref(page, "PXHidden", zero);
    HandArchive::ref(page, "$0", a.array({boxUid}));
    HandArchive::rect(page, "$1", "{{0, 0}, {0, 0}}");
    HandArchive::ref(page, "$2", a.array({}));
    HandArchive::ref(page, "$3", a.array({}));
    HandArchive::ref(page, "$4", a.num(3));   // Rush Quiz
    HandArchive::ref(page, "$5", a.num(4));   // difficulty
    HandArchive::ref(page, "$6", one);        // correct answer B
    HandArchive::ref(page, "$7", a.str("AC"));
    HandArchive::ref(page, "$8", a.str("other"));
    HandArchive::ref(page, "$9", a.str("True"));
    HandArchive::ref(page, "$10", a.num(15)); // points
    HandArchive::ref(page, "$11", a.num(45)); // time
    HandArchive::ref(page, "$12", a.num(5));  // deduction
    HandArchive::ref(page, "$13", a.num(20)); // rush time
    HandArchive::ref(page, "$14", a.num(5));  // true or false
    HandArchive::ref(page, "$15", a.str("MA.3.1"));
    HandArchive::ref(page, "$16", a.str("Fractions as numbers"));

    viewPart(box, "{{80, 428}, {638, 140}}", a.array({fieldUid}), pageUid);
    HandArchive::ref(box, "PXHidden", zero);
    HandArchive::ref(box, "$0", a.str("2/4 = 1/2?"));
    HandArchive::rect(box, "$1", "{{80, 428}, {638, 140}}");
    HandArchive::ref(box, "$2", one);  // question role
    HandArchive::ref(box, "$3", 0);    // no picture
    HandArchive::ref(box, "$4", fieldUid);
    HandArchive::ref(box, "$5", 0);    // no strokes
    HandArchive::ref(box, "$6", zero); // no border

    viewPart(field, "{{4, 4}, {630, 132}}", a.array({}), boxUid);
    HandArchive::ref(field, "PXHidden", zero);
    uint64_t runUid = 0, colorUid = 0, paraUid = 0;
    plist_t color = a.object(a.cls({"NSColor", "NSObject"}), &colorUid);
    HandArchive::ref(color, "PXRGBA", a.num(0xff0000ff));
    plist_t run = a.object(a.cls({"PXTextRun", "NSObject"}), &runUid);
    HandArchive::ref(run, "PXText", a.str("2/4 = 1/2?"));
    HandArchive::ref(run, "PXFont", a.str("Liberation Sans"));
    plist_dict_set_item(run, "PXSize", plist_new_uid(a.add(plist_new_real(24))));
    HandArchive::ref(run, "PXBold", one);
    HandArchive::ref(run, "PXItalic", zero);
    HandArchive::ref(run, "PXUnderline", zero);
    HandArchive::ref(run, "PXColor", colorUid);
    plist_t para = a.object(a.cls({"PXTextParagraph", "NSObject"}), &paraUid);
    HandArchive::ref(para, "PXAlignment", a.num(2));
    HandArchive::ref(para, "PXRuns", a.array({runUid}));
    HandArchive::ref(field, "PXParagraphs", a.array({paraUid}));
    return a.bytes(rootUid);
}

QuestionSetViewPtr richPage()
{
    auto page = QuestionSetView::createTemplate(4, QSizeF(800, 600));
    page->getQuestionTitle()->textview()->setString(QStringLiteral("Which is largest?\nPick one."));
    page->setOption(0, QStringLiteral("½"));
    page->setOption(1, QStringLiteral("0.75"));
    page->getQuestionTitle()->setStrText(QStringLiteral("Which is largest?"));
    QImage picture(20, 10, QImage::Format_ARGB32);
    picture.fill(QColor(10, 200, 30, 128));
    page->getOption(2)->setIg(picture);
    auto stroke = std::make_shared<BezierPathObject>();
    QPainterPath path(QPointF(1.5, 2));
    path.lineTo(30, 40);
    path.cubicTo(50, 60, 70, 80, 90, 100);
    stroke->setBezierpath(path);
    stroke->setColor(QColor(255, 0, 0, 200));
    stroke->setLineWidth(3);
    page->getOption(3)->setBpArray({stroke});
    page->getOption(3)->setHidden(true);
    page->getTitle(0)->setBHaveFrame(true);
    page->setBpArray({stroke->copy()});
    page->setNQuestionActionMode(7);
    page->setNQuestionType(1);
    page->setNQuestionDifficulty(3);
    page->setNQuestionCorrectAnswer(2);
    page->setStrMultipleAnswer(QStringLiteral("BD"));
    page->setStrOtherAnswer(QStringLiteral("x"));
    page->setStrAnswer(QStringLiteral("BD"));
    page->setNQuestionPoint(-5);
    page->setNQuestionTimeLimit(120);
    page->setNQuestionDePoint(7);
    page->setNQuestionRushTimeLimit(9);
    page->setStrStandardCode(QStringLiteral("S-1"));
    page->setStrStandardTitle(QStringLiteral("Ordering"));
    return page;
}

} // namespace

class QuestionFileTest : public PollixTest
{
};

TEST_F(QuestionFileTest, ReadsAHandMadeFileInTheFormatsFieldOrderWithCycles)
{
    QString why;
    auto set = ExamPaperInfo::unarchiveObjectWithData(handMadeSet(), &why);
    ASSERT_TRUE(set) << why.toStdString();
    EXPECT_EQ(set->strSymbol(), "Pollix");
    EXPECT_EQ(set->nExamPaperID(), 42);
    EXPECT_EQ(set->strExamPaperTitle(), "Fractions");
    EXPECT_EQ(set->strMemo(), "week 3");
    ASSERT_EQ(set->arrayQuestionsInfo().size(), 1);
    const QuestionSetView &page = *set->arrayQuestionsInfo()[0];
    EXPECT_EQ(page.nQuestionActionMode(), 3);
    EXPECT_EQ(page.nQuestionDifficulty(), 4);
    EXPECT_EQ(page.nQuestionCorrectAnswer(), 1);
    EXPECT_EQ(page.strMultipleAnswer(), "AC");
    EXPECT_EQ(page.strOtherAnswer(), "other");
    EXPECT_EQ(page.strAnswer(), "True");
    EXPECT_EQ(page.nQuestionPoint(), 15);
    EXPECT_EQ(page.nQuestionTimeLimit(), 45);
    EXPECT_EQ(page.nQuestionDePoint(), 5);
    EXPECT_EQ(page.nQuestionRushTimeLimit(), 20);
    EXPECT_EQ(page.nQuestionType(), 5);
    EXPECT_EQ(page.strStandardCode(), "MA.3.1");
    EXPECT_EQ(page.strStandardTitle(), "Fractions as numbers");
    EXPECT_TRUE(page.selectedIndexs().isEmpty());
    ASSERT_EQ(page.cellArray().size(), 1);
    const MyTextView *box = page.getQuestionTitle();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->viewFrame(), QRectF(80, 428, 638, 140));
    EXPECT_EQ(box->strText(), "2/4 = 1/2?");
    EXPECT_FALSE(box->bHaveFrame());
    EXPECT_EQ(box->toolTip(), "No Set") << "reading sets the role without touching the tooltip";
    EXPECT_EQ(page.questionText(), "2/4 = 1/2?");
    const auto paragraphs = box->textview()->paragraphs();
    ASSERT_EQ(paragraphs.size(), 1);
    EXPECT_EQ(paragraphs[0].alignment, 2);
    ASSERT_EQ(paragraphs[0].runs.size(), 1);
    EXPECT_EQ(paragraphs[0].runs[0].family, "Liberation Sans");
    EXPECT_EQ(paragraphs[0].runs[0].size, 24);
    EXPECT_TRUE(paragraphs[0].runs[0].bold);
    EXPECT_EQ(QColor::fromRgba(paragraphs[0].runs[0].color), QColor(255, 0, 0, 255));
}

TEST_F(QuestionFileTest, EveryFieldOfRootPageBoxAndStrokeSurvivesARoundTrip)
{
    ExamPaperInfo set;
    set.setNExamPaperID(-7);
    set.setStrExamPaperTitle(QStringLiteral("Unit 4 — fractions"));
    set.setStrMemo(QStringLiteral("line one\nline two"));
    auto page = richPage();
    set.setArrayQuestionsInfo({page, QuestionSetView::createTemplate(0, QSizeF(800, 600))});

    const QString path = home() + "set.px";
    ASSERT_TRUE(set.writeToFile(path));
    auto back = ExamPaperInfo::loadQuestionFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->strSymbol(), "Pollix");
    EXPECT_EQ(back->nExamPaperID(), -7);
    EXPECT_EQ(back->strExamPaperTitle(), set.strExamPaperTitle());
    EXPECT_EQ(back->strMemo(), set.strMemo());
    ASSERT_EQ(back->arrayQuestionsInfo().size(), 2);
    const QuestionSetView &p = *back->arrayQuestionsInfo()[0];
    EXPECT_TRUE(p.isEqualTo(*page)) << "settings, answer, boxes, roles, pictures and strokes";
    EXPECT_EQ(p.frame(), page->frame());
    ASSERT_EQ(p.cellArray().size(), page->cellArray().size());
    for (qsizetype i = 0; i < p.cellArray().size(); ++i) {
        const MyTextView &a = *p.cellArray()[i];
        const MyTextView &b = *page->cellArray()[i];
        EXPECT_EQ(a.viewFrame(), b.frame());
        EXPECT_EQ(a.bounds(), b.bounds());
        EXPECT_EQ(a.toolTipNo(), b.toolTipNo());
        EXPECT_EQ(a.bHaveFrame(), b.bHaveFrame());
        EXPECT_EQ(a.isHidden(), b.isHidden());
        EXPECT_EQ(a.strText(), b.strText());
        EXPECT_EQ(a.textview()->paragraphs(), b.textview()->paragraphs());
    }
    EXPECT_EQ(p.optionText(0), "½");
    EXPECT_EQ(p.questionText(), "Which is largest?\nPick one.");
    EXPECT_EQ(p.getOption(2)->ig().convertToFormat(QImage::Format_ARGB32),
              page->getOption(2)->ig().convertToFormat(QImage::Format_ARGB32));
    const auto strokes = p.getOption(3)->bpArray();
    ASSERT_EQ(strokes.size(), 1);
    EXPECT_EQ(strokes[0]->color(), QColor(255, 0, 0, 200));
    EXPECT_EQ(strokes[0]->lineWidth(), 3);
    EXPECT_EQ(strokes[0]->bezierpath().elementCount(), 5);
    EXPECT_EQ(strokes[0]->bezierpath().elementAt(0).x, 1.5);
    EXPECT_EQ(p.bpArray().size(), 1);
    EXPECT_EQ(back->arrayQuestionsInfo()[1]->getOptionNum(), 2);
}

TEST_F(QuestionFileTest, SharedAndCyclicReferencesInTheObjectGraph)
{
    // A page whose superview is itself still reads: objects resolve to themselves.
    EXPECT_TRUE(ExamPaperInfo::unarchiveObjectWithData(handMadeSet("Pollix", true)));

    // One page listed twice comes back as two independent pages.
    ExamPaperInfo set;
    auto page = richPage();
    set.setArrayQuestionsInfo({page, page});
    auto back = ExamPaperInfo::unarchiveObjectWithData(set.archivedData());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->arrayQuestionsInfo().size(), 2);
    EXPECT_NE(back->arrayQuestionsInfo()[0], back->arrayQuestionsInfo()[1]);
    back->arrayQuestionsInfo()[0]->getQuestionTitle()->setFrame(QRectF(0, 0, 1, 1));
    EXPECT_NE(back->arrayQuestionsInfo()[1]->getQuestionTitle()->frame(), QRectF(0, 0, 1, 1));

    // An array that holds itself, and a page whose box list is the page itself, are refused.
    HandArchive a;
    uint64_t rootUid = 0, arrayUid = 0;
    plist_t root = a.object(a.cls({"ExamPaperInfo", "NSObject"}), &rootUid);
    plist_t array = a.object(a.cls({"NSArray", "NSObject"}), &arrayUid);
    plist_t items = plist_new_array();
    plist_array_append_item(items, plist_new_uid(arrayUid));
    plist_dict_set_item(array, "NS.objects", items);
    HandArchive::ref(root, "PXFormatVersion", a.num(1));
    HandArchive::ref(root, "$0", a.str("Pollix"));
    HandArchive::ref(root, "$1", a.num(1));
    HandArchive::ref(root, "$2", a.str(""));
    HandArchive::ref(root, "$3", arrayUid);
    HandArchive::ref(root, "$4", a.str(""));
    QString why;
    EXPECT_FALSE(ExamPaperInfo::unarchiveObjectWithData(a.bytes(rootUid), &why));
    EXPECT_FALSE(why.isEmpty());

    HandArchive b;
    uint64_t root2 = 0;
    plist_t r2 = b.object(b.cls({"ExamPaperInfo", "NSObject"}), &root2);
    HandArchive::ref(r2, "PXFormatVersion", b.num(1));
    HandArchive::ref(r2, "$0", b.str("Pollix"));
    HandArchive::ref(r2, "$1", b.num(1));
    HandArchive::ref(r2, "$2", b.str(""));
    HandArchive::ref(r2, "$3", b.array({root2})); // the set holds itself as a page
    HandArchive::ref(r2, "$4", b.str(""));
    EXPECT_FALSE(ExamPaperInfo::unarchiveObjectWithData(b.bytes(root2)));
}

TEST_F(QuestionFileTest, DamagedTruncatedForeignAndWronglyMarkedFilesAreRefused)
{
    const QByteArray good = handMadeSet();
    ASSERT_TRUE(ExamPaperInfo::unarchiveObjectWithData(good));

    for (int len = 0; len < good.size(); len += 7)
        EXPECT_FALSE(ExamPaperInfo::unarchiveObjectWithData(good.left(len))) << "truncated at " << len;

    // Damaged bytes must never crash the reader; most are refused.
    QRandomGenerator rng(6);
    for (int round = 0; round < 300; ++round) {
        QByteArray bad = good;
        for (int k = 0; k < 3; ++k)
            bad[rng.bounded(int(bad.size()))] = char(rng.bounded(256));
        ExamPaperInfo::unarchiveObjectWithData(bad);
    }

    EXPECT_FALSE(ExamPaperInfo::unarchiveObjectWithData("<?xml version=\"1.0\"?><plist/>"));
    EXPECT_FALSE(ExamPaperInfo::unarchiveObjectWithData(QByteArray(100, 'x')));

    HandArchive other;
    const uint64_t s = other.str("just a string");
    EXPECT_FALSE(ExamPaperInfo::unarchiveObjectWithData(other.bytes(s))) << "root is no question set";

    const QString marked = writeFile("other.px", handMadeSet("ARS"));
    EXPECT_FALSE(ExamPaperInfo::loadQuestionFile(marked)) << "wrong mark";
    auto editorOpen = ExamPaperInfo::unarchiveObjectWithFile(marked);
    ASSERT_TRUE(editorOpen) << "the editor's own open does not look at the mark";
    EXPECT_EQ(editorOpen->strSymbol(), "ARS");
    EXPECT_FALSE(ExamPaperInfo::loadQuestionFile(home() + "missing.px"));
}

TEST_F(QuestionFileTest, NewerFormatVersionsAndBadValuesAreRefused)
{
    ExamPaperInfo set;
    set.setArrayQuestionsInfo({richPage()});
    QByteArray bytes = set.archivedData();
    plist_t archive = nullptr;
    plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &archive);
    ASSERT_TRUE(archive);
    plist_t objects = plist_dict_get_item(archive, "$objects");
    uint64_t rootUid = 0;
    plist_get_uid_val(plist_dict_get_item(plist_dict_get_item(archive, "$top"), "root"), &rootUid);
    plist_t root = plist_array_get_item(objects, uint32_t(rootUid));
    const uint32_t n = plist_array_get_size(objects);
    plist_array_append_item(objects, plist_new_uint(2));
    plist_dict_set_item(root, "PXFormatVersion", plist_new_uid(n));
    char *out = nullptr;
    uint32_t len = 0;
    plist_to_bin(archive, &out, &len);
    const QByteArray newer(out, int(len));
    free(out);
    plist_free(archive);
    QString why;
    EXPECT_FALSE(ExamPaperInfo::unarchiveObjectWithData(newer, &why));
    EXPECT_TRUE(why.contains("version")) << why.toStdString();
}

TEST_F(QuestionFileTest, AFailedWriteReportsAndLeavesTheOldFile)
{
    ExamPaperInfo set;
    set.setStrExamPaperTitle(QStringLiteral("old"));
    const QString path = home() + "set.sep";
    ASSERT_TRUE(set.writeToFile(path));
    const QByteArray before = readFile(path);
    set.setStrExamPaperTitle(QStringLiteral("new"));
    AtomicFile::setFailureHook([](const QString &) { return true; });
    QString why;
    EXPECT_FALSE(set.writeToFile(path, &why));
    AtomicFile::setFailureHook({});
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(ExamPaperInfo::loadQuestionFile(path)->strExamPaperTitle(), "old");
}

TEST_F(QuestionFileTest, ContainerLayoutIsAKeyedArchiveWithNumberedValues)
{
    ExamPaperInfo set;
    set.setStrExamPaperTitle(QStringLiteral("T"));
    auto selected = QuestionSetView::createTemplate(2, QSizeF(800, 600));
    selected->setSelection({0, 2}, 2);
    selected->setNQuestionType(3);
    set.setArrayQuestionsInfo({selected});
    const QByteArray bytes = set.archivedData();
    ASSERT_TRUE(bytes.startsWith("bplist00"));
    plist_t archive = nullptr;
    plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &archive);
    ASSERT_TRUE(archive);
    EXPECT_EQ(plist_string_val_compare(plist_dict_get_item(archive, "$archiver"), "NSKeyedArchiver"), 0);
    plist_t objects = plist_dict_get_item(archive, "$objects");
    EXPECT_EQ(plist_string_val_compare(plist_array_get_item(objects, 0), "$null"), 0);
    uint64_t rootUid = 0;
    plist_get_uid_val(plist_dict_get_item(plist_dict_get_item(archive, "$top"), "root"), &rootUid);
    plist_t root = plist_array_get_item(objects, uint32_t(rootUid));
    auto value = [&](const char *key) { uint64_t u = 0; plist_get_uid_val(plist_dict_get_item(root, key), &u); return plist_array_get_item(objects, uint32_t(u)); };
    EXPECT_EQ(plist_string_val_compare(value("$0"), "Pollix"), 0);
    EXPECT_EQ(plist_uint_val_compare(value("$1"), 0), 0);
    EXPECT_EQ(plist_string_val_compare(value("$2"), "T"), 0);
    EXPECT_EQ(plist_string_val_compare(value("$4"), ""), 0);
    plist_t cls = value("$class");
    EXPECT_EQ(plist_string_val_compare(plist_dict_get_item(cls, "$classname"), "ExamPaperInfo"), 0);

    // The page: boxes, the zero viewFrame, an empty selection whatever was selected, ...,
    // the question type as the fifteenth value.
    root = plist_array_get_item(plist_dict_get_item(value("$3"), "NS.objects"), 0);
    uint64_t pageUid = 0;
    plist_get_uid_val(root, &pageUid);
    root = plist_array_get_item(objects, uint32_t(pageUid));
    EXPECT_EQ(plist_array_get_size(plist_dict_get_item(value("$0"), "NS.objects")), 5u);
    EXPECT_EQ(plist_string_val_compare(plist_dict_get_item(root, "$1"), "{{0, 0}, {0, 0}}"), 0);
    EXPECT_EQ(plist_array_get_size(plist_dict_get_item(value("$2"), "NS.objects")), 0u);
    EXPECT_EQ(plist_uint_val_compare(value("$14"), 3), 0);
    EXPECT_EQ(plist_string_val_compare(value("$9"), "nocorrect"), 0);
    EXPECT_FALSE(plist_dict_get_item(root, "$17"));
    plist_free(archive);
}
