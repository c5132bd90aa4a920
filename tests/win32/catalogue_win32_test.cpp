// The catalogue through LoadStringA on the resources of the built SETUP.EXE.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/catalogue.h"
#include "setup/install_state.h"

namespace {

TEST(Win32Catalogue, ChainsJoinFromTheRealStringTable) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    strcpy(strrchr(path, '\\') + 1, "SETUP.EXE");
    HMODULE setup = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(setup, nullptr);
    gState.instance = setup;
    ASSERT_GT(LoadStringA(setup, 1021, gState.setupTitle, kTitleSize), 0);
    EXPECT_STREQ(gState.setupTitle, "Fardel Setup");

    const struct {
        unsigned id;
        size_t length;
        const char* begins;
    } cases[] = {
        {1039, 402, "Setup can not close the \"Fardel Shell Extension\""},
        {1044, 329, "The Fardel installation procedure"},
        {1046, 266, "\nFardel's Shell Extension"},
        {1033, 53, "ZIP damaged: file %s: Bad CRC %08lx"},
    };
    for (const auto& c : cases) {
        std::string text = LoadCatalogueString(c.id);
        EXPECT_EQ(text.size(), c.length) << c.id;
        EXPECT_EQ(text.rfind(c.begins, 0), 0u) << c.id << ": " << text;
        EXPECT_EQ(text.find('!'), std::string::npos) << c.id;
    }
    FreeLibrary(setup);
}

}  // namespace
