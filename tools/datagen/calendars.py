"""Trading-day calendars of the Tokyo Stock Exchange and the New York Stock Exchange.

The rules are written out in README.md beside this file; each function below names the
rule it implements. Only the standard library is used.
"""

import datetime

MONDAY, TUESDAY, WEDNESDAY, THURSDAY, FRIDAY, SATURDAY, SUNDAY = range(7)


def nth_weekday(year, month, weekday, n):
    """The n-th (1-based) given weekday of a month."""
    first = datetime.date(year, month, 1)
    offset = (weekday - first.weekday()) % 7
    return first + datetime.timedelta(days=offset + 7 * (n - 1))


def last_weekday(year, month, weekday):
    """The last given weekday of a month."""
    if month == 12:
        last = datetime.date(year, 12, 31)
    else:
        last = datetime.date(year, month + 1, 1) - datetime.timedelta(days=1)
    return last - datetime.timedelta(days=(last.weekday() - weekday) % 7)


def days_between(first, last):
    day = first
    while day <= last:
        yield day
        day += datetime.timedelta(days=1)


# ---------------------------------------------------------------------------------------
# Japan

def vernal_equinox_day(year):
    """Day of March of the vernal equinox holiday (standard formula, valid 1980-2099)."""
    return int(20.8431 + 0.242194 * (year - 1980) - (year - 1980) // 4)


def autumnal_equinox_day(year):
    """Day of September of the autumnal equinox holiday (standard formula, 1980-2099)."""
    return int(23.2488 + 0.242194 * (year - 1980) - (year - 1980) // 4)


# Days made holidays by their own laws (one-off ceremonies).
JAPAN_ONE_OFF_HOLIDAYS = {
    datetime.date(1989, 2, 24): "昭和天皇の大喪の礼",
    datetime.date(1990, 11, 12): "即位礼正殿の儀",
    datetime.date(1993, 6, 9): "皇太子徳仁親王の結婚の儀",
    datetime.date(2019, 5, 1): "天皇の即位の日",
    datetime.date(2019, 10, 22): "即位礼正殿の儀",
}

# Weekdays on which the exchange did not trade although no holiday fell on them.
TOKYO_ONE_OFF_CLOSURES = {
    datetime.date(2020, 10, 1): "arrowhead system failure: no trading all day",
}


def japan_national_holidays(year):
    """The national holidays proper (国民の祝日) of one year, as {date: name}.

    Substitute holidays and citizens' holidays are derived from these afterwards.
    """
    d = datetime.date
    h = {}
    h[d(year, 1, 1)] = "元日"
    # 成人の日: 15 January, from 2000 the second Monday of January.
    h[d(year, 1, 15) if year < 2000 else nth_weekday(year, 1, MONDAY, 2)] = "成人の日"
    h[d(year, 2, 11)] = "建国記念の日"
    h[d(year, 3, vernal_equinox_day(year))] = "春分の日"
    # 29 April: the Shōwa Emperor's birthday, then みどりの日 (1989-2006), then 昭和の日.
    if year <= 1988:
        h[d(year, 4, 29)] = "天皇誕生日"
    elif year <= 2006:
        h[d(year, 4, 29)] = "みどりの日"
    else:
        h[d(year, 4, 29)] = "昭和の日"
    h[d(year, 5, 3)] = "憲法記念日"
    if year >= 2007:
        h[d(year, 5, 4)] = "みどりの日"
    h[d(year, 5, 5)] = "こどもの日"
    # 海の日: from 1996 on 20 July, from 2003 the third Monday of July; moved for the
    # Tokyo Olympics in 2020 and 2021.
    if year == 2020:
        h[d(2020, 7, 23)] = "海の日"
    elif year == 2021:
        h[d(2021, 7, 22)] = "海の日"
    elif year >= 2003:
        h[nth_weekday(year, 7, MONDAY, 3)] = "海の日"
    elif year >= 1996:
        h[d(year, 7, 20)] = "海の日"
    # 山の日: from 2016 on 11 August; moved in 2020 and 2021.
    if year == 2020:
        h[d(2020, 8, 10)] = "山の日"
    elif year == 2021:
        h[d(2021, 8, 8)] = "山の日"
    elif year >= 2016:
        h[d(year, 8, 11)] = "山の日"
    # 敬老の日: 15 September, from 2003 the third Monday of September.
    h[d(year, 9, 15) if year < 2003 else nth_weekday(year, 9, MONDAY, 3)] = "敬老の日"
    h[d(year, 9, autumnal_equinox_day(year))] = "秋分の日"
    # 体育の日 / スポーツの日: 10 October, from 2000 the second Monday of October; in 2020
    # and 2021 moved to the Olympic opening day.
    if year == 2020:
        h[d(2020, 7, 24)] = "スポーツの日"
    elif year == 2021:
        h[d(2021, 7, 23)] = "スポーツの日"
    elif year >= 2000:
        h[nth_weekday(year, 10, MONDAY, 2)] = "体育の日" if year < 2020 else "スポーツの日"
    else:
        h[d(year, 10, 10)] = "体育の日"
    h[d(year, 11, 3)] = "文化の日"
    h[d(year, 11, 23)] = "勤労感謝の日"
    # 天皇誕生日 of the Heisei Emperor (1989-2018) and of the present Emperor (from 2020);
    # none in 2019.
    if 1989 <= year <= 2018:
        h[d(year, 12, 23)] = "天皇誕生日"
    elif year >= 2020:
        h[d(year, 2, 23)] = "天皇誕生日"
    for day, name in JAPAN_ONE_OFF_HOLIDAYS.items():
        if day.year == year:
            h[day] = name
    return h


def japan_holidays(year):
    """Every non-working holiday of one year: national holidays, citizens' holidays and
    substitute holidays, as {date: name}."""
    # Neighbouring years matter for the sandwich rule only at 1 January and 31 December,
    # which are closed anyway; one year is enough.
    proper = japan_national_holidays(year)
    holidays = dict(proper)
    one_day = datetime.timedelta(days=1)

    # 国民の休日 (from 1986): a day that is not a national holiday but lies between two.
    # Until 2006 the law excluded Sundays and substitute holidays; both are non-trading
    # days anyway, so the effect on the calendar is the same.
    if year >= 1986:
        for day in sorted(proper):
            candidate = day + one_day
            if (candidate not in proper and candidate + one_day in proper
                    and candidate.year == year):
                holidays[candidate] = "国民の休日"

    # 振替休日: a national holiday on a Sunday gives a substitute holiday. Until 2006 the
    # following Monday (when that is not itself a holiday); from 2007 the nearest
    # following day that is not a national holiday.
    for day in sorted(proper):
        if day.weekday() != SUNDAY:
            continue
        substitute = day + one_day
        if year >= 2007:
            while substitute in proper:
                substitute += one_day
        elif substitute in proper:
            continue
        holidays.setdefault(substitute, "振替休日")
    return holidays


def tokyo_trading_days(first, last):
    """Trading days of the Tokyo Stock Exchange from `first` to `last` inclusive."""
    holidays = {}
    for year in range(first.year, last.year + 1):
        holidays.update(japan_holidays(year))
    days = []
    for day in days_between(first, last):
        if day.weekday() >= SATURDAY:
            continue
        if day in holidays or day in TOKYO_ONE_OFF_CLOSURES:
            continue
        # Year-end closure: 31 December to 3 January.
        if (day.month == 12 and day.day == 31) or (day.month == 1 and day.day <= 3):
            continue
        days.append(day)
    return days


# ---------------------------------------------------------------------------------------
# United States (NYSE)

def easter_sunday(year):
    """Gregorian Easter Sunday (anonymous Gregorian algorithm)."""
    a = year % 19
    b, c = divmod(year, 100)
    d, e = divmod(b, 4)
    f = (b + 8) // 25
    g = (b - f + 1) // 3
    h = (19 * a + b - d - g + 15) % 30
    i, k = divmod(c, 4)
    l = (32 + 2 * e + 2 * i - h - k) % 7
    m = (a + 11 * h + 22 * l) // 451
    month, day = divmod(h + l - 7 * m + 114, 31)
    return datetime.date(year, month, day + 1)


def observed(day):
    """NYSE observance of a fixed-date holiday: Saturday -> the Friday before, Sunday ->
    the Monday after."""
    if day.weekday() == SATURDAY:
        return day - datetime.timedelta(days=1)
    if day.weekday() == SUNDAY:
        return day + datetime.timedelta(days=1)
    return day


# Closures of the exchange outside its holiday schedule.
NYSE_ONE_OFF_CLOSURES = {
    datetime.date(1985, 9, 27): "Hurricane Gloria",
    datetime.date(1994, 4, 27): "National day of mourning, President Nixon",
    datetime.date(2001, 9, 11): "September 11 attacks",
    datetime.date(2001, 9, 12): "September 11 attacks",
    datetime.date(2001, 9, 13): "September 11 attacks",
    datetime.date(2001, 9, 14): "September 11 attacks",
    datetime.date(2004, 6, 11): "National day of mourning, President Reagan",
    datetime.date(2007, 1, 2): "National day of mourning, President Ford",
    datetime.date(2012, 10, 29): "Hurricane Sandy",
    datetime.date(2012, 10, 30): "Hurricane Sandy",
    datetime.date(2018, 12, 5): "National day of mourning, President G. H. W. Bush",
    datetime.date(2025, 1, 9): "National day of mourning, President Carter",
}


def nyse_holidays(year):
    """NYSE full-day holidays of one year, as {date: name}."""
    d = datetime.date
    h = {}
    # New Year's Day: a Saturday 1 January is not observed on the Friday before, since
    # that Friday closes the year.
    new_year = d(year, 1, 1)
    if new_year.weekday() != SATURDAY:
        h[observed(new_year)] = "New Year's Day"
    if year >= 1998:
        h[nth_weekday(year, 1, MONDAY, 3)] = "Martin Luther King Jr. Day"
    h[nth_weekday(year, 2, MONDAY, 3)] = "Washington's Birthday"
    h[easter_sunday(year) - datetime.timedelta(days=2)] = "Good Friday"
    h[last_weekday(year, 5, MONDAY)] = "Memorial Day"
    if year >= 2022:
        h[observed(d(year, 6, 19))] = "Juneteenth"
    h[observed(d(year, 7, 4))] = "Independence Day"
    h[nth_weekday(year, 9, MONDAY, 1)] = "Labor Day"
    h[nth_weekday(year, 11, THURSDAY, 4)] = "Thanksgiving Day"
    h[observed(d(year, 12, 25))] = "Christmas Day"
    for day, name in NYSE_ONE_OFF_CLOSURES.items():
        if day.year == year:
            h[day] = name
    return h


def nyse_trading_days(first, last):
    """Trading days of the New York Stock Exchange from `first` to `last` inclusive."""
    holidays = {}
    for year in range(first.year, last.year + 1):
        holidays.update(nyse_holidays(year))
    return [day for day in days_between(first, last)
            if day.weekday() < SATURDAY and day not in holidays]
