"""Every public name of the package says what it does: a docstring with text, not just a signature.

The docstrings of the compiled names come from the comments of the C++ headers (docs/header_docs.py),
so a name missing here is a public C++ declaration without its comment, or a binding that does not
take it.
"""

import builtins
import enum
import inspect
import re

import dfoundations


def docstring_text(value):
    """The docstring without the signature lines that pybind11 writes."""
    doc = inspect.getdoc(value) or ""
    lines = [line for line in doc.splitlines()
             if not re.match(r"^(\d+\. )?[\w.]+\(.*\)( -> .*)?$", line.strip()) and line.strip() != "Overloaded function."]
    return "\n".join(lines).strip()


def own_members(cls):
    """The public attributes of a class that the package defines (not those of object, Exception, Enum)."""
    for name in dir(cls):
        if name.startswith("_"):
            continue
        owner = next((base for base in cls.__mro__ if name in vars(base)), None)
        if owner is None or owner.__module__ in (builtins.__name__, enum.__name__) or owner is object:
            continue
        if isinstance(cls, enum.EnumMeta) and isinstance(getattr(cls, name), cls):
            continue  # an enumeration member: its name and value say it
        yield name, vars(owner)[name]


def public_names():
    for name in dir(dfoundations):
        value = getattr(dfoundations, name)
        if name.startswith("_") or inspect.ismodule(value):
            continue
        yield name, value
        if inspect.isclass(value):
            for member, attribute in own_members(value):
                yield f"{name}.{member}", attribute


def test_every_public_name_has_a_docstring_with_text():
    names = list(public_names())
    # A class constant (VALID_CALCULATION_TYPES) is a value: Python keeps no docstring for it.
    undocumented = [name for name, value in names
                    if not docstring_text(value) and not name.rpartition(".")[2].isupper()]
    assert len(names) > 200
    assert undocumented == []


def test_a_docstring_says_parameters_returns_and_errors_as_sphinx_fields():
    # What the headers' @param, @returns and @throws become, with the C++ error in its Python name.
    doc = dfoundations.BearingPilesModel.create_pile.__doc__
    assert ":param name:" in doc and ":raises ModelError:" in doc
    assert "errors::" not in doc and "std::" not in doc
    # Options structs become keyword parameters, documented from their members' comments.
    assert ":param use_pre_2016:" in dfoundations.BearingPilesModel.create_pile_type.__doc__
