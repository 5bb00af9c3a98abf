#!/usr/bin/env python3
"""Build Vardel's country tables from the country-files cty.csv.

Writes, into the output folder:
  arrlpre2.txt            one row per call-sign prefix: prefix, country, continent, longitude
                          (west positive), latitude, CQ zone, ITU zone, UTC offset; sorted by
                          prefix in plain byte order (digits before letters), which the
                          call-to-country lookup relies on
  ADIFCnt.txt             "Country",DXCC-number for every DXCC entity of the source
  COUNTRY-FILES-LICENSE   the licence notice of the source data

Both tables use the program's field form: quoted text, bare numbers, CR LF, Windows-1252.

Usage: make_prefix_table.py [--cty PATH] [--copyright PATH] [--out DIR]
The defaults read the Debian package hamradio-files and write data/ beside this script.
"""

import argparse
import csv
import hashlib
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_CTY = "/usr/share/hamradio-files/cty.csv"
DEFAULT_COPYRIGHT = "/usr/share/doc/hamradio-files/copyright"
DEFAULT_OUT = os.path.join(os.path.dirname(HERE), "data")

# The logger shows and compares these names; the operator types them in the country field.
NAME_MAP = {
    "United States": "USA",
}

# Zone, coordinate, continent and time overrides attached to a prefix: (5) [8] <lat/lon> {NA} ~-5~
OVERRIDES = re.compile(r"\([^)]*\)|\[[^\]]*\]|<[^>]*>|\{[^}]*\}|~[^~]*~")


def number_text(value):
    """Shortest bare number: 5.0 -> 5, -138.38 -> -138.38."""
    f = float(value)
    if f == int(f):
        return str(int(f))
    return repr(f)


def quoted(text):
    if '"' in text:
        raise ValueError("a double quote cannot be written in a quoted field: %r" % text)
    return '"' + text + '"'


class Entity:
    def __init__(self, row):
        (self.primary, name, dxcc, self.continent, cq, itu, lat, lon, utc, prefixes) = row
        self.name = NAME_MAP.get(name, name)
        self.dxcc = int(dxcc)
        self.cq = int(cq)
        self.itu = int(itu)
        self.latitude = float(lat)
        # cty.csv already counts longitudes positive west, as the heading calculation expects.
        self.longitude = float(lon)
        self.utc = float(utc)
        self.prefixes = []
        for token in prefixes.strip().rstrip(";").split():
            if token.startswith("="):
                continue  # a single station's call, not a prefix
            prefix = OVERRIDES.sub("", token).upper()
            if prefix and prefix not in self.prefixes:
                self.prefixes.append(prefix)


def read_entities(path):
    entities = []
    with open(path, encoding="utf-8", newline="") as f:
        for lineno, row in enumerate(csv.reader(f), 1):
            if not row:
                continue
            if len(row) != 10:
                raise SystemExit("%s:%d: expected 10 fields, found %d" % (path, lineno, len(row)))
            if row[0].startswith("*"):
                continue  # contest-only entities: their calls count for the DXCC parent
            entities.append(Entity(row))
    return entities


def build_rows(entities):
    owner = {}
    for e in entities:
        for p in e.prefixes:
            if p in owner and owner[p] is not e:
                # The first entity listed keeps a prefix claimed twice; say so, the data is odd.
                print("warning: prefix %s claimed by %s and %s; kept %s"
                      % (p, owner[p].name, e.name, owner[p].name), file=sys.stderr)
                continue
            owner[p] = e

    def parent(p):
        for n in range(len(p) - 1, 0, -1):
            if p[:n] in owner:
                return owner[p[:n]]
        return None

    # Once overrides are stripped, a prefix whose nearest shorter prefix belongs to the same
    # entity answers every call exactly as that shorter one does: drop it to keep blocks short.
    kept = sorted((p for p, e in owner.items() if parent(p) is not e),
                  key=lambda p: p.encode("cp1252"))
    return [(p, owner[p]) for p in kept]


def write_prefix_table(path, rows):
    lines = []
    for p, e in rows:
        lines.append(",".join([quoted(p), quoted(e.name), quoted(e.continent),
                               number_text(e.longitude), number_text(e.latitude),
                               str(e.cq), str(e.itu), number_text(e.utc)]))
    write_text(path, lines)


def write_country_numbers(path, entities):
    lines = [quoted(e.name) + "," + str(e.dxcc)
             for e in sorted(entities, key=lambda e: e.name.lower())]
    write_text(path, lines)


def write_text(path, lines):
    data = "".join(line + "\r\n" for line in lines).encode("cp1252")
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def write_licence(path, copyright_path, cty_path):
    with open(copyright_path, encoding="utf-8") as f:
        notice = f.read()
    with open(cty_path, "rb") as f:
        digest = hashlib.md5(f.read()).hexdigest()
    header = ("The files arrlpre2.txt and ADIFCnt.txt in this folder are generated by\n"
              "tools/make_prefix_table.py from %s (country-files,\n"
              "Debian package hamradio-files). Its copyright file follows.\n"
              "source-md5: %s\n\n"
              % (os.path.basename(cty_path), digest))
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(header + notice)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--cty", default=DEFAULT_CTY)
    ap.add_argument("--copyright", default=DEFAULT_COPYRIGHT)
    ap.add_argument("--out", default=DEFAULT_OUT)
    args = ap.parse_args(argv)

    entities = read_entities(args.cty)
    rows = build_rows(entities)
    if len(rows) > 10000:
        raise SystemExit("%d prefix rows: more than the logger's 10000" % len(rows))
    os.makedirs(args.out, exist_ok=True)
    write_prefix_table(os.path.join(args.out, "arrlpre2.txt"), rows)
    write_country_numbers(os.path.join(args.out, "ADIFCnt.txt"), entities)
    if os.path.exists(args.copyright):
        write_licence(os.path.join(args.out, "COUNTRY-FILES-LICENSE"), args.copyright, args.cty)
    else:
        print("warning: %s not found; licence notice not written" % args.copyright, file=sys.stderr)
    without = sorted(e.name for e in entities if not any(o is e for _, o in rows))
    print("%d prefix rows, %d entities (%d listed by single calls only: %s)"
          % (len(rows), len(entities), len(without), ", ".join(without)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
