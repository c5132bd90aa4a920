#include "common/catalogue.h"

#include <stdarg.h>
#include <string.h>

#include "setup/install_state.h"

namespace {

char gResults[3][kCatalogueResultSize];
int gNextResult = 0;

void Format(char* out, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    sys::FormatV(out, size, format, args);
    va_end(args);
}

// The internal error box: no owner, the system's caption, an error icon.
void ReportCatalogueError(char* work, const char* format, unsigned id) {
    Format(work, kCatalogueResultSize, format, static_cast<int>(id));
    sys::ShowBox(nullptr, work, nullptr, MB_ICONERROR);
}

}  // namespace

// Rules:
// - each call writes the next of three result buffers (0, 1, 2, 0, ...);
// - a piece is read with a limit of 514 bytes, so at most 513 characters;
// - a piece starting with "!" is appended without it and the text goes on
//   with the next id; any other piece ends the text;
// - before a piece is appended, joined length + stored piece length (its
//   "!" counted) must not pass 512, else "too long" with the piece's id;
// - a missing piece shows "not found" with its id;
// - after an error the pieces joined so far are returned.
const char* LoadCatalogueString(unsigned id) {
    char* result = gResults[gNextResult];
    gNextResult = (gNextResult + 1) % 3;
    result[0] = '\0';

    char work[kCatalogueResultSize];
    size_t joined = 0;
    uint16_t pieceId = static_cast<uint16_t>(id);
    for (;;) {
        int n = sys::LoadText(gState.instance, pieceId, work, kCataloguePieceLimit);
        if (n <= 0) {
            ReportCatalogueError(work, "Internal error: string resource not found: %d", pieceId);
            return result;
        }
        size_t length = static_cast<size_t>(n);
        if (joined + length > kCatalogueJoinLimit) {
            ReportCatalogueError(work, "Internal error: string resource too long: %d", pieceId);
            return result;
        }
        bool continued = work[0] == '!';
        const char* piece = continued ? work + 1 : work;
        size_t pieceLength = continued ? length - 1 : length;
        memcpy(result + joined, piece, pieceLength);
        joined += pieceLength;
        result[joined] = '\0';
        if (!continued) return result;
        pieceId = static_cast<uint16_t>(pieceId + 1);
    }
}

// The stored text is not joined: a leading "!" is shown as it stands. The
// formatted text is cut to 515 characters rather than overrun its buffer.
int ShowMessage(HWND owner, unsigned id, UINT flags, ...) {
    char format[kMessageTemplateLimit];
    char text[kMessageTextSize];
    va_list args;
    va_start(args, flags);
    if (sys::LoadText(gState.instance, id, format, kMessageTemplateLimit) > 0)
        sys::FormatV(text, sizeof text, format, args);
    else  // never passed by the installer; say which text is missing
        Format(text, sizeof text, "Internal error: string resource not found: %d", static_cast<int>(id));
    va_end(args);
    return sys::ShowBox(owner, text, gState.setupTitle, flags);
}
