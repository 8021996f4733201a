#!/usr/bin/env python3
# Makes the seeds of DocumentFileFuzz in corpus/DocumentFileFuzz/ (run from this folder).
# Each seed is the choice byte and a document: "0" + the file (an SQLite file with 512-byte
# pages, so that a whole document stays a few kilobytes), or "1" + CSV rows of `graphctrltb`.
# Together they hold every element kind on every period, the stored forms older versions
# wrote (no `yoko_ichi`, Shift-JIS texts, UTF-16 files, WAL mode), texts over the editors'
# limits, a flag other than "1", and files the reader must refuse (a view, a trigger).
import os
import sqlite3
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "annotations"))
from document_tables import COLUMNS, NAMES, OKINI, SONOTA, element  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "DocumentFileFuzz")

def row(**values):
    return element(**dict(dict(yoko_ichi=1), **values))


EVERY_KIND = [
    row(id=1, classname="LineElm", date="2024-02-01", enddate="2024-03-01", endrange_y=-4, pen_cr="255"),
    row(id=2, classname="TextElm", date="2024-03-01", enddate="2024-03-01", str="決算", width=0, height=0,
        kikan="w"),
    row(id=3, classname="MemoElm", date="2024-03-04", enddate="2024-03-04", str="line 1\r\nline 2", kikan="m",
        width=120, height=60),
    row(id=4, classname="RangeNedanElm", date="2024-03-01", enddate="2024-03-01", nehaba="120.00",
        endyonhonne=3, startyonhonne=2, startdate="2024-03-01", owaridate="2024-03-15"),
    row(id=5, classname="RangeTimeElm", date="2023-01-04", enddate="2023-12-28", daycount="243", kikan="y",
        code="9984"),
    row(id=6, classname="TakayasuElm", date="2024-01-15", enddate="2024-01-15", pixel_to_yen="0.50000000",
        prev_pixel_to_yen="0.25000000", code="9984", view_bl="0"),
]


def document(name, rows, favourites=("7203", "9984"), yoko_ichi=True, encoding=None, extra_sql=(),
             wal=False):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "d.tvrd")
        db = sqlite3.connect(path)
        db.execute("PRAGMA page_size=512")
        if encoding:
            db.execute("PRAGMA encoding='%s'" % encoding)
        db.execute(OKINI)
        names = NAMES + (["yoko_ichi"] if yoko_ichi else [])
        db.execute("CREATE TABLE 'graphctrltb' (" + COLUMNS + (",yoko_ichi INTEGER" if yoko_ichi else "") + ","
                   + SONOTA + ")")
        for code in favourites:
            db.execute("INSERT INTO okinitb (code) VALUES (?)", (code,))
        for r in rows:
            db.execute("INSERT INTO graphctrltb (" + ",".join(names) + ") VALUES (" + ",".join("?" * len(names))
                       + ")", [r.get(n) for n in names])
        for sql in extra_sql:
            db.execute(sql)
        db.commit()
        if wal:
            db.execute("PRAGMA journal_mode=WAL")
            db.execute("PRAGMA wal_checkpoint(TRUNCATE)")
        db.close()
        with open(path, "rb") as f:
            data = f.read()
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(b"0" + data)


def rows_seed(name, rows):
    def cell(v):
        text = "" if v is None else str(v)
        return '"' + text.replace('"', '""') + '"' if any(c in text for c in ',"\r\n') else text
    lines = [",".join(cell(r.get(n)) for n in NAMES + ["yoko_ichi"]) for r in rows]
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(b"1" + ("\n".join(lines) + "\n").encode("utf-8"))


os.makedirs(OUT, exist_ok=True)
document("every-kind", EVERY_KIND)
document("old-without-yoko-ichi", EVERY_KIND[:2] + EVERY_KIND[3:4], yoko_ichi=False)
document("utf16le", EVERY_KIND[1:3], encoding="UTF-16le")
document("wal-mode", EVERY_KIND[:1], wal=True)
document("texts-over-the-limits", [
    row(id=1, classname="MemoElm", date="2024-03-04", enddate="2024-03-04", str="メ" * 2050),
    row(id=2, classname="TextElm", date="2024-03-04", enddate="2024-03-04", str="a\0b" * 10),
], favourites=("7203",))
document("odd-values", [
    row(id=7, classname="LineElm", date="2024-02-30", enddate="24/3/1", kikan="x", pen_cr="-1",
        init_y_ichimemori=0, pixel_to_yen="1e309", top="-17", view_bl="yes"),
    row(id=8, classname="UnknownElm", date="", enddate=None, code=None),
    row(id=9, classname="TextElm", date="2024-03-01", enddate="2024-03-01", str=b"\x93\xfa\x96\x7b",
        fontmenu=b"\x82\x6c\x82\x72"),
], favourites=("7203", "", "9984"))
document("view-and-trigger", EVERY_KIND[:1], extra_sql=(
    "CREATE TABLE log (a)",
    "CREATE TRIGGER t AFTER INSERT ON okinitb BEGIN INSERT INTO log VALUES (1); END",
    "CREATE VIEW v AS SELECT * FROM graphctrltb"))
document("view-flag-null", [row(id=1, classname="LineElm", date="2024-02-01", enddate="2024-03-01", view_bl=None)])
rows_seed("rows-every-kind", EVERY_KIND)
