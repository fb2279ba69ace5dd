#include "linux/devices/NodeLock.h"
#include "tests/linux/ScratchFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

TEST(NodeLock, OneFeederPerNodeAndAReplacedNodeIsSeen)
{
    ScratchFolder tree;
    const std::string node = tree.Path("hidraw0");
    tree.Write("hidraw0", "");
    NodeLock first;
    NodeLock second;
    ASSERT_EQ(first.Take(node), NodeLock::Outcome::Locked);
    EXPECT_EQ(second.Take(node), NodeLock::Outcome::Busy);
    EXPECT_FALSE(first.Replaced(node));
    unlink(node.c_str());
    tree.Write("hidraw0", ""); // removed and added again by the kernel
    EXPECT_TRUE(first.Replaced(node));
    EXPECT_EQ(second.Take(node), NodeLock::Outcome::Locked) << "the new node is not locked yet";
    EXPECT_EQ(NodeLock().Take(tree.Path("gone")), NodeLock::Outcome::Failed);
}
