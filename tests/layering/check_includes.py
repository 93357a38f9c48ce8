"""Every include of the game's own headers points down its layers:
app -> screens -> replay -> game -> entities -> scene -> engine, with music
beside engine (neither includes the other). A file may include its own folder.
Prints each include that points up or sideways and exits 1 when there is one.

    python3 check_includes.py SOURCE_FOLDER"""

import os
import re
import sys

RANKS = {"engine": 0, "music": 0, "scene": 1, "entities": 2, "game": 3, "replay": 4, "screens": 5, "app": 6}
INCLUDE = re.compile(r'^\s*#\s*include\s+"(\w+)/[^"]+"')


def wrong_includes(root):
    for folder, rank in RANKS.items():
        path = os.path.join(root, folder)
        if not os.path.isdir(path):
            continue
        for name in sorted(os.listdir(path)):
            if not name.endswith((".h", ".cpp")):
                continue
            with open(os.path.join(path, name), encoding="utf-8") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match or match.group(1) not in RANKS or match.group(1) == folder:
                        continue
                    if RANKS[match.group(1)] >= rank:
                        yield "%s/%s:%d: %s" % (folder, name, number, line.strip())


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    wrong = list(wrong_includes(sys.argv[1]))
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
