"""The README's Python blocks run as written, one after the other, from the repository's root."""

import contextlib
import io
import re

from conftest import REPOSITORY


def test_the_readme_python_blocks_run(monkeypatch):
    blocks = re.findall(r"```python\n(.*?)```", (REPOSITORY / "README.md").read_text(), re.DOTALL)
    assert blocks
    monkeypatch.chdir(REPOSITORY)
    namespace = {}
    printed = io.StringIO()
    with contextlib.redirect_stdout(printed):
        for block in blocks:
            exec(compile(block, "README.md", "exec"), namespace)
    assert "Pile with name '1' already exists" in printed.getvalue()
    assert isinstance(namespace["input_file"], bytes)
