#include "chart/ChartSettings.h"

namespace tavora::chart {

namespace {

using settings::Settings;

int styleOf(const std::string& text) { return settings::lineStyleNumber(text).value_or(framework::LineSolid); }

// Where each tool's defaults are kept in the settings. A tool without a line colour key has no
// line (0); without a style key it draws solid; without font keys it keeps the face and size
// it has.
struct ToolKeys {
    ToolStyle ToolDefaults::*tool;
    settings::Colour Settings::*lineColor;
    settings::Colour Settings::*textColor;
    std::string Settings::*lineStyle;
    std::string Settings::*fontFace;
    int Settings::*fontSize;
};

constexpr ToolKeys kToolKeys[] = {
    {&ToolDefaults::cross, &Settings::jyuji_sencr, &Settings::jyuji_fontcr, &Settings::jyuji_sensyu,
     &Settings::jyuji_font, &Settings::jyuji_fontsize},
    {&ToolDefaults::timePrice, &Settings::timenehaba_sencr, &Settings::timenehaba_fontcr,
     &Settings::timenehaba_sensyu, &Settings::timenehaba_font, &Settings::timenehaba_fontsize},
    {&ToolDefaults::takayasu, nullptr, &Settings::takayasu_cr, nullptr, &Settings::takayasu_font,
     &Settings::takayasu_fontsize},
    {&ToolDefaults::rangeTime, &Settings::rangetimesen_cr, &Settings::rangetimefont_cr, &Settings::rangetime_sensyu,
     &Settings::rangetime_font, &Settings::rangetime_fontsize},
    {&ToolDefaults::rangeNedan, &Settings::rangenedansen_cr, &Settings::rangenedanfont_cr,
     &Settings::rangenedan_sensyu, &Settings::rangenedan_font, &Settings::rangenedan_fontsize},
    {&ToolDefaults::line, &Settings::linesen_cr, &Settings::linefont_cr, &Settings::line_sensyu, nullptr, nullptr},
    {&ToolDefaults::text, nullptr, &Settings::text_cr, nullptr, &Settings::text_font, &Settings::text_fontsize},
    {&ToolDefaults::memo, nullptr, &Settings::memo_cr, nullptr, &Settings::memo_font, &Settings::memo_fontsize},
};

}  // namespace

void applyPaintSettings(ChartPaint& p, const settings::Settings& s) {
    p.background = s.grbuckcr;
    p.dateGridColor = s.hiduke_sencr;
    p.dateGridStyle = styleOf(s.y_sen_cb);
    p.dateLabelColor = s.title_cr;
    p.priceGridColor = s.nedan_sencr;
    p.priceGridStyle = styleOf(s.x_sen_cb);
    p.priceLabelColor = s.title_cr;
    p.upOutline = s.yousen_sencr;
    p.upBody = s.yousen_buckcr;
    p.downOutline = s.insen_sencr;
    p.downBody = s.insen_buckcr;
    p.volumeOutline = s.dekidaka_sencr;
    p.volumeFill = s.dekidaka_buckcr;
    p.titleColor = s.title_cr;
    p.crossReadout = s.title_cr;
}

void applySettings(GraphViewState& vs, const settings::Settings& s) {
    applyPaintSettings(vs.paint, s);

    ToolDefaults& t = vs.toolDefaults;
    for (const ToolKeys& k : kToolKeys) {
        ToolStyle& tool = t.*k.tool;
        tool.lineColor = k.lineColor ? s.*k.lineColor : 0;
        tool.textColor = s.*k.textColor;
        tool.lineStyle = styleOf(k.lineStyle ? s.*k.lineStyle : settings::kLineSolid);
        if (k.fontFace)
            tool.fontFace = s.*k.fontFace;
        if (k.fontSize)
            tool.fontSize = s.*k.fontSize;
    }
    t.rangeNedanYoko = s.rangenedan_yoko;
}

void takeToolSettings(settings::Settings& s, const ToolDefaults& t) {
    for (const ToolKeys& k : kToolKeys) {
        const ToolStyle& tool = t.*k.tool;
        if (k.lineColor)
            s.*k.lineColor = tool.lineColor;
        s.*k.textColor = tool.textColor;
        if (k.lineStyle)
            s.*k.lineStyle = settings::lineStyleText(tool.lineStyle);
        if (k.fontFace)
            s.*k.fontFace = tool.fontFace;
        if (k.fontSize)
            s.*k.fontSize = tool.fontSize;
    }
    s.rangenedan_yoko = t.rangeNedanYoko;
}

}  // namespace tavora::chart
