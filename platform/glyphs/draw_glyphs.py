#!/usr/bin/env python3
"""Draws the 16x16 button pictures of Peltavo and writes each as a 32x16 XPM strip: the normal
picture on the left, its greyed twin (for a disabled button) on the right. Olive (128, 128, 0),
the colour of the bottom-left pixel, is the transparent background.

Run it from this folder after changing a picture: python3 draw_glyphs.py
"""
import math

# The 16 colours of the classic palette that the pictures use.
PALETTE = {
    'o': '#808000',  # olive: transparent background
    'K': '#000000',
    'r': '#800000',
    'R': '#FF0000',
    'N': '#000080',
    'B': '#0000FF',
    'W': '#FFFFFF',
    'S': '#C0C0C0',
    'G': '#808080',
    'Y': '#FFFF00',
}

LEFT_ARROW = [
    "oooooooooooooooo",
    "oooooooooooooooo",
    "ooooooorooooooo",
    "oooooorRrooooooo",
    "ooooorRRrooooooo",
    "oooorRRRrrrrrroo",
    "ooorRRRRRRRRRroo",
    "oorRRRRRRRRRRroo",
    "oorRRRRRRRRRRroo",
    "ooorRRRRRRRRRroo",
    "oooorRRRrrrrrroo",
    "ooooorRRrooooooo",
    "oooooorRrooooooo",
    "ooooooorooooooo",
    "oooooooooooooooo",
    "oooooooooooooooo",
]

HOURGLASS = [
    "oooooooooooooooo",
    "ooNNNNNNNNNNNNoo",
    "ooNNNNNNNNNNNNoo",
    "oooKWWWWWWWWKooo",
    "oooKYYYYYYYYKooo",
    "ooooKYYYYYYKoooo",
    "oooooKYYYYKooooo",
    "ooooooKYYKoooooo",
    "ooooooKWYKoooooo",
    "oooooKWWYWKooooo",
    "ooooKWWWYWWKoooo",
    "oooKWWWYYYWWKooo",
    "oooKYYYYYYYYKooo",
    "ooNNNNNNNNNNNNoo",
    "ooNNNNNNNNNNNNoo",
    "oooooooooooooooo",
]

OPEN_BOOK = [
    "oooooooooooooooo",
    "oooooooooooooooo",
    "oooooooooooooooo",
    "oBBBBBBooBBBBBBo",
    "BWWWWWWBBWWWWWWB",
    "BWGGGGWBBWGGGGWB",
    "BWWWWWWBBWWWWWWB",
    "BWGGGGWBBWGGGGWB",
    "BWWWWWWBBWWWWWWB",
    "BWGGGWWBBWGGGWWB",
    "BWWWWWWBBWWWWWWB",
    "BWWWWWWBBWWWWWWB",
    "BBBBBBBBBBBBBBBB",
    "oNNNNNNooNNNNNNo",
    "oooooooooooooooo",
    "oooooooooooooooo",
]

QUESTION_MARK = [
    ".RRRR.",
    "RR..RR",
    "....RR",
    "...RR.",
    "..RR..",
    "..RR..",
    "......",
    "..RR..",
    "..RR..",
]


def blank():
    return [['o'] * 16 for _ in range(16)]


def from_rows(rows):
    assert len(rows) == 16, rows
    grid = blank()
    for y, row in enumerate(rows):
        row = row.ljust(16, 'o')[:16]
        grid[y] = list(row)
    return grid


def mirrored(grid):
    return [list(reversed(row)) for row in grid]


def question_ball():
    grid = blank()
    for y in range(16):
        for x in range(16):
            d = math.hypot(x - 7.5, y - 7.5)
            if d <= 7.6:
                if d > 6.6:
                    grid[y][x] = 'K'
                else:
                    grid[y][x] = 'W' if x + y < 12 else 'Y'
    for dy, row in enumerate(QUESTION_MARK):
        for dx, ch in enumerate(row):
            if ch == 'R':
                grid[3 + dy][5 + dx] = 'R'
    return grid


def loudspeaker():
    grid = blank()
    # The magnet box: rows 6-9, columns 1-3.
    for y in range(6, 10):
        for x in range(1, 4):
            edge = y in (6, 9) or x == 1
            grid[y][x] = 'K' if edge else 'G'
    # The cone widens to the right, columns 4-7.
    for x in range(4, 8):
        top, bottom = 6 - (x - 3), 9 + (x - 3)
        for y in range(top, bottom + 1):
            edge = y in (top, bottom) or x == 7
            grid[y][x] = 'K' if edge else 'S'
    # Sound waves: red arcs around the mouth of the cone.
    for y in range(16):
        for x in range(9, 16):
            d = math.hypot(x - 6.0, y - 7.5)
            angle = abs(math.degrees(math.atan2(y - 7.5, x - 6.0)))
            if angle <= 55 and any(abs(d - r) < 0.5 for r in (3.5, 6.0, 8.5)):
                grid[y][x] = 'R'
    return grid


def door():
    """An open door: the dark frame, the brown-red leaf swung towards the viewer, its knob."""
    grid = blank()
    # The frame, columns 3-12, rows 1-14, with the daylight of the doorway inside.
    for y in range(1, 15):
        for x in range(3, 13):
            edge = x in (3, 12) or y == 1
            grid[y][x] = 'K' if edge else 'S'
    # The leaf, hinged at the left, narrowing in perspective towards its free edge.
    for x in range(4, 10):
        top, bottom = 2 + (x - 4) // 2, 14 - (x - 4) // 3
        for y in range(top, bottom + 1):
            edge = y in (top, bottom) or x == 9
            grid[y][x] = 'K' if edge else 'r'
    grid[8][8] = 'Y'
    # The threshold.
    for x in range(2, 14):
        grid[15 - 1][x] = 'K'
    return grid


def luminance(colour):
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    return 0.299 * r + 0.587 * g + 0.114 * b


def greyed(grid):
    """The disabled look: dark parts in grey with a white shadow one pixel down and right, light
    parts left out."""
    out = blank()
    dark = [[grid[y][x] != 'o' and luminance(PALETTE[grid[y][x]]) < 160 for x in range(16)]
            for y in range(16)]
    for y in range(16):
        for x in range(16):
            if dark[y][x] and x + 1 < 16 and y + 1 < 16:
                out[y + 1][x + 1] = 'W'
    for y in range(16):
        for x in range(16):
            if dark[y][x]:
                out[y][x] = 'G'
    return out


def write_xpm(name, grid):
    strip = [grid[y] + greyed(grid)[y] for y in range(16)]
    assert strip[15][0] == 'o', name + ': the bottom-left pixel must be the olive background'
    used = sorted({ch for row in strip for ch in row})
    lines = ['/* XPM */', 'static const char* const %s[] = {' % name.replace('-', '_'),
             '"32 16 %d 1",' % len(used)]
    lines += ['"%s c %s",' % (ch, PALETTE[ch]) for ch in used]
    lines += ['"%s",' % ''.join(row) for row in strip[:-1]]
    lines.append('"%s"};' % ''.join(strip[-1]))
    with open(name + '.xpm', 'w', encoding='ascii') as f:
        f.write('\n'.join(lines) + '\n')


def main():
    left = from_rows(LEFT_ARROW)
    write_xpm('arrow-left', left)
    write_xpm('arrow-right', mirrored(left))
    write_xpm('hourglass', from_rows(HOURGLASS))
    write_xpm('open-book', from_rows(OPEN_BOOK))
    write_xpm('question-ball', question_ball())
    write_xpm('loudspeaker', loudspeaker())
    write_xpm('door', door())


if __name__ == '__main__':
    main()
