#pragma once

#include <stddef.h>

#include "session.h"

// One line per step on stdout; a failure adds indented detail lines.
void ReportPass(const Session& session, const char* note);
void ReportFail(const Session& session, const char* format, ...) __attribute__((format(printf, 2, 3)));
void ReportDetail(const char* format, ...) __attribute__((format(printf, 1, 2)));
// `label: "text"` with the scenario's escapes, so it can be pasted back.
void ReportText(const char* label, const char* text, size_t length);
