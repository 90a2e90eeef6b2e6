"""Sphinx settings of the reference documentation; docs/build.py (through scripts/docs) runs it.

Four directives of this project keep the pages tied to the code instead of copying it:

``dfoundations-api HEADER...``   the Python reference of every public name that those C++ headers
                                 declare (autodoc; the docstrings come from the headers' comments);
                                 ``*`` lists the names that no header declares.
``dfoundations-headers HEADER...`` each of those C++ headers that exists, with what it is for and a
                                 link to its doxygen reference.
``dfoundations-help``            the program's --help, and that of each subcommand, as it prints them.
``dfoundations-vocabulary``      the table of docs/vocabulary.csv, each name checked against the
                                 headers, the package and the program's help: a renamed concept
                                 fails the build until the table follows.
"""

import atexit
import csv
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

from docutils import nodes
from docutils.parsers.rst import Directive
from docutils.statemachine import StringList
from sphinx.util import logging

DOCS = Path(__file__).resolve().parent
REPOSITORY = DOCS.parent
sys.path.insert(0, str(DOCS))

import header_docs  # noqa: E402  (beside this file)
import dfoundations  # noqa: E402  (the built package, from PYTHONPATH)

project = "dfoundations"
author = "the dfoundations developers"
copyright = "the dfoundations developers"
version = release = getattr(dfoundations, "__version__", "")  # the package's, where it says it

extensions = ["sphinx.ext.autodoc", "sphinx.ext.doctest"]
exclude_patterns = ["_build", "Thumbs.db", ".DS_Store"]
templates_path = []
html_theme = "alabaster"
html_static_path = []
html_extra_path = []
if os.environ.get("DFOUNDATIONS_DOXYGEN_HTML"):
    # The C++ reference that doxygen made, under cpp/ of the site.
    html_extra_path.append(os.environ["DFOUNDATIONS_DOXYGEN_HTML"])
    tags.add("cpp_reference")  # noqa: F821  (given by Sphinx)

autodoc_default_options = {"members": True, "undoc-members": True, "show-inheritance": True}
autodoc_member_order = "bysource"
autoclass_content = "both"
autodoc_docstring_signature = True
add_module_names = False

# The examples run from the repository, with the embedded platform's files in a scratch folder
# that goes when the build ends.
if "DFOUNDATIONS_STORE" not in os.environ:
    os.environ["DFOUNDATIONS_STORE"] = tempfile.mkdtemp(prefix="dfoundations-docs-")
    atexit.register(shutil.rmtree, os.environ["DFOUNDATIONS_STORE"], ignore_errors=True)
doctest_global_setup = f"""
import os, pathlib
os.chdir({str(REPOSITORY)!r})
import dfoundations as dfo
"""
doctest_test_doctest_blocks = ""

HEADERS = sorted((REPOSITORY / "include" / "ostrand").rglob("*.hpp"))
ENTRIES = header_docs.parse_headers(HEADERS)
LOG = logging.getLogger(__name__)

# The headers that a page names in its directives; "*" stands for every other one, so that a header
# or a name that no page names yet is still documented, on the reference index.
def placed_headers(directive):
    return {name for page in DOCS.glob("*.rst")
            for line in re.findall(rf"^\.\. {directive}:: (.*)$", page.read_text(encoding="utf-8"), flags=re.MULTILINE)
            for name in line.split() if name != "*"}


PLACED = {"dfoundations-api": placed_headers("dfoundations-api"),
          "dfoundations-headers": placed_headers("dfoundations-headers")}


def requested(directive, headers, header):
    """Whether a directive for `headers` takes a name of `header` (None: declared in no header)."""
    return header in headers or ("*" in headers and header not in PLACED[directive])


def public_names():
    """The package's public names: what `import *` gives, and the names its __init__ defines."""
    names = [name for name in dir(dfoundations) if not name.startswith("_")]
    return [name for name in names if not isinstance(getattr(dfoundations, name), type(os))]


def header_of(python_name):
    """The header that declares a package name (a class, enumeration or free function), or None."""
    for name, entry in ENTRIES.items():
        parts = name.split("::")
        if parts[-1] == python_name and entry.kind in ("class", "enum", "function", "alias") and \
                (len(parts) == 1 or (len(parts) == 2 and parts[0] in ("core", "geo", "errors", "detail"))):
            return entry.header
    return None


class ApiDirective(Directive):
    """Autodoc for the package names that the given headers declare."""

    required_arguments = 1
    final_argument_whitespace = True

    def run(self):
        headers = self.arguments[0].split()
        names = [name for name in public_names() if requested("dfoundations-api", headers, header_of(name))]
        lines = []
        for name in names:
            value = getattr(dfoundations, name)
            if isinstance(value, type):
                lines.append(f".. autoclass:: dfoundations.{name}")
                if issubclass(value, __import__("enum").Enum):
                    lines.append("   :undoc-members:")
            elif callable(value):
                lines.append(f".. autofunction:: dfoundations.{name}")
            else:
                lines.append(f".. autodata:: dfoundations.{name}")
                lines.append("   :annotation:")
            lines.append("")
        if not names:
            lines = ["(No public Python names yet.)", ""]
        node = nodes.section()
        node.document = self.state.document
        self.state.nested_parse(StringList(lines, source=f"dfoundations-api {' '.join(headers)}"),
                                self.content_offset, node)
        return node.children


class HeadersDirective(Directive):
    """The public C++ headers of an area that exist, each with its opening comment and its reference."""

    required_arguments = 1
    final_argument_whitespace = True

    def run(self):
        out = []
        headers = self.arguments[0].split()
        for path in HEADERS:
            if not requested("dfoundations-headers", headers, path.name):
                continue
            name = path.name
            relative = path.relative_to(REPOSITORY / "include").as_posix()
            section = nodes.section(ids=[nodes.make_id("header " + relative)])
            title = nodes.title()
            title += nodes.literal(text=f"#include \"{relative}\"")
            section += title
            section += nodes.literal_block(text="\n".join(header_docs.file_comment(path)).strip())
            if "cpp_reference" in self.state.document.settings.env.app.tags:
                page = name.replace("_", "__").replace(".", "_8") + ".html"
                paragraph = nodes.paragraph()
                paragraph += nodes.reference(text=f"C++ reference of {name}", refuri=f"cpp/{page}")
                section += paragraph
            out.append(section)
        return out


def program():
    """The program to ask for its help: DFOUNDATIONS_CLI, else the one in build/bin."""
    path = os.environ.get("DFOUNDATIONS_CLI") or str(REPOSITORY / "build" / "bin" / "dfoundations")
    return path if shutil.which(path) else None


def help_text(*arguments):
    result = subprocess.run([program(), *arguments, "--help"], capture_output=True, text=True)
    return result.stdout.replace(program(), "dfoundations")  # as a user calls it, not where it was built


def subcommands():
    """The subcommands that the program's --help lists."""
    parts = re.split(r"^subcommands:\s*$", help_text(), maxsplit=1, flags=re.MULTILINE | re.IGNORECASE)
    block = parts[1].split("\n\n", 1)[0] if len(parts) == 2 else ""
    return re.findall(r"^ {2}(\w[\w-]*)[ ,]", block, flags=re.MULTILINE)


class HelpDirective(Directive):
    """The program's help as it prints it."""

    def run(self):
        if program() is None:
            LOG.warning("the program is not built (build/bin/dfoundations, or DFOUNDATIONS_CLI): its help is missing")
            return []
        out = []
        for arguments in [()] + [(name,) for name in subcommands()]:
            title = "dfoundations " + " ".join(arguments) if arguments else "dfoundations"
            section = nodes.section(ids=[nodes.make_id("help " + title)])
            section += nodes.title(text=title)
            section += nodes.literal_block(text=help_text(*arguments).rstrip())
            out.append(section)
        return out


class VocabularyDirective(Directive):
    """The vocabulary table, each name checked against the code."""

    def run(self):
        path = DOCS / "vocabulary.csv"
        self.state.document.settings.record_dependencies.add(str(path))
        with path.open(encoding="utf-8") as file:
            rows = list(csv.reader(line for line in file if not line.startswith("#")))
        head, body = rows[0], rows[1:]
        helps = "\n".join(help_text(*arguments) for arguments in [()] + [(n,) for n in subcommands()]) \
            if program() else None
        for concept, cpp, python, cli in body:
            for name in split_names(cpp):
                if not any(key == name or key.endswith("::" + name) for key in ENTRIES):
                    LOG.warning(f"vocabulary: {concept}: no C++ declaration {name!r} in the public headers")
            for name in split_names(python):
                if not python_name_exists(name):
                    LOG.warning(f"vocabulary: {concept}: the package has no {name!r}")
            if helps is not None:
                for name in split_names(cli):
                    if name not in helps:
                        LOG.warning(f"vocabulary: {concept}: the program's help never says {name!r}")
        table = nodes.table()
        group = nodes.tgroup(cols=len(head))
        table += group
        for _ in head:
            group += nodes.colspec(colwidth=1)
        thead = nodes.thead()
        group += thead
        thead += row_node(head, code=False)
        tbody = nodes.tbody()
        group += tbody
        for row in body:
            tbody += row_node(row, code=True)
        return [table]


def split_names(cell):
    """The names in a cell: "a, b" gives both; "—" and a remark in parentheses after a blank give none;
    "f(keyword)" is a keyword argument of f."""
    cell = re.sub(r" \(.*?\)", "", cell)
    return [name.strip() for name in cell.split(",") if name.strip() and name.strip() != "—"]


def python_name_exists(dotted):
    keyword = re.fullmatch(r"(.+)\((\w+)\)", dotted)
    if keyword:
        # A keyword argument: named in the signature line of the function's docstring.
        function = resolve(keyword.group(1))
        signature = (getattr(function, "__doc__", None) or "").split("\n", 1)[0]
        return function is not None and re.search(rf"\b{keyword.group(2)}\b", signature) is not None
    return resolve(dotted) is not None


def resolve(dotted):
    """The package's value of a dotted name, or None."""
    value = dfoundations
    for part in dotted.removeprefix("dfoundations.").split("."):
        if not hasattr(value, part):
            return None
        value = getattr(value, part)
    return value


def row_node(cells, code):
    row = nodes.row()
    for index, text in enumerate(cells):
        entry = nodes.entry()
        paragraph = nodes.paragraph()
        if code and index > 0 and text != "—":
            for position, name in enumerate(text.split(", ")):
                if position:
                    paragraph += nodes.Text(", ")
                paragraph += nodes.literal(text=name)
        else:
            paragraph += nodes.Text(text)
        entry += paragraph
        row += entry
    return row


def setup(app):
    app.add_directive("dfoundations-api", ApiDirective)
    app.add_directive("dfoundations-headers", HeadersDirective)
    app.add_directive("dfoundations-help", HelpDirective)
    app.add_directive("dfoundations-vocabulary", VocabularyDirective)
    return {"parallel_read_safe": True}
