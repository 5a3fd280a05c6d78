// Every good example of the publisher's guide (docs/publishing.md), installed
// and uninstalled by the real program from its discs: the example, with this
// build's program on it and its stand-ins made real (each game.exe the test
// game, DirectX\dxsetup.exe the DirectX stand-in), is mastered with
// scripts/master-medium, which checks it first, and disc 1 goes into the
// CD-ROM drive. Each option in turn is installed, every disc prompt answered
// by the disc it asks for, and uninstalled; the first is also run, through
// its execmessage when install.txt has one.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/disc_install.h"
#include "support/publishing_guide.h"

namespace {

using namespace e2e;

std::vector<std::string> good_examples()
{
    std::vector<std::string> names;
    for (const guide::Example &example : guide::examples(read_file(source_path("docs/publishing.md"))))
        if (example.finding.empty())
            names.push_back(example.name);
    return names;
}

class Example : public DiscInstall, public testing::WithParamInterface<std::string> {
protected:
    // Lays the example out in the build tree and masters its discs.
    void master(const std::string &name)
    {
        const std::string stage = work_folder() + "\\examples\\" + name;
        const std::string unix_parent = unix_path(work_folder()) + "/examples";
        const std::string unix_stage = unix_parent + "/" + name;
        const bool two_level = !is_folder(source_path("docs/examples/" + name + "/setup"));
        const std::string setup = two_level ? "/disc1/setup" : "/setup";
        const std::string program_dir = unix_path(build_folder());
        std::string out;
        ASSERT_EQ(0, run_unix("rm -rf '" + unix_stage + "' && mkdir -p '" + unix_parent + "' && cp -r '"
                              + PROJECT_SOURCE_DIR_TEXT + "/docs/examples/" + name + "' '" + unix_stage
                              + "' && cp '" + program_dir + "/../installer.exe' '" + unix_stage + setup
                              + "/' && find '" + unix_stage + "' -name game.exe -exec cp '" + program_dir
                              + "/testgame.exe' {} ';' && find '" + unix_stage + "' -path '*/DirectX/dxsetup.exe'"
                              + " -exec cp '" + program_dir + "/dxsetup.exe' {} ';'",
                              &out))
            << out;
        medium_ = stage + (two_level ? "\\disc1\\setup" : "\\setup");
        std::vector<std::string> words = {"master", medium_, disc_image((name + "-1").c_str())};
        discs_ = {disc_image((name + "-1").c_str())};
        for (int n = 2; two_level && is_folder(stage + "\\disc" + std::to_string(n)); n++) {
            discs_.push_back(disc_image((name + "-" + std::to_string(n)).c_str()));
            words.push_back(stage + "\\disc" + std::to_string(n));
            words.push_back(discs_.back());
        }
        ASSERT_EQ("", cd_drive(words));
    }
};

TEST_P(Example, EachOptionInstallsFromItsDiscsAndUninstallsClean)
{
    ASSERT_NO_FATAL_FAILURE(master(GetParam()));
    install_every_option(true);
}

INSTANTIATE_TEST_SUITE_P(Guide, Example, testing::ValuesIn(good_examples()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             std::string name = info.param;
                             for (char &c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

}  // namespace
