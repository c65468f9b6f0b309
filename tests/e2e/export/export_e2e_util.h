#pragma once
// Running the real exe as a script does, and what the export tests leave for check_export.py.
#include <windows.h>

#include <string>
#include <vector>

namespace ardmoor::test {

inline const wchar_t* kUninstallSub = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// <build>\export-check\, created on demand: the files the Python check reads.
std::wstring CheckFolder();

struct CliRun {
    DWORD exitCode = 0xDEAD;  // when the process did not end in time (it is killed)
    std::string out;
    std::string err;
};
// Starts ardmoor.exe with `args`, its standard output and error redirected to files (as
// CreateProcess with STARTF_USESTDHANDLES, the way a shell redirects), and waits for it.
CliRun RunArdmoor(const std::wstring& args);

// Writes what the machine's Uninstall key holds for the entries whose key names start with one of
// `prefixes`, read with plain registry calls, one line each:
//   ENTRY <tab> key path                      an entry the listing should hold
//   VALUE <tab> name <tab> type <tab> data    its values, data as hex bytes; REG_EXPAND_SZ data is
//                                             given expanded by the system, as UTF-16
//   ABSENT <tab> key path                     a key the listing must leave out (it has subkeys)
bool WriteRegistryDump(const std::wstring& file, const std::vector<std::wstring>& prefixes);

// Temporary files an export may have left in a folder ("ard*.tmp").
std::vector<std::wstring> TemporaryFilesIn(const std::wstring& folder);

}  // namespace ardmoor::test
