#!/usr/bin/env python3
# A results database of ROWS rows like the one bench/ExportBench.cpp makes, for
# timing whole exports with kalvestrin-tool:
#   python3 bench/export-database.py FILE ROWS
import sqlite3
import sys

path, rows = sys.argv[1], int(sys.argv[2])
db = sqlite3.connect(path)
db.executescript(
    "CREATE TABLE Data (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name VARCHAR(40), Surname VARCHAR(40),"
    " Age INTEGER, Gender BOOLEAN, N INTEGER, M DOUBLE, V DOUBLE, Items TEXT, Field1 VARCHAR(100),"
    " Field2 VARCHAR(100), Field3 VARCHAR(100));")
items = "0,25000;1,00000;2,00000;0,75000;" * 10
db.executemany(
    "INSERT INTO Data VALUES (NULL,?,?,?,?,?,?,?,?,?,?,?)",
    (("IVANA ČAVLOVIĆ %d" % (i % 977), "ŠIMUNOVIĆ-ĐURĐEVIĆ", None if i % 13 == 0 else 18 + i % 60, i % 2, 40,
      0.5 + (i % 1000) / 997.0, (i % 311) / 7.0, items, "Zagreb", "grupa B", "") for i in range(rows)))
db.commit()
