"""Charts drawn by many Python threads at once give the bytes they give one after another."""

from concurrent.futures import ThreadPoolExecutor

import kelvane
from conftest import bar_chart, draw, pie_chart

JOBS = [(bar_chart(mode, f"Chart {mode}"), img_type)
        for mode in (kelvane.kvSingleColor, kelvane.kvline, kelvane.kvOnePole, kelvane.kvDot)
        for img_type in ("bmp", "jpg", "gif", "png")] + [(pie_chart(), "bmp"), (pie_chart(), "gif")]


def test_parallel_threads_give_the_serial_bytes():
    serial = [draw(steps, img_type) for steps, img_type in JOBS]
    with ThreadPoolExecutor(max_workers=8) as pool:
        for _ in range(3):
            parallel = list(pool.map(lambda job: draw(*job), JOBS * 2))
            assert parallel == serial * 2


def test_one_chart_shared_by_threads_keeps_every_call():
    chart = kelvane.cChart()
    chart.Width, chart.Height, chart.SerialBars, chart.SerialItems = 400, 300, 64, 1
    chart.DrawBarMode = kelvane.kvSingleColor
    chart.InitChart()
    chart.DrawBarChart(100, 5, 0)

    with ThreadPoolExecutor(max_workers=8) as pool:
        list(pool.map(lambda i: chart.AddBarData(f"b{i}", i, i, 1), range(1, 65)))
    assert chart.MakeMap("m").count("<area") == 64
    assert chart.SaveBinary("bmp")[:2] == b"BM"
