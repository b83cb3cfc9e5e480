"""Shared helpers: charts described once as a list of steps, drawn through the module or written
as a chart script for the kelvane command."""

import os
import pathlib
import subprocess
import threading

import pytest

import kelvane

REPO = pathlib.Path(__file__).resolve().parents[2]


def rgb(r, g, b):
    return r | (g << 8) | (b << 16)


def bar_chart(mode, title):
    """The steps of a two-series bar chart in DrawBarMode `mode`."""
    return [
        ("Width", 400), ("Height", 300), ("SerialBars", 3), ("SerialItems", 2), ("BarSpaceRate", 0.7),
        ("DrawBarMode", mode), ("LegendWidth", 80), ("MValueVisible", True), ("Chart_3D", mode == 1),
        ("InitChart", ()),
        ("DrawBarChart", (100, 5, 0)),
        ("FillColor", rgb(60, 120, 200)),
        ("AddBarData", ("Morning", 35, 1, 1)), ("AddBarData", ("Morning", 55.5, 2, 1)),
        ("AddBarData", ("Morning", 20, 3, 1, "k=1&x=<a>")),
        ("FillColor", rgb(240, 150, 40)),
        ("AddBarData", ("Evening", 60, 1, 2)), ("AddBarData", ("Evening", 45, 2, 2)),
        ("AddBarData", ("Evening", 75, 3, 2)),
        ("DrawAreaText", (["Mon", "Tue", "Wed"],)),
        ("DrawChartTiTle", (title,)),
    ]


def pie_chart():
    return [
        ("Width", 400), ("Height", 300), ("LegendWidth", 100), ("MValueVisible", True), ("Chart_3D", True),
        ("InitChart", ()),
        ("AddPieData", ("North", 30, 0, False, True, rgb(240, 140, 60))),
        ("AddPieData", ("South", 20, 0, False, False, rgb(120, 200, 80))),
        ("AddPieData", ("East", 25, 0, False, False, rgb(60, 160, 240))),
        ("DrawPieChart", ()),
    ]


def free_drawing():
    return [
        ("Width", 320), ("Height", 240), ("BackgroundColor", rgb(250, 250, 240)),
        ("InitChart", ()),
        ("DrawLine", (2, "3", rgb(200, 0, 0), 10, 10, 300, 200)),
        ("DrawRect", (1, 2, rgb(0, 0, 160), rgb(160, 200, 255), 40, 40, 140, 120)),
        ("DrawCircle", (30, 1, 2, rgb(0, 120, 0), 220, 80, 1, rgb(200, 255, 200))),
        ("DrawCurve", (["20,200", "100,150", "180,210", "300,160"], "2", rgb(120, 0, 120), 0.5, 10, 1)),
        ("DrawText", ("x < y & \"z\"", "Arial", 12, True, 0, 0, 20, 20)),
        ("DrawImage", ("examples/pictures/sky.bmp", 150, 130, rgb(255, 255, 255), 60)),
    ]


def apply_steps(chart, steps):
    """Calls the methods and assigns the settings of the steps, in order."""
    for name, value in steps:
        if isinstance(value, tuple):
            getattr(chart, name)(*value)
        else:
            setattr(chart, name, value)
    return chart


def draw(steps, img_type=None):
    """Draws the steps on a new chart and returns SaveBinary(img_type), or the chart."""
    chart = apply_steps(kelvane.cChart(), steps)
    return chart.SaveBinary(img_type) if img_type else chart


def in_new_thread(work):
    """GIF colour reduction keeps modes per thread (a picture turns the dither on for the
    thread's later GIFs); a new thread starts as a new command does."""
    result = []
    worker = threading.Thread(target=lambda: result.append(work()))
    worker.start()
    worker.join()
    return result[0]


def script_value(value):
    if isinstance(value, bool):
        return "True" if value else "False"
    if isinstance(value, str):
        return '"' + value.replace('"', '""') + '"'
    if isinstance(value, list):
        return "Array(" + ", ".join(script_value(v) for v in value) + ")"
    return repr(value)


def chart_script(steps, last_line):
    lines = []
    for name, value in steps:
        if isinstance(value, tuple):
            lines.append(" ".join([name, ", ".join(script_value(v) for v in value)]).rstrip())
        else:
            lines.append(f"{name} = {script_value(value)}")
    lines.append(last_line)
    return "\n".join(lines) + "\n"


@pytest.fixture
def cli_bytes(tmp_path):
    """Runs the steps as a chart script through the kelvane command; returns the saved bytes."""
    cli = os.environ.get("KELVANE_CLI") or str(REPO / "build" / "kelvane")

    def run(steps, img_type, make_chart=False):
        out = tmp_path / "cli" / f"out.{img_type}"
        script = tmp_path / f"chart_{img_type}.kvs"
        last_line = f'makeChart "{out.name}"' if make_chart else f'save SaveBinary("{img_type}"), "{out.name}"'
        script.write_text(chart_script(steps, last_line))
        subprocess.run([cli, "-o", str(out.parent), str(script)], check=True, cwd=REPO)
        return out.read_bytes()

    return run


@pytest.fixture(autouse=True)
def in_repository(monkeypatch):
    """Picture paths in the steps are relative to the repository, as in the examples."""
    monkeypatch.chdir(REPO)
