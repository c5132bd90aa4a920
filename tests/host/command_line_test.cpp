#include <gtest/gtest.h>

#include <string.h>

#include <string>

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

namespace {

TEST(Argv0Switch, NamesTheFileAfterTheSwitch) {
    const std::string name300(300, 'n');
    const std::string switch300 = "-argv0 " + name300;
    struct Case {
        const char* name;
        std::string tail;
        std::string file;
    };
    const Case cases[] = {
        {"empty tail", "", ""},
        {"switch alone", "-argv0", ""},
        {"switch and blanks", "-argv0   ", ""},
        {"upper case, three blanks", "-ARGV0   D:\\dl\\setup.exe", "D:\\dl\\setup.exe"},
        {"no blank needed", "-argv0x", "x"},
        {"leading blanks", "   -Argv0 a.zip", "a.zip"},
        {"quotes and further words kept", "-argv0 \"C:\\My Files\\a b.zip\" more", "\"C:\\My Files\\a b.zip\" more"},
        {"another word first", "/q -argv0 a.zip", ""},
        {"only at the start", "x-argv0 a.zip", ""},
        {"shorter than the switch", "-arg", ""},
        {"tabs are no blanks here", "\t-argv0 a", ""},
        {"cut to 259 characters", switch300, name300.substr(0, 259)},
    };
    for (const Case& c : cases) {
        char file[260];
        memset(file, 'X', sizeof file);
        ReadArgv0Switch(c.tail.c_str(), file, sizeof file);
        EXPECT_EQ(std::string(file), c.file) << c.name;
    }
}

}  // namespace
