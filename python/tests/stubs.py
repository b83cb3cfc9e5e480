"""The module's interface as its type stubs (python/kelvane.pyi) declare it, for tests that call
every method and property: each method's parameters with their kinds, and the properties."""

import ast
from typing import NamedTuple

from conftest import REPO

STUBS = REPO / "python" / "kelvane.pyi"


class Param(NamedTuple):
    name: str
    kind: str        # "int", "float", "str", "bool" or "array"
    required: bool


def _kind(annotation):
    text = ast.unparse(annotation)
    return "array" if text.startswith("Sequence") else "int" if text == "Any" else text


def _params(function):
    args = function.args.args[1:] if function.args.args[0].arg == "self" else function.args.args
    first_default = len(args) - len(function.args.defaults)
    return [Param(a.arg, _kind(a.annotation), i < first_default) for i, a in enumerate(args)]


def _tree():
    return ast.parse(STUBS.read_text())


def chart_interface():
    """(methods, settings, read_only): {name: [Param]}, {name: kind}, {name}."""
    chart = next(n for n in _tree().body if isinstance(n, ast.ClassDef) and n.name == "cChart")
    methods, settings, read_only = {}, {}, set()
    for node in chart.body:
        if isinstance(node, ast.AnnAssign):
            settings[node.target.id] = _kind(node.annotation)
        elif isinstance(node, ast.FunctionDef) and node.name != "__init__":
            if any(isinstance(d, ast.Name) and d.id == "property" for d in node.decorator_list):
                read_only.add(node.name)
            else:
                methods[node.name] = _params(node)
    return methods, settings, read_only


def module_function(name):
    """The parameters of a module-level function (kelvane.RGB)."""
    return _params(next(n for n in _tree().body if isinstance(n, ast.FunctionDef) and n.name == name))
