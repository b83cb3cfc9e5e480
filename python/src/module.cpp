// The kelvane Python module: the chart class, its error type and the interface's constants.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>

#include "automation_args.h"
#include "chart_object.h"

namespace kelvane::python {
namespace {

// AutomationError is a plain Python class, so that it pickles and reads like any exception.
constexpr const char* kErrorClass = R"(
class AutomationError(Exception):
    """A failure raised by a chart method: the error number and its description."""

    def __init__(self, number, description, message=None):
        super().__init__(message if message is not None else f"{number}: {description}")
        self.number = number
        self.description = description

    def __reduce__(self):
        return (type(self), (self.number, self.description, str(self)))


class OutputWarning(UserWarning):
    """An output method made no file or no picture, and says why: the file and the system's
    reason, what became of the canvas, or the picture types there are."""
)";

}  // namespace
}  // namespace kelvane::python

namespace py = pybind11;

PYBIND11_MODULE(kelvane, m) {
    namespace kp = kelvane::python;
    m.doc() = "Kelvane: chart pictures (bar charts, pies, free drawing, text) as BMP, JPEG, GIF or PNG.";
    m.attr("__version__") = KELVANE_VERSION;
    m.attr("__license__") = "MIT";

    py::exec(kp::kErrorClass, m.attr("__dict__"));
    m.attr("AutomationError").attr("__module__") = "kelvane";
    m.attr("OutputWarning").attr("__module__") = "kelvane";
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const kp::ArgumentError& e) {
            kp::SetAutomationError(e, std::string(e.what()) + " (" + e.detail() + ")");
        } catch (const kelvane::AutomationError& e) {
            kp::SetAutomationError(e, e.what());
        }
    });

    py::class_<kp::PyChart> cls(m, "cChart", "One chart picture: assign settings, InitChart, draw, then save.");
    cls.def(py::init<>());
    kp::BindSettings(cls);
    kp::BindMethods(cls);
    m.attr("Chart") = cls;

    m.def(
        "RGB",
        [](kp::LongArg red, kp::LongArg green, kp::LongArg blue) {
            for (int32_t c : {red.value, green.value, blue.value}) {
                if (c < 0 || c > 255) kelvane::Raise(kelvane::kErrInvalidCall);
            }
            return red.value + 256 * green.value + 65536 * blue.value;
        },
        "The colour of red, green and blue levels 0 to 255 as the interface takes it: 0x00BBGGRR.",
        py::arg("red"), py::arg("green"), py::arg("blue"));

    m.attr("kvSingleColor") = int(kelvane::kvSingleColor);
    m.attr("kvline") = int(kelvane::kvline);
    m.attr("kvFillImage") = int(kelvane::kvFillImage);
    m.attr("kvOnePole") = int(kelvane::kvOnePole);
    m.attr("kvDot") = int(kelvane::kvDot);
    m.attr("dtCir") = int(kelvane::dtCir);
    m.attr("dtRect") = int(kelvane::dtRect);
}
