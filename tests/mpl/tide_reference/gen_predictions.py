#!/usr/bin/env python3
"""Writes predictions.inc: three stations (harmonic with yearly arguments,
harmonic with monthly arguments and subordinate corrections, simplified) and
for windows of 24 hours their heights every 15 minutes and their high and low
waters, computed in double precision from the textbook harmonic sums
(tide_model.py, simplified_model.py) with extremes found by bisection on the
slope.

Run once: python3 gen_predictions.py > predictions.inc
"""
import math

import simplified_model as sm
import tide_model as t

FT = 0.3048037

HARMONIC = {  # kind 0, five hours west of Greenwich
    "utc": -300, "z0": 3000,
    "constituents": [(0, 1800, 1500), (1, 450, 1800), (2, 380, 1300), (3, 520, 700), (5, 380, 600),
                     (34, 120, 1850), (29, 170, 690), (4, 60, 300), (25, 70, 500), (10, 70, 1250),
                     (32, 50, 1700), (23, 40, 100), (19, 30, 2000), (20, 50, 3000), (21, 80, 3500),
                     (6, 20, 900), (7, 15, 1100), (36, 25, 400), (13, 40, 1200), (12, 45, 1000),
                     (15, 12, 1600), (14, 20, 800), (17, 15, 650), (18, 25, 720), (31, 10, 2500),
                     (35, 5, 100), (175, 8, 2222), (16, 10, 0), (26, 25, 1790), (27, 5, 1810)],
}
FOREMAN = {  # kind 2, ten hours east of Greenwich, southern latitude
    "utc": 600, "z0": 2800, "latitude": -33.86,
    "constituents": [(0, 1650, 700), (1, 420, 900), (2, 350, 650), (3, 480, 3900), (5, 310, 3600),
                     (34, 110, 910), (29, 150, 3880), (25, 60, 3500), (10, 60, 640), (32, 40, 760),
                     (31, 12, 200), (7, 10, 300), (4, 40, 1400), (36, 25, 1500), (9, 15, 1300),
                     (13, 30, 600), (12, 35, 800), (18, 25, 4000), (14, 15, 100), (17, 15, 3700),
                     (24, 10, 3400), (28, 8, 3300), (16, 5, 100), (26, 20, 880), (20, 40, 2000),
                     (21, 60, 2500), (19, 30, 1000), (23, 35, 1200), (118, 10, 700), (165, 6, 3000),
                     (166, 5, 3100), (168, 7, 3200), (169, 5, 3300), (171, 6, 600), (172, 5, 650),
                     (173, 6, 700), (174, 5, 750), (175, 8, 1111), (120, 6, 500), (37, 5, 3450)],
    # low-water and high-water time (minutes), ratio (hundredths), difference (tenths of a foot)
    "corrections": (25, 40, 95, 105, -2, 3),
}
SIMPLIFIED = {  # kind 1 as stored
    "flags": 10 | 0x40 | 0x80 | 0x100 | 0x200 | 0x400 | 0x1800 | 0x2000 | 0x4000,
    "z0": 1500, "phases": [1000, 20, 3000, 2800, 500, 3900], "amplitudes": [800, 250, 150, 100],
    "f4": 30, "f6": 10, "dayflags": 2 | 0x08, "day": [50, -10, -10, -8, -8, -6, -4, -2],
    "monthlyflags": 0x27,
    "m2_phase": [25, -30, 40, 15, -20, 35, -10, 5, -45, 30, 20],  # tenths of a degree, 16-bit
    "s2_phase": [-1, -1, 0, -1, -1, 0, -1, 0, 0, 0, -1],  # degrees, 8-bit
    "m2_amp": [5, -3, 2, 4, -6, 1, 0, -2, 3, -1, 2],  # 16-bit, units of 0.01 m x 0.1
    "meanheader": 0x05 | (2 << 3), "mean": [1, -1, 0, 2, -2, 1, 0, -1, 1, 0, -2, 1],
}


def round_half_away(x):
    return math.floor(x + 0.5) if x >= 0 else -math.floor(-x + 0.5)


def simplified_description(raw):
    """The station in metres and degrees, decoded from the stored fields."""
    deg = lambda steps: (steps % 4096) * 360.0 / 4096.0
    st = {"z0_m": raw["z0"] / 1000.0, "h": [a / 1000.0 for a in raw["amplitudes"]],
          "g": [deg(p) for p in raw["phases"][:4]], "g4": deg(raw["phases"][4]), "g6": deg(raw["phases"][5]),
          "f4": raw["f4"] / 1000.0, "f6": raw["f6"] / 1000.0, "utc": 600, "age": raw["dayflags"] & 7}
    st["day"] = [(raw["z0"] + sum(raw["day"][:i + 1])) / 1000.0 for i in range(8)]
    mon = {}
    mon["m2_phase"] = [deg(raw["phases"][0] + round_half_away(sum(raw["m2_phase"][:m]) / 10.0 * 4096 / 360))
                       for m in range(12)]
    mon["s2_phase"] = [deg(raw["phases"][1] + round_half_away(sum(raw["s2_phase"][:m]) * 4096 / 360))
                       for m in range(12)]
    mon["m2_amp"] = [(raw["amplitudes"][0] + 10 * sum(raw["m2_amp"][:m])) / 1000.0 for m in range(12)]
    st["monthly"] = mon
    base = raw["meanheader"] >> 3
    st["mean"] = [(base + sum(raw["mean"][:m + 1])) / 100.0 for m in range(12)]
    return st


# ---------------------------------------------------------------- harmonic model

_cache = {}


def schureman(year):
    if ("s", year) not in _cache:
        _cache[("s", year)] = t.all_constituents(t.schureman_args(year), False)
    return _cache[("s", year)]


def foreman(y, m, sin_lat):
    if ("f", y, m) not in _cache:
        _cache[("f", y, m)] = t.all_constituents(t.foreman_args(y, m, 16), True, sin_lat)
    return _cache[("f", y, m)]


def set_sum(station, values, hours):
    h = d = 0.0
    for number, amp, phase in station["constituents"]:
        sp, v, f = values[number]
        ang = math.radians(sp * hours + v - phase * 360.0 / 4096.0)
        h += amp * 0.001 * f * math.cos(ang)
        d -= amp * 0.001 * f * sp * math.pi / 180 * math.sin(ang)
    return h, d


def smooth(l):
    r = l * l
    return 0.5 + l * (15 - 10 * r + 3 * r * r) / 16, 15 * (1 - r) ** 2 / 8


class Harmonic:
    """Height (feet) and slope (feet per hour) at engine seconds tau."""

    def __init__(self, station, monthly):
        self.st = station
        self.monthly = monthly
        self.sin_lat = 0.0
        if monthly:
            lat = station["latitude"]
            semis = int(lat * 2 ** 31 / 180.0)
            if abs(semis) < 59652324:
                semis = -59652324 if semis < 0 else 59652324
            self.sin_lat = math.sin(semis * math.pi / 2 ** 31)

    def period(self, tau, shift=0):
        """(values, hours) of the argument period holding tau, or the one
        'shift' periods before it."""
        days = math.floor(tau / 86400.0)
        y, m, d = t.civil_from_days(t.EPOCH_DAYS + days)
        if self.monthly:
            for _ in range(shift):
                y, m = (y - 1, 12) if m == 1 else (y, m - 1)
            origin = t.engine_days(y, m, 16) * 86400
            return foreman(y, m, self.sin_lat), (tau - origin) / 3600.0
        year = y if (m, d) >= (1, 2) else y - 1
        year -= shift
        origin = t.engine_days(year, 1, 1) * 86400
        return schureman(year), (tau - origin) / 3600.0

    def switch(self, tau):
        """The period switch nearest to tau (engine seconds)."""
        days = math.floor(tau / 86400.0 + 0.5)
        y, m, d = t.civil_from_days(t.EPOCH_DAYS + days)
        if self.monthly:
            return t.engine_days(y, m, d) * 86400 if d == 1 else None
        return t.engine_days(y, m, d) * 86400 if (m, d) == (1, 2) else None

    def at(self, tau):
        z = self.st["z0"] * 0.001
        sw = self.switch(tau)
        if sw is not None and abs(tau - sw) < 1800:
            l = 2 * (tau - sw) / 3600.0
            s, w = smooth(l)
            new_vals, new_hours = self.period(sw + 1)
            old_vals, old_hours = self.period(sw - 1)
            h2, d2 = set_sum(self.st, new_vals, new_hours + (tau - (sw + 1)) / 3600.0)
            h1, d1 = set_sum(self.st, old_vals, old_hours + (tau - (sw - 1)) / 3600.0)
            return z + h1 + s * (h2 - h1), d1 + s * (d2 - d1) + w * (h2 - h1)
        vals, hours = self.period(tau)
        h, d = set_sum(self.st, vals, hours)
        return z + h, d


def find_extremes(slope, lo, hi, step):
    """Times in [lo, hi] where the slope changes sign: (time, kind)."""
    out = []
    a, sa = lo, slope(lo)
    x = lo + step
    while x <= hi:
        sb = slope(x)
        if (sa > 0) != (sb > 0):
            p, q = a, x
            for _ in range(60):
                mid = (p + q) / 2
                if (slope(mid) > 0) == (sa > 0):
                    p = mid
                else:
                    q = mid
            out.append(((p + q) / 2, 1 if sa > 0 else 0))
        a, sa = x, sb
        x += step
    return out


def harmonic_window(model, corrections, t0, n):
    samples = [model.at(t0 + k * 86400.0 / (n - 1))[0] * FT for k in range(n)]
    events = []
    for tau, kind in find_extremes(lambda x: model.at(x)[1], t0 - 12 * 3600, t0 + 36 * 3600, 120.0):
        h = model.at(tau)[0]
        if corrections:
            lt, ht, lr, hr, ld, hd = corrections
            if kind == 1:
                h, tau = hd * 0.1 + hr * 0.01 * h, tau + ht * 60
            else:
                h, tau = ld * 0.1 + lr * 0.01 * h, tau + lt * 60
        if t0 < tau <= t0 + 86400:
            events.append((kind, tau, h * FT))
    return samples, sorted(events, key=lambda e: e[1])


def simplified_window(st, t0, n):
    days = t0 // 86400
    y, m, d = t.civil_from_days(t.EPOCH_DAYS + days)
    model = sm.Simplified(st, y, m, d)
    r = (t0 - days * 86400) / 3600.0
    samples = [model.height(r + k * 24.0 / (n - 1)) for k in range(n)]
    events = []
    for hours, kind in find_extremes(model.slope, r - 12, r + 36, 1 / 30.0):
        if r < hours <= r + 24:
            events.append((kind, t0 + (hours - r) * 3600, model.height(hours)))
    return samples, sorted(events, key=lambda e: e[1])


def es(y, m, d, h=0, mi=0):
    return t.engine_days(y, m, d) * 86400 + h * 3600 + mi * 60


WINDOWS = {
    0: [es(1989, 12, 31) + k * 86400 for k in range(7)] + [es(1990, 1, 1, 7, 30), es(1990, 1, 2, 23, 45)],
    2: [es(2023, 12, 28) + k * 86400 for k in range(7)] + [es(2024, 2, 29, 13, 15), es(2024, 3, 1, 0, 20)],
    1: [es(2030, 12, 27) + k * 86400 for k in range(7)] + [es(2031, 1, 31, 18, 0), es(2031, 3, 20, 5, 0)],
}
SAMPLES = 97


def emit_constituents(name, st):
    print("static const mpl::MDB_tide_constituent_type %s[] = {" % name)
    for number, amp, phase in st["constituents"]:
        print("    {0x%08XU, %d, %d}," % (phase << 20, number, amp))
    print("};")


def main():
    print("// Generated by gen_predictions.py from the textbook harmonic sums.")
    emit_constituents("kHarmonicConstituents", HARMONIC)
    emit_constituents("kForemanConstituents", FOREMAN)
    print("constexpr int kHarmonicUtc = %d, kForemanUtc = %d;" % (HARMONIC["utc"], FOREMAN["utc"]))
    print("constexpr std::uint16_t kHarmonicZ0 = %d, kForemanZ0 = %d;" % (HARMONIC["z0"], FOREMAN["z0"]))
    print("constexpr std::int32_t kForemanLatitude = %d;" % int(FOREMAN["latitude"] * 2 ** 31 / 180.0))
    lt, ht, lr, hr, ld, hd = FOREMAN["corrections"]
    print("constexpr mpl::MDB_tide_corrections_type kForemanCorrections = {0, %d, %d, %d, %d, %d, %d, 0};"
          % (lt, ht, lr, hr, ld, hd))
    s = SIMPLIFIED
    print("constexpr std::uint16_t kSimplifiedFlags = 0x%04X, kSimplifiedZ0 = %d;" % (s["flags"], s["z0"]))
    print("constexpr std::uint16_t kSimplifiedPhases[6] = {%s};" % ", ".join(map(str, s["phases"])))
    print("constexpr std::uint16_t kSimplifiedAmplitudes[4] = {%s};" % ", ".join(map(str, s["amplitudes"])))
    print("constexpr std::uint16_t kSimplifiedF4 = %d, kSimplifiedF6 = %d;" % (s["f4"], s["f6"]))
    print("constexpr std::uint8_t kSimplifiedDayFlags = 0x%02X, kSimplifiedMonthlyFlags = 0x%02X;"
          % (s["dayflags"], s["monthlyflags"]))
    print("constexpr std::int16_t kSimplifiedDay[8] = {%s};" % ", ".join(map(str, s["day"])))
    print("constexpr std::int16_t kSimplifiedM2Phase[11] = {%s};" % ", ".join(map(str, s["m2_phase"])))
    print("constexpr std::int16_t kSimplifiedS2Phase[11] = {%s};" % ", ".join(map(str, s["s2_phase"])))
    print("constexpr std::int16_t kSimplifiedM2Amplitude[11] = {%s};" % ", ".join(map(str, s["m2_amp"])))
    print("constexpr std::uint8_t kSimplifiedMeanHeader = 0x%02X;" % s["meanheader"])
    print("constexpr std::int8_t kSimplifiedMean[12] = {%s};" % ", ".join(map(str, s["mean"])))
    print("constexpr int kSamples = %d;" % SAMPLES)
    print("struct ReferenceWindow_t { int kind; std::uint32_t t0; float heights[kSamples]; };")
    print("struct ReferenceEvent_t { int kind; std::uint32_t window; int type; double time; double height; };")
    windows, events = [], []
    models = {0: (Harmonic(HARMONIC, False), None), 2: (Harmonic(FOREMAN, True), FOREMAN["corrections"])}
    st1 = simplified_description(SIMPLIFIED)
    for kind in (0, 2, 1):
        for t0 in WINDOWS[kind]:
            if kind == 1:
                samples, evs = simplified_window(st1, t0, SAMPLES)
            else:
                samples, evs = harmonic_window(models[kind][0], models[kind][1], t0, SAMPLES)
            windows.append((kind, t0, samples))
            events += [(kind, t0) + e for e in evs]
    print("static const ReferenceWindow_t kReferenceWindows[] = {")
    for kind, t0, samples in windows:
        print("    {%d, %dU, {%s}}," % (kind, t0, ", ".join("%.6ff" % v for v in samples)))
    print("};")
    print("static const ReferenceEvent_t kReferenceEvents[] = {")
    for kind, t0, typ, tau, h in events:
        print("    {%d, %dU, %d, %.1f, %.6f}," % (kind, t0, typ, tau, h))
    print("};")


main()
