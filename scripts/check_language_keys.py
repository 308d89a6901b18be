#!/usr/bin/env python3
"""Checks a language file against the program's sources: every translation key the program asks
for has a text entry, every menu command and menu-bar entry has a line in the menu section, and
the menu section names only what the program knows.  Also checks the file's form: 8-bit Western
European text, CR LF line ends, within the bytes the program reads.

usage: check_language_keys.py SOURCE_DIR LANGUAGE_FILE
Exit status 0 when the file is complete, 1 with the list of problems otherwise.
"""
import pathlib
import re
import sys

SOURCE_FOLDERS = ("app", "cli", "display", "engine", "model", "recording")
TEXT_LIMIT = 65536  # kLanguageTextLimit
# Bytes that the Western European code page leaves undefined.
UNDEFINED_BYTES = {0x81, 0x8D, 0x8F, 0x90, 0x9D}

# A key and its English default, as the program asks for them: Tr("KEY", "text"),
# Translate("KEY", "text") or a table entry {"KEY", "text"}.
KEY_AND_DEFAULT = re.compile(r'"((?:ID|DC_)[A-Za-z0-9_]*)"\s*,\s*"')
NAME_TABLE_ENTRY = re.compile(r'\{"([A-Za-z0-9_]+)",\s*(kCommand|kBar|kResource),')


def asked_keys(source_dir):
    keys = {}
    for folder in SOURCE_FOLDERS:
        for path in sorted((source_dir / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h") or path.name.startswith("menu_names"):
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for match in KEY_AND_DEFAULT.finditer(text):
                keys.setdefault(match.group(1), path.relative_to(source_dir))
    return keys


def name_table(source_dir):
    text = (source_dir / "app" / "translation" / "menu_names.cpp").read_text(encoding="utf-8")
    return {m.group(1): m.group(2) for m in NAME_TABLE_ENTRY.finditer(text)}


def text_entries(lines):
    # The first line is never read as an entry.
    return {line.split("\t", 1)[0] for line in lines[1:] if "\t" in line}


def menu_section(lines):
    entries = []
    try:
        start = next(i for i, line in enumerate(lines) if "#Menu" in line) + 1
    except StopIteration:
        return entries
    by_position = False
    for line in lines[start:]:
        line = line.lstrip(" ")
        if not line or line.startswith("#EndMenu"):
            break
        if line.startswith("#ColMenu"):
            by_position = True
            continue
        key = re.split(r"[\t ;=]", line, maxsplit=1)[0]
        entries.append((key, by_position))
    return entries


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    source_dir = pathlib.Path(argv[1])
    data = pathlib.Path(argv[2]).read_bytes()
    problems = []
    if len(data) > TEXT_LIMIT:
        problems.append(f"{len(data)} bytes: the program reads only the first {TEXT_LIMIT}")
    if b"\0" in data:
        problems.append("a zero byte: the program stops reading there")
    if any(b in UNDEFINED_BYTES for b in data):
        problems.append("bytes undefined in the Western European code page")
    if re.search(rb"(?<!\r)\n", data) or re.search(rb"\r(?!\n)", data):
        problems.append("line ends other than CR LF")
    lines = data.decode("cp1252", errors="replace").split("\r\n")

    entries = text_entries(lines)
    for key, where in sorted(asked_keys(source_dir).items()):
        if key not in entries:
            problems.append(f"text key {key} (asked for in {where}) has no entry")

    names = name_table(source_dir)
    section = menu_section(lines)
    in_menu = {(key, by_position) for key, by_position in section}
    for key, kind in sorted(names.items()):
        if kind == "kCommand" and (key, False) not in in_menu:
            problems.append(f"menu command {key} has no line in the menu section")
        if kind == "kCommand":
            for suffix in ("_TIP", "_PROMPT"):
                if key + suffix not in entries:
                    problems.append(f"text key {key + suffix} (tooltip and prompt of a command) has no entry")
        if kind == "kBar" and (key, True) not in in_menu:
            problems.append(f"menu-bar entry {key} has no line after ColMenu")
    for key, by_position in section:
        if key not in names:
            problems.append(f"menu section names {key}, which the program does not know")
        elif by_position != (names[key] == "kBar") and names[key] != "kResource":
            problems.append(f"menu section line {key} is on the wrong side of ColMenu")

    for problem in problems:
        print(f"{argv[2]}: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
