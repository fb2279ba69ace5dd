// Files another local user (or a broken editor) may hand the daemon and the tool.
#include "linux/platform/TextFile.h"
#include "tests/linux/ScratchFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
struct ReadCase
{
    const char* name;
    std::function<void(const ScratchFolder&, const std::string&)> plant;
    const char* error; // empty: read
};
} // namespace

TEST(HostileFiles, OnlyARegularFileOfAtMost64KiBIsReadAndNothingBlocks)
{
    const std::vector<ReadCase> cases = {
        {"64 KiB exactly", [](auto& t, auto&) { t.Write("f", std::string(65536, 'a')); }, ""},
        {"one byte more", [](auto& t, auto&) { t.Write("f", std::string(65537, 'a')); },
         "larger than 64 KiB"},
        {"FIFO", [](auto&, auto& p) { mkfifo(p.c_str(), 0600); }, "it is a FIFO"},
        {"link to /dev/zero", [](auto&, auto& p) { (void)!symlink("/dev/zero", p.c_str()); },
         "symbolic link"},
        {"link to a good file",
         [](auto& t, auto& p)
         {
             t.Write("good", "led = off\n");
             (void)!symlink(t.Path("good").c_str(), p.c_str());
         },
         "symbolic link"},
        {"folder", [](auto&, auto& p) { mkdir(p.c_str(), 0700); }, "it is a folder"},
        {"missing", [](auto&, auto&) {}, "No such file"},
    };
    for (const ReadCase& c : cases)
    {
        ScratchFolder tree;
        const std::string path = tree.Path("f");
        c.plant(tree, path);
        std::string text;
        std::string error;
        const bool read = ReadRegularFile(path, kMaxTextFileBytes, text, error);
        EXPECT_EQ(read, std::string(c.error).empty()) << c.name << ": " << error;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    }
}

TEST(HostileFiles, ReplacingNeverFollowsAPlantedLinkAndSetsTheModeExactly)
{
    ScratchFolder tree;
    tree.Write("victim", "precious\n");
    // The old fixed temporary name, and the target itself, planted as links to another's file.
    (void)!symlink(tree.Path("victim").c_str(), tree.Path("status.new").c_str());
    (void)!symlink(tree.Path("victim").c_str(), tree.Path("status").c_str());
    const mode_t saved = umask(077);
    std::string error;
    EXPECT_TRUE(ReplaceTextFile(tree.Path("status"), "pid=1\n", 0644, error)) << error;
    umask(saved);

    std::string text;
    ASSERT_TRUE(ReadRegularFile(tree.Path("victim"), kMaxTextFileBytes, text, error));
    EXPECT_EQ(text, "precious\n");
    struct stat info
    {
    };
    ASSERT_EQ(lstat(tree.Path("status").c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode)) << "the link itself was replaced";
    EXPECT_EQ(info.st_mode & 07777, 0644u) << "the service user must be able to read it";
    EXPECT_EQ(std::system(("test $(ls -A " + tree.Root() + " | wc -l) -eq 3").c_str()), 0)
        << "no temporary file left beside it";
}
