// Slide-deck speed: a 50-slide deck made from the template (question texts on every slide) is
// opened and listed as questions, as Start over a deck does; then the show is prepared from it
// (the deck's bytes and LibreOffice's PDF) beside LibreOffice's conversion of the saved file
// alone. Prints milliseconds. Run: ./dev bench.
#include "core/presentation/QuestionSlideFormat.h"
#include "platform/OfficeConverter.h"
#include "platform/PPTEditorMSO.h"
#include "platform/SlideShowWindow.h"

#include "BenchTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    PPTEditorMSO *ppt = PPTEditorMSO::shareManager();
    ppt->setTemplatePath(QStringLiteral(POLLIX_SOURCE_DIR "/resources/Pollix/template.pptx"));
    const QString path = dir.filePath(QStringLiteral("fifty.pptx"));
    ppt->setSavePathProvider([&](const QString &) { return path; });

    ppt->newPPT(QString());
    for (int i = 0; i < 50; ++i) {
        if (!ppt->copySlideByIndex(i % 14) || !ppt->pasteSlide()) {
            std::fprintf(stderr, "bench_presentation: %s\n", qPrintable(ppt->lastErrorText()));
            return 1;
        }
        ppt->writeTextBoxByName(QStringLiteral("Qu_Title"), i, QStringLiteral("Question %1: which of these is right?").arg(i + 1));
        ppt->writeTextBoxByName(QStringLiteral("answer"), i, QStringLiteral("A"));
    }
    QString why;
    if (ppt->savePPT(&why) != PPTEditor::SaveResult::Saved) {
        std::fprintf(stderr, "bench_presentation: %s\n", qPrintable(why));
        return 1;
    }

    int listed = 0;
    const double openAndList = millisecondsPer(10, [&] {
        ppt->quitPPT();
        ppt->openPPT(path);
        listed = int(QuestionSlideFormat::copyQuesInfoSlideToArray(*ppt).size());
    });
    std::printf("50-slide deck: open and list its %d questions   %8.1f ms (goal: under 1000)\n", listed, openAndList);

    if (OfficeConverter::officeProgram().isEmpty()) {
        std::printf("LibreOffice is not installed: no show figures\n");
        return 0;
    }
    const double conversion = millisecondsPer(3, [&] {
        QString pdf;
        QTemporaryDir out;
        OfficeConverter::convert(path, out.path(), QStringLiteral("pdf"), &pdf);
    });
    // The show: from the open deck to its first page on screen (bytes, conversion, PDF loaded).
    double show = 0;
    for (int round = 0; round < 3; ++round) {
        ppt->quitPPT();
        ppt->openPPT(path);
        // A changed title each round, so that no earlier PDF is taken.
        ppt->writeTextBoxByName(QStringLiteral("Qu_Title"), 0, QStringLiteral("Round %1").arg(round));
        QEventLoop loop;
        QObject::connect(ppt->converter(), &OfficeConverter::finished, &loop, &QEventLoop::quit);
        QElapsedTimer timer;
        timer.start();
        ppt->setPPT(1);
        loop.exec();
        ppt->showWindow()->currentPage();
        show += double(timer.nsecsElapsed()) / 1e6 / 3;
        ppt->setPPT(0);
    }
    std::printf("50-slide deck: LibreOffice's conversion alone      %8.1f ms\n", conversion);
    std::printf("50-slide deck: show prepared and first page drawn  %8.1f ms (%+.1f ms beside the conversion)\n", show,
                show - conversion);
    return 0;
}
