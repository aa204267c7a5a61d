#include "core/base/AppDelegateBase.h"
#include "core/keypad/DeviceController.h"
#include "core/store/GlobalFunctions.h"
#include "support/PollixTest.h"

using AppDelegateBaseTest = PollixTest;

TEST_F(AppDelegateBaseTest, TheRoomsBelowTheDelegateReachItsFoldersAndItsReceiverModel)
{
    AppDelegateBase *base = AppDelegateBase::getAppDelegate();
    ASSERT_EQ(base, static_cast<AppDelegateBase *>(app()));
    EXPECT_EQ(GlobalFunctions::pathInDataFolder("Teacher.xml"), home() + "Data/Teacher.xml");
    EXPECT_EQ(GlobalFunctions::classXmlDatabasePath(), home() + "Data/Classes");

    EXPECT_EQ(base->currentDeviceType(), -1);
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    EXPECT_EQ(base->currentDeviceType(), 3);
}

TEST_F(AppDelegateBaseTest, OnlyTheRegisteredDelegateGoingAwayEndsTheRegistration)
{
    {
        Orvenda_AppDelegate other(home() + "other");
        EXPECT_EQ(other.strDataFilePath(), home() + "other/Data/");
    }
    EXPECT_EQ(AppDelegateBase::getAppDelegate(), static_cast<AppDelegateBase *>(app()));

    auto second = std::make_unique<Orvenda_AppDelegate>(home() + "second");
    Orvenda_AppDelegate::setAppDelegate(second.get());
    EXPECT_EQ(Orvenda_AppDelegate::getAppDelegate(), second.get());
    EXPECT_EQ(GlobalFunctions::pathInDataFolder("Teacher.xml"), home() + "second/Data/Teacher.xml");

    second.reset();
    EXPECT_EQ(AppDelegateBase::getAppDelegate(), nullptr);
    EXPECT_EQ(Orvenda_AppDelegate::getAppDelegate(), nullptr);
    // Without a delegate the stores have no folder to write in, rather than a stale one.
    EXPECT_EQ(GlobalFunctions::pathInDataFolder("Teacher.xml"), QString());
}
