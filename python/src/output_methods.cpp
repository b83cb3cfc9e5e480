// makeChart and SaveBinary for Python. Their automation results are the component's; what they
// could not make is said besides: a file that could not be created raises AutomationError with
// the file and the system's reason in its message (its number and description unchanged), and
// an output that only records its failure in ErrorInfo, or finds no canvas, or is asked for an
// unknown type, issues a kelvane.OutputWarning that names the cause.
#include <optional>

#include "automation_args.h"
#include "chart_object.h"
#include "kelvane/output_notes.h"
#include "output/picture_format.h"

namespace kelvane::python {
namespace {

void Warn(const std::string& message) {
    const py::object category = py::module_::import("kelvane").attr("OutputWarning");
    if (PyErr_WarnEx(category.ptr(), message.c_str(), 1) != 0) throw py::error_already_set();
}

// The chart's error with a longer message; number and description stay.
[[noreturn]] void RaiseWithMessage(const AutomationError& e, const std::string& message) {
    SetAutomationError(e, message);
    throw py::error_already_set();
}

void WarnNoCanvas(const std::string& call, const std::optional<CanvasEnd>& missing) {
    if (missing) Warn(call + " made no picture: " + DescribeCanvasEnd(*missing));
}

}  // namespace

py::object MakeChart(ChartSelf self, const std::string& fileName) {
    std::optional<CanvasEnd> missing;  // the canvas was gone before the call
    std::optional<FileFailure> file;
    std::optional<AutomationError> error;
    int32_t result = 0;
    WithChart(self, [&](cChart& c) {
        missing = c.canvasEnd();
        try {
            result = c.makeChart(fileName);
        } catch (const AutomationError& e) {
            error = e;
        }
        file = c.lastFileFailure();
    });
    if (error) {
        if (file) RaiseWithMessage(*error, std::string(error->what()) + " (" + DescribeFileFailure(*file) + ")");
        throw *error;
    }
    if (file)
        Warn("makeChart could not write " + DescribeFileFailure(*file));
    else if (PictureFormatOfFileName(fileName) != PictureFormat::None)
        WarnNoCanvas(CallText("makeChart", fileName), missing);
    return py::int_(result);
}

py::object SaveBinary(ChartSelf self, const std::string& imgType) {
    std::optional<CanvasEnd> missing;
    const Variant r = WithChart(self, [&](cChart& c) {
        missing = c.canvasEnd();
        return c.SaveBinary(imgType);
    });
    if (r.isEmpty()) {
        if (PictureFormatOfType(imgType) == PictureFormat::None)
            Warn("SaveBinary makes no '" + imgType + "' pictures, only " + std::string(kPictureTypeNames));
        else
            WarnNoCanvas(CallText("SaveBinary", imgType), missing);
    }
    return FromVariant(r);
}

}  // namespace kelvane::python
