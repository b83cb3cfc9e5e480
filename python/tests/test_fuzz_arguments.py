"""Random values at every method and property of cChart and at kelvane.RGB, from one thread and
from four at once: only the module's own errors come back (AutomationError, OutputWarning as a
warning, TypeError for a wrong number of arguments), never a crash or another exception.

The examples are derived from a fixed seed (derandomize), so every run tries the same ones;
KELVANE_FUZZ_EXAMPLES=3000 tries more."""

import decimal
import fractions
import math
import os
import pathlib
import threading
import traceback
import warnings

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st
from hypothesis.configuration import set_hypothesis_home_dir

import kelvane
from conftest import REPO
from stubs import chart_interface, module_function

# Hypothesis keeps its caches beside the built module, not in the source tree.
set_hypothesis_home_dir(str(pathlib.Path(kelvane.__file__).resolve().parent / ".hypothesis"))

METHODS, SETTINGS, READ_ONLY = chart_interface()
RGB_PARAMS = module_function("RGB")

# Canvases stay small so that every example is quick.
MAX_CANVAS = 400

# Counts that multiply the work of one call. They are kept small until the component bounds
# them itself; then a cap can go, and the value is drawn like any other number.
SMALL_WORK_CAPS = {
    ("cChart", "pie slices"): 12,     # AddPieData calls on one chart
}
SIZE_CAPS = {("cChart", "Width"): MAX_CANVAS, ("cChart", "Height"): MAX_CANVAS}

EXAMPLES = int(os.environ.get("KELVANE_FUZZ_EXAMPLES", "300"))
FUZZ = settings(max_examples=EXAMPLES, deadline=None, derandomize=True, database=None,
                suppress_health_check=[HealthCheck.too_slow, HealthCheck.data_too_large])
THREADS = 4

PICTURES = sorted(str(p) for p in (REPO / "examples" / "pictures").glob("*.bmp"))
NO_FILE = str(REPO / "examples" / "pictures" / "none.bmp")


class OutFile:
    """A file name in the test's output folder, made when the call runs."""

    def __init__(self, name):
        self.name = name

    def __repr__(self):
        return f"OutFile({self.name!r})"


def _raising(*_):
    raise RuntimeError("a conversion of this object must not run")


class Hostile:
    """An object whose conversions all fail."""
    __index__ = __int__ = __float__ = __str__ = __len__ = __iter__ = __bool__ = _raising


class ListWithOwnItems(list):
    __iter__ = __len__ = __getitem__ = _raising


class IntWithOwnIndex(int):
    __index__ = __int__ = __float__ = _raising


class TextWithOwnStr(str):
    __str__ = _raising


# Objects with no automation type, or subclasses that convert by their stored value.
OBJECTS = [
    object, dict, set, lambda: 1j, lambda: decimal.Decimal("2.5"), lambda: fractions.Fraction(1, 3),
    lambda: bytearray(b"ab"), lambda: memoryview(b"ab"), lambda: range(3), lambda: (i for i in "ab"),
    lambda: Hostile(), lambda: ListWithOwnItems(["1,2", "3,4"]), lambda: IntWithOwnIndex(7),
    lambda: TextWithOwnStr("12"), lambda: type("F", (float,), {})(math.nan), lambda: kelvane,
    lambda: kelvane.cChart, lambda: kelvane.cChart.__new__(kelvane.cChart), lambda: Ellipsis,
]


class Described(list):
    """A list that is too deep or too large to print in full; it prints as its description."""

    def __init__(self, items, description):
        super().__init__(items)
        self.description = description

    def __repr__(self):
        return f"<{self.description}>"


def _nested(depth):
    value = "x"
    for _ in range(depth):
        value = [value]
    return Described(value, f"a list nested {depth} deep")


def _containing_itself(items):
    items = list(items)
    items.append(items)
    return items


def _shared(depth):
    value = [1.5]
    for _ in range(depth):
        value = [value, value]
    return Described(value, f"a list of two shared lists, {depth} levels deep")


surrogates = st.text(st.characters(min_codepoint=0xD800, max_codepoint=0xDFFF), min_size=1, max_size=3)
numeric_texts = st.one_of(st.integers(-5, 40).map(str), st.floats(-1e3, 1e3).map(str),
                          st.text("0123456789 .+-eE", max_size=8))
texts = st.one_of(st.text(max_size=10), st.text("0123456789 .,+-eE", max_size=8),
                  st.sampled_from(["", " ", "320", " 2.5 ", "1e308", "-1e-400", "nan", "inf", "1,2", "-3,4.5",
                                   "Arial", "Liberation Sans", "日本語", "x < y & \"z\""]))
with_surrogates = st.tuples(st.text(max_size=3), surrogates, st.text(max_size=3)).map("".join)
odd_floats = st.sampled_from([math.nan, -math.nan, math.inf, -math.inf, 5e-324, -5e-324, 2.2e-308, -0.0, 0.0,
                              1e308, -1e308, 3.4028235e38, 3.4028236e38, 2.5, -2.5, 32767.5, 32768.0,
                              2147483647.5, 2147483648.0, 1e-45])
odd_ints = st.sampled_from([0, 1, -1, 2, 32767, 32768, -32768, -32769, 2**31 - 1, 2**31, -2**31, -2**31 - 1,
                            2**53 + 1, 2**63, -2**64, 10**308, 10**309, -10**400])
scalars = st.one_of(st.none(), st.booleans(), st.integers(), odd_ints, st.floats(), odd_floats, texts,
                    with_surrogates, st.binary(max_size=8), st.sampled_from(OBJECTS).map(lambda make: make()))
junk = st.one_of(
    scalars,
    st.recursive(scalars, lambda inner: st.lists(inner, max_size=4) | st.lists(inner, max_size=3).map(tuple),
                 max_leaves=8),
    st.lists(scalars, max_size=3).map(_containing_itself),
    st.sampled_from([64, 65, 1000, 40000]).map(_nested),
    st.sampled_from([3, 12, 64]).map(_shared),
)
# Values of the interface's own kinds, to get past the conversions into the drawing.
plausible = {
    "int": st.one_of(st.integers(-50, MAX_CANVAS), st.sampled_from([2.5, -0.5, "12", " 7 ", True]), odd_ints),
    "float": st.one_of(st.floats(-1000, 1000), st.integers(-50, 500), st.sampled_from([0.5, "0.7", 1e-3]),
                       odd_floats),
    "bool": st.sampled_from([True, False, -1, 0, 1, 2, "True", None]),
    "str": texts,
    "array": st.one_of(
        st.lists(st.tuples(st.integers(-20, 420), st.integers(-20, 420)).map(lambda p: f"{p[0]},{p[1]}"),
                 max_size=8),
        st.lists(st.one_of(st.floats(-1e6, 1e6), st.integers(-1000, 1000)), max_size=8),
        st.lists(st.text(max_size=6), max_size=8),
    ),
}
image_paths = st.one_of(st.sampled_from(PICTURES + [NO_FILE, str(REPO), ""]), junk)
out_names = st.tuples(st.text("abcxyz_-0123456789", min_size=1, max_size=8),
                      st.sampled_from([".bmp", ".jpg", ".jpeg", ".gif", ".png", ".BMP", ".tiff", ""]))
out_files = st.one_of(out_names.map(lambda n: OutFile("".join(n))),
                      out_names.map(lambda n: OutFile("missing/" + "".join(n))), junk)


def capped(cap):
    """A count kept at most `cap`, or a value that fails before any work (beyond every range,
    or no number at all)."""
    return st.one_of(st.integers(-cap, cap), st.floats(-cap, cap),
                     st.sampled_from([2**40, -2**40, math.nan, math.inf, 1e300]),
                     st.one_of(st.none(), st.binary(max_size=4), st.text("abc", min_size=1, max_size=3),
                               surrogates, st.lists(st.integers(), max_size=2),
                               st.sampled_from(OBJECTS).map(lambda make: make())))


def value_for(owner, name, kind, junk_too=True):
    cap = SMALL_WORK_CAPS.get((owner, name)) or SIZE_CAPS.get((owner, name))
    if cap is not None:
        return capped(cap)
    if name in ("StrPath", "FillImage"):
        return image_paths
    if name == "FileName":
        return out_files
    if name in ("LineWidth", "CurveWidth"):
        return st.one_of(numeric_texts, plausible[kind], junk) if junk_too else numeric_texts
    return st.one_of(plausible[kind], plausible[kind], junk) if junk_too else plausible[kind]


@st.composite
def method_call(draw, name):
    """A call with values of the parameters' kinds, or with one or every value random, by
    position or keyword; now and then with a wrong number of arguments."""
    params = METHODS[name]
    mix = draw(st.sampled_from(["kinds", "kinds", "one random", "random"]))
    odd_one = draw(st.integers(0, len(params) - 1)) if params else -1
    args = [draw(value_for(name, p.name, p.kind, junk_too=mix == "random" or i == odd_one and mix != "kinds"))
            for i, p in enumerate(params)]
    required = sum(p.required for p in params)
    count = draw(st.integers(required, len(params)))
    form = draw(st.sampled_from(["positional"] * 4 + ["keywords"] * 3 + ["too few", "too many", "unknown"]))
    if form == "too few" and required == 0:
        form = "positional"
    if form == "keywords":
        return ("call", name, (), {p.name: a for p, a in zip(params[:count], args)}, True)
    if form == "too few":
        return ("call", name, tuple(args[:required - 1]), {}, False)
    if form == "too many":
        return ("call", name, tuple(args) + (0,), {}, False)
    if form == "unknown":
        return ("call", name, tuple(args[:count]), {"Bogus": 1}, False)
    return ("call", name, tuple(args[:count]), {}, True)


@st.composite
def steps(draw):
    """A method call (most often), an assignment, a reading, or RGB."""
    kind = draw(st.sampled_from(["call", "call", "call", "set", "get", "rgb"]))
    if kind == "call":
        return draw(method_call(draw(st.sampled_from(sorted(METHODS)))))
    if kind == "set":
        name = draw(st.sampled_from(sorted(SETTINGS)))
        return ("set", name, draw(value_for("cChart", name, SETTINGS[name])))
    if kind == "get":
        return ("get", draw(st.sampled_from(sorted(SETTINGS) + sorted(READ_ONLY))))
    return ("rgb", tuple(draw(value_for("RGB", p.name, p.kind)) for p in RGB_PARAMS))


# A chart begins as a program would begin it, on a small canvas, most often with a bar chart.
setup = st.tuples(st.integers(1, MAX_CANVAS), st.integers(1, MAX_CANVAS), st.integers(0, 12), st.integers(0, 4),
                  st.sampled_from([0, 1, 2, 3, 4, 5]), st.booleans(), st.booleans())


def pie_slices(program):
    return sum(1 for step in program if step[:2] == ("call", "AddPieData"))


def programs(max_slices):
    def few_slices(program):
        return pie_slices(program) <= max_slices

    return st.lists(steps(), max_size=12).filter(few_slices)


def new_chart(start):
    width, height, bars, items, mode, three_d, bar_frame = start
    chart = kelvane.cChart()
    chart.Width, chart.Height, chart.SerialBars, chart.SerialItems = width, height, bars, items
    chart.DrawBarMode, chart.Chart_3D = mode, three_d
    chart.InitChart()
    if bar_frame:
        chart.DrawBarChart(100, 5, 0)
    return chart


def resolve(value, out_dir):
    return str(out_dir / value.name) if isinstance(value, OutFile) else value


RESULT_TYPES = (int, float, str, bytes, list, type(None))
# After each program: every text the chart gives back, which may quote what the program gave it.
LAST_READS = ([("call", name, (), {}, True) for name in ("Warnings", "ErrorInfo", "CopyRight")]
              + [("call", "MakeMap", ("m",), {}, True)]
              + [("get", name) for name in sorted(SETTINGS) + sorted(READ_ONLY)])


def run_step(chart, step, out_dir):
    """Runs one step; returns a description of anything but the module's errors, or None."""
    try:
        if step[0] == "set":
            setattr(chart, step[1], resolve(step[2], out_dir))
            return None
        if step[0] == "get":
            result = getattr(chart, step[1])
        elif step[0] == "rgb":
            result = kelvane.RGB(*step[1])
        else:
            _, name, args, kwargs, arity_ok = step
            result = getattr(chart, name)(*[resolve(a, out_dir) for a in args],
                                          **{k: resolve(a, out_dir) for k, a in kwargs.items()})
            if not arity_ok:
                return f"{step!r}: no TypeError for a wrong number of arguments"
        if not isinstance(result, RESULT_TYPES):
            return f"{step!r}: returned {type(result).__name__}"
    except kelvane.AutomationError as e:
        if not (isinstance(e.number, int) and e.description and str(e).startswith(f"error {e.number}: ")):
            return f"{step!r}: malformed AutomationError {e!r}"
    except TypeError:
        if step[0] != "call" or step[4]:
            return f"{step!r}: {traceback.format_exc()}"
    except Exception:  # noqa: BLE001 - anything else is what the test looks for
        return f"{step!r}: {traceback.format_exc()}"
    return None


@pytest.fixture(scope="module")
def out_dir(tmp_path_factory):
    return tmp_path_factory.mktemp("fuzz")


def only_output_warnings(caught):
    return [f"{w.category.__name__}: {w.message}" for w in caught
            if not issubclass(w.category, kelvane.OutputWarning)]


@FUZZ
@given(start=setup, program=programs(SMALL_WORK_CAPS[("cChart", "pie slices")]))
def test_random_calls_raise_only_module_errors(out_dir, start, program):
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        chart = new_chart(start)
        failures = [f for f in (run_step(chart, step, out_dir) for step in program + LAST_READS) if f]
    assert failures == []
    assert only_output_warnings(caught) == []


@FUZZ
@given(starts=st.lists(setup, min_size=THREADS, max_size=THREADS), shared=st.booleans(),
       programs=st.lists(programs(SMALL_WORK_CAPS[("cChart", "pie slices")] // THREADS),
                         min_size=THREADS, max_size=THREADS))
def test_random_calls_from_threads_raise_only_module_errors(out_dir, starts, shared, programs):
    """Four threads, sharing one chart or each with its own."""
    charts = [new_chart(starts[0])] * THREADS if shared else [new_chart(s) for s in starts]
    failures = []
    ready = threading.Barrier(THREADS)

    def work(chart, program):
        ready.wait()
        failures.extend(f for f in (run_step(chart, step, out_dir) for step in program) if f)

    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        threads = [threading.Thread(target=work, args=job) for job in zip(charts, programs)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        for chart in charts:
            failures.extend(f for f in (run_step(chart, step, out_dir) for step in LAST_READS) if f)
    assert failures == []
    assert only_output_warnings(caught) == []


def test_the_stubs_name_every_method_and_property():
    # The random calls reach exactly what the stubs declare, so the two must agree.
    public = {n for n in dir(kelvane.cChart) if not n.startswith("_")}
    assert public == set(METHODS) | set(SETTINGS) | READ_ONLY
    assert [p.name for p in RGB_PARAMS] == ["red", "green", "blue"]
