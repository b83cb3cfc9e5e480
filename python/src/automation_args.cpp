#include "automation_args.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>
#include <vector>

namespace kelvane::python {

namespace {

Variant IntegerToVariant(py::handle value) {
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow == 0 && n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max())
        return Variant(static_cast<int32_t>(n));
    const double d = PyLong_AsDouble(value.ptr());
    if (d == -1.0 && PyErr_Occurred()) {
        PyErr_Clear();
        Raise(kErrOverflow);
    }
    return Variant(d);
}

// A str as UTF-8. A lone surrogate has no UTF-8 form: Type mismatch, naming where it is.
Variant TextToVariant(py::handle value) {
    Py_ssize_t size = 0;
    const char* utf8 = PyUnicode_AsUTF8AndSize(value.ptr(), &size);
    if (utf8 != nullptr) return Variant(std::string(utf8, static_cast<std::size_t>(size)));
    const py::error_already_set failure;  // takes the pending error
    if (!failure.matches(PyExc_UnicodeEncodeError)) Raise(kErrOutOfMemory);
    std::string where;
    Py_ssize_t start = 0;
    if (PyUnicodeEncodeError_GetStart(failure.value().ptr(), &start) == 0)
        where = " at index " + std::to_string(start);
    else
        PyErr_Clear();
    throw ArgumentError(kErrTypeMismatch, "a str with a lone surrogate" + where + ", which has no UTF-8 form");
}

Variant BytesToVariant(py::handle value) {
    char* data = nullptr;
    Py_ssize_t size = 0;
    if (PyBytes_AsStringAndSize(value.ptr(), &data, &size) != 0) {
        PyErr_Clear();
        Raise(kErrTypeMismatch);
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(data);
    return Variant(Variant::Bytes(bytes, bytes + size));
}

// One argument's conversion. Lists and tuples are read through their stored items (a subclass's
// __iter__ or __getitem__ does not run), so no Python code runs and the lists cannot change while
// they are read.
class Converter {
public:
    Variant Convert(py::handle value) {
        PyObject* p = value.ptr();
        if (value.is_none()) return Variant();
        if (PyBool_Check(p)) return Variant::FromBool(p == Py_True);
        if (PyLong_Check(p)) return IntegerToVariant(value);
        if (PyFloat_Check(p)) return Variant(PyFloat_AsDouble(p));
        if (PyUnicode_Check(p)) return TextToVariant(value);
        if (PyBytes_Check(p)) return BytesToVariant(value);
        if (PyList_Check(p)) return Items(p, PyList_GET_SIZE(p), &PyList_GetItem);
        if (PyTuple_Check(p)) return Items(p, PyTuple_GET_SIZE(p), &PyTuple_GetItem);
        Raise(kErrTypeMismatch);
    }

private:
    Variant Items(PyObject* list, Py_ssize_t size, PyObject* (*item)(PyObject*, Py_ssize_t)) {
        if (std::find(m_open.begin(), m_open.end(), list) != m_open.end())
            throw ArgumentError(kErrTypeMismatch, "a list or tuple that contains itself");
        if (m_open.size() == kMaxArrayDepth)
            throw ArgumentError(kErrTypeMismatch, "lists or tuples nested deeper than " +
                                                      std::to_string(kMaxArrayDepth) + " levels");
        if (!m_seen.insert(list).second) {
            m_repeated += static_cast<std::size_t>(size);
            if (m_repeated > kMaxRepeatedValues)
                throw ArgumentError(kErrOutOfMemory, "lists or tuples repeated within one argument make more than " +
                                                         std::to_string(kMaxRepeatedValues) + " values");
        }
        m_open.push_back(list);
        Variant::Array items;
        items.reserve(static_cast<std::size_t>(size));
        for (Py_ssize_t i = 0; i < size; ++i) {
            const auto held = py::reinterpret_borrow<py::object>(item(list, i));
            items.push_back(Convert(held));
        }
        m_open.pop_back();
        return Variant(std::move(items));
    }

    std::vector<PyObject*> m_open;          // the lists being read, outermost first
    std::unordered_set<PyObject*> m_seen;   // every list read so far
    std::size_t m_repeated = 0;             // values read again through lists seen before
};

}  // namespace

void SetAutomationError(const AutomationError& e, const std::string& message) {
    const py::object cls = py::module_::import("kelvane").attr("AutomationError");
    const py::object error = cls(e.number(), e.description(), message);
    PyErr_SetObject(cls.ptr(), error.ptr());
}

Variant ToVariant(py::handle value) { return Converter().Convert(value); }

py::object FromVariant(const Variant& value) {
    switch (value.type()) {
    case Variant::Type::Empty: return py::none();
    case Variant::Type::Bool: return py::bool_(value.toBool() == kTrue);
    case Variant::Type::Long: return py::int_(value.toLong());
    case Variant::Type::Double: return py::float_(value.toDouble());
    case Variant::Type::String: return py::str(value.string());
    case Variant::Type::Array: {
        py::list items;
        for (const Variant& item : value.array()) items.append(FromVariant(item));
        return items;
    }
    case Variant::Type::Bytes: {
        const Variant::Bytes& b = value.bytes();
        return py::bytes(reinterpret_cast<const char*>(b.data()), b.size());
    }
    }
    return py::none();
}

}  // namespace kelvane::python
