#include "core/authoring/PageEditAppDelegate.h"
#include "core/authoring/QuestionSetView.h"
#include "core/authoring/TemplateData.h"

#include "platform/NotificationCenter.h"
#include "support/PollixTest.h"

#include <QTextDocument>

class PageModelTest : public PollixTest
{
protected:
    // A page 800 x 600 in select mode with boxes at the given frames.
    static QuestionSetViewPtr pageWith(const QList<QRectF> &frames)
    {
        auto page = std::make_shared<QuestionSetView>(QRectF(0, 0, 798, 598));
        for (const QRectF &f : frames) {
            page->addNilView(f);
        }
        page->setCursor();
        return page;
    }
    static QList<QRectF> frames(const QuestionSetView &page)
    {
        QList<QRectF> out;
        for (const auto &b : page.cellArray())
            out.append(b->frame());
        return out;
    }
};

TEST_F(PageModelTest, TemplateLayoutsFollowTheOptionCount)
{
    // Page area 800 x 600: question box at (80, 430, 640, 140); option width 325;
    // columns at x 50 and 415; first row at y 430 - 50 - h.
    struct Case { int n; int h; };
    for (const Case c : {Case{2, 80}, Case{6, 80}, Case{7, 60}, Case{8, 60}, Case{9, 40}, Case{10, 40}}) {
        auto page = QuestionSetView::createTemplate(c.n, QSizeF(800, 600));
        const auto &boxes = page->cellArray();
        ASSERT_EQ(boxes.size(), 1 + 2 * c.n) << c.n;
        EXPECT_EQ(boxes[0]->toolTipNo(), 1);
        EXPECT_EQ(boxes[0]->frame(), QRectF(80, 430, 640, 140));
        const int y0 = 430 - 50 - c.h;
        for (int i = 0; i < c.n; ++i) {
            const MyTextView &title = *boxes[1 + 2 * i];
            const MyTextView &option = *boxes[2 + 2 * i];
            const int x = i % 2 ? 415 : 50;
            const int y = y0 - (i / 2) * (c.h + 30);
            EXPECT_EQ(option.toolTipNo(), 2 + i);
            EXPECT_EQ(option.frame(), QRectF(x, y, 325, c.h)) << c.n << " option " << i;
            EXPECT_EQ(title.toolTipNo(), 12 + i);
            EXPECT_EQ(title.frame(), QRectF(x - 40, y + (c.h - 35) / 2, 38, 35));
            EXPECT_EQ(title.textview()->string(), QString(QChar(u'A' + i)));
            EXPECT_FALSE(title.bHaveFrame());
            EXPECT_TRUE(option.bHaveFrame());
            EXPECT_EQ(option.nCursorType(), 1);
        }
        EXPECT_EQ(page->getOptionNum(), c.n);
    }
    // Six options: the last one (F) in the right column, third row.
    auto six = QuestionSetView::createTemplate(6, QSizeF(800, 600));
    EXPECT_EQ(six->getOptionF()->frame(), QRectF(415, 80, 325, 80));
    auto ten = QuestionSetView::createTemplate(10, QSizeF(800, 600));
    EXPECT_EQ(ten->getOptionJ()->frame(), QRectF(415, 60, 325, 40));
    EXPECT_EQ(ten->getTitleJ()->frame(), QRectF(375, 62, 38, 35));
    ten->setOptionJ(QStringLiteral("Very true of me"));
    EXPECT_EQ(ten->getOptionJ()->textview()->string(), "Very true of me");
}

TEST_F(PageModelTest, TrueOrFalseTemplateAndOptionBoxesPerQuestionType)
{
    auto page = QuestionSetView::createTemplate(0, QSizeF(800, 600));
    ASSERT_EQ(page->cellArray().size(), 5);
    EXPECT_TRUE(page->getOptionA() && page->getOptionB() && page->getTitleA() && page->getTitleB());
    EXPECT_FALSE(page->getOptionC());
    auto shown = [&](int role) { return !page->boxWithRole(role)->isHidden(); };
    EXPECT_TRUE(shown(2) && shown(3) && shown(12) && shown(13));

    page->setNQuestionType(5);
    for (int model : {0, 1, 2}) {
        page->setOptionHide(model);
        EXPECT_TRUE(shown(2) && shown(3)) << model;
        EXPECT_FALSE(shown(12) || shown(13)) << "true or false shows no letter titles";
        EXPECT_TRUE(shown(1));
    }
    auto four = QuestionSetView::createTemplate(4, QSizeF(800, 600));
    four->setNQuestionType(1);
    four->setOptionHide(1); // Arvel shows options only for single answer
    EXPECT_TRUE(four->getOptionA()->isHidden());
    four->setOptionHide(2);
    EXPECT_FALSE(four->getOptionD()->isHidden());
    four->setNQuestionType(3);
    four->setOptionHide(2);
    EXPECT_TRUE(four->getOptionA()->isHidden() && four->getTitleA()->isHidden());
    EXPECT_FALSE(four->getQuestionTitle()->isHidden());
    EXPECT_TRUE(four->getOptionHide(2));
}

TEST_F(PageModelTest, RatingScalesAndTemplateTree)
{
    EXPECT_EQ(TemplateData::getOptionContentByindex(0), QStringList({"True", "False"}));
    for (int index : {1, 5, 13, 51, -1})
        EXPECT_TRUE(TemplateData::getOptionContentByindex(index).isEmpty()) << index;
    EXPECT_EQ(TemplateData::getOptionContentByindex(14).size(), 5);
    EXPECT_EQ(TemplateData::getOptionContentByindex(15)[3], "Almost every time ");
    EXPECT_EQ(TemplateData::getOptionContentByindex(16).size(), 4);
    EXPECT_EQ(TemplateData::getOptionContentByindex(22), QStringList({"Very negative", "Neutral", "Very positive"}));
    EXPECT_EQ(TemplateData::getOptionContentByindex(25).size(), 5);
    EXPECT_EQ(TemplateData::getOptionContentByindex(26).size(), 7);
    EXPECT_EQ(TemplateData::getOptionContentByindex(50).last(), "Very true of me");
    ASSERT_EQ(TemplateData::ratingScales().size(), 37);
    for (const auto &scale : TemplateData::ratingScales()) {
        const int n = int(scale.choices.size());
        EXPECT_TRUE(n >= 3 && n <= 7) << scale.name;
        EXPECT_EQ(scale.arvel, n != 7) << scale.name << ": the seven-choice scales are the ones Arvel lacks";
    }

    auto names = [](const TemplateData::Node &node) {
        QStringList out;
        for (const auto &c : node.children)
            out.append(c.data.name());
        return out;
    };
    const auto full = TemplateData::templateTree(3, 2);
    EXPECT_EQ(names(full), QStringList({"True or False", "Cloze and Short Answer", "Selection", "Likert"}));
    EXPECT_EQ(full.children[2].children.size(), 9);
    EXPECT_EQ(full.children[2].children.last().data.index(), 10);
    EXPECT_EQ(full.children[3].children.size(), 37);
    EXPECT_EQ(full.children[2].data.index(), -1);
    EXPECT_FALSE(full.children[2].data.isLeaf());

    const auto arvel = TemplateData::templateTree(2, 1);
    EXPECT_EQ(names(arvel), QStringList({"True or False", "Selection", "Likert"}));
    EXPECT_EQ(names(arvel.children[1]).last(), "6 Options");
    EXPECT_EQ(arvel.children[2].children.size(), 27);
    const auto slides = TemplateData::templateTree(0, 1);
    EXPECT_EQ(slides.children[1].children.last().data.index(), 9);
    EXPECT_EQ(slides.children[1].children.first().data.name(), "2 Selections 2 Coulumns");
    EXPECT_TRUE(TemplateData::templateTree(7, 2).children[2].children.isEmpty());
}

TEST_F(PageModelTest, DrawingBoxesRubberBandAndMoving)
{
    auto page = pageWith({});
    page->setTextFrame();
    page->mouseDown(QPointF(100, 100));
    page->mouseDragged(QPointF(104, 110));
    page->mouseUp();
    EXPECT_TRUE(page->cellArray().isEmpty()) << "4 wide is too small";
    page->mouseDown(QPointF(100, 100));
    page->mouseDragged(QPointF(95, 95));
    page->mouseUp();
    ASSERT_EQ(page->cellArray().size(), 1);
    EXPECT_EQ(page->cellArray()[0]->frame(), QRectF(95, 95, 5, 5));

    auto sel = pageWith({QRectF(10, 10, 50, 50), QRectF(100, 10, 50, 50), QRectF(300, 300, 20, 20)});
    sel->mouseDown(QPointF(5, 5));
    sel->mouseDragged(QPointF(160, 60)); // wholly holds the first two, touches none else
    sel->mouseUp();
    EXPECT_EQ(sel->selectedIndexs(), QList<int>({0, 1}));
    EXPECT_EQ(sel->selIndex(), 1);
    sel->mouseDown(QPointF(250, 250));
    sel->mouseUp();
    EXPECT_TRUE(sel->selectedIndexs().isEmpty());
    sel->mouseDown(QPointF(0, 0));
    sel->mouseDragged(QPointF(155, 59)); // only touches the first box's edge at 60
    sel->mouseUp();
    EXPECT_TRUE(sel->selectedIndexs().isEmpty()) << "a box only touched is not selected";

    // Select two with the command key, then drag one: both move by the whole-point offset.
    sel->mouseDown(QPointF(30, 30), 1, true);
    sel->mouseUp();
    sel->mouseDown(QPointF(310, 310), 1, true);
    sel->mouseUp();
    EXPECT_EQ(sel->selIndex(), 2);
    sel->mouseDown(QPointF(30, 30));
    sel->mouseDragged(QPointF(40.7, 25.2));
    sel->mouseUp();
    EXPECT_EQ(frames(*sel), QList<QRectF>({QRectF(20, 6, 50, 50), QRectF(100, 10, 50, 50), QRectF(310, 296, 20, 20)}));
    // Command press on the anchor removes it; the last remaining selected box becomes the anchor.
    sel->mouseDown(QPointF(30, 30), 1, true);
    sel->mouseUp();
    EXPECT_EQ(sel->selectedIndexs(), QList<int>({2}));
    EXPECT_EQ(sel->selIndex(), 2);
}

TEST_F(PageModelTest, BoxHandlesResizeAndFlipAndBorderPressIsABodyPress)
{
    auto page = pageWith({QRectF(100, 100, 100, 60)});
    MyTextView *box = page->cellArray()[0].get();
    // Resize frame (104, 104, 92, 52); handle 0 (left top) centred at (104, 156).
    EXPECT_EQ(box->getLeftTopRect(), QRectF(100, 152, 8, 8));
    EXPECT_EQ(box->getRightBottomRect(), QRectF(192, 100, 8, 8));
    page->mouseDown(QPointF(103, 157));
    EXPECT_EQ(box->dragType(), 0);
    EXPECT_EQ(box->ptPeg(), QPointF(200, 100));
    page->mouseDragged(QPointF(260.6, 39.6)); // past the opposite corner; offsets truncate
    page->mouseUp();
    EXPECT_EQ(box->frame(), QRectF(200, 40, 60, 60));
    EXPECT_EQ(box->textview()->frame(), QRectF(box->bounds().x() + 4, box->bounds().y() + 4, 52, 52));
    EXPECT_EQ(box->dragType(), 8);

    // The border strip on the box's left edge, away from the handles: a body press that selects.
    page->mouseDown(QPointF(201, 50));
    EXPECT_EQ(box->dragType(), 8);
    EXPECT_EQ(page->selectedIndexs(), QList<int>({0}));
    page->mouseUp();
    // Middle handles keep the other dimension.
    page->mouseDown(QPointF(230, 98)); // centre top handle, outside the text rectangle
    EXPECT_EQ(box->dragType(), 1);
    page->mouseDragged(QPointF(230, 120));
    page->mouseUp();
    EXPECT_EQ(box->frame(), QRectF(200, 40, 60, 80));
}

TEST_F(PageModelTest, CopyPasteStepsAndDeleteKey)
{
    auto page = pageWith({QRectF(10, 100, 50, 50), QRectF(200, 100, 50, 50)});
    page->cellArray()[0]->setToolTipNo(3);
    page->setSelection({0}, 0);
    page->keyDown(0, QStringLiteral("c"), true);
    for (int i = 0; i < 3; ++i)
        page->keyDown(0, QStringLiteral("V"));
    ASSERT_EQ(page->cellArray().size(), 5);
    EXPECT_EQ(page->cellArray()[2]->frame(), QRectF(20, 90, 50, 50));
    EXPECT_EQ(page->cellArray()[4]->frame(), QRectF(40, 70, 50, 50));
    EXPECT_EQ(page->cellArray()[4]->toolTipNo(), 0);
    EXPECT_EQ(page->cellArray()[4]->toolTip(), "No Set");
    page->setSelection({1}, 1);
    page->copySelect();
    page->pasteSelect();
    EXPECT_EQ(page->cellArray().last()->frame(), QRectF(210, 90, 50, 50)) << "a new clipboard restarts at +10";

    page->setSelection({0, 1}, 1);
    page->setInQuiz(true);
    page->keyDown(Qt::Key_Backspace, QString(QChar(127)));
    EXPECT_EQ(page->cellArray().size(), 6) << "no delete during a run";
    page->setInQuiz(false);
    page->setBDelete(false);
    page->keyDown(Qt::Key_Backspace, QString(QChar(127)));
    EXPECT_EQ(page->cellArray().size(), 6);
    page->setBDelete(true);
    page->setSelection({0, 1}, 1);
    page->keyDown(Qt::Key_Delete, QString());
    EXPECT_EQ(page->cellArray().size(), 4);
    EXPECT_EQ(page->selIndex(), -1);

    page->setBFreeStyle(true);
    page->cellArray()[0]->setToolTipNo(MyTextView::RoleCapture);
    page->setSelection({0, 1}, 0);
    page->keyDown(Qt::Key_Delete, QString());
    EXPECT_EQ(page->cellArray().size(), 4);
    EXPECT_TRUE(page->cellArray()[0]->isHidden());
    EXPECT_FALSE(page->cellArray()[1]->isHidden());
}

TEST_F(PageModelTest, PlainTextTakesTheFieldsDefaultFontAndKeepsItThroughRuns)
{
    MyTextView box(QRectF(0, 0, 100, 50));
    box.textview()->setString(QStringLiteral("one\ntwo"));
    const auto paragraphs = box.textview()->paragraphs();
    ASSERT_EQ(paragraphs.size(), 2);
    EXPECT_EQ(paragraphs[1].runs[0].text, "two");
    EXPECT_EQ(paragraphs[0].runs[0].family, "Times");
    EXPECT_EQ(paragraphs[0].runs[0].size, 16);
    MyTextView other(QRectF(0, 0, 100, 50));
    other.textview()->setParagraphs(paragraphs);
    EXPECT_TRUE(other.textview()->hasEqualText(*box.textview()));
    EXPECT_EQ(other.textview()->string(), "one\ntwo");
    MyTextView empty(QRectF(0, 0, 100, 50));
    EXPECT_TRUE(empty.textview()->paragraphs().isEmpty());
}

TEST_F(PageModelTest, AlignmentAndSizeFollowTheAnchor)
{
    auto page = pageWith({QRectF(10, 10, 50, 20), QRectF(100, 200, 80, 40)});
    page->setSelection({0, 1}, 1);
    page->alignRight();
    EXPECT_EQ(page->cellArray()[0]->frame(), QRectF(130, 10, 50, 20));
    page->alignTop();
    EXPECT_EQ(page->cellArray()[0]->frame(), QRectF(130, 220, 50, 20));
    page->makeSameSize();
    EXPECT_EQ(page->cellArray()[0]->frame(), QRectF(130, 220, 80, 40));
    EXPECT_EQ(page->cellArray()[1]->frame(), QRectF(100, 200, 80, 40)) << "the anchor stays";
    page->setSelection({0, 1}, -1);
    page->alignLeft();
    EXPECT_EQ(page->cellArray()[0]->frame(), QRectF(130, 220, 80, 40)) << "nothing without an anchor";
}

TEST_F(PageModelTest, PenStrokesBecomeBorderlessBoxes)
{
    auto page = pageWith({});
    page->setColorSet(Qt::red);
    page->setNPenSize(5);
    page->setPen();
    ASSERT_TRUE(page->pds());
    int contentNotes = 0;
    QObject observer;
    NotificationCenter::defaultCenter()->addObserver(&observer, "ChangeQuestionContent",
                                                     [&](const Notification &) { ++contentNotes; });
    page->mouseDown(QPointF(100, 100));
    page->mouseDragged(QPointF(150, 120));
    page->mouseDragged(QPointF(130, 180));
    page->mouseUp();
    EXPECT_EQ(contentNotes, 2);
    ASSERT_EQ(page->pds()->bezierPathObjects().size(), 1);
    auto before = page->copy();
    EXPECT_FALSE(page->isEqualTo(*pageWith({}))) << "strokes on the pen layer are content";

    page->setCursor();
    EXPECT_FALSE(page->pds());
    ASSERT_EQ(page->cellArray().size(), 1);
    const MyTextView &box = *page->cellArray()[0];
    EXPECT_EQ(box.frame(), QRectF(85, 85, 80, 110));
    EXPECT_FALSE(box.bHaveFrame());
    ASSERT_EQ(box.bpArray().size(), 1);
    EXPECT_EQ(box.bpArray()[0]->color(), QColor(Qt::red));
    EXPECT_EQ(box.bpArray()[0]->lineWidth(), 5);
    EXPECT_TRUE(page->bpArray().isEmpty());
}

TEST_F(PageModelTest, UnsavedChangeTestSeesStrokesPicturesRolesAndAnswer)
{
    auto page = QuestionSetView::createTemplate(4, QSizeF(800, 600));
    page->setStrAnswer(QStringLiteral("B"));
    auto snapshot = page->copy();
    EXPECT_TRUE(page->isEqualTo(*snapshot));
    EXPECT_EQ(snapshot->strAnswer(), "B");

    auto changed = [&](const std::function<void(QuestionSetView &)> &edit) {
        auto p = snapshot->copy();
        edit(*p);
        return !p->isEqualTo(*snapshot);
    };
    EXPECT_TRUE(changed([](QuestionSetView &p) { p.setStrAnswer(QStringLiteral("C")); }));
    EXPECT_TRUE(changed([](QuestionSetView &p) { p.getOptionA()->setToolTipNo(0); }));
    EXPECT_TRUE(changed([](QuestionSetView &p) {
        QImage img(4, 4, QImage::Format_ARGB32);
        img.fill(Qt::green);
        p.getOptionB()->setIg(img);
    }));
    EXPECT_TRUE(changed([](QuestionSetView &p) {
        auto s = std::make_shared<BezierPathObject>();
        QPainterPath path(QPointF(1, 1));
        path.lineTo(5, 5);
        s->setBezierpath(path);
        p.setBpArray({s});
    }));
    EXPECT_TRUE(changed([](QuestionSetView &p) { p.getOptionC()->textview()->setString(QStringLiteral("x")); }));
    EXPECT_TRUE(changed([](QuestionSetView &p) { p.setNQuestionTimeLimit(31); }));
    EXPECT_TRUE(changed([](QuestionSetView &p) { p.getOptionD()->setHidden(true); })) << "an option hidden";
    EXPECT_TRUE(changed([](QuestionSetView &p) { p.getTitleA()->setBHaveFrame(true); })) << "a border drawn";
    EXPECT_FALSE(changed([](QuestionSetView &p) { p.setNOptionNum(3); })) << "not stored, not compared";
}

TEST_F(PageModelTest, AnswerNormalisationForSaveAndSaveAs)
{
    auto page = [](int type, int mode, const QString &answer) {
        auto p = std::make_shared<QuestionSetView>(QRectF(0, 0, 10, 10));
        p->setNQuestionType(type);
        p->setNQuestionActionMode(mode);
        p->setStrAnswer(answer);
        return p;
    };
    auto saved = [&](int type, int mode, const QString &answer, bool saveAs) {
        auto p = page(type, mode, answer);
        p->normaliseAnswerForSave(saveAs);
        return std::make_pair(p->nQuestionType(), p->strAnswer());
    };
    EXPECT_EQ(saved(5, 0, "A", false), std::make_pair(5, QString("True")));
    EXPECT_EQ(saved(5, 0, "B", false), std::make_pair(5, QString("False")));
    EXPECT_EQ(saved(5, 0, "C", false), std::make_pair(5, QString("nocorrect")));
    EXPECT_EQ(saved(5, 0, "A", true), std::make_pair(5, QString("A")));
    EXPECT_EQ(saved(0, 0, "nocorrect", false).first, 4);
    EXPECT_EQ(saved(0, 0, "nocorrect", true).first, 4);
    // One rule for both passes: an answerless vote keeps its type (a rating scale stays a
    // question the next run can start), an answerless rush page becomes a teaching plan.
    for (bool saveAs : {false, true}) {
        EXPECT_EQ(saved(0, 3, "nocorrect", saveAs).first, 4) << saveAs;
        EXPECT_EQ(saved(0, 3, "", saveAs).first, 4) << saveAs;
        EXPECT_EQ(saved(1, 7, "nocorrect", saveAs).first, 1) << saveAs;
        EXPECT_EQ(saved(0, 7, "", saveAs), std::make_pair(0, QString())) << saveAs;
    }
    EXPECT_EQ(saved(4, 0, "AB", false).second, "nocorrect");
    EXPECT_EQ(saved(4, 0, "AB", true).second, "nocorrect");

    auto read = page(0, 0, "False");
    read->normaliseAnswerAfterReading();
    EXPECT_EQ(read->strAnswer(), "B");
    EXPECT_EQ(page(1, 0, "")->correctAnswer(), "");
    auto single = page(0, 0, "");
    single->setNQuestionCorrectAnswer(2);
    EXPECT_EQ(single->correctAnswer(), "C");
}

TEST_F(PageModelTest, FittingScalesBoxesToAnotherCanvasAndLeavesTheSameSizeAlone)
{
    auto page = QuestionSetView::createTemplate(2, QSizeF(800, 600));
    const auto before = frames(*page);
    page->fitToRect(QRectF(0, 0, 800, 600));
    EXPECT_EQ(frames(*page), before);
    EXPECT_EQ(page->frame(), QRectF(0, 0, 798, 598));
    page->fitToRect(QRectF(0, 0, 1598, 1198));
    EXPECT_EQ(page->frame(), QRectF(0, 0, 1596, 1196));
    EXPECT_EQ(page->getQuestionTitle()->frame(), QRectF(160, 860, 1280, 280));
    EXPECT_EQ(page->getQuestionTitle()->textview()->frame().size(), QSizeF(1272, 272));

    // Strokes still on the pen layer become a box and scale with the rest.
    auto pen = QuestionSetView::createTemplate(2, QSizeF(800, 600));
    pen->setPen();
    pen->mouseDown(QPointF(100, 100));
    pen->mouseDragged(QPointF(120, 130));
    pen->mouseUp();
    pen->fitToRect(QRectF(0, 0, 1598, 1198));
    EXPECT_FALSE(pen->pds());
    ASSERT_EQ(pen->cellArray().size(), 6);
    EXPECT_EQ(pen->cellArray().last()->frame(), QRectF(170, 170, 100, 120));
}
