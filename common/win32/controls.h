// Typed calls for the standard controls the forms use: the combo box's list and selection,
// and a check box's state.
#pragma once

#include <string>

#include "common/win32/win.h"

namespace vorta::win32 {

// --- Combo box

inline void ComboClear(HWND combo) {
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
}
// Adds an item (in the list's order, or sorted if the list sorts); its index or CB_ERR.
inline int ComboAdd(HWND combo, const std::wstring& text) {
    return static_cast<int>(
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}
inline int ComboCount(HWND combo) {
    return static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
}
// The selected item's index; -1 (CB_ERR) for none.
inline int ComboSelected(HWND combo) {
    return static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
}
// Selects the item; -1 clears the selection.
inline void ComboSelect(HWND combo, int index) {
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// --- Check box

inline bool IsChecked(HWND checkBox) {
    return ::SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline void SetChecked(HWND checkBox, bool checked) {
    ::SendMessageW(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace vorta::win32
