#include "installer/app/form1.h"

#include <memory>

#include "installer/app/ansi.h"
#include "installer/app/raii.h"
#include "installer/app/resource.h"
#include "installer/app/win32_platform.h"
#include "installer/install_sequence.h"
#include "installer/placement.h"

namespace vortasetup {
namespace {

constexpr char kFormClass[] = "VortaSetupForm1";
constexpr char kPictureClass[] = "VortaSetupPicture1";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFormExStyle = 0;

// Client area and controls in twips, relative to the client area.
constexpr int kClientWidth = 9585;
constexpr int kClientHeight = 4830;
struct ControlLayout {
    int id, left, top, width, height;
};
constexpr ControlLayout kPicture1{100, 0, 0, 9615, 4005};
constexpr ControlLayout kCommand1{101, 5280, 4080, 1935, 615};
constexpr ControlLayout kCommand2{102, 7440, 4080, 1935, 615};
constexpr ControlLayout kLabel1{103, 120, 4200, 5055, 375};

constexpr wchar_t kCaption[] = L"ヴォルタ インストーラ";
constexpr wchar_t kLabelText[] = L"ヴォルタをインストールします。";
constexpr wchar_t kFontFace[] = L"ＭＳ Ｐゴシック";
constexpr int kFontPoints = 12;
constexpr BYTE kShiftJisCharset = 128;

struct Form1 {
    HWND window = nullptr;
    HWND picture1 = nullptr;
    int dpi = 96;
    GdiObject<HFONT> bold_font;
    GdiObject<HFONT> regular_font;
    GdiObject<HBITMAP> banner;
    Win32InstallPlatform platform;
    InstallerController controller{platform};
};

Form1* g_form1 = nullptr;

[[noreturn]] void EndProgram() {
    ExitProcess(0);
}

int ScreenDpi() {
    const ScreenDc screen;
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;
}

GdiObject<HFONT> MakeFont(int dpi, int weight) {
    const std::string face = ToAnsi(kFontFace);
    LOGFONTA font{};
    font.lfHeight = -MulDiv(kFontPoints, dpi, 72);
    font.lfWeight = weight;
    font.lfCharSet = kShiftJisCharset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(font.lfFaceName, face.c_str(), LF_FACESIZE);
    return GdiObject<HFONT>(CreateFontIndirectA(&font));
}

HWND AddControl(Form1& form, const char* window_class, const std::wstring& text, DWORD style,
                const ControlLayout& layout, HFONT font) {
    const std::string ansi = ToAnsi(text);
    HWND control = CreateWindowExA(
        0, window_class, ansi.c_str(), WS_CHILD | WS_VISIBLE | style,
        TwipsToPixels(layout.left, form.dpi), TwipsToPixels(layout.top, form.dpi),
        TwipsToPixels(layout.width, form.dpi), TwipsToPixels(layout.height, form.dpi), form.window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), GetModuleHandleA(nullptr),
        nullptr);
    if (control && font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

// Controls are created in tab order: Picture1, Command1, Command2, Label1.
void CreateControls(Form1& form) {
    form.picture1 = AddControl(form, kPictureClass, L"", 0, kPicture1, nullptr);
    AddControl(form, "BUTTON", L"インストール", WS_TABSTOP | BS_PUSHBUTTON, kCommand1,
               form.bold_font.get());
    AddControl(form, "BUTTON", L"キャンセル", WS_TABSTOP | BS_PUSHBUTTON, kCommand2,
               form.bold_font.get());
    AddControl(form, "STATIC", kLabelText, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, kLabel1,
               form.regular_font.get());
}

// Form_Load: centre horizontally, vertical centre at one third of the screen, then topmost.
void Form_Load(Form1& form) {
    RECT outer{};
    GetWindowRect(form.window, &outer);
    const FormPlacement place = PlaceForm(PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), form.dpi),
                                          PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), form.dpi),
                                          PixelsToTwips(outer.right - outer.left, form.dpi),
                                          PixelsToTwips(outer.bottom - outer.top, form.dpi));
    SetWindowPos(form.window, nullptr, TwipsToPixels(place.left, form.dpi),
                 TwipsToPixels(place.top, form.dpi), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(form.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Command1_Click(Form1& form) {
    if (form.controller.OnInstallClick() == InstallerController::Action::End) EndProgram();
}

void Command2_Click(Form1& form) {
    if (form.controller.OnCancelClick() == InstallerController::Action::End) EndProgram();
}

void Form_Unload(Form1& form) {
    if (form.controller.OnClose() == InstallerController::Action::End) EndProgram();
}

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        const PaintScope paint(window);
        RECT client{};
        GetClientRect(window, &client);
        FillRect(paint.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
        if (g_form1 && g_form1->banner.get()) {
            BITMAP info{};
            GetObjectA(g_form1->banner.get(), sizeof(info), &info);
            const MemoryDc source(paint.get(), g_form1->banner.get());
            // Unscaled, from the top-left corner.
            BitBlt(paint.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Form1* form = g_form1;
    switch (message) {
        case WM_COMMAND:
            if (form && HIWORD(wparam) == BN_CLICKED) {
                if (LOWORD(wparam) == kCommand1.id) Command1_Click(*form);
                if (LOWORD(wparam) == kCommand2.id) Command2_Click(*form);
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_CLOSE:
            if (form) Form_Unload(*form);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

bool RegisterClasses(HINSTANCE instance) {
    const int icon_size = GetSystemMetrics(SM_CXICON);
    const int small_size = GetSystemMetrics(SM_CXSMICON);
    WNDCLASSEXA form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = FormProc;
    form.hInstance = instance;
    form.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_VORTASETUP),
                                               IMAGE_ICON, icon_size, icon_size, LR_SHARED));
    form.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_VORTASETUP),
                                                 IMAGE_ICON, small_size, small_size, LR_SHARED));
    form.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    form.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    form.lpszClassName = kFormClass;
    WNDCLASSEXA picture{};
    picture.cbSize = sizeof(picture);
    picture.lpfnWndProc = PictureProc;
    picture.hInstance = instance;
    picture.hCursor = form.hCursor;
    picture.lpszClassName = kPictureClass;
    return RegisterClassExA(&form) != 0 && RegisterClassExA(&picture) != 0;
}

}  // namespace

HWND Form1Handle() {
    return g_form1 ? g_form1->window : nullptr;
}

void ProcessPendingForm1Events() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (g_form1 && IsDialogMessageA(g_form1->window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int RunForm1(HINSTANCE instance) {
    if (!RegisterClasses(instance)) return 1;
    auto form = std::make_unique<Form1>();
    g_form1 = form.get();
    form->dpi = ScreenDpi();
    form->bold_font = MakeFont(form->dpi, FW_BOLD);
    form->regular_font = MakeFont(form->dpi, FW_NORMAL);
    form->banner = GdiObject<HBITMAP>(static_cast<HBITMAP>(LoadImageA(
        instance, MAKEINTRESOURCEA(IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));

    RECT outer{0, 0, TwipsToPixels(kClientWidth, form->dpi),
               TwipsToPixels(kClientHeight, form->dpi)};
    AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
    const std::string caption = ToAnsi(kCaption);
    form->window = CreateWindowExA(kFormExStyle, kFormClass, caption.c_str(), kFormStyle,
                                   CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                                   outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (!form->window) return 1;
    CreateControls(*form);
    Form_Load(*form);
    ShowWindow(form->window, SW_SHOWNORMAL);
    UpdateWindow(form->window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(form->window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    g_form1 = nullptr;
    return 0;
}

}  // namespace vortasetup
