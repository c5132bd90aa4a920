// The setup's one extraction: setup.fd from the source folder into the
// install folder, with CRC errors reported.
#include "extract/extract_setup.h"
#include "extract_harness.h"

using namespace extract_test;
using zipfx::Member;

namespace {

class SetupArchiveTest : public ExtractTest {
protected:
    void Prepare(const std::string& bytes) {
        snprintf(gState.sourceDir, sizeof gState.sourceDir, "%s/", dir.c_str());
        snprintf(gState.installFolder, sizeof gState.installFolder, "%s", out.c_str());
        WriteWhole(dir / "setup.fd", bytes);
    }
};

TEST_F(SetupArchiveTest, ExtractsIntoTheInstallFolder) {
    Prepare(zipfx::Archive({M("fardel32.ex_", "program", 8), M("docs/help.txt", "help")}));
    EXPECT_TRUE(ExtractSetupArchive(owner));
    EXPECT_EQ(Output(), (Files{{"fardel32.ex_", "program"}, {"help.txt", "help"}}));
    EXPECT_EQ(BoxTexts(), "");
}

TEST_F(SetupArchiveTest, ADamagedPayloadFailsTheInstallation) {
    Member damaged = M("fardel32.ex_", std::string(4000, 'p'), 8);
    damaged.rawGiven = true;
    damaged.raw = zipfx::Deflate(damaged.data);
    damaged.raw[damaged.raw.size() / 2] ^= 0x21;
    Prepare(zipfx::Archive({damaged}));
    EXPECT_FALSE(ExtractSetupArchive(owner));
    EXPECT_EQ(BoxTexts().rfind("ZIP damaged: file " + Shown(destination) + "\\fardel32.ex_: Bad CRC ", 0), 0u) << BoxTexts();
}

TEST_F(SetupArchiveTest, AMissingArchiveFails) {
    snprintf(gState.sourceDir, sizeof gState.sourceDir, "%s/", dir.c_str());
    snprintf(gState.installFolder, sizeof gState.installFolder, "%s", out.c_str());
    EXPECT_FALSE(ExtractSetupArchive(owner));
    EXPECT_EQ(BoxTexts(), "Can't open input file: " + dir.string() + "/setup.fd");
}

}  // namespace
