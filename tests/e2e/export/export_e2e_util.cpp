#include "export_e2e_util.h"

#include <cstdio>

#include "test_support.h"

namespace ardmoor::test {

namespace {

std::string Ascii(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

std::string Hex(const BYTE* data, size_t size) {
    std::string out;
    char byte[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(byte, sizeof(byte), "%02x", data[i]);
        out += byte;
    }
    return out;
}

HANDLE InheritableFile(const std::wstring& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

void DumpEntry(HKEY root, const std::wstring& path, std::string& out) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    DWORD subkeys = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr);
    const std::string full = "\\HKEY_LOCAL_MACHINE\\" + Ascii(path);
    if (subkeys > 0) {
        out += "ABSENT\t" + full + "\n";
        ::RegCloseKey(key);
        return;
    }
    out += "ENTRY\t" + full + "\n";
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLen = 16384, type = 0, size = 0;
        if (::RegEnumValueW(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size + 2);
        nameLen = 16384;
        if (::RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        if (type == REG_EXPAND_SZ) {
            std::wstring raw(reinterpret_cast<const wchar_t*>(data.data()), size / 2);
            raw = raw.c_str();
            wchar_t expanded[4096];
            const DWORD n = ::ExpandEnvironmentStringsW(raw.c_str(), expanded, 4096);
            data.assign(reinterpret_cast<const BYTE*>(expanded),
                        reinterpret_cast<const BYTE*>(expanded) + (n ? n - 1 : 0) * sizeof(wchar_t));
            size = static_cast<DWORD>(data.size());
        }
        out += "VALUE\t" + Ascii(std::wstring(name, nameLen)) + "\t" + std::to_string(type) + "\t" +
               Hex(data.data(), size) + "\n";
    }
    ::RegCloseKey(key);
}

}  // namespace

std::wstring CheckFolder() {
    const std::wstring folder = BuildPath(L"export-check\\");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : folder;
}

CliRun RunArdmoor(const std::wstring& args) {
    static int serial = 0;
    TempDir dir;
    const std::wstring outPath = dir / (L"out" + std::to_wstring(++serial));
    const std::wstring errPath = dir / (L"err" + std::to_wstring(serial));
    CliRun run;
    HANDLE out = InheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = InheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE in = InheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    const std::wstring exe = ArdmoorExe();
    std::wstring command = L"\"" + exe + L"\" " + args;
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                         dir.path().c_str(), &si, &pi);
    ::CloseHandle(out);
    ::CloseHandle(err);
    ::CloseHandle(in);
    if (!started) {
        run.err = "CreateProcess failed";
        return run;
    }
    if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(pi.hProcess, &run.exitCode);
    } else {
        ::TerminateProcess(pi.hProcess, 0xDEAD);
        ::WaitForSingleObject(pi.hProcess, 5000);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    run.out = ReadFileBytes(outPath);
    run.err = ReadFileBytes(errPath);
    return run;
}

bool WriteRegistryDump(const std::wstring& file, const std::vector<std::wstring>& prefixes) {
    std::string out;
    HKEY root = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallSub, 0, KEY_READ, &root) != ERROR_SUCCESS) return false;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD len = 256;
        if (::RegEnumKeyExW(root, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::wstring entry(name, len);
        for (const std::wstring& prefix : prefixes) {
            if (entry.rfind(prefix, 0) == 0) {
                DumpEntry(HKEY_LOCAL_MACHINE, std::wstring(kUninstallSub) + L"\\" + entry, out);
                break;
            }
        }
    }
    ::RegCloseKey(root);
    return WriteFileBytes(file, out);
}

std::vector<std::wstring> TemporaryFilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"ard*.tmp").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.emplace_back(fd.cFileName);
    while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    return names;
}

}  // namespace ardmoor::test
