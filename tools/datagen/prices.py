"""Made-up daily prices: a trending random walk with volatility clusters.

Only basic floating-point arithmetic and square roots are used (no exp, log or
trigonometry), so the output does not depend on the C library's mathematical functions:
every run on every machine gives the same bytes. See README.md for the model.
"""

import random


def normal(rng):
    """An approximately standard normal number (Irwin-Hall: twelve uniforms minus six)."""
    return sum(rng.random() for _ in range(12)) - 6.0


class Garch:
    """GARCH(1,1) variance: calm and stormy periods follow each other."""

    def __init__(self, daily_vol, alpha=0.08, beta=0.90):
        self.alpha = alpha
        self.beta = beta
        self.omega = daily_vol * daily_vol * (1.0 - alpha - beta)
        self.variance = daily_vol * daily_vol

    def sigma(self):
        return self.variance ** 0.5

    def update(self, shock):
        self.variance = self.omega + self.alpha * shock * shock + self.beta * self.variance


def trend_path(rng, count, start, low_factor, high_factor):
    """A target level for every day: straight segments between anchors 120 to 600 days
    apart, each anchor 40 % below to 60 % above the previous, kept within
    [start * low_factor, start * high_factor]."""
    anchors = [(0, start)]
    day, level = 0, start
    while day < count - 1:
        day = min(count - 1, day + rng.randint(120, 600))
        level = level * (0.6 + rng.random())
        level = min(max(level, start * low_factor), start * high_factor)
        anchors.append((day, level))
    path = []
    for (d0, l0), (d1, l1) in zip(anchors, anchors[1:]):
        for d in range(d0, d1):
            path.append(l0 + (l1 - l0) * (d - d0) / (d1 - d0))
    path.append(anchors[-1][1])
    return path


class MarketFactor:
    """The level of one market, day by day: a trend path with a pull towards it and
    GARCH shocks. Every code of the market moves with its daily returns."""

    def __init__(self, seed, count, daily_vol):
        rng = random.Random(seed)
        garch = Garch(daily_vol)
        self.typical_vol = daily_vol
        target = trend_path(rng, count, 1.0, 0.5, 3.0)
        self.returns = []
        self.shocks = []
        level = 1.0
        for t in range(count):
            z = normal(rng)
            if rng.random() < 0.004:  # a crash or a relief rally now and then
                z *= 3.0
            shock = garch.sigma() * z
            garch.update(shock)
            slope = (target[t] - target[t - 1]) / target[t - 1] if t > 0 else 0.0
            move = slope + 0.01 * (target[t] - level) / level + shock
            level *= 1.0 + move
            self.returns.append(move)
            self.shocks.append(shock)


class Bar:
    __slots__ = ("open", "high", "low", "close", "volume", "traded")

    def __init__(self, o, h, lo, c, volume, traded=True):
        self.open, self.high, self.low, self.close = o, h, lo, c
        self.volume = volume
        self.traded = traded


def simulate(seed, count, start, own_vol, beta, market, base_volume, no_trade_rate=0.0,
             gap_rate=0.01, low_factor=0.35, high_factor=3.5):
    """Split-adjusted bars (floats) for `count` consecutive trading days.

    The close follows a target (the code's own trend path times the market's moves
    weighted by `beta`) with a pull towards it, plus an own GARCH shock; the open gaps away from the previous close; high and
    low reach beyond open and close by a share of the day's volatility; the volume grows
    with the size of the move. A day without trade (probability `no_trade_rate`) has no
    prices and no volume, and the next day opens from the last close.
    """
    rng = random.Random(seed)
    own_target = trend_path(rng, count, start, low_factor, high_factor)
    # The code's own trend carried by the market: each day the target moves by the own
    # trend and by beta times the market's return.
    target = []
    carried = 1.0
    for t in range(count):
        if market is not None and t > 0:
            carried *= 1.0 + beta * market.returns[t]
        target.append(own_target[t] * carried)
    own = Garch(own_vol)
    daily_vol = (own_vol * own_vol + (beta * market.typical_vol) ** 2) ** 0.5 if market else own_vol
    bars = []
    close = start
    volume_level = 1.0  # slow drift of interest in the code
    for t in range(count):
        market_shock = market.shocks[t] if market is not None else 0.0
        own_shock = own.sigma() * normal(rng)
        own.update(own_shock)
        slope = (target[t] - target[t - 1]) / target[t - 1] if t > 0 else 0.0
        pull = 0.02 * (target[t] - close) / close
        move = slope + pull + own_shock
        move = max(-0.25, min(0.25, move))
        volume_level = max(0.4, min(2.5, volume_level * (1.0 + 0.05 * normal(rng))))

        if rng.random() < no_trade_rate:
            bars.append(Bar(0.0, 0.0, 0.0, 0.0, 0, traded=False))
            continue

        sigma = own.sigma() + abs(beta) * abs(market_shock) * 0.5 + daily_vol * 0.3
        previous = close
        close = previous * (1.0 + move)
        if rng.random() < gap_rate:
            # News before the open: most of the day's move happens at the open.
            open_ = previous * (1.0 + move * (0.7 + 0.3 * rng.random()))
        else:
            open_ = previous * (1.0 + move * 0.3 * rng.random() + sigma * 0.25 * normal(rng))
        high = max(open_, close) * (1.0 + abs(sigma * 0.45 * normal(rng)))
        low = min(open_, close) * (1.0 - min(0.2, abs(sigma * 0.45 * normal(rng))))
        activity = 1.0 + min(4.0, 1.5 * abs(move) / daily_vol)
        noise = 0.55 + 0.9 * rng.random()
        volume = int(base_volume * volume_level * activity * noise)
        bars.append(Bar(open_, high, low, close, max(volume, 1)))
    return bars


def tick_size(price):
    """The Tokyo Stock Exchange's standard tick for a price in yen."""
    for limit, tick in ((3000, 1), (5000, 5), (30000, 10), (50000, 50), (300000, 100),
                        (500000, 500), (3000000, 1000)):
        if price <= limit:
            return tick
    return 5000


def round_to_tick(price):
    """Whole yen on the tick grid, halves upward; never below one tick."""
    tick = tick_size(price)
    return max(tick, int(price / tick + 0.5) * tick)


def round_cents(price):
    """Hundredths as an integer, halves upward."""
    return int(price * 100.0 + 0.5)


def format_index_row(date_text, bar):
    """One line for an index: prices with two decimals."""
    if not bar.traded:
        return "%s,0.00,0.00,0.00,0.00,0" % date_text
    o, h, lo, c = (round_cents(v) for v in (bar.open, bar.high, bar.low, bar.close))
    h = max(h, o, c)
    lo = min(lo, o, c)
    cents = ["%d.%02d" % divmod(v, 100) for v in (o, h, lo, c)]
    return "%s,%s,%s,%s,%s,%d" % (date_text, cents[0], cents[1], cents[2], cents[3], bar.volume)


def format_stock_row(date_text, bar, factor):
    """One line for a stock: raw prices (the adjusted ones times `factor`, the product of
    the ratios of the splits still to come) in whole yen on the tick grid; the volume
    divided by `factor` (fewer shares before a split), in trading units of 100."""
    if not bar.traded:
        return "%s,0,0,0,0,0" % date_text
    o, h, lo, c = (round_to_tick(v * factor) for v in (bar.open, bar.high, bar.low, bar.close))
    h = max(h, o, c)
    lo = min(lo, o, c)
    volume = max(100, int(bar.volume / factor / 100.0 + 0.5) * 100)
    return "%s,%d,%d,%d,%d,%d" % (date_text, o, h, lo, c, volume)
