#!/usr/bin/env python3
"""Reads back what the export tests left in <build>/export-check with Python's own csv, json and
html modules, compares it field by field with the registry as the test read it, and runs the
program once from the shell: `wine ardmoor.exe /list /json > out.json` must be valid JSON.

    check_export.py CHECK_FOLDER WINE_RUN ARDMOOR_EXE
"""
import csv
import html.parser
import io
import json
import os
import re
import subprocess
import sys
import tempfile

FIELDS = ["name", "version", "publisher", "install_location", "install_source", "install_date",
          "uninstall_string", "identifying_number", "language", "key", "scope", "quiet_uninstall_string",
          "display_icon", "estimated_size_kb", "system_component", "help_link", "url_info_about",
          "url_update_info", "help_telephone", "modify_path"]
TEXT_VALUES = {"version": "DisplayVersion", "publisher": "Publisher", "install_location": "InstallLocation",
               "install_source": "InstallSource", "install_date": "InstallDate",
               "uninstall_string": "UninstallString", "language": "Language",
               "quiet_uninstall_string": "QuietUninstallString", "display_icon": "DisplayIcon",
               "help_link": "HelpLink", "url_info_about": "URLInfoAbout", "url_update_info": "URLUpdateInfo",
               "help_telephone": "HelpTelephone", "modify_path": "ModifyPath"}
REG_SZ, REG_EXPAND_SZ, REG_DWORD = 1, 2, 4
PRODUCT_CODE = re.compile(r"^\{[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}\}$")
SURROGATE = re.compile("[\ud800-\udfff]")

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def registry_text(kind, data):
    """A value as the listing reads it into a text field."""
    if kind in (REG_SZ, REG_EXPAND_SZ):
        text = data[: len(data) // 2 * 2].decode("utf-16-le", "surrogatepass").split("\0")[0]
        return SURROGATE.sub("\ufffd", text)
    if kind == REG_DWORD:
        return str(int.from_bytes(data[:4], "little"))
    raise ValueError("the dump holds a type the check does not know: %d" % kind)


def read_dump(path):
    entries, absent = {}, []
    values = None
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            parts = line.split("\t")
            if parts[0] == "ENTRY":
                values = entries.setdefault(parts[1], {})
            elif parts[0] == "ABSENT":
                absent.append(parts[1])
            elif parts[0] == "VALUE":
                values[parts[1].lower()] = (int(parts[2]), bytes.fromhex(parts[3]))
    return entries, absent


def expected_record(key, values):
    def text(name):
        kind_data = values.get(name.lower())
        return registry_text(*kind_data) if kind_data else ""

    key_name = key.rsplit("\\", 1)[1]
    record = {field: text(value) for field, value in TEXT_VALUES.items()}
    record["name"] = text("DisplayName") or key_name
    record["identifying_number"] = key_name if PRODUCT_CODE.match(key_name) else ""
    record["key"] = key
    record["scope"] = ("user" if key.upper().startswith("\\HKEY_CURRENT_USER\\")
                       else "machine-32" if "\\wow6432node\\" in key.lower() else "machine-64")
    size = values.get("estimatedsize")
    if size is None:
        record["estimated_size_kb"] = None
    elif size[0] == REG_DWORD:
        record["estimated_size_kb"] = int.from_bytes(size[1][:4], "little")
    else:
        digits = registry_text(*size).strip()
        record["estimated_size_kb"] = int(digits) if digits.isdigit() else None
    flag = values.get("systemcomponent")
    record["system_component"] = bool(flag) and (
        int.from_bytes(flag[1][:4], "little") != 0 if flag[0] == REG_DWORD else registry_text(*flag).strip() not in ("", "0"))
    return record


def as_csv_text(value):
    if value is None:
        return ""
    if value is True or value is False:
        return "true" if value else "false"
    return str(value).replace("\0", "\ufffd")


class TableReader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self.tags, self._cell = [], set(), None

    def handle_starttag(self, tag, attrs):
        self.tags.add(tag)
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self._cell = []

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self._cell is not None:
            self.rows[-1].append("".join(self._cell))
            self._cell = None

    def handle_data(self, data):
        if self._cell is not None:
            self._cell.append(data)


def main():
    folder, wine_run, exe = sys.argv[1:4]
    entries, absent = read_dump(os.path.join(folder, "registry.txt"))
    check(len(entries) >= 7, "the dump holds the seeded and sample entries (%d)" % len(entries))

    # JSON: parses, typed, and the registry field by field.
    with open(os.path.join(folder, "list.json"), "rb") as f:
        raw = f.read()
    check(not raw.startswith(b"\xef\xbb\xbf"), "JSON without a byte-order mark")
    records = json.loads(raw.decode("utf-8"))
    check(isinstance(records, list) and all(list(r.keys()) == FIELDS for r in records), "JSON objects with the fields in order")
    by_key = {r["key"]: r for r in records}
    check(len(by_key) == len(records), "one record per entry")
    for key, values in entries.items():
        got = by_key.get(key)
        check(got is not None, "JSON lists " + key)
        if got is not None:
            want = expected_record(key, values)
            for field in FIELDS:
                check(got[field] == want[field], "%s of %s: %r, registry says %r" % (field, key, got[field], want[field]))
    for key in absent:
        check(key not in by_key, "a key with subkeys is not listed: " + key)
    for r in records:
        check(type(r["system_component"]) is bool and (r["estimated_size_kb"] is None or type(r["estimated_size_kb"]) is int),
              "typed number and boolean in " + r["key"])

    # CSV: RFC 4180 through Python's reader; exactly the JSON's records, in the same order.
    with open(os.path.join(folder, "list.csv"), "rb") as f:
        raw_csv = f.read()
    check(raw_csv.startswith(b"\xef\xbb\xbf"), "CSV starts with a byte-order mark")
    check(raw_csv.endswith(b"\r\n") and b"\n" not in raw_csv.replace(b"\r\n", b"").replace(b'\n"', b""),
          "CSV records end in CR LF")
    rows = list(csv.reader(io.StringIO(raw_csv.decode("utf-8-sig"), newline="")))
    check(rows and rows[0] == FIELDS, "CSV header row")
    check(rows[1:] == [[as_csv_text(r[f]) for f in FIELDS] for r in records], "CSV records equal the JSON records")

    # Tab-separated: four columns a line.
    with open(os.path.join(folder, "list.tsv"), "rb") as f:
        lines = f.read().decode("utf-8").split("\r\n")
    check(lines[-1] == "", "the listing ends with a line break")
    flat = lambda s: re.sub("[\t\r\n]", " ", s)
    check(lines[:-1] == ["\t".join(flat(r[f]) for f in ("name", "version", "publisher", "key")) for r in records],
          "tab-separated lines equal the JSON records")

    # HTML: every entry a row, every name as text, no markup from the registry.
    page = TableReader()
    with open(os.path.join(folder, "export.html"), encoding="utf-8") as f:
        page.feed(f.read())
    check(page.rows[0][0] == "Name", "HTML table header")
    check([row[0] for row in page.rows[1:]] == [r["name"].replace("\r\n", "\n") for r in records],
          "HTML rows hold every name as text")
    check("script" not in page.tags and "img" not in page.tags and "a" not in page.tags, "no markup from the registry")
    check(any("<script>" in row[0] for row in page.rows[1:]), "the seeded <script> name shows as text")

    # The window's export.
    with open(os.path.join(folder, "window.json"), encoding="utf-8") as f:
        window = json.load(f)
    check({"Heron Notes", "Kestrel Data Viewer"} <= {r["name"] for r in window}, "the window's export lists the samples")

    # From the shell, as a script would: standard output redirected to a file.
    with tempfile.TemporaryDirectory() as tmp:
        out_path = os.path.join(tmp, "out.json")
        with open(out_path, "wb") as out:
            code = subprocess.run([wine_run, exe, "/list", "/json"], stdout=out, stderr=subprocess.PIPE,
                                  timeout=120).returncode
        check(code == 0, "wine ardmoor.exe /list /json exits with 0 (%d)" % code)
        with open(out_path, encoding="utf-8") as f:
            shell = json.load(f)
        names = {r["name"] for r in shell}
        check({"Heron Notes", "Kestrel Data Viewer"} <= names, "the shell's run lists the samples")
        check(not any(r["key"].rsplit("\\", 1)[1].startswith("ArdmoorExport_") for r in shell),
              "the seeded entries are gone again")

    for failure in failures:
        print("FAILED:", failure)
    print("%d checks failed; %d entries compared with the registry, %d records read back" %
          (len(failures), len(entries), len(records)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
