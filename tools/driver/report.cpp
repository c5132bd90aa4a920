#include "report.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

constexpr size_t kSourceShown = 160;

void Head(const Session& session, const char* outcome) {
    const char* source = SourceOf(*session.scenario, *session.step);
    size_t length = strlen(source);
    printf("%s %3d (line %d) %.*s%s", outcome, session.number, session.step->line,
           static_cast<int>(length < kSourceShown ? length : kSourceShown), source,
           length > kSourceShown ? "..." : "");
}

}  // namespace

void ReportPass(const Session& session, const char* note) {
    Head(session, "PASS");
    if (note != nullptr && *note != '\0') printf("  [%s]", note);
    printf("\n");
    fflush(stdout);
}

namespace {

// One indented line of a step's report.
void PrintIndented(const char* format, va_list args) {
    printf("  ");
    vprintf(format, args);
    printf("\n");
    fflush(stdout);
}

}  // namespace

void ReportFail(const Session& session, const char* format, ...) {
    if (session.quiet) return;  // a probe of a window that may not be the one awaited
    Head(session, "FAIL");
    printf("\n");
    va_list args;
    va_start(args, format);
    PrintIndented(format, args);
    va_end(args);
}

void ReportDetail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    PrintIndented(format, args);
    va_end(args);
}

void ReportText(const char* label, const char* text, size_t length) {
    printf("  %s: \"", label);
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '\n': fputs("\\n", stdout); break;
            case '\t': fputs("\\t", stdout); break;
            case '\r': fputs("\\r", stdout); break;
            case '\\': fputs("\\\\", stdout); break;
            case '"': fputs("\\\"", stdout); break;
            default:
                if (c < 0x20 || c == 0x7F) printf("\\x%02X", c);
                else putchar(c);
        }
    }
    printf("\"\n");
    fflush(stdout);
}
