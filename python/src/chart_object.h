// The Python object behind kelvane.cChart: one chart and the lock that keeps two Python threads
// from using it at once. Drawing runs without the interpreter lock, so charts held by different
// threads render in parallel.
#pragma once

#include <pybind11/pybind11.h>

#include <mutex>
#include <string>

#include "kelvane/cChart.h"

namespace kelvane::python {

namespace py = pybind11;

struct PyChart {
    cChart chart;
    std::mutex lock;
};

// The chart a method or property is used on: every one takes its object as a ChartSelf, whose
// caster checks that __init__ has made the chart. `cChart.__new__(cChart)` alone makes an object
// without one; using it raises TypeError.
struct ChartSelf {
    PyChart* chart;
};

// Runs `work` on the chart with the interpreter lock released and the chart's lock held (in that
// order: a thread waiting for the chart never holds the interpreter lock). Python values are made
// from the result after the interpreter lock is back.
template <class Work>
auto WithChart(ChartSelf self, Work&& work) {
    py::gil_scoped_release released;
    std::lock_guard<std::mutex> held(self.chart->lock);
    return work(self.chart->chart);
}

// The output methods that say what they could not make (output_methods.cpp).
py::object MakeChart(ChartSelf self, const std::string& fileName);
py::object SaveBinary(ChartSelf self, const std::string& imgType);

void BindSettings(py::class_<PyChart>& cls);
void BindMethods(py::class_<PyChart>& cls);

}  // namespace kelvane::python

namespace pybind11::detail {

template <>
struct type_caster<kelvane::python::ChartSelf> {
    PYBIND11_TYPE_CASTER(kelvane::python::ChartSelf, const_name("kelvane.cChart"));
    // Not a cChart: no match, and pybind11 raises its TypeError for the arguments. A cChart whose
    // __init__ never ran: TypeError. The check runs with the interpreter lock held, as __init__
    // does, so a thread sees the chart either not made or made in full.
    bool load(handle src, bool) {
        const type_info* info = get_type_info(typeid(kelvane::python::PyChart));
        if (info == nullptr || !PyObject_TypeCheck(src.ptr(), info->type)) return false;
        value_and_holder made = reinterpret_cast<instance*>(src.ptr())->get_value_and_holder(info);
        if (!made.holder_constructed())
            throw type_error("this kelvane.cChart was never initialised (__new__ without __init__); "
                             "make charts with kelvane.cChart()");
        value.chart = made.value_ptr<kelvane::python::PyChart>();
        return true;
    }
    static handle cast(const kelvane::python::ChartSelf&, return_value_policy, handle) {
        return none().release();
    }
};

}  // namespace pybind11::detail
