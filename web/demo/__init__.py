"""Kelvane's demo site: a gallery of charts drawn per request from their query parameters.

Each request makes its own chart and nothing is kept between requests, so any number of worker
processes can serve it (gunicorn 'demo:create_app()').
"""
import logging

import kelvane
from flask import Flask, Response, abort, render_template, request, url_for

from . import charts, maps
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
              "map_name": f"map-{kind.key}", "map": None}
    if kind.has_map:
        chart = charts.new_chart(kind, p)
        figure["map"] = maps.page_map(chart, figure["map_name"], url_for("detail"), _chart_query(kind, args))
    return figure


def create_app():
    app = Flask(__name__)

    @app.errorhandler(ParamError)
    def bad_param(error):
        return render_template("error.html", message=str(error)), 400

    @app.errorhandler(kelvane.AutomationError)
    def not_drawn(error):
        message = f"the chart could not be drawn: error {error.number}: {error.description}"
        return render_template("error.html", message=message), 400

    @app.errorhandler(500)
    def failed(_error):
        return render_template("error.html", message="the server failed to answer this request"), 500

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
        data = chart.SaveBinary(image_type)
        if not data:
            raise ParamError(f"the chart could not be drawn: {chart.ErrorInfo or 'no picture'}")
        return Response(data, mimetype=media_type, headers={"Cache-Control": "public, max-age=60"})

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
        abort(404)

    return app
