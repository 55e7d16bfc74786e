#!/usr/bin/env python3
"""Refuses an #include that runs against the program's layering (see ARCHITECTURE.md).

Each folder may include its own files and those of the folders below it, never one above:
within the engine, base < crypto < files < names < container < jobs < vault; around it,
framework and resources are below the engine, the engine below ui, ui below shell, and the
console companion (cli) beside the shell. Prints every wrong include and exits 1 when there is
one."""
import os
import re
import sys

ENGINE_ROOMS = ['base', 'crypto', 'files', 'names', 'container', 'jobs', 'vault']
# The rank of each part of the program; a file may include files of a lower or equal rank.
RANKS = {'resources': 0, 'framework': 1}
for i, room in enumerate(ENGINE_ROOMS):
    RANKS['engine/' + room] = 10 + i
RANKS.update({'ui': 30, 'shell': 40, 'cli': 40})
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def part_of(path):
    for part in sorted(RANKS, key=len, reverse=True):
        if path == part or path.startswith(part + '/'):
            return part
    return None


def main(root):
    wrong = []
    for part in RANKS:
        folder = os.path.join(root, part)
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            if not name.endswith(('.h', '.cpp')):
                continue
            path = part + '/' + name
            text = open(os.path.join(root, path), encoding='utf-8', errors='replace').read()
            for target in INCLUDE.findall(text):
                resolved = os.path.normpath(os.path.join(part, target)).replace(os.sep, '/')
                other = part_of(resolved)
                if other and other != part and RANKS[other] > RANKS[part] and \
                        not (part == 'cli' and other == 'shell'):
                    wrong.append('%s includes %s (%s is above %s)' % (path, target, other, part))
                if other == 'cli' and part != 'cli':
                    wrong.append('%s includes %s (the console companion)' % (path, target))
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else '.'))
