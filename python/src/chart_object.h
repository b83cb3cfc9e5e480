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

// Runs `work` on the chart with the interpreter lock released and the chart's lock held (in that
// order: a thread waiting for the chart never holds the interpreter lock). Python values are made
// from the result after the interpreter lock is back.
template <class Work>
auto WithChart(PyChart& self, Work&& work) {
    py::gil_scoped_release released;
    std::lock_guard<std::mutex> held(self.lock);
    return work(self.chart);
}

// The output methods that say what they could not make (output_methods.cpp).
py::object MakeChart(PyChart& self, const std::string& fileName);
py::object SaveBinary(PyChart& self, const std::string& imgType);

void BindSettings(py::class_<PyChart>& cls);
void BindMethods(py::class_<PyChart>& cls);

}  // namespace kelvane::python
