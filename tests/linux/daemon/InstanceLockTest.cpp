#include "linux/daemon/InstanceLock.h"
#include "tests/linux/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

TEST(InstanceLock, SecondTakerIsToldTheHoldersPid)
{
    ScratchFolder tree;
    const std::string path = tree.Path("lock");
    long holder = -1;
    EXPECT_FALSE(InstanceLock::IsHeld(path, holder)) << "no file yet";
    std::string error;
    {
        InstanceLock first;
        ASSERT_EQ(first.Take(path, error), InstanceLock::Outcome::Held) << error;
        InstanceLock second;
        EXPECT_EQ(second.Take(path, error), InstanceLock::Outcome::Busy);
        EXPECT_EQ(second.HolderPid(), getpid());
        EXPECT_TRUE(InstanceLock::IsHeld(path, holder));
        EXPECT_EQ(holder, getpid());
    }
    EXPECT_FALSE(InstanceLock::IsHeld(path, holder)) << "let go with its holder";
    (void)!symlink(tree.Path("elsewhere").c_str(), tree.Path("planted").c_str());
    InstanceLock linked;
    EXPECT_EQ(linked.Take(tree.Path("planted"), error), InstanceLock::Outcome::Failed);
}

TEST(InstanceLock, RuntimeFolderMustBeOwnedAndPrivate)
{
    ScratchFolder tree;
    std::string error;
    EXPECT_TRUE(PrepareRuntimeFolder(tree.Path("run"), 0700, error)) << error;
    EXPECT_TRUE(PrepareRuntimeFolder(tree.Path("run"), 0700, error)) << "already there";
    (void)!symlink(tree.Path("run").c_str(), tree.Path("link").c_str());
    EXPECT_FALSE(PrepareRuntimeFolder(tree.Path("link"), 0700, error));
    EXPECT_NE(error.find("not a folder"), std::string::npos) << error;
    chmod(tree.Path("run").c_str(), 0770);
    EXPECT_FALSE(PrepareRuntimeFolder(tree.Path("run"), 0700, error));
    EXPECT_NE(error.find("written by other users"), std::string::npos) << error;
    chmod(tree.Path("run").c_str(), 0700);
    if (chown(tree.Path("run").c_str(), getuid() + 1000, static_cast<gid_t>(-1)) == 0)
    {
        EXPECT_FALSE(PrepareRuntimeFolder(tree.Path("run"), 0700, error));
        EXPECT_NE(error.find("belongs to uid"), std::string::npos) << error;
    }
}
