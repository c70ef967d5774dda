// One sitting of the settings assistant, free of the window system: the programs listed
// and the one chosen, its analysis (window tree, parts, judgement, proposals), which
// "採用" boxes start ticked, "試す", and the save of Lumset.ini with the read-back. The
// window renders what the session holds and hands the user's actions to it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launcher/assistant/analysis.h"
#include "launcher/assistant/lumset_file.h"
#include "launcher/assistant/window_survey.h"
#include "launcher/launcher_state.h"
#include "launcher/platform.h"
#include "launcher/settings.h"

namespace vorta::assistant {

// What one key's row shows at first.
struct KeyRow {
    std::wstring current;       // the value Lumset.ini holds now
    bool used = true;           // false: no part of the launcher uses the key (IsUnusedKey)
    const wchar_t* mark = L"";  // kMarkOk or kMarkNg; none without a program or for an unused key
    std::wstring value;         // the proposal, else the current value; kUnusedKeyText if unused
    bool accept = false;  // "採用" ticked: a proposal that changes a value that does not fit
};

// What the user has in a key's row when trying or saving.
struct KeyChoice {
    bool accept = false;
    std::wstring value;
};
using KeyChoices = std::array<KeyChoice, kSettingCount>;

// What came of "試す" or a save.
struct ActionOutcome {
    std::wstring report;                // the new report; empty: the report stays
    std::wstring message;               // to put up for the user; empty: none
    std::optional<std::size_t> badKey;  // the key whose value cannot be written
    bool saved = false;                 // Lumset.ini was written: settings() are the new ones
};

inline constexpr wchar_t kChooseProgramText[] =
    L"お使いの CAD を「CAD のプログラム」の一覧から選んでください。一覧にないときは、CAD を"
    L"起動して図面を開いてから「一覧を更新」を押してください。";
inline constexpr wchar_t kNothingToSaveMessage[] =
    L"保存する値がありません。変える値の「採用」に印を付けてから保存してください。";

class AssistantSession {
  public:
    // ownProcessId: the program the assistant runs in, never listed.
    AssistantSession(Platform& platform, ConsolePlatform& console, SettingsFileSystem& files,
                     std::uint32_t ownProcessId);
    AssistantSession(const AssistantSession&) = delete;
    AssistantSession& operator=(const AssistantSession&) = delete;

    // Reads appFolder's Lumset.ini as the launcher reads it, lists the programs and
    // chooses (and analyses) the first whose name is ACADName.
    void Load(const std::wstring& appFolder);
    // Lists the programs again, keeping the chosen one while it runs, and analyses it anew.
    void Refresh();
    // Chooses the program at that place of programs() (any other index: none) and
    // analyses it.
    void Choose(int index);

    const LauncherSettings& settings() const { return settings_; }
    const std::vector<ProgramInfo>& programs() const { return programs_; }
    int chosen() const { return chosen_; }
    const std::vector<WindowNode>& windows() const { return tops_; }
    const CadParts& parts() const { return parts_; }
    const Recognised& found() const { return found_; }
    KeyRow Row(std::size_t key) const;
    // The judgement and the proposals, or what to do while no program is chosen.
    std::wstring Report() const;

    // What the launcher would drive with the accepted values and the current others.
    ActionOutcome Try(const KeyChoices& choices);
    // Saves the accepted values (never an unused key's: its line stays), reads Lumset.ini
    // back as the launcher reads it, tells any value that reads back otherwise, and
    // judges the new values. A save that fails leaves the old file and the settings.
    ActionOutcome Save(const KeyChoices& choices);

  private:
    // Lists the programs; chooses the one with that process id (0: the first whose name
    // is ACADName) and analyses it.
    void List(std::uint32_t keep);
    void Analyse();
    std::uint32_t ChosenProcessId() const;
    // The values to try or save: the accepted rows' values, the current others; the
    // accepted values alone go to `changes`. Nothing, with the problem told in `outcome`,
    // when an accepted value cannot be written.
    std::optional<SettingTexts> Values(const KeyChoices& choices, LumsetChanges& changes,
                                       ActionOutcome& outcome) const;

    Platform& platform_;
    ConsolePlatform& console_;
    SettingsFileSystem& files_;
    std::uint32_t ownProcessId_;
    std::wstring appFolder_;
    LauncherSettings settings_;
    std::vector<ProgramInfo> programs_;
    int chosen_ = -1;
    std::vector<WindowNode> tops_;
    CadParts parts_;  // points into tops_
    Recognised found_;
    KeyChecks checks_;
    Proposals proposals_;
};

}  // namespace vorta::assistant
