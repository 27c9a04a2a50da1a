// Sprite names in the extras: the table listings take, naming a slot, and the names a
// listing read back brings in.
#include "CoreTestSupport.h"

using namespace kelmora;

TEST(SpriteNames, NamingASlotKeepsOnlyNamesThatCanBeStored)
{
    ProjectExtras extras;
    EXPECT_EQ(SetSpriteName(extras, 5, "boss head"), "");
    EXPECT_EQ(SetSpriteName(extras, 255, "last"), "");
    EXPECT_EQ(SetSpriteName(extras, 5, std::string(65, 'x')), "is longer than 64 bytes");
    EXPECT_EQ(SetSpriteName(extras, 6, "tab\there"), "holds a control character");
    EXPECT_EQ(SetSpriteName(extras, 256, "out"), "is not for a slot 0..255");
    EXPECT_EQ(SetSpriteName(extras, -1, "out"), "is not for a slot 0..255");
    EXPECT_EQ(extras.names, (std::map<int, std::string>{{5, "boss head"}, {255, "last"}}));

    const std::vector<std::string> table = SpriteNameTable(extras);
    ASSERT_EQ(table.size(), 256u);
    EXPECT_EQ(table[5], "boss head");
    EXPECT_EQ(table[255], "last");
    EXPECT_EQ(table[0], "");

    // An empty name takes the name away; so does it for a slot without one.
    EXPECT_EQ(SetSpriteName(extras, 5, ""), "");
    EXPECT_EQ(SetSpriteName(extras, 7, ""), "");
    EXPECT_EQ(extras.names, (std::map<int, std::string>{{255, "last"}}));
}

TEST(SpriteNames, SpritesReadBackReplaceTheNamesOfTheirSlots)
{
    ProjectExtras extras;
    extras.names = {{9, "before"}, {10, "old"}, {11, "stale"}, {12, "other"}, {254, "x"}};
    // Slot 10 is named anew, 11 loses its old name (the listing had none for it), a name
    // that cannot be stored is not taken, and slots past 255 are passed over.
    const int taken = ReplaceSpriteNames(extras, 10, {"ship", "", std::string(65, 'n')});
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(extras.names, (std::map<int, std::string>{{9, "before"}, {10, "ship"}, {254, "x"}}));
    EXPECT_EQ(ReplaceSpriteNames(extras, 254, {"a", "b", "c", "d"}), 2);
    EXPECT_EQ(SpriteName(extras, 254), "a");
    EXPECT_EQ(SpriteName(extras, 255), "b");
    EXPECT_EQ(extras.names.size(), 4u);
}
