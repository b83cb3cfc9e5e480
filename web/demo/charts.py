"""The demo's charts: one recipe per kind, drawn by the kelvane module on a new chart per request."""
import os
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass, field
from typing import Callable

import kelvane

from .maps import encode
from .params import ParamError, index_list, nice_axis

EXAMPLE_PICTURES = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "pictures")


def rgb(r, g, b):
    """A colour as the component stores it: 0x00BBGGRR."""
    return r | g << 8 | b << 16


PALETTE = [rgb(0, 102, 204), rgb(230, 120, 0), rgb(80, 170, 90), rgb(200, 60, 120),
           rgb(120, 90, 200), rgb(60, 170, 190)]

# Picture formats: URL ending -> (SaveBinary type, media type). Pages show PNG, the smallest
# (a 400 x 300 chart is 1 to 4 KB; the same as BMP 360 KB).
DEFAULT_FORMAT = "png"
FORMATS = {
    "png": ("png", "image/png"),
    "jpg": ("jpg", "image/jpeg"),
    "gif": ("gif", "image/gif"),
    "bmp": ("bmp", "image/bmp"),
}

QUARTERS = {"values": [[40, 50, 30, 90], [20, 40, 60, 70]], "names": ["Q1", "Q2", "Q3", "Q4"],
            "series": ["North", "South"], "title": "Sales by quarter"}


@dataclass
class ChartKind:
    key: str
    label: str
    group: str                       # "bars", "pies" or "drawing"
    draw: Callable                   # draw(chart, params) on a chart with Width/Height set
    defaults: dict = field(default_factory=lambda: dict(QUARTERS))
    extra: tuple = ()                # parameters of this kind beyond the common ones
    note: str = ""

    @property
    def has_map(self):
        return self.group == "bars"


def _bar_frame(chart, p, mode, stacked, legend, least_top):
    """Sets up the bar positions and series and returns the value axis (top, steps, decimals)."""
    chart.SerialBars = len(p.names)
    chart.SerialItems = len(p.values)
    chart.BarSpaceRate = 0.7
    chart.DrawBarMode = mode
    chart.LegendVisible = legend
    if legend:
        chart.LegendWidth = 80
    top = max(map(sum, zip(*p.values))) if stacked else max(max(s) for s in p.values)
    return nice_axis(max(top, least_top))


def _series(chart, p, each=None):
    """One AddBarData per value, each series in its colour; the category name rides along in
    the image map."""
    for s, (name, row) in enumerate(zip(p.series, p.values), start=1):
        chart.FillColor = PALETTE[(s - 1) % len(PALETTE)]
        if each:
            each(chart, s)
        for b, value in enumerate(row, start=1):
            chart.AddBarData(name, value, b, s, encode(p.names[b - 1]))


def bar_chart(mode, settings=(), stacked=False, legend=True, each=None, after=None, least_top=0):
    """The recipe of a bar chart: settings before InitChart, the frame (its value axis reaching
    least_top at least), every value (each(chart, series) styles a series), after(chart, params)
    for extras, then category labels and title."""
    def draw(chart, p):
        vmax, steps, decimals = _bar_frame(chart, p, mode, stacked, legend, least_top)
        for name, value in settings:
            setattr(chart, name, value)
        chart.InitChart()
        chart.DrawBarChart(vmax, steps, 0, decimals)
        if dict(settings).get("RightAxisVisible"):
            chart.DrawRightAxis(100, 5, 0, 0, "%")  # the share of the left axis' top
        _series(chart, p, each)
        if after:
            after(chart, p)
        chart.DrawAreaText(p.names)
        if p.title:
            chart.DrawChartTiTle(p.title)
    return draw


def _line_style(chart, s):
    chart.LineColor = PALETTE[(s - 1) % len(PALETTE)]
    chart.LineMode = 0 if s % 2 else 2
    chart.LineDotType = kelvane.dtCir if s % 2 else kelvane.dtRect


def _pareto_line(chart, p):
    # The running total is drawn in percent on the value axis, which therefore reaches 100.
    if sum(p.values[0]) > 0:
        chart.DrawPolaLine(p.values[0], 0, 0, "2", rgb(200, 0, 0))


def _logo(chart, p):
    chart.DrawImage(os.path.join(EXAMPLE_PICTURES, "logo.bmp"), p.width - 100, 20, rgb(255, 255, 255), 70)


def _pie(chart, p, solid, pull_every_second=False):
    """A pie of the first series; out and hide name slice positions (1, 2, …) to pull out or
    leave as a gap."""
    slices = p.values[0]
    if sum(slices) <= 0:
        raise ParamError("values: a pie needs at least one value above 0")
    if "out" in p.extra:
        pulled = index_list(p.extra["out"], "out", len(slices))
    else:
        pulled = set(range(2, len(slices) + 1, 2)) if pull_every_second else set()
    hidden = index_list(p.extra.get("hide", ""), "hide", len(slices))
    chart.LegendWidth = 100
    chart.MValueVisible = True
    chart.PercentDigits = 1 if solid else 0
    chart.Chart_3D = solid
    chart.PieItemOutOffset3D = 16
    chart.InitChart()
    for i, (name, value) in enumerate(zip(p.names, slices), start=1):
        chart.AddPieData(name, value, 0, i in hidden, i in pulled, PALETTE[(i - 1) % len(PALETTE)])
    chart.DrawPieChart()
    if p.title:
        chart.DrawChartTiTle(p.title)


def draw_drawing(chart, p):
    if max(p.values[0]) > 100:
        raise ParamError("values: the curve of the free drawing takes values from 0 to 100")
    chart.SerialBars = 4
    chart.SerialItems = 1
    chart.LegendVisible = False
    chart.InitChart()
    chart.DrawBarChart(100, 5, 0)
    chart.DrawRect(0, 1, rgb(0, 0, 0), rgb(255, 220, 120), 60, 60, 160, 120)
    chart.DrawRect(2, 2, rgb(200, 0, 0), 0, 180, 60, 260, 120)
    chart.DrawCircle(25, 0, 1, rgb(0, 0, 0), 330, 90, 1, rgb(120, 200, 255))
    chart.DrawLine(0, "2", rgb(160, 0, 160), 0, 0, 100, 100, 2)
    points = [f"{x},{v:g}" for x, v in zip((0, 25, 50, 75, 100), p.values[0])]
    chart.DrawCurve(points, "2", rgb(0, 0, 200), 0.5, 16)
    if p.title:
        chart.DrawText(p.title, "Arial", 14, False, rgb(0, 90, 160), 0, 40, 150)


WAVE = {"values": [[20, 60, 40, 80, 50]], "names": [], "series": [], "title": "free drawing"}
SHARES = {"values": [[30, 20, 25, 25]], "names": ["North", "South", "East", "West"],
          "series": ["share"], "title": ""}
SINGLE = {"values": [[45, 72.5, 30, 88]], "names": ["A", "B", "C", "D"], "series": ["tons"],
          "title": ""}

DEFECTS = {"values": [[40, 25, 15, 12, 8]], "names": ["A", "B", "C", "D", "E"],
           "series": ["defects"], "title": ""}

KINDS = {k.key: k for k in [
    ChartKind("bars", "Flat bars", "bars", bar_chart(kelvane.kvSingleColor)),
    ChartKind("bars3d", "Solid bars", "bars",
              bar_chart(kelvane.kvSingleColor, [("Chart_3D", True), ("BackGrid", True)])),
    ChartKind("stacked", "Stacked bars", "bars",
              bar_chart(kelvane.kvOnePole, [("MValueVisible", True), ("MValueSize", 12)], stacked=True)),
    ChartKind("lines", "Lines with markers", "bars",
              bar_chart(kelvane.kvline, [("LineDotFlag", True), ("LineWidth", 2)], each=_line_style)),
    ChartKind("points", "Point markers", "bars",
              bar_chart(kelvane.kvDot, [("LineDotFlag", True), ("LineDotType", kelvane.dtCir),
                                        ("LineDotFlagSize", 5)], legend=False), dict(SINGLE)),
    ChartKind("labels", "Value labels", "bars",
              bar_chart(kelvane.kvSingleColor, [("BackGrid", True), ("MValueVisible", True), ("MValueSize", 14),
                                                ("MValueBackVisible", True), ("MValueBackColor", rgb(255, 255, 0)),
                                                ("MValueBackOpacity", 60)], legend=False), dict(SINGLE)),
    ChartKind("rightaxis", "Right axis", "bars",
              bar_chart(kelvane.kvSingleColor, [("RightAxisVisible", True)], legend=False), dict(SINGLE)),
    ChartKind("pareto", "Pareto line", "bars",
              bar_chart(kelvane.kvSingleColor, [("LineDotFlag", True), ("MValueSize", 12)], legend=False,
                        after=_pareto_line, least_top=100), dict(DEFECTS)),
    ChartKind("pictures", "Picture-filled bars", "bars",
              bar_chart(kelvane.kvFillImage, [("FillImage", os.path.join(EXAMPLE_PICTURES, "tile.bmp"))],
                        after=_logo), dict(SINGLE)),
    ChartKind("pie", "Flat pie", "pies", lambda c, p: _pie(c, p, False), dict(SHARES), ("out", "hide")),
    ChartKind("pie3d", "Solid pie", "pies", lambda c, p: _pie(c, p, True), dict(SHARES), ("out", "hide")),
    ChartKind("piepulled", "Pulled-out slices", "pies", lambda c, p: _pie(c, p, True, pull_every_second=True),
              dict(SHARES), ("out", "hide")),
    ChartKind("drawing", "Free drawing", "drawing", draw_drawing, dict(WAVE)),
]}


def new_chart(kind, p):
    """A chart with kind's picture drawn from p, ready for its output."""
    chart = kelvane.cChart()
    chart.Width = p.width
    chart.Height = p.height
    chart.Quality = p.quality
    kind.draw(chart, p)
    return chart


def picture_bytes(chart, image_type):
    """The chart's picture as image_type. GIF colour reduction keeps its modes per thread, and a
    GIF of a chart with a picture leaves the ordered dither on for the thread's later GIFs; so
    every GIF is made on a thread of its own, and a URL gives the same bytes whatever its worker
    drew before (0.5 ms more a GIF)."""
    if image_type != "gif":
        return chart.SaveBinary(image_type)
    with ThreadPoolExecutor(max_workers=1) as fresh:
        return fresh.submit(chart.SaveBinary, image_type).result()
