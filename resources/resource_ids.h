#pragma once
// Resource identifiers shared by the .rc file and the code.
#define IDI_ARDMOOR 1
#define IDR_INVALID_ICO 101
#define IDR_NOICON_ICO 102
