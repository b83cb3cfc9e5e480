"""Failures reach Python as kelvane.AutomationError with the component's number and text."""

import pickle

import pytest

import kelvane


def ready_chart():
    chart = kelvane.cChart()
    chart.Width, chart.Height, chart.SerialBars, chart.SerialItems = 200, 150, 2, 1
    chart.InitChart()
    return chart


@pytest.mark.parametrize("call, number", [
    (lambda c: setattr(c, "MarginTop", 40000), 6),                 # Integer setting out of range
    (lambda c: setattr(c, "Width", 2**40), 6),                     # Long setting out of range
    (lambda c: setattr(c, "Width", 10**400), 6),                   # beyond any double
    (lambda c: setattr(c, "BarSpaceRate", 1e300), 6),              # beyond a single
    (lambda c: c.DrawRect(70000, 1, 0, 0, 0, 0, 10, 10), 6),       # Integer parameter out of range
    (lambda c: c.DrawLine(1, "thick", 0, 0, 0, 10, 10), 13),       # width text is not a number
    (lambda c: setattr(c, "Width", "wide"), 13),
    (lambda c: setattr(c, "Height", [1, 2]), 13),                  # an array is no number
    (lambda c: c.DrawAreaText(object()), 13),                      # no Python object converts
    (lambda c: c.MakeMap("m"), 5),                                 # no bar drawn yet
    (lambda c: c.ExportToDC(1234), 5),                             # Python holds no device context
])
def test_failures_carry_the_error_number(call, number):
    with pytest.raises(kelvane.AutomationError) as raised:
        call(ready_chart())
    assert raised.value.number == number


def test_error_reads_like_the_components_error():
    with pytest.raises(kelvane.AutomationError) as raised:
        ready_chart().MarginTop = 40000
    e = raised.value
    assert isinstance(e, Exception)
    assert (e.number, e.description, str(e)) == (6, "Overflow", "error 6: Overflow")
    copy = pickle.loads(pickle.dumps(e))
    assert (copy.number, copy.description, str(copy)) == (6, "Overflow", "error 6: Overflow")


def test_a_failed_call_leaves_the_chart_usable():
    chart = ready_chart()
    with pytest.raises(kelvane.AutomationError):
        chart.DrawRect(70000, 1, 0, 0, 0, 0, 10, 10)
    assert chart.SaveBinary("bmp")[:2] == b"BM"


def test_errors_the_chart_keeps_for_error_info_do_not_raise():
    chart = ready_chart()
    assert chart.DrawImage("no/such/picture.bmp", 0, 0) == 0
    assert chart.ErrorInfo() != ""


def test_wrong_number_of_arguments_is_a_python_type_error():
    with pytest.raises(TypeError):
        ready_chart().DrawBarChart(100)
    with pytest.raises(TypeError):
        ready_chart().DrawBarChart(100, 5, 0, Bogus=1)
