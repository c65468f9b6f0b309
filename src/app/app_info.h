#pragma once
// The program's own name and title, used as the caption of its windows and message boxes.

namespace ardmoor {
inline constexpr const wchar_t* kAppTitle = L"Ardmoor";
inline constexpr const wchar_t* kAlreadyRunningText = L"An instance of Ardmoor is already running.";
inline constexpr const wchar_t* kMakerName = L"Quillfen Software";
inline constexpr const wchar_t* kMakerWebAddress = L"https://www.quillfen.example/ardmoor/";
}  // namespace ardmoor
