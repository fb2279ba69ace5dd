#include "app/ui/TrayIcon.h"
#include "app/core/MainWindowMessages.h"

#include "tests/app/ui/tray/NotifyIconProbe.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// A plain hidden window that only identifies the record.
class PlainWindow
{
public:
    PlainWindow()
        : m_window(CreateWindowExW(0, L"STATIC", L"tray test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~PlainWindow() { DestroyWindow(m_window); }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    HWND get() const { return m_window; }

private:
    HWND m_window;
};

std::wstring SkinIcon()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.erase(folder.find_last_of(L'\\') + 1);
    return folder + L"skins\\theme1\\Pyrolink.ico";
}
} // namespace

TEST(TrayIcon, MissingIconFileStillAddsTheRecordAndRemovalDeletesIt)
{
    PlainWindow window;
    ASSERT_NE(window.get(), nullptr);
    TrayIcon tray;
    tray.Add(window.get(), L"Z:\\no\\such\\folder\\Pyrolink.ico");

    const NOTIFYICONDATAW& record = tray.Record();
    EXPECT_EQ(record.hIcon, nullptr);
    EXPECT_EQ(record.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(record.hWnd, window.get());
    EXPECT_EQ(record.uID, 109u);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(record.uCallbackMessage, WM_TRAY_NOTIFY);
    EXPECT_STREQ(record.szTip, L"Tarvik Kelvane");
    EXPECT_TRUE(TrayRecordExists(window.get()));

    // No icon, yet the record must not outlive the program.
    tray.Remove();
    EXPECT_FALSE(TrayRecordExists(window.get()));
    EXPECT_FALSE(tray.IsAdded());
}

TEST(TrayIcon, SkinIconIsShownReAddReplacesItAndTheOwnerRemovesIt)
{
    PlainWindow window;
    {
        TrayIcon tray;
        tray.Add(window.get(), SkinIcon());
        EXPECT_NE(tray.Record().hIcon, nullptr) << "the skin's Pyrolink.ico loads";
        EXPECT_TRUE(TrayRecordExists(window.get()));

        // As timer 200 does: the shown icon is removed and the record added once more.
        tray.Add(window.get(), SkinIcon());
        EXPECT_NE(tray.Record().hIcon, nullptr);
        EXPECT_TRUE(TrayRecordExists(window.get()));
        EXPECT_TRUE(DeleteTrayRecord(window.get()));
        EXPECT_FALSE(TrayRecordExists(window.get())) << "exactly one record was there";
        tray.OnTaskbarCreated();
    }
    EXPECT_FALSE(TrayRecordExists(window.get())) << "the destructor removes the record";
}

TEST(TrayIcon, TaskbarCreatedAddsTheForgottenRecordOnlyWhileShown)
{
    PlainWindow window;
    TrayIcon tray;
    EXPECT_NE(TrayIcon::TaskbarCreatedMessage(), 0u);

    tray.OnTaskbarCreated();
    EXPECT_FALSE(TrayRecordExists(window.get())) << "nothing to re-add before the first add";

    tray.Add(window.get(), SkinIcon());
    ASSERT_TRUE(DeleteTrayRecord(window.get()));
    tray.OnTaskbarCreated();
    EXPECT_TRUE(TrayRecordExists(window.get()));

    tray.Remove();
    tray.OnTaskbarCreated();
    EXPECT_FALSE(TrayRecordExists(window.get())) << "a removed icon stays removed";
}
