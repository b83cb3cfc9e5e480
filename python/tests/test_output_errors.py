"""Outputs that make nothing say why: a file that cannot be written names the file and the
system's reason, an output without a canvas names the call that ended it, and an unknown picture
type names the types there are. The automation results and ErrorInfo stay as they were."""

import os
import pickle
import warnings

import pytest

import kelvane

RAISES_75 = {"jpg", "gif"}  # the others record their failure in ErrorInfo and return 0
ERROR_INFO = {
    "bmp": lambda reason: "Unexpected error Saving BMP file\r\n",
    "png": lambda reason: f"Unexpected error Saving PNG file: {reason}\r\n",
    "jpg": lambda reason: "",
    "gif": lambda reason: "",
}


def canvas():
    chart = kelvane.cChart()
    chart.Width, chart.Height = 8, 6
    chart.InitChart()
    return chart


def unwritable(kind, tmp_path, extension):
    """A file name no one (root included) can write, and the system's reason."""
    if kind == "missing folder":
        return str(tmp_path / "no" / "such" / f"chart.{extension}"), "No such file or directory"
    (tmp_path / "plain").write_text("a file, not a folder")
    return str(tmp_path / "plain" / f"chart.{extension}"), "Not a directory"


def make_chart_outcome(path):
    """makeChart(path) of a new canvas: the error's message, or the warnings' messages."""
    chart = canvas()
    try:
        with warnings.catch_warnings(record=True) as warned:
            warnings.simplefilter("always")
            chart.makeChart(path)
    except kelvane.AutomationError as e:
        return (e.number, e.description, str(e)), chart.ErrorInfo()
    return [str(w.message) for w in warned], chart.ErrorInfo()


def expected_outcome(extension, path, reason):
    if extension in RAISES_75:
        outcome = (75, "Path/File access error", f"error 75: Path/File access error ('{path}': {reason})")
    else:
        outcome = [f"makeChart could not write '{path}': {reason}"]
    return outcome, ERROR_INFO[extension](reason)


@pytest.mark.parametrize("kind", ["missing folder", "under a regular file"])
@pytest.mark.parametrize("extension", sorted(ERROR_INFO))
def test_a_file_that_cannot_be_written_names_the_file_and_the_reason(kind, extension, tmp_path):
    path, reason = unwritable(kind, tmp_path, extension)
    assert make_chart_outcome(path) == expected_outcome(extension, path, reason)


def without_root(work):
    """work() as a user without root's rights: here, or in a child process that drops them."""
    if os.geteuid() != 0:
        return work()
    child = os.fork()
    if child == 0:
        code = 99
        try:
            os.setgroups([])
            os.setgid(65534)
            os.setuid(65534)
            code = work()
        finally:
            os._exit(code)
    return os.waitstatus_to_exitcode(os.waitpid(child, 0)[1])


@pytest.mark.parametrize("extension", sorted(ERROR_INFO))
def test_a_folder_the_writer_may_not_write_to_gives_permission_denied(extension, tmp_path):
    folder = tmp_path / "read-only"
    folder.mkdir(mode=0o555)
    path = str(folder / f"chart.{extension}")
    expected = expected_outcome(extension, path, "Permission denied")
    assert without_root(lambda: 0 if make_chart_outcome(path) == expected else 1) == 0


def test_an_automation_error_keeps_its_longer_message_when_pickled(tmp_path):
    with pytest.raises(kelvane.AutomationError) as raised:
        canvas().makeChart(str(tmp_path / "no" / "chart.gif"))
    copy = pickle.loads(pickle.dumps(raised.value))
    assert (copy.number, copy.description, str(copy)) == (75, raised.value.description, str(raised.value))
    assert str(copy).endswith("chart.gif': No such file or directory)")


ENDINGS = {
    "bmp bytes": (lambda c, d: c.SaveBinary("bmp"), 'handed over by SaveBinary("bmp")'),
    "gif bytes": (lambda c, d: c.SaveBinary("gif"), 'handed over by SaveBinary("gif")'),
    "jpeg file": (lambda c, d: c.makeChart(f"{d}/a.jpg"), 'released by makeChart("{d}/a.jpg")'),
    "gif file": (lambda c, d: c.makeChart(f"{d}/a.gif"), 'handed over by makeChart("{d}/a.gif")'),
    "Destroy": (lambda c, d: c.Destroy(), "released by Destroy"),
}


@pytest.mark.parametrize("ending", sorted(ENDINGS))
def test_an_output_without_canvas_names_the_call_that_ended_it(ending, tmp_path):
    end, how = ENDINGS[ending]
    chart = canvas()
    end(chart, tmp_path)
    note = f"the canvas was {how.format(d=tmp_path)}; call InitChart for a new one"
    with pytest.warns(kelvane.OutputWarning) as warned:
        assert chart.SaveBinary("png") is None
        assert chart.makeChart(str(tmp_path / "b.bmp")) == 0
    assert [str(w.message) for w in warned] == [
        f'SaveBinary("png") made no picture: {note}',
        f'makeChart("{tmp_path}/b.bmp") made no picture: {note}',
    ]
    assert chart.ErrorInfo().endswith("Unexpected error Saving PNG: the chart has no canvas\r\n"
                                      "Unexpected error Saving BMP file\r\n")
    chart.InitChart()
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        assert chart.SaveBinary("png")[:4] == b"\x89PNG"


def test_an_output_before_init_chart_says_to_call_it():
    with pytest.warns(kelvane.OutputWarning, match=r"^SaveBinary\(\"bmp\"\) made no picture: "
                                                   r"InitChart was never called; call InitChart first$"):
        assert kelvane.cChart().SaveBinary("bmp") is None


def test_an_unknown_type_gives_none_and_names_the_types():
    chart = canvas()
    with pytest.warns(kelvane.OutputWarning) as warned:
        assert chart.SaveBinary("tiff") is None
    assert [str(w.message) for w in warned] == ["SaveBinary makes no 'tiff' pictures, only bmp, jpg, jpeg, gif or png"]
    assert chart.ErrorInfo() == ""


def test_warnings_made_errors_raise_them(tmp_path):
    chart = canvas()
    with warnings.catch_warnings():
        warnings.simplefilter("error", kelvane.OutputWarning)
        with pytest.raises(kelvane.OutputWarning):
            chart.makeChart(str(tmp_path / "no" / "x.bmp"))
