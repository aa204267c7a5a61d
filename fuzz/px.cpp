// Question files (.px) and answer sheets (.sep), read as the main window checks them and as the
// question editor opens them.

#include "FuzzSupport.h"

#include "core/authoring/ExamPaperInfo.h"

#include <QSizeF>

namespace {

QByteArray questionFile(const QList<int> &types, const QString &question)
{
    ExamPaperInfo paper;
    paper.setNExamPaperID(7);
    paper.setStrExamPaperTitle(QStringLiteral("Week 3"));
    paper.setStrMemo(QStringLiteral("memo"));
    QList<QuestionSetViewPtr> pages;
    int n = 0;
    for (int type : types) {
        auto page = QuestionSetView::createTemplate(n++, QSizeF(800, 600));
        page->setNQuestionType(type);
        if (MyTextView *title = page->getQuestionTitle())
            title->setStrText(question);
        pages << page;
    }
    paper.setArrayQuestionsInfo(pages);
    return paper.archivedData();
}

} // namespace

QList<QByteArray> fuzzSeeds()
{
    QList<QByteArray> seeds = Fuzz::testDataFiles({QStringLiteral(".px"), QStringLiteral(".sep")});
    seeds << questionFile({1}, QStringLiteral("2 + 2?"));
    seeds << questionFile({0, 1, 2, 3, 4, 5}, QStringLiteral("Which one?"));
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::inputFile(data, size, QStringLiteral("input.px"));
    const std::shared_ptr<ExamPaperInfo> paper = ExamPaperInfo::loadQuestionFile(path);
    if (!paper)
        return 0;
    for (const QuestionSetViewPtr &page : paper->arrayQuestionsInfo()) {
        // What the main window lists and the run asks of each page.
        page->nQuestionType();
        page->questionText();
        page->correctAnswer();
        const int options = page->getOptionNum();
        page->getOptionNumExcludeHide();
        for (int i = 0; i < options && i < 16; ++i)
            page->optionText(i);
        // What the question editor does to each page it opens.
        page->reloadQuestion();
        page->setBCtrl(true);
        page->setOptionHide();
        page->normaliseAnswerAfterReading();
    }
    // The editor's save of what it opened.
    paper->archivedData();
    return 0;
}
