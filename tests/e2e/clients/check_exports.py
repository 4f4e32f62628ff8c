#!/usr/bin/env python3
"""Exports every sequence diagram of the example and of a hostile project
(hostile_project.py) as PlantUML and Mermaid text with the host, has the
real clients draw them (Debian's plantuml; the Mermaid CLI, when given) and
checks that each client accepts every part and shows every name and caption
of the model as it is.

usage: check_exports.py HOST EXAMPLE.mmproj [MMDC PUPPETEER.json]"""
import json
import pathlib
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

HERE = pathlib.Path(__file__).resolve().parent


# What Mermaid cannot show in a loop's label, and the full-width forms the
# export gives instead.
MERMAID_LABEL = str.maketrans("#;<>&$", "\uff03\uff1b\uff1c\uff1e\uff06\uff04")


def unwrapped(drawn):
    """The texts shown, a label that the client wrapped over lines (broken
    at a blank, or within a word with a hyphen) made whole again, blanks
    left out."""
    return "".join(line[:-1] if line.endswith("-") else line
                   for line in drawn.split("\n")).replace(" ", "")


def sequence_diagrams(project):
    """(id, name, texts, labels) of each sequence diagram: the texts it must
    show, and the labels of its loops."""
    with open(project, encoding="utf-8") as f:
        model = json.load(f)
    for d in model["diagrams"]:
        shapes = d.get("shapes", [])
        if not any(s["class"] == "rolesymbol" for s in shapes):
            continue
        texts = [d["name"]] + [s.get("caption", "") for s in shapes
                               if s["class"] in ("rolesymbol", "sequencemessage")]
        texts += [s["caption"] for s in shapes
                  if s["class"] == "sequenceframe" and s["properties"]["FrameKind"] == "lost"]
        # A loop's frame shows its label after the client's own "loop".
        labels = [s["caption"].removeprefix("loop ") for s in shapes
                  if s["class"] == "sequenceframe" and s["properties"]["FrameKind"] == "loop"]
        yield d["id"], d["name"], [t for t in texts if t], labels


def shown(svg_files):
    """Every text the pictures show, one text element a line."""
    lines = []
    for svg in svg_files:
        root = ET.parse(svg).getroot()
        for text in root.iter("{http://www.w3.org/2000/svg}text"):
            lines.append("".join(text.itertext()).replace("\u00a0", " "))
    return "\n".join(lines)


def parts(folder, stem, suffix, second):
    """The files of one export's parts: stem+suffix, then the numbered ones."""
    first = folder / f"{stem}{suffix}"
    found = [first] if first.exists() else []
    n = 1
    while (folder / second(stem, n)).exists():
        found.append(folder / second(stem, n))
        n += 1
    return found


def main():
    host, example = sys.argv[1], sys.argv[2]
    mmdc = sys.argv[3:5]
    failures = []
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        hostile = work / "hostile.mmproj"
        subprocess.run([sys.executable, HERE / "hostile_project.py", hostile], check=True)
        diagrams = []
        for project in (example, hostile):
            script = work / "export.txt"
            found = list(sequence_diagrams(project))
            script.write_text("".join(
                f'export-plantuml #{i} "{work}/d{i}.puml"\nexport-mermaid #{i} "{work}/d{i}.mmd"\n'
                for i, _, _, _ in found))
            subprocess.run([host, project, "-c", f'run "{script}"'], check=True,
                           stdout=subprocess.DEVNULL)
            diagrams += found

        # PlantUML: one run for every file; each block becomes name.svg,
        # name_001.svg and on.
        (work / "puml").mkdir()
        run = subprocess.run(["plantuml", "-tsvg", "-o", str(work / "puml")]
                             + [str(work / f"d{i}.puml") for i, _, _, _ in diagrams],
                             capture_output=True, text=True)
        if run.returncode != 0:
            failures.append(f"plantuml failed ({run.returncode}): {run.stderr[-2000:]}")
        for i, name, texts, labels in diagrams:
            svgs = parts(work / "puml", f"d{i}", ".svg", lambda s, n: f"{s}_{n:03}.svg")
            blocks = (work / f"d{i}.puml").read_text(encoding="utf-8").count("@startuml")
            if len(svgs) != blocks:
                failures.append(f"PlantUML drew {len(svgs)} of {blocks} parts of {name}")
            for svg in svgs:
                height = float(ET.parse(svg).getroot().get("height", "0").rstrip("px"))
                if height > 4096:  # PlantUML's default limit for pictures
                    failures.append(f"a PlantUML part of {name} is {height} px tall")
            drawn = shown(svgs)
            for marker in ("Syntax Error", "An error has occured", "already done"):
                if marker in drawn:
                    failures.append(f"PlantUML refused {name}: {drawn[:300]!r}")
            failures += [f"PlantUML does not show {t!r} of {name}" for t in texts + labels
                         if t not in drawn]

        # Mermaid: every part of every diagram as one Markdown file, drawn in
        # one run of the CLI as all-1.svg, all-2.svg and on.
        if mmdc:
            blocks, owner = [], []
            for i, name, _, _ in diagrams:
                for part in parts(work, f"d{i}", ".mmd", lambda s, n: f"{s}-{n + 1}.mmd"):
                    text = part.read_text(encoding="utf-8")
                    if len(text) > 50000:
                        failures.append(f"a Mermaid part of {name} has {len(text)} characters")
                    blocks.append("```mermaid\n" + text + "```\n")
                    owner.append(i)
            (work / "all.md").write_text("\n".join(blocks), encoding="utf-8")
            run = subprocess.run([mmdc[0], "-p", mmdc[1], "-i", str(work / "all.md"),
                                  "-o", str(work / "all.svg")], capture_output=True, text=True)
            if run.returncode != 0:
                failures.append(f"mmdc failed ({run.returncode}): {run.stderr[-2000:]}")
            else:
                for i, name, texts, labels in diagrams:
                    drawn = shown([work / f"all-{k + 1}.svg" for k, o in enumerate(owner) if o == i])
                    failures += [f"Mermaid does not show {t!r} of {name}" for t in texts
                                 if t not in drawn]
                    failures += [f"Mermaid does not show the loop {l!r} of {name}" for l in labels
                                 if l.translate(MERMAID_LABEL).replace(" ", "") not in unwrapped(drawn)]
    for failure in failures:
        print(failure)
    print(f"{len(diagrams)} diagrams checked, {len(failures)} failures"
          + ("" if mmdc else " (PlantUML only)"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
