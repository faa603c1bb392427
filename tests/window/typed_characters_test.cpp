// Text input events to the codes the key handler receives.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "window/event_filter.h"

namespace {

using Codes = std::vector<std::uint16_t>;

TEST(TypedCharacters, TheControlCharactersArriveAsTheirCodes) {
    EXPECT_EQ(typed_character_codes(" "), Codes{32});
    EXPECT_EQ(typed_character_codes(",./<>"), (Codes{44, 46, 47, 60, 62}));
    EXPECT_EQ(typed_character_codes(""), Codes{});
}

TEST(TypedCharacters, CharactersOfOtherLayoutsKeepTheir16BitCodes) {
    EXPECT_EQ(typed_character_codes("\xC3\xA9"), Codes{0xE9});               // e acute
    EXPECT_EQ(typed_character_codes("\xE2\x82\xAC,"), (Codes{0x20AC, 44}));  // euro sign, comma
}

TEST(TypedCharacters, CharactersBeyond16BitsAreDropped) {
    EXPECT_EQ(typed_character_codes("\xF0\x9F\x98\x80."), Codes{46});  // an emoji, then "."
}

}  // namespace
