"""cChart.Warnings(): the warnings the kelvane command prints, as text; asking for them changes
no byte of a picture."""

import os
import subprocess

import pytest

import kelvane
from conftest import REPO, apply_steps, bar_chart, chart_script, draw, in_new_thread, rgb

TEMPLATE = [("InitChart", ())]
GREY_GIF = [("Width", 100), ("Height", 80), ("BackgroundColor", rgb(128, 128, 128)), ("InitChart", ())]
NO_LEGEND_WIDTH = [
    ("Width", 300), ("Height", 200), ("SerialBars", 3), ("SerialItems", 1), ("BarSpaceRate", 0.6),
    ("DrawBarMode", kelvane.kvSingleColor), ("InitChart", ()), ("DrawBarChart", (100, 5, 0)),
    ("AddBarData", ("North", 10, 1, 1)),
]


def commands_warnings(steps, last_line, tmp_path):
    """The warning texts the kelvane command prints for the steps, without SCRIPT:LINE:."""
    cli = os.environ.get("KELVANE_CLI") or str(REPO / "build" / "kelvane")
    script = tmp_path / "chart.kvs"
    script.write_text(chart_script(steps, last_line))
    done = subprocess.run([cli, "-o", str(tmp_path / "out"), str(script)], cwd=REPO, capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return "".join(line.split(": warning: ", 1)[1] + "\n" for line in done.stderr.splitlines())


@pytest.mark.parametrize("steps, img_type", [(TEMPLATE, "bmp"), (NO_LEGEND_WIDTH, "png"), (GREY_GIF, "gif")])
def test_warnings_are_the_commands(steps, img_type, tmp_path):
    def drawn():
        chart = kelvane.cChart()
        assert chart.Warnings() == ""  # asked first, as the command does: the GIF is checked too
        apply_steps(chart, steps).SaveBinary(img_type)
        return chart.Warnings()

    ours = in_new_thread(drawn)
    assert type(ours) is str and ours.endswith("\n") and ours.count("\n") == 1
    assert ours == commands_warnings(steps, f'save SaveBinary("{img_type}"), "out.{img_type}"', tmp_path)


def test_an_ordinary_chart_has_none():
    chart = draw(bar_chart(kelvane.kvSingleColor, "Visitors"))
    chart.SaveBinary("png")
    assert chart.Warnings() == ""


def test_asking_changes_no_byte_and_arms_the_gif_check():
    def gif(ask_first):
        chart = kelvane.cChart()
        if ask_first:
            chart.Warnings()
        return apply_steps(chart, GREY_GIF).SaveBinary("gif"), chart.Warnings()

    plain, not_armed = in_new_thread(lambda: gif(False))
    checked, armed = in_new_thread(lambda: gif(True))
    assert plain == checked
    assert "GIF output" not in not_armed
    assert "GIF output: " in armed and "RGB(128, 128, 128)" in armed

