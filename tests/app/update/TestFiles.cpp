#include "tests/app/update/TestFiles.h"

#include <windows.h>

namespace
{
// Wine's own export: the Unix path of a Windows path, on the process heap.
std::string UnixPathOf(const std::wstring& path)
{
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = convert != nullptr ? convert(path.c_str()) : nullptr;
    if (unix == nullptr)
        return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// The Unix path of a name that may not exist (or be a link): its folder's path plus the name.
std::string UnixPathOfName(const std::wstring& path)
{
    const auto slash = path.find_last_of(L'\\');
    const std::string folder = UnixPathOf(path.substr(0, slash));
    const std::wstring name = path.substr(slash + 1);
    return folder.empty() ? std::string() : folder + "/" + std::string(name.begin(), name.end());
}

bool RunUnixTool(const std::wstring& tool, const std::string& arguments)
{
    std::wstring command = tool + L" " + std::wstring(arguments.begin(), arguments.end());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(tool.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Wine does not let a Windows program wait for a Unix one, so wait for what it was to do.
bool AwaitExistence(const std::wstring& path, bool exists)
{
    for (int i = 0; i < 500; ++i)
    {
        if (PathExists(path) == exists)
            return true;
        Sleep(10);
    }
    return false;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

void Walk(const std::wstring& root, const std::wstring& relative, std::map<std::wstring, std::string>& tree)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
    {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            tree[relative + name] = "<dir>";
            Walk(root, relative + name + L"\\", tree);
        }
        else
        {
            tree[relative + name] = ReadFileBytes(root + relative + name);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}
} // namespace

TestFolder::TestFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    RemoveTree(m_path);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

TestFolder::~TestFolder()
{
    RemoveTree(m_path);
}

void RemoveTree(const std::wstring& folder)
{
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\')
        base += L'\\';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((base + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = base + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(base.c_str());
}

std::map<std::wstring, std::string> ReadTree(const std::wstring& folder)
{
    std::map<std::wstring, std::string> tree;
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\')
        base += L'\\';
    Walk(base, L"", tree);
    return tree;
}

std::vector<std::string> FileLines(const std::wstring& path, const std::string& part)
{
    const std::string text = ReadFileBytes(path);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end = 0; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    {
        std::string line = text.substr(start, end - start);
        if (line.find(part) != std::string::npos)
            lines.push_back(std::move(line));
    }
    return lines;
}

std::string ReadFileBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<unreadable>";
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TestLink::TestLink(const std::wstring& target, const std::wstring& link, bool folder)
    : m_link(link), m_folder(folder)
{
    const DWORD flags = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | 0x2; // allow unprivileged create
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) && PathExists(link))
    {
        m_made = true;
        return;
    }
    const std::string unixTarget = UnixPathOf(target);
    const std::string unixLink = UnixPathOfName(link);
    m_unix = !unixTarget.empty() && !unixLink.empty() &&
             RunUnixTool(L"Z:\\bin\\ln", "-s " + Quoted(unixTarget) + " " + Quoted(unixLink));
    m_made = m_unix && AwaitExistence(link, true);
}

TestLink::~TestLink()
{
    if (!m_made)
        return;
    if (m_unix && RunUnixTool(L"Z:\\bin\\rm", "-f " + Quoted(UnixPathOfName(m_link))))
        AwaitExistence(m_link, false);
    else if (m_folder)
        RemoveDirectoryW(m_link.c_str());
    else
        DeleteFileW(m_link.c_str());
}
