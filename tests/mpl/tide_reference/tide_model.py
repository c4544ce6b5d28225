"""A double-precision model of the tide astronomy, written from the textbook
formulas (Schureman's yearly arguments and node factors, Foreman's monthly
arguments with satellite constituents, the simplified four-constituent
method), independent of the engine under test. gen_reference.py uses it to
write the reference tables that the tests read.
"""
import math
import re

import tide_tables

SLOTS = ["T", "s", "h", "p", "p1", "C", "xi", "nu", "nu1", "nu2", "Q", "R"]
MAIN_NAMES = [m.split("|")[0] for m in tide_tables.MAINS]


def parse_basic(text):
    coef = [0] * 12
    code = 0
    if "," in text:
        text, fc = text.split(",")
        code = int(fc.strip()[1:])
    for tok in text.split():
        m = re.fullmatch(r"([+-]?)(\d*)([A-Za-z][A-Za-z0-9]*)", tok)
        if m:
            sign = -1 if m.group(1) == "-" else 1
            n = int(m.group(2)) if m.group(2) else 1
            coef[SLOTS.index(m.group(3))] += sign * n
        else:
            coef[5] += int(tok)  # degrees
    return coef, code


def parse_combination(text):
    coef = [0] * 11
    for tok in text.split():
        m = re.fullmatch(r"([+-]?)(\d*)([A-Z][A-Z0-9]*)", tok)
        if not m or m.group(3) not in MAIN_NAMES:
            return None
        sign = -1 if m.group(1) == "-" else 1
        n = int(m.group(2)) if m.group(2) else 1
        coef[MAIN_NAMES.index(m.group(3))] += sign * n
    return coef


def constituents():
    """number -> ('main', coef) | ('basic', coef, code) | ('special',)"""
    out = {}
    body = tide_tables.CONSTITUENTS.strip().rstrip(".")
    for entry in body.split("; "):
        num, text = entry.split(": ", 1)
        num = int(num)
        if text == "3.5 M2":
            out[num] = ("special",)
            continue
        comb = parse_combination(text)
        if comb is not None:
            out[num] = ("main", comb)
        else:
            out[num] = ("basic",) + parse_basic(text)
    assert sorted(out) == list(range(201))
    return out


def mains():
    out = []
    for m in tide_tables.MAINS:
        name, text, code = m.split("|")
        coef, _ = parse_basic(text)
        out.append((name, coef, int(code)))
    return out


def satellites():
    """slot -> list of (p, N, p1, phase in cycles, ratio, type)"""
    out = {}
    for line in tide_tables.SATELLITES.strip().splitlines():
        m = re.match(r"- slot (\d+) \([^)]*\): (.*)$", line)
        slot = int(m.group(1))
        sats = []
        for item in re.findall(r"\(([^)]*)\)", m.group(2)):
            left, right = item.split(";")
            p = n = p1 = 0
            phase = 0.0
            for tok in left.split():
                mm = re.fullmatch(r"(p1|p|N)([+-]\d+)", tok)
                if mm:
                    v = int(mm.group(2))
                    if mm.group(1) == "p":
                        p = v
                    elif mm.group(1) == "N":
                        n = v
                    else:
                        p1 = v
                else:
                    phase = float(tok)
            parts = [x.strip() for x in right.split(",")]
            ratio = float(parts[0])
            typ = int(parts[1]) if len(parts) > 1 else 0
            sats.append((p, n, p1, phase, ratio, typ))
        out[slot] = sats
    return out


H = [28, 10, 0, 19, 28, 9, 10, 22, 19, 12, 0, 26, 10, 16, 22, 36, 0, 0, 36, 38, 41, 46, 2, 33, 19, 34, 33, 24,
     21, 25, 0, 42]


def sat_slot(n):
    return H[n % 32] ^ ((n // 8) % 32)


def norm(a):
    return a % 360.0


def sind(a):
    return math.sin(math.radians(a))


def cosd(a):
    return math.cos(math.radians(a))


def atan2d(y, x):
    return math.degrees(math.atan2(y, x))


# ---------------------------------------------------------------- calendar

def is_leap(y):
    return (y % 4 == 0 and y % 100 != 0) or y % 400 == 0


def days_from_civil(y, m, d):
    """Days since 1970-01-01 (proleptic Gregorian)."""
    y -= m <= 2
    era = y // 400
    yoe = y - era * 400
    doy = (153 * (m + (-3 if m > 2 else 9)) + 2) // 5 + d - 1
    doe = yoe * 365 + yoe // 4 - yoe // 100 + doy
    return era * 146097 + doe - 719468


def civil_from_days(z):
    z += 719468
    era = z // 146097
    doe = z - era * 146097
    yoe = (doe - doe // 1460 + doe // 36524 - doe // 146096) // 365
    y = yoe + era * 400
    doy = doe - (365 * yoe + yoe // 4 - yoe // 100)
    mp = (5 * doy + 2) // 153
    d = doy - (153 * mp + 2) // 5 + 1
    m = mp + (3 if mp < 10 else -9)
    return (y + (m <= 2), m, d)


EPOCH_DAYS = days_from_civil(1989, 12, 31)


def engine_days(y, m, d):
    return days_from_civil(y, m, d) - EPOCH_DAYS


def day_of_year(y, m, d):
    return days_from_civil(y, m, d) - days_from_civil(y, 1, 1) + 1


# ---------------------------------------------------------------- Schureman

def schureman_args(year):
    """Arguments at 1 January 00:00 of the year (degrees)."""
    tc = (days_from_civil(year, 1, 1) - days_from_civil(2000, 1, 1)) / 36525.0
    tm = tc + (days_from_civil(year + 1, 1, 1) - days_from_civil(year, 1, 1)) / 36525.0 / 2.0
    a = {}
    a["h"] = norm(279.973 + 36000.769 * tc)
    a["s"] = norm(211.744 + 481267.892 * tc)
    a["p"] = norm(83.294 + 4069.032 * tc)
    a["p1"] = norm(282.94 + 1.719 * tc)
    n = norm(125.069 - 1934.142 * tm)
    pm = norm(83.294 + 4069.032 * tm)
    a["T"] = 180.0
    a["N"] = n
    cos_i = 0.91369784 - 0.035689585 * cosd(n)
    sin_i = math.sqrt(1.0 - cos_i * cos_i)
    sin_nu = 0.0896766 * sind(n) / sin_i
    cos_nu = math.sqrt(1.0 - sin_nu * sin_nu)
    nu = atan2d(sin_nu, cos_nu)
    xi = norm(n - atan2d(0.397981 * sind(n) / sin_i, cosd(n) * cos_nu + 0.917394 * sind(n) * sin_nu))
    d = 1.004521 * sin_i * cos_i
    nu1 = atan2d(d * math.sin(math.radians(nu)), d * math.cos(math.radians(nu)) + 0.16809220337711397)
    g = 0.5022605076428357 * sin_i * sin_i
    nu2 = atan2d(g * sind(2 * nu), g * cosd(2 * nu) + 0.03646061695524931)
    p_big = norm(pm - xi)
    q = norm(atan2d(0.483 * sind(p_big), cosd(p_big)))
    if (90 <= p_big <= 180 and not 89.9 < q < 180.1) or (180 <= p_big <= 270 and not 179.9 < q < 270.1):
        q = norm(q + 180.0)
    r = norm(atan2d(sind(2 * p_big), (1 + cos_i) / (1 - cos_i) / 6.0 - cosd(2 * p_big)))
    a.update(xi=xi, nu=nu, nu1=nu1, nu2=nu2, Q=q, R=r, C=3.6, cosI=cos_i, sinI=sin_i, P=p_big)
    return a


def node_factor(code, a):
    ci, si = a["cosI"], a["sinI"]
    u, v = (1 + ci) / 2, (1 - ci) / 2
    cos2p = cosd(2 * a["P"])
    if code == 0:
        return 1.0
    if code == 1:
        return (2.0 / 3.0 - si * si) * 1.9916352
    if code == 2:
        return si * si * 6.3371353
    if code == 3:
        return si * u * 2.631579
    if code == 4:
        return si * ci * 2.772387
    if code == 5:
        return si * v * 60.97561
    if code == 6:
        return u * u * 1.0924186
    if code == 7:
        return si * si * 6.3897767
    if code == 9:
        return u ** 3 * 1.1418132
    if code == 10:
        return si * u * math.sqrt(1.435 * cos2p + 2.31) / 0.38
    if code == 11:
        k = v / u
        e = 1 / math.sqrt(1 - 12 * k * cos2p + 36 * k * k)
        return u * u / (0.9154 * e)
    if code == 12:
        aa = 2 * si * ci
        return math.sqrt(aa * (0.6001 * cosd(a["nu"]) + 0.8965 * aa) + 0.1006)
    if code == 13:
        aa = si * si
        return math.sqrt(aa * (2.7702 * cosd(2 * a["nu"]) + 19.0444 * aa) + 0.0981)
    raise ValueError(code)


SCHUREMAN_RATES = {"T": 15.0, "s": 0.5490165320556696, "h": 0.04106863906000456, "p": 0.004641834360027379,
                   "p1": 1.9609856262833678e-06, "Q": 0.004641834}


def basic_schureman(coef, code, a):
    speed = sum(coef[SLOTS.index(k)] * r for k, r in SCHUREMAN_RATES.items())
    arg = 0.0
    for i, name in enumerate(SLOTS):
        arg += coef[i] * (1.0 if name == "C" else a[name])
    return speed, norm(arg), node_factor(code, a), arg


# ---------------------------------------------------------------- Foreman

def foreman_args(y, m, d):
    d16 = 16
    dd = sum(366 if is_leap(yy) else 365 for yy in range(1900, y)) + day_of_year(y, m, d16) - 0.5
    big = dd / 10000.0
    a = {}
    a["s"] = norm(270.434164 + 13.1763965268 * dd - 0.000085 * big ** 2 + 3.9e-8 * big ** 3)
    a["h"] = norm(279.696678 + 0.9856473354 * dd + 0.00002267 * big ** 2)
    a["p"] = norm(334.329556 + 0.1114040803 * dd - 0.0007739 * big ** 2 - 2.6e-7 * big ** 3)
    a["N"] = norm(-259.183275 + 0.0529539222 * dd - 0.0001557 * big ** 2 - 5e-8 * big ** 3)
    a["p1"] = norm(281.220833 + 0.0000470684 * dd + 0.0000339 * big ** 2 + 7e-8 * big ** 3)
    a["T"] = 180.0
    a["C"] = 3.6
    a["rates"] = {"T": 360.0, "s": 13.1763965268 - 1.7e-12 * dd + 1.17e-19 * dd ** 2,
                  "h": 0.9856473354 + 4.534e-13 * dd, "p": 0.1114040803 - 1.5478e-11 * dd - 7.8e-19 * dd ** 2,
                  "p1": 0.0000470684 + 6.78e-13 * dd + 2.1e-19 * dd ** 2}
    return a


SATS = satellites()


def basic_foreman(coef, number, a, sin_lat):
    rates = a["rates"]
    speed = sum(coef[SLOTS.index(k)] * rates[k] for k in ("T", "s", "h", "p", "p1")) / 24.0
    raw = 0.0
    for i, name in enumerate(SLOTS[:6]):
        raw += coef[i] * (1.0 if name == "C" else a[name])
    v = norm(raw)
    slot = sat_slot(number)
    if slot >= 44 or slot not in SATS:
        return speed, v, 1.0, raw
    x, y = 1.0, 0.0
    for p, n, p1, phase, ratio, typ in SATS[slot]:
        ang = p * a["p"] + n * a["N"] + p1 * a["p1"] + phase * 360.0
        r = ratio
        if typ == 1:
            r *= 0.36309 * (1 - 5 * sin_lat * sin_lat) / sin_lat
        elif typ == 2:
            r *= 2.59808 * sin_lat
        x += r * cosd(ang)
        y += r * sind(ang)
    u = atan2d(y, x)
    return speed, norm(v + u), math.hypot(x, y), raw + u


# ---------------------------------------------------------------- constituents

CONST = constituents()
MAINS = mains()


def main_values(a, foreman, sin_lat):
    vals = []
    for idx, (name, coef, code) in enumerate(MAINS):
        if foreman:
            vals.append(basic_foreman(coef, tide_tables.MAIN_NUMBERS[idx], a, sin_lat))
        else:
            vals.append(basic_schureman(coef, code, a))
    return vals


def constituent(number, a, foreman, sin_lat, mv):
    """(speed deg/h, V0+u deg in [0, 360), f)"""
    c = CONST[number]
    if c[0] == "special":
        sp, _, f, raw = mv[3]
        return 3.5 * sp, norm(3.5 * raw), f ** 3.5
    if c[0] == "main":
        sp = sum(k * mv[i][0] for i, k in enumerate(c[1]))
        v = norm(sum(k * mv[i][1] for i, k in enumerate(c[1])))
        f = 1.0
        for i, k in enumerate(c[1]):
            f *= mv[i][2] ** abs(k)
        return sp, v, f
    coef, code = c[1], c[2]
    if foreman:
        sp, v, f, _ = basic_foreman(coef, number, a, sin_lat)
    else:
        sp, v, f, _ = basic_schureman(coef, code, a)
    return sp, v, f


def all_constituents(args, foreman, sin_lat=0.0):
    mv = main_values(args, foreman, sin_lat)
    return [constituent(n, args, foreman, sin_lat, mv) for n in range(201)]
