"""The rules of tools/blocklist.py, one row each, on small made-up sources.
Whether a list may ship is the program's rule (blockcodec check, tested in
BlockListRulesTest.cpp); here only that the script asks it."""

import contextlib
import io
import os
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
import blocklist  # noqa: E402
import blocklist_extract  # noqa: E402

READ_ON = "2026-12-07"


def family(date, *sections, read_on=READ_ON):
    """A source file: sections are (path, syntax, rule, ...)."""
    lines = ["repo: example/list", "commit: 0123456789", f"date: {date}", f"read-on: {read_on}"]
    for path, syntax, *rules in sections:
        lines.append(f"[{path} {syntax}]")
        for rule in rules:
            lines.append(f"{blocklist.parse_rule(syntax.split()[0], rule).host} {rule}")
    return "\n".join(lines) + "\n"


A = ("a.txt", "hosts", "0.0.0.0 ad.atm.youku.com")  # names the host exactly
B = ("b.txt", "adblock", "||ad.atm.youku.com^")  # names it, and blocks the hosts below
PARENT = ("p.txt", "adblock", "||atm.youku.com^")  # covers it without naming it

SAX = ("s.txt", "hosts", "0.0.0.0 sax.sina.com.cn")
SAX_WILD = ("w.txt", "adblock", "||sax*.sina.")

# (what the row shows, the families, keep-reachable hosts, host, listed); a
# family is its source text, or (its name, its text) where the name matters.
ROWS = [
    ("two families, one naming it exactly", [family("2026-08-01", A), family("2026-08-01", B)], {},
     "ad.atm.youku.com", True),
    ("one family is not enough", [family("2026-08-01", A)], {}, "ad.atm.youku.com", False),
    ("rules for a parent vote, but someone must name the host",
     [family("2026-08-01", PARENT), family("2026-08-01", ("v", "v2fly", "atm.youku.com @ads")),
      family("2024-01-01", A)], {}, "ad.atm.youku.com", False),
    ("a parent rule and an exact name", [family("2026-08-01", A), family("2026-08-01", PARENT)], {},
     "ad.atm.youku.com", True),
    ("19 months older than the newest read-on: no vote",
     [family("2026-08-01", A), family("2025-05-01", B)], {}, "ad.atm.youku.com", False),
    ("17 months older still votes", [family("2026-08-01", A), family("2025-07-15", B)], {},
     "ad.atm.youku.com", True),
    ("the age counts from the newest read-on, not from today",
     [family("2020-08-01", A, read_on="2021-01-01"), family("2020-09-01", B, read_on="2021-01-01")], {},
     "ad.atm.youku.com", True),
    ("a commit of unknown date gives no vote", [family("2026-08-01", A), family("unknown", B)], {},
     "ad.atm.youku.com", False),
    ("a path gone at HEAD gives no vote",
     [family("2026-08-01", A),
      family("2026-08-01", ("b.txt", "adblock gone", "||ad.atm.youku.com^"), ("c.txt", "adblock", "||youku.com/x"))],
     {}, "ad.atm.youku.com", False),
    ("path, resource-type and $domain rules give no vote",
     [family("2026-08-01", A),
      family("2026-08-01", ("b.txt", "adblock", "||ad.atm.youku.com/vp?", "||ad.atm.youku.com^$script",
                            "||ad.atm.youku.com^$domain=youku.com"))], {}, "ad.atm.youku.com", False),
    ("$third-party and a bare host still block the whole host",
     [family("2026-08-01", ("b.txt", "adblock", "||ad.atm.youku.com^$third-party")),
      family("2026-08-01", ("c.txt", "adblock", "ad.atm.youku.com"))], {}, "ad.atm.youku.com", True),
    ("a v2fly entry votes only with @ads",
     [family("2026-08-01", A), family("2026-08-01", ("v", "v2fly", "atm.youku.com"))], {},
     "ad.atm.youku.com", False),
    ("a family's own allowlist for a domain above the host cancels its vote",
     [family("2026-08-01", A), family("2026-08-01", PARENT, ("w.txt", "adblock", "@@||atm.youku.com^"))],
     {"atm.youku.com": "w"}, "ad.atm.youku.com", False),
    ("a kept-reachable host stays out", [family("2026-08-01", A), family("2026-08-01", B)],
     {"ad.atm.youku.com": "thread"}, "ad.atm.youku.com", False),
    ("HTTPDNS and P2P hosts stay out by name",
     [family("2026-08-01", ("a.txt", "hosts", "0.0.0.0 httpdns.video.qq.com", "0.0.0.0 p2p.v.qq.com")),
      family("2026-08-01", ("b.txt", "adblock", "||httpdns.video.qq.com^", "||p2p.v.qq.com^"))], {},
     "httpdns.video.qq.com", False),
    ("a wildcard rule votes for a name another family writes",
     [family("2026-08-01", SAX), family("2026-08-01", SAX_WILD)], {}, "sax.sina.com.cn", True),
    ("wildcards alone bring no name in",
     [family("2026-08-01", SAX_WILD), family("2026-08-01", ("w.txt", "adblock", "||sax*.sina.com.cn^"))], {},
     "sax*.sina.", False),
    ("a wildcard ending in ^ stops at the host's end",
     [family("2026-08-01", ("a.txt", "hosts", "0.0.0.0 qpb1.sohu.com.cn")),
      family("2026-08-01", ("w.txt", "adblock", "||qpb*.sohu.com^"))], {}, "qpb1.sohu.com.cn", False),
    ("v2fly and yhosts give one vote between them",
     [("v2fly", family("2026-08-01", B)), ("yhosts", family("2026-08-01", A))], {}, "ad.atm.youku.com", False),
    ("v2fly and yhosts with a third family",
     [("v2fly", family("2026-08-01", B)), ("yhosts", family("2026-08-01", A)), family("2026-08-01", PARENT)], {},
     "ad.atm.youku.com", True),
    ("a tracker's host named for a site is the site's",
     [family("2026-08-01", ("a.txt", "hosts", "0.0.0.0 sohutv.m.cn.miaozhen.com")),
      family("2026-08-01", ("b.txt", "adblock", "||miaozhen.com^$third-party"))], {}, "sohutv.m.cn.miaozhen.com", True),
    ("a tracker's other hosts are not the list's",
     [family("2026-08-01", ("a.txt", "hosts", "0.0.0.0 tytx.m.cn.miaozhen.com")),
      family("2026-08-01", ("b.txt", "adblock", "||miaozhen.com^$third-party"))], {}, "tytx.m.cn.miaozhen.com", False),
    ("hosts of other sites are not the list's",
     [family("2026-08-01", ("a.txt", "hosts", "0.0.0.0 ad.example.com")),
      family("2026-08-01", ("b.txt", "adblock", "||ad.example.com^"))], {}, "ad.example.com", False),
]


def run_build(families, keep):
    with tempfile.TemporaryDirectory() as folder:
        for index, source in enumerate(families):
            name, text = source if isinstance(source, tuple) else (f"f{index}", source)
            Path(folder, f"{name}.txt").write_text(text)
        return blocklist.build(Path(folder), keep)


class BuildRules(unittest.TestCase):
    def test_rows(self):
        for what, families, keep, host, listed in ROWS:
            with self.subTest(what):
                result = run_build(families, keep)
                self.assertEqual(host in {h for hosts in result.listed for h in hosts}, listed)

    def test_an_exception_missing_from_keep_reachable_stops_the_build(self):
        families = [family("2026-08-01", A), family("2026-08-01", B, ("w.txt", "adblock", "@@||ad.atm.youku.com/vf?"))]
        with self.assertRaisesRegex(SystemExit, "ad.atm.youku.com"):
            run_build(families, {})

    def test_siblings_of_a_kept_host_are_printed_for_a_person(self):
        families = [family("2026-08-01", ("a.txt", "hosts", "0.0.0.0 livec.l.qq.com", "0.0.0.0 vd.l.qq.com")),
                    family("2026-08-01", ("b.txt", "adblock", "||livec.l.qq.com^", "||vd.l.qq.com^"))]
        keep = {"vd.l.qq.com": "thread"}
        printed = io.StringIO()
        with contextlib.redirect_stdout(printed):
            blocklist.report(run_build(families, keep), "", keep)
        self.assertIn("decide: vd.l.qq.com stays reachable; its siblings in the list: livec.l.qq.com",
                      printed.getvalue())


class Extract(unittest.TestCase):
    def test_keeps_the_rules_that_concern_the_sites(self):
        text = "||sax*.sina.\n||ads*.zijieapi.com^\n||miaozhen.com^$third-party\n||ad.example.com^\n"
        kept = [rule for _, rule in blocklist_extract.candidate_rules("adblock", text)]
        self.assertEqual(kept, ["||sax*.sina.", "||miaozhen.com^$third-party"])


class AsksTheProgramsRule(unittest.TestCase):
    def test_rows(self):
        blockcodec = os.environ.get("QUIETREEL_BLOCKCODEC") or blocklist.DEFAULT_BLOCKCODEC
        marked = f"{blocklist.SECTION_BEGIN}\n0.0.0.0 ad.qq.com\n{blocklist.SECTION_END}\n"
        built = blocklist.render(run_build([family("2026-08-01", A), family("2026-08-01", B)], {}))
        rows = [
            (marked, ""),
            (built, ""),
            (marked.replace("0.0.0.0 ad.qq.com", "# x\n127.0.0.1 ad.qq.com"), "line 3"),
            ("0.0.0.0 ad.qq.com\n", "BEGIN"),
        ]
        for text, refusal in rows:
            with self.subTest(text[:40]):
                found = blocklist.blockcodec_refusal(text, blockcodec)
                self.assertIn(refusal, found) if refusal else self.assertEqual(found, "")


if __name__ == "__main__":
    unittest.main()
