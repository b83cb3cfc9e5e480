"""Image maps for the demo's pages.

The component's MakeMap escapes quotation marks and angle brackets in what it copies into
attributes, but not "&" (its links are built with it), and it fails on an extra parameter holding
"+" or "|". So everything the site hands it is percent-encoded first: then the map text can only
hold the characters of the grammar below, which is checked before the text goes into a page, and
its "&"s are written as "&amp;" there.
"""
import re
from urllib.parse import quote

from markupsafe import Markup

_SAFE = "-A-Za-z0-9%._~,;="
_NUMBER = r"-?[0-9.]+(?:E[-+][0-9]+)?"
_AREA = (r'<area href="[A-Za-z0-9/_-]+\?Index=[0-9]+,[0-9]+&sAddParam=[' + _SAFE + r']*(?:&[' + _SAFE + r'&]*)?"'
         r' target="_self" shape="rect" coords="' + _NUMBER + "(?:," + _NUMBER + r'){3}" alt="' + _NUMBER + '">')
_MAP = re.compile(r'<map name="[A-Za-z0-9_-]+">(?:' + _AREA + r')*</map>')


class UnexpectedMap(RuntimeError):
    """The component's map text is not of the form this site writes into pages."""


def encode(text):
    """Percent-encoding that leaves only letters, digits and -._~ of the text."""
    return quote(text, safe="")


def query(params):
    """A query string of (key, value) pairs that MakeMap can carry as its extra parameters."""
    return "&".join(f"{encode(k)}={quote(str(v), safe=',;')}" for k, v in params)


def page_map(chart, map_name, link, params):
    """The chart's image map as page markup: each bar links to link?Index=b,s&sAddParam=<its
    category>&<params>."""
    text = chart.MakeMap(map_name, link, query(params), "_self")
    if not _MAP.fullmatch(text):
        raise UnexpectedMap(f"MakeMap gave text of an unexpected form: {text[:200]!r}")
    return Markup(text.replace("&", "&amp;"))
