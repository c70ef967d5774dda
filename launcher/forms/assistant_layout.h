// The design of the settings assistant's window, in twips from the client area's top
// left corner (converted with the window's real DPI, like the console's), its control
// identifiers and texts, and the menu of frmMain that opens it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/forms/control_table.h"
#include "launcher/settings.h"

namespace vorta::forms {

// frmMain's second menu, beside "File(&F)", with its one item.
inline constexpr wchar_t kSettingsMenuCaption[] = L"設定(&S)";
inline constexpr wchar_t kSettingsAssistantMenuItem[] = L"Lumset.ini の設定アシスタント...";
inline constexpr std::uint16_t kIdMnuSettingsAssistant = 211;

inline constexpr wchar_t kAssistantCaption[] = L"Lumset.ini の設定アシスタント";

enum AssistantId : std::uint16_t {
    kIdAsstProgramLabel = 401,
    kIdAsstProgram,
    kIdAsstRefresh,
    kIdAsstTreeLabel,
    kIdAsstTree,
    kIdAsstHeadKey,
    kIdAsstHeadCurrent,
    kIdAsstHeadMark,
    kIdAsstHeadValue,
    kIdAsstResult,
    kIdAsstTry,
    kIdAsstSave,
    kIdAsstClose,
    // One row per key: kIdAsstRow... + the key.
    kIdAsstRowKey = 420,
    kIdAsstRowCurrent = 430,
    kIdAsstRowMark = 440,
    kIdAsstRowValue = 450,
    kIdAsstRowAccept = 460,
};

inline constexpr int kAssistantClientWidth = 840 * 15;
inline constexpr int kAssistantClientHeight = 702 * 15;

// Every control, in tab order (the order the window creates them in). The key rows are
// control arrays: lblKey, txtCurrent, lblMark, txtValue and chkAccept, one of each per key.
const std::vector<Control>& AssistantControls();
// The window's design; twips become pixels with halves away from zero, as the console's.
FormDesign AssistantDesign();

}  // namespace vorta::forms
