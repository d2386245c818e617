#!/usr/bin/env python3
# The report schema and the fleet summary, over reports shaped as the program
# writes them.   reports_test.py TOOLS-FOLDER
import copy
import json
import pathlib
import re
import subprocess
import sys
import tempfile
import unittest

TOOLS = pathlib.Path(sys.argv.pop(1))
HASH = "58f7fa906bb4d0075f986f82537613c41cf58750b27c4e623c9aa939518296c7"
FILES = ["iOrvitex.exe", "uOrvitex1.exe", "uOrvitex2.exe", "uOrvitex3.exe",
         "ALLV7_XProxy_soapLibSetupSetup.exe", "IHiraDurSetupSW0421.exe"]


def run_report():
    packages = [{"index": i + 1, "file": "C:\\오르비설치\\" + f, "action": "fetched", "bytes": 4,
                 "sha256": HASH, "started": True, "script": "clicked through", "seconds": 9.5,
                 "fetchSeconds": 0.5, "bytesPerSecond": 8,
                 "clicks": [{"x": 350, "y": 315, "physicalX": 525, "physicalY": 473,
                             "class": "Button", "text": "다음", "topLevelCaption": "셋업",
                             "process": f}], "exitCode": None}
                for i, f in enumerate(FILES)]
    return {"schemaVersion": 1, "program": "orvitex-setup", "version": "1.0.0", "mode": "run",
            "code": "12345678", "started": "2026-12-07T00:30:00Z",
            "ended": "2026-12-07T00:34:00Z", "exitCode": 0, "exitMeaning": "complete",
            "message": None, "packages": packages,
            "clientConfig": {"source": "\\\\nas\\update\\Orvitex.ini", "result": "copied"},
            "registryWrites": [{"key": "SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo",
                                "name": "127.0.0.1", "data": "DBMSSOCN,127.0.0.1,4181",
                                "result": "written",
                                "views": "64-bit view: written; 32-bit view: written"}],
            "pictures": [],
            "process": {"cpuMs": 310, "aliveMs": 240000, "peakWorkingSetBytes": 9000000,
                        "peakPrivateBytes": 7000000}}


def write(folder, reports):
    for name, report in reports.items():
        (folder / f"{name}.json").write_text(json.dumps(report, ensure_ascii=False), "utf-8")


def tool(name, *args):
    done = subprocess.run([TOOLS / name, *map(str, args)], capture_output=True, text=True)
    return done.returncode, done.stdout


class Schema(unittest.TestCase):
    # Bugs caught: a field renamed, dropped or added by the program (or by a hand
    # that edits a report) that the schema still lets through.
    def test_a_changed_shape_fails_where_it_changed(self):
        check = run_report()
        for key in ("packages", "clientConfig", "registryWrites", "pictures", "process"):
            del check[key]
        check.update(mode="check", exitCode=7, exitMeaning="a check failed",
                     checks=[{"name": "Orvitex.ini", "ok": False, "status": "fail",
                              "detail": "cannot read"}])
        failed = copy.deepcopy(run_report())
        failed["packages"][4].update(action="not reached", bytes=None, sha256=None,
                                     started=False, script=None, seconds=None, clicks=[],
                                     fetchSeconds=None, bytesPerSecond=None)
        failed.update(exitCode=5, exitMeaning="other failure", process=None,
                      message="package 5 (ALL7), fetching the file: cannot write")

        def changed(change):
            report = copy.deepcopy(run_report())
            change(report)
            return report
        broken = {
            "no-exitMeaning": (changed(lambda r: r.pop("exitMeaning")), "(top)"),
            "renamed-sha256": (changed(lambda r: r["packages"][1].update(
                sha=r["packages"][1].pop("sha256"))), "packages/1"),
            "added-field": (changed(lambda r: r["registryWrites"][0].update(password="x")),
                            "registryWrites/0"),
            "no-click-class": (changed(lambda r: r["packages"][0]["clicks"][0].pop("class")),
                               "packages/0/clicks/0"),
            "schema-2": (changed(lambda r: r.update(schemaVersion=2)), "schemaVersion"),
            "checks-in-run": (changed(lambda r: r.update(checks=[])), "(top)"),
            "started-unfetched": (changed(lambda r: r["packages"][0].update(
                action="skipped as Null")), "packages/0/"),
        }
        with tempfile.TemporaryDirectory() as d:
            folder = pathlib.Path(d)
            write(folder, {"run": run_report(), "check": check, "failed": failed})
            rc, out = tool("validate-report", *sorted(folder.glob("*.json")))
            self.assertEqual(rc, 0, out)
            for name, (report, where) in broken.items():
                write(folder, {name: report})
                rc, out = tool("validate-report", folder / f"{name}.json")
                self.assertEqual(rc, 1, f"{name} passed:\n{out}")
                self.assertIn(f"\n  {where}", out, name)


class Summary(unittest.TestCase):
    # Bugs caught: a PC with another build of a setup program or a wizard left
    # open that the summary does not single out, or PCs told apart where they
    # are alike.
    def test_the_odd_pc_differs_exactly_in_its_hash_and_its_wizard(self):
        odd = run_report()
        odd["packages"][1]["sha256"] = "0" * 64
        odd["packages"][2]["script"] = "limit reached"
        with tempfile.TemporaryDirectory() as d:
            folder = pathlib.Path(d)
            write(folder, {"pc-01": run_report(), "pc-02": run_report(), "pc-03": odd})
            self.assertEqual(tool("validate-report", *sorted(folder.glob("*.json")))[0], 0)
            rc, out = tool("summarize-reports", folder)
        self.assertEqual(rc, 0, out)
        header, *lines = [re.split(r"  +", line) for line in out.splitlines()]
        self.assertEqual(header[0], "PC")
        rows = {row[0]: dict(zip(header, row)) for row in lines}
        self.assertEqual(list(rows), ["pc-01", "pc-02", "pc-03"])
        self.assertEqual(rows["pc-01"], {**rows["pc-02"], "PC": "pc-01"})
        self.assertEqual(rows["pc-01"], {
            "PC": "pc-01", "code": "12345678", "started": "2026-12-07T00:30:00Z",
            "exit": "0 complete", "first failed step": "-", "wizards not completed": "-",
            "packages": "same"})
        self.assertEqual(rows["pc-03"], {
            **rows["pc-01"], "PC": "pc-03",
            "wizards not completed": "3 uOrvitex2.exe: limit reached",
            "packages": "differs: 2 uOrvitex1.exe 000000000000"})


unittest.main(verbosity=2)
