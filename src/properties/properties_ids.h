#pragma once
// Control and command identifiers of the properties window and the value edit dialog (the
// properties range, 300-399). Tests that drive the windows from outside use them too.

namespace ardmoor {

enum PropertiesIds : int {
    // frmProperties
    kIdPropName = 300,       // Picture1: the entry's name
    kIdPropIcon = 301,       // Image1
    kIdPropArea0 = 302,      // Picture2(0) to Picture2(4): 302-306
    kIdPropLabel0 = 307,     // Label1(0) to Label1(4): 307-311
    kIdPropList = 312,       // lvProps
    kIdPropCancel = 313,
    kIdPropOk = 314,
    // Its popup menu mnuA: mnuMain(0), (1) and (3).
    kIdMenuAddEntry = 320,
    kIdMenuRemoveEntry = 321,
    kIdMenuModifyData = 323,

    // frmEdit
    kIdEditName = 330,       // Text2
    kIdEditData = 331,       // Text1
    kIdEditOk = 332,         // Command1(0)
    kIdEditCancel = 333,     // Command1(1)
    kIdEditNameLabel = 334,
    kIdEditDataLabel = 335,
};

inline constexpr const wchar_t* kPropertiesCaptionSuffix = L" properties...";
inline constexpr const wchar_t* kAddEntryCaption = L"Add Entry...";
inline constexpr const wchar_t* kEditValueCaption = L"Edit Value...";

}  // namespace ardmoor
