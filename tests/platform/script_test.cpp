// The replay script parser: what it accepts, and that it refuses anything
// else with the line named.
#include "platform/script.h"

#include <gtest/gtest.h>

namespace {

std::vector<ScriptStep> parseOk(const std::string& text)
{
    std::vector<ScriptStep> steps;
    std::string error;
    EXPECT_TRUE(parseReplayScript(text, steps, error)) << error;
    return steps;
}

std::string parseError(const std::string& text)
{
    std::vector<ScriptStep> steps;
    std::string error;
    EXPECT_FALSE(parseReplayScript(text, steps, error)) << text;
    EXPECT_TRUE(steps.empty());
    return error;
}

} // namespace

TEST(ReplayScript, ReadsKeysPadsRepeatsAndEvents)
{
    auto steps = parseOk("# a game\n"
                         "\n"
                         "RETURN\n"
                         "40* RIGHT SPACE   # strafe and fire\n"
                         ".\n"
                         "PAD=-2001,32767 UP\n"
                         "@FOCUS-LOST @DEVICE-LOST=3\r\n"
                         "  A Z F12 ESCAPE DOWN LEFT");
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[0].keysDown, std::vector<uint8_t>{0x1C});
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[1].repeat, 40);
    EXPECT_EQ(steps[1].keysDown, (std::vector<uint8_t>{0xCD, 0x39}));
    EXPECT_TRUE(steps[2].keysDown.empty());
    EXPECT_FALSE(steps[2].padSet);
    EXPECT_TRUE(steps[3].padSet);
    EXPECT_EQ(steps[3].padX, -2001);
    EXPECT_EQ(steps[3].padY, 32767);
    EXPECT_EQ(steps[3].keysDown, std::vector<uint8_t>{0xC8});
    EXPECT_EQ(steps[4].events, (std::vector<ScriptEvent>{ScriptEvent::FocusLost, ScriptEvent::DeviceLost}));
    EXPECT_EQ(steps[4].deviceLostTests, 3);
    EXPECT_EQ(steps[5].keysDown, (std::vector<uint8_t>{0x1E, 0x2C, 0x58, 0x01, 0xD0, 0xCB}));
}

TEST(ReplayScript, EmptyScriptIsFine)
{
    EXPECT_TRUE(parseOk("").empty());
    EXPECT_TRUE(parseOk("# nothing\n\n   \n").empty());
}

TEST(ReplayScript, RefusesMalformedLinesNamingThem)
{
    EXPECT_NE(parseError("RETURN\nSPACEBAR\n").find("line 2"), std::string::npos);
    EXPECT_NE(parseError("return\n").find("unknown key"), std::string::npos);
    EXPECT_NE(parseError(".\n.\n0* SPACE\n").find("line 3"), std::string::npos);
    EXPECT_NE(parseError("-1* SPACE").find("repeat"), std::string::npos);
    EXPECT_NE(parseError("5*\n").find("line 1"), std::string::npos);
    EXPECT_NE(parseError("PAD=40000,0").find("stick"), std::string::npos);
    EXPECT_NE(parseError("PAD=1").find("stick"), std::string::npos);
    EXPECT_NE(parseError("PAD=1,x").find("stick"), std::string::npos);
    EXPECT_NE(parseError(". SPACE").find("no keys"), std::string::npos);
    EXPECT_NE(parseError("@EXPLODE").find("unknown event"), std::string::npos);
    EXPECT_NE(parseError("@DEVICE-LOST=-1").find("unknown event"), std::string::npos);
    EXPECT_NE(parseError("SPACE 3* RIGHT").find("unknown key"), std::string::npos);
    EXPECT_NE(parseError(std::string("SPA\0CE", 6)).find("line 1"), std::string::npos);
    EXPECT_NE(parseError("99999999999999999999* .").find("repeat"), std::string::npos);
}
