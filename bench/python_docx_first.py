#!/usr/bin/env python3
"""First-line mode through python-docx, for the batch benchmark's comparison.

For each .docx file of FOLDER (sorted by name): opens it with python-docx, inserts the lines as
new paragraphs at the start of the body, each one run in the given font name and size, and saves
the document in place (python-docx writes the file directly: no temporary file, no flush).

    python_docx_first.py FOLDER --lines "one\\ntwo" --font Arial --size 12

Prints one line "documents N ms T cpu_ms C": the time of the loop over the documents alone
(the interpreter's start and the import of docx excluded). Exits 1 when a document fails.
"""
import argparse
import os
import sys
import time

from docx import Document
from docx.shared import Pt


def insert_first(path, lines, font, size):
    document = Document(path)
    body = document.element.body
    for index, text in enumerate(lines):
        paragraph = document.add_paragraph()
        run = paragraph.add_run(text)
        run.font.name = font
        run.font.size = Pt(size)
        body.remove(paragraph._p)
        body.insert(index, paragraph._p)
    document.save(path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--lines", required=True)
    parser.add_argument("--font", required=True)
    parser.add_argument("--size", type=float, required=True)
    args = parser.parse_args()
    lines = args.lines.split("\n")
    names = sorted(n for n in os.listdir(args.folder) if n.lower().endswith(".docx"))
    cpu0, t0 = time.process_time(), time.perf_counter()
    failed = 0
    for name in names:
        try:
            insert_first(os.path.join(args.folder, name), lines, args.font, args.size)
        except Exception as error:  # reported, and the run goes on with the next document
            failed += 1
            print("%s: %s" % (name, error), file=sys.stderr)
    ms = (time.perf_counter() - t0) * 1e3
    cpu_ms = (time.process_time() - cpu0) * 1e3
    print("documents %d ms %.3f cpu_ms %.3f" % (len(names), ms, cpu_ms))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
