// The real ardmoor.exe from a script's side: standard output and error redirected to files, every
// format and exit code, over the samples that real installers put in the test prefix and seeded
// edge cases. The files are left in <build>\export-check for check_export.py, which reads them
// back with Python's csv, json and html modules.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "app/app_info.h"
#include "export_e2e_util.h"
#include "platform/strings.h"
#include "remote_ui.h"
#include "test_support.h"
#include "write_protected_key.h"

using namespace ardmoor::test;

namespace {

const std::wstring kEntryPrefix = L"ArdmoorExport_";
const std::wstring kProductCode = L"{0A7D0E55-1234-4321-ABCD-00000000E2E0}";

class SeededEdgeCases {
public:
    SeededEdgeCases() {
        const std::wstring comma = kEntryPrefix + L"Comma";
        Set(comma, L"DisplayName", L"Comma, Quote \"and\" Co");
        Set(comma, L"Publisher", L"Line\r\nBreak Ltd");
        Set(comma, L"DisplayVersion", L"1.0,beta");
        Set(comma, L"InstallDate", L"20260501");
        Set(comma, L"UninstallString", L"\"C:\\Program Files\\Comma\\unins.exe\" /x");
        SetDword(comma, L"EstimatedSize", 4096);
        SetDword(comma, L"Language", 1031);
        SetDword(comma, L"SystemComponent", 0);
        const std::wstring other = kEntryPrefix + L"NonLatin";
        Set(other, L"DisplayName", L"\u03a9mega \u65e5\u672c\u8a9e \u00c4rger \U0001F600");
        Set(other, L"Publisher", L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac");
        Set(other, L"ModifyPath", L"%SystemRoot%\\system32\\msiexec.exe /I{X}", REG_EXPAND_SZ);
        SetDword(other, L"SystemComponent", 1);
        const std::wstring lone = kEntryPrefix + L"Lone";
        Set(lone, L"DisplayName", L"Broken \xDC00 name");
        Set(lone, L"Publisher", L"Ends in a high half \xD83D");
        Set(lone, L"InstallLocation", L"C:\\Control\x01\x1f");
        Set(lone, L"EstimatedSize", L"not a number");
        const std::wstring script = kEntryPrefix + L"Script";
        Set(script, L"DisplayName", L"<script>alert('x')</script> & Tab\there");
        Set(script, L"URLInfoAbout", L"javascript:alert(1)");
        Set(script, L"EstimatedSize", L"77");
        Set(kProductCode, L"UninstallString", L"MsiExec.exe /X" + kProductCode, REG_EXPAND_SZ);
        Set(kEntryPrefix + L"Container", L"DisplayName", L"Container, not listed");
        Set(kEntryPrefix + L"Container\\Child", L"DisplayName", L"Child, not listed");
    }
    ~SeededEdgeCases() {
        for (const std::wstring& name : {kEntryPrefix + L"Comma", kEntryPrefix + L"NonLatin", kEntryPrefix + L"Lone",
                                          kEntryPrefix + L"Script", kProductCode, kEntryPrefix + L"Container"}) {
            const std::wstring path = std::wstring(kUninstallSub) + L"\\" + name;
            ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
            ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
        }
    }

private:
    static void Set(const std::wstring& entry, const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ) {
        SetRaw(entry, name, type, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    static void SetDword(const std::wstring& entry, const wchar_t* name, DWORD value) {
        SetRaw(entry, name, REG_DWORD, &value, sizeof(value));
    }
    static void SetRaw(const std::wstring& entry, const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, (std::wstring(kUninstallSub) + L"\\" + entry).c_str(), name, type,
                                    data, size),
                  ERROR_SUCCESS);
    }
};

}  // namespace

TEST(ExportCommandLine, EveryFormatToRedirectedOutputAndEveryExitCode) {
    SeededEdgeCases seeded;
    const std::wstring folder = CheckFolder();
    ASSERT_FALSE(folder.empty());

    const CliRun json = RunArdmoor(L"/list /json");
    ASSERT_EQ(json.exitCode, 0u) << json.err;
    // What the registry holds, read without the program, for the field-by-field comparison.
    ASSERT_TRUE(WriteRegistryDump(folder + L"registry.txt", {kEntryPrefix, kProductCode, L"ArdmoorSampleTool",
                                                             L"{6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D10}"}));
    EXPECT_EQ(json.err, "");
    ASSERT_TRUE(WriteFileBytes(folder + L"list.json", json.out));

    const CliRun csv = RunArdmoor(L"/list /csv");
    ASSERT_EQ(csv.exitCode, 0u) << csv.err;
    ASSERT_TRUE(WriteFileBytes(folder + L"list.csv", csv.out));

    const CliRun tsv = RunArdmoor(L"/list");
    ASSERT_EQ(tsv.exitCode, 0u) << tsv.err;
    ASSERT_TRUE(WriteFileBytes(folder + L"list.tsv", tsv.out));

    // To files, by extension; the same bytes as the standard output gave.
    for (const wchar_t* name : {L"export.csv", L"export.json", L"export.html"}) ::DeleteFileW((folder + name).c_str());
    const CliRun toCsv = RunArdmoor(L"/export \"" + folder + L"export.csv\"");
    EXPECT_EQ(toCsv.exitCode, 0u) << toCsv.err;
    EXPECT_EQ(toCsv.out + toCsv.err, "") << "a script's success is silent";
    EXPECT_EQ(ReadFileBytes(folder + L"export.csv"), csv.out);
    EXPECT_EQ(RunArdmoor(L"-EXPORT \"" + folder + L"export.json\"").exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(folder + L"export.json"), json.out);
    EXPECT_EQ(RunArdmoor(L"/export \"" + folder + L"export.html\"").exitCode, 0u);

    // The usage on request, and on standard error with exit code 2 for arguments it cannot use.
    const CliRun usage = RunArdmoor(L"/?");
    EXPECT_EQ(usage.exitCode, 0u);
    EXPECT_NE(usage.out.find("ardmoor /export FILE"), std::string::npos) << usage.out;
    for (const wchar_t* bad : {L"/lst", L"/export list.txt"}) {
        const CliRun refused = RunArdmoor(bad);
        EXPECT_EQ(refused.exitCode, 2u) << std::string(bad, bad + wcslen(bad));
        EXPECT_EQ(refused.out, "");
        EXPECT_NE(refused.err.find("ardmoor /export FILE"), std::string::npos) << refused.err;
    }

    // A read-only file is left as it was, with exit code 3 and the reason.
    const std::wstring locked = folder + L"read-only.json";
    ::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteFileBytes(locked, "old contents"));
    ASSERT_TRUE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    const CliRun denied = RunArdmoor(L"/export \"" + locked + L"\"");
    EXPECT_EQ(denied.exitCode, 3u);
    EXPECT_EQ(ReadFileBytes(locked), "old contents");
    EXPECT_NE(denied.err.find("read-only.json\" could not be written: "), std::string::npos) << denied.err;
    ::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(TemporaryFilesIn(folder).empty()) << "no temporary file is left beside the targets";
}

TEST(ExportCommandLine, NothingReadableExitsWithOne) {
    const std::wstring file = CheckFolder() + L"unreadable.csv";
    ::DeleteFileW(file.c_str());
    CliRun list, toFile;
    {
        // Every reader denied the Uninstall keys the program lists, through the keys' own access list.
        WriteProtectedKey denied[] = {
            {HKEY_LOCAL_MACHINE, kUninstallSub, kNoAccess},
            {HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall", kNoAccess},
            {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", kNoAccess}};
        ASSERT_TRUE(denied[0].ok());
        list = RunArdmoor(L"/list");
        toFile = RunArdmoor(L"/export \"" + file + L"\"");
    }
    EXPECT_EQ(list.exitCode, 1u);
    EXPECT_EQ(list.out, "");
    EXPECT_NE(list.err.find("nothing could be read"), std::string::npos) << list.err;
    EXPECT_EQ(toFile.exitCode, 1u);
    EXPECT_EQ(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "no file is made of nothing";
    EXPECT_EQ(RunArdmoor(L"/list").exitCode, 0u) << "readable again";
}

// A second windowed start is refused with a message, while a listing runs beside the open window.
TEST(ExportCommandLine, ListsBesideTheOpenWindowWhereASecondWindowIsRefused) {
    AppProcess first;
    ASSERT_TRUE(first.Start(ArdmoorExe()));
    HWND main = first.WaitForWindow(L"ArdmoorMainWindow", L"Ardmoor", 30s);
    ASSERT_NE(main, nullptr) << "the main window did not appear";

    AppProcess second;
    ASSERT_TRUE(second.Start(ArdmoorExe()));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindDialog(second.pid(), L"Ardmoor")) != nullptr; }, 20s))
        << "no message box from the second instance";
    const auto texts = ChildTexts(box);
    EXPECT_NE(std::find(texts.begin(), texts.end(), std::wstring(ardmoor::kAlreadyRunningText)), texts.end());
    EXPECT_TRUE(::GetDlgItem(box, IDOK) && !::GetDlgItem(box, IDCANCEL)) << "only an OK button";
    for (HWND h : TopLevelWindows(second.pid())) EXPECT_NE(ClassName(h), L"ArdmoorMainWindow");
    PressDialogButton(box, IDOK);
    DWORD code = 1234;
    ASSERT_TRUE(second.WaitExit(15s, &code));
    EXPECT_EQ(code, 0u);

    const CliRun list = RunArdmoor(L"/list");
    EXPECT_EQ(list.exitCode, 0u) << list.err;
    EXPECT_NE(list.out.find("Kestrel Data Viewer\t3.1.0\tKestrel Labs\t"), std::string::npos) << list.out;
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(::IsWindowVisible(main));
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitExit(20s));

    // Once the first has ended, the window starts again.
    AppProcess again;
    ASSERT_TRUE(again.Start(ArdmoorExe()));
    main = again.WaitForWindow(L"ArdmoorMainWindow", L"Ardmoor", 30s);
    ASSERT_NE(main, nullptr);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(again.WaitExit(15s));
}

TEST(ExportCommandLine, WritesToTheConsoleThatStartedIt) {
    // A console of this test's own, standing in for a cmd.exe window; the program, started without
    // any standard handles, finds it as its parent's and writes there.
    ::FreeConsole();
    ASSERT_TRUE(::AllocConsole());
    HANDLE screen = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ASSERT_TRUE(::GetConsoleScreenBufferInfo(screen, &info));
    COORD size{info.dwSize.X, 2000};
    ::SetConsoleScreenBufferSize(screen, size);
    ASSERT_TRUE(::GetConsoleScreenBufferInfo(screen, &info));

    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;  // none: as a windowed program started from a prompt has
    PROCESS_INFORMATION pi{};
    const std::wstring exe = ArdmoorExe();
    std::wstring command = L"\"" + exe + L"\" /list";
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 60000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 0xDEAD;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u);

    std::wstring text(static_cast<size_t>(info.dwSize.X) * info.dwSize.Y, L' ');
    DWORD read = 0;
    ASSERT_TRUE(::ReadConsoleOutputCharacterW(screen, text.data(), static_cast<DWORD>(text.size()), COORD{0, 0}, &read));
    ::CloseHandle(screen);
    ::FreeConsole();
    // The console shows tabs as blanks up to the next tab stop.
    const size_t row = text.find(L"Kestrel Data Viewer ");
    ASSERT_NE(row, std::wstring::npos) << ardmoor::WideToUtf8(text.substr(0, 2000));
    EXPECT_NE(text.find(L"3.1.0", row), std::wstring::npos);
}
