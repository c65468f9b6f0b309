#include "platform/command_line.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace ardmoor {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view TrimBlanks(std::wstring_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool IsAbsolute(std::wstring_view p) {
    const bool drive = p.size() >= 3 && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z')) &&
                       p[1] == L':' && (p[2] == L'\\' || p[2] == L'/');
    const bool unc = p.size() >= 3 && p[0] == L'\\' && p[1] == L'\\';
    return drive || unc;
}

bool HasFolderPart(std::wstring_view p) { return p.find_first_of(L"\\/:") != std::wstring_view::npos; }

std::optional<std::wstring> FullPathOf(const std::wstring& path) {
    const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::nullopt;
    std::wstring full(n, L'\0');
    const DWORD got = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (got == 0 || got >= n) return std::nullopt;
    full.resize(got);
    return full;
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attrs = ::GetFileAttributesW(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool HasWildcards(std::wstring_view p) {
    if (p.rfind(L"\\\\?\\", 0) == 0) p.remove_prefix(4);  // the long-path prefix is no wildcard
    return p.find_first_of(L"*?\"<>|") != std::wstring_view::npos;
}

// An absolute path naming an existing file, made full (no "..", no forward slashes).
std::optional<std::wstring> ExistingFileAt(std::wstring_view path) {
    if (!IsAbsolute(path) || HasWildcards(path)) return std::nullopt;
    const std::wstring p(path);
    if (!IsExistingFile(p)) return std::nullopt;
    return FullPathOf(p);
}

std::wstring FolderFrom(UINT (*get)(LPWSTR, UINT)) {
    wchar_t buf[MAX_PATH];
    const UINT n = get(buf, MAX_PATH);
    return n && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

// A bare program name in the system's folders, then on PATH; never the current folder.
std::optional<std::wstring> SearchSystemFolders(std::wstring_view name) {
    if (name.empty() || name.find_first_of(L"*?\"<>|") != std::wstring_view::npos) return std::nullopt;
    std::wstring folders = FolderFrom(::GetSystemDirectoryW) + L";" + FolderFrom(::GetWindowsDirectoryW);
    const DWORD pathLen = ::GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (pathLen > 1) {
        std::wstring path(pathLen, L'\0');
        path.resize(::GetEnvironmentVariableW(L"PATH", path.data(), pathLen));
        // Relative PATH entries ("." among them) would mean the current folder again.
        size_t start = 0;
        while (start <= path.size()) {
            const size_t end = std::min(path.find(L';', start), path.size());
            const std::wstring_view entry = TrimBlanks(std::wstring_view(path).substr(start, end - start));
            if (IsAbsolute(entry)) folders += L";" + std::wstring(entry);
            start = end + 1;
        }
    }
    const std::wstring n(name);
    std::vector<wchar_t> buf(MAX_PATH);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD got = ::SearchPathW(folders.c_str(), n.c_str(), L".exe", static_cast<DWORD>(buf.size()),
                                        buf.data(), nullptr);
        if (got == 0) return std::nullopt;
        if (got < buf.size()) {
            std::wstring found(buf.data(), got);
            if (!IsExistingFile(found)) return std::nullopt;
            return found;
        }
        buf.resize(got + 1);
    }
    return std::nullopt;
}

std::optional<std::wstring> ProgramNamed(std::wstring_view text) {
    return HasFolderPart(text) ? ExistingFileAt(text) : SearchSystemFolders(text);
}

}  // namespace

Result<ResolvedCommand> ResolveCommandLine(std::wstring_view commandLine) {
    const std::wstring_view line = TrimBlanks(commandLine);
    if (line.empty()) return Error{ERROR_INVALID_PARAMETER};

    if (line.front() == L'"') {
        const size_t close = line.find(L'"', 1);
        const std::wstring_view name = line.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1);
        const std::wstring_view rest = close == std::wstring_view::npos ? std::wstring_view() : line.substr(close + 1);
        auto program = ProgramNamed(TrimBlanks(name));
        if (!program) return Error{ERROR_FILE_NOT_FOUND};
        return ResolvedCommand{std::move(*program), std::wstring(TrimBlanks(rest))};
    }

    // Every place where a word ends is a candidate end of the program's path; the longest wins.
    std::vector<size_t> ends;
    for (size_t i = 1; i < line.size(); ++i)
        if (IsBlank(line[i]) && !IsBlank(line[i - 1])) ends.push_back(i);
    ends.push_back(line.size());
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
        if (auto program = ProgramNamed(line.substr(0, *it)))
            return ResolvedCommand{std::move(*program), std::wstring(TrimBlanks(line.substr(*it)))};
    }
    return Error{ERROR_FILE_NOT_FOUND};
}

std::wstring QuotedCommandLine(const ResolvedCommand& command) {
    std::wstring line = L"\"" + command.program + L"\"";
    if (!command.arguments.empty()) line += L" " + command.arguments;
    return line;
}

}  // namespace ardmoor
