"""Settings as properties: every setting is there, new charts hold the defaults, assignments
convert as the interface converts them, BarWidth is read-only."""

import math
import re

import pytest

import kelvane
from conftest import REPO


def declared_settings():
    text = (REPO / "include" / "kelvane" / "chart_settings.def").read_text()
    return re.findall(r"^KV_SETTING\((\w+),", text, re.M)


def test_every_setting_is_a_property_in_the_module_and_the_stub():
    stub = (REPO / "python" / "kelvane.pyi").read_text()
    names = declared_settings()
    assert len(names) > 60
    for name in names:
        assert isinstance(getattr(kelvane.cChart, name), property), name
        assert re.search(rf"^    {name}: (int|float|str|bool)$", stub, re.M), name


def test_stub_lists_every_method_of_the_module():
    stub = (REPO / "python" / "kelvane.pyi").read_text()
    methods = [n for n, v in vars(kelvane.cChart).items() if callable(v) and not n.startswith("_")]
    assert len(methods) == 23
    for name in methods:
        assert f"    def {name}(self" in stub, name


@pytest.mark.parametrize("name, default", [
    ("Width", 0), ("Height", 0), ("Quality", 0), ("BackgroundColor", 0xFFFFFF), ("BackGrid", False),
    ("BarSpaceRate", 0.0), ("LineWidth", 1), ("BorderOffset", 15), ("LegendTitle", "Legend"),
    ("LegendTitleBond", True), ("LegendVisible", True), ("LineDotType", 0), ("DrawBarMode", 0),
    ("MarginTop", 20), ("BackGridColor", 0xC8C8C8), ("PieSizeRate", 1.0), ("MValueBackOpacity", 60),
    ("FillImage", ""), ("Depth_3D", 10), ("AxisBackColor_3D", 0xFFFFCC), ("MaxPicturePixels", 16777216),
    ("BarWidth", 0.0),
])
def test_new_chart_holds_the_defaults(name, default):
    value = getattr(kelvane.cChart(), name)
    assert value == default and type(value) is type(default)


def test_angle_default_is_the_single_nearest_quarter_pi():
    assert kelvane.cChart().Angle_3D == pytest.approx(math.pi / 4, abs=1e-7)


@pytest.mark.parametrize("name, assigned, read", [
    ("Width", 300, 300),
    ("Width", 2.5, 2),            # ties to even
    ("Width", 3.5, 4),
    ("Width", "320", 320),        # text is parsed
    ("MarginTop", True, -1),      # a boolean is -1 as a number
    ("LegendVisible", False, False),
    ("LegendVisible", 1, True),   # any non-zero number is true
    ("LegendTitle", 12.5, "12.5"),
    ("LegendTitle", "Ventes € <b>", "Ventes € <b>"),
    ("BarSpaceRate", 0.1, 0.10000000149011612),  # stored as a single
    ("DrawBarMode", kelvane.kvDot, 5),
    ("LineDotType", kelvane.dtRect, 2),
    ("BackgroundColor", None, 0),  # None is the empty value
])
def test_assignment_converts_like_the_interface(name, assigned, read):
    chart = kelvane.Chart()
    setattr(chart, name, assigned)
    assert getattr(chart, name) == read


def test_bar_width_is_read_only_and_set_by_the_bar_chart():
    chart = kelvane.cChart()
    with pytest.raises(AttributeError):
        chart.BarWidth = 3
    chart.Width, chart.Height, chart.SerialBars, chart.SerialItems = 300, 200, 4, 1
    chart.InitChart()
    chart.DrawBarChart(100, 5, 0)
    assert chart.BarWidth > 0


def test_help_shows_names_defaults_and_a_description():
    doc = kelvane.cChart.DrawBarChart.__doc__
    assert ("DrawBarChart(self: kelvane.cChart, VMax: float, Vstep: int, VStartValue: float, "
            "DecimalNum: int = 0, bStr: str = '', bTxtVisible: bool = True) -> int") in doc
    assert "value axis" in doc
    assert "sTarget: str = '_blank'" in kelvane.cChart.MakeMap.__doc__


def test_keyword_arguments_and_defaults():
    chart = kelvane.Chart()
    chart.Width, chart.Height = 200, 100
    chart.InitChart()
    assert chart.DrawText(Value="a", StartPointMode=2, y=10) == 1
    assert chart.AddPieData("x", 1, 0) is None
    assert kelvane.Chart is kelvane.cChart
    assert "Kelvane" in chart.CopyRight()


@pytest.mark.parametrize("levels, colour", [
    ((255, 0, 0), 0x0000FF),          # red in the low byte
    ((60, 120, 200), 0xC8783C),
    ((255, 255, 255), 0xFFFFFF),
    ((1.5, "2", None), 0x000202),     # levels convert like a Long: 1.5 is 2, None is 0
])
def test_rgb_gives_the_interfaces_colour(levels, colour):
    assert kelvane.RGB(*levels) == colour


@pytest.mark.parametrize("levels", [(256, 0, 0), (0, -1, 0), (0, 0, 2**40)])
def test_rgb_refuses_levels_outside_a_byte(levels):
    with pytest.raises(kelvane.AutomationError) as raised:
        kelvane.RGB(*levels)
    assert raised.value.number in (5, 6)
