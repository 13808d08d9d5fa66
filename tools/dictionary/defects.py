#!/usr/bin/env python3
"""Counts the visible defects of an English-Turkish dictionary table, class by class.

    peltavo-db dump peltavo.MDB isozluk > isozluk.tsv
    tools/freedict/defects.py isozluk.tsv [--examples N]

Reads the tab-separated dump (ino, ikelime, tanlam; line breaks inside a meaning written as
"\\r\\n") and prints, for each class, how many entries show the defect at least once. The
detectors are deliberately simple patterns over the text, independent of the import's repairs,
so that the same count can be taken of any build of the table. They need the English word lists
of Debian's wamerican and wbritish, and WordNet (wordnet-base) for the compounds.
"""

import argparse
import glob
import random
import re
import sys

WORD_LISTS = ["/usr/share/dict/american-english", "/usr/share/dict/british-english"]
WORDNET = "/usr/share/wordnet"


def load_words():
    words = set()
    for path in WORD_LISTS:
        with open(path, encoding="utf-8") as f:
            for line in f:
                word = line.strip()
                if word and not word.endswith("'s"):
                    words.add(word)
                    words.add(word.lower())
    compounds = {}
    lemmas = set()
    for path in glob.glob(WORDNET + "/index.*"):
        if path.endswith(("sense", ".sense")):
            continue
        with open(path, encoding="latin-1") as f:
            for line in f:
                if line.startswith(" "):
                    continue
                lemma = line.split(" ", 1)[0]
                if "_" in lemma or "-" in lemma:
                    compounds[lemma.replace("_", "").replace("-", "")] = lemma
                else:
                    lemmas.add(lemma)
    for lemma in lemmas:
        compounds.pop(lemma, None)
    return words, compounds


CONTRACTION = re.compile(r"'(s|t|ll|re|ve|d|m)$|^o'|'clock$")
STRESS = re.compile(r"(?<![\w'])([a-z]+)'([a-z]+)(?![\w'])")
CAPITAL_I = re.compile(r"(?<![\w])(\w*[a-zçğıöşüâîû]I\w*|I[aeıioöuüâîû]\w*)")
LINE_BREAK = re.compile(r"\w- +[a-zçğıöşü]")
ASK = re.compile(r"\(ask\.\) ?([a-z]+)")
I_MARKER = re.compile(r"\(I\.\)")
POSSESSIVE = re.compile(r"(?<![\w'])([A-Za-z]+)['’-] (?=[a-z])")
MISREAD = [("i", "l"), ("l", "i"), ("1", "l"), ("0", "o"), ("rn", "m"), ("e", "c"),
           ("c", "e"), ("v", "y")]


def read_dump(path):
    entries = []
    with open(path, encoding="utf-8") as f:
        header = f.readline().rstrip("\n").split("\t")
        for line in f:
            cols = line.rstrip("\n").split("\t")
            if len(cols) < 3:
                continue
            meaning = cols[2].replace("\\r\\n", "\n").replace("\\t", "\t").replace("\\\\", "\\")
            entries.append((cols[1], meaning))
    return header, entries


def classify(entries, words, compounds):
    headwords = {h.lower() for h, _ in entries}
    classes = {name: [] for name in (
        "stress marks", "capital I for l or ı", "line-break hyphens",
        "converter (ask.) and (I.)", "lost possessive", "double headwords",
        "glued headwords", "misread headwords")}

    def english(w):
        return w in words or w.lower() in words

    for headword, meaning in entries:
        found = set()
        for m in STRESS.finditer(meaning):
            whole = m.group(0)
            if not CONTRACTION.search(whole) and english(m.group(1) + m.group(2)) \
                    and not english(whole):
                found.add("stress marks")
        for m in CAPITAL_I.finditer(meaning):
            w = m.group(1)
            if not english(w) and not w.isupper():
                found.add("capital I for l or ı")
        for m in LINE_BREAK.finditer(meaning):
            before = meaning[:m.start() + 1].split()[-1] if meaning[:m.start() + 1].split() else ""
            if before.lower() not in ("one", "someone"):
                found.add("line-break hyphens")
        if I_MARKER.search(meaning):
            found.add("converter (ask.) and (I.)")
        for m in ASK.finditer(meaning):
            # The label before a Turkish sense is right; "ask" in an English phrase is not.
            line_start = meaning.rfind("\n", 0, m.start()) + 1
            before = re.sub(r"^\d+\. |\([^()]*\)|[\s,]", "", meaning[line_start:m.start()])
            if before and english(m.group(1)):
                found.add("converter (ask.) and (I.)")
        for m in POSSESSIVE.finditer(meaning):
            w = m.group(1)
            if not w.endswith("s") and (english(w) or w.lower() in ("one", "someone")):
                found.add("lost possessive")
        if "," in headword:
            found.add("double headwords")
        plain = headword.lower()
        if re.fullmatch(r"[a-z]+", plain) and not english(plain):
            if plain in compounds:
                found.add("glued headwords")
            elif len(plain) >= 4:
                for wrong, right in MISREAD:
                    for at in [m.start() for m in re.finditer(re.escape(wrong), plain)]:
                        candidate = plain[:at] + right + plain[at + len(wrong):]
                        if candidate in words and candidate not in headwords:
                            found.add("misread headwords")
        for name in found:
            classes[name].append((headword, meaning))
    return classes


TURKISH_MARKS = [("s", "ş"), ("g", "ğ"), ("i", "ı"), ("c", "ç"), ("o", "ö"), ("u", "ü"),
                 ("l", "ı")]


def misread_letters(entries, words):
    """Entries with a Turkish word in small letters that the table writes at most twice, and that
    differs in one letter (a letter without its mark, an l for ı) from a word the table writes at
    least five times as often."""
    counts = {}
    for _, meaning in entries:
        for w in re.findall(r"[^\W\d_]+", meaning):
            counts[w] = counts.get(w, 0) + 1
    hits = []
    for headword, meaning in entries:
        for w in re.findall(r"[^\W\d_]+", meaning):
            if len(w) < 3 or not w.islower() or w in words or counts[w] > 2:
                continue
            best = max((counts.get(w[:k] + right + w[k + 1:], 0)
                        for k, c in enumerate(w) for wrong, right in TURKISH_MARKS
                        if c == wrong and not (wrong == "i" and (k + 1 == len(w)
                                                                 or w[k + 1:k + 4] == "yle"))),
                       default=0)
            if best >= 10 and best >= 5 * counts[w]:
                hits.append((headword, meaning))
                break
    return hits


def buried_words(entries, words):
    """English words (four letters or more, in the word lists) that start a sentence of a meaning,
    the way run-on entries are written ("birthday doğum günü"), but are no headword."""
    headwords = {h.lower() for h, _ in entries}
    pattern = re.compile(r"(?:^|[.:!?] +|\n(?:\d+\. )?)([a-z][a-z'-]{3,})[ :]")
    buried = set()
    for _, meaning in entries:
        for m in pattern.finditer(meaning):
            w = m.group(1).replace("'", "")
            if w in words and w not in headwords:
                buried.add(w)
    return buried


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dump")
    parser.add_argument("--examples", type=int, default=0)
    args = parser.parse_args()
    words, compounds = load_words()
    _, entries = read_dump(args.dump)
    classes = classify(entries, words, compounds)
    classes["misread Turkish letters"] = misread_letters(entries, words)
    print(f"{len(entries)} entries")
    for name, hits in classes.items():
        print(f"{len(hits):7d}  {name}")
        if args.examples:
            rng = random.Random(1)
            for headword, meaning in rng.sample(hits, min(args.examples, len(hits))):
                print(f"           {headword}: {meaning[:150]!r}")
    print(f"{len(buried_words(entries, words)):7d}  English words written as run-on entries "
          "but no headword")
    return 0


if __name__ == "__main__":
    sys.exit(main())
