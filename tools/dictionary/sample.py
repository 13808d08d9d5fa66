#!/usr/bin/env python3
"""Draws a fixed random sample of dictionary entries from a learning database, for grading by hand.

    tools/dictionary/sample.py build/bin/peltavo.MDB [--count 150] [--seed 21] \\
        [--peltavo-db build/bin/peltavo-db] [--words-en FILE] [--words-tr FILE] > sample.txt

For each of the two dictionaries (isozluk, English-Turkish; tsozluk, Turkish-English) the script
dumps the table with `peltavo-db dump`, sorts the rows by headword (so that the sample does not
depend on the order the rows are stored in) and draws --count of them with Python's random module
seeded with --seed. The same database and seed give the same sample. Each entry is printed as

    it 17  headword
           1. first sense
           2. second sense

followed by a grading line "defect: ?  right: ?" for the teacher to fill in: a visible defect
(wrong letters, a stray mark, a broken word, a sense that is no Turkish or English) yes or no,
and whether the entry tells a learner rightly what the headword means, yes or no. With --grades
FILE, a graded copy of that output, the script counts the answers instead.

--words-en and --words-tr draw from the headwords of one dictionary that a word list names (a word
a line, the first column of a tab-separated line; letter case ignored, Turkish rules for Turkish),
for a sample of frequent words: a frequency list's first 10,000 lines, say. Lines starting with
"#" are comments.
"""

import argparse
import os
import random
import re
import subprocess
import sys

TABLES = [("it", "isozluk"), ("ti", "tsozluk")]


def dump(peltavo_db, database, table):
    text = subprocess.run([peltavo_db, "dump", database, table], check=True, capture_output=True,
                          text=True, encoding="utf-8").stdout
    rows = []
    for line in text.splitlines()[1:]:
        cols = line.split("\t")
        if len(cols) >= 3:
            meaning = cols[2].replace("\\r\\n", "\n").replace("\\t", "\t").replace("\\\\", "\\")
            rows.append((cols[1], meaning))
    rows.sort()
    return rows


def fold(word, turkish):
    if turkish:
        word = word.replace("I", "ı").replace("İ", "i")
    return word.lower()


def read_words(path, turkish):
    words = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                words.add(fold(line.split("\t")[0].strip(), turkish))
    return words


def draw(args):
    for direction, table in TABLES:
        rows = dump(args.peltavo_db, args.database, table)
        wanted = args.words_en if direction == "it" else args.words_tr
        if wanted:
            words = read_words(wanted, direction == "ti")
            rows = [row for row in rows if fold(row[0], direction == "ti") in words]
        rng = random.Random(f"{args.seed}-{table}")
        print(f"# {table}: {args.count} of {len(rows)} entries, seed {args.seed}")
        for number, (headword, meaning) in enumerate(rng.sample(rows, min(args.count, len(rows))), 1):
            print(f"{direction} {number:<3d} {headword}")
            for line in meaning.split("\n"):
                print(f"       {line}")
            print("       defect: ?  right: ?")
        print()


def count(path):
    answers = {}
    grade = re.compile(r"^\s+defect: (yes|no)\s+right: (yes|no)")
    direction = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            head = re.match(r"^(it|ti) \d+ ", line)
            if head:
                direction = head.group(1)
            m = grade.match(line)
            if m and direction:
                answers.setdefault(direction, []).append((m.group(1), m.group(2)))
    for direction, graded in answers.items():
        n = len(graded)
        defects = sum(1 for d, _ in graded if d == "yes")
        right = sum(1 for _, r in graded if r == "yes")
        print(f"{direction}: {n} graded, {defects} with a visible defect "
              f"({100 * defects / n:.1f} %), {right} right ({100 * right / n:.1f} %)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("database", nargs="?")
    parser.add_argument("--count", type=int, default=150)
    parser.add_argument("--seed", default="21")
    parser.add_argument("--peltavo-db", default=os.path.join("build", "bin", "peltavo-db"))
    parser.add_argument("--grades", help="count the answers of a graded sample instead")
    parser.add_argument("--words-en", help="draw English-Turkish entries only from these words")
    parser.add_argument("--words-tr", help="draw Turkish-English entries only from these words")
    args = parser.parse_args()
    if args.grades:
        count(args.grades)
    elif args.database:
        draw(args)
    else:
        parser.error("a database or --grades is needed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
