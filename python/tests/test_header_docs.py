"""The reading of the headers' comments that the docstrings and the C++ reference are made from."""

import pathlib
import sys
import textwrap

import pytest

DOCS = pathlib.Path(__file__).resolve().parents[2] / "docs"
sys.path.insert(0, str(DOCS))
import header_docs  # noqa: E402  (from the docs folder)

HEADER = textwrap.dedent("""\
    // What the header is for.
    #pragma once

    namespace ostrand::external::dfoundations {

    // The named options of Widget::make.
    struct MakeOptions {
        double width = 0.4;  // [m]
        bool as_file = false;
    };

    // A widget.
    //   Widget widget("a");
    class Widget {
    public:
        // Makes a widget.
        // @param name    unique, at most 10 characters
        // @param height  [m], measured from
        //                the top
        // @returns the widget's number
        // @throws errors::ModelError "Widget with name 'a' already exists"
        // @throws std::invalid_argument "not a number"
        // @python Returns an int.
        int make(const std::string& name, double height,
                 MakeOptions options = {});
        // One overload.
        void set(int value);
        // Another overload.
        void set(double value);
        int inline_body() const { return 1; }

    private:
        // Never documented: a user cannot reach it.
        int hidden_;
    };

    namespace detail {
    // Internal.
    enum class Kind { ONE = 1, TWO = 2 };
    }  // namespace detail

    }  // namespace ostrand::external::dfoundations
    """)


@pytest.fixture
def entries(tmp_path):
    header = tmp_path / "widget.hpp"
    header.write_text(HEADER, encoding="utf-8")
    return header_docs.parse_headers([header]), header


def test_declarations_are_named_as_users_write_them(entries):
    found, _ = entries
    assert {"MakeOptions", "MakeOptions::width", "Widget", "Widget::make", "Widget::set", "Widget::inline_body",
            "detail::Kind", "detail::Kind::ONE"} <= set(found)
    assert "Widget::hidden_" not in found  # private
    assert found["Widget::set"].comment == ["One overload.", "", "Another overload."]
    assert found["MakeOptions::width"].comment == ["[m]"]


def test_a_python_docstring_has_fields_python_names_and_no_cpp_example(entries):
    found, _ = entries
    assert header_docs.python_docstring(found["Widget::make"], found) == textwrap.dedent("""\
        Makes a widget.

        Returns an int.

        :param name: unique, at most 10 characters
        :param height: [m], measured from the top
        :param width: [m]
        :returns: the widget's number
        :raises ModelError: "Widget with name 'a' already exists"
        :raises ValueError: "not a number\"""")
    assert header_docs.python_docstring(found["Widget"], found) == "A widget."


def test_the_docstrings_header_is_a_cpp_table_with_escaped_utf8():
    assert header_docs.cpp_string('a "b" \\ c\n\u00b7') == '"a \\"b\\" \\\\ c\\n\\302\\267"'


def test_doxygen_reads_the_documenting_comments_only(entries):
    _, header = entries
    text = header_docs.doxygen_filter(header)
    assert text.startswith("/// @file\n/// What the header is for.")
    assert "    /// Makes a widget." in text
    assert "    double width = 0.4;  ///< [m]" in text
    assert "/// @code\n///   Widget widget(\"a\");\n/// @endcode" in text
    assert "@param options  the named options: see MakeOptions" in text
    assert "/// @par Python:" in text


def test_every_public_declaration_of_the_library_says_what_it_is_for():
    # What a user can reach: not in detail::, not an internal name (leading underscore), not private.
    headers = sorted((DOCS.parent / "include" / "ostrand").rglob("*.hpp"))
    found = header_docs.parse_headers(headers)
    undocumented = [name for name, entry in found.items()
                    if "detail" not in name.split("::") and not any(part.startswith(("_", "~")) for part in name.split("::"))
                    and entry.kind != "enumerator" and not any(line.strip() for line in entry.comment)]
    assert undocumented == []
