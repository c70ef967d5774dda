// Discovery runs on the user's desktop while the CAD works: on a busy machine (hundreds
// of processes, thousands of windows) it must stay well under the first pause of the
// launch sequence. The platform here is the in-memory fake, so this measures the
// launcher's own work (matching, caption cutting, code page conversion), not Win32.
#include <benchmark/benchmark.h>

#include "launcher/discovery.h"
#include "launcher/settings.h"
#include "tests/support/fake_platform.h"

namespace {

using vorta::testing::FakePlatform;

void BuildBusyDesktop(FakePlatform& platform, int processes, int windowsPerThread) {
    vorta::Hwnd next = 1;
    for (int p = 1; p <= processes; ++p) {
        bool cad = p % 100 == 0;
        platform.AddProcess(p, cad ? "acad.exe" : "svchost.exe");
        for (int t = 0; t < 3; ++t) {
            std::uint32_t tid = p * 10 + t;
            platform.AddThread(tid, p);
            for (int w = 0; w < windowsPerThread; ++w) {
                vorta::Hwnd top = next++;
                std::wstring caption =
                    (cad && w == 0 && t == 0) ? L"AutoCAD 2005 - [図面.dwg]" : L"IME ウィンドウ";
                platform.AddWindow({top, tid, 0, caption, {}, false});
                platform.AddWindow({next++, 0, top, L"コマンド", {0, 0, 100, 20}, false});
            }
        }
    }
}

void BM_FindCadInstances(benchmark::State& state) {
    FakePlatform platform;
    BuildBusyDesktop(platform, static_cast<int>(state.range(0)), 4);
    vorta::LauncherState launcher;
    launcher.settings.ACADName = L"acad";
    launcher.settings.MainCaption = L"AutoCAD 2005";
    launcher.settings.TextCaption = L"AutoCAD テキスト";
    launcher.settings.CommandCaption = L"コマンド";
    vorta::PlainPickerHost picker;
    for (auto _ : state) {
        platform.log.clear();
        vorta::FindCadInstances(platform, launcher, picker.list());
        benchmark::DoNotOptimize(launcher.table.size());
    }
}
BENCHMARK(BM_FindCadInstances)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

void BM_ParseSettingInteger(benchmark::State& state) {
    const std::wstring values[] = {L"1001", L" 1 0 0 2 ", L"&H3EA", L"12abc", L"1.5E3", L""};
    for (auto _ : state)
        for (const auto& v : values) benchmark::DoNotOptimize(vorta::ParseSettingInteger(v));
}
BENCHMARK(BM_ParseSettingInteger);

}  // namespace
