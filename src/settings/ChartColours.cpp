#include "settings/ChartColours.h"

namespace tavora::settings {

const std::array<ChartColourRow, 10>& chartColourRows() {
    static const Settings defaults;
    using S = Settings;
    static const std::array<ChartColourRow, 10> rows{{
        {"グラフ背景色", "grbuckcr", &S::grbuckcr, defaults.grbuckcr},
        {"X軸", "hiduke_sencr", &S::hiduke_sencr, defaults.hiduke_sencr},
        {"Y軸", "nedan_sencr", &S::nedan_sencr, defaults.nedan_sencr},
        {"グラフフォント色", "title_cr", &S::title_cr, defaults.title_cr},
        {"陽線", "yousen_buckcr", &S::yousen_buckcr, defaults.yousen_buckcr},
        {"陽線枠", "yousen_sencr", &S::yousen_sencr, defaults.yousen_sencr},
        {"陰線", "insen_buckcr", &S::insen_buckcr, defaults.insen_buckcr},
        {"陰線枠", "insen_sencr", &S::insen_sencr, defaults.insen_sencr},
        {"出来高", "dekidaka_buckcr", &S::dekidaka_buckcr, defaults.dekidaka_buckcr},
        {"出来高枠", "dekidaka_sencr", &S::dekidaka_sencr, defaults.dekidaka_sencr},
    }};
    return rows;
}

ChartColours chartColoursOf(const Settings& settings) {
    ChartColours c;
    const auto& rows = chartColourRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        c.colours[i] = settings.*(rows[i].field);
    c.xStyle = settings.x_sen_cb;
    c.yStyle = settings.y_sen_cb;
    return c;
}

void setChartColours(Settings& settings, const ChartColours& colours) {
    const auto& rows = chartColourRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        settings.*(rows[i].field) = colours.colours[i];
    settings.x_sen_cb = colours.xStyle;
    settings.y_sen_cb = colours.yStyle;
}

ChartColours initialChartColours() {
    ChartColours c;
    const auto& rows = chartColourRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        c.colours[i] = rows[i].initial;
    return c;
}

} // namespace tavora::settings
