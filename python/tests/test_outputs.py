"""SaveBinary gives bytes of every format, the same bytes as the kelvane command gives for the
same chart written as a chart script."""

import pytest

import kelvane
from conftest import bar_chart, draw, free_drawing, in_new_thread, pie_chart

CHARTS = {
    "bars_3d": bar_chart(kelvane.kvSingleColor, "Visitors"),
    "bars_line": bar_chart(kelvane.kvline, 'Visits "per" day <&>'),
    "bars_stacked": bar_chart(kelvane.kvOnePole, "Stacked"),
    "pie": pie_chart(),
    "free_drawing": free_drawing(),
}
SIGNATURES = {"bmp": b"BM", "jpg": b"\xff\xd8\xff", "gif": b"GIF8", "png": b"\x89PNG\r\n\x1a\n"}


@pytest.mark.parametrize("img_type", sorted(SIGNATURES))
@pytest.mark.parametrize("chart", sorted(CHARTS))
def test_bytes_equal_the_commands(chart, img_type, cli_bytes):
    ours = in_new_thread(lambda: draw(CHARTS[chart], img_type))
    assert type(ours) is bytes and ours.startswith(SIGNATURES[img_type])
    assert ours == cli_bytes(CHARTS[chart], img_type)


def test_no_canvas_gives_none():
    with pytest.warns(kelvane.OutputWarning):
        assert kelvane.cChart().SaveBinary("bmp") is None


@pytest.mark.parametrize("img_type", sorted(SIGNATURES))
def test_make_chart_writes_the_commands_file(img_type, tmp_path, cli_bytes):
    path = tmp_path / f"pie.{img_type}"
    in_new_thread(lambda: draw(CHARTS["pie"] + [("makeChart", (str(path),))]))
    assert path.read_bytes() == cli_bytes(CHARTS["pie"], img_type, make_chart=True)
