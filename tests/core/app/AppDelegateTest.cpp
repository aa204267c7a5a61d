#include "support/PollixTest.h"

using AppDelegateTest = PollixTest;

TEST_F(AppDelegateTest, PathsAreRootedInTheApplicationFolder)
{
    EXPECT_EQ(app()->strPollixFilePath(), home());
    EXPECT_EQ(app()->strDataFilePath(), home() + "Data/");
    EXPECT_EQ(app()->strClassXmlDataFilePath(), home() + "Data/Classes");
    EXPECT_EQ(app()->strQuizXmlDataFilePath(), home() + "Data/Quiz");
    EXPECT_EQ(app()->strCourseGradeFilePath(), home() + "Data/CourseGrade");
    EXPECT_EQ(app()->strStandardFilePath(), home() + "Template.xml");
    EXPECT_EQ(Orvenda_AppDelegate::getAppDelegate(), app());
    EXPECT_EQ(Orvenda_AppDelegate::defaultApplicationFolder(), QString::fromUtf8(qgetenv("POLLIX_HOME")));
}

TEST_F(AppDelegateTest, StoredActivityAndQuestionCodes)
{
    const QStringList modes{"1", "2", "3", "4", "5", "6", "NULL", "15", "13", "20", "21", "22", "NULL", "NULL", "NULL"};
    for (int i = 0; i < modes.size(); ++i)
        EXPECT_EQ(Orvenda_AppDelegate::getActModeByNo(i), modes[i]) << "activity " << i;
    EXPECT_EQ(Orvenda_AppDelegate::getActModeByNo(-1), "NULL");

    EXPECT_EQ(Orvenda_AppDelegate::getActNoByName("HomeWork"), "3");
    EXPECT_EQ(Orvenda_AppDelegate::getActNoByName("Homework"), "Homework");
    EXPECT_EQ(Orvenda_AppDelegate::getActNoByName("Vote"), "15");
    EXPECT_EQ(Orvenda_AppDelegate::getActNoByName("vote"), "vote");

    EXPECT_EQ(Orvenda_AppDelegate::getQueTypeByNo(0), "1");
    EXPECT_EQ(Orvenda_AppDelegate::getQueTypeByNo(3), "4");
    EXPECT_EQ(Orvenda_AppDelegate::getQueTypeByNo(4), "NULL");
    EXPECT_EQ(Orvenda_AppDelegate::getQueTypeByNo(5), "5");
    EXPECT_EQ(Orvenda_AppDelegate::getMachineTypeByNo(4), "4");
    EXPECT_EQ(Orvenda_AppDelegate::getMachineTypeByNo(-1), "NULL");
    EXPECT_EQ(Orvenda_AppDelegate::getMachineTypeByNo(5), "NULL");
}

TEST_F(AppDelegateTest, ActivityListsAndNames)
{
    EXPECT_EQ(Orvenda_AppDelegate::ActivityArvelIndividual(), (QList<int>{0, 1, 3, 4, 5, 7, 8}));
    EXPECT_EQ(Orvenda_AppDelegate::ActivityCorvelIndividual(), (QList<int>{0, 1, 2, 3, 4, 5, 7, 8}));
    EXPECT_EQ(Orvenda_AppDelegate::ActivityCorvelFreeStyle(), (QList<int>{9, 10, 11, 12}));
    EXPECT_EQ(Orvenda_AppDelegate::ActivityCorvelFreeStyleGroup(), (QList<int>{9, 10, 11}));
    const QStringList &names = Orvenda_AppDelegate::AllActivityMode();
    ASSERT_EQ(names.size(), 15);
    EXPECT_EQ(names[2], "Homework");
    EXPECT_EQ(names[9], "Normal Quiz");
    EXPECT_EQ(names[14], "Hand Raise");
}

TEST_F(AppDelegateTest, StudentLimitAndManualWithoutReceiver)
{
    EXPECT_EQ(app()->currentDeviceType(), -1);
    EXPECT_EQ(app()->maxStudentNumberAllowed(), 400);
    EXPECT_EQ(app()->helpFilePathForDeviceType(-1), home() + "Help/User Manual of TovDravel.pdf");
    EXPECT_EQ(app()->helpFilePathForDeviceType(0), home() + "Help/User Manual of TovArvel.pdf");
    EXPECT_EQ(app()->helpFilePathForDeviceType(1), home() + "Help/User Manual of TovArvel.pdf");
    EXPECT_EQ(app()->helpFilePathForDeviceType(2), home() + "Help/User Manual of TovCorvel.pdf");
    EXPECT_EQ(app()->helpFilePathForDeviceType(4), home() + "Help/User Manual of TovBrevel.pdf");
}
