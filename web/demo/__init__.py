"""Kelvane's demo site: a gallery of charts drawn per request from their query parameters.

Each request makes its own chart and nothing is kept between requests, so any number of worker
processes can serve it (gunicorn 'demo:create_app()').
"""
import logging

import kelvane
from flask import Flask, render_template, request, send_from_directory, url_for
from werkzeug.exceptions import HTTPException

from . import charts, maps
from .http_cache import picture_response
from .params import ParamError, parse

log = logging.getLogger(__name__)


def _query(args):
    """The query as a plain dict; a parameter given twice is an error, not a silent choice."""
    for key in args:
        if len(args.getlist(key)) > 1:
            raise ParamError(f"parameter {key!r} is given more than once")
    return args.to_dict()


def _kind(key):
    kind = charts.KINDS.get(key)
    if kind is None:
        raise ParamError(f"no chart {key!r}; the charts are {', '.join(charts.KINDS)}")
    return kind


def _params(kind, args):
    return parse(args, kind.defaults, kind.extra)


def _chart_query(kind, args):
    """The (key, value) pairs that rebuild this chart: its kind and the parameters given."""
    return [("chart", kind.key)] + sorted(args.items())


def _figure(kind, args):
    """What a page needs to show one chart: its picture URLs, and its image map for bar charts."""
    p = _params(kind, args)
    figure = {"kind": kind, "params": p, "args": args,
              "src": {ext: url_for("picture", key=kind.key, ext=ext, **args) for ext in charts.FORMATS},
              "page": url_for("chart_page", key=kind.key, **args),
              "img": url_for("picture", key=kind.key, ext=charts.DEFAULT_FORMAT, **args),
              "map_name": f"map-{kind.key}", "map": None}
    if kind.has_map:
        chart = charts.new_chart(kind, p)
        figure["map"] = maps.page_map(chart, figure["map_name"], url_for("detail"), _chart_query(kind, args))
    return figure


def create_app():
    app = Flask(__name__)

    def error_page(status, message, title="Bad request", heading="This chart cannot be drawn", headers=()):
        return render_template("error.html", message=message, title=title, heading=heading), status, headers

    @app.errorhandler(ParamError)
    def bad_param(error):
        return error_page(400, str(error))

    @app.errorhandler(kelvane.AutomationError)
    def not_drawn(error):
        return error_page(400, f"the chart could not be drawn: error {error.number}: {error.description}")

    @app.errorhandler(404)
    def not_found(_error):
        return error_page(404, f"There is no page at {request.path}.", "Not found", "No such page")

    @app.errorhandler(HTTPException)
    def http_error(error):
        # The error's own headers (Allow of a 405) stay; the page is HTML.
        headers = [(k, v) for k, v in error.get_headers() if k.lower() != "content-type"]
        return error_page(error.code, error.description, error.name, error.name, headers)

    @app.errorhandler(500)
    def failed(_error):
        return error_page(500, "the server failed to answer this request", "Server error",
                          "This page cannot be shown")

    @app.get("/")
    def gallery():
        figures = [_figure(kind, {}) for kind in charts.KINDS.values()]
        return render_template("gallery.html", figures=figures)

    @app.get("/chart/<key>.<ext>")
    def picture(key, ext):
        kind = _kind(key)
        if ext not in charts.FORMATS:
            raise ParamError(f"no picture format {ext!r}; the formats are {', '.join(charts.FORMATS)}")
        image_type, media_type = charts.FORMATS[ext]
        chart = charts.new_chart(kind, _params(kind, _query(request.args)))
        data = charts.picture_bytes(chart, image_type)
        if not data:
            raise ParamError(f"the chart could not be drawn: {chart.ErrorInfo or 'no picture'}")
        return picture_response(data, media_type)

    @app.get("/page/<key>")
    def chart_page(key):
        kind = _kind(key)
        return render_template("chart.html", fig=_figure(kind, _query(request.args)))

    @app.get("/detail")
    def detail():
        args = _query(request.args)
        index = args.pop("Index", "")
        category = args.pop("sAddParam", None)
        kind = _kind(args.pop("chart", ""))
        try:
            b, s = (int(i) for i in index.split(","))
        except ValueError:
            raise ParamError(f"Index must be two positions 'bar,series', not {index!r}") from None
        p = _params(kind, args)
        if not (1 <= b <= len(p.names) and 1 <= s <= len(p.series)):
            raise ParamError(f"Index {b},{s} is not a bar of this chart")
        bar = {"index": f"{b},{s}", "category": p.names[b - 1], "series": p.series[s - 1],
               "value": p.values[s - 1][b - 1], "carried": category}
        return render_template("detail.html", fig=_figure(kind, args), bar=bar)

    @app.get("/healthz")
    def healthz():
        return "ok\n"

    @app.get("/favicon.ico")
    def favicon():
        return send_from_directory(app.static_folder, "favicon.ico", mimetype="image/vnd.microsoft.icon",
                                   max_age=86400)

    return app
