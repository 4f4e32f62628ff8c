#!/usr/bin/env python3
"""Writes a project of sequence diagrams that try the exports' clients:
names and captions that their markup, preprocessors and parsers read as
their own, a self-call, a 200-deep stack, 2,000 messages and 300
self-calls, and a recording's loops (nested, and across the parts the
exports cut) and lost markers, captioned with the hostile texts.

usage: hostile_project.py OUT.mmproj"""
import json
import sys

HOSTILE = [
    ":", ";", "#", "<>", "-->", '"', "'", "{}", "[]", "|", "\\", "&", "%", "~",
    "__x__", "--x--", "**x**", "//x//", '""m""', "<b>", "<br>", "\\n", "$x$", "$$x$$",
    '%getenv("HOME")', "%dirpath()", "!include /etc/passwd", "[[x]]", "end", "loop",
    "alt", "participant", "note", "#60;", "&#60;", "wrap:x", "a;b", "a,b", "P0",
    "%%{init: {\"theme\": \"dark\"}}%%", "Grüße, 東京", "x" * 120,
]


class Project:
    def __init__(self):
        self.next_id = 1
        self.diagrams = []

    def new_id(self):
        self.next_id += 1
        return self.next_id

    def diagram(self, name, roles, messages, frames=()):
        """roles: names; messages: (from, to, caption, start, end[, until])
        by role index and time, a caption None for a return. Each call's
        target is active while it runs (or until the time given). frames:
        (kind, caption, start, end), kind "loop" or "lost"."""
        shapes, ids = [], []
        for i, role in enumerate(roles):
            ids.append(self.new_id())
            shapes.append({"id": ids[-1], "class": "rolesymbol", "caption": role,
                           "x": 150 * i, "properties": {"RoleKind": "rkInstance"},
                           "activations": ""})
        for source, target, caption, start, end, *until in messages:
            shapes.append({"id": self.new_id(), "class": "sequencemessage", "caption": caption or "",
                           "source": ids[source], "target": ids[target],
                           "properties": {"MessageKind": "mkCall" if caption is not None else "mkReturn",
                                          "StartTime": str(start), "EndTime": str(end)}})
            if caption is not None:
                shapes[target]["activations"] += f"({start},{until[0] if until else end + 10})"
        for kind, caption, start, end in frames:
            shapes.append({"id": self.new_id(), "class": "sequenceframe", "caption": caption,
                           "properties": {"FrameKind": kind, "StartTime": str(start),
                                          "EndTime": str(end)}})
        self.diagrams.append({"id": self.new_id(), "kind": 6, "name": name, "shapes": shapes})

    def write(self, path):
        with open(path, "w", encoding="utf-8") as out:
            json.dump({"format": "dravolex-project", "version": 1, "modules": [],
                       "classes": [], "diagrams": self.diagrams}, out, ensure_ascii=False, indent=1)


def main():
    project = Project()
    # Every hostile text as a lifeline and as the caption of the call to it.
    roles = ["Caller"] + HOSTILE
    project.diagram("sqHostile %getenv(\"HOME\") & <c> __u__",
                    roles, [(0, i, text, 40 + 30 * i, 40 + 30 * i) for i, text in enumerate(HOSTILE, 1)])
    project.diagram("sqSelfCall", ["A", "B"],
                    [(0, 1, "run()", 40, 40), (1, 1, "again()", 70, 95), (1, 0, "done()", 130, 130)])
    depth = 200
    project.diagram("sqDeepStack", [f"TLevel{i}" for i in range(depth + 1)],
                    [(i, i + 1, f"Call{i + 1}()", 40 + 25 * i, 40 + 25 * i, 50 + 35 * depth - 10 * i)
                     for i in range(depth)])
    project.diagram("sqManyMessages", ["TClient", "TServer", "TStore", "TLog"],
                    [(i % 3, i % 3 + 1, f"Step{i}(x, y)", 40 + 25 * i, 40 + 25 * i)
                     for i in range(2000)])
    project.diagram("sqManySelfCalls", ["TWorker", "TQueue"],
                    [(0, 0, f"Retry{i}()", 40 + 40 * i, 60 + 40 * i) for i in range(300)])
    # A recording: 60 rounds of a call and its return, loops around them
    # (one across the exports' part cut, nested ones, one per hostile text)
    # and lost markers.
    steps = []
    for i in range(60):
        steps += [(0, 1 + i % 2, f"Round{i}()", 40 + 50 * i, 40 + 50 * i, 60 + 50 * i),
                  (1 + i % 2, 0, None, 65 + 50 * i, 65 + 50 * i)]
    frames = [("loop", "loop \u00d7120", 40, 2990), ("loop", "loop \u00d73", 40, 1015),
              ("loop", "loop \u00d72", 40, 65), ("lost", "lost: batches 17\u201319", 1020, 1020)]
    frames += [("loop", f"loop {text}", 1040 + 50 * i, 1065 + 50 * i) for i, text in enumerate(HOSTILE[:30])]
    frames += [("lost", f"lost: {text}", 2525 + 50 * i, 2525 + 50 * i) for i, text in enumerate(HOSTILE[30:39])]
    project.diagram("sqRecording hostile 4712", ["System", "TShop", "TStock"], steps, frames)
    project.write(sys.argv[1])


if __name__ == "__main__":
    main()
