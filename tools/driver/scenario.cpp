#include "scenario.h"

#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

namespace {

constexpr uint32_t Bit(Key key) { return 1u << static_cast<int>(key); }

template <typename... Keys>
constexpr uint32_t Bits(Keys... keys) {
    return (0u | ... | Bit(keys));
}

struct VerbInfo {
    Verb verb;
    const char* name;
    uint32_t required;
    uint32_t optional;
};

constexpr VerbInfo kVerbs[] = {
    {Verb::Start, "start", Bits(Key::Cmd), Bits(Key::Dir)},
    {Verb::Run, "run", Bits(Key::Cmd), Bits(Key::Dir, Key::Code, Key::Timeout)},
    {Verb::Spawn, "spawn", Bits(Key::Cmd), Bits(Key::Dir)},
    {Verb::Exit, "exit", 0, Bits(Key::Code, Key::Timeout)},
    {Verb::Kill, "kill", 0, 0},
    {Verb::Window, "window", 0,
     Bits(Key::Caption, Key::Text, Key::Icon, Key::Buttons, Key::Owner, Key::Class, Key::Proc, Key::Visible,
          Key::Timeout, Key::Then, Key::Until)},
    {Verb::Press, "press", Bits(Key::Id), Bits(Key::How)},
    {Verb::Type, "type", Bits(Key::Id, Key::Text), 0},
    {Verb::Control, "control", Bits(Key::Id), Bits(Key::Text, Key::State, Key::Checked, Key::Timeout)},
    {Verb::Shot, "shot", Bits(Key::File), Bits(Key::Area)},
    {Verb::Sleep, "sleep", Bits(Key::Ms), 0},
    {Verb::NoBox, "nobox", Bits(Key::Ms), Bits(Key::Class, Key::Proc)},
    {Verb::Env, "env", Bits(Key::Name), Bits(Key::Value)},
    {Verb::WaitFile, "waitfile", Bits(Key::Path), Bits(Key::Timeout)},
    {Verb::Touch, "touch", Bits(Key::Path), 0},
    {Verb::File, "file", Bits(Key::Path), Bits(Key::State, Key::Contains, Key::Equals)},
};

constexpr const char* kKeyNames[kKeyCount] = {
    "cmd", "dir", "code", "timeout", "caption", "text", "icon", "buttons", "owner", "class", "proc", "visible",
    "id", "state", "checked", "ms", "how", "area", "file", "name", "value", "path", "contains", "equals", "then", "until",
};

// Keys whose value must be one of a few words, per verb where it differs.
struct Choice {
    Verb verb;
    Key key;
    const char* words;  // blank-separated
};

constexpr Choice kChoices[] = {
    {Verb::Window, Key::Icon, "none error hand stop question warning exclamation info information asterisk other"},
    {Verb::Window, Key::Proc, "program any"},
    {Verb::Window, Key::Visible, "yes any"},
    {Verb::Window, Key::Then, "skip"},
    {Verb::Window, Key::Until, "match"},
    {Verb::NoBox, Key::Proc, "program any"},
    {Verb::Press, Key::How, "click command"},
    {Verb::Control, Key::State, "enabled disabled visible hidden absent"},
    {Verb::Control, Key::Checked, "yes no"},
    {Verb::Shot, Key::Area, "window screen"},
    {Verb::File, Key::State, "exists absent"},
};

bool IsNumericKey(Key key) {
    return key == Key::Timeout || key == Key::Id || key == Key::Ms;
}

bool WordIn(const char* word, const char* words) {
    size_t n = strlen(word);
    for (const char* p = words; *p != '\0';) {
        const char* end = p;
        while (*end != '\0' && *end != ' ') ++end;
        if (static_cast<size_t>(end - p) == n && memcmp(p, word, n) == 0) return true;
        p = *end == ' ' ? end + 1 : end;
    }
    return false;
}

bool IsNameChar(char c, bool first) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') return true;
    return !first && c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct Parser {
    const Placeholder* placeholders;
    int placeholderCount;
    Scenario& out;
    ParseError& error;
    int line;

    bool Fail(const char* format, const char* detail) {
        error.line = line;
        char buffer[512];
        snprintf(buffer, sizeof buffer, format, detail);
        error.message.Set(buffer);
        return false;
    }

    bool Emit(char c) {
        if (out.used >= kPoolSize - 1) return Fail("scenario too large (over %s bytes of values)", "262144");
        out.pool[out.used++] = c;
        return true;
    }

    bool EmitAll(const char* s) {
        for (; *s != '\0'; ++s) {
            if (!Emit(*s)) return false;
        }
        return true;
    }

    // %NAME% expands to a placeholder or an environment variable and %% to one
    // percent sign; a percent sign not followed by NAME% stays as it is, so
    // "100% done" needs no escape.
    bool EmitPercent(const char* raw, size_t& i, size_t n) {
        if (i + 1 < n && raw[i + 1] == '%') {
            i += 1;
            return Emit('%');
        }
        size_t j = i + 1;
        while (j < n && IsNameChar(raw[j], j == i + 1)) ++j;
        if (j == i + 1 || j >= n || raw[j] != '%') return Emit('%');
        char name[64];
        size_t len = j - i - 1;
        if (len >= sizeof name) return Fail("placeholder name too long near %%%s", "");
        memcpy(name, raw + i + 1, len);
        name[len] = '\0';
        i = j;
        for (int p = 0; p < placeholderCount; ++p) {
            if (lstrcmpiA(placeholders[p].name, name) == 0) {
                if (placeholders[p].value == nullptr) return Fail("%%%s%% is used but was not given on the command line", name);
                return EmitAll(placeholders[p].value);
            }
        }
        char value[1024];
        DWORD got = GetEnvironmentVariableA(name, value, sizeof value);
        if (got == 0 || got >= sizeof value) return Fail("unknown placeholder %%%s%%", name);
        return EmitAll(value);
    }

    // Copies one value into the pool: escapes first, then placeholders, so a
    // substituted folder's backslashes are never read as escapes.
    bool StoreValue(const char* raw, size_t n, bool quoted, ValueRef& ref) {
        char unescaped[8192];
        size_t u = 0;
        for (size_t i = 0; i < n; ++i) {
            if (u + 1 >= sizeof unescaped) return Fail("value too long (over %s characters)", "8191");
            char c = raw[i];
            if (!quoted || c != '\\') {
                unescaped[u++] = c;
                continue;
            }
            if (++i >= n) return Fail("backslash at the end of a value%s", "");
            switch (raw[i]) {
                case 'n': unescaped[u++] = '\n'; break;
                case 't': unescaped[u++] = '\t'; break;
                case 'r': unescaped[u++] = '\r'; break;
                case '\\': unescaped[u++] = '\\'; break;
                case '"': unescaped[u++] = '"'; break;
                case 'x': {
                    int hi = i + 1 < n ? HexDigit(raw[i + 1]) : -1;
                    int lo = i + 2 < n ? HexDigit(raw[i + 2]) : -1;
                    if (hi < 0 || lo < 0) return Fail("\\x needs two hex digits%s", "");
                    unescaped[u++] = static_cast<char>(hi * 16 + lo);
                    i += 2;
                    break;
                }
                default: {
                    char bad[3] = {'\\', raw[i], '\0'};
                    return Fail("unknown escape %s (write a backslash as \\\\)", bad);
                }
            }
        }
        ref.offset = out.used;
        for (size_t i = 0; i < u; ++i) {
            bool ok = unescaped[i] == '%' ? EmitPercent(unescaped, i, u) : Emit(unescaped[i]);
            if (!ok) return false;
        }
        ref.length = out.used - ref.offset;
        return Emit('\0');
    }

    bool StoreSource(const char* text, size_t n, ValueRef& ref) {
        ref.offset = out.used;
        for (size_t i = 0; i < n; ++i) {
            if (!Emit(text[i])) return false;
        }
        ref.length = out.used - ref.offset;
        return Emit('\0');
    }

    bool CheckValue(const Step& step, Key key) {
        const char* value = out.pool + step.values[static_cast<int>(key)].offset;
        for (const Choice& choice : kChoices) {
            if (choice.verb == step.verb && choice.key == key && !WordIn(value, choice.words)) {
                char detail[300];
                snprintf(detail, sizeof detail, "%s=%s (one of: %s)", KeyName(key), value, choice.words);
                return Fail("bad value %s", detail);
            }
        }
        uint32_t number = 0;
        if (IsNumericKey(key) && !ParseNumber(value, number)) return Fail("%s needs a number", KeyName(key));
        if (key == Key::Code && lstrcmpA(value, "any") != 0 && !ParseNumber(value, number)) {
            return Fail("code needs a number or 'any'%s", "");
        }
        if (key == Key::Buttons && *value != '\0') {
            char item[16];
            for (const char* p = value;;) {
                const char* end = p;
                while (*end != '\0' && *end != ',') ++end;
                size_t len = static_cast<size_t>(end - p);
                if (len == 0 || len >= sizeof item) return Fail("buttons needs numbers separated by commas%s", "");
                memcpy(item, p, len);
                item[len] = '\0';
                if (!ParseNumber(item, number)) return Fail("buttons: %s is not a number", item);
                if (*end == '\0') break;
                p = end + 1;
            }
        }
        return true;
    }

    bool ParseLine(const char* text, size_t n) {
        size_t i = 0;
        auto skipBlanks = [&] {
            while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
        };
        skipBlanks();
        if (i == n || text[i] == '#') return true;
        size_t verbStart = i;
        while (i < n && text[i] != ' ' && text[i] != '\t') ++i;
        char verb[32];
        size_t verbLen = i - verbStart;
        if (verbLen >= sizeof verb) verbLen = sizeof verb - 1;
        memcpy(verb, text + verbStart, verbLen);
        verb[verbLen] = '\0';
        const VerbInfo* info = nullptr;
        for (const VerbInfo& candidate : kVerbs) {
            if (lstrcmpA(candidate.name, verb) == 0) info = &candidate;
        }
        if (info == nullptr) return Fail("unknown step '%s'", verb);
        if (out.count >= kMaxSteps) return Fail("more than %s steps", "512");
        Step& step = out.steps[out.count];
        step = Step{};
        step.verb = info->verb;
        step.line = line;
        if (!StoreSource(text + verbStart, n - verbStart, step.source)) return false;
        for (;;) {
            skipBlanks();
            if (i == n || text[i] == '#') break;
            size_t keyStart = i;
            while (i < n && text[i] != '=' && text[i] != ' ' && text[i] != '\t') ++i;
            char keyName[32];
            size_t keyLen = i - keyStart;
            if (keyLen >= sizeof keyName) keyLen = sizeof keyName - 1;
            memcpy(keyName, text + keyStart, keyLen);
            keyName[keyLen] = '\0';
            if (i == n || text[i] != '=') return Fail("expected key=value, found '%s'", keyName);
            ++i;
            int key = -1;
            for (int k = 0; k < kKeyCount; ++k) {
                if (lstrcmpA(kKeyNames[k], keyName) == 0) key = k;
            }
            if (key < 0) return Fail("unknown key '%s'", keyName);
            uint32_t bit = 1u << key;
            if (((info->required | info->optional) & bit) == 0) {
                char detail[80];
                snprintf(detail, sizeof detail, "%s does not take %s=", info->name, keyName);
                return Fail("%s", detail);
            }
            if (step.present & bit) return Fail("%s= given twice", keyName);
            bool quoted = i < n && text[i] == '"';
            size_t valueStart = quoted ? i + 1 : i;
            size_t valueEnd = valueStart;
            if (quoted) {
                while (valueEnd < n && text[valueEnd] != '"') valueEnd += text[valueEnd] == '\\' ? 2 : 1;
                if (valueEnd >= n) return Fail("unterminated quoted value of %s=", keyName);
                i = valueEnd + 1;
            } else {
                while (valueEnd < n && text[valueEnd] != ' ' && text[valueEnd] != '\t') ++valueEnd;
                i = valueEnd;
            }
            if (!StoreValue(text + valueStart, valueEnd - valueStart, quoted, step.values[key])) return false;
            step.present |= bit;
            if (!CheckValue(step, static_cast<Key>(key))) return false;
            if (i < n && text[i] != ' ' && text[i] != '\t') return Fail("blank expected after the value of %s=", keyName);
        }
        uint32_t missing = info->required & ~step.present;
        for (int k = 0; k < kKeyCount; ++k) {
            if (missing & (1u << k)) return Fail("missing %s=", kKeyNames[k]);
        }
        ++out.count;
        return true;
    }
};

}  // namespace

bool ParseNumber(const char* text, uint32_t& out) {
    if (*text == '\0') return false;
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
        if (*text == '\0') return false;
    }
    uint64_t value = 0;
    for (; *text != '\0'; ++text) {
        int digit = HexDigit(*text);
        if (digit < 0 || digit >= base) return false;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull) return false;
    }
    out = static_cast<uint32_t>(value);
    return true;
}

bool ParseScenario(const char* source, size_t length, const Placeholder* placeholders, int placeholderCount,
                   Scenario& out, ParseError& error) {
    out.count = 0;
    out.used = 0;
    Parser parser{placeholders, placeholderCount, out, error, 0};
    size_t start = 0;
    while (start < length) {
        size_t end = start;
        while (end < length && source[end] != '\n') ++end;
        size_t n = end - start;
        if (n > 0 && source[start + n - 1] == '\r') --n;
        ++parser.line;
        if (!parser.ParseLine(source + start, n)) return false;
        start = end + 1;
    }
    return true;
}

const char* VerbName(Verb verb) {
    for (const VerbInfo& info : kVerbs) {
        if (info.verb == verb) return info.name;
    }
    return "?";
}

const char* KeyName(Key key) { return kKeyNames[static_cast<int>(key)]; }

bool Has(const Step& step, Key key) { return (step.present & Bit(key)) != 0; }

const char* ValueOf(const Scenario& scenario, const Step& step, Key key) {
    if (!Has(step, key)) return nullptr;
    return scenario.pool + step.values[static_cast<int>(key)].offset;
}

size_t LengthOf(const Step& step, Key key) { return step.values[static_cast<int>(key)].length; }

const char* SourceOf(const Scenario& scenario, const Step& step) { return scenario.pool + step.source.offset; }
