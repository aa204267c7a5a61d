#include "EngineFixture.h"

#include "core/engine/Dravel_Vote.h"
#include "core/keypad/DeviceController.h"
#include "platform/Singleton.h"

using QuizModeDeviceTest = PollixTest;

TEST_F(QuizModeDeviceTest, AModeTakesTheDelegatesReceiverModelAndNoReceiverWithoutADelegate)
{
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    EXPECT_EQ(Dravel_Vote().deviceType(), 3);

    Orvenda_AppDelegate::setAppDelegate(nullptr);
    SingletonRegistry::resetAll();
    ASSERT_FALSE(DeviceController::exists());
    const Dravel_Vote vote;
    EXPECT_EQ(vote.deviceType(), -1);
    EXPECT_FALSE(DeviceController::exists()) << "a mode made without a delegate started receiver discovery";
}
