#include "chart/ChartSettings.h"

namespace tavora::chart {

namespace {

int styleOf(const std::string& text) { return settings::lineStyleNumber(text).value_or(framework::LineSolid); }

ToolStyle toolStyle(ColorRef line, ColorRef text, const std::string& style, const std::string& face, int size) {
    return ToolStyle{line, text, styleOf(style), face, size};
}

}  // namespace

void applySettings(GraphViewState& vs, const settings::Settings& s) {
    ChartPaint& p = vs.paint;
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

    ToolDefaults& t = vs.toolDefaults;
    t.cross = toolStyle(s.jyuji_sencr, s.jyuji_fontcr, s.jyuji_sensyu, s.jyuji_font, s.jyuji_fontsize);
    t.timePrice = toolStyle(s.timenehaba_sencr, s.timenehaba_fontcr, s.timenehaba_sensyu, s.timenehaba_font,
                            s.timenehaba_fontsize);
    t.takayasu = toolStyle(0, s.takayasu_cr, settings::kLineSolid, s.takayasu_font, s.takayasu_fontsize);
    t.rangeTime = toolStyle(s.rangetimesen_cr, s.rangetimefont_cr, s.rangetime_sensyu, s.rangetime_font,
                            s.rangetime_fontsize);
    t.rangeNedan = toolStyle(s.rangenedansen_cr, s.rangenedanfont_cr, s.rangenedan_sensyu, s.rangenedan_font,
                             s.rangenedan_fontsize);
    t.line = toolStyle(s.linesen_cr, s.linefont_cr, s.line_sensyu, t.line.fontFace, t.line.fontSize);
    t.text = toolStyle(0, s.text_cr, settings::kLineSolid, s.text_font, s.text_fontsize);
    t.memo = toolStyle(0, s.memo_cr, settings::kLineSolid, s.memo_font, s.memo_fontsize);
    t.rangeNedanYoko = s.rangenedan_yoko;
}

}  // namespace tavora::chart
