"""Values no host could pass (a list that contains itself, lists nested without end, text with a
lone surrogate) and charts whose __init__ never ran end in the module's errors, never in a crash."""

import threading

import pytest

import kelvane
from stubs import chart_interface


def nested(depth, leaf="x"):
    value = leaf
    for _ in range(depth):
        value = [value]
    return value


def list_containing_itself():
    a = ["x"]
    a.append(a)
    return a


def tuple_containing_itself():
    t = ("x", [])
    t[1].append(t)
    return t


# Where a value goes: an array parameter, a number, a name, a setting of each kind, RGB.
TARGETS = {
    "DrawAreaText arrValue": lambda c, v: c.DrawAreaText(v),
    "DrawCurve arrPoint": lambda c, v: c.DrawCurve(v, "1", 0, 0.5, 3),
    "AddBarData Name": lambda c, v: c.AddBarData(v, 1, 1, 1),
    "DrawRect x1": lambda c, v: c.DrawRect(1, 1, 0, 0, v, 0, 10, 10),
    "Width =": lambda c, v: setattr(c, "Width", v),
    "LegendTitle =": lambda c, v: setattr(c, "LegendTitle", v),
    "RGB red": lambda c, v: kelvane.RGB(v, 0, 0),
}

# Each makes a value and names what the error message says about it.
HOSTILE = {
    "list containing itself": (list_containing_itself, "(a list or tuple that contains itself)"),
    "tuple containing itself": (tuple_containing_itself, "(a list or tuple that contains itself)"),
    "40000 levels": (lambda: nested(40000), "(lists or tuples nested deeper than 64 levels)"),
    "65 levels": (lambda: nested(65), "(lists or tuples nested deeper than 64 levels)"),
    "tuples 40000 deep": (lambda: tuple(nested(40000)), "(lists or tuples nested deeper than 64 levels)"),
    "lone surrogate": (lambda: "ab\ud800", "(a str with a lone surrogate at index 2, which has no UTF-8 form)"),
    "surrogate in a list": (lambda: ["ok", "\udfff"], "(a str with a lone surrogate at index 0,"),
    "surrogate in a tuple": (lambda: ("ok", ("x", "\udc80z")), "(a str with a lone surrogate at index 0,"),
}


def ready_chart():
    chart = kelvane.cChart()
    chart.Width, chart.Height, chart.SerialBars, chart.SerialItems = 200, 150, 3, 1
    chart.InitChart()
    chart.DrawBarChart(100, 5, 0)
    return chart


@pytest.mark.parametrize("target", TARGETS)
@pytest.mark.parametrize("hostile", HOSTILE)
def test_values_without_an_automation_form_raise_type_mismatch(target, hostile):
    make, detail = HOSTILE[hostile]
    chart = ready_chart()
    with pytest.raises(kelvane.AutomationError) as raised:
        TARGETS[target](chart, make())
    e = raised.value
    assert (e.number, e.description) == (13, "Type mismatch")
    assert str(e).startswith("error 13: Type mismatch " + detail)
    assert chart.SaveBinary("bmp")[:2] == b"BM"      # the chart goes on


def test_nesting_up_to_64_levels_reaches_the_method():
    # The method itself refuses arrays of arrays, with its plain Type mismatch.
    with pytest.raises(kelvane.AutomationError, match=r"^error 13: Type mismatch$"):
        ready_chart().DrawAreaText(nested(64))


def test_shared_lists_convert_like_copies():
    # Copied, a thousand times over; the method then refuses the nesting.
    with pytest.raises(kelvane.AutomationError, match=r"^error 13: Type mismatch$"):
        ready_chart().DrawAreaText([[["x"]] * 2] * 1000)


def test_lists_shared_into_billions_of_values_raise_out_of_memory():
    value = ["x"]
    for _ in range(60):                 # 2**60 values once every shared list is copied
        value = [value, value]
    with pytest.raises(kelvane.AutomationError) as raised:
        ready_chart().DrawAreaText(value)
    assert (raised.value.number, raised.value.description) == (7, "Out of memory")
    assert "more than 1048576 values" in str(raised.value)


def test_subclasses_convert_by_their_stored_value():
    class Names(list):
        def __iter__(self):
            raise AssertionError("not read through __iter__")

    class Text(str):
        def __str__(self):
            raise AssertionError("not read through __str__")

    chart = ready_chart()
    assert chart.DrawAreaText(Names(["Mon", Text("Tue"), "Wed"])) == 1
    chart.LegendTitle = Text("Days")
    assert chart.LegendTitle == "Days"


def uninitialised_chart():
    return kelvane.cChart.__new__(kelvane.cChart)


def required_arguments(params):
    return [0 if p.kind != "array" else [] for p in params if p.required]


METHODS, SETTINGS, READ_ONLY = chart_interface()


@pytest.mark.parametrize("name", sorted(METHODS))
def test_methods_of_an_uninitialised_chart_raise_type_error(name):
    with pytest.raises(TypeError, match="never initialised"):
        getattr(uninitialised_chart(), name)(*required_arguments(METHODS[name]))


@pytest.mark.parametrize("name", sorted(SETTINGS) + sorted(READ_ONLY))
def test_properties_of_an_uninitialised_chart_raise_type_error(name):
    chart = uninitialised_chart()
    with pytest.raises(TypeError, match="never initialised"):
        getattr(chart, name)
    if name in SETTINGS:
        with pytest.raises(TypeError, match="never initialised"):
            setattr(chart, name, 1)


def test_an_uninitialised_chart_shared_by_threads_until_init():
    chart = uninitialised_chart()
    unexpected = []

    def use():
        for _ in range(200):
            try:
                chart.InitChart()
                chart.Width = 50
            except TypeError as e:
                if "never initialised" not in str(e):
                    unexpected.append(e)

    threads = [threading.Thread(target=use) for _ in range(4)]
    for t in threads:
        t.start()
    chart.__init__()                    # made while the threads run: they see it made or not at all
    for t in threads:
        t.join()
    assert unexpected == []
    chart.Width, chart.Height = 40, 30
    chart.InitChart()
    assert chart.SaveBinary("bmp")[:2] == b"BM"


def test_a_second_init_keeps_the_chart():
    chart = kelvane.cChart()
    chart.Width = 123
    chart.__init__()
    assert chart.Width == 123
