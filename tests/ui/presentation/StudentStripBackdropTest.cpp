#include "support/PollixTest.h"
#include "ui/presentation/PPTBaffle.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

TEST(StudentStripBackdrop, LineNamesTheTestAndAShortTitle)
{
    EXPECT_EQ(PPTBaffle::shownTitle("/Users/t/Decks/Biology Unit Seven Review.pptx"), "Biology Unit Seven R...");
    EXPECT_EQ(PPTBaffle::shownTitle("Quiz.final.pptx"), "Quiz");
    EXPECT_EQ(PPTBaffle::shownTitle("Exactly twenty chars.pptx"), "Exactly twenty chars");
    EXPECT_EQ(PPTBaffle::shownTitle(""), "");
    PPTBaffle baffle;
    baffle.setMessageID("42", "/home/t/Week 3.final.pptx");
    EXPECT_EQ(baffle.txtMessage->text(), "ID:42     Title:Week 3");
    EXPECT_EQ(baffle.geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(baffle.palette().color(QPalette::Window).red(), 229);
}
