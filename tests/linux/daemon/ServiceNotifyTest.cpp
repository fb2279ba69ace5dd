#include "linux/platform/UniqueFd.h"
#include "tests/linux/DaemonRig.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

namespace
{
// The listening end of systemd's notify socket, as the service manager holds it: datagrams with the
// sender's credentials.
class NotifyListener
{
public:
    struct Message
    {
        std::string text; // empty when nothing came in time
        pid_t sender = 0;
    };

    NotifyListener() : m_socket(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", Path().c_str());
        const int on = 1;
        m_bound = bind(m_socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                  setsockopt(m_socket.get(), SOL_SOCKET, SO_PASSCRED, &on, sizeof on) == 0;
    }

    bool Bound() const { return m_bound; }
    std::string Path() const { return m_folder.Path("notify"); }

    Message Next() const
    {
        Message message;
        pollfd ready{m_socket.get(), POLLIN, 0};
        if (poll(&ready, 1, 20000) != 1)
        {
            return message;
        }
        char text[256] = {};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))] = {};
        iovec part{text, sizeof text - 1};
        msghdr header{};
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        const ssize_t length = recvmsg(m_socket.get(), &header, 0);
        message.text.assign(text, length > 0 ? static_cast<std::size_t>(length) : 0);
        for (cmsghdr* item = CMSG_FIRSTHDR(&header); item; item = CMSG_NXTHDR(&header, item))
        {
            if (item->cmsg_level == SOL_SOCKET && item->cmsg_type == SCM_CREDENTIALS)
            {
                message.sender = reinterpret_cast<const ucred*>(CMSG_DATA(item))->pid;
            }
        }
        return message;
    }

    // The next message that starts with prefix; the ones before it are kept in skipped.
    Message NextStartingWith(const std::string& prefix, std::vector<std::string>& skipped) const
    {
        for (Message message = Next(); !message.text.empty(); message = Next())
        {
            if (message.text.rfind(prefix, 0) == 0)
            {
                return message;
            }
            skipped.push_back(message.text);
        }
        return {};
    }

private:
    ScratchFolder m_folder;
    UniqueFd m_socket;
    bool m_bound = false;
};

// Starts the rig's daemon with the service manager's variables set for it alone.
void StartAsService(DaemonRig& rig, const NotifyListener& listener, const std::string& watchdogMicroseconds)
{
    setenv("NOTIFY_SOCKET", listener.Path().c_str(), 1);
    if (!watchdogMicroseconds.empty())
    {
        setenv("WATCHDOG_USEC", watchdogMicroseconds.c_str(), 1);
    }
    rig.Start();
    unsetenv("NOTIFY_SOCKET");
    unsetenv("WATCHDOG_USEC");
}
} // namespace

TEST(ServiceNotify, ReadyThenWatchdogPingsFromTheTicksThenStopping)
{
    struct Case
    {
        const char* watchdogMicroseconds;
        bool pings;
        bool warnsShortInterval;
    };
    const Case cases[] = {
        {"", false, false}, // WatchdogSec= not set
        {"1999999", true, true},
        {"2000000", true, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string("WATCHDOG_USEC=") + c.watchdogMicroseconds);
        NotifyListener listener;
        ASSERT_TRUE(listener.Bound());
        DaemonRig rig("displays=1");
        AddRyzenWithRadeon(rig.Tree(), "45600", "50000");
        StartAsService(rig, listener, c.watchdogMicroseconds);

        std::vector<std::string> before;
        const NotifyListener::Message ready = listener.NextStartingWith("READY=1", before);
        ASSERT_EQ(ready.text, "READY=1") << rig.DaemonLog();
        EXPECT_TRUE(before.empty()) << before.front();
        EXPECT_FALSE(rig.Reports().empty()) << "ready once the first tick has fed the display";
        EXPECT_EQ(rig.Tool("status").exitCode, 0) << "ready once the status is published";
        const std::size_t reports = rig.Reports().size();
        ASSERT_TRUE(Eventually([&] { return rig.Reports().size() >= reports + 2; })) << rig.DaemonLog();
        EXPECT_EQ(rig.Stop(), 0);

        std::vector<std::string> between;
        EXPECT_EQ(listener.NextStartingWith("STOPPING=1", between).text, "STOPPING=1");
        const std::vector<std::string> expected =
            c.pings ? std::vector<std::string>(between.size(), "WATCHDOG=1") : std::vector<std::string>{};
        EXPECT_EQ(between, expected);
        EXPECT_EQ(c.pings, between.size() >= 2) << "a ping from each tick";
        EXPECT_EQ(c.warnsShortInterval, rig.DaemonLog().find("under two ticks") != std::string::npos)
            << rig.DaemonLog();
    }
}

TEST(ServiceNotify, HangupReportsReloadingThenReadyAgain)
{
    NotifyListener listener;
    ASSERT_TRUE(listener.Bound());
    DaemonRig rig("displays=1");
    AddRyzenWithRadeon(rig.Tree(), "45600", "50000");
    StartAsService(rig, listener, "10000000");
    std::vector<std::string> skipped;
    const NotifyListener::Message ready = listener.NextStartingWith("READY=1", skipped);
    ASSERT_GT(ready.sender, 0) << rig.DaemonLog();

    kill(ready.sender, SIGHUP); // what ExecReload= sends to the main process
    EXPECT_EQ(listener.NextStartingWith("RELOADING=1", skipped).text.rfind("RELOADING=1\nMONOTONIC_USEC=", 0),
              0u);
    const NotifyListener::Message again = listener.NextStartingWith("READY=1", skipped);
    EXPECT_EQ(again.text, "READY=1");
    EXPECT_EQ(again.sender, ready.sender) << "the main process notifies (NotifyAccess=main)";
    EXPECT_EQ(listener.NextStartingWith("WATCHDOG=1", skipped).text, "WATCHDOG=1") << "pings go on";
    EXPECT_EQ(rig.Stop(), 0);
}
