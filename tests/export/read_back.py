# Reads an exported file with a reader our writers do not use and prints it as
# JSON: {"columns", "rows", "labels", "values", "extra"}; an empty text is null.
import csv, io, json, subprocess, sys, tempfile, os

kind, path = sys.argv[1], sys.argv[2]
out = {"labels": {}, "values": {}, "extra": {}}

def number_or_text(text, decimal):
    if text.strip() == "":
        return None
    try:
        return float(text.replace(decimal, "."))
    except ValueError:
        return text

if kind == "xlsx":
    import openpyxl
    sheet = openpyxl.load_workbook(path).active
    rows = [list(r) for r in sheet.iter_rows(values_only=True)]
    out["extra"] = {"sheet": sheet.title, "frozen": sheet.freeze_panes, "bold": bool(sheet["A1"].font.b)}
elif kind == "dta":
    import pandas
    reader = pandas.io.stata.StataReader(path)
    frame = reader.read(convert_categoricals=False)
    rows = [list(frame.columns)] + [[None if pandas.isna(v) else getattr(v, "item", lambda: v)() for v in row]
                                    for row in frame.itertuples(index=False)]
    out["labels"] = reader.variable_labels()
    out["values"] = {str(k): v for labels in reader.value_labels().values() for k, v in labels.items()}
elif kind == "sav":
    folder = tempfile.mkdtemp()
    data, listing = os.path.join(folder, "data.csv"), os.path.join(folder, "dictionary.csv")
    with open(os.path.join(folder, "read.sps"), "w") as syntax:
        syntax.write("GET FILE='%s'.\nSAVE TRANSLATE /OUTFILE='%s' /TYPE=CSV /FIELDNAMES /CELLS=VALUES /REPLACE.\n"
                     "DISPLAY DICTIONARY.\n" % (path, data))
    subprocess.run(["pspp", syntax.name, "-o", listing], check=True, capture_output=True)
    rows = [[number_or_text(v, ".") if i else v for v in r] for i, r in enumerate(csv.reader(open(data, encoding="utf-8")))]
    table = None
    for r in csv.reader(open(listing, encoding="utf-8")):
        if r and r[0].startswith("Table:"):
            table = r[0]
        elif table == "Table: Variables" and len(r) > 2 and r[1] != "Position":
            out["labels"][r[0]] = r[2]
        elif table == "Table: Value Labels" and len(r) > 2 and r[1] != "":
            out["values"][r[1]] = r[2]
else:
    raw = open(path, "rb").read()
    separator, decimal = kind.split(":")
    out["extra"] = {"bom": raw.startswith(b"\xef\xbb\xbf"), "crlf": raw.count(b"\r\n") == len(raw.splitlines())}
    text = raw.decode("utf-8-sig")
    rows = list(csv.reader(io.StringIO(text, newline=""), delimiter=separator))
    rows = [rows[0]] + [[number_or_text(v, decimal) for v in r] for r in rows[1:]]

out["columns"] = [str(c) for c in rows[0]]
out["rows"] = [[None if v == "" else (float(v) if isinstance(v, (int, float)) and not isinstance(v, bool) else v)
                for v in r] for r in rows[1:]]
print(json.dumps(out))
