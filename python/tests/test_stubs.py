"""The type stubs declare what the package has, so that editors complete what is really there."""

import ast
import pathlib
import types

import dfoundations as dfo

STUBS = ast.parse((pathlib.Path(dfo.__file__).parent / "__init__.pyi").read_text())
ALIASES = {"Bytes", "Table", "Trajectory", "Measurements"}


def declared(body):
    names = set()
    for node in body:
        if isinstance(node, (ast.ClassDef, ast.FunctionDef)):
            names.add(node.name)
        elif isinstance(node, ast.AnnAssign):
            names.add(node.target.id)
        elif isinstance(node, ast.Assign):
            names.update(target.id for target in node.targets)
    return names


def test_the_stubs_declare_every_public_name_and_nothing_more():
    real = {name for name, value in vars(dfo).items()
            if not name.startswith("__") and not isinstance(value, types.ModuleType)}
    top = {name for name in declared(STUBS.body) - ALIASES if not name.startswith("__")}
    assert top - real == set()
    assert {name for name in real if not name.startswith("_")} - top == set()


def test_every_member_a_stub_class_declares_is_there():
    missing = []
    for node in STUBS.body:
        if isinstance(node, ast.ClassDef) and node.name not in ALIASES:
            cls = getattr(dfo, node.name)
            missing += [f"{node.name}.{name}" for name in declared(node.body) if not hasattr(cls, name)]
    assert missing == []
