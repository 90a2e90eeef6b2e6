#!/usr/bin/env python3
"""The comments of the public headers, as the one source of the reference documentation.

A comment block that stands directly above a declaration documents it; a comment at the end of a
member's line documents that member. Inside a block:

    @param name  text        a parameter (units in brackets: [m], [kPa], [MPa])
    @returns text            what the function gives back
    @throws Type "message"   an error it raises, with an example of its message
    @python text             said to Python users only (DataFrames, bytes, keyword arguments)

and lines indented past the comment's own margin are a C++ example. The same blocks become

    --header OUT HEADERS...   a C++ header for the Python bindings: doc_of("BearingPilesModel::create_pile")
                              gives the docstring at compile time, and a name without one does not compile;
    --doxygen FILE            the header as doxygen reads it (an INPUT_FILTER): the blocks as "///".

docs/conf.py imports it to place each Python name on the page of its header.

No docstring text is written twice: the bindings name the declaration, the headers say what it does.
"""

from __future__ import annotations

import re
import sys
from dataclasses import dataclass, field
from pathlib import Path

# The namespaces a name is given without: a user writes dfo::BearingPilesModel, core::File.
DROPPED_PREFIXES = ("ostrand::external::dfoundations::", "ostrand::external::", "ostrand::")

# C++ errors as Python raises them (the bindings translate them so).
PYTHON_ERRORS = {
    "errors::ModelError": "ModelError",
    "errors::ParsingError": "ParsingError",
    "errors::InternalError": "InternalError",
    "errors::ExecutionError": "ExecutionError",
    "errors::NotImplementedError": "NotImplementedError",
    "errors::Error": "Error",
    "std::invalid_argument": "ValueError",
    "std::out_of_range": "IndexError",
    "std::domain_error": "ZeroDivisionError",
    "std::runtime_error": "RuntimeError",
    "std::logic_error": "RuntimeError",
    "std::system_error": "OSError",
    "PatternLimitError": "PatternLimitError",
    "InputFileError": "ModelError",
}

KEYWORDS = {"class", "struct", "enum", "union", "namespace", "using", "template", "typename", "const",
            "constexpr", "static", "virtual", "inline", "explicit", "friend", "override", "final",
            "noexcept", "return", "operator", "public", "private", "protected", "default", "delete",
            "consteval", "mutable", "typedef"}


@dataclass
class Entry:
    """One documented declaration."""

    name: str  # qualified, e.g. "BearingPilesModel::create_pile"
    header: str  # e.g. "models.hpp"
    kind: str  # "class", "enum", "function", "member", "alias", "enumerator"
    comment: list[str]  # the comment lines without "//" and the common margin
    declaration: str = ""  # the declaration's text up to "{" or ";", for the parameters
    members: list[str] = field(default_factory=list)  # of a class or struct, in order


def strip_comment(line: str) -> str | None:
    """The text of a line that holds only a // comment, or None."""
    stripped = line.strip()
    if not stripped.startswith("//"):
        return None
    return stripped[2:].removeprefix("/")


def dedent(lines: list[str]) -> list[str]:
    margin = min((len(line) - len(line.lstrip()) for line in lines if line.strip()), default=0)
    return [line[margin:].rstrip() for line in lines]


def declared_name(text: str) -> tuple[str, str] | None:
    """The kind and name a declaration's first statement declares, or None."""
    text = re.sub(r"\s+", " ", text).strip()
    text = re.sub(r"^template ?<.*?> ?", "", text)
    text = re.sub(r"^requires requires ?\(.*?\) ?\{.*?\} ?|^requires [^ ]+ ", "", text)
    match = re.match(r"(?:enum (?:class|struct) |class |struct |union )(?:\[\[[^\]]*\]\] )?(\w+)", text)
    if match:
        return ("enum" if text.startswith("enum") else "class"), match.group(1)
    match = re.match(r"using (\w+) ?=", text)
    if match:
        return "alias", match.group(1)
    if text.startswith(("namespace", "using", "friend", "public", "private", "protected", "#", "}", "static_assert")):
        return None
    head = text.split("=", 1)[0] if "(" not in text.split("=", 1)[0] else text
    paren = head.find("(")
    if paren >= 0 and re.search(r"\boperator\b", head[:paren]):
        return None  # an operator says itself what it does
    if paren >= 0 and "operator" not in head[:paren]:
        names = re.findall(r"~?\w+", head[:paren])
        if names and names[-1] not in KEYWORDS:
            return "function", names[-1]
        return None
    names = [name for name in re.findall(r"\w+", re.split(r"[={;]", head, maxsplit=1)[0]) if name not in KEYWORDS]
    if len(names) >= 2 or (len(names) == 1 and text.endswith(",")):
        return "member", names[-1]
    return None


def parse_header(path: Path) -> list[Entry]:
    """The documented declarations of one header, in file order."""
    lines = path.read_text(encoding="utf-8").splitlines()
    entries: list[Entry] = []
    scopes: list[tuple[str, Entry | None]] = []  # (name or "" for a block, the class's entry)
    access: list[str] = []  # per scope: "public", or "private" for what a user cannot reach
    pending: list[str] = []
    enum_depth: int | None = None
    index = 0
    while index < len(lines):
        line = lines[index]
        comment = strip_comment(line)
        if comment is not None:
            pending.append(comment)
            index += 1
            continue
        if not line.strip():
            pending = []
            index += 1
            continue
        code, _, trailing = line.partition("//")
        specifier = re.match(r"\s*(public|private|protected)\s*:\s*$", code)
        if specifier:
            if access:
                access[-1] = "public" if specifier.group(1) == "public" else "private"
            pending = []
            index += 1
            continue
        # A statement may run over several lines: gather it up to its ";" or "{" with its parentheses
        # closed (an enumerator is one line).
        statement = code
        end = index
        in_enum_scope = enum_depth is not None and len(scopes) == enum_depth
        while not in_enum_scope and not statement.strip().startswith("#") and end + 1 < len(lines) and (
                statement.count("(") > statement.count(")") or not re.search(r"[;{}]", statement)):
            end += 1
            statement += " " + lines[end].partition("//")[0]
        # A template's head and its requires clause belong to the declaration that follows them.
        while lines[end].strip().startswith(("template", "requires")) and end + 1 < len(lines):
            end += 1
            statement += " " + lines[end].partition("//")[0]
        if end > index:
            trailing = lines[end].partition("//")[2] or trailing
        in_class = bool(scopes) and scopes[-1][1] is not None
        in_block = any(name == "" for name, _ in scopes)
        hidden = bool(access) and access[-1] != "public"
        found = None if in_block or hidden else declared_name(statement)
        in_enum = enum_depth is not None and len(scopes) == enum_depth
        if in_enum and not in_block:
            for enumerator in re.findall(r"(\w+)\s*(?:=\s*[^,}]+)?(?:,|$)", code.split("{")[-1].split("}")[0]):
                qualified = "::".join([name for name, _ in scopes] + [enumerator])
                for prefix in DROPPED_PREFIXES:
                    qualified = qualified.removeprefix(prefix)
                text = pending + ([trailing.strip()] if trailing.strip() else [])
                entries.append(Entry(qualified, path.name, "enumerator", dedent(text)))
            found = None
        namespace = re.match(r"\s*namespace ([\w:]*)\s*\{", code)
        if found is not None and not namespace:
            kind, name = found
            if kind == "member" and not in_class:
                kind = "variable"
            qualified = "::".join([scope for scope, _ in scopes] + [name])
            for prefix in DROPPED_PREFIXES:
                qualified = qualified.removeprefix(prefix)
            text = pending + ([trailing.strip()] if trailing.strip() and not pending else [])
            entry = Entry(qualified, path.name, kind, dedent(text), declaration=statement.strip())
            if in_class and kind in ("function", "member", "class", "enum", "alias"):
                scopes[-1][1].members.append(name)
            entries.append(entry)
        else:
            entry = None
        # Scopes: count braces outside of strings and character literals.
        braces = re.sub(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'', "", " ".join(
            raw.partition("//")[0] for raw in lines[index:end + 1]))
        for char in braces:
            if char == "{":
                if namespace and not scopes[len(scopes):]:
                    scopes.append((namespace.group(1), None))
                    access.append("public")
                    namespace = None
                elif entry is not None and entry.kind in ("class", "enum"):
                    scopes.append((entry.name.split("::")[-1], entry))
                    access.append("private" if re.match(r"\s*(template ?<.*?> ?)?class ", statement) else "public")
                    if entry.kind == "enum":
                        enum_depth = len(scopes)
                        rest = braces.split("{", 1)[1]
                        for enumerator in re.findall(r"(\w+)\s*(?:=\s*[^,}]+)?\s*(?:,|})", rest):
                            entries.append(Entry(f"{entry.name}::{enumerator}", path.name, "enumerator", []))
                    entry = None
                else:
                    scopes.append(("", None))
                    access.append(access[-1] if access else "public")
            elif char == "}":
                if scopes:
                    if enum_depth is not None and len(scopes) == enum_depth:
                        enum_depth = None
                    scopes.pop()
                    access.pop()
        pending = []
        index = end + 1
    return [entry for entry in entries if entry.name]


def parse_headers(paths: list[Path]) -> dict[str, Entry]:
    """Every documented name of the headers; a name declared twice (an overload) keeps each text once."""
    entries: dict[str, Entry] = {}
    for path in paths:
        for entry in parse_header(path):
            known = entries.get(entry.name)
            if known is None:
                entries[entry.name] = entry
            elif entry.comment and entry.comment != known.comment:
                known.comment = known.comment + ([""] if known.comment else []) + entry.comment
    return entries


def file_comment(path: Path) -> list[str]:
    """The comment that opens a header: what it is for."""
    lines = []
    for line in path.read_text(encoding="utf-8").splitlines():
        text = strip_comment(line)
        if text is None:
            break
        lines.append(text)
    return dedent(lines)


# ---------------------------------------------------------------------------------------------
# Python docstrings.

def python_text(text: str) -> str:
    """C++ spellings in prose as a Python user reads them."""
    text = re.sub(r"\bstd::nullopt\b|(?<!an )\babsent\b|\bnull\b", "None", text)
    text = re.sub(r"\bostrand::", "", text)
    for cpp, python in sorted(PYTHON_ERRORS.items(), key=lambda item: -len(item[0])):
        text = re.sub(r"(?<![\w:])" + re.escape(cpp) + r"(?!\w)", python, text)
    text = re.sub(r"\b(?:ostrand::)?(?:core|geo|dfo|detail)::", "", text)
    text = re.sub(r"(\w)::(\w)", r"\1.\2", text)
    # As reStructuredText reads them: global_ and __cause__ are names, not links; "****" is no emphasis.
    text = re.sub(r"(?<![`\w])(__\w+__)(?![`\w])", r"``\1``", text)
    text = re.sub(r"(?<=[A-Za-z0-9])_(?=[^\w`]|$)", r"\\_", text)
    text = text.replace("*", "\\*")
    return text


def split_blocks(comment: list[str]) -> tuple[list[str], list[tuple[str, str]]]:
    """The prose lines (with example lines marked by a leading tab) and the tagged fields in order."""
    margin = min((len(line) - len(line.lstrip()) for line in comment if line.strip()), default=0)
    prose: list[str] = []
    fields: list[tuple[str, str]] = []
    for raw in comment:
        line = raw[margin:]
        tag = re.match(r"@(param|returns?|throws|raises|python|cpp)\b\s*(.*)", line.strip())
        if tag:
            fields.append((tag.group(1), tag.group(2)))
        elif fields and line.strip() and raw.startswith(" " * (margin + 1)) and fields[-1][0] != "cpp":
            fields[-1] = (fields[-1][0], fields[-1][1] + " " + line.strip())
        elif fields and not line.strip():
            fields.append(("", ""))
        elif fields and fields[-1][0] in ("", "python", "cpp") and line.strip():
            fields.append(("", line.strip()))
        elif line.startswith("  ") and line.strip():
            prose.append("\t" + line)
        else:
            prose.append(line.strip())
    return prose, [(tag, text) for tag, text in fields if tag]


def parameter(text: str) -> tuple[list[str], str]:
    """The names and the description of a @param: "x, y  position [m]" names x and y."""
    match = re.match(r"(\w+(?:\s*,\s*\w+)*)\s*(.*)", text, flags=re.DOTALL)
    if match is None:
        return [], text
    return [name.strip() for name in match.group(1).split(",")], match.group(2).strip()


def options_parameters(entry: Entry, entries: dict[str, Entry]) -> list[tuple[str, str]]:
    """The members of the options or settings structs a function takes, as its keyword parameters."""
    parameters = []
    for type_name in re.findall(r"\b(\w+(?:Options|Settings))\b\s+\w+\s*(?:=|,|\))", entry.declaration):
        struct = entries.get(type_name)
        if struct is None or struct.kind != "class":
            continue
        for member in struct.members:
            member_entry = entries.get(f"{type_name}::{member}")
            if member_entry is not None and member_entry.kind == "member":
                parameters.append((member, " ".join(line.strip() for line in member_entry.comment)))
    return parameters


def python_docstring(entry: Entry, entries: dict[str, Entry]) -> str:
    """The docstring of a name as Python users read it: reStructuredText with Sphinx's field lists."""
    prose, fields = split_blocks(entry.comment)
    out: list[str] = []
    for line in prose:
        if line.startswith("\t"):
            continue  # a C++ example
        out.append(python_text(line))
    while out and not out[-1]:
        out.pop()
    paragraphs = [python_text(text) for tag, text in fields if tag == "python"]
    for paragraph in paragraphs:
        out += ["", paragraph]
    parameters = [parameter(text) for tag, text in fields if tag == "param"]
    documented = {name for names, _ in parameters for name in names}
    field_lines = []
    for names, description in parameters:
        if names in (["options"], ["settings"]):
            continue
        field_lines.append(f":param {', '.join(names)}: {python_text(description)}")
    if entry.kind == "function":
        for name, description in options_parameters(entry, entries):
            if name not in documented and description:
                field_lines.append(f":param {name}: {python_text(description)}")
    for tag, text in fields:
        if tag in ("returns", "return"):
            field_lines.append(f":returns: {python_text(text)}")
    for tag, text in fields:
        if tag in ("throws", "raises"):
            error, _, description = text.partition(" ")
            error = PYTHON_ERRORS.get(error, python_text(error))
            field_lines.append(f":raises {error}: {python_text(description.strip())}")
    if field_lines:
        out += [""] + field_lines
    return "\n".join(out).strip()


# ---------------------------------------------------------------------------------------------
# Outputs.

def cpp_string(text: str) -> str:
    """A C++ string literal of the text's UTF-8, every byte beyond printable ASCII as an octal escape."""
    out = []
    for byte in text.encode("utf-8"):
        char = chr(byte)
        if char in "\"\\":
            out.append("\\" + char)
        elif char == "\n":
            out.append("\\n")
        elif 32 <= byte < 127:
            out.append(char)
        else:
            out.append(f"\\{byte:03o}")
    return '"' + "".join(out) + '"'


def write_header(output: Path, entries: dict[str, Entry]) -> None:
    lines = [
        "// Generated from the comments of the public headers by docs/header_docs.py: edit those, not this.",
        "#pragma once",
        "",
        "#include <string_view>",
        "",
        "namespace dfoundations_python::docstrings {",
        "",
        "struct Docstring {",
        "    std::string_view name;",
        "    const char* text;",
        "};",
        "",
        "inline constexpr Docstring all[] = {",
    ]
    for name in sorted(entries):
        text = python_docstring(entries[name], entries)
        if text:
            lines.append(f"    {{{cpp_string(name)}, {cpp_string(text)}}},")
    lines += [
        "};",
        "",
        "// Not constexpr: a name with no comment in the headers makes doc_of fail to compile here.",
        "const char* no_comment_in_the_public_headers_for(std::string_view name);",
        "",
        "}  // namespace dfoundations_python::docstrings",
        "",
        "namespace dfoundations_python {",
        "",
        "// The docstring of a public C++ name, e.g. doc_of(\"BearingPilesModel::create_pile\").",
        "consteval const char* doc_of(std::string_view name)",
        "{",
        "    for (const auto& docstring : docstrings::all)",
        "        if (docstring.name == name) return docstring.text;",
        "    return docstrings::no_comment_in_the_public_headers_for(name);",
        "}",
        "",
        "}  // namespace dfoundations_python",
        "",
    ]
    text = "\n".join(lines)
    if not output.exists() or output.read_text(encoding="utf-8") != text:
        output.parent.mkdir(parents=True, exist_ok=True)
        output.write_text(text, encoding="utf-8")


def doxygen_filter(path: Path) -> str:
    """The header with its documenting comments as doxygen reads them."""
    lines = path.read_text(encoding="utf-8").splitlines()
    opening = len(file_comment(path))
    documented = {}
    for entry in parse_header(path):
        documented[entry.name] = entry
    out = []
    if opening:
        out.append("/// @file")
    index = 0
    while index < len(lines):
        line = lines[index]
        if index < opening or strip_comment(line) is not None:
            start = index
            while index < len(lines) and strip_comment(lines[index]) is not None:
                index += 1
            block = lines[start:index]
            follows = index < len(lines) and lines[index].strip() and start >= opening
            if start < opening or follows:
                out += doxygen_block(block, declaration_after(lines, index) if start >= opening else "")
            else:
                out += block
            continue
        code, sep, trailing = line.partition("//")
        if sep and code.strip() and not code.strip().startswith("#") and trailing.strip() \
                and re.search(r"[;,]\s*$|\w\s*$", code):
            line = f"{code}///< {doxygen_escape(trailing.strip())}"
        out.append(line)
        index += 1
    return "\n".join(out) + "\n"


def doxygen_escape(text: str) -> str:
    """Prose as doxygen shows it as written: "<name>" is no HTML tag and "#NAME" no link, outside code spans."""
    parts = text.split("`")
    for index in range(0, len(parts), 2):
        parts[index] = re.sub(r"([<>#%])", r"\\\1", parts[index])
    return "`".join(parts)


def declaration_after(lines: list[str], index: int) -> str:
    """The declaration that starts at `index`, up to its ";" or "{"."""
    text = ""
    while index < len(lines) and not re.search(r"[;{]", text):
        text += " " + lines[index].partition("//")[0]
        index += 1
    return text


def doxygen_block(block: list[str], declaration: str = "") -> list[str]:
    indent = re.match(r"\s*", block[0]).group(0)
    texts = dedent([strip_comment(line) or "" for line in block])
    if any(text.startswith("@param") for text in texts):
        # The options struct a function takes is documented with its members; say where.
        documented = {name for text in texts if text.startswith("@param")
                      for name in parameter(text.removeprefix("@param").strip())[0]}
        for type_name, name in re.findall(r"\b(\w+(?:Options|Settings))\s+(\w+)\s*(?:=|,|\))", declaration):
            if name not in documented:
                texts.append(f"@param {name}  the named options: see {type_name}")
    out = []
    in_code = False
    in_tag = False
    for text in texts:
        if not text.strip():
            in_tag = False
        elif text.startswith("@"):
            in_tag = True
        is_code = text.startswith("  ") and text.strip() != "" and not in_tag
        if is_code and not in_code:
            out.append(f"{indent}/// @code")
            in_code = True
        elif not is_code and in_code and text.strip():
            out.append(f"{indent}/// @endcode")
            in_code = False
        if not in_code:
            text = doxygen_escape(text)
            text = re.sub(r"^@python\b", "@par Python:\n" + indent + "///", text)
            text = re.sub(r"^@raises\b", "@throws", text)
            text = re.sub(r"^@param (\w+(?:\s*,\s*\w+)+)",
                          lambda names: "@param " + re.sub(r"\s+", "", names.group(1)), text)
        out.append(f"{indent}/// {text}".rstrip())
    if in_code:
        out.append(f"{indent}/// @endcode")
    return out


def main(argv: list[str]) -> int:
    if len(argv) >= 2 and argv[0] == "--doxygen":
        sys.stdout.write(doxygen_filter(Path(argv[1])))
        return 0
    if len(argv) >= 2 and argv[0] == "--header":
        write_header(Path(argv[1]), parse_headers([Path(path) for path in argv[2:]]))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
