#include <gtest/gtest.h>

#include "setup/command_line.h"

namespace {

TEST(CommandTail, FollowsTheProgramNameRules) {
    struct Case {
        const char* name;
        const char* commandLine;
        const char* tail;
    };
    const Case cases[] = {
        {"quoted name", "\"C:\\Program Files\\setup.exe\" -argv0 x", "-argv0 x"},
        {"quoted name, no tail", "\"C:\\setup.exe\"", ""},
        {"quoted name runs into the tail", "\"C:\\a b\"c d", "c d"},
        {"unclosed quote takes the whole line", "\"C:\\setup.exe -argv0 x", ""},
        {"unquoted name", "setup.exe  \t -argv0 D:\\dl\\setup.exe", "-argv0 D:\\dl\\setup.exe"},
        {"bytes above 127 belong to the name", "set\xe9\x81up.exe tail", "tail"},
        {"control characters are skipped", "setup.exe\x01\x1f\x20word", "word"},
        {"tail keeps its own blanks", "setup.exe a  b ", "a  b "},
        {"empty line", "", ""},
    };
    for (const Case& c : cases) EXPECT_STREQ(CommandTail(c.commandLine), c.tail) << c.name;
}

}  // namespace
