#!/usr/bin/python3
"""The peers' load of an invoice, for comparison: every cell value of the first worksheet.

    /usr/bin/python3 pares.py openpyxl|xlrd ARCHIVO [--repeticiones N]

openpyxl opens the .xlsx read-only and walks its rows; xlrd opens the workbook and reads every cell
of sheet 0. With --repeticiones the load is repeated in this process and the median of the loads
(imports excluded) is printed, in seconds, on the last line.
"""

import argparse
import statistics
import sys
import time


def con_openpyxl(ruta):
    import openpyxl

    libro = openpyxl.load_workbook(ruta, read_only=True)
    celdas = 0
    for fila in libro.worksheets[0].iter_rows(values_only=True):
        for _ in fila:
            celdas += 1
    libro.close()
    return celdas


def con_xlrd(ruta):
    import xlrd

    hoja = xlrd.open_workbook(ruta).sheet_by_index(0)
    celdas = 0
    for fila in range(hoja.nrows):
        for columna in range(hoja.ncols):
            hoja.cell_value(fila, columna)
            celdas += 1
    return celdas


LECTORES = {"openpyxl": con_openpyxl, "xlrd": con_xlrd}


def main():
    argumentos = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    argumentos.add_argument("lector", choices=sorted(LECTORES))
    argumentos.add_argument("archivo")
    argumentos.add_argument("--repeticiones", type=int, default=0)
    opciones = argumentos.parse_args()
    lector = LECTORES[opciones.lector]
    if opciones.repeticiones < 1:
        if lector(opciones.archivo) == 0:
            sys.exit(f"pares.py: {opciones.archivo} no tiene celdas")
        return
    lector(opciones.archivo)  # imports and a first pass outside the measure
    tiempos = []
    for _ in range(opciones.repeticiones):
        inicio = time.perf_counter()
        lector(opciones.archivo)
        tiempos.append(time.perf_counter() - inicio)
    print(f"{statistics.median(tiempos):.4f}")


if __name__ == "__main__":
    main()
