"""Query parameters of the demo's chart pictures and pages: parsed, checked and bounded.

Every failure is a ParamError whose message tells the user which parameter is wrong and what is
allowed; the site answers it with a 400.
"""
import math
from dataclasses import dataclass, field

MAX_SERIES = 6
MAX_CATEGORIES = 12
MAX_NAME = 40
MAX_TITLE = 80
MAX_VALUE = 1e9
WIDTH_RANGE = (100, 1600)
HEIGHT_RANGE = (100, 1200)
QUALITY_RANGE = (1, 100)

# Parameters every picture takes; a chart adds its own in ChartKind.extra.
COMMON = ("values", "names", "series", "title", "width", "height", "quality")


class ParamError(ValueError):
    """A query parameter the demo cannot draw; the message is shown to the user."""


@dataclass
class ChartParams:
    values: list            # one list of numbers per series, all of the same length
    names: list             # one name per category (bar position or slice)
    series: list            # one name per series
    title: str
    width: int
    height: int
    quality: int
    extra: dict = field(default_factory=dict)


def _int(args, key, default, bounds):
    text = args.get(key)
    if text is None or text == "":
        return default
    try:
        value = int(text.strip())
    except ValueError:
        raise ParamError(f"{key} must be a whole number, not {text!r}") from None
    low, high = bounds
    if not low <= value <= high:
        raise ParamError(f"{key} must be between {low} and {high}, not {value}")
    return value


def _number(text, key):
    try:
        value = float(text)
    except ValueError:
        raise ParamError(f"{key}: {text.strip()!r} is not a number") from None
    if not math.isfinite(value) or not 0 <= value <= MAX_VALUE:
        raise ParamError(f"{key}: every value must be between 0 and {MAX_VALUE:g}, not {text.strip()!r}")
    return value


def _names(text, key, limit):
    names = [n.strip() for n in text.split(",")]
    if len(names) > limit:
        raise ParamError(f"{key}: at most {limit} names, not {len(names)}")
    for n in names:
        if len(n) > MAX_NAME:
            raise ParamError(f"{key}: a name has at most {MAX_NAME} characters, {n[:MAX_NAME]!r}… has {len(n)}")
    return names


def parse_values(text):
    """'3,5,2;4,1,6' -> [[3, 5, 2], [4, 1, 6]]: series apart by ';', values by ','."""
    rows = [row for row in text.split(";")]
    if len(rows) > MAX_SERIES:
        raise ParamError(f"values: at most {MAX_SERIES} series (apart by ';'), not {len(rows)}")
    series = []
    for row in rows:
        cells = row.split(",")
        if len(cells) > MAX_CATEGORIES:
            raise ParamError(f"values: at most {MAX_CATEGORIES} values a series, not {len(cells)}")
        if any(c.strip() == "" for c in cells):
            raise ParamError("values: an empty value; write numbers apart by ',' and series apart by ';'")
        series.append([_number(c, "values") for c in cells])
    if len({len(s) for s in series}) != 1:
        raise ParamError("values: every series needs the same number of values")
    return series


def parse(args, defaults, extra_keys=()):
    """Reads a chart's parameters from a query (a mapping of str to str) over its defaults."""
    unknown = sorted(set(args) - set(COMMON) - set(extra_keys))
    if unknown:
        allowed = ", ".join(COMMON + tuple(extra_keys))
        raise ParamError(f"unknown parameter {unknown[0]!r}; this chart takes {allowed}")
    values = parse_values(args["values"]) if args.get("values") else [list(v) for v in defaults["values"]]
    count = len(values[0])
    names = _names(args["names"], "names", MAX_CATEGORIES) if "names" in args else list(defaults["names"])
    names = (names + [str(i + 1) for i in range(len(names), count)])[:count]
    series = _names(args["series"], "series", MAX_SERIES) if "series" in args else list(defaults["series"])
    series = (series + [f"Series {i + 1}" for i in range(len(series), len(values))])[:len(values)]
    title = args.get("title", defaults.get("title", ""))
    if len(title) > MAX_TITLE:
        raise ParamError(f"title: at most {MAX_TITLE} characters, not {len(title)}")
    return ChartParams(
        values=values, names=names, series=series, title=title,
        width=_int(args, "width", defaults.get("width", 400), WIDTH_RANGE),
        height=_int(args, "height", defaults.get("height", 300), HEIGHT_RANGE),
        quality=_int(args, "quality", 85, QUALITY_RANGE),
        extra={k: args[k] for k in extra_keys if k in args},
    )


def index_list(text, key, count):
    """'2,4' -> {2, 4}: 1-based positions among count items."""
    if not text:
        return set()
    out = set()
    for cell in text.split(","):
        try:
            i = int(cell.strip())
        except ValueError:
            raise ParamError(f"{key}: {cell.strip()!r} is not a position (1, 2, …)") from None
        if not 1 <= i <= count:
            raise ParamError(f"{key}: positions run from 1 to {count}, not {i}")
        out.add(i)
    return out


def nice_axis(top):
    """The axis maximum, step count and decimals for values up to top: 5 steps of 1, 2, 2.5 or 5
    times a power of ten."""
    if top <= 0:
        return 5.0, 5, 0
    raw = top / 5
    power = 10.0 ** math.floor(math.log10(raw))
    step = next(m * power for m in (1, 2, 2.5, 5, 10) if m * power >= raw * (1 - 1e-12))
    decimals = 0
    while decimals < 6 and abs(step * 10 ** decimals - round(step * 10 ** decimals)) > 1e-9:
        decimals += 1
    return step * 5, 5, decimals
