#include "core/keypad/DeviceController.h"
#include "platform/PPTEditorMSO.h"
#include "support/PollixTest.h"
#include "support/SlideDecks.h"
#include "ui/app/TabController.h"
#include "ui/run/ActivityWindowOpener.h"

// Until the slide-show run window exists, a Start over a deck is the show itself: the main window
// steps aside while the deck is on show and comes back when the teacher ends it.
TEST_F(PollixTest, StartedDeckShowHandsTheScreenBackWhenItEnds)
{
    TabController::resetHooks();
    SlideDecks::quietMainWindow();
    ActivityWindowOpener::install();
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    TabController tab;
    tab.awakeFromNib();
    tab.show();
    PPTEditorMSO *ppt = PPTEditorMSO::shareManager();
    const QString deck = home() + "Deck.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({{{"Qu_Title", "One"}}, {{"Qu_Title", "Two"}}}, deck));
    ASSERT_TRUE(ppt->openPPT(deck));
    ASSERT_TRUE(ppt->setPPT(1));

    TabController::StartRequest r;
    r.kind = TabController::StartRequest::Presentation;
    tab.hide();
    TabController::hooks().startActivity(&tab, r);
    EXPECT_FALSE(tab.isVisible());
    ppt->setPPT(3);
    EXPECT_FALSE(tab.isVisible());
    ppt->setPPT(0);
    EXPECT_TRUE(tab.isVisible());
    // A later show does not bring it back again by itself.
    tab.hide();
    ppt->setPPT(1);
    ppt->setPPT(0);
    EXPECT_FALSE(tab.isVisible());
    TabController::resetHooks();
}
