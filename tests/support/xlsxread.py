#!/usr/bin/env python3
"""Prints an XLSX workbook as JSON, read by openpyxl, a reader that shares no
code with the program's writer: per worksheet its name, every cell's value
and type, whether the first row is bold, the frozen cell, the autofilter and
the page setup in one line;
and the workbook's bar charts, which openpyxl does not load, from the zip."""
import json
import re
import sys
import zipfile

import openpyxl

path = sys.argv[1]
book = openpyxl.load_workbook(path)
sheets = []
for ws in book.worksheets:
    rows = [[c.value for c in row] for row in ws.iter_rows()]
    types = sorted({c.data_type for row in ws.iter_rows() for c in row if c.value is not None})
    first = list(ws.iter_rows(min_row=1, max_row=1))
    sheets.append({
        "name": ws.title,
        "rows": [["" if v is None else v for v in r] for r in rows],
        "types": types,
        "boldHeading": bool(first) and all(c.font.b for c in first[0] if c.value is not None),
        "frozen": ws.freeze_panes or "",
        "autofilter": ws.auto_filter.ref or "",
        "printSetup": " ".join([
            f"paper={ws.page_setup.paperSize}",
            f"{ws.page_setup.orientation}",
            "margins=" + ",".join(str(getattr(ws.page_margins, side)) for side in
                                  ("left", "right", "top", "bottom", "header", "footer")),
            f"header={ws.oddHeader.center.text}",
            f"footer={ws.oddFooter.center.text}",
            f"gridlines={bool(ws.print_options.gridLines)}",
            f"centred={bool(ws.print_options.horizontalCentered)}",
            f"titles={ws.print_title_rows or ''};{ws.print_title_cols or ''}",
            "breaks=" + ",".join(str(b.id) for b in ws.row_breaks.brk),
        ]),
    })
with zipfile.ZipFile(path) as z:
    charts = [z.read(n).decode() for n in z.namelist() if re.match(r"xl/charts/chart\d+\.xml", n)]
bars = [re.findall(r"<c:f>([^<]*)</c:f>", c) for c in charts if '<c:barDir val="bar"/>' in c]
json.dump({"sheets": sheets, "barCharts": bars}, sys.stdout, ensure_ascii=False)
