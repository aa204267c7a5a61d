#include "platform/AtomicFile.h"
#include "platform/OfficeConverter.h"
#include "platform/PPTEditorMSO.h"
#include "platform/PPTEditorOPO.h"
#include "platform/SlideShowWindow.h"

#include "support/FakeOffice.h"
#include "support/SlideDecks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using SlideDecks::ShapeSpec;

namespace {

class PresentationDriver : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SingletonRegistry::resetAll();
        ASSERT_TRUE(dir.isValid());
        ppt = PPTEditorMSO::shareManager();
        ppt->setTemplatePath(SlideDecks::shippedTemplate());
    }
    void TearDown() override
    {
        qunsetenv("POLLIX_SOFFICE");
        AtomicFile::setFailureHook({});
        SingletonRegistry::resetAll();
    }

    QString deckFile(const QList<QList<ShapeSpec>> &slides, const QString &name = QStringLiteral("deck.pptx"))
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(SlideDecks::writeDeck(slides, path));
        return path;
    }

    QTemporaryDir dir;
    PPTEditorMSO *ppt = nullptr;
};

QList<QList<ShapeSpec>> threeTitledSlides()
{
    return {{{"Qu_Title", "One"}}, {{"Qu_Title", "Two"}}, {{"Qu_Title", "Three"}}};
}

} // namespace

TEST_F(PresentationDriver, WithoutAProgramRunningNothingIsOpenAndNothingIsDeleted)
{
    EXPECT_EQ(PPTEditorMSO::shareManager(), ppt);
    EXPECT_FALSE(ppt->pptIsRunning());
    EXPECT_EQ(ppt->getCountOfSlide(), -1);
    EXPECT_FALSE(ppt->IsPPTRuningForOpen());
    EXPECT_EQ(ppt->getIndexOfShowPPT(), -1);
    EXPECT_EQ(ppt->getIndexOfSelectPPT(), -1);
    EXPECT_FALSE(ppt->deleteSlideIsWithPos(true, 0));
    EXPECT_EQ(ppt->savePPT(), PPTEditor::SaveResult::Failed);
    EXPECT_FALSE(ppt->pasteSlide());
    EXPECT_EQ(ppt->readTextBoxByName("ID", 0), "");

    // A fresh program holds a fresh presentation of one slide, which the main window removes.
    ASSERT_TRUE(ppt->startPPT());
    EXPECT_EQ(ppt->getCountOfSlide(), 1);
    EXPECT_TRUE(ppt->deleteSlideIsWithPos(true, 0));
    EXPECT_EQ(ppt->getCountOfSlide(), 0);
    EXPECT_EQ(ppt->getIndexOfSelectPPT(), 0);
    EXPECT_FALSE(ppt->deleteSlideIsWithPos(false, -1));

    PPTEditorOPO refusing;
    EXPECT_FALSE(refusing.startPPT());
    EXPECT_FALSE(refusing.openPPT(deckFile(threeTitledSlides())));
}

TEST_F(PresentationDriver, TemplateSlidesArePastedAtTheEndAndTheSelectedSlideIsDeleted)
{
    ASSERT_TRUE(ppt->newPPT(QString()));
    EXPECT_EQ(ppt->getCountOfSlide(), 0);
    for (int index : {0, 5, 1}) {
        ASSERT_TRUE(ppt->copySlideByIndex(index));
        ASSERT_TRUE(ppt->pasteSlide());
    }
    EXPECT_EQ(ppt->getCountOfSlide(), 3);
    EXPECT_EQ(ppt->readTextBoxByName("mode", 0), "True or False");
    EXPECT_EQ(ppt->readTextBoxByName("mode", 2), "Cloze Test");
    EXPECT_EQ(ppt->getIndexOfSelectPPT(), 3);
    EXPECT_FALSE(ppt->copySlideByIndex(51));
    EXPECT_FALSE(ppt->lastErrorText().isEmpty());

    // The show ends where the teacher stopped; that slide is the selection Delete removes.
    ASSERT_TRUE(ppt->setPPT(1));
    ASSERT_TRUE(ppt->setPPT(3));
    ASSERT_TRUE(ppt->setPPT(0));
    EXPECT_EQ(ppt->getIndexOfSelectPPT(), 2);
    ASSERT_TRUE(ppt->deleteSlideIsWithPos(false, -1));
    EXPECT_EQ(ppt->getCountOfSlide(), 2);
    EXPECT_EQ(ppt->readTextBoxByName("mode", 1), "Cloze Test");
    QString why;
    EXPECT_TRUE(ppt->presentation()->checkConsistency(&why)) << why.toStdString();

    ppt->setTemplatePath(dir.filePath("none.pptx"));
    EXPECT_FALSE(ppt->copySlideByIndex(0));
    EXPECT_TRUE(ppt->lastErrorText().contains("none.pptx"));
}

TEST_F(PresentationDriver, OptionShapesAreCountedByTheSecondLetterUpToTen)
{
    QList<ShapeSpec> fourShown;
    for (char c = 'A'; c <= 'J'; ++c)
        fourShown << ShapeSpec{QStringLiteral("Option%1").arg(QChar(c)), QString(), c <= 'D'};
    QList<ShapeSpec> twelve{{"Qu_Title", "q"}, {"p", "one letter"}, {"Xpert", "counts"}};
    for (int i = 0; i < 12; ++i)
        twelve << ShapeSpec{QStringLiteral("Opt%1").arg(i), QString(), true};
    ASSERT_TRUE(ppt->openPPT(deckFile({fourShown, twelve})));
    EXPECT_EQ(ppt->getOptionCountbySlidePos(0), 4);
    EXPECT_EQ(ppt->getAllOptionCountbySlidePos(0), 10);
    EXPECT_EQ(ppt->getAllOptionCountbySlidePos(1), 10);
    EXPECT_EQ(ppt->getCountOfTextBoxBySlidePos(1), 15);
    EXPECT_EQ(ppt->readTextBoxNamebySliderPos(1, 2), "Xpert");
    EXPECT_EQ(ppt->getOptionCountbySlidePos(7), 0);

    ppt->setTextBoxVisible(true, "OptionE", 0);
    EXPECT_EQ(ppt->getOptionCountbySlidePos(0), 5);
    ppt->setTextBoxVisible(false, "OptionA", 0);
    EXPECT_EQ(ppt->getOptionCountbySlidePos(0), 4);
}

TEST_F(PresentationDriver, OvalMarksAreShownAndHiddenTogether)
{
    ASSERT_TRUE(ppt->openPPT(deckFile({{{"Oval 3", ""}, {"Oval", ""}, {"Ova", ""}, {"Ovalx", "", false}}})));
    ppt->setOvalVisible(false, 0);
    const QList<PptxPresentation::Shape> hidden = ppt->presentation()->shapes(0);
    EXPECT_FALSE(hidden[0].visible);
    EXPECT_FALSE(hidden[1].visible);
    EXPECT_TRUE(hidden[2].visible); // "Ova" is too short to be a mark
    ppt->setOvalVisible(true, 0);
    for (const int i : {0, 1, 3})
        EXPECT_TRUE(ppt->presentation()->shapes(0)[i].visible);
}

TEST_F(PresentationDriver, ShowStepsAreExactAndCodesOutsideTheTableOnlyBringTheShowForward)
{
    ASSERT_TRUE(ppt->openPPT(deckFile(threeTitledSlides())));
    QSignalSpy moves(ppt, &PPTEditorMSO::showPositionChanged);
    // Asking for the slide on show starts the show at the first slide.
    EXPECT_EQ(ppt->getIndexOfShowPPT(), 1);
    ASSERT_TRUE(ppt->showWindow());
    EXPECT_TRUE(ppt->showWindow()->isVisible());
    EXPECT_TRUE(ppt->showWindow()->flags().testFlag(Qt::FramelessWindowHint));
    ppt->setPPT(3);
    ppt->setPPT(3);
    EXPECT_EQ(ppt->getIndexOfShowPPT(), 3);
    ppt->setPPT(3);
    EXPECT_EQ(ppt->getIndexOfShowPPT(), 3);
    ppt->setPPT(-1);
    ppt->setPPT(5);
    EXPECT_EQ(ppt->getIndexOfShowPPT(), 3);
    ppt->setPPT(4);
    EXPECT_EQ(ppt->getIndexOfShowPPT(), 2);
    ppt->setPPT(2);
    EXPECT_EQ(ppt->showWindow()->slideIndex(), 2);
    ppt->setPPT(1);
    EXPECT_EQ(ppt->getIndexOfShowPPT(), 1);
    // The presenter's keys go through the same steps.
    ppt->showWindow()->setStepHandler({});
    ppt->setPPT(0);
    EXPECT_FALSE(ppt->isShowRunning());
    EXPECT_FALSE(ppt->showWindow()->isVisible());
    EXPECT_EQ(moves.last().at(0).toInt(), 0);

    ppt->closePresentations();
    EXPECT_FALSE(ppt->setPPT(1));
    EXPECT_EQ(ppt->getIndexOfShowPPT(), -1);
}

TEST_F(PresentationDriver, TemplateNamedDeckIsNoUserPresentation)
{
    ASSERT_TRUE(ppt->openPPT(deckFile(threeTitledSlides(), QStringLiteral("template.pptx"))));
    EXPECT_EQ(ppt->getCountOfSlide(), -1);
    EXPECT_FALSE(ppt->IsPPTRuningForOpen());
    ASSERT_TRUE(ppt->openPPT(deckFile(threeTitledSlides())));
    EXPECT_EQ(ppt->getCountOfSlide(), 3);
}

TEST_F(PresentationDriver, SavingAnswersWhatReallyHappened)
{
    ASSERT_TRUE(ppt->newPPT(QString()));
    ASSERT_TRUE(ppt->copySlideByIndex(0));
    ASSERT_TRUE(ppt->pasteSlide());
    EXPECT_TRUE(ppt->isModified());
    // Never saved: the save panel is asked; giving up there is no save, and no failure either.
    QString why;
    EXPECT_EQ(ppt->savePPT(&why), PPTEditor::SaveResult::Failed);
    QStringList asked;
    ppt->setSavePathProvider([&](const QString &suggested) {
        asked << suggested;
        return QString();
    });
    why.clear();
    EXPECT_EQ(ppt->savePPT(&why), PPTEditor::SaveResult::Cancelled);
    EXPECT_TRUE(why.isEmpty());
    EXPECT_EQ(ppt->quitPPTAndSave(&why), PPTEditor::SaveResult::Cancelled);
    EXPECT_TRUE(ppt->hasPresentation()) << "a deck whose save was cancelled stays open";
    EXPECT_TRUE(ppt->isModified());
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked.first().endsWith(".pptx"));

    const QString target = dir.filePath("Lesson");
    ppt->setSavePathProvider([&](const QString &) { return target; });
    ASSERT_EQ(ppt->savePPT(&why), PPTEditor::SaveResult::Saved) << why.toStdString();
    EXPECT_EQ(ppt->fileName(), target + ".pptx");
    EXPECT_FALSE(ppt->isModified());

    // A write that fails keeps the deck unsaved and says why; the file on disk stays as it was.
    QFile saved(ppt->fileName());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray onDisk = saved.readAll();
    saved.close();
    ASSERT_TRUE(ppt->writeTextBoxByName("Qu_Title", 0, "changed"));
    AtomicFile::setFailureHook([](const QString &) { return true; });
    EXPECT_EQ(ppt->savePPT(&why), PPTEditor::SaveResult::Failed);
    EXPECT_TRUE(why.contains("Lesson.pptx"));
    EXPECT_TRUE(ppt->isModified());
    // Quitting with saving keeps a deck that could not be saved.
    EXPECT_EQ(ppt->quitPPTAndSave(&why), PPTEditor::SaveResult::Failed);
    EXPECT_TRUE(ppt->hasPresentation());
    AtomicFile::setFailureHook({});
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), onDisk);
}

TEST_F(PresentationDriver, AFailedOpenKeepsTheOpenDeck)
{
    ASSERT_TRUE(ppt->openPPT(deckFile(threeTitledSlides())));
    QString why;
    EXPECT_FALSE(ppt->openPPT(dir.filePath("missing.pptx"), &why));
    QFile junk(dir.filePath("junk.pptx"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("PK but not really");
    junk.close();
    EXPECT_FALSE(ppt->openPPT(junk.fileName(), &why));
    EXPECT_TRUE(why.contains("junk.pptx"));
    EXPECT_EQ(ppt->getCountOfSlide(), 3);
    EXPECT_EQ(ppt->readTextBoxByName("Qu_Title", 2), "Three");
}

// ---- with LibreOffice ----

TEST_F(PresentationDriver, ADeckWrittenByTheDriverConvertsToOnePageASlideWithItsTexts)
{
    ASSERT_FALSE(OfficeConverter::officeProgram().isEmpty()) << "LibreOffice (libreoffice-impress-nogui) is needed";
    ASSERT_TRUE(ppt->newPPT(QString()));
    const QStringList titles{"Which planet is largest?", "Water boils at 100 degrees", "Name the capital of France"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(ppt->copySlideByIndex(i == 1 ? 0 : 4));
        ASSERT_TRUE(ppt->pasteSlide());
        ASSERT_TRUE(ppt->writeTextBoxByName("Qu_Title", i, titles[i]));
    }
    ppt->writeTextBoxByName("OptionC", 2, "Paris");
    // The settings beside the slide are not on the page.
    ppt->writeTextBoxByName("answer", 2, "SECRETANSWER");
    const QString path = dir.filePath("quiz.pptx");
    ppt->setSavePathProvider([&](const QString &) { return path; });
    QString why;
    ASSERT_EQ(ppt->savePPT(&why), PPTEditor::SaveResult::Saved) << why.toStdString();

    QString pdf;
    ASSERT_TRUE(OfficeConverter::convert(path, dir.path(), "pdf", &pdf, &why)) << why.toStdString();
    EXPECT_EQ(SlideDecks::pdfPageCount(pdf), 3);
    const QString text = SlideDecks::pdfText(pdf);
    for (const QString &t : titles)
        EXPECT_TRUE(text.contains(t)) << t.toStdString();
    EXPECT_TRUE(text.contains("Paris"));
    EXPECT_FALSE(text.contains("SECRETANSWER"));

    // The show loads the same pages in its own window.
    QSignalSpy done(ppt->converter(), &OfficeConverter::finished);
    ASSERT_TRUE(ppt->setPPT(1));
    ASSERT_TRUE(done.wait(120000));
    EXPECT_TRUE(done.last().at(0).toBool()) << done.last().at(2).toString().toStdString();
    EXPECT_EQ(ppt->showWindow()->pageCount(), 3);
    EXPECT_FALSE(ppt->showWindow()->currentPage().isNull());
}

TEST_F(PresentationDriver, AnOldPptIsOpenedThroughAConversionAndSavedAsANewPptx)
{
    ASSERT_FALSE(OfficeConverter::officeProgram().isEmpty()) << "LibreOffice (libreoffice-impress-nogui) is needed";
    // Made once by LibreOffice from Lesson.pptx beside it: no conversion runs before Pollix's own.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("old")));
    const QString ppt97 = dir.filePath("old/Lesson.ppt");
    ASSERT_TRUE(QFile::copy(QStringLiteral(POLLIX_TEST_DATA_DIR "/presentation/old-ppt/Lesson.ppt"), ppt97));
    QString why;
    ASSERT_TRUE(ppt->openPPT(ppt97, &why)) << why.toStdString();
    EXPECT_EQ(ppt->getCountOfSlide(), 2);
    EXPECT_TRUE(ppt->fileName().isEmpty());
    QString suggested;
    ppt->setSavePathProvider([&](const QString &s) {
        suggested = s;
        return dir.filePath("old/Lesson.pptx");
    });
    ASSERT_EQ(ppt->savePPT(&why), PPTEditor::SaveResult::Saved) << why.toStdString();
    EXPECT_TRUE(suggested.endsWith("old/Lesson.pptx"));
    EXPECT_TRUE(QFileInfo(ppt97).isFile());

    qputenv("POLLIX_SOFFICE", dir.filePath("no-office").toUtf8());
    EXPECT_FALSE(ppt->openPPT(ppt97, &why));
    EXPECT_TRUE(why.contains("LibreOffice"));
    EXPECT_EQ(ppt->getCountOfSlide(), 2);
}

// LibreOffice on a fresh profile may crash or quit at once on a machine's first start: a
// conversion that made no file is started once more, with another fresh profile, and a second
// failure is told with LibreOffice's own words. The open deck stays meanwhile.
TEST_F(PresentationDriver, AConversionThatFailsOnceIsTriedAgainAndASecondFailureSaysWhy)
{
    const QString converted = deckFile({{{"Qu_Title", "Old format"}}, {{"Qu_Title", "Second"}}}, "converted.pptx");
    QFile old(dir.filePath("Old.ppt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an old binary deck");
    old.close();
    QString why;
    for (FakeOffice::Failure how : {FakeOffice::Failure::Crash, FakeOffice::Failure::QuitWithoutOutput}) {
        const QString name = how == FakeOffice::Failure::Crash ? "crash" : "quit";
        {
            FakeOffice office(dir.filePath("once-" + name), converted, 1, how);
            ASSERT_TRUE(ppt->openPPT(old.fileName(), &why)) << why.toStdString();
            EXPECT_EQ(office.starts(), 2);
            const QStringList profiles = office.profiles();
            ASSERT_EQ(profiles.size(), 2);
            EXPECT_NE(profiles[0], profiles[1]);
            EXPECT_EQ(ppt->readTextBoxByName("Qu_Title", 1), "Second");
        }
        ASSERT_TRUE(ppt->openPPT(deckFile(threeTitledSlides())));
        FakeOffice office(dir.filePath("twice-" + name), converted, 2, how);
        EXPECT_FALSE(ppt->openPPT(old.fileName(), &why));
        EXPECT_EQ(office.starts(), 2);
        EXPECT_TRUE(why.contains(how == FakeOffice::Failure::Crash ? "ended abnormally" : "ended without converting"))
            << why.toStdString();
        EXPECT_TRUE(why.contains("the fake office fails")) << why.toStdString();
        EXPECT_TRUE(why.contains("tried twice")) << why.toStdString();
        EXPECT_EQ(ppt->getCountOfSlide(), 3);
    }

    // The slide show's pages are made the same way.
    for (int failures : {1, 2}) {
        FakeOffice office(dir.filePath(QStringLiteral("show-%1").arg(failures)), converted, failures);
        OfficeConverter converter;
        QSignalSpy done(&converter, &OfficeConverter::finished);
        converter.renderPdf(QByteArray("slides") + QByteArray::number(failures));
        ASSERT_TRUE(done.wait(10000));
        ASSERT_EQ(done.size(), 1);
        EXPECT_EQ(office.starts(), 2);
        EXPECT_EQ(done.last().at(0).toBool(), failures == 1);
        if (failures == 2) {
            EXPECT_TRUE(done.last().at(2).toString().contains("ended abnormally"));
        }
    }
}

// Outside its work folder the converter changes nothing by a name: a file under the output's name
// in the caller's folder is LibreOffice's to replace, never removed, and never taken for the
// output of a conversion that wrote none.
TEST_F(PresentationDriver, AFileUnderTheOutputsNameIsNeitherRemovedNorTakenForTheConversion)
{
    const QString converted = deckFile({{{"Qu_Title", "Converted"}}}, "converted.pptx");
    const auto put = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    const auto bytesOf = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QString input = dir.filePath("Lesson.ppt");
    const QString output = dir.filePath("Lesson.pptx");
    put(input, "an old binary deck");
    put(output, "left from before");
    QString made, why;
    {
        FakeOffice office(dir.filePath("fails"), converted, 2, FakeOffice::Failure::QuitWithoutOutput);
        EXPECT_FALSE(OfficeConverter::convert(input, dir.path(), "pptx", &made, &why));
        EXPECT_EQ(office.starts(), 2);
    }
    EXPECT_EQ(bytesOf(output), QByteArray("left from before"));
    FakeOffice office(dir.filePath("works"), converted);
    ASSERT_TRUE(OfficeConverter::convert(input, dir.path(), "pptx", &made, &why)) << why.toStdString();
    EXPECT_EQ(made, output);
    EXPECT_EQ(bytesOf(output), bytesOf(converted));
}

TEST_F(PresentationDriver, WithoutLibreOfficeTheShowStillStepsAndSaysWhy)
{
    qputenv("POLLIX_SOFFICE", dir.filePath("no-office").toUtf8());
    ASSERT_TRUE(ppt->openPPT(deckFile(threeTitledSlides())));
    QSignalSpy done(ppt->converter(), &OfficeConverter::finished);
    ASSERT_TRUE(ppt->setPPT(1));
    ASSERT_TRUE(done.size() == 1 || done.wait(5000));
    EXPECT_FALSE(done.last().at(0).toBool());
    ppt->setPPT(3);
    EXPECT_EQ(ppt->getIndexOfShowPPT(), 2);
    EXPECT_FALSE(ppt->showWindow()->hasPages());
}
