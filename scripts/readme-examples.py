#!/usr/bin/env python3
"""Keeps the command-line examples of the README true to the shipped example files.

The README marks its examples with HTML comments (invisible on the rendered page), each
followed by a fenced code block:

  <!-- readme-example: run ARGS -->     the block becomes "$ kelmora-cli ARGS" and what
                                        that command prints
  <!-- readme-example: commands -->     every line of the block is a kelmora-cli command
                                        (a "# comment" after it is allowed); each must
                                        succeed, in order
  <!-- readme-example: file NAME N -->  the block becomes the first N lines of the file
                                        NAME made by the commands before it, long lists of
                                        values shortened to "first, ..., last"

The commands run in a scratch folder holding a copy of examples/, one after another, so
a later block can use what an earlier one wrote.

  scripts/readme-examples.py [--cli PATH]          rewrite the blocks
  scripts/readme-examples.py --check [--cli PATH]  only compare; exit 1 when a block
                                                   is out of step or a command fails

Run it again after changing kelmora-cli's output or its commands. PATH defaults to
build/cli/kelmora-cli.
"""

import argparse
import difflib
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# The README and the command-line section kept beside the tool's sources.
DOCUMENTS = ["README.md"]
EXAMPLE_SUFFIXES = (".kmd", ".raw", ".inf")
MARKER = re.compile(r"^<!-- readme-example: (.*?) -->$")
SHOWN_VALUES = 6  # values kept at the start of a shortened list
LONG_LINE = 72


class ExampleError(Exception):
    pass


def run(cli, folder, words):
    result = subprocess.run([cli] + words, cwd=folder, capture_output=True, text=True)
    if result.returncode != 0:
        raise ExampleError(
            "kelmora-cli %s failed (exit %d): %s"
            % (" ".join(words), result.returncode, result.stderr.strip())
        )
    return result.stdout


def shorten(line):
    """A long comma-separated list of values as its first values, "...", the last one."""
    if len(line) <= LONG_LINE or "," not in line:
        return line
    values = line.split(",")
    if len(values) <= SHOWN_VALUES + 1:
        return line
    return ",".join(values[:SHOWN_VALUES] + ["...", values[-1]])


def command_words(line):
    text = line.split("#", 1)[0].strip()
    words = shlex.split(text)
    if not words or words[0] != "kelmora-cli":
        raise ExampleError("not a kelmora-cli command: " + line)
    return words[1:]


def fenced_block(lines, start):
    """The index of the opening fence after start and of its closing fence."""
    opening = start + 1
    if opening >= len(lines) or not lines[opening].startswith("```"):
        raise ExampleError("line %d: the marker is not followed by a code block" % (start + 1))
    for closing in range(opening + 1, len(lines)):
        if lines[closing].startswith("```"):
            return opening, closing
    raise ExampleError("line %d: the code block does not end" % (opening + 1))


def generate(text, cli, folder):
    """The document with every marked block regenerated."""
    lines = text.split("\n")
    out = []
    i = 0
    while i < len(lines):
        match = MARKER.match(lines[i])
        if not match:
            out.append(lines[i])
            i += 1
            continue
        kind, _, rest = match.group(1).partition(" ")
        opening, closing = fenced_block(lines, i)
        body = lines[opening + 1 : closing]
        if kind == "run":
            words = shlex.split(rest)
            shown = run(cli, folder, words).rstrip("\n").split("\n")
            body = ["$ kelmora-cli " + rest] + shown
        elif kind == "commands":
            for line in body:
                if line.strip():
                    run(cli, folder, command_words(line))
        elif kind == "file":
            name, count = rest.rsplit(" ", 1)
            with open(os.path.join(folder, name), encoding="latin-1") as made:
                head = made.read().split("\n")[: int(count)]
            body = [shorten(line) for line in head]
        else:
            raise ExampleError("line %d: unknown example kind %r" % (i + 1, kind))
        out.extend(lines[i : opening + 1])
        out.extend(body)
        out.append(lines[closing])
        i = closing + 1
    return "\n".join(out)


def scratch_folder():
    folder = tempfile.mkdtemp(prefix="kelmora-readme-")
    examples = os.path.join(ROOT, "examples")
    for name in sorted(os.listdir(examples)):
        if name.endswith(EXAMPLE_SUFFIXES):
            shutil.copy(os.path.join(examples, name), folder)
    return folder


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--check", action="store_true", help="compare only; exit 1 when out of step")
    parser.add_argument("--cli", default=os.path.join(ROOT, "build", "cli", "kelmora-cli"))
    options = parser.parse_args()
    if not os.access(options.cli, os.X_OK):
        print("readme-examples: no kelmora-cli at %s (build it first)" % options.cli, file=sys.stderr)
        return 2

    stale = []
    for document in DOCUMENTS:
        path = os.path.join(ROOT, document)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        folder = scratch_folder()
        try:
            fresh = generate(text, options.cli, folder)
        except ExampleError as error:
            print("readme-examples: %s: %s" % (document, error), file=sys.stderr)
            return 1
        finally:
            shutil.rmtree(folder, ignore_errors=True)
        if fresh == text:
            continue
        stale.append(document)
        if options.check:
            sys.stdout.writelines(
                difflib.unified_diff(
                    text.splitlines(True), fresh.splitlines(True), document, document + " (examples)"
                )
            )
        else:
            with open(path, "w", encoding="utf-8") as f:
                f.write(fresh)
            print("readme-examples: rewrote " + document)

    if options.check and stale:
        print(
            "readme-examples: %s out of step with the examples; run scripts/readme-examples.py"
            % ", ".join(stale),
            file=sys.stderr,
        )
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
