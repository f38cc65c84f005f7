#include "crashreport/reporter_state.h"
#include "test_env.h"

#include <QString>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using vokrin::crashreport::helperPathFor;
namespace fs = std::filesystem;

namespace {

void makeProgram(const fs::path &path, bool executable = true)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\n";
    fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read);
}

QString q(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

} // namespace

// The build tree keeps the helper beside the program; an installed program has it in
// libexec/vokrin of the same prefix. The one beside wins when both are there.
TEST(CrashHelperPath, BesideTheProgramThenTheInstalledLayout)
{
    const fs::path root = vokrin::testing::makeTempDir("helper-path");
    const fs::path bin = root / "usr" / "bin";
    const fs::path installed = root / "usr" / "libexec" / "vokrin" / "vokrin-crashreport";
    fs::create_directories(bin);

    // Neither: the path beside the program, so the report says the stacks are missing.
    EXPECT_EQ(helperPathFor(q(bin)), q(bin / "vokrin-crashreport"));

    makeProgram(installed, false);
    EXPECT_EQ(helperPathFor(q(bin)), q(bin / "vokrin-crashreport"))
        << "a helper that cannot be run is not taken";

    makeProgram(installed);
    EXPECT_EQ(helperPathFor(q(bin)), q(installed));

    makeProgram(bin / "vokrin-crashreport");
    EXPECT_EQ(helperPathFor(q(bin)), q(bin / "vokrin-crashreport"));
}
