"""The simplified four-constituent tide method in double precision, with the
new and full moons after Meeus for the spring-neap cycle. Used by
gen_predictions.py."""
import math

import tide_model as t


def norm(a):
    return a % 360.0


def sind(a):
    return math.sin(math.radians(a))


def cosd(a):
    return math.cos(math.radians(a))


def rounded_length(x, y):
    v = (x * x + y * y) * 1e6
    r = math.isqrt(int(v))
    if int(v) - r * r > r:
        r += 1
    return r / 1000.0


# ---------------------------------------------------------------- moon phases

NEW = [(-0.40720, 0, 0, 1, 0), (0.17241, 1, 1, 0, 0), (0.01608, 0, 0, 2, 0), (0.01039, 0, 0, 0, 2),
       (0.00739, 1, -1, 1, 0), (-0.00514, 1, 1, 1, 0), (0.00208, 2, 2, 0, 0), (-0.00111, 0, 0, 1, -2),
       (-0.00057, 0, 0, 1, 2), (0.00056, 1, 1, 2, 0), (-0.00042, 0, 0, 3, 0), (0.00042, 1, 1, 0, 2),
       (0.00038, 1, 1, 0, -2), (-0.00024, 1, -1, 2, 0), (-0.00007, 0, 2, 1, 0), (0.00004, 0, 0, 2, -2),
       (0.00004, 0, 3, 0, 0), (0.00003, 0, 1, 1, -2), (0.00003, 0, 0, 2, 2), (-0.00003, 0, 1, 1, 2),
       (0.00003, 0, -1, 1, 2), (-0.00002, 0, -1, 1, -2), (-0.00002, 0, 1, 3, 0), (0.00002, 0, 0, 4, 0)]
FULL = [(-0.40614,) + NEW[0][1:], (0.17302,) + NEW[1][1:], (0.01614,) + NEW[2][1:], (0.01043,) + NEW[3][1:],
        (0.00734,) + NEW[4][1:], (-0.00515,) + NEW[5][1:], (0.00209,) + NEW[6][1:]] + NEW[7:]
PLANETS = [(299.77, 0.107408, 0.000325), (251.88, 0.016321, 0.000165), (251.83, 26.651886, 0.000164),
           (349.42, 36.412478, 0.000126), (84.66, 18.206239, 0.000110), (141.74, 53.303771, 0.000062),
           (207.14, 2.453732, 0.000060), (154.84, 7.306860, 0.000056), (34.52, 27.261239, 0.000047),
           (207.19, 0.121824, 0.000042), (291.34, 1.844379, 0.000040), (161.72, 24.198154, 0.000037),
           (239.56, 25.513099, 0.000035), (331.55, 3.592518, 0.000023)]


def moon_jde(k, year):
    tt = k / 1236.85
    jde = 2451550.09766 + 29.530588861 * k + 0.00015437 * tt ** 2 - 1.5e-7 * tt ** 3 + 7.3e-10 * tt ** 4
    e = 1 - tt * (0.002516 + 7.4e-6 * tt)
    m = 2.5534 + 29.1053567 * k - tt ** 2 * (1.4e-6 + 1.1e-7 * tt)
    mp = 201.5643 + 385.81693528 * k + tt ** 2 * (0.0107582 + tt * (0.00001238 - 5.8e-8 * tt))
    f = 160.7108 + 390.67050284 * k - tt ** 2 * (0.0016118 + tt * (2.27e-6 - 1.1e-8 * tt))
    om = 124.7746 - 1.56375588 * k + tt ** 2 * (0.0020672 + 2.15e-6 * tt)
    terms = FULL if abs(k - math.floor(k) - 0.5) < 0.25 else NEW
    for c, ep, a, b, cc in terms:
        jde += c * e ** ep * sind(a * m + b * mp + cc * f)
    for i, (base, rate, c) in enumerate(PLANETS):
        a = base + rate * k - (0.009173 * tt ** 2 if i == 0 else 0.0)
        jde += c * sind(a)
    jde -= 0.00017 * sind(om)
    if year <= 2100:
        x = (year - 2000) / 100.0
        jde -= (102 + 102 * x + 25.3 * x * x + 0.37 * (year - 2100)) / 86400.0
    return jde


def phase_days(day_start, kind, offset_min):
    """Whole days to (kinds 0, 1) or since (2, 3) a new (0, 2) or full (1, 3)
    moon, for the local day starting at engine seconds day_start."""
    jd0 = day_start / 86400.0 - 3653.5 + 2451545.0
    y, m, d = t.civil_from_days(t.EPOCH_DAYS + (day_start - 60 * offset_min) // 86400)
    h = (t.day_of_year(y, m, d) / (366 if t.is_leap(y) else 365) + y - 2000) * 12.3685
    b = math.floor(h)
    ks = {0: (b, b + 1), 1: (b + 0.5, b + 1.5), 2: (b - 1, b), 3: (b - 0.5, b + 0.5)}[kind]

    def day_of(k):
        j = moon_jde(k, y) + offset_min / 1440.0
        mid = math.floor(j) + 0.5
        return mid if mid < j else math.floor(j) - 0.5

    da, db = day_of(ks[0]) - jd0, day_of(ks[1]) - jd0
    if kind in (0, 1):
        r = db if da < 0 else min(da, db)
    else:
        r = -db if -db > 0 else -da
    return int(r)


def spring_neap(day_start, age, offset_min):
    best, after = 256, False
    for kind in (0, 2, 1, 3):
        days = phase_days(day_start, kind, offset_min)
        last = kind in (2, 3)
        dist = (abs(days - age) if last else days + age) & 0xFF
        if dist < best:
            best, after = dist, last and days >= age
            if best == 0:
                break
    return best, after


# ---------------------------------------------------------------- arguments

def one_day(y, m, d):
    yy = y - 1900
    dd = t.day_of_year(y, m, d) - 1 + (y - 1901) // 4
    s = norm(277.02 + 129.3848 * yy + 13.1764 * dd)
    h = norm(280.19 - 0.2387 * yy + 0.9857 * dd)
    p = norm(334.39 + 40.6625 * yy + 0.1114 * dd)
    n = norm(259.16 - 19.3282 * yy - 0.053 * dd)
    sn, cn = sind(n), cosd(n)
    s2n, c2n, s3n, c3n = sind(2 * n), cosd(2 * n), sind(3 * n), cosd(3 * n)

    def group(terms):
        x = sum(r * cosd(a) for r, a in terms)
        yv = sum(r * sind(a) for r, a in terms)
        return norm(-math.degrees(math.atan2(yv, x))), rounded_length(x, yv)

    fm = 1.0004 - 0.0373 * cn + 0.0002 * c2n
    um = -2.14 * sn
    lx = 1 - 0.2505 * cosd(2 * p) - 0.1102 * cosd(2 * p - n) - 0.0156 * cosd(2 * p - 2 * n) - 0.037 * cn
    ly = -0.2505 * sind(2 * p) - 0.1102 * sind(2 * p - n) - 0.0156 * sind(2 * p - 2 * n) - 0.037 * sn
    fl, ul = rounded_length(lx, ly), math.degrees(math.atan2(ly, lx))
    m2 = group([(fm, 2 * h - 2 * s + um), (0.02534 * fm, 2 * h - 4 * s + 2 * p + um + 30),
                (0.03636 * fm, 4 * h - 3 * s - p + um + 15), (0.03057 * fm, 4 * h - 4 * s + um + 30),
                (0.19146 * fm, 2 * h - 3 * s + p + um + 15), (0.00738 * fm, p - s + um + 165),
                (0.02827 * fl, 2 * h - s - p + ul + 165)])
    fk2 = 1.0246 + 0.2863 * cn + 0.0083 * c2n - 0.0015 * c3n
    uk2 = -17.74 * sn + 0.68 * s2n - 0.04 * s3n
    s2 = group([(1.0, 0.0), (0.05861, 282.9 - h), (0.27215 * fk2, 2 * h + uk2)])
    fk = 1.006 + 0.115 * cn - 0.0088 * c2n + 0.0006 * c3n
    uk = -8.86 * sn + 0.68 * s2n - 0.07 * s3n
    fj = 1.0129 + 0.1676 * cn - 0.017 * c2n + 0.0016 * c3n
    uj = -12.94 * sn + 1.34 * s2n - 0.19 * s3n
    k1 = group([(fk, h + uk + 90), (0.05591 * fj, h + s - p + uj + 90), (0.33093, -h - 90),
                (0.01939, 282.9 - 2 * h - 90), (0.01424, 3 * h + 90)])
    fo = 1.0089 + 0.1871 * cn - 0.0147 * c2n + 0.0014 * c3n
    uo = 10.8 * sn - 1.34 * s2n + 0.19 * s3n
    o1 = group([(fo, h - 2 * s - 90 + uo), (0.19146 * fo, h - 3 * s + p - 90 + uo),
                (0.03056 * fo, 3 * h - 4 * s - 90 + uo), (0.02534 * fo, h - 4 * s + 2 * p - 90 + uo),
                (0.03637 * fo, 3 * h - 3 * s - p - 90 + uo)])
    return [m2, s2, k1, o1]


def add_days(y, m, d, n):
    return t.civil_from_days(t.days_from_civil(y, m, d) + n)


def days_in_month(y, m):
    return [31, 29 if t.is_leap(y) else 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31][m - 1]


# ---------------------------------------------------------------- a station

class Simplified:
    """A station description: st is a dict with z0_m, h (4, metres), g (4,
    degrees), f4, f6, g4, g6 (degrees), utc (minutes), age, day (8 levels in
    metres, or None), monthly {table: [12 values]} (phases in degrees,
    amplitudes in metres), mean ([12 corrections in metres] or None)."""

    def __init__(self, st, y, m, d):
        self.st = st
        self.date = (y, m, d)
        self.days = [one_day(*add_days(y, m, d, k)) for k in range(3)]
        self.levels = None
        if st["day"] is not None:
            self.levels = self.day_levels()
        self.months = [(y, m)]
        for _ in range(2):
            yy, mm = self.months[-1]
            self.months.append((yy + 1, 1) if mm == 12 else (yy, mm + 1))

    def day_levels(self):
        st = self.st
        start = t.engine_days(*self.date) * 86400
        d, after = spring_neap(start, st["age"], st["utc"])
        sn = lambda delta: spring_neap(start + delta, st["age"], st["utc"])[0]
        if d == 0:
            idx = [1, 0, 1, 2]
        elif d < 7:
            idx = [d - 1, d, d + 1, d + 2] if after else [d + 1, d, d - 1, 1 if d == 1 else d - 2]
        elif d == 7:
            idx = [6, 7, sn(86400), sn(172800)] if after else [sn(-86400), 7, 6, 5]
        else:
            idx = [sn(-86400), d, sn(86400), sn(172800)]
        return [st["day"][i] if i < 8 else st["z0_m"] for i in idx]

    def monthly(self, key, j):
        y, m = self.months[j]
        return self.st["monthly"][key][m - 1]

    def state(self, tt):
        st = self.st
        level = st["z0_m"]
        g = list(st["g"])
        h = list(st["h"])
        if self.levels is not None:
            lv = self.levels
            first = tt < 24
            noon = 12.0 if first else 36.0
            i = 1 if first else 2
            if tt >= noon:
                level = lv[i] + (tt - noon) / 24 * (lv[i + 1] - lv[i])
            else:
                level = lv[i - 1] + (tt - noon + 24) / 24 * (lv[i] - lv[i - 1])
        y, m, d = self.date
        a, hours = 0, tt
        if tt >= 24 and d == days_in_month(y, m):
            a, hours = 1, tt - 24
            y, m, d = add_days(y, m, d, 1)
        frac = (hours / 24 + d - 1) / days_in_month(y, m)

        def interp(key, phase):
            v0, v1 = self.monthly(key, a), self.monthly(key, a + 1)
            delta = v1 - v0
            if phase:
                delta = (delta + 180) % 360 - 180
                return norm(v0 + frac * delta)
            return v0 + frac * delta

        if st["mean"] is not None:
            y0, m0 = self.months[a]
            y1, m1 = self.months[a + 1]
            level += st["mean"][m0 - 1] + frac * (st["mean"][m1 - 1] - st["mean"][m0 - 1])
        mon = st["monthly"]
        if "m2_phase" in mon:
            g[0] = interp("m2_phase", True)
        if "s2_phase" in mon:
            g[1] = interp("s2_phase", True)
        if "m2_amp" in mon:
            h[0] = interp("m2_amp", False)
        if "s2_amp" in mon:
            h[1] = interp("s2_amp", False)
        return level, g, h

    def arguments(self, tt, g):
        k = 0 if tt < 24 else 1
        hour = tt - 24 * k
        out = []
        for i in range(4):
            a0, f0 = self.days[k][i]
            a1, f1 = self.days[k + 1][i]
            diff = a0 - a1
            c = 600.0 if i < 2 else 300.0
            n = math.ceil((c - diff) / 360.0)
            speed = diff / 24 + 15 * n
            angle = math.radians(g[i] + a0 - speed * hour)
            out.append((angle, f0 + hour / 24 * (f1 - f0), (f1 - f0), speed))
        return out

    def shallow(self, args, h):
        x = sum(h[i] * args[i][1] * math.cos(args[i][0]) for i in range(2))
        y = sum(h[i] * args[i][1] * math.sin(args[i][0]) for i in range(2))
        return rounded_length(x, y), math.atan2(y, x)

    def height(self, tt):
        st = self.st
        level, g, h = self.state(tt)
        args = self.arguments(tt, g)
        v = level + sum(math.cos(args[i][0]) * h[i] * args[i][1] for i in range(4))
        s, th = self.shallow(args, h)
        v += s * s * st["f4"] * math.cos(math.radians(st["g4"]) + 2 * th)
        v += s ** 3 * st["f6"] * math.cos(math.radians(st["g6"]) + 3 * th)
        return v

    def shallow_term(self, tt, order):
        level, g, h = self.state(tt)
        s, th = self.shallow(self.arguments(tt, g), h)
        st = self.st
        if order == 4:
            return s * s * math.cos(math.radians(st["g4"]) + 2 * th)
        return s ** 3 * math.cos(math.radians(st["g6"]) + 3 * th)

    def slope(self, tt):
        st = self.st
        level, g, h = self.state(tt)
        args = self.arguments(tt, g)
        v = 0.0
        for i in range(4):
            angle, f, df, speed = args[i]
            v += h[i] * (df / 24 * math.cos(angle) + f * speed * math.pi / 180 * math.sin(angle))
        e = 1 / 120.0
        v += (self.shallow_term(tt + e, 4) - self.shallow_term(tt - e, 4)) * st["f4"] * 60
        v += (self.shallow_term(tt + e, 6) - self.shallow_term(tt - e, 6)) * st["f6"] * 60
        return v
