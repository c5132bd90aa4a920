// What SETUP.EXE carries, read back from the built file.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "pe_image.h"

namespace {

constexpr WORD kEnglishUs = 1033;

std::string SetupExePath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    strcpy(strrchr(path, '\\') + 1, "SETUP.EXE");
    return path;
}

class SetupResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryExA(SetupExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load " << SetupExePath(); }
    static HMODULE module_;
};
HMODULE SetupResources::module_ = nullptr;

// --- string table -----------------------------------------------------------

struct CatalogueText {
    unsigned id;
    const char* text;
};
const CatalogueText kExpected[] = {
#include "expected_catalogue.inc"
};

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out) {
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<unsigned>*>(out)->push_back(LOWORD(name));
    return TRUE;
}

// Every stored string: a block of 16 counted UTF-16 strings per resource.
std::map<unsigned, std::string> ReadStringTable(HMODULE module) {
    std::vector<unsigned> blocks;
    EnumResourceNamesA(module, reinterpret_cast<LPCSTR>(RT_STRING), CollectName, reinterpret_cast<LONG_PTR>(&blocks));
    std::map<unsigned, std::string> table;
    for (unsigned block : blocks) {
        std::vector<unsigned char> raw =
            ResourceBytes(module, reinterpret_cast<LPCSTR>(RT_STRING), MAKEINTRESOURCEA(block), kEnglishUs);
        const WORD* p = reinterpret_cast<const WORD*>(raw.data());
        const WORD* end = p + raw.size() / 2;
        for (unsigned i = 0; i < 16 && p < end; ++i) {
            WORD length = *p++;
            if (length == 0) continue;
            std::string text;
            for (WORD k = 0; k < length && p < end; ++k, ++p) text += *p < 0x80 ? static_cast<char>(*p) : '?';
            table[(block - 1) * 16 + i] = text;
        }
    }
    return table;
}

TEST_F(SetupResources, CatalogueHoldsExactlyTheTextsOfTheInstaller) {
    std::map<unsigned, std::string> table = ReadStringTable(module_);
    EXPECT_EQ(table.size(), std::size(kExpected));
    for (const CatalogueText& expected : kExpected) {
        auto found = table.find(expected.id);
        ASSERT_NE(found, table.end()) << "id " << expected.id << " is missing";
        EXPECT_EQ(found->second, expected.text) << "id " << expected.id;
    }
}

// --- dialog templates --------------------------------------------------------

struct Control {
    int id;
    std::string className;  // lower case; ordinals named as their classes
    std::string text;
    DWORD style;
    short x, y, cx, cy;
};

struct Dialog {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    bool menu = false, ownClass = false;
    std::string caption, font;
    WORD pointSize = 0;
    std::vector<Control> controls;
};

class TemplateReader {
public:
    explicit TemplateReader(const std::vector<unsigned char>& raw) : raw_(raw) {}
    bool ok() const { return ok_; }
    WORD Word() {
        if (at_ + 2 > raw_.size()) {
            ok_ = false;
            return 0;
        }
        WORD w = static_cast<WORD>(raw_[at_] | raw_[at_ + 1] << 8);
        at_ += 2;
        return w;
    }
    DWORD Dword() {
        DWORD low = Word();
        return low | static_cast<DWORD>(Word()) << 16;
    }
    std::string String() {
        std::string s;
        for (WORD c = Word(); ok_ && c != 0; c = Word()) s += static_cast<char>(c);
        return s;
    }
    // A name or an ordinal; ordinals of the predefined classes get their names.
    std::string NameOrOrdinal(bool* present = nullptr) {
        WORD first = Word();
        if (present) *present = first != 0;
        if (first == 0) return "";
        if (first == 0xFFFF) {
            WORD ordinal = Word();
            switch (ordinal) {
                case 0x80: return "button";
                case 0x81: return "edit";
                case 0x82: return "static";
                default: return "#" + std::to_string(ordinal);
            }
        }
        std::string s(1, static_cast<char>(first));
        s += String();
        return s;
    }
    void AlignToDword() { at_ = (at_ + 3) & ~size_t{3}; }
    void Skip(size_t n) { at_ += n; }

private:
    const std::vector<unsigned char>& raw_;
    size_t at_ = 0;
    bool ok_ = true;
};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return s;
}

bool ReadDialog(const std::vector<unsigned char>& raw, Dialog* d) {
    TemplateReader r(raw);
    d->style = r.Dword();
    d->exStyle = r.Dword();
    if (LOWORD(d->style) == 1 && HIWORD(d->style) == 0xFFFF) return false;  // an extended template
    WORD count = r.Word();
    d->x = static_cast<short>(r.Word());
    d->y = static_cast<short>(r.Word());
    d->cx = static_cast<short>(r.Word());
    d->cy = static_cast<short>(r.Word());
    r.NameOrOrdinal(&d->menu);
    r.NameOrOrdinal(&d->ownClass);
    d->caption = r.String();
    if (d->style & DS_SETFONT) {
        d->pointSize = r.Word();
        d->font = r.String();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.AlignToDword();
        Control c;
        c.style = r.Dword();
        DWORD exStyle = r.Dword();
        if (exStyle != 0) return false;
        c.x = static_cast<short>(r.Word());
        c.y = static_cast<short>(r.Word());
        c.cx = static_cast<short>(r.Word());
        c.cy = static_cast<short>(r.Word());
        c.id = static_cast<short>(r.Word());
        c.className = Lower(r.NameOrOrdinal());
        c.text = r.NameOrOrdinal();
        r.Skip(r.Word());
        d->controls.push_back(c);
    }
    return r.ok();
}

void ExpectDialog(HMODULE module, int id, const Dialog& expected) {
    Dialog d;
    std::vector<unsigned char> raw = ResourceBytes(module, reinterpret_cast<LPCSTR>(RT_DIALOG), MAKEINTRESOURCEA(id), kEnglishUs);
    ASSERT_FALSE(raw.empty()) << "no dialog " << id << " in language 1033";
    ASSERT_TRUE(ReadDialog(raw, &d)) << "dialog " << id << " is not a plain template";
    EXPECT_EQ(d.style, expected.style) << "dialog " << id;
    EXPECT_EQ(d.exStyle, 0u) << "dialog " << id;
    EXPECT_EQ((std::vector<short>{d.x, d.y, d.cx, d.cy}), (std::vector<short>{expected.x, expected.y, expected.cx, expected.cy}))
        << "dialog " << id << " position";
    EXPECT_FALSE(d.menu) << "dialog " << id;
    EXPECT_FALSE(d.ownClass) << "dialog " << id;
    EXPECT_EQ(d.caption, "") << "dialog " << id;
    EXPECT_EQ(d.font, "MS Shell Dlg") << "dialog " << id;
    EXPECT_EQ(d.pointSize, 8) << "dialog " << id;
    ASSERT_EQ(d.controls.size(), expected.controls.size()) << "dialog " << id;
    for (size_t i = 0; i < d.controls.size(); ++i) {
        const Control& got = d.controls[i];
        const Control& want = expected.controls[i];
        std::string where = "dialog " + std::to_string(id) + ", control #" + std::to_string(i) + " (" + want.text + ")";
        EXPECT_EQ(got.id, want.id) << where;
        EXPECT_EQ(got.className, want.className) << where;
        EXPECT_EQ(got.text, want.text) << where;
        EXPECT_EQ(got.style, want.style) << where << std::hex << " style 0x" << got.style << " wanted 0x" << want.style;
        EXPECT_EQ((std::vector<short>{got.x, got.y, got.cx, got.cy}), (std::vector<short>{want.x, want.y, want.cx, want.cy}))
            << where << " position";
    }
}

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

TEST_F(SetupResources, InstallFolderDialogTemplate) {
    Dialog expected;
    expected.style = kDialogStyle;
    expected.x = 38, expected.y = 32, expected.cx = 209, expected.cy = 103;
    expected.controls = {
        {106, "static", "Setup will install Fardel into the following folder, which it will create if necessary.",
         kChild | SS_LEFT, 8, 8, 201, 16},
        {107, "static", "If you want to install Fardel in a different folder and/or drive, type the name of the folder below:",
         kChild | SS_LEFT, 8, 32, 201, 16},
        {-1, "static", "&Install to:", kChild | SS_LEFT, 8, 52, 36, 8},
        {101, "edit", "", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_OEMCONVERT, 8, 64, 137, 12},
        {108, "button", "&Browse...", kChild | WS_TABSTOP | BS_PUSHBUTTON, 151, 63, 50, 14},
        {1, "button", "OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 46, 83, 50, 14},
        {2, "button", "Cancel", kChild | WS_TABSTOP | BS_PUSHBUTTON, 114, 83, 50, 14},
    };
    ExpectDialog(module_, 100, expected);
}

TEST_F(SetupResources, ProgressDialogTemplate) {
    Dialog expected;
    expected.style = kDialogStyle;  // not visible at creation
    expected.x = 10, expected.y = 19, expected.cx = 188, expected.cy = 70;
    expected.controls = {
        {103, "static", "Installing", kChild | SS_CENTER, 0, 6, 188, 8},
        {104, "static", "", kChild | SS_CENTER, 0, 18, 188, 8},
        {100, "meter", "", kChild | WS_BORDER, 16, 30, 156, 12},
        {2, "button", "&Cancel", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 69, 48, 50, 16},
    };
    ExpectDialog(module_, 300, expected);
}

// --- the stub module ---------------------------------------------------------

const VS_FIXEDFILEINFO* FindFixedInfo(const std::vector<unsigned char>& image) {
    for (size_t at = 0; at + sizeof(VS_FIXEDFILEINFO) <= image.size(); at += 4) {
        auto info = reinterpret_cast<const VS_FIXEDFILEINFO*>(image.data() + at);
        if (info->dwSignature == 0xFEEF04BD) return info;
    }
    return nullptr;
}

TEST_F(SetupResources, StubModuleIsADllWithSmallVersionParts) {
    std::vector<unsigned char> stub = ResourceBytes(module_, "FDSHLEXT", "FD_SHL", kEnglishUs);
    ASSERT_FALSE(stub.empty()) << "no resource FDSHLEXT/FD_SHL in language 1033";
    PeImage image;
    image.bytes = stub;
    const IMAGE_NT_HEADERS32* nt = image.Headers();
    ASSERT_NE(nt, nullptr) << "the stub is no PE image";
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
    const VS_FIXEDFILEINFO* info = FindFixedInfo(stub);
    ASSERT_NE(info, nullptr) << "the stub has no version resource";
    const DWORD parts[] = {info->dwFileVersionMS, info->dwFileVersionLS, info->dwProductVersionMS, info->dwProductVersionLS};
    for (DWORD part : parts) {
        EXPECT_LE(HIWORD(part), 20);
        EXPECT_LE(LOWORD(part), 20);
    }
}

// --- version, manifest, icon -------------------------------------------------

TEST_F(SetupResources, VersionManifestAndIcon) {
    std::vector<unsigned char> version = ResourceBytes(module_, reinterpret_cast<LPCSTR>(RT_VERSION), MAKEINTRESOURCEA(1), kEnglishUs);
    const VS_FIXEDFILEINFO* info = FindFixedInfo(version);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->dwFileVersionMS, MAKELONG(1, 8));
    std::u16string description = u"Fardel Setup";
    auto begin = reinterpret_cast<const char16_t*>(version.data());
    std::u16string text(begin, begin + version.size() / 2);
    EXPECT_NE(text.find(description), std::u16string::npos);

    std::vector<unsigned char> manifest = ResourceBytes(module_, reinterpret_cast<LPCSTR>(RT_MANIFEST), MAKEINTRESOURCEA(1), kEnglishUs);
    std::string xml(manifest.begin(), manifest.end());
    EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(xml.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(xml.find("requestedExecutionLevel level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(xml.find("<dpiAware"), std::string::npos);

    EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(1), reinterpret_cast<LPCSTR>(RT_GROUP_ICON)), nullptr);
}

// --- imports -----------------------------------------------------------------

// A program in a download folder must not load a DLL that someone dropped
// beside it: only Known DLLs, and the common controls by their manifest.
TEST(SetupImports, OnlySystemDllsAndNoVersionLibrary) {
    PeImage image;
    ASSERT_TRUE(image.Load(SetupExePath().c_str()));
    const char* allowed[] = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                             "shell32.dll", "msvcrt.dll", "comctl32.dll"};
    std::vector<std::string> dlls = image.ImportedDlls();
    EXPECT_FALSE(dlls.empty());
    for (const std::string& dll : dlls) {
        std::string name = Lower(dll);
        EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), name), std::end(allowed)) << "imports " << dll;
        EXPECT_NE(name, "version.dll");
    }
    EXPECT_EQ(image.Headers()->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(image.Headers()->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

}  // namespace
