// Settings of one stand-in CAD instance, read from a small UTF-8 key=value file.
#pragma once

#include <string>

namespace vorta::standin {

// Where a window goes on the screen, in pixels.
struct WindowPlacement {
    int x = 0, y = 0, width = 0, height = 0;
};

struct Config {
    std::wstring name = L"cad";  // label of this instance in its log
    std::wstring mainCaption = L"AutoCAD 2005 - [Drawing1.dwg]";
    std::wstring textCaption = L"AutoCAD Text Window - Drawing1.dwg";
    std::wstring commandCaption = L"Command Line";
    int mainCmdCtrlId = 1001;
    int textCmdCtrlId = 1002;
    int mainHistCtrlId = 1003;
    int textHistCtrlId = 1004;
    WindowPlacement mainRect{40, 40, 640, 420};
    WindowPlacement textRect{60, 500, 600, 300};
    bool textWindow = true;            // create the text (history) window
    bool minimized = false;            // start with the main window minimised
    bool textInFront = false;          // start with the text window above the main window
    bool ansiWindows = false;          // main, text and command-line windows are ANSI windows
    bool commandLineVisible = true;    // false: the command-line windows exist but are hidden
    bool commandLineZeroSize = false;  // true: the command-line windows have an empty rectangle
    bool textWindowHidden = false;     // the text window exists but is never shown (and so
                                       // lies below the main window, met after it)
    bool focusOnDrawing = false;       // a drawing area in the main window keeps the keyboard focus
                                       // (a click into the command line leaves it there) and hands
                                       // Esc and Ctrl+V on to the main window's command line
    // How a paste reads the clipboard: "text" (CF_TEXT), "unicode" (CF_UNICODETEXT, which
    // the system makes from the text offered) or "ole" (OleGetClipboard, CF_TEXT).
    std::wstring pasteFormat = L"text";
    std::wstring logPath;        // one UTF-8 line per event
    std::wstring readyPath;      // written once the windows exist
    std::wstring stopPath;       // the instance ends when this file appears
    int exitAfterSeconds = 300;  // safety net: the instance ends by itself
    int hangSeconds = 0;         // the window thread stops answering for this long
    int hangDelayMs = 0;         // ... starting this long after the windows exist
    // Events of the instance's own that end it or make it hang: "click" (a click into a
    // command line), "pasteN" (right after handling the N-th Ctrl+V into a command line,
    // N from 1). Empty: none. With hangOn set, the hang of hangSeconds comes at that
    // event instead of after hangDelayMs.
    std::wstring exitOn;
    std::wstring hangOn;
    std::wstring history;  // initial history text (\n starts a new line)
};

// Parses the file's content. Unknown keys and malformed lines are reported in
// `problems` (one per line) and otherwise ignored.
Config ParseConfig(const std::string& utf8, std::wstring& problems);

// Reads and parses the file; false when it cannot be read.
bool LoadConfig(const std::wstring& path, Config& config, std::wstring& problems);

}  // namespace vorta::standin
