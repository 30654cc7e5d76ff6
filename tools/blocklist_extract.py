#!/usr/bin/env python3
"""Refreshes one file of data/sources/ from a copy of its repository.

    python3 tools/blocklist_extract.py data/sources/<family>.txt <git dir> [--read-on YYYY-MM-DD]

The file's header (repo, the comment lines) and its sections ([path syntax])
say what to read. Each path is read at the repository's HEAD; a path missing
there becomes [path gone]. Of each list only the rules that concern the sites
in tools/blocklist.py are kept (concerns_sites: their hosts, the third-party
trackers' domains, wildcards that may block either), as "host rule" lines;
which of them vote is for tools/blocklist.py to decide. The commit recorded is the newest
that changed any of the paths (what HEAD holds is what it holds), with its
date; read-on is today unless given.
"""

import argparse
import datetime
import re
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import blocklist  # noqa: E402

COSMETIC = re.compile(r"#[@?$%]*#")


def git(git_dir, *args):
    return subprocess.run(["git", "-C", str(git_dir), *args], capture_output=True, encoding="utf-8", errors="replace")


def candidate_rules(syntax, text):
    """(host, rule) for each line of a list that names a host of the sites."""
    for raw in text.splitlines():
        line = raw.strip()
        if syntax in ("v2fly", "v2fly-ads", "hosts", "allow"):
            line = line.split("#", 1)[0].strip()
        if not line or line.startswith(("!", "[", "include:")) or COSMETIC.search(line):
            continue
        if syntax == "hosts":
            fields = line.split()
            rules = [f"{fields[0]} {host}" for host in fields[1:]]
        else:
            rules = [re.sub(r"\s+", " ", line)]
        for rule in rules:
            if not rule.isascii():
                continue
            parsed = blocklist.parse_rule(syntax, rule.lower() if syntax != "adblock" else rule)
            # A v2fly entry without @ads only says whose the domain is.
            if parsed and blocklist.concerns_sites(parsed.host) and (syntax != "v2fly" or parsed.kind != "none"):
                yield parsed.host, rule


def read_header(path):
    comments, header, sections = [], [], []
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.startswith("#") and not header:
            comments.append(line)
        elif line.startswith("["):
            path_name, syntax = line.strip("[]").split()[:2]
            sections.append((path_name, syntax))
        elif ":" in line and not sections:
            header.append(line)
    return comments, dict(l.split(":", 1) for l in header), sections


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("source", type=Path)
    parser.add_argument("git_dir", type=Path)
    parser.add_argument("--read-on", default=datetime.date.today().isoformat())
    args = parser.parse_args()
    comments, header, sections = read_header(args.source)
    paths = [p for p, _ in sections]
    # A history rewritten since the paths went may no longer hold them: then HEAD.
    changed = git(args.git_dir, "log", "-1", "--format=%H %cs", "HEAD", "--", *paths).stdout.split()
    commit, date = changed or git(args.git_dir, "log", "-1", "--format=%H %cs", "HEAD").stdout.split()
    out = comments + [f"repo: {header['repo'].strip()}", f"commit: {commit}", f"date: {date}",
                      f"read-on: {args.read_on}"]
    for path, syntax in sections:
        shown = git(args.git_dir, "show", f"HEAD:{path}")
        if shown.returncode != 0:
            out += ["", f"[{path} {syntax} gone]"]
            continue
        out += ["", f"[{path} {syntax}]"]
        rules = sorted(set(candidate_rules(syntax, shown.stdout)),
                       key=lambda r: (blocklist.label_order(r[0]), r[1]))
        out += [f"{host} {rule}" for host, rule in rules]
    args.source.write_text("\n".join(out) + "\n", encoding="ascii")
    print(f"{args.source}: {commit[:10]} of {date}")


if __name__ == "__main__":
    main()
