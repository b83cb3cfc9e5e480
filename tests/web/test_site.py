"""The demo site through Flask's test client: pictures, bad parameters, image maps, bar pages."""
import re
import struct
from urllib.parse import quote

import pytest

from demo import charts, maps
from demo.params import nice_axis


def picture_size(data):
    """(width, height) read from a BMP, GIF, PNG or baseline JPEG header."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        return struct.unpack_from(">II", data, 16)
    if data[:2] == b"BM":
        width, height = struct.unpack_from("<ii", data, 18)
        return width, abs(height)
    if data[:6] in (b"GIF87a", b"GIF89a"):
        return struct.unpack_from("<HH", data, 6)
    assert data[:2] == b"\xff\xd8", "not a BMP, GIF, PNG or JPEG"
    at = 2
    while data[at + 1] not in (0xC0, 0xC1, 0xC2):
        at += 2 + struct.unpack_from(">H", data, at + 2)[0]
    height, width = struct.unpack_from(">HH", data, at + 5)
    return width, height


@pytest.mark.parametrize("kind", charts.KINDS)
@pytest.mark.parametrize("ext", charts.FORMATS)
def test_every_chart_is_drawn_in_every_format_at_the_asked_size(client, kind, ext):
    response = client.get(f"/chart/{kind}.{ext}?width=360&height=240")
    assert response.status_code == 200, response.text
    assert response.mimetype == charts.FORMATS[ext][1]
    assert picture_size(response.data) == (360, 240)


def test_a_value_in_the_url_changes_the_picture(client):
    first = client.get("/chart/bars.bmp?values=3,5,2&names=A,B,C").data
    assert client.get("/chart/bars.bmp?values=3,5,2&names=A,B,C").data == first
    assert client.get("/chart/bars.bmp?values=3,5,9&names=A,B,C").data != first


@pytest.mark.parametrize("url", [
    "/chart/piepulled.gif?values=5",                      # fewer slices than are pulled out by default
    "/chart/bars.gif?values=0,0",                         # an axis for nothing but zeros
    "/chart/stacked.jpg?values=" + ";".join(["1e9"] * 6),  # the largest stack
    "/chart/lines.gif?values=0.000001,0.000002",
    "/chart/bars.gif?names=%E5%AD%A3%E5%BA%A6,%22%3C%26",    # names beyond ASCII and markup
    "/chart/bars.bmp?width=1600&height=1200",
])
def test_parameters_at_the_edges_still_draw(client, url):
    assert client.get(url).status_code == 200


@pytest.mark.parametrize("url, message", [
    ("/chart/bars.bmp?width=5", "width must be between 100 and 1600, not 5"),
    ("/chart/bars.bmp?height=99999999999", "height must be between 100 and 1200"),
    ("/chart/bars.bmp?width=wide", "width must be a whole number, not 'wide'"),
    ("/chart/bars.bmp?values=1,x", "values: 'x' is not a number"),
    ("/chart/bars.bmp?values=1,,2", "values: an empty value"),
    ("/chart/bars.bmp?values=1,-2", "every value must be between 0 and 1e+09"),
    ("/chart/bars.bmp?values=nan", "every value must be between 0 and 1e+09"),
    ("/chart/bars.bmp?values=1e10", "every value must be between 0 and 1e+09"),
    ("/chart/bars.bmp?values=1,2;3", "every series needs the same number of values"),
    ("/chart/bars.bmp?values=" + ",".join(["1"] * 13), "at most 12 values a series, not 13"),
    ("/chart/bars.bmp?values=" + ";".join(["1"] * 7), "at most 6 series"),
    ("/chart/bars.bmp?names=" + "n" * 41, "a name has at most 40 characters"),
    ("/chart/bars.bmp?title=" + "t" * 81, "title: at most 80 characters"),
    ("/chart/bars.bmp?colour=red", "unknown parameter 'colour'"),
    ("/chart/bars.bmp?width=300&width=400", "parameter 'width' is given more than once"),
    ("/chart/pie.bmp?out=9", "out: positions run from 1 to 4, not 9"),
    ("/chart/pie3d.bmp?values=0,0,0", "values: a pie needs at least one value above 0"),
    ("/chart/drawing.bmp?values=1e9", "the curve of the free drawing takes values from 0 to 100"),
    ("/chart/bars.tiff", "no picture format 'tiff'"),
    ("/chart/nope.bmp", "no chart 'nope'"),
    ("/page/nope", "no chart 'nope'"),
    ("/detail?Index=two&chart=bars", "Index must be two positions 'bar,series', not 'two'"),
    ("/detail?Index=9,1&chart=bars", "Index 9,1 is not a bar of this chart"),
    ("/detail?Index=1,1", "no chart ''"),
])
def test_bad_parameters_answer_400_with_a_message(client, url, message):
    response = client.get(url)
    assert response.status_code == 400
    assert message in re.sub(r"&#3[49];", lambda m: {"&#34;": '"', "&#39;": "'"}[m[0]], response.text)
    assert "Traceback" not in response.text


def test_every_bar_of_a_page_links_to_its_own_page(client):
    page = client.get("/page/bars?values=1,2;3,4&names=x+y%7Cz:w,B&series=S,T").text
    links = re.findall(r'<area href="([^"]*)"', page)
    assert len(links) == 4  # the last drawn first
    assert links[0].startswith("/detail?Index=2,2&amp;sAddParam=B&amp;chart=bars&amp;")
    assert links[3].startswith("/detail?Index=1,1&amp;sAddParam=x%20y%7Cz%3Aw&amp;chart=bars&amp;")
    detail = client.get(links[3].replace("&amp;", "&"))
    assert detail.status_code == 200
    for element, text in [("index", "1,1"), ("category", "x y|z:w"), ("series", "S"), ("value", "1"),
                          ("carried", "x y|z:w")]:
        assert f'<dd id="{element}">{text}</dd>' in detail.text


class FakeChart:
    def __init__(self, text):
        self.text = text

    def MakeMap(self, *args):
        return self.text


@pytest.mark.parametrize("text", [
    '<map name="m"><area href="javascript:alert(1)?Index=1,1&sAddParam=" target="_self" shape="rect" '
    'coords="1,2,3,4" alt="5"></map>',
    '<map name="m"><area href="/detail?Index=1,1&sAddParam=&a=b" onclick="x" target="_self" shape="rect" '
    'coords="1,2,3,4" alt="5"></map>',
    '<map name="m"></map><script>',
])
def test_a_map_text_of_another_form_never_reaches_a_page(text):
    with pytest.raises(maps.UnexpectedMap):
        maps.page_map(FakeChart(text), "m", "/detail", [])


def test_a_map_of_the_expected_form_is_written_with_its_ampersands_escaped():
    text = ('<map name="m"><area href="/detail?Index=1,1&sAddParam=a%26b&chart=bars" target="_self" '
            'shape="rect" coords="1.5,2,3,4.25" alt="1E+07"></map>')
    assert maps.page_map(FakeChart(text), "m", "/detail", []) == text.replace("&", "&amp;")


def test_extra_parameters_are_encoded_for_the_map():
    assert maps.query([("chart", "bars"), ("names", 'a"<b>&+|:,c')]) == \
        "chart=bars&names=" + quote('a"<b>&+|:', safe="") + ",c"


@pytest.mark.parametrize("top, axis", [
    (0, (5.0, 5, 0)), (90, (100.0, 5, 0)), (100, (100.0, 5, 0)), (101, (125.0, 5, 0)), (1.2, (1.25, 5, 2)),
    (7.3, (10.0, 5, 0)), (0.4, (0.5, 5, 1)), (0.03, (0.05, 5, 2)), (1e9, (1e9, 5, 0)),
])
def test_the_value_axis_reaches_the_top_value_in_five_round_steps(top, axis):
    vmax, steps, decimals = nice_axis(top)
    assert (vmax, steps, decimals) == pytest.approx(axis)
