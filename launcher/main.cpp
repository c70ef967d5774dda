#include "launcher/main.h"

#include <cstdint>
#include <optional>
#include <string>

#include "launcher/app_title.h"
#include "launcher/launch.h"
#include "launcher/pause_file.h"

namespace vorta {

void Main(Platform& platform, PickerHost& picker, LauncherState& state) {
    // The pause file path is built from the folder as the platform gives it, without
    // the trailing-backslash rule of AppFolder.
    std::wstring pausePath = platform.ApplicationPath() + L"\\" + kPauseFileName;
    std::optional<std::int16_t> pause;
    if (auto bytes = platform.ReadFileHead(pausePath, kPauseFileHeadBytes))
        pause = ParsePauseFile(*bytes, platform);
    if (pause) {
        state.PauseUnit = ClampPauseUnit(*pause);
    } else {
        platform.MessageBox(kPauseFileMessage, kAppTitle);
        state.PauseUnit = kDefaultPauseUnit;
    }
    LaunchInCad(platform, state, picker);
}

}  // namespace vorta
