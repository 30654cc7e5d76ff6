#!/usr/bin/env python3
"""Builds data/blocklist.txt from the public lists recorded in data/sources/
and the hosts in data/keep-reachable.txt.

    python3 tools/blocklist.py          rewrite the list; print what it adds and
                                        drops compared with the committed one, and why
    python3 tools/blocklist.py --check  change nothing; exit 1 with a diff when the
                                        committed list is not exactly what the build makes

Each file in data/sources/ is one family of public lists (one maintainer's
work: a list and its own allowlist count as one). Its header names the
repository, the commit read, that commit's date and the day it was read; its
sections name a path and the path's syntax, and hold one line per rule that
concerns a host of the sites below: the host, then the rule as the list
writes it. tools/blocklist_extract.py writes these files from a copy of the
repository.

The rules:
  1. A family gives no vote when its commit is more than 18 months older than
     the newest "read-on" date in data/sources/ (not today's date, so that the
     build gives the same list on every machine), when its date is unknown, or
     for a path that is gone at its HEAD. The build only warns when that newest
     read-on date is itself more than 18 months before today.
  2. Only exact names (a hosts line, a v2fly full: entry, Surge DOMAIN) and
     rules that block a whole host (||host^ or ||host/ with nothing after, a
     bare host, a v2fly domain entry, Surge DOMAIN-SUFFIX) vote; of the
     options only $important, $third-party and $all leave a rule whole. Path,
     resource-type and $domain rules do not vote: a hosts file cannot do what
     they do.
  3. A wildcard host rule (||sax*.sina., ||qpb*.sohu.com^) votes for each
     name another rule names that it blocks whole; it never names a host
     itself, so it never brings one in alone.
  4. A family's own allowlist entry or @@||host^ for a host, or for a domain
     above it, cancels that family's vote for it.
  5. A host goes in when two or more independent families vote for it and at
     least one of them names it exactly (a rule for a parent domain covers it,
     but a hosts file only blocks the names it lists). v2fly and yhosts give
     one vote between them for a host both block: v2fly's cleanup of its ad
     entries (pull request #2909, merged 2025-11-25) says some came from
     yhosts, and most of the hosts they share were in yhosts' old hosts.txt
     (last changed 2020-04-20), which yhosts' current lists carry on; the
     cleanup kept them without saying where each came from.
  6. Every host in data/keep-reachable.txt stays out: allowlisted, excepted by
     a rule on that host, reported as breaking playback or the site's pages in
     an issue thread, a play API or a video CDN. A host of the sites that a
     voting family allowlists or excepts while another family blocks it must
     be listed there with its evidence, or the build stops. The listed hosts'
     siblings in the list (same parent domain) are printed for a person to
     decide.
  7. HTTPDNS and P2P/PCDN hosts stay out by name.
  8. The hosts of a third-party ad-measurement domain (TRACKERS) are a
     site's when their first label names it (sohutv.m.cn.miaozhen.com): the
     site's player reports its ads there, and the site's pages do not load
     from them. Every other host of those domains is other sites' business.

The list must be what the program accepts in core.dat: blockcodec check (the
program's own rule, built from src/hosts/BlockListRules) decides, with the
path from --blockcodec, else $QUIETREEL_BLOCKCODEC, else the native build's.
"""

import argparse
import datetime
import difflib
import os
import re
import subprocess
import sys
import tempfile
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
LIST_PATH = ROOT / "data" / "blocklist.txt"
KEEP_PATH = ROOT / "data" / "keep-reachable.txt"
SOURCES_DIR = ROOT / "data" / "sources"
DEFAULT_BLOCKCODEC = ROOT / "build" / "native" / "bin" / "blockcodec"
# The program removes from the hosts file what lies between these lines
# (kSectionBegin and kSectionEnd in src/hosts/BlockListRules.h).
SECTION_BEGIN = "# BEGIN Quietreel block list"
SECTION_END = "# END Quietreel block list"

STALE_MONTHS = 18

# The sites the program is for, in the list's order, with the domains whose
# hosts belong to each. Tencent's are its video and ad systems only: most of
# qq.com is neither.
SITES = (
    ("Youku (Tudou's player uses the same ad hosts)", ("youku.com", "tudou.com", "ykimg.com", "soku.com")),
    ("iQiyi", ("iqiyi.com", "qiyi.com", "71.am", "qy.net", "iqiyipic.com", "pps.tv", "ppstream.com")),
    ("Tencent Video", ("l.qq.com", "gdt.qq.com", "e.qq.com", "video.qq.com", "v.qq.com", "gdtimg.com",
                       "ugdtimg.com", "pgdt.gtimg.cn", "apdcdn.tc.qq.com")),
    ("Sohu Video (56.com's player uses the same ad hosts)",
     ("sohu.com", "sohu.com.cn", "56.com", "itc.cn", "optaim.com", "reachmax.cn")),
    ("LeTV", ("letv.com", "le.com", "letvcdn.com", "letvimg.com", "lecloud.com", "letv.cn")),
    ("PPTV", ("pptv.com", "pplive.cn", "pplive.com", "synacast.com")),
    ("Ku6", ("ku6.com", "ku6cdn.com", "ku6img.com")),
    ("Sina Video", ("sina.com.cn", "sina.cn")),
    ("Mango TV", ("mgtv.com", "hunantv.com", "hitv.com", "imgo.tv")),
    ("Bilibili", ("bilibili.com", "hdslb.com", "biliapi.net", "biliapi.com", "bilivideo.com", "b23.tv")),
)

# Third-party ad-measurement domains, and the first labels of their hosts
# that name one of SITES (by index): those hosts count the site's ads.
TRACKERS = ("miaozhen.com", "admaster.com.cn")
TRACKER_TAGS = (("youku", "tudou"), ("iqiyi", "qiyi"), ("tencent", "qq"), ("sohu", "sohutv", "56"),
                ("letv",), ("pptv", "pplive"), ("ku6",), ("sina",), ("mgtv", "hunantv"), ("bilibili",))

# HTTPDNS resolvers, P2P/PCDN peers and their STUN servers: blocking them breaks playback or
# just moves it to the CDN, and they serve no ads.
OUT_BY_NAME = re.compile(r"(^|[.-])(httpdns|dns|p2p|pcdn|stun)[0-9]*([.-]|$)")

HOST_CHARS = r"[a-z0-9.-]+"
PATTERN_CHARS = r"[a-z0-9.*-]+"
WHOLE_HOST_OPTIONS = {"important", "third-party", "3p", "all"}


# ---------------------------------------------------------------- host names

def under(host, domain):
    return host == domain or host.endswith("." + domain)


def site_of(host):
    """The index in SITES of the site a host belongs to, or None."""
    if "*" in host:
        return None
    for index, (_, domains) in enumerate(SITES):
        if any(under(host, d) for d in domains):
            return index
    if any(under(host, t) for t in TRACKERS) and host not in TRACKERS:
        first = host.split(".")[0].split("-")[0]
        for index, tags in enumerate(TRACKER_TAGS):
            if first in tags:
                return index
    return None


def is_pattern(rule_host):
    """A wildcard host rule: a '*' in it, or a name cut off after a dot."""
    return "*" in rule_host or rule_host.endswith(".")


def pattern_regex(pattern):
    """What an anchored (||) host pattern matches, as a regex over host + "/":
    it starts at a label, '*' stays inside the host, '^' is the host's end."""
    body = pattern[:-1] if pattern.endswith("^") else pattern
    regex = r"(?:[a-z0-9-]+\.)*" + r"[^/]*".join(re.escape(part) for part in body.split("*"))
    return re.compile(regex + ("/" if pattern.endswith("^") else ""))


def covers(rule_host, whole, host):
    if is_pattern(rule_host):
        return whole and pattern_regex(rule_host).match(host + "/") is not None
    return host == rule_host or (whole and host.endswith("." + rule_host))


def concerns_sites(rule_host):
    """True for the rules a source's extract keeps: on a host of the sites, on
    a third-party tracker's domain, or a wildcard that may block either."""
    if is_pattern(rule_host):
        return pattern_concerns_sites(rule_host)
    return site_of(rule_host) is not None or rule_host in TRACKERS


# Labels too common to tell a pattern is about one of the sites.
COMMON_LABELS = {"com", "net", "org", "cn", "tv", "am"}


def pattern_concerns_sites(pattern):
    """True when a wildcard rule may block a host of the sites: it holds one of
    their domains, or one of those domains' distinctive labels as a label."""
    labels = set(re.split(r"[.*^]+", pattern))
    domains = [d for _, ds in SITES for d in ds] + list(TRACKERS)
    return any(d in pattern for d in domains) or any(
        label in labels for d in domains for label in d.split(".") if len(label) >= 3 and label not in COMMON_LABELS)


def parent(host):
    return host.split(".", 1)[1] if "." in host else ""


def is_registrable(domain):
    """True for a domain a company registers (qq.com, sina.com.cn), whose
    hosts are no closer kin than being the same company's."""
    labels = domain.split(".")
    if len(labels) == 3 and len(labels[2]) == 2 and labels[1] in ("com", "net", "org", "gov", "edu"):
        return True
    return len(labels) <= 2


def label_order(host):
    return list(reversed(host.split(".")))


# ---------------------------------------------------------------- rules

@dataclass(frozen=True)
class Rule:
    kind: str  # "block", "allow" (whole-host allowlist), "except" (a narrower exception) or "none"
    host: str
    whole: bool  # covers the hosts below too


SYNTAXES = ("hosts", "adblock", "v2fly", "v2fly-ads", "surge", "domains", "allow")


def parse_rule(syntax, rule):
    """What a source's rule does, in hosts-file terms."""
    if syntax == "domains":
        m = re.fullmatch(HOST_CHARS, rule)
        return Rule("block", rule, True) if m else None
    if syntax == "surge":
        m = re.fullmatch(r"(DOMAIN|DOMAIN-SUFFIX|DOMAIN-KEYWORD),(" + HOST_CHARS + r")(,.*)?", rule)
        if not m:
            return None
        return Rule("none" if m.group(1) == "DOMAIN-KEYWORD" else "block", m.group(2), m.group(1) == "DOMAIN-SUFFIX")
    if syntax == "hosts":
        m = re.fullmatch(r"(?:0\.0\.0\.0|127\.0\.0\.1)\s+(" + HOST_CHARS + ")", rule)
        return Rule("block", m.group(1), False) if m else None
    if syntax == "allow":
        m = re.fullmatch(HOST_CHARS, rule)
        return Rule("allow", rule, False) if m else None
    if syntax in ("v2fly", "v2fly-ads"):
        m = re.fullmatch(r"(full:|domain:)?(" + HOST_CHARS + r")((?:\s+@[!\w-]+)*)", rule)
        if not m:
            return None
        voting = syntax == "v2fly-ads" or "@ads" in m.group(3).split()
        return Rule("block" if voting else "none", m.group(2), m.group(1) != "full:")
    if syntax == "adblock":
        return parse_adblock(rule)
    raise ValueError("unknown syntax " + syntax)


def parse_adblock(rule):
    m = re.fullmatch(r"(@@)?(\|\|)?(" + PATTERN_CHARS + r")(.*)", rule)
    if not m:
        return None
    exception, anchored, host, rest = m.groups()
    pattern = is_pattern(host)
    if pattern and (exception or not anchored):
        return None  # read only as a block anchored at a label; see covers
    options = set()
    if rest.startswith("^") or rest == "/":
        host += "^" if pattern and rest.startswith("^") else ""
        rest = rest[1:]
    if rest.startswith("$"):
        options = set(rest[1:].split(","))
        rest = ""
    # A bare host pattern blocks every address that contains it, so the whole host.
    whole_host = rest == "" and options <= WHOLE_HOST_OPTIONS and (anchored or not exception)
    if pattern and not whole_host:
        return None
    if exception:
        return Rule("allow" if whole_host and anchored else "except", host, whole_host)
    return Rule("block" if whole_host else "none", host, True)


# ---------------------------------------------------------------- sources

@dataclass
class Section:
    path: str
    syntax: str
    gone: bool
    rules: list = field(default_factory=list)  # (Rule, text as the list writes it)


@dataclass
class Family:
    name: str
    repo: str
    commit: str
    date: object  # datetime.date or None when unknown
    read_on: datetime.date
    sections: list
    no_vote: str = ""  # why the family does not vote, when it does not

    def rules(self, kind):
        return [(r, text) for s in self.sections if not s.gone for r, text in s.rules if r.kind == kind]


def parse_date(text):
    return None if text == "unknown" else datetime.date.fromisoformat(text)


def load_family(path):
    header, sections = {}, []
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        where = f"{path.name}:{number}"
        if not line or line.startswith("#"):
            continue
        if line.startswith("["):
            m = re.fullmatch(r"\[(\S+) (" + "|".join(SYNTAXES) + r")( gone)?\]", line)
            if not m:
                raise SystemExit(f"{where}: a section is [path syntax] or [path syntax gone]")
            sections.append(Section(m.group(1), m.group(2), bool(m.group(3))))
        elif not sections:
            key, _, value = line.partition(":")
            header[key.strip()] = value.strip()
        else:
            host, _, text = line.partition(" ")
            text = text.strip()
            rule = parse_rule(sections[-1].syntax, text)
            if rule is None or rule.host != host:
                raise SystemExit(f"{where}: cannot read '{text}' as a {sections[-1].syntax} rule for {host}")
            sections[-1].rules.append((rule, text))
    try:
        return Family(path.stem, header["repo"], header["commit"], parse_date(header["date"]),
                      datetime.date.fromisoformat(header["read-on"]), sections)
    except KeyError as missing:
        raise SystemExit(f"{path.name}: the header has no {missing} line")


def months_before(day, months):
    month = day.year * 12 + day.month - 1 - months
    year, month = divmod(month, 12)
    return day.replace(year=year, month=month + 1, day=min(day.day, 28))


def judge_ages(families):
    """Marks the families that give no vote; returns the newest read-on date."""
    newest = max(f.read_on for f in families)
    oldest_current = months_before(newest, STALE_MONTHS)
    for f in families:
        if f.date is None:
            f.no_vote = "its commit's date is unknown"
        elif f.date < oldest_current:
            f.no_vote = f"last changed {f.date}, more than {STALE_MONTHS} months before {newest}"
        elif all(s.gone for s in f.sections):
            f.no_vote = "its paths are gone at HEAD"
    return newest


# ---------------------------------------------------------------- keep-reachable

def load_keep(path):
    """Host -> the evidence written above it. A host without evidence stops the build."""
    keep, evidence, after_host = {}, [], False
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line:
            evidence = []
        elif line.startswith("#"):
            if after_host:
                evidence = []
            evidence.append(line.lstrip("# "))
        elif not evidence:
            raise SystemExit(f"{path.name}:{number}: {line} has no evidence above it")
        else:
            keep[line] = " ".join(evidence)
        after_host = bool(line) and not line.startswith("#")
    return keep


# ---------------------------------------------------------------- the vote

@dataclass
class Verdict:
    host: str
    voters: list
    namers: list
    out: str = ""  # why it stays out, when it does


def votes_for(host, family):
    blocks = family.rules("block")
    if not any(covers(r.host, r.whole, host) for r, _ in blocks):
        return False, False
    if any(covers(r.host, r.whole, host) for r, _ in family.rules("allow")):
        return False, False
    return True, any(r.host == host for r, _ in blocks)


# Families that give one vote between them for a host they both block (rule 5).
SHARED_ORIGIN = (("v2fly", "yhosts"),)


def independent_votes(voters):
    return len(voters) - sum(all(name in voters for name in group) * (len(group) - 1) for group in SHARED_ORIGIN)


def judge(host, voting, keep):
    voters, namers = [], []
    for f in voting:
        votes, names = votes_for(host, f)
        if votes:
            voters.append(f.name)
        if names:
            namers.append(f.name)
    verdict = Verdict(host, voters, namers)
    if host in keep:
        verdict.out = "kept reachable: " + keep[host]
    elif OUT_BY_NAME.search(host):
        verdict.out = "an HTTPDNS or P2P/PCDN host"
    elif independent_votes(voters) < 2:
        verdict.out = f"blocked by {independent_votes(voters)} independent current famil" + (
            f"y ({', '.join(voters)})" if voters else "ies")
    elif not namers:
        verdict.out = f"no family names it exactly (suffix rules of {', '.join(voters)})"
    return verdict


def unlisted_exceptions(voting, keep):
    """Hosts a voting family allowlists or excepts while some voting family blocks them."""
    missing = []
    for f in voting:
        for r, text in f.rules("allow") + f.rules("except"):
            if site_of(r.host) is None:
                continue
            blocked = any(covers(b.host, b.whole, r.host) for g in voting for b, _ in g.rules("block"))
            if blocked and r.host not in keep:
                missing.append(f"{r.host} ({f.name}: {text})")
    return sorted(set(missing))


@dataclass
class Build:
    families: list
    newest_read: datetime.date
    verdicts: dict  # host -> Verdict, for every host a voting family names
    listed: list  # per site: the hosts that go in
    voted: list  # per site: the hosts the vote lets in, before keep-reachable and the name rules

    def voting(self):
        return [f for f in self.families if not f.no_vote]


def build(sources_dir, keep):
    families = [load_family(p) for p in sorted(sources_dir.glob("*.txt"))]
    if not families:
        raise SystemExit(f"no sources in {sources_dir}")
    newest = judge_ages(families)
    voting = [f for f in families if not f.no_vote]
    missing = unlisted_exceptions(voting, keep)
    if missing:
        raise SystemExit("allowlisted or excepted, yet missing from data/keep-reachable.txt:\n  "
                         + "\n  ".join(missing))
    # Every name any family writes is judged, so that the reasons cover hosts
    # only a stale list still names.
    named = {r.host for f in families for r, _ in f.rules("block") if site_of(r.host) is not None}  # no patterns
    verdicts = {h: judge(h, voting, keep) for h in named}
    listed, voted = [[] for _ in SITES], [[] for _ in SITES]
    for host, verdict in verdicts.items():
        if independent_votes(verdict.voters) >= 2 and verdict.namers:
            voted[site_of(host)].append(host)
        if not verdict.out:
            listed[site_of(host)].append(host)
    for hosts in listed:
        hosts.sort(key=label_order)
    return Build(families, newest, verdicts, listed, voted)


# ---------------------------------------------------------------- the list

HEADER = """\
# Ad, ad-delivery and ad-tracking hosts of the web video
# players of the major Chinese video sites, redirected to 0.0.0.0. Encoded into
# core.dat at build time; Block appends it whole to the hosts file, and the
# program removes exactly the lines from the first line to the last. Made by
# tools/blocklist.py from data/sources/ and data/keep-reachable.txt: never
# edit it by hand, run the script.
#
# A host is here when two or more independent, current public lists block it
# whole and at least one names it exactly. Lists older than {months} months and
# paths gone at their HEAD give no vote, nor do path, resource-type and
# $domain rules; a list's own allowlist cancels its vote. A wildcard rule
# (||sax*.sina.) votes for a name another list writes, never brings one in.
# v2fly and yhosts give one vote between them for a host both block: v2fly
# says some of its entries came from yhosts.
#
# In or out, by kind of host:
#   in:  the sites' own ad servers, ad-delivery and ad-tracking hosts;
#   in:  third-party ad-measurement hosts (miaozhen.com, admaster.com.cn) whose
#        name is a site's (sohutv.m.cn.miaozhen.com): the player reports its
#        ads there, the pages load nothing from them; their other hosts are
#        other sites' and stay out;
#   out: every host in data/keep-reachable.txt (allowlisted, excepted,
#        reported as breaking playback or the site's pages, a play API or a
#        video CDN);
#   out: HTTPDNS and P2P/PCDN hosts: blocking them breaks playback or moves it
#        to the CDN, and they serve no ads.
#
# Lists read (family: repository commit, its date; read on):
"""


def family_line(f):
    date = f.date.isoformat() if f.date else "date unknown"
    line = f"#   {f.name}: {f.repo} {f.commit[:10]}, {date}; read {f.read_on}"
    return line + (f"\n#     no vote: {f.no_vote}" if f.no_vote else "")


def coverage_line(hosts, voted):
    """How many of the hosts the lists agree on are in, and why the rest are not."""
    left_out = sorted(set(voted) - set(hosts), key=label_order)
    line = f"# {len(hosts)} of the {len(voted)} hosts that two independent lists block"
    return line + (f"; kept out: {', '.join(left_out)}" if left_out else "") + "\n"


def render(result):
    out = [SECTION_BEGIN + "\n", HEADER.format(months=STALE_MONTHS)]
    out += [family_line(f) + "\n" for f in result.families]
    for index, ((site, _), hosts) in enumerate(zip(SITES, result.listed)):
        out.append(f"\n# == {site} ==\n")
        if not hosts:
            out.append("# No host of this site is blocked whole by two independent current lists.\n")
            continue
        counts = {}
        for host in hosts:
            for name in result.verdicts[host].voters:
                counts[name] = counts.get(name, 0) + 1
        out.append("# Voted by: " + ", ".join(f"{n} {c}" for n, c in sorted(counts.items())) + "\n")
        out.append(coverage_line(hosts, result.voted[index]))
        out += [f"0.0.0.0 {host}\n" for host in hosts]
    out.append("\n" + SECTION_END + "\n")
    return "".join(out)


def blockcodec_refusal(text, blockcodec):
    """What the program's own rule says against the list, or "" when it may ship."""
    if not Path(blockcodec).is_file():
        raise SystemExit(f"no blockcodec at {blockcodec}: build the native tree (docs/blocklist.md) or pass --blockcodec")
    with tempfile.TemporaryDirectory() as folder:
        plain = Path(folder, "blocklist.txt")
        plain.write_bytes(text.encode("utf-8"))
        run = subprocess.run([str(blockcodec), "check", str(plain)], capture_output=True, encoding="utf-8",
                             errors="replace")
    return "" if run.returncode == 0 else (run.stderr.strip() or f"blockcodec exited {run.returncode}")


def listed_hosts(text):
    return [fields[1] for line in text.split("\n") if len(fields := line.split()) > 1 and fields[0] == "0.0.0.0"]


# ---------------------------------------------------------------- reports

def drop_reason(host, result, keep):
    if site_of(host) is None:
        return "not a host of the sites' own domains"
    if host in result.verdicts:
        return result.verdicts[host].out
    verdict = judge(host, result.voting(), keep)
    return verdict.out + ", and no family names it" if verdict.voters else "no current family blocks it"


def report(result, committed, keep):
    for f in result.families:
        if f.no_vote:
            print(f"no vote from {f.name}: {f.no_vote}")
    today = datetime.date.today()
    if result.newest_read < months_before(today, STALE_MONTHS):
        print(f"warning: the sources were last read on {result.newest_read}, more than "
              f"{STALE_MONTHS} months ago: refresh them (docs/blocklist.md)")
    new = {h for hosts in result.listed for h in hosts}
    old = set(listed_hosts(committed))
    for host in sorted(new - old, key=label_order):
        v = result.verdicts[host]
        print(f"add  {host}: voted by {', '.join(v.voters)}; named by {', '.join(v.namers)}")
    for host in sorted(old - new, key=label_order):
        print(f"drop {host}: {drop_reason(host, result, keep)}")
    for (site, _), hosts, voted in zip(SITES, result.listed, result.voted):
        if voted:
            print(f"{site}: {len(hosts)} of {len(voted)} voted hosts in ({100 * len(hosts) // len(voted)}%)")
    for host in sorted(keep, key=label_order):
        p = parent(host)
        if site_of(host) is None or is_registrable(p):
            continue
        siblings = sorted(h for h in new if parent(h) == p)
        if siblings:
            print(f"decide: {host} stays reachable; its siblings in the list: {', '.join(siblings)}")


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--check", action="store_true",
                        help="exit 1 with a diff when data/blocklist.txt is not the build's output")
    parser.add_argument("--blockcodec", default=os.environ.get("QUIETREEL_BLOCKCODEC") or DEFAULT_BLOCKCODEC,
                        help="the native blockcodec, whose check is the program's rule "
                             "(default: $QUIETREEL_BLOCKCODEC, else build/native/bin/blockcodec)")
    args = parser.parse_args(argv)
    keep = load_keep(KEEP_PATH)
    result = build(SOURCES_DIR, keep)
    text = render(result)
    refusal = blockcodec_refusal(text, args.blockcodec)
    if refusal:
        raise SystemExit("the built list is not what the program accepts:\n  " + refusal)
    committed = LIST_PATH.read_bytes().decode("ascii", "replace") if LIST_PATH.exists() else ""
    if args.check:
        if committed == text:
            print(f"data/blocklist.txt is the build's output ({len(listed_hosts(text))} hosts)")
            return 0
        sys.stdout.writelines(difflib.unified_diff(committed.splitlines(True), text.splitlines(True),
                                                   "data/blocklist.txt (committed)", "tools/blocklist.py output"))
        print("\ndata/blocklist.txt is not the build's output: run python3 tools/blocklist.py")
        return 1
    report(result, committed, keep)
    LIST_PATH.write_bytes(text.encode("ascii"))
    print(f"wrote data/blocklist.txt: {len(listed_hosts(text))} hosts")
    return 0


if __name__ == "__main__":
    sys.exit(main())
