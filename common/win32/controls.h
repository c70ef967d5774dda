// Typed calls for the standard controls the forms use: the combo box's list, selection and
// sizes, a check box's state, a text box's limit and the tree view's items.
#pragma once

#include <commctrl.h>

#include <cstdint>
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
// The number kept with an item; CB_ERR for no such item.
inline void ComboSetItemData(HWND combo, int index, std::int32_t data) {
    ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}
inline std::int32_t ComboItemData(HWND combo, int index) {
    return static_cast<std::int32_t>(
        ::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}
// The height of the list's items (index 0 on) or, for -1, of the selection field.
inline int ComboItemHeight(HWND combo, int index) {
    return static_cast<int>(::SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
}
inline void ComboSetItemHeight(HWND combo, int index, int height) {
    ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(index), height);
}
// How wide the list drops, in pixels.
inline void ComboSetDroppedWidth(HWND combo, int width) {
    ::SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

// --- Check box

inline bool IsChecked(HWND checkBox) {
    return ::SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline void SetChecked(HWND checkBox, bool checked) {
    ::SendMessageW(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// --- Text box

// The most characters the user can type; 0 for no limit but the system's.
inline void SetTextLimit(HWND textBox, int characters) {
    ::SendMessageW(textBox, EM_SETLIMITTEXT, static_cast<WPARAM>(characters), 0);
}

// --- Tree view

// Adds an item after the last child of `parent` (TVI_ROOT for the top level) with its text
// and a number kept with it; the new item, or null.
inline HTREEITEM TreeAdd(HWND tree, HTREEITEM parent, std::wstring text, LPARAM data) {
    TVINSERTSTRUCTW item{};
    item.hParent = parent;
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT | TVIF_PARAM;
    item.item.pszText = text.data();
    item.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}
inline void TreeClear(HWND tree) {
    ::SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}
inline void TreeExpand(HWND tree, HTREEITEM item) {
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}
// Selects the item and scrolls it into view.
inline void TreeSelectAndShow(HWND tree, HTREEITEM item) {
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

}  // namespace vorta::win32
