// Releasing the data files and the record manager when the window closes: every
// failure's own report. The plain shut-down is tested on the whole window.
#include <wbtrv32/btrieve.h>

#include "store_fixture.h"

namespace {

using records::TableId;

class ShutDown : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        ASSERT_TRUE(startUp());
        seam.calls.clear();
    }
};

const std::vector<std::uint16_t> kFullShutDown{B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_STOP, B_RESET};

TEST_F(ShutDown, EveryFailureIsReportedAndTheSequenceGoesOn) {
    const struct {
        std::uint16_t operation;
        std::size_t skip;
        const char* shown;
    } cases[] = {
        {B_CLOSE, 0, "Error on BCLOSE RACE: 3"},  {B_CLOSE, 1, "Error on BCLOSE Class: 3"},
        {B_CLOSE, 2, "Error on BCLOSE Spell: 3"}, {B_CLOSE, 3, "Error on Bclose MONSTER: 3"},
        {B_CLOSE, 4, "Error on BCLOSE ITEM: 3"},  {B_STOP, 0, "Error on BSTOP: 3"},
        {B_RESET, 0, "Error on BRESET: 3"},
    };
    for (const auto& tc : cases) {
        seam.calls.clear();
        dialogs.boxes.clear();
        if (&tc != cases) {  // the previous round released everything: start again
            ASSERT_TRUE(startUp());
            seam.calls.clear();
        }
        seam.failNext(tc.operation, 3, tc.skip);
        store::shutDown(store, files);
        EXPECT_EQ(seam.operations(), kFullShutDown) << tc.shown;
        EXPECT_EQ(dialogs.texts(), std::vector<QString>{QString::fromLatin1(tc.shown)});
    }
}

TEST_F(ShutDown, FilesThatAreNotOpenAreNotClosed) {
    files.block(TableId::Spells).openFlag = 0;
    store::shutDown(store, files);
    EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_STOP, B_RESET}));
}

}  // namespace
