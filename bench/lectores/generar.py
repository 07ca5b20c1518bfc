#!/usr/bin/python3
"""Writes the benchmark invoices into a folder: factura.xlsx (shared strings, number and date
formats, a formula column with its cached result) and factura.xls, the same workbook saved as
BIFF8 by ssconvert.

    /usr/bin/python3 generar.py CARPETA [--filas N]

The content is fixed by a seed, so every run writes the same cells.
"""

import argparse
import datetime
import os
import random
import shutil
import subprocess
import sys

import xlsxwriter

ENCABEZADO = [
    "CODIGO", "DESCRIPCION", "MARCA", "MODELO", "ORIGEN", "PROCEDENCIA", "NCM", "UNIDAD",
    "CANTIDAD", "PRECIO UNITARIO", "TOTAL", "PESO NETO", "PESO BRUTO", "FECHA EMBARQUE",
    "FECHA ARRIBO", "FACTURA", "ORDEN", "BULTOS", "MONEDA", "DESCUENTO", "LOTE", "VENCIMIENTO",
    "OBSERVACIONES", "CODIGO DE BARRAS", "POSICION",
]
COLUMNAS = len(ENCABEZADO)

ARTICULOS = ["Taladro percutor", "Sierra circular", "Amoladora angular", "Lijadora orbital",
             "Destornillador inalámbrico", "Rotomartillo", "Caladora", "Soldadora inverter",
             "Compresor de aire", "Hidrolavadora", "Pistola de calor", "Fresadora"]
DETALLES = ["con maletín", "1/2\" 750 W", "220 V 50 Hz", "batería de litio", "juego de 12 piezas",
            "uso profesional", "doble aislación", "velocidad variable"]
MARCAS = ["ACME", "TOOLMAX", "D'ANGELO", "FERRUM", "NORTEC", "VOLTA"]
PAISES = ["CHINA", "BRASIL", "ALEMANIA", "ITALIA", "TAIWAN", "ESTADOS UNIDOS"]
UNIDADES = ["UN", "KG", "PAR", "JGO", "MT"]
OBSERVACIONES = ["", "", "", "frágil", "reembolso pendiente", "ver nota de crédito 12",
                 "embalaje dañado; revisar", "muestra sin valor comercial"]


def fila_de_datos(azar, n):
    """The 25 values of invoice line n: texts, numbers, dates and the total as a formula."""
    cantidad = azar.randint(1, 500)
    precio = round(azar.uniform(0.5, 2500.0), 2)
    neto = round(cantidad * azar.uniform(0.05, 12.0), 3)
    embarque = datetime.date(2023, 1, 2) + datetime.timedelta(days=azar.randint(0, 540))
    vencimiento = embarque + datetime.timedelta(days=azar.randint(365, 1500))
    return [
        f"A-{n:06d}",
        f"{azar.choice(ARTICULOS)} {azar.choice(DETALLES)}",
        azar.choice(MARCAS),
        f"M{azar.randint(100, 9999)}-{azar.choice('ABCDXZ')}",
        azar.choice(PAISES),
        azar.choice(PAISES),
        f"{azar.randint(8400, 8599)}.{azar.randint(10, 99)}.{azar.randint(10, 99)}.000{azar.choice('WXYZ')}",
        azar.choice(UNIDADES),
        cantidad,
        precio,
        ("formula", cantidad * precio),
        neto,
        round(neto * azar.uniform(1.02, 1.3), 3),
        embarque,
        embarque + datetime.timedelta(days=azar.randint(15, 60)),
        f"0003-{azar.randint(1, 99999999):08d}",
        azar.randint(1, 99999),
        azar.randint(1, 40),
        "USD",
        round(azar.choice([0, 0, 0.05, 0.1, 0.125]), 3),
        f"L{azar.randint(1, 999999):06d}",
        vencimiento,
        azar.choice(OBSERVACIONES),
        azar.randint(7790000000000, 7799999999999),
        f"{azar.randint(1, 99)}",
    ]


def escribir_xlsx(ruta, filas):
    libro = xlsxwriter.Workbook(ruta)
    # A fixed creation date: the same file, byte for byte, on every run.
    libro.set_properties({"created": datetime.datetime(2024, 6, 11, 12, 0, 0)})
    hoja = libro.add_worksheet("Factura")
    formato_fecha = libro.add_format({"num_format": "dd/mm/yyyy"})
    formato_precio = libro.add_format({"num_format": "#,##0.00"})
    formato_peso = libro.add_format({"num_format": "0.000"})
    formato_porcentaje = libro.add_format({"num_format": "0.0%"})
    formatos = {9: formato_precio, 10: formato_precio, 11: formato_peso, 12: formato_peso,
                19: formato_porcentaje}
    hoja.write_row(0, 0, ENCABEZADO)
    azar = random.Random(20240611)
    for n in range(1, filas + 1):
        for c, valor in enumerate(fila_de_datos(azar, n)):
            if isinstance(valor, tuple):
                hoja.write_formula(n, c, f"=I{n + 1}*J{n + 1}", formatos.get(c), valor[1])
            elif isinstance(valor, datetime.date):
                hoja.write_datetime(n, c, valor, formato_fecha)
            elif isinstance(valor, str):
                hoja.write_string(n, c, valor)
            else:
                hoja.write_number(n, c, valor, formatos.get(c))
    libro.close()


def main():
    argumentos = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    argumentos.add_argument("carpeta")
    argumentos.add_argument("--filas", type=int, default=10000)
    opciones = argumentos.parse_args()
    if opciones.filas < 1:
        sys.exit("generar.py: --filas debe ser 1 o más")
    if shutil.which("ssconvert") is None:
        sys.exit("generar.py: falta ssconvert (apt-get install -y gnumeric)")
    os.makedirs(opciones.carpeta, exist_ok=True)
    xlsx = os.path.join(opciones.carpeta, "factura.xlsx")
    xls = os.path.join(opciones.carpeta, "factura.xls")
    escribir_xlsx(xlsx, opciones.filas)
    subprocess.run(["ssconvert", "--export-type=Gnumeric_Excel:excel_biff8", xlsx, xls],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for ruta in (xlsx, xls):
        print(f"{ruta}: {os.path.getsize(ruta)} bytes")


if __name__ == "__main__":
    main()
