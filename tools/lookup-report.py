#!/usr/bin/env python3
"""How often a clicked or double-clicked word finds its own dictionary entry.

Replays a click into every word of every conversation of a learning database, as a learner
makes it: the English side against the English-Turkish dictionary (direction "it"), the Turkish
side against the Turkish-English one ("ti"). Each click goes through the program's own word pick
and dictionary search (`peltavo-db search --clicks`), so the search text is the one the click
puts into the box (cut to its front half when long, a trailing blank kept) and the rows are the
ones the grid lists after "Sözlükte Ara". Each double-click goes through the program's own choice
of the word's base form (`peltavo-db search --double-clicks`, the code the window runs): the word
when it is a headword, the base its entry names, its Hunspell stem that is a headword, else the
front half as a click picks it.

A click counts as found when the word's own entry, or the entry of its lemma, is

  - the grid's first row,
  - among the 4 rows the grid shows,
  - among its first 10 rows.

A headword is the word's own entry when, lower-cased (Turkish rules for Turkish: I/ı, İ/i),
it is exactly the word without the punctuation around it. The lemmas of a word:

  - the `form = base` entries of the dictionaries (content/dictionary/en-tr and tr-en);
  - for English, these rules, each tried on its own, their results looked up in those forms
    too: a possessive 's or s' goes; a contraction gives its first word (don't -> do,
    can't -> can, won't -> will, I'm -> I, we'll -> we); a plural or third-person -s, -es or
    -ies goes (words of four letters or more: cats -> cat, boxes -> box, cities -> city, but
    not is, was, his); -ed and -ing go, with a final e put back or a doubled consonant undone
    (liked -> like, stopped -> stop, tried -> try, making -> make, running -> run).

A word is a run of characters up to a blank, as the word pick sees it; one without a letter
(a dash, a number) is not counted. The lines are the stored lines of each conversation; the
program's memo may wrap a long line, which leaves every click's search text as it is here.

Usage (from the repository, after building peltavo-db and the database):

  python3 tools/lookup-report.py [--db build/bin/peltavo.MDB] [--tool build/bin/peltavo-db]
                                 [--dictionary content/dictionary] [--misses 25]

Prints the table of both directions in Markdown, with a click's and a double-click's figures side
by side; the same clicks split by whether the word pick left the word whole or cut it to its
front half; the double-clicks split by what gave their search text; then the commonest misses of
each: the words whose entry is not the grid's first row, with how often they were clicked, the
search text and the first rows the grid showed.
"""

import argparse
import collections
import glob
import json
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SHOWN_ROWS = 4
LISTED_ROWS = 10


def fold(text, turkish):
    """Lower case as the language writes it; curly apostrophes become straight ones."""
    text = text.replace("\u2019", "'").replace("\u02bc", "'")
    if turkish:
        text = text.replace("I", "ı").replace("İ", "i")
    return text.lower()


def bare(word, turkish):
    """The word without the punctuation around it, lower-cased."""
    return re.sub(r"^[\W_]+|[\W_]+$", "", fold(word, turkish))


def read_forms(folder):
    """{form: base} from the `form = base` headwords of every .txt file in `folder`: an entry's
    line, or a block's first line (its indented senses are skipped)."""
    lemmas = {}
    for path in sorted(glob.glob(os.path.join(folder, "*.txt"))):
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line[:1].isspace() or line.startswith("#"):
                    continue
                line = line.strip()
                if not line:
                    continue
                head = line.split("|", 1)[0]
                if "=" in head:
                    form, base = (part.strip() for part in head.split("=", 1))
                    if form and base:
                        lemmas[form] = base
    return lemmas


CONTRACTIONS = {"won't": "will", "can't": "can", "shan't": "shall", "ain't": "be"}
VOWELS = set("aeiou")


def english_rules(word):
    """Candidate lemmas of an English word by the rules of the module's documentation."""
    out = set()
    if word in CONTRACTIONS:
        out.add(CONTRACTIONS[word])
    if word.endswith("n't") and len(word) > 3:
        out.add(word[:-3])
    m = re.match(r"^(.+?)'(s|m|re|ve|ll|d)$", word)
    if m:
        out.add(m.group(1))
    if word.endswith("s'") and len(word) > 2:
        out.add(word[:-1])
    if len(word) >= 4 and word.endswith("s") and not word.endswith("ss"):
        out.add(word[:-1])
        if word.endswith("ies"):
            out.add(word[:-3] + "y")
        elif word.endswith("es"):
            out.add(word[:-2])
    for suffix in ("ed", "ing"):
        if len(word) > len(suffix) + 2 and word.endswith(suffix):
            stem = word[: -len(suffix)]
            out.update({stem, stem + "e"})
            if len(stem) >= 3 and stem[-1] == stem[-2] and stem[-1] not in VOWELS:
                out.add(stem[:-1])
            if suffix == "ed" and stem.endswith("i"):
                out.add(stem[:-1] + "y")
    if word.endswith("ed") and len(word) > 3:
        out.add(word[:-1])  # liked -> like
    out.discard("")
    out.discard(word)
    return out


def targets(word, turkish, forms):
    """The headwords, lower-cased, that count as the word's own entry or its lemma's."""
    own = bare(word, turkish)
    found = {own}
    if not turkish:
        found |= english_rules(own)
    for candidate in list(found):
        base = forms.get(candidate)
        if base:
            found.add(fold(base, turkish))
    found.discard("")
    return found


def run_clicks(tool, db, direction, lines, mode="--clicks"):
    """What each click (or double-click) into each word of `lines` finds: one list of words per
    line."""
    data = "".join(json.dumps(line, ensure_ascii=False) + "\n" for line in lines)
    result = subprocess.run(
        [tool, "search", db, direction, mode, "--rows", str(LISTED_ROWS)],
        input=data.encode("utf-8"), capture_output=True, check=False)
    if result.returncode != 0:
        sys.exit(f"{tool} search failed: {result.stderr.decode('utf-8', 'replace').strip()}")
    out = result.stdout.decode("utf-8").splitlines()
    if len(out) != len(lines):
        sys.exit(f"{tool} search gave {len(out)} lines for {len(lines)}")
    return [json.loads(line) for line in out]


def conversation_lines(tool, db, field):
    result = subprocess.run([tool, "dump", db, "konus", "--json"], capture_output=True,
                            check=False)
    if result.returncode != 0:
        sys.exit(f"{tool} dump failed: {result.stderr.decode('utf-8', 'replace').strip()}")
    table = json.loads(result.stdout)
    column = [c["name"] for c in table["columns"]].index(field)
    lines = []
    for row in table["rows"]:
        if row[column]:
            lines.extend(line for line in re.split(r"\r\n|\r|\n", row[column]) if line)
    return lines


def measure(tool, db, direction, field, forms, mode="--clicks"):
    turkish = direction == "ti"
    lines = conversation_lines(tool, db, field)
    counts = collections.Counter()
    misses = collections.defaultdict(lambda: [0, "", [], None])
    for words in run_clicks(tool, db, direction, lines, mode):
        for click in words:
            word = click["word"]
            if not any(ch.isalpha() for ch in word):
                continue
            counts["tokens"] += 1
            wanted = targets(word, turkish, forms)
            rows = [fold(r, turkish).strip() if r is not None else None for r in click["rows"]]
            at = next((i for i, r in enumerate(rows) if r in wanted), None)
            if at is not None and at < LISTED_ROWS:
                counts["listed"] += 1
            if at is not None and at < SHOWN_ROWS:
                counts["shown"] += 1
            # Whether the pick left the word whole or cut it to its front half, where a shorter
            # headword may come first by design.
            whole = fold(click["pick"], turkish).strip() == bare(word, turkish)
            counts["whole"] += whole
            if at is not None and at < SHOWN_ROWS:
                counts["whole shown"] += whole
            rule = click.get("rule")
            if rule:
                counts["rule " + rule] += 1
            if at == 0:
                counts["first"] += 1
                counts["whole first"] += whole
                if rule:
                    counts["rule first " + rule] += 1
            else:
                miss = misses[bare(word, turkish)]
                if miss[0] == 0:  # the first click on the word shows what it found
                    miss[1] = click["pick"]
                    miss[2] = click["rows"][:SHOWN_ROWS]
                    miss[3] = rule
                miss[0] += 1
    return counts, misses


def percent(part, whole):
    return f"{100 * part / whole:.0f} %" if whole else "—"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--db", default=os.path.join(ROOT, "build/bin/peltavo.MDB"))
    parser.add_argument("--tool", default=os.path.join(ROOT, "build/bin/peltavo-db"))
    parser.add_argument("--dictionary", default=os.path.join(ROOT, "content/dictionary"))
    parser.add_argument("--misses", type=int, default=25,
                        help="how many of the commonest misses to list per direction")
    args = parser.parse_args()

    sides = [("English conversations, English–Turkish", "it", "ikonus", "en-tr"),
             ("Turkish conversations, Turkish–English", "ti", "tkonus", "tr-en")]
    results = []
    for title, direction, field, folder in sides:
        forms = {fold(k, direction == "ti"): v
                    for k, v in read_forms(os.path.join(args.dictionary, folder)).items()}
        clicks = measure(args.tool, args.db, direction, field, forms)
        doubles = measure(args.tool, args.db, direction, field, forms, "--double-clicks")
        results.append((title, len(forms), clicks, doubles))

    print(f"Database: {args.db}\n")
    print("| Clicked in | Tokens | The word's own entry (or its lemma) is the grid's first row "
          f"| ... among the {SHOWN_ROWS} rows the grid shows | ... among the first "
          f"{LISTED_ROWS} | A double-click: first row | ... among the {SHOWN_ROWS} shown |")
    print("|---|---|---|---|---|---|---|")
    for title, _, (counts, _), (doubled, _) in results:
        n = counts["tokens"]
        print(f"| {title} | {n:,} | {percent(counts['first'], n)} | "
              f"{percent(counts['shown'], n)} | {percent(counts['listed'], n)} | "
              f"{percent(doubled['first'], doubled['tokens'])} | "
              f"{percent(doubled['shown'], doubled['tokens'])} |")
    print(f"\nThe same clicks split by what the word pick left of the word:\n")
    print("| Clicked in | Search text | Tokens | First row | Among the 4 shown |")
    print("|---|---|---|---|---|")
    for title, _, (counts, _), _ in results:
        whole, n = counts["whole"], counts["tokens"]
        cut = n - whole
        print(f"| {title} | the whole word | {whole:,} | {percent(counts['whole first'], whole)} | "
              f"{percent(counts['whole shown'], whole)} |")
        print(f"| {title} | its front half | {cut:,} | "
              f"{percent(counts['first'] - counts['whole first'], cut)} | "
              f"{percent(counts['shown'] - counts['whole shown'], cut)} |")
    print(f"\nThe double-clicks split by what gave their search text:\n")
    print("| Double-clicked in | Search text | Tokens | First row |")
    print("|---|---|---|---|")
    rules = [("headword", "the word, a headword"), ("reference", "the base its entry names"),
             ("stem", "its Hunspell stem"), ("front half", "its front half, as a click")]
    for title, _, _, (doubled, _) in results:
        for rule, what in rules:
            n = doubled["rule " + rule]
            print(f"| {title} | {what} | {n:,} | {percent(doubled['rule first ' + rule], n)} |")
    for kind, index in (("click", 2), ("double-click", 3)):
        for result in results:
            title, form_count, (_, misses) = result[0], result[1], result[index]
            print(f"\nCommonest misses of a {kind}, {title} ({form_count} dictionary forms "
                  "with a base):\n")
            print(f"| Clicks | Word | Search text | The grid's first {SHOWN_ROWS} rows |")
            print("|---|---|---|---|")
            ranked = sorted(misses.items(), key=lambda item: (-item[1][0], item[0]))
            for word, (clicks, pick, rows, rule) in ranked[: args.misses]:
                shown = ", ".join("∅" if r is None else r for r in rows) or "(none)"
                text = json.dumps(pick, ensure_ascii=False) + (f" ({rule})" if rule else "")
                print(f"| {clicks} | {word} | {text} | {shown} |")


if __name__ == "__main__":
    main()
