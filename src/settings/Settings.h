#pragma once
// The user settings in effect: one field per key of `koumokutb`, named after its key, with
// the default that applies when the key is missing or settei.db does not open.
// A plain value type; SettingsStore reads and writes it. Owned by the UI thread's context.
#include <cstdint>
#include <optional>
#include <string>

namespace tavora::settings {

// A colour as 0x00BBGGRR (red in the low byte).
using Colour = std::uint32_t;

// The stored line-style texts and the numbers the grid styles map to.
inline constexpr const char* kLineSolid = "―　実線";
inline constexpr const char* kLineDotted = "…　点線";
inline constexpr const char* kLineDashed = "－－破線";
// 1 solid, 2 dotted, 3 dashed; none for any other text.
std::optional<int> lineStyleNumber(const std::string& text);
// The stored text of a style number 1, 2 or 3; the solid text for any other number.
std::string lineStyleText(int number);

// The three widths of the web side panel and their stored texts.
inline constexpr const char* kAdpanelNotView = "ADPANEL_WIDTH_TYPE_NOT_VIEW";
inline constexpr const char* kAdpanelView = "ADPANEL_WIDTH_TYPE_VIEW";
inline constexpr const char* kAdpanelLargeView = "ADPANEL_WIDTH_TYPE_LARGE_VIEW";
// 0 not shown, 1 normal, 2 large; any other text is 1.
int adpanelWidthType(const std::string& text);

// The time bound of one KABU+ day file (kabuplus_file_timeout), in seconds: the default and
// the range a stored value must lie in (any other stored text means the default).
inline constexpr int kDefaultFileTimeoutSeconds = 120;
inline constexpr int kMinFileTimeoutSeconds = 1;
inline constexpr int kMaxFileTimeoutSeconds = 86400;

// The main window's rectangle in screen pixels.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const WindowRect&) const = default;
};

struct Settings {
    // When not empty, replaces the data-directory path after start-up has set it up.
    std::string CreateDataPath;

    // Chart colours (the colour settings dialog writes these and the two grid styles).
    Colour grbuckcr = 0xFCFCFC;
    Colour hiduke_sencr = 0xE7E7E7;
    Colour nedan_sencr = 0xE7E7E7;
    Colour title_cr = 0x383838;
    Colour yousen_buckcr = 0xFFFFFF;
    Colour yousen_sencr = 0x202020;
    Colour insen_buckcr = 0x181818;
    Colour insen_sencr = 0x202020;
    Colour dekidaka_buckcr = 0xF4F4F4;
    Colour dekidaka_sencr = 0xD3D3D3;

    // Annotation and tool styles (written at exit).
    Colour takayasu_cr = 0x383838;
    Colour rangetimesen_cr = 0xB2B2B2;
    Colour rangetimefont_cr = 0xB2B2B2;
    Colour rangenedansen_cr = 0xB2B2B2;
    Colour rangenedanfont_cr = 0xB2B2B2;
    Colour linesen_cr = 0xB2B2B2;
    std::string x_sen_cb = kLineSolid;  // price (horizontal) grid lines
    std::string y_sen_cb = kLineSolid;  // date (vertical) grid lines
    Colour jyuji_sencr = 0xB76800;
    Colour jyuji_fontcr = 0xB76800;  // follows jyuji_sencr unless stored
    std::string jyuji_sensyu = kLineSolid;
    std::string jyuji_font = "メイリオ";
    int jyuji_fontsize = 9;
    Colour timenehaba_sencr = 0xB76800;
    Colour timenehaba_fontcr = 0xB76800;
    std::string timenehaba_sensyu = kLineSolid;
    std::string timenehaba_font = "メイリオ";
    int timenehaba_fontsize = 9;
    std::string takayasu_font = "メイリオ";
    int takayasu_fontsize = 9;
    std::string rangetime_font = "メイリオ";
    int rangetime_fontsize = 9;
    std::string rangetime_sensyu = kLineSolid;
    std::string rangenedan_font = "メイリオ";
    int rangenedan_fontsize = 9;
    std::string rangenedan_sensyu = kLineSolid;
    int rangenedan_yoko = 1;
    Colour linefont_cr = 0xB2B2B2;  // follows linesen_cr unless stored
    std::string line_sensyu = kLineSolid;
    Colour text_cr = 0x383838;
    std::string text_font = "メイリオ";
    int text_fontsize = 9;
    Colour memo_cr = 0x8A8A8A;
    std::string memo_font = "メイリオ";
    int memo_fontsize = 9;

    // Last-used bar pitch and tick size of each period (day, week, month, year).
    int d_x_haba_p = 5;
    int d_y_ichimemori = 2;
    int w_x_haba_p = 5;
    int w_y_ichimemori = 2;
    int m_x_haba_p = 5;
    int m_y_ichimemori = 2;
    int y_x_haba_p = 5;
    int y_y_ichimemori = 2;

    // Data sources and flags.
    bool codeauto_ch = true;      // take the code list from the server's code_info.csv
    bool buckupcreate_ch = true;  // backup check box of the CSV registration
    std::string kabuplusid;
    std::string kabupluspw;
    std::string codelistcsvpath;        // the user's own code-list CSV; empty for none
    bool sync_moravel_db = true;        // on only when stored as "1"
    bool use_moravel_day_data = true;   // on only when stored as "1"
    std::string adpanel_view_type = kAdpanelView;

    // Hosts of the outside services.
    std::string site_url = "https://tavora.example";
    std::string refserver_host = "ref.tavora.example";
    std::string refserver_port = "60000";
    std::string refserver_cafile;
    std::string kabuplus_url = "https://csvex.com";
    std::string kabuplus_cafile;
    int kabuplus_file_timeout = kDefaultFileTimeoutSeconds; // seconds one KABU+ day file may take

    // The main window's rectangle; none until one was saved.
    std::optional<WindowRect> windowRect;

    int adpanelWidth() const { return adpanelWidthType(adpanel_view_type); }
};

}  // namespace tavora::settings
