#!/usr/bin/env python3
# Writes the chart document behind the README's annotated chart (docs/annotations-0001-d.png):
# four annotations on the day chart of the bundled index 0001, over its autumn 2026 bars.
#
#   python3 docs/make-annotated-document.py /tmp/annotated.tvrd
#   TAVORA_APPDATA=$(mktemp -d) TAVORA_TODAY=2026-12-08 build/bin/tavora-cli render 0001 --period d \
#       --size 1200x700 --document /tmp/annotated.tvrd --out docs/annotations-0001-d.png
#
# The elements are anchored to bars by date and to a price of that bar (the low, or the high
# where takane_kijyun is "1"); range_y / endrange_y move them that many pixels down from it.
# - a line (LineElm) along the lows from 2026-09-08 to 2026-11-24, a rising support line;
# - a text (TextElm) above the high of 2026-12-03;
# - a day count (RangeTimeElm) under the low of 2026-10-23: 31 bars, up to 2026-12-08;
# - a price range (RangeNedanElm) from the low of 2026-10-23 to the high of 2026-11-30,
#   drawn just right of the newest bars (the end bar's column, yoko_ichi 1, moved 70 pixels right
#   by range_x) with the difference at its left.
# Colours are Windows-style numbers 0x00BBGGRR, as the program stores them.
import os
import sqlite3
import sys

SONOTA = ",".join("sonota%d TEXT" % i for i in range(1, 18))
OKINI = "CREATE TABLE 'okinitb' (code TEXT PRIMARY KEY," + SONOTA + ")"
COLUMNS = ("idkikancode TEXT PRIMARY KEY,id INTEGER,classname TEXT,date TEXT,enddate TEXT,hichi INTEGER,"
           "vichi INTEGER,takane_kijyun TEXT,range_x INTEGER,range_y INTEGER,init_range_y INTEGER,str TEXT,"
           "left INTEGER,top TEXT,width INTEGER,height INTEGER,font_cr TEXT,font_size INTEGER,fontweight INTEGER,"
           "fontmenu TEXT,pen_cr TEXT,penStyle INTEGER,penWidth INTEGER,prev_pixel_to_yen TEXT,pixel_to_yen TEXT,"
           "init_y_ichimemori INTEGER,init_x_haba_p INTEGER,init_pixel_to_yen TEXT,view_bl TEXT,kikan TEXT,"
           "daycount TEXT,nehaba TEXT,endyonhonne INTEGER,startyonhonne INTEGER,endpixel INTEGER,startdate TEXT,"
           "owaridate TEXT,endrange_y INTEGER,code TEXT,yoko_ichi INTEGER")
NAMES = [c.split()[0] for c in COLUMNS.split(",")]

RED, BLUE, GREEN, PURPLE = 0x0000E0, 0xC04000, 0x008000, 0x800080
LOW, HIGH = 2, 3  # which price of a bar a price range measures


def row(**values):
    base = dict(hichi=0, vichi=0, takane_kijyun="0", range_x=0, range_y=0, init_range_y=0, str="", left=0,
                top=0, width=0, height=0, font_cr=str(PURPLE), font_size=12, fontweight=400, fontmenu="メイリオ",
                pen_cr=str(RED), penStyle=1, penWidth=2, prev_pixel_to_yen="0.00000000",
                pixel_to_yen="0.00000000", init_y_ichimemori=5, init_x_haba_p=3,
                init_pixel_to_yen="0.20000000", view_bl="1", kikan="d", daycount="", nehaba="", endyonhonne=0,
                startyonhonne=0, endpixel=0, startdate="", owaridate="", endrange_y=0, code="0001", yoko_ichi=1)
    base.update(values)
    base["idkikancode"] = "%d%s%s" % (base["id"], base["kikan"], base["code"])
    return [base.get(n) for n in NAMES]


ROWS = [
    row(id=1, classname="LineElm", date="2026-09-08", enddate="2026-11-24", range_y=4, endrange_y=4,
        pen_cr=str(RED)),
    row(id=2, classname="TextElm", date="2026-12-03", enddate="2026-12-03", takane_kijyun="1", range_y=-40,
        range_x=-40, str="高値圏でもみ合い", font_cr=str(PURPLE), font_size=12, fontweight=700),
    row(id=3, classname="RangeTimeElm", date="2026-10-23", enddate="2026-12-08", range_y=24, daycount="31",
        pen_cr=str(BLUE), font_cr=str(BLUE), font_size=11),
    row(id=4, classname="RangeNedanElm", date="2026-10-23", enddate="2026-10-23", startdate="2026-10-23",
        owaridate="2026-11-30", startyonhonne=LOW, endyonhonne=HIGH, nehaba="3525.57", yoko_ichi=1, range_x=70,
        pen_cr=str(GREEN), font_cr=str(GREEN), font_size=11),
]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-annotated-document.py OUT.tvrd")
    out = sys.argv[1]
    if os.path.exists(out):
        os.remove(out)
    db = sqlite3.connect(out)
    db.execute(OKINI)
    db.execute("CREATE TABLE 'graphctrltb' (" + COLUMNS + "," + SONOTA + ")")
    db.execute("INSERT INTO okinitb (code) VALUES (?)", ("0001",))
    marks = ",".join("?" * len(NAMES))
    for r in ROWS:
        db.execute("INSERT INTO graphctrltb (" + ",".join(NAMES) + ") VALUES (" + marks + ")", r)
    db.commit()
    db.close()
    print(out)


if __name__ == "__main__":
    main()
