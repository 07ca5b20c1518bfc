#!/usr/bin/python3
"""Writes the example supplier invoice in both spreadsheet formats.

  examples/factura-ejemplo.xlsx   written with xlsxwriter (totals are formulas
                                  with their cached results, dates are date cells)
  examples/factura-ejemplo.xls    the same workbook converted to BIFF8 by
                                  Gnumeric's ssconvert

The first worksheet follows the column layout of "Selección automatica"
(E quantity, F unit, J total, K origin, M shipment date, N arrival date,
Q provenance, U brand, W article code) and adds a description in B and other
columns a supplier's invoice carries. The second worksheet "Notas" holds notes
and the invoice total: only the first worksheet is read.

After writing, both files are read back with xlrd and must give the same
cells; the article codes are matched against catalog 1 of the demo data.

Needs: python3-xlsxwriter, python3-xlrd, gnumeric (ssconvert).
Run: /usr/bin/python3 tools/generar_ejemplos.py
"""

import datetime
import os
import sqlite3
import subprocess
import sys

import xlrd
import xlsxwriter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import generar_datos_demo as demo  # noqa: E402

RAIZ = demo.RAIZ
XLSX = os.path.join(RAIZ, "examples", "factura-ejemplo.xlsx")
XLS = os.path.join(RAIZ, "examples", "factura-ejemplo.xls")

CABECERAS = [
    "ITEM", "DESCRIPTION", "HS CODE", "CARTONS", "QUANTITY", "UNIT", "UNIT PRICE (USD)", "CURRENCY",
    "NET WEIGHT (KG)", "AMOUNT (USD)", "ORIGIN", "INCOTERM", "SHIPMENT DATE", "ETA BUENOS AIRES",
    "PORT OF LOADING", "PORT OF DISCHARGE", "PROVENANCE", "GROSS WEIGHT (KG)", "CBM", "P.O. NUMBER",
    "BRAND", "SUPPLIER REF.", "CUSTOMER CODE", "REMARKS",
]

EMBARQUE = datetime.date(2024, 5, 10)
ARRIBO = datetime.date(2024, 6, 21)

# (description, HS code, cartons, quantity, unit, unit price, net kg, origin, gross kg, CBM,
#  brand, supplier reference, customer code, remarks)
LINEAS = [
    ("IMPACT DRILL 650W 13MM KEYED CHUCK", "8467.21", 20, 120, "PCS", 28.50, 228.0, "CHINA", 252.0, 1.32,
     "TOOLMAX", "ZD-650A", "TX650", ""),
    ("CIRCULAR SAW 1400W 185MM BLADE", "8467.22", 15, 60, "PCS", 46.00, 252.0, "CHINA", 276.0, 1.74,
     "TOOLMAX", "ZS-1400", "SC1400", ""),
    ("CORDLESS DRILL DRIVER 18V LI-ION", "8467.21", 10, 80, "UNIDADES", 39.90, 128.0, "P.R. CHINA", 141.5,
     0.96, "TOOLMAX", "ZD-18L", "TXB18", "WITH CHARGER"),
    ("COMBINATION SPANNER SET 24 PCS CR-V", "8204.11", 10, 50, "SETS", 17.30, 155.0, "TAIWAN", 162.0, 0.41,
     "TOOLMAX", "SP-24CV", "JL24", ""),
    ("SCREWDRIVER SET 6 PCS", "8205.40", 8, 200, "PCS", 4.10, 120.0, "CHINA", 128.0, 0.38,
     "TOOLMAX", "SD-6S", "DS6", ""),
    ("MEASURING TAPE 5M X 19MM", "9017.80", 5, 500, "PC", 1.35, 100.0, "CHINA", 108.0, 0.22,
     "TOOLMAX", "MT-519", "MT5M", ""),
    ("SELF DRILLING SCREW 4.8X19 ZINC PLATED", "7318.14", 10, 250, "KILOS", 3.85, 250.0, "CHINA", 262.0,
     0.12, "TOOLMAX", "SDS-4819", "TORN48", "BULK IN 25 KG BAGS"),
    ("LED BULB 9W E27 6500K", "8539.52", 10, 1000, "PCS", 0.62, 50.0, "P.R. CHINA", 68.0, 0.55,
     "LUXOR", "LB-9E27", "LED9W", ""),
    ("BRASS PADLOCK 40MM 3 KEYS", "8301.10", 6, 300, "PCS", 2.20, 75.0, "CHINA", 81.0, 0.09,
     "TOOLMAX", "PL-40B", "CAND40", ""),
    ("ANGLE GRINDER 115MM 850W", "8467.29", 10, 60, "PCS", 24.80, 114.0, "CHINA", 126.0, 0.66,
     "TOOLMAX", "AG-115", "AMOL115", "NEW ITEM"),
    ("ALUMINIUM SPIRIT LEVEL 60CM", "9015.80", 5, 100, "PCS", 3.40, 45.0, "CHINA", 52.0, 0.18,
     "TOOLMAX", "SL-60", "NIV60", "NEW ITEM"),
    ("SAFETY BOOTS STEEL TOE CAP", "6403.40", 4, 40, "PAIRS", 21.00, 56.0, "MADE IN ITALY", 64.0, 0.48,
     "SAFEGRIP", "SB-S1P", "BOTSEG", ""),
    ("SILICONE SEALANT 280ML CLEAR", "3214.10", 10, 240, "UNIDADES", 1.95, 72.0, "USA", 80.0, 0.15,
     "SEALPRO", "SS-280C", "SILIC", ""),
    ("HSS DRILL BIT SET 10 PCS 1-10MM", "8207.50", 6, 150, "SETS", 3.60, 45.0, "CHINA", 49.0, 0.07,
     "TOOLMAX", "DB-10H", "MECHA10", "NEW ITEM"),
]

NOTAS = [
    "NOTES",
    "Invoice NB-2024-0517 - NINGBO BRIGHTWAY TOOLS CO., LTD.",
    "Buyer: AUSTRAL HERRAMIENTAS S.A., Buenos Aires, Argentina",
    "Payment: T/T 30% deposit, 70% against copy of B/L",
    "Container: 1 x 20' GP - MSKU 7312045",
    "Only the first worksheet holds the article lines.",
]


def escribir_xlsx():
    libro = xlsxwriter.Workbook(XLSX)
    libro.set_properties({"title": "Commercial invoice NB-2024-0517", "author": "NINGBO BRIGHTWAY TOOLS",
                          "created": datetime.datetime(2024, 5, 8, 9, 30)})
    negrita = libro.add_format({"bold": True, "bg_color": "#D9E1F2", "border": 1})
    fecha = libro.add_format({"num_format": "dd/mm/yyyy"})
    precio = libro.add_format({"num_format": "0.00"})
    importe = libro.add_format({"num_format": "#,##0.00"})
    kilos = libro.add_format({"num_format": "0.0"})

    hoja = libro.add_worksheet("INVOICE")
    hoja.write_row(0, 0, CABECERAS, negrita)
    hoja.freeze_panes(1, 0)
    hoja.set_column("B:B", 40)
    hoja.set_column("C:X", 14)
    for n, (desc, hs, cajas, cant, unidad, unit, neto, origen, bruto, cbm, marca, ref, codigo, obs) in \
            enumerate(LINEAS, start=1):
        f = n  # worksheet row index (0-based), row n + 1 in the sheet
        hoja.write_number(f, 0, n)
        hoja.write_string(f, 1, desc)
        hoja.write_string(f, 2, hs)
        hoja.write_number(f, 3, cajas)
        hoja.write_number(f, 4, cant)
        hoja.write_string(f, 5, unidad)
        hoja.write_number(f, 6, unit, precio)
        hoja.write_string(f, 7, "USD")
        hoja.write_number(f, 8, neto, kilos)
        hoja.write_formula(f, 9, "=ROUND(E%d*G%d,2)" % (f + 1, f + 1), importe, round(cant * unit, 2))
        hoja.write_string(f, 10, origen)
        hoja.write_string(f, 11, "FOB")
        hoja.write_datetime(f, 12, datetime.datetime.combine(EMBARQUE, datetime.time()), fecha)
        hoja.write_datetime(f, 13, datetime.datetime.combine(ARRIBO, datetime.time()), fecha)
        hoja.write_string(f, 14, "NINGBO")
        hoja.write_string(f, 15, "BUENOS AIRES")
        hoja.write_string(f, 16, "CHINA")
        hoja.write_number(f, 17, bruto, kilos)
        hoja.write_number(f, 18, cbm)
        hoja.write_string(f, 19, "PO-2024-0117")
        hoja.write_string(f, 20, marca)
        hoja.write_string(f, 21, ref)
        hoja.write_string(f, 22, codigo)
        if obs:
            hoja.write_string(f, 23, obs)

    notas = libro.add_worksheet("Notas")
    for n, texto in enumerate(NOTAS):
        notas.write_string(n, 0, texto, negrita if n == 0 else None)
    total = round(sum(round(l[3] * l[5], 2) for l in LINEAS), 2)
    ultima = len(LINEAS) + 1
    notas.write_string(len(NOTAS) + 1, 0, "TOTAL FOB NINGBO (USD)")
    notas.write_formula(len(NOTAS) + 1, 1, "=SUM(INVOICE!J2:J%d)" % ultima, importe, total)
    libro.close()


def convertir_xls():
    subprocess.run(["ssconvert", "--export-type=Gnumeric_Excel:excel_biff8", XLSX, XLS], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def celdas(ruta):
    libro = xlrd.open_workbook(ruta)
    salida = {}
    for hoja in libro.sheets():
        for f in range(hoja.nrows):
            for c in range(hoja.ncols):
                celda = hoja.cell(f, c)
                if celda.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    continue
                valor = celda.value
                if celda.ctype == xlrd.XL_CELL_DATE:
                    valor = xlrd.xldate_as_datetime(valor, libro.datemode)
                salida[(hoja.name, f, c)] = (celda.ctype, valor)
    return [h.name for h in libro.sheets()], salida


def verificar():
    problemas = []
    hojas_x, a = celdas(XLSX)
    hojas_b, b = celdas(XLS)
    if hojas_x != ["INVOICE", "Notas"] or hojas_b != hojas_x:
        problemas.append("hojas: %s / %s" % (hojas_x, hojas_b))
    for clave in sorted(set(a) | set(b)):
        if a.get(clave) != b.get(clave):
            problemas.append("celda %s: xlsx %r, xls %r" % (clave, a.get(clave), b.get(clave)))
    for n, linea in enumerate(LINEAS, start=1):
        total = a.get(("INVOICE", n, 9))
        if total != (xlrd.XL_CELL_NUMBER, round(linea[3] * linea[5], 2)):
            problemas.append("total de la fila %d: %r" % (n + 1, total))
        if a.get(("INVOICE", n, 12), (None,))[0] != xlrd.XL_CELL_DATE:
            problemas.append("fecha de embarque de la fila %d no es fecha" % (n + 1))
    if any(("INVOICE", 0, c) not in a for c in range(23)):
        problemas.append("faltan cabeceras en A..W")

    con = sqlite3.connect(":memory:")
    demo.cargar(con, demo.ESQUEMA_ADUANA)
    demo.cargar(con, demo.DEMO_SQL)
    catalogo = {r[0] for r in con.execute("select idarticulo from catarticulos where idcatalogo = '1'")}
    codigos = [l[12] for l in LINEAS]
    print("%d líneas, %d en el catálogo 1, nuevos: %s" % (
        len(codigos), sum(c in catalogo for c in codigos), ", ".join(c for c in codigos if c not in catalogo)))
    print("%d celdas iguales en .xlsx y .xls" % len(a))
    return problemas


def main():
    escribir_xlsx()
    convertir_xls()
    demo.terminar(verificar())


if __name__ == "__main__":
    main()
