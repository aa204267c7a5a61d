// Question-file speed: writing, reading and rendering a large set (100 ten-option pages, each
// with a 400 x 300 picture and a pen stroke), as the editor saves it and a run or a report opens
// it. Prints milliseconds per operation and the file size. Run: ./dev bench.
#include "core/authoring/ExamPaperInfo.h"

#include "BenchTiming.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainterPath>

#include <cstdio>

namespace {

ExamPaperInfo largeSet()
{
    ExamPaperInfo set;
    QImage picture(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    QList<QuestionSetViewPtr> pages;
    for (int i = 0; i < 100; ++i) {
        auto page = QuestionSetView::createTemplate(10, QSizeF(1024, 768));
        page->getQuestionTitle()->textview()->setString(QStringLiteral("Question %1: which of these is right?").arg(i + 1));
        for (int k = 0; k < 10; ++k)
            page->setOption(k, QStringLiteral("Option text %1").arg(k));
        page->getQuestionTitle()->setIg(picture);
        auto stroke = std::make_shared<BezierPathObject>();
        QPainterPath path(QPointF(10, 10));
        for (int k = 0; k < 200; ++k)
            path.lineTo(10 + k * 3, 10 + (k % 17) * 5);
        stroke->setBezierpath(path);
        page->getOptionA()->setBpArray({stroke});
        pages.append(page);
    }
    set.setArrayQuestionsInfo(pages);
    return set;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const ExamPaperInfo set = largeSet();
    QByteArray bytes;
    const double firstWrite = millisecondsPer(1, [&] { bytes = set.archivedData(); });
    const double write = millisecondsPer(3, [&] { bytes = set.archivedData(); });
    ExamPaperInfoPtr back;
    const double read = millisecondsPer(3, [&] { back = ExamPaperInfo::unarchiveObjectWithData(bytes); });
    if (!back || back->arrayQuestionsInfo().size() != 100) {
        std::fprintf(stderr, "bench_question_file: the set did not read back\n");
        return 1;
    }
    const QuestionSetViewPtr page = back->arrayQuestionsInfo().first();
    const double render = millisecondsPer(20, [&] { page->renderImage(); });
    const double thumb = millisecondsPer(20, [&] { page->renderImage(0.19); });
    std::printf("question file, 100 pages with pictures: %.1f MB\n", bytes.size() / 1e6);
    std::printf("  first write (pictures compressed) %8.1f ms\n  later writes %8.1f ms\n  read %8.1f ms\n",
                firstWrite, write, read);
    std::printf("  render one page %6.2f ms, as a thumbnail %6.2f ms\n", render, thumb);
    return 0;
}
