#!/usr/bin/env python3
"""Writes a large project, for trying the hosts at scale: CLASSES classes of
twelve members (five methods with code), one module per hundred classes,
and a class diagram per twenty classes with associations between them.

usage: large-project.py OUT.mmproj [CLASSES]"""
import json
import sys


def main():
    out, count = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 40000
    ids = iter(range(1, 10**9))
    modules = [{"id": next(ids), "name": f"uUnit{m}", "header": f"unit uUnit{m};\r\n"}
               for m in range((count + 99) // 100)]
    classes = []
    for c in range(count):
        members = []
        for k in range(12):
            method = k % 12 >= 7
            member = {"id": next(ids), "category": "method" if method else "field",
                      "name": f"Operation{k}" if method else f"FValue{k}",
                      "type": "" if method else "Integer", "visibility": "scPublic"}
            if method:
                member.update({"kind": "procedure",
                               "sections": [f"begin\r\n  FValue{k - 7} := {c};\r\nend;\r\n"]})
            members.append(member)
        classes.append({"id": next(ids), "name": f"TClass{c}", "module": modules[c // 100]["id"],
                        "members": members})
    diagrams = []
    for d in range(0, count, 20):
        shapes = []
        for i, cls in enumerate(classes[d:d + 20]):
            shapes.append({"id": next(ids), "class": "ClassSymbol", "caption": cls["name"],
                           "x": 40 + 220 * (i % 5), "y": 40 + 260 * (i // 5),
                           "hyperlinks": [{"kind": "class", "target": cls["id"]}]})
        for a, b in zip(shapes, shapes[1:]):
            shapes.append({"id": next(ids), "class": "association", "caption": "uses",
                           "source": a["id"], "target": b["id"]})
        diagrams.append({"id": next(ids), "kind": 0, "name": f"csClasses{d // 20}", "shapes": shapes})
    with open(out, "w", encoding="utf-8") as f:
        json.dump({"format": "dravolex-project", "version": 1, "modules": modules,
                   "classes": classes, "diagrams": diagrams}, f)


if __name__ == "__main__":
    main()
