#include "linux/tool/ToolFiles.h"
#include "tests/linux/ScratchFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

TEST(HostileFiles, StatusOfAnotherUserIsNotTrusted)
{
    ScratchFolder tree;
    InstancePaths paths;
    paths.status = tree.Path("status");
    tree.Write("status", "pid=" + std::to_string(getpid()) + "\nshows=\x1b[2J fake\n");
    DaemonStatus status;
    std::string why;
    EXPECT_EQ(ReadRunningDaemon(paths, status, why), DaemonState::Running);
    EXPECT_EQ(status.shows, "\\x1b[2J fake") << "escaped even in a trusted file";
    if (chown(paths.status.c_str(), getuid() + 1000, static_cast<gid_t>(-1)) != 0)
    {
        GTEST_SKIP() << "giving a file away needs root";
    }
    EXPECT_EQ(ReadRunningDaemon(paths, status, why), DaemonState::Refused);
    EXPECT_NE(why.find("belongs to uid " + std::to_string(getuid() + 1000)), std::string::npos) << why;
}
