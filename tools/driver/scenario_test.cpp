// The scenario reader: values as the steps will see them, and the errors that
// stop a scenario before its first step.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include "scenario.h"

namespace {

Scenario gScenario;

const Placeholder kPlaceholders[] = {{"BIN", "Z:\\bin"}, {"SHOTS", nullptr}};

bool Parse(const char* source, ParseError& error) {
    return ParseScenario(source, strlen(source), kPlaceholders, 2, gScenario, error);
}

struct ValueCase {
    const char* source;
    Key key;
    const char* expected;
    size_t expectedLength;
};

#define VALUE_CASE(source, key, literal) {source, key, literal, sizeof(literal) - 1}

const ValueCase kValueCases[] = {
    VALUE_CASE("window text=\"a\\nb\\tc\\rd\"", Key::Text, "a\nb\tc\rd"),
    VALUE_CASE("window text=\"say \\\"hi\\\" \\\\ there\"", Key::Text, "say \"hi\" \\ there"),
    VALUE_CASE("window text=\"\\x41\\x82\\xa0\"", Key::Text, "A\x82\xa0"),
    VALUE_CASE("window caption=\"\"", Key::Caption, ""),
    VALUE_CASE("window caption=Plain", Key::Caption, "Plain"),
    // Bare values keep backslashes: no escapes outside quotes.
    VALUE_CASE("start cmd=C:\\SETUP.EXE", Key::Cmd, "C:\\SETUP.EXE"),
    // Placeholders expand after escapes, so the folder's backslashes stay.
    VALUE_CASE("start cmd=\"%BIN%\\\\SETUP.EXE /q\"", Key::Cmd, "Z:\\bin\\SETUP.EXE /q"),
    VALUE_CASE("start cmd=%bin%\\x.exe", Key::Cmd, "Z:\\bin\\x.exe"),
    VALUE_CASE("window text=\"100% done, 50%% left\"", Key::Text, "100% done, 50% left"),
    VALUE_CASE("window text=\"%FD_TEST_WORD% and %\"", Key::Text, "fardel and %"),
    VALUE_CASE("window text=\"%%BIN%%\"", Key::Text, "%BIN%"),
    VALUE_CASE("window text=\"a # b\" # comment", Key::Text, "a # b"),
    VALUE_CASE("press id=0xFFFF", Key::Id, "0xFFFF"),
    VALUE_CASE("window buttons=", Key::Buttons, ""),
};

TEST(ScenarioValues, AreUnescapedAndSubstituted) {
    SetEnvironmentVariableA("FD_TEST_WORD", "fardel");
    for (const ValueCase& c : kValueCases) {
        ParseError error;
        ASSERT_TRUE(Parse(c.source, error)) << c.source << ": " << error.message.c_str();
        ASSERT_EQ(gScenario.count, 1) << c.source;
        const Step& step = gScenario.steps[0];
        ASSERT_TRUE(Has(step, c.key)) << c.source;
        EXPECT_EQ(LengthOf(step, c.key), c.expectedLength) << c.source;
        EXPECT_EQ(memcmp(ValueOf(gScenario, step, c.key), c.expected, c.expectedLength), 0) << c.source;
    }
}

TEST(ScenarioValues, StepsKeepTheirLineAndSource) {
    const char* source =
        "# heading\r\n"
        "\r\n"
        "  start cmd=a.exe   \r\n"
        "window caption=X icon=hand\n"
        "\t# indented comment\n"
        "exit code=any";
    ParseError error;
    ASSERT_TRUE(Parse(source, error)) << error.message.c_str();
    ASSERT_EQ(gScenario.count, 3);
    EXPECT_EQ(gScenario.steps[0].verb, Verb::Start);
    EXPECT_EQ(gScenario.steps[0].line, 3);
    EXPECT_STREQ(ValueOf(gScenario, gScenario.steps[0], Key::Cmd), "a.exe");
    EXPECT_EQ(gScenario.steps[1].verb, Verb::Window);
    EXPECT_EQ(gScenario.steps[1].line, 4);
    EXPECT_STREQ(SourceOf(gScenario, gScenario.steps[1]), "window caption=X icon=hand");
    EXPECT_FALSE(Has(gScenario.steps[1], Key::Text));
    EXPECT_EQ(gScenario.steps[2].verb, Verb::Exit);
    EXPECT_EQ(gScenario.steps[2].line, 6);
}

struct ErrorCase {
    const char* source;
    int line;
    const char* part;  // expected in the message
};

const ErrorCase kErrorCases[] = {
    {"sleep ms=1\nclick id=1", 2, "unknown step 'click'"},
    {"window colour=red", 1, "unknown key 'colour'"},
    {"sleep ms=1 id=3", 1, "sleep does not take id="},
    {"press how=click", 1, "missing id="},
    {"type id=3", 1, "missing text="},
    {"window caption=a caption=b", 1, "caption= given twice"},
    {"window caption=\"open", 1, "unterminated"},
    {"window caption=\"C:\\FARDEL\"", 1, "unknown escape \\F"},
    {"window text=\"\\x4\"", 1, "two hex digits"},
    {"window caption", 1, "expected key=value"},
    {"window caption=\"a\"b", 1, "blank expected"},
    {"sleep ms=5s", 1, "ms needs a number"},
    {"press id=0x", 1, "id needs a number"},
    {"window timeout=4294967296", 1, "timeout needs a number"},
    {"exit code=ok", 1, "code needs a number or 'any'"},
    {"window icon=smiley", 1, "bad value icon=smiley"},
    {"control id=1 state=on", 1, "bad value state=on"},
    {"file path=x state=enabled", 1, "bad value state=enabled"},
    {"window buttons=1,,2", 1, "buttons needs numbers"},
    {"window buttons=1,ok", 1, "buttons: ok is not a number"},
    {"start cmd=%NO_SUCH_FD_VARIABLE%", 1, "unknown placeholder %NO_SUCH_FD_VARIABLE%"},
    {"shot file=%SHOTS%\\a.bmp", 1, "%SHOTS% is used but was not given"},
};

TEST(ScenarioErrors, NameTheLineAndTheFault) {
    for (const ErrorCase& c : kErrorCases) {
        ParseError error;
        EXPECT_FALSE(Parse(c.source, error)) << c.source;
        EXPECT_EQ(error.line, c.line) << c.source;
        EXPECT_NE(strstr(error.message.c_str(), c.part), nullptr) << c.source << " gave: " << error.message.c_str();
    }
}

TEST(ScenarioErrors, TooManyStepsAreRefused) {
    static char source[kMaxSteps * 12 + 64];
    size_t used = 0;
    for (int i = 0; i <= kMaxSteps; ++i) used += snprintf(source + used, sizeof source - used, "sleep ms=1\n");
    ParseError error;
    EXPECT_FALSE(ParseScenario(source, used, kPlaceholders, 2, gScenario, error));
    EXPECT_EQ(error.line, kMaxSteps + 1);
}

struct NumberCase {
    const char* text;
    bool ok;
    uint32_t value;
};

const NumberCase kNumberCases[] = {
    {"0", true, 0},          {"161", true, 161},       {"0x440", true, 0x440},        {"0XFFFF", true, 0xFFFF},
    {"4294967295", true, 0xFFFFFFFFu}, {"0xFFFFFFFF", true, 0xFFFFFFFFu}, {"4294967296", false, 0},
    {"0x100000000", false, 0}, {"", false, 0},         {"0x", false, 0},              {"-1", false, 0},
    {"12a", false, 0},       {"0x1g", false, 0},
};

TEST(ScenarioNumbers, AreDecimalOrHexWithin32Bits) {
    for (const NumberCase& c : kNumberCases) {
        uint32_t value = 7;
        EXPECT_EQ(ParseNumber(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

}  // namespace
