"""The demo site as HTTP: picture validators and revalidation, error pages, the icon, and what
the gallery weighs."""
import re
from html import unescape

import pytest

GALLERY_BOUND = 300_000  # bytes: the page with everything a browser loads for it


def tag_of(client, url):
    response = client.get(url)
    assert response.status_code == 200, response.text
    return response.headers["ETag"], response.data


@pytest.mark.parametrize("first, second", [
    ("/chart/bars.png", "/chart/bars.png"),
    # Other URLs, the same picture: the tag follows the bytes, not the address.
    ("/chart/bars.png", "/chart/bars.png?values=40,50,30,90;20,40,60,70"),
    ("/chart/bars.png", "/chart/bars.png?values=40,50,30,91;20,40,60,70"),
    ("/chart/bars.png", "/chart/bars.gif"),
    ("/chart/bars.jpg?quality=80", "/chart/bars.jpg?quality=81"),
    ("/chart/pie.bmp", "/chart/pie.bmp?out=1"),
])
def test_a_picture_tag_is_strong_and_changes_exactly_with_its_bytes(client, first, second):
    (tag1, data1), (tag2, data2) = tag_of(client, first), tag_of(client, second)
    for tag in (tag1, tag2):
        assert re.fullmatch(r'"[0-9a-f]{32}"', tag), tag
    assert (tag1 == tag2) == (data1 == data2)


def test_a_gif_is_the_same_whatever_the_worker_drew_before(client):
    # A GIF of a chart with a picture turns the ordered dither on for its thread's later GIFs.
    urls = ["/chart/pie3d.gif", "/chart/bars.gif"]
    before = [tag_of(client, u) for u in urls]
    tag_of(client, "/chart/pictures.gif")
    assert [tag_of(client, u) for u in urls] == before


# If-None-Match as a function of the picture's tag, and the status it gets.
@pytest.mark.parametrize("method, url, if_none_match, status", [
    ("GET", "/chart/bars.png", lambda t: t, 304),
    ("GET", "/chart/bars.png?values=1,2", lambda t: "W/" + t, 304),      # weak comparison
    ("GET", "/chart/pie.jpg", lambda t: f'"0123", W/"abcd" ,{t}, "ffff"', 304),
    ("GET", "/chart/drawing.gif", lambda _: "*", 304),
    ("HEAD", "/chart/bars.bmp", lambda t: t, 304),
    ("GET", "/chart/bars.png", lambda t: t[:-2] + '0"', 200),
    ("GET", "/chart/bars.png", lambda t: '"0123", W/"abcd"', 200),
    ("GET", "/chart/bars.png", lambda t: "", 200),
    ("GET", "/chart/bars.png", lambda t: '"*"', 200),                     # a tag, not any
])
def test_if_none_match_answers_304_without_a_body_when_the_tag_matches(client, method, url, if_none_match,
                                                                      status):
    tag, data = tag_of(client, url)
    response = client.open(url, method=method, headers={"If-None-Match": if_none_match(tag)})
    assert response.status_code == status
    assert response.headers["ETag"] == tag
    assert response.headers["Cache-Control"].startswith("public, max-age=")
    if status == 304:
        assert response.data == b"" and "Content-Length" not in response.headers
    elif method == "GET":
        assert response.data == data


@pytest.mark.parametrize("url", ["/chart/nope.png", "/chart/bars.png?width=5", "/chart/bars.tiff"])
def test_a_request_that_draws_nothing_ignores_if_none_match(client, url):
    response = client.get(url, headers={"If-None-Match": "*"})
    assert response.status_code == 400
    assert "ETag" not in response.headers


@pytest.mark.parametrize("method, path, status, title, shown", [
    ("GET", "/nope", 404, "Not found", "There is no page at /nope."),
    ("GET", "/chart/bars.png/more", 404, "Not found", "There is no page at /chart/bars.png/more."),
    ("GET", "/static/none.css", 404, "Not found", "There is no page at /static/none.css."),
    ("GET", "/%3Cb%3Ex%26y", 404, "Not found", "There is no page at /&lt;b&gt;x&amp;y."),
    ("POST", "/chart/bars.png", 405, "Method Not Allowed", "The method is not allowed"),
])
def test_an_error_page_has_the_look_of_the_site(client, method, path, status, title, shown):
    response = client.open(path, method=method)
    assert response.status_code == status
    assert response.mimetype == "text/html"
    assert f"<title>{title} · Kelvane demo</title>" in response.text
    assert '<link rel="stylesheet" href="/static/site.css">' in response.text
    assert shown in response.text
    if status == 405:
        assert "GET" in response.headers["Allow"]


def test_the_icon_is_an_image(client):
    response = client.get("/favicon.ico")
    assert response.status_code == 200
    assert response.mimetype.startswith("image/")
    assert response.data[:4] == b"\x00\x00\x01\x00"  # an icon directory


def test_the_gallery_with_all_it_loads_stays_within_its_bound(client):
    page = client.get("/")
    assert page.status_code == 200
    # Every address the browser loads, once each: stylesheet, pictures, and the icon it asks for.
    loads = {unescape(u) for u in re.findall(r'<(?:img src|link rel="stylesheet" href)="([^"]+)"', page.text)}
    loads.add("/favicon.ico")
    sizes = {}
    for url in sorted(loads):
        response = client.get(url)
        assert response.status_code == 200, url
        sizes[url] = len(response.data)
        response.close()
    total = len(page.data) + sum(sizes.values())
    assert sum(u.startswith("/chart/") for u in loads) >= 15
    assert total <= GALLERY_BOUND, sorted(sizes.items(), key=lambda kv: -kv[1])[:5]


def test_the_gallery_shows_one_chart_in_every_format(client):
    page = client.get("/").text
    shown = set(re.findall(r'<img src="/chart/bars\.(\w+)"', page))
    linked = set(re.findall(r'<p id="format-bmp">[^<]*<a class="format" href="/chart/bars\.(\w+)"', page))
    assert (shown, linked) == ({"png", "jpg", "gif"}, {"bmp"})
