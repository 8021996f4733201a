#include "chart/ChartSettings.h"

namespace tavora::chart {

namespace {

int styleOf(const std::string& text) { return settings::lineStyleNumber(text).value_or(framework::LineSolid); }

ToolStyle toolStyle(ColorRef line, ColorRef text, const std::string& style, const std::string& face, int size) {
    return ToolStyle{line, text, styleOf(style), face, size};
}

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

void takeToolSettings(settings::Settings& s, const ToolDefaults& t) {
    auto text = [](int style) { return settings::lineStyleText(style); };
    s.jyuji_sencr = t.cross.lineColor;
    s.jyuji_fontcr = t.cross.textColor;
    s.jyuji_sensyu = text(t.cross.lineStyle);
    s.jyuji_font = t.cross.fontFace;
    s.jyuji_fontsize = t.cross.fontSize;
    s.timenehaba_sencr = t.timePrice.lineColor;
    s.timenehaba_fontcr = t.timePrice.textColor;
    s.timenehaba_sensyu = text(t.timePrice.lineStyle);
    s.timenehaba_font = t.timePrice.fontFace;
    s.timenehaba_fontsize = t.timePrice.fontSize;
    s.takayasu_cr = t.takayasu.textColor;
    s.takayasu_font = t.takayasu.fontFace;
    s.takayasu_fontsize = t.takayasu.fontSize;
    s.rangetimesen_cr = t.rangeTime.lineColor;
    s.rangetimefont_cr = t.rangeTime.textColor;
    s.rangetime_sensyu = text(t.rangeTime.lineStyle);
    s.rangetime_font = t.rangeTime.fontFace;
    s.rangetime_fontsize = t.rangeTime.fontSize;
    s.rangenedansen_cr = t.rangeNedan.lineColor;
    s.rangenedanfont_cr = t.rangeNedan.textColor;
    s.rangenedan_sensyu = text(t.rangeNedan.lineStyle);
    s.rangenedan_font = t.rangeNedan.fontFace;
    s.rangenedan_fontsize = t.rangeNedan.fontSize;
    s.rangenedan_yoko = t.rangeNedanYoko;
    s.linesen_cr = t.line.lineColor;
    s.linefont_cr = t.line.textColor;
    s.line_sensyu = text(t.line.lineStyle);
    s.text_cr = t.text.textColor;
    s.text_font = t.text.fontFace;
    s.text_fontsize = t.text.fontSize;
    s.memo_cr = t.memo.textColor;
    s.memo_font = t.memo.fontFace;
    s.memo_fontsize = t.memo.fontSize;
}

}  // namespace tavora::chart
