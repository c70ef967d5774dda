#include "installer/app/form1.h"

#include "common/forms/command_table.h"
#include "common/win32/dpi_font.h"
#include "common/win32/form_controls.h"
#include "common/win32/message_loop.h"
#include "common/win32/paint.h"
#include "installer/app/resource.h"
#include "installer/placement.h"

namespace vorta::setup {
namespace {

constexpr wchar_t kFormClass[] = L"VortaSetupForm1";
constexpr wchar_t kPictureClass[] = L"VortaSetupPicture1";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFormExStyle = 0;

constexpr wchar_t kCaption[] = L"ヴォルタ インストーラ";
constexpr wchar_t kFontFace[] = L"ＭＳ Ｐゴシック";
constexpr int kFontPoints = 12;

// The pass over waiting events handles at most this many; far more than can queue up
// between two copies.
constexpr int kPendingEventBound = 4096;

[[noreturn]] void EndProgram() {
    ExitProcess(0);
}

vorta::win32::GdiObject<HFONT> MakeFont(int dpi, int weight) {
    return vorta::win32::CreateJapaneseFont(kFontFace, -MulDiv(kFontPoints, dpi, 72), weight);
}

HICON FormIcon(HINSTANCE instance, int size) {
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_VORTASETUP), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace

bool Picture1::Open(HINSTANCE instance, HWND parent, int id) {
    banner_ = vorta::win32::GdiObject<HBITMAP>(static_cast<HBITMAP>(LoadImageW(
        instance, MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    // No background brush: the box paints all of itself.
    const vorta::win32::WindowClass pictureClass{kPictureClass, nullptr, nullptr, nullptr};
    return Create(instance, pictureClass, 0, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

LRESULT Picture1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_PAINT) return Window::HandleMessage(message, wparam, lparam);
    const vorta::win32::PaintScope paint(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillRect(paint.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
    if (banner_) {
        BITMAP info{};
        GetObjectW(banner_.get(), sizeof(info), &info);
        const vorta::win32::MemoryDc source(paint.get(), banner_.get());
        // Unscaled, from the top-left corner.
        BitBlt(paint.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
    }
    return 0;
}

Form1::Form1() : platform_(*this, [this] { ProcessPendingEvents(); }), controller_(platform_) {}

bool Form1::Open(HINSTANCE instance) {
    dpi_ = static_cast<int>(vorta::win32::DpiOf(nullptr));
    boldFont_ = MakeFont(dpi_, FW_BOLD);
    regularFont_ = MakeFont(dpi_, FW_NORMAL);

    const forms::Box client = forms::ClientBox(kForm1Design, dpi_);
    RECT outer{0, 0, client.width, client.height};
    AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
    const vorta::win32::WindowClass formClass{
        kFormClass, FormIcon(instance, GetSystemMetrics(SM_CXICON)),
        FormIcon(instance, GetSystemMetrics(SM_CXSMICON)), GetSysColorBrush(COLOR_BTNFACE)};
    if (!Create(instance, formClass, kFormExStyle, kCaption, kFormStyle, CW_USEDEFAULT,
                CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, nullptr)) {
        return false;
    }
    // A window without its buttons would be of no use.
    if (!CreateControls(instance)) {
        Destroy();
        return false;
    }
    Form_Load();
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    UpdateWindow(hwnd());
    return true;
}

void Form1::Run() {
    vorta::win32::RunMessageLoop(
        [this](MSG& message) { return vorta::win32::RouteToDialog(hwnd(), message); });
}

void Form1::ProcessPendingEvents() {
    vorta::win32::ProcessPendingMessages(
        [this](MSG& message) { return vorta::win32::RouteToDialog(hwnd(), message); },
        kPendingEventBound);
}

// Controls are created in tab order: Picture1, Command1, Command2, Label1.
bool Form1::CreateControls(HINSTANCE instance) {
    const vorta::win32::ControlPlacement placement{static_cast<UINT>(dpi_),
                                                   {boldFont_.get(), regularFont_.get()}};
    return vorta::win32::CreateControls(
        hwnd(), kForm1Design, controls_, placement, [&](const forms::Control& control) -> HWND {
            return picture1_.Open(instance, hwnd(), control.id) ? picture1_.hwnd() : nullptr;
        });
}

// Form_Load: centre horizontally, vertical centre at one third of the screen, then topmost.
void Form1::Form_Load() {
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    const FormPlacement place =
        PlaceForm(PixelsToTwipsUnrounded(GetSystemMetrics(SM_CXSCREEN), dpi_),
                  PixelsToTwipsUnrounded(GetSystemMetrics(SM_CYSCREEN), dpi_),
                  PixelsToTwipsUnrounded(outer.right - outer.left, dpi_),
                  PixelsToTwipsUnrounded(outer.bottom - outer.top, dpi_));
    SetWindowPos(hwnd(), nullptr, TwipsToPixelsHalfToEven(place.left, dpi_),
                 TwipsToPixelsHalfToEven(place.top, dpi_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Form1::Command1_Click() {
    if (controller_.OnInstallClick() == InstallerController::Action::kEnd) EndProgram();
}

void Form1::Command2_Click() {
    if (controller_.OnCancelClick() == InstallerController::Action::kEnd) EndProgram();
}

void Form1::Form_Unload() {
    if (controller_.OnClose() == InstallerController::Action::kEnd) EndProgram();
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND: {
            static constexpr forms::Command<Form1> kCommands[] = {
                forms::On(kIdCommand1, BN_CLICKED, &Form1::Command1_Click),
                forms::On(kIdCommand2, BN_CLICKED, &Form1::Command2_Click),
            };
            if (forms::Dispatch(*this, kCommands, LOWORD(wparam), HIWORD(wparam))) return 0;
            break;
        }
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_CLOSE:
            Form_Unload();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(message, wparam, lparam);
}

int RunForm1(HINSTANCE instance) {
    vorta::win32::Owned<Form1> form;
    if (!form.Open(instance)) return 1;
    form.Run();
    return 0;
}

}  // namespace vorta::setup
