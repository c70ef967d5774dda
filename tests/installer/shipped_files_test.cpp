// The files the project itself ships beside the installer: the launcher's pause and
// settings files, and the installer's manifest.
#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Converts code page 932 bytes to UTF-8; fails the test on bytes that are not valid there.
std::string FromCp932(const std::string& bytes) {
    iconv_t converter = iconv_open("UTF-8", "CP932");
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
    std::string out(bytes.size() * 3 + 4, '\0');
    char* in_ptr = const_cast<char*>(bytes.data());
    size_t in_left = bytes.size();
    char* out_ptr = out.data();
    size_t out_left = out.size();
    const size_t result = iconv(converter, &in_ptr, &in_left, &out_ptr, &out_left);
    iconv_close(converter);
    EXPECT_NE(result, static_cast<size_t>(-1)) << "not code page 932 text";
    out.resize(out.size() - out_left);
    return out;
}

TEST(ShippedLumsetIni, IsCodePage932WithTheEightKeysInSectionMain) {
    const std::string bytes = ReadBytes(VORTA_SHIPPED_DIR "/lumset.ini");
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF") << "a byte order mark breaks the first line";
    const std::string text = FromCp932(bytes);
    // The Japanese text must really be in code page 932, not UTF-8 that happens to pass.
    EXPECT_NE(text.find("テキスト ウィンドウ"), std::string::npos);
    EXPECT_EQ(bytes.find("テキスト"), std::string::npos);

    std::istringstream lines(text);
    std::string line, section;
    std::vector<std::string> keys;
    std::string acad_name, main_caption, text_caption;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ASSERT_EQ(line.find('\n'), std::string::npos);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = line;
            continue;
        }
        const auto equals = line.find('=');
        ASSERT_NE(equals, std::string::npos) << line;
        EXPECT_EQ(section, "[Main]") << line;
        keys.push_back(line.substr(0, equals));
        const std::string value = line.substr(equals + 1);
        EXPECT_FALSE(value.empty()) << line;
        EXPECT_LE(value.size(), 254u) << "the launcher reads at most 254 bytes";
        if (keys.back() == "ACADName") acad_name = value;
        if (keys.back() == "MainCaption") main_caption = value;
        if (keys.back() == "TextCaption") text_caption = value;
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"ACADName", "CommandCaption", "MainCaption",
                                              "TextCaption", "MainCmdCtrlID", "TextCmdCtrlID",
                                              "MainHistCtrlID", "TextHistCtrlID"}));
    // Shipped for current AutoCAD, whose main window is titled "Autodesk AutoCAD 2026 -
    // [図面1.dwg]"; the main caption must not also catch the text window.
    EXPECT_EQ(acad_name, "acad");
    EXPECT_EQ(std::string("Autodesk AutoCAD 2026 - [図面1.dwg]").rfind(main_caption, 0), 0u)
        << main_caption;
    EXPECT_NE(text_caption.rfind(main_caption, 0), 0u)
        << "the text window's caption would match the main-window test";
}

TEST(ShippedTardoDat, FirstLineIsAPauseTheUserIsToldToUse) {
    const std::string bytes = ReadBytes(VORTA_SHIPPED_DIR "/tardo.dat");
    const auto cr = bytes.find('\r');
    ASSERT_NE(cr, std::string::npos) << "the first line ends at a CR";
    const int pause = std::stoi(bytes.substr(0, cr));
    EXPECT_GE(pause, 1);
    EXPECT_LE(pause, 20);
}

TEST(InstallerManifest, AsksForTheHighestAvailableLevelExplicitly) {
    const std::string manifest = ReadBytes(VORTA_INSTALLER_APP_DIR "/vortasetup.manifest");
    const std::regex level_element("<requestedExecutionLevel\\s+([^>]*)/>");
    std::vector<std::string> elements;
    for (auto it = std::sregex_iterator(manifest.begin(), manifest.end(), level_element);
         it != std::sregex_iterator(); ++it) {
        elements.push_back((*it)[1]);
    }
    ASSERT_EQ(elements.size(), 1u);
    EXPECT_NE(elements[0].find("level=\"highestAvailable\""), std::string::npos);
    EXPECT_NE(elements[0].find("uiAccess=\"false\""), std::string::npos);
    // Laid out at the real dpi: the program declares itself dpi aware.
    EXPECT_TRUE(std::regex_search(manifest, std::regex("<dpiAware[^>]*>\\s*true\\s*</dpiAware>")));
    // The resource script embeds this file as the process manifest.
    const std::string rc = ReadBytes(VORTA_INSTALLER_APP_DIR "/vortasetup.rc");
    EXPECT_TRUE(std::regex_search(
        rc, std::regex(
                "CREATEPROCESS_MANIFEST_RESOURCE_ID\\s+RT_MANIFEST\\s+\"vortasetup.manifest\"")));
}

}  // namespace
