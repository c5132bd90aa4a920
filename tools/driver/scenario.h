#pragma once

#include <stddef.h>
#include <stdint.h>

#include "fixed_text.h"

// A scenario is parsed completely before the first step runs, so a typo on
// the last line is reported before a slow program start.

enum class Verb : uint8_t {
    Start, Run, Spawn, Exit, Kill, Window, Press, Type, Control,
    Shot, Sleep, NoBox, Env, WaitFile, Touch, File,
};

enum class Key : uint8_t {
    Cmd, Dir, Code, Timeout, Caption, Text, Icon, Buttons, Owner, Class, Proc, Visible,
    Id, State, Checked, Ms, How, Area, File, Name, Value, Path, Contains, Equals, Then, Until,
    Count,
};

constexpr int kKeyCount = static_cast<int>(Key::Count);
static_assert(kKeyCount <= 32, "Step::present has one bit per key");
constexpr int kMaxSteps = 512;
constexpr size_t kPoolSize = 256 * 1024;

struct ValueRef {
    uint32_t offset = 0;
    uint32_t length = 0;
};

struct Step {
    Verb verb = Verb::Sleep;
    int line = 0;
    ValueRef source;       // the line as written, for the step's report
    uint32_t present = 0;  // one bit per Key
    ValueRef values[kKeyCount];
};

struct Scenario {
    Step steps[kMaxSteps];
    int count = 0;
    char pool[kPoolSize];  // values, unescaped and substituted, each NUL-ended
    uint32_t used = 0;
};

// Names that %NAME% stands for before the process environment is asked.
struct Placeholder {
    const char* name;
    const char* value;
};

struct ParseError {
    int line = 0;
    Text<512> message;
};

bool ParseScenario(const char* source, size_t length, const Placeholder* placeholders, int placeholderCount,
                   Scenario& out, ParseError& error);

const char* VerbName(Verb verb);
const char* KeyName(Key key);

bool Has(const Step& step, Key key);
const char* ValueOf(const Scenario& scenario, const Step& step, Key key);
size_t LengthOf(const Step& step, Key key);
const char* SourceOf(const Scenario& scenario, const Step& step);

// Numbers are decimal or 0x-hex and fit 32 bits; checked at parse time.
bool ParseNumber(const char* text, uint32_t& out);
