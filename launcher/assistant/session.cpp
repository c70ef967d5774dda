#include "launcher/assistant/session.h"

#include <utility>

#include "common/text/text_format.h"

namespace vorta::assistant {

AssistantSession::AssistantSession(Platform& platform, ConsolePlatform& console,
                                   SettingsFileSystem& files, std::uint32_t ownProcessId)
    : platform_(platform), console_(console), files_(files), ownProcessId_(ownProcessId) {}

void AssistantSession::Load(const std::wstring& appFolder) {
    appFolder_ = appFolder;
    settings_ = LoadLauncherSettings(platform_, appFolder_);
    List(0);
}

void AssistantSession::Refresh() {
    List(ChosenProcessId());
}

void AssistantSession::List(std::uint32_t keep) {
    programs_ = ListPrograms(platform_, settings_.ACADName, ownProcessId_);
    chosen_ = -1;
    for (std::size_t i = 0; i < programs_.size() && chosen_ < 0; ++i)
        if (keep != 0 ? programs_[i].processId == keep : programs_[i].matchesAcadName)
            chosen_ = static_cast<int>(i);
    Analyse();
}

void AssistantSession::Choose(int index) {
    chosen_ = index >= 0 && index < static_cast<int>(programs_.size()) ? index : -1;
    Analyse();
}

std::uint32_t AssistantSession::ChosenProcessId() const {
    return chosen_ >= 0 ? programs_[static_cast<std::size_t>(chosen_)].processId : 0;
}

void AssistantSession::Analyse() {
    parts_ = {};
    tops_.clear();
    found_ = {};
    checks_ = {};
    proposals_ = {};
    if (chosen_ < 0) return;
    const ProgramInfo& program = programs_[static_cast<std::size_t>(chosen_)];
    tops_ = SurveyWindows(platform_, console_, program.processId);
    parts_ = IdentifyParts(tops_);
    found_ = Recognise(platform_, console_, settings_, program);
    checks_ = CheckSettings(settings_, program, tops_, parts_, found_);
    proposals_ = Propose(program, tops_, parts_, settings_.MainCaption);
}

KeyRow AssistantSession::Row(std::size_t key) const {
    KeyRow row;
    row.current = TextsOf(settings_)[key];
    if (IsUnusedKey(key)) {
        row.used = false;
        row.value = kUnusedKeyText;
        return row;
    }
    const std::optional<std::wstring>& proposed = proposals_[key].value;
    row.value = proposed.value_or(row.current);
    if (chosen_ < 0) return row;
    row.mark = checks_[key].ok ? kMarkOk : kMarkNg;
    row.accept = proposed && *proposed != row.current && !checks_[key].ok;
    return row;
}

std::wstring AssistantSession::Report() const {
    return chosen_ >= 0 ? DescribeChecks(settings_, checks_, proposals_) : kChooseProgramText;
}

std::optional<SettingTexts> AssistantSession::Values(const KeyChoices& choices,
                                                     LumsetChanges& changes,
                                                     ActionOutcome& outcome) const {
    SettingTexts values = TextsOf(settings_);
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        if (!choices[k].accept || IsUnusedKey(k)) continue;
        if (std::optional<std::wstring> problem = ValueProblem(k, choices[k].value, platform_)) {
            outcome.message = std::move(*problem);
            outcome.badKey = k;
            return std::nullopt;
        }
        values[k] = choices[k].value;
        changes[k] = choices[k].value;
    }
    return values;
}

ActionOutcome AssistantSession::Try(const KeyChoices& choices) {
    ActionOutcome outcome;
    LumsetChanges changes;
    const std::optional<SettingTexts> values = Values(choices, changes, outcome);
    if (!values) return outcome;
    const TryOutcome tried = TryDiscovery(platform_, console_, SettingsOf(*values));
    outcome.report = DescribeTry(tried, ChosenProcessId());
    if (chosen_ >= 0) outcome.report += L"\r\n\r\n" + Report();
    return outcome;
}

ActionOutcome AssistantSession::Save(const KeyChoices& choices) {
    ActionOutcome outcome;
    LumsetChanges changes;
    const std::optional<SettingTexts> values = Values(choices, changes, outcome);
    if (!values) return outcome;
    bool any = false;
    for (const std::optional<std::wstring>& change : changes) any = any || change.has_value();
    if (!any) {
        outcome.message = kNothingToSaveMessage;
        return outcome;
    }
    const SaveOutcome save = SaveLumset(files_, platform_, appFolder_, changes);
    if (!save.saved) {
        outcome.report = save.message;
        outcome.message = save.message;
        return outcome;
    }
    // Read back as the launcher reads it: from now on these are the values.
    settings_ = LoadLauncherSettings(platform_, appFolder_);
    outcome.saved = true;
    const SettingTexts wanted = TextsOf(SettingsOf(*values));
    const SettingTexts read = TextsOf(settings_);
    outcome.report = save.message;
    for (std::size_t k = 0; k < kSettingCount; ++k)
        if (changes[k] && wanted[k] != read[k])
            outcome.report +=
                Fill(L"\r\n注意: 読み直した %1 が「%2」になっています。", {KeyName(k), read[k]});
    outcome.report += L"\r\nコンソールの CADSearch、Get、History2 も、これからはこの値を使います。";
    Analyse();
    outcome.report += L"\r\n\r\n" + Report();
    return outcome;
}

}  // namespace vorta::assistant
