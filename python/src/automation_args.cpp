#include "automation_args.h"

#include <cmath>
#include <limits>

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

}  // namespace

Variant ToVariant(py::handle value) {
    if (value.is_none()) return Variant();
    if (PyBool_Check(value.ptr())) return Variant::FromBool(value.ptr() == Py_True);
    if (PyLong_Check(value.ptr())) return IntegerToVariant(value);
    if (PyFloat_Check(value.ptr())) return Variant(PyFloat_AsDouble(value.ptr()));
    if (PyUnicode_Check(value.ptr())) return Variant(value.cast<std::string>());
    if (PyBytes_Check(value.ptr())) {
        const std::string raw = value.cast<std::string>();
        return Variant(Variant::Bytes(raw.begin(), raw.end()));
    }
    if (PyList_Check(value.ptr()) || PyTuple_Check(value.ptr())) {
        Variant::Array items;
        for (py::handle item : value) items.push_back(ToVariant(item));
        return Variant(std::move(items));
    }
    Raise(kErrTypeMismatch);
}

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
