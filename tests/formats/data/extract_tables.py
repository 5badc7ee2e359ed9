#!/usr/bin/env python3
"""Writes the shader catalogue and hardware shader tables of a markdown document
as tab-separated files, one record a line, every stage expanded to its four
integers (stage number, map kind, blend, texture coordinate set).

    extract_tables.py DOCUMENT.md OUTPUT_FOLDER

The catalogue table is the one whose header starts "| # | Name | Short
description |", the hardware table the one whose header is "| # | Name |
Stages |". A used stage at position p is {p, kind, blend, p}; an unused one
is {-1, 0, -1, 0}. A hardware name written "-" is stored empty.
"""
import os
import sys

CATALOGUE_STAGES = 4
HARDWARE_STAGES = 8


def cells(line):
    return [c.strip() for c in line.strip().strip("|").split("|")]


def find_table(lines, header_start):
    for i, line in enumerate(lines):
        if line.startswith(header_start):
            rows = []
            for row in lines[i + 2:]:
                if not row.startswith("|"):
                    break
                rows.append(cells(row))
            return rows
    sys.exit("table not found: " + header_start)


def number(text):
    return int(text, 16) if text.lower().startswith("0x") else int(text)


def stages(text, count):
    out = []
    pairs = [] if text == "none" else text.split()
    if len(pairs) > count:
        sys.exit("too many stages: " + text)
    for pos in range(count):
        if pos < len(pairs):
            kind, blend = pairs[pos].split("/")
            out += [pos, number(kind), number(blend), pos]
        else:
            out += [-1, 0, -1, 0]
    return [str(v) for v in out]


def unquote(text):
    return text[1:-1] if len(text) >= 2 and text[0] == '"' and text[-1] == '"' else text


def hardware_name(text):
    return "" if text == "-" else text


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], encoding="utf-8") as f:
        lines = f.read().splitlines()

    catalogue = find_table(lines, "| # | Name | Short description |")
    hardware = find_table(lines, "| # | Name | Stages |")

    with open(os.path.join(sys.argv[2], "shader_catalogue.tsv"), "w", encoding="utf-8", newline="\n") as out:
        out.write("# index\tname\tshort\tdx7\tdx8\tdx9\tvariant\tblend\tmode\tstages\tspecular\t"
                  "stage records (4 x 4)\n")
        for n, row in enumerate(catalogue):
            if len(row) != 12 or int(row[0]) != n:
                sys.exit("bad catalogue row: %r" % row)
            fields = [row[0], row[1], unquote(row[2]), hardware_name(row[3]), hardware_name(row[4]),
                      hardware_name(row[5]), row[6], row[7], row[8], row[9], row[11]]
            fields += stages(row[10], CATALOGUE_STAGES)
            out.write("\t".join(fields) + "\n")

    with open(os.path.join(sys.argv[2], "hardware_shaders.tsv"), "w", encoding="utf-8", newline="\n") as out:
        out.write("# index\tname\tstage records (8 x 4)\n")
        for n, row in enumerate(hardware):
            if len(row) != 3 or int(row[0]) != n:
                sys.exit("bad hardware row: %r" % row)
            out.write("\t".join([row[0], row[1]] + stages(row[2], HARDWARE_STAGES)) + "\n")


if __name__ == "__main__":
    main()
