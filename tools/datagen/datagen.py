#!/usr/bin/env python3
"""Writes Tavora's bundled data files (reference files, calendars, sample prices).

Usage: python3 tools/datagen/datagen.py [--out DIR]

DIR defaults to the repository's data/ folder. The output is deterministic: every run
writes the same bytes. README.md beside this file documents the formats and the rules.
"""

import argparse
import datetime
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import calendars  # noqa: E402
import prices  # noqa: E402

CALENDAR_FIRST = datetime.date(1983, 1, 1)
CALENDAR_LAST = datetime.date(2027, 12, 31)
PRICES_FIRST = datetime.date(2008, 1, 4)
PRICES_LAST = datetime.date(2026, 12, 8)

JAPAN, USA = "jpn", "usa"


class Entry:
    """One catalogue entry and the parameters of its made-up prices."""

    def __init__(self, code, name, sector, market, start, own_vol, beta, volume,
                 no_trade_rate=0.0, gap_rate=0.01, index=False):
        self.code, self.name, self.sector, self.market = code, name, sector, market
        self.start, self.own_vol, self.beta, self.volume = start, own_vol, beta, volume
        self.no_trade_rate, self.gap_rate, self.index = no_trade_rate, gap_rate, index

    @property
    def calendar(self):
        return USA if self.market == "米国指数" else JAPAN


# Code list order is the catalogue's order: the first entry is the code shown at the first
# start. Stock codes 1001-1014 are not used by any listed company. `start` is the
# split-adjusted price on the first day.
CATALOGUE = [
    Entry("0001", "日経平均株価", "指数", "東証指数", 15000.0, 0.003, 1.0, 1_400_000_000, index=True),
    Entry("0002", "TOPIX", "指数", "東証指数", 1450.0, 0.003, 0.9, 1_700_000_000, index=True),
    Entry("DJI", "NYダウ", "指数", "米国指数", 13000.0, 0.002, 1.0, 300_000_000, index=True),
    Entry("NSD", "NASDAQ", "指数", "米国指数", 2600.0, 0.004, 1.25, 2_000_000_000, index=True),
    Entry("1001", "サンプル水産", "水産・農林業", "札証", 420.0, 0.014, 0.5, 9_000,
          no_trade_rate=0.02),
    Entry("1002", "サンプル建設", "建設業", "東証プライム", 650.0, 0.015, 0.9, 2_500_000),
    Entry("1003", "サンプル食品", "食料品", "東証プライム", 2300.0, 0.010, 0.6, 600_000),
    Entry("1004", "サンプル化学", "化学", "東証スタンダード", 880.0, 0.016, 1.0, 150_000,
          gap_rate=0.02),
    Entry("1005", "サンプル製薬", "医薬品", "東証プライム", 4200.0, 0.013, 0.7, 900_000,
          gap_rate=0.02),
    Entry("1006", "サンプル鉄鋼", "鉄鋼", "名証", 310.0, 0.018, 1.2, 40_000, no_trade_rate=0.005),
    Entry("1007", "サンプル電機", "電気機器", "東証プライム", 1500.0, 0.016, 1.1, 3_000_000),
    Entry("1008", "サンプル自動車", "輸送用機器", "東証プライム", 3100.0, 0.014, 1.1, 4_000_000),
    Entry("1009", "サンプル鉄道", "陸運業", "名証", 1800.0, 0.009, 0.5, 30_000,
          no_trade_rate=0.005),
    Entry("1010", "サンプル通信", "情報・通信", "東証スタンダード", 95.0, 0.022, 1.3, 800_000,
          gap_rate=0.03),
    Entry("1011", "サンプル小売", "小売業", "福証", 1250.0, 0.012, 0.5, 6_000,
          no_trade_rate=0.02),
    Entry("1012", "サンプル銀行", "銀行業", "東証プライム", 560.0, 0.015, 1.2, 6_000_000),
    Entry("1013", "サンプル不動産", "不動産業", "東証スタンダード", 5400.0, 0.017, 1.1, 200_000),
    Entry("1014", "サンプルサービス", "サービス業", "東証プライム", 2600.0, 0.014, 0.8, 400_000),
]

# (split date, code, ratio): the bar of the date is the first one at the new share count.
SPLITS = [
    (datetime.date(2012, 10, 1), "1007", 2),
    (datetime.date(2021, 4, 1), "1007", 3),
    (datetime.date(2018, 7, 2), "1010", 5),
]

# The five Ichimoku graphs: name, colour (0x00BBGGRR written as a decimal), kind and the
# two parameters. All are shown, one pixel wide, solid ("1"), without a formula.
ANALYSIS_GRAPHS = [
    ("転換線", 0x0000FF, "1", "9", ""),                # red
    ("基準線", 0xFF0000, "1", "26", ""),               # blue
    ("遅行スパン", 0x008000, "2", "26", ""),           # green
    ("先行スパン1", 0x008CFF, "3", "基準線", "転換線"),  # orange
    ("先行スパン2", 0x800080, "4", "52", ""),          # purple
]

# Seeds chosen for a deep fall followed by a long rise (Tokyo) and a steadier climb (New
# York).
MARKET_FACTORS = {JAPAN: (22, 0.012), USA: (12, 0.011)}


def write_bytes(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_lines(path, lines, encoding="utf-8", newline="\n"):
    write_bytes(path, "".join(line + newline for line in lines).encode(encoding))


def date_text(day):
    return day.strftime("%Y-%m-%d")


def write_reference_files(out):
    write_lines(os.path.join(out, "others", "code_info.csv"),
                ["%s,%s,%s,%s" % (e.code, e.name, e.sector, e.market) for e in CATALOGUE])
    write_lines(os.path.join(out, "others", "bunkatsudata.csv"),
                ["%s,%s,%s" % (date_text(day), code, ratio) for day, code, ratio in SPLITS])
    write_lines(os.path.join(out, "others", "bunseki.csv"),
                ["\t".join([name, "1", str(colour), "1", "1", "", kind, p1, p2])
                 for name, colour, kind, p1, p2 in ANALYSIS_GRAPHS])


def write_calendars(out, trading_days):
    for market in (JAPAN, USA):
        write_lines(os.path.join(out, "marketday", "marketday_%s.csv" % market),
                    [date_text(day) for day in trading_days[market]], encoding="cp932")


def write_prices(out, trading_days):
    days = {m: [d for d in trading_days[m] if PRICES_FIRST <= d <= PRICES_LAST]
            for m in (JAPAN, USA)}
    factors = {m: prices.MarketFactor(seed, len(days[m]), vol)
               for m, (seed, vol) in MARKET_FACTORS.items()}
    for number, entry in enumerate(CATALOGUE):
        market_days = days[entry.calendar]
        bars = prices.simulate(seed=1000 + number, count=len(market_days), start=entry.start,
                               own_vol=entry.own_vol, beta=entry.beta,
                               market=factors[entry.calendar], base_volume=entry.volume,
                               no_trade_rate=entry.no_trade_rate, gap_rate=entry.gap_rate,
                               # an index is the market; a stock adds a trend of its own
                               low_factor=1.0 if entry.index else 0.4,
                               high_factor=1.0 if entry.index else 2.5)
        splits = [(day, ratio) for day, code, ratio in SPLITS if code == entry.code]
        for day, _ in splits:
            if day not in market_days:
                raise SystemExit("split of %s on %s is not a trading day" % (entry.code, day))
        lines = []
        for day, bar in zip(market_days, bars):
            if entry.index:
                lines.append(prices.format_index_row(date_text(day), bar))
            else:
                factor = 1
                for split_day, ratio in splits:
                    if day < split_day:
                        factor *= ratio
                lines.append(prices.format_stock_row(date_text(day), bar, factor))
        # The per-code CSV form: no header, CR LF line ends.
        write_lines(os.path.join(out, "prices", entry.code + ".csv"), lines, newline="\r\n")


def main():
    repo = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(repo, "data"),
                        help="folder to write into (default: the repository's data/)")
    args = parser.parse_args()
    trading_days = {
        JAPAN: calendars.tokyo_trading_days(CALENDAR_FIRST, CALENDAR_LAST),
        USA: calendars.nyse_trading_days(CALENDAR_FIRST, CALENDAR_LAST),
    }
    write_reference_files(args.out)
    write_calendars(args.out, trading_days)
    write_prices(args.out, trading_days)
    return 0


if __name__ == "__main__":
    sys.exit(main())
