// BASIC V2 programs: tokenised bytes checked by hand, listing them back, and the loader's
// effect on the C64's memory.
#include "CoreTestSupport.h"

#include <cstdio>
#include <map>

using namespace kelmora;
using namespace kelmora_test;

namespace
{

std::vector<BasicLine> SmallProgram()
{
    return {{10, "FOR I=0 TO 2:READ V:POKE 832+I,V:NEXT"},
            {20, "DATA 1,2,255"},
            {30, "REM A:B \"X\""},
            {40, "data 7:?\"to\""}};
}

// What the loader's POKE statements leave in memory, and the bytes its READ loop stores.
std::map<int, int> RunLoader(const std::vector<std::string>& statements, const std::vector<int>& data)
{
    std::map<int, int> memory;
    int count = 0, bytes = 0, address = 0;
    EXPECT_EQ(std::sscanf(statements.at(0).c_str(),
                          "FOR I=0 TO %d:FOR J=0 TO %d:READ V:POKE %d+I*64+J,V:NEXT J,I", &count, &bytes,
                          &address),
              3)
        << statements[0];
    std::size_t next = 0;
    for (int i = 0; i <= count; ++i)
        for (int j = 0; j <= bytes; ++j)
            memory[address + i * 64 + j] = data.at(next++);
    for (std::size_t k = 1; k < statements.size(); ++k)
    {
        std::string rest = statements[k];
        while (!rest.empty())
        {
            const std::size_t colon = rest.find(':');
            const std::string statement = rest.substr(0, colon);
            rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
            int where = 0, value = 0;
            if (statement == "PRINT CHR$(147)") continue;
            EXPECT_EQ(std::sscanf(statement.c_str(), "POKE %d,%d", &where, &value), 2) << statement;
            EXPECT_TRUE(value >= 0 && value <= 255) << statement;
            memory[where] = value;
        }
    }
    return memory;
}

} // namespace

TEST(BasicProgram, TokenisedBytesOfASmallProgram)
{
    Bytes prg;
    ASSERT_TRUE(TokeniseBasic(SmallProgram(), kBasicStart, prg));
    const Bytes expected = {
        0x01, 0x08,                                                             // load address
        0x1F, 0x08, 0x0A, 0x00,                                                 // -> $081F, 10
        0x81, 0x20, 0x49, 0xB2, 0x30, 0x20, 0xA4, 0x20, 0x32, 0x3A,             // FOR I=0 TO 2:
        0x87, 0x20, 0x56, 0x3A,                                                 // READ V:
        0x97, 0x20, 0x38, 0x33, 0x32, 0xAA, 0x49, 0x2C, 0x56, 0x3A, 0x82, 0x00, // POKE 832+I,V:NEXT
        0x2D, 0x08, 0x14, 0x00, 0x83, 0x20, 0x31, 0x2C, 0x32, 0x2C, 0x32, 0x35,
        0x35, 0x00, // DATA 1,2,255
        0x3B, 0x08, 0x1E, 0x00, 0x8F, 0x20, 0x41, 0x3A, 0x42, 0x20, 0x22, 0x58,
        0x22, 0x00, // REM A:B "X"
        0x49, 0x08, 0x28, 0x00, 0x83, 0x20, 0x37, 0x3A, 0x99, 0x22, 0x54, 0x4F,
        0x22, 0x00,  // DATA 7:PRINT"TO"
        0x00, 0x00}; // end
    EXPECT_EQ(prg, expected);

    // Listed back as a C64 lists it; entered again it gives the same bytes.
    std::vector<BasicLine> lines;
    ASSERT_TRUE(DetokeniseBasic(prg, lines));
    ASSERT_EQ(lines.size(), 4u);
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_EQ(lines[k].number, SmallProgram()[k].number);
        EXPECT_EQ(lines[k].text, SmallProgram()[k].text);
    }
    EXPECT_EQ(lines[3].text, "DATA 7:PRINT\"TO\"");
    Bytes again;
    ASSERT_TRUE(TokeniseBasic(lines, kBasicStart, again));
    EXPECT_EQ(again, prg);
    std::vector<BasicLine> fromText;
    ASSERT_TRUE(BasicTextToLines(BasicLinesToText(lines), fromText));
    ASSERT_TRUE(TokeniseBasic(fromText, kBasicStart, again));
    EXPECT_EQ(again, prg);

    // Bytes without a text form travel as {$XX}.
    ASSERT_TRUE(TokeniseBasic({{5, "REM {$C1}{$FF}"}}, kBasicStart, prg));
    ASSERT_TRUE(DetokeniseBasic(prg, lines));
    EXPECT_EQ(lines[0].text, "REM {$C1}{$FF}");
}

TEST(BasicProgram, RefusedProgramsChangeNothing)
{
    const Bytes before = {9, 9};
    Bytes prg = before;
    EXPECT_FALSE(TokeniseBasic({{20, "END"}, {10, "END"}}, kBasicStart, prg));
    EXPECT_FALSE(TokeniseBasic({{20, "END"}, {20, "END"}}, kBasicStart, prg));
    EXPECT_FALSE(TokeniseBasic({{64000, "END"}}, kBasicStart, prg));
    EXPECT_FALSE(TokeniseBasic({{1, "REM " + std::string(251, 'A')}}, kBasicStart, prg));
    EXPECT_EQ(prg, before);

    Bytes good;
    ASSERT_TRUE(TokeniseBasic(SmallProgram(), kBasicStart, good));
    std::vector<BasicLine> lines{{1, "kept"}};
    const auto refused = [&](Bytes bytes) { return !DetokeniseBasic(bytes, lines) && lines.size() == 1; };
    EXPECT_TRUE(refused(Bytes(good.begin(), good.end() - 2)));    // no end marker
    EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + 20))); // a line cut off
    EXPECT_TRUE(refused({0x01, 0x08}));
    EXPECT_TRUE(refused(Bytes{'1', '0', ' ', 'R', 'E', 'M'}));
}

TEST(BasicProgram, LoaderFillsTheBlocksAndShowsTheSprites)
{
    BasicLoaderPlan plan;
    plan.address = 0x3000;
    plan.spriteCount = 10;
    plan.bytesPerSprite = 63;
    plan.background = 6;
    plan.multicolour1 = 2;
    plan.multicolour2 = 9;
    // Sprite 1 carries its overlay partner 2; sprites 0 and 2 are multicolour.
    plan.attributes = {0x85, 0x1E, 0x87, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    const std::vector<std::string> statements = BasicLoaderStatements(plan);
    for (const std::string& statement : statements)
        EXPECT_LE(statement.size() + 6, static_cast<std::size_t>(kBasicLineCharacters)) << statement;

    std::vector<int> data(10 * 63);
    for (std::size_t k = 0; k < data.size(); ++k)
        data[k] = static_cast<int>(k % 251);
    std::map<int, int> memory = RunLoader(statements, data);
    for (int i = 0; i < 10; ++i)
    {
        EXPECT_EQ(memory[0x3000 + i * 64], data[static_cast<std::size_t>(i * 63)]);
        EXPECT_EQ(memory[0x3000 + i * 64 + 62], data[static_cast<std::size_t>(i * 63 + 62)]);
        EXPECT_EQ(memory.count(0x3000 + i * 64 + 63), 0u); // the 64th byte is not written
    }
    EXPECT_EQ(memory[0xD021], 6);
    EXPECT_EQ(memory[0xD025], 2);
    EXPECT_EQ(memory[0xD026], 9);
    EXPECT_EQ(memory[0xD015], 0xFF);
    EXPECT_EQ(memory[0xD010], 0);
    EXPECT_EQ(memory[0xD017], 0);
    EXPECT_EQ(memory[0xD01D], 0);
    // Slot j is hardware sprite 7 - j, so that an overlay partner is drawn on top.
    int multicolour = 0;
    std::vector<int> x(8);
    for (int j = 0; j < 8; ++j)
    {
        const int h = 7 - j;
        EXPECT_EQ(memory[0x07F8 + h], 0x3000 / 64 + j);
        EXPECT_EQ(memory[0xD027 + h], plan.attributes[static_cast<std::size_t>(j)] & 15);
        x[static_cast<std::size_t>(j)] = memory[0xD000 + 2 * h];
        const int y = memory[0xD001 + 2 * h];
        EXPECT_TRUE(x[static_cast<std::size_t>(j)] >= 24 && x[static_cast<std::size_t>(j)] + 24 <= 255 + 88);
        EXPECT_TRUE(y >= 50 && y + 21 <= 250);
        if (plan.attributes[static_cast<std::size_t>(j)] & 0x80) multicolour |= 1 << h;
    }
    EXPECT_EQ(memory[0xD01C], multicolour);
    EXPECT_EQ(x[2], x[1]); // the overlay pair stands on one spot
    for (int j = 1; j < 8; ++j)
    {
        if (j != 2)
        {
            EXPECT_GE(x[static_cast<std::size_t>(j)], x[static_cast<std::size_t>(j - 1)] + 24);
        }
    }

    // Fewer than eight sprites: only those are switched on.
    plan.spriteCount = 3;
    plan.bytesPerSprite = 64;
    memory = RunLoader(BasicLoaderStatements(plan), std::vector<int>(3 * 64, 1));
    EXPECT_EQ(memory[0xD015], 0x07);
    EXPECT_EQ(memory[0x07F8 + 2], 0x3000 / 64);
    EXPECT_EQ(memory[0x3000 + 2 * 64 + 63], 1);
}

TEST(BasicProgram, LoaderPlaces)
{
    BasicLoaderPlan plan;
    const auto place = [&](int address, int count, int programEnd)
    {
        plan.address = address;
        plan.spriteCount = count;
        return CheckBasicLoaderPlace(plan, programEnd);
    };
    EXPECT_EQ(place(0x0340, 3, 0x0A00), BasicLoaderPlace::Fine);  // the tape buffer
    EXPECT_EQ(place(0x0340, 4, 0x0A00), BasicLoaderPlace::InUse); // into the screen
    EXPECT_EQ(place(0x0300, 1, 0x0A00), BasicLoaderPlace::InUse);
    EXPECT_EQ(place(0x0800, 1, 0x0A00), BasicLoaderPlace::InUse);
    EXPECT_EQ(place(0x0A00, 1, 0x0A00), BasicLoaderPlace::InUse); // the variables after the program
    EXPECT_EQ(place(0x0A40, 1, 0x0A00), BasicLoaderPlace::Fine);
    EXPECT_EQ(place(0x0FC0, 2, 0x0A00), BasicLoaderPlace::Hidden); // into the character ROM's image
    EXPECT_EQ(place(0x1800, 1, 0x0A00), BasicLoaderPlace::Hidden);
    EXPECT_EQ(place(0x2000, 256, 0x0A00), BasicLoaderPlace::Hidden);
    EXPECT_EQ(place(0x3FC0, 1, 0x0A00), BasicLoaderPlace::Fine);
    EXPECT_EQ(place(0x4000, 1, 0x0A00), BasicLoaderPlace::Hidden); // another video bank
    EXPECT_EQ(place(0x2000, 8, 0x2100), BasicLoaderPlace::InUse);
}
