#!/usr/bin/python3
"""Writes the .xlsx fixtures of the reader tests into tests/fixtures/xlsx.

Three kinds of files:
- workbooks written by real spreadsheet programs (openpyxl, XlsxWriter, and Gnumeric's ssconvert
  when it is installed), each with a <name>.esperado.tsv beside it: the text every non-empty cell
  of the first worksheet must give under es_AR and en_US. Those texts are worked out here from
  what openpyxl reads back (data_only=True), independently of the C++ reader, so the test
  cross-checks both;
- hand-made packages for the features a program may or may not use (strict and prefixed
  namespaces, missing r attributes, inline and rich strings, _xHHHH_ escapes, 1904 dates,
  cached formula results, errors, booleans, ISO dates, unusual part names);
- hostile packages (zip bomb, entity bomb, indices beyond the sheet, truncated zip, not a zip...).

Run from anywhere: /usr/bin/python3 tools/generar_fixtures_xlsx.py
Needs python3-openpyxl and python3-xlsxwriter (Debian); gnumeric (ssconvert) is optional.
"""

import datetime as dt
import io
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

import openpyxl
import xlsxwriter

RAIZ = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DESTINO = os.path.join(RAIZ, "tests", "fixtures", "xlsx")

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG = "http://schemas.openxmlformats.org/package/2006/relationships"
MAIN_S = "http://purl.oclc.org/ooxml/spreadsheetml/main"
REL_S = "http://purl.oclc.org/ooxml/officeDocument/relationships"
FECHA_FIJA = (2024, 1, 2, 3, 4, 6)


# ---------------------------------------------------------------------------------------------
# Expected texts, computed from what openpyxl reads.

ERRORES = {"#NULL!": 2000, "#DIV/0!": 2007, "#VALUE!": 2015, "#REF!": 2023, "#NAME?": 2029,
           "#NUM!": 2036, "#N/A": 2042}

LOCALES = {
    # short date with four-digit year, long time without time zone, decimal separator
    "es_AR": ("{d}/{m}/{y:04d}", lambda h, mi, s: f"{h:02d}:{mi:02d}:{s:02d}", ","),
    "en_US": ("{m}/{d}/{y:04d}",
              lambda h, mi, s: f"{(h % 12) or 12}:{mi:02d}:{s:02d} {'AM' if h < 12 else 'PM'}", "."),
}


def texto_numero(x, decimal):
    if x == 0:
        return "0"
    return ("%.15G" % x).replace(".", decimal)


def texto_serial(serial, locale):
    """Text of a date serial of the 1900 system (1 = 1/1/1900, 60 = 29/2/1900)."""
    patron, hora, _ = LOCALES[locale]
    dias = int(serial // 1)
    segundos = round((serial - dias) * 86400)
    if segundos >= 86400:
        dias, segundos = dias + 1, segundos - 86400
    partes = []
    if dias > 0:
        if dias == 60:
            y, m, d = 1900, 2, 29
        else:
            f = dt.date(1899, 12, 30) + dt.timedelta(days=dias + (1 if dias < 60 else 0))
            y, m, d = f.year, f.month, f.day
        partes.append(patron.format(d=d, m=m, y=y))
    if segundos or dias == 0:
        partes.append(hora(segundos // 3600, segundos // 60 % 60, segundos % 60))
    return " ".join(partes)


def serial_de(valor, fecha1904):
    if isinstance(valor, dt.timedelta):
        return valor.total_seconds() / 86400
    if isinstance(valor, dt.time):
        # openpyxl gives a time for any date serial below 1; in a 1904 workbook that is 1/1/1904.
        fraccion = (valor.hour * 3600 + valor.minute * 60 + valor.second + valor.microsecond / 1e6) / 86400
        return fraccion + (1462 if fecha1904 else 0)
    if isinstance(valor, dt.datetime):
        base = valor - dt.datetime(1899, 12, 30)
    else:
        base = valor - dt.date(1899, 12, 30)
        base = dt.timedelta(days=base.days)
    serial = base.days + base.seconds / 86400 + base.microseconds / 86400e6
    return serial - 1 if serial < 61 else serial


def texto_esperado(celda, locale, fecha1904):
    v = celda.value
    if v is None:
        return None
    if celda.data_type == "e":
        return f"Error {ERRORES[v]}"
    if isinstance(v, bool):
        return "True" if v else "False"
    if isinstance(v, (int, float)):
        return texto_numero(v, LOCALES[locale][2])
    if isinstance(v, (dt.datetime, dt.date, dt.time, dt.timedelta)):
        return texto_serial(serial_de(v, fecha1904), locale)
    return str(v)


def escapar(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def escribir_esperado(ruta_xlsx):
    libro = openpyxl.load_workbook(ruta_xlsx, data_only=True)
    hoja = libro.worksheets[0]
    fecha1904 = libro.epoch == openpyxl.utils.datetime.MAC_EPOCH
    lineas = ["# fila\tcolumna\tes_AR\ten_US (openpyxl %s, hoja \"%s\")" % (openpyxl.__version__, hoja.title)]
    for fila in hoja.iter_rows():
        for c in fila:
            es = texto_esperado(c, "es_AR", fecha1904)
            if es is None:
                continue
            lineas.append("\t".join([str(c.row), str(c.column), escapar(es), escapar(texto_esperado(c, "en_US", fecha1904))]))
    with open(os.path.splitext(ruta_xlsx)[0] + ".esperado.tsv", "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lineas) + "\n")


# ---------------------------------------------------------------------------------------------
# Workbooks written by programs.

CABECERA = ["Código", "Descripción", "Cantidad", "Precio", "Total", "Origen", "Fecha", "Hora", "Activo", "Nota"]


def fijar_propiedades(libro):
    libro.properties.created = dt.datetime(2024, 1, 2, 3, 4, 5)
    libro.properties.modified = dt.datetime(2024, 1, 2, 3, 4, 5)


def openpyxl_factura():
    ruta = os.path.join(DESTINO, "openpyxl_factura.xlsx")
    libro = openpyxl.Workbook()
    fijar_propiedades(libro)
    otra = libro.active
    otra.title = "Otra"
    otra["A1"] = "NO LEER: segunda hoja en el orden del libro"
    hoja = libro.create_sheet("Factura")
    libro.move_sheet(hoja, offset=-1)  # first in workbook order, second part written
    hoja.append(CABECERA)
    hoja.append(["A-001", 'Tornillo 3/8" acero', 100, 0.1 + 0.2, 1234567.891, "China",
                 dt.date(2024, 3, 15), dt.datetime(2024, 3, 15, 13, 45, 30), True, "  espacios  "])
    hoja.append(["B-002", "Ñandú ñoño — «comillas» 日本", 1e15, -0.00001, 1.5e-5, "Brasil",
                 dt.date(1900, 1, 1), dt.time(6, 30), False, "línea1\nlínea2"])
    hoja.append(["C-003", "Fechas del borde", 123456789012345678, 1 / 3, -2.5, "Alemania",
                 dt.datetime(1900, 3, 1), dt.date(1900, 2, 28), "#N/A", "0.00"])
    hoja.append([])
    hoja.append(["D-004", "Números", 1e-4, 12345678901234.5, 0.1234567890123456, -0.0, 1e100,
                 dt.timedelta(hours=30), dt.time(0, 0, 1), "#DIV/0!"])
    hoja.append(["E-005", "Formatos", 0.15, 1234.5, 42, 7, dt.date(9999, 12, 31),
                 dt.datetime(2023, 12, 31, 23, 59, 59, 600000), 99999999999999.9, "#VALUE!"])
    hoja["C7"].number_format = "0%"
    hoja["D7"].number_format = '#,##0.00 "kg"'
    hoja["E7"].number_format = "[Red]0.00;[Blue]-0.00"
    hoja["F7"].number_format = "dd/mm/yyyy hh:mm"
    hoja["G7"].number_format = "d \"de\" mmmm \"de\" yyyy"
    libro.save(ruta)
    escribir_esperado(ruta)


def xlsxwriter_factura():
    ruta = os.path.join(DESTINO, "xlsxwriter_factura.xlsx")
    libro = xlsxwriter.Workbook(ruta)
    libro.set_properties({"created": dt.datetime(2024, 1, 2, 3, 4, 5)})
    # A chart sheet first: the first worksheet is the one after it.
    grafico = libro.add_chartsheet("Gráfico")
    hoja = libro.add_worksheet("Factura")
    libro.add_worksheet("Resumen").write("A1", "NO LEER")
    f_fecha = libro.add_format({"num_format": "dd/mm/yyyy"})
    f_fecha_hora = libro.add_format({"num_format": "yyyy-mm-dd hh:mm:ss"})
    f_hora = libro.add_format({"num_format": "hh:mm"})
    f_transcurrido = libro.add_format({"num_format": "[h]:mm:ss"})
    f_dias = libro.add_format({"num_format": '0.00 "días"'})
    f_miles = libro.add_format({"num_format": "#,##0.00"})
    f_color = libro.add_format({"num_format": "[Red]0.00;[Blue]-0.00"})
    f_hms = libro.add_format({"num_format": "h:mm:ss AM/PM"})
    f_integrado = libro.add_format({"num_format": 14})
    f_negrita = libro.add_format({"bold": True})
    hoja.write_row(0, 0, CABECERA)
    hoja.write_string(1, 0, "X-1")
    hoja.write_rich_string(1, 1, "Caja ", f_negrita, "grande", " de cartón")
    hoja.write_number(1, 2, 3)
    hoja.write_number(1, 3, 19.99, f_miles)
    hoja.write_formula(1, 4, "=C2*D2", f_miles, 59.97)
    hoja.write_string(1, 5, "Japón")
    hoja.write_datetime(1, 6, dt.datetime(2024, 2, 29), f_fecha)
    hoja.write_datetime(1, 7, dt.datetime(2024, 2, 29, 8, 5, 9), f_fecha_hora)
    hoja.write_boolean(1, 8, True)
    hoja.write_formula(1, 9, '=A2&"-ok"', None, "X-1-ok")
    hoja.write_string(2, 0, "X-2")
    hoja.write_string(2, 1, " con blancos ")
    hoja.write_number(2, 2, 2.5, f_dias)
    hoja.write_number(2, 3, -1234.5, f_color)
    hoja.write_formula(2, 4, "=1/0", None, "#DIV/0!")
    hoja.write_formula(2, 5, "=NA()", None, "#N/A")
    hoja.write_datetime(2, 6, dt.time(17, 30), f_hora)
    hoja.write_number(2, 7, 1.5, f_transcurrido)
    hoja.write_formula(2, 8, "=1>2", None, False)
    hoja.write_blank(2, 9, None, f_negrita)
    hoja.write_string(3, 0, "X-3")
    hoja.write_number(3, 2, 45000.75, f_hms)
    hoja.write_number(3, 3, 45000, f_integrado)
    hoja.write_formula(3, 4, "=SQRT(-1)", None, "#NUM!")
    hoja.write_formula(3, 5, "=A1:A2 B1:B2", None, "#NULL!")
    hoja.write_formula(3, 6, "=NOEXISTE()", None, "#NAME?")
    hoja.write_formula(3, 7, "=#REF!", None, "#REF!")
    hoja.write_formula(3, 8, '="a"+1', None, "#VALUE!")
    hoja.write_string(3, 9, "_x0041_ literal")
    grafico_datos = libro.add_chart({"type": "column"})
    grafico_datos.add_series({"values": "=Factura!$C$2:$C$4"})
    grafico.set_chart(grafico_datos)
    libro.close()
    escribir_esperado(ruta)


def xlsxwriter_1904():
    """date1904, and inline strings (XlsxWriter writes them in constant_memory mode)."""
    ruta = os.path.join(DESTINO, "xlsxwriter_1904.xlsx")
    libro = xlsxwriter.Workbook(ruta, {"date_1904": True, "constant_memory": True})
    libro.set_properties({"created": dt.datetime(2024, 1, 2, 3, 4, 5)})
    hoja = libro.add_worksheet("Datos")
    f_fecha = libro.add_format({"num_format": "dd/mm/yyyy"})
    f_fecha_hora = libro.add_format({"num_format": "dd/mm/yyyy hh:mm:ss"})
    hoja.write_row(0, 0, ["Texto en línea", "Fecha", "Fecha y hora", "Número"])
    hoja.write_string(1, 0, "  uno  ")
    hoja.write_datetime(1, 1, dt.datetime(2024, 3, 15), f_fecha)
    hoja.write_datetime(1, 2, dt.datetime(1904, 1, 1, 12, 0, 0), f_fecha_hora)
    hoja.write_number(1, 3, 1462)
    hoja.write_string(2, 0, "dos & <tres>")
    hoja.write_datetime(2, 1, dt.datetime(1904, 1, 2), f_fecha)
    hoja.write_datetime(2, 2, dt.datetime(2000, 2, 29, 23, 59, 59), f_fecha_hora)
    hoja.write_number(2, 3, -0.5)
    libro.close()
    escribir_esperado(ruta)


def gnumeric_factura():
    ssconvert = shutil.which("ssconvert")
    if not ssconvert:
        print("ssconvert no está instalado: se deja gnumeric_factura.xlsx como está", file=sys.stderr)
        return
    ruta = os.path.join(DESTINO, "gnumeric_factura.xlsx")
    with tempfile.TemporaryDirectory() as tmp:
        fuente = os.path.join(tmp, "fuente.xlsx")
        libro = openpyxl.Workbook()
        hoja = libro.active
        hoja.title = "Factura"
        hoja.append(["Artículo", "Cantidad", "Unitario", "Total", "Fecha", "Estado"])
        hoja.append(["Válvula", 4, 12.5, "=B2*C2", dt.date(2023, 11, 5), "=B2>3"])
        hoja.append(["Junta", 10, 0.35, "=B3*C3", dt.datetime(2023, 11, 6, 9, 15), "=B3>30"])
        hoja.append(["Total", "=SUM(B2:B3)", None, "=SUM(D2:D3)", None, "=D4/0"])
        hoja.append(["Promedio", "=AVERAGE(B2:B3)", "=1/3", '=IF(D4>50,"alto","bajo")', None, "=NA()"])
        hoja["E3"].number_format = "dd/mm/yyyy hh:mm"
        libro.create_sheet("Notas")["A1"] = "NO LEER"
        libro.save(fuente)
        subprocess.run([ssconvert, "--recalc", fuente, ruta], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    escribir_esperado(ruta)


# ---------------------------------------------------------------------------------------------
# Hand-made packages.

def zip_info(nombre):
    i = zipfile.ZipInfo(nombre, date_time=FECHA_FIJA)
    i.compress_type = zipfile.ZIP_DEFLATED
    return i


def escribir_zip(nombre, partes):
    ruta = os.path.join(DESTINO, nombre)
    with zipfile.ZipFile(ruta, "w") as z:
        for parte, contenido in partes.items():
            if isinstance(contenido, str):
                contenido = contenido.encode("utf-8")
            z.writestr(zip_info(parte), contenido)
    return ruta


TIPOS = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
         '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
         '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
         '<Default Extension="xml" ContentType="application/xml"/></Types>')


def relaciones(*rels, ns=PKG):
    cuerpo = "".join(f'<Relationship Id="{i}" Type="{t}" Target="{d}"/>' for i, t, d in rels)
    return f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="{ns}">{cuerpo}</Relationships>'


def tipo(t, estricto=False):
    return ("http://purl.oclc.org/ooxml/officeDocument/relationships/" if estricto
            else "http://schemas.openxmlformats.org/officeDocument/2006/relationships/") + t


def libro_xml(hojas=("rId1",), pr="", main=MAIN, rel=REL):
    s = "".join(f'<sheet name="H{n}" sheetId="{n + 1}" r:id="{i}"/>' for n, i in enumerate(hojas))
    return (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            f'<workbook xmlns="{main}" xmlns:r="{rel}">{pr}<sheets>{s}</sheets></workbook>')


def hoja_xml(datos, main=MAIN):
    return (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            f'<worksheet xmlns="{main}"><sheetData>{datos}</sheetData></worksheet>')


ESTILOS = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
           f'<styleSheet xmlns="{MAIN}"><numFmts count="3">'
           '<numFmt numFmtId="164" formatCode="dd/mm/yyyy"/>'
           '<numFmt numFmtId="165" formatCode="0.00 &quot;m&quot;"/>'
           '<numFmt numFmtId="166" formatCode="[h]:mm:ss"/></numFmts>'
           '<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs>'
           '<cellXfs count="5"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="165"/>'
           '<xf numFmtId="166"/><xf numFmtId="22"/></cellXfs></styleSheet>')


def libro_simple(nombre, sheet, cadenas=None, estilos=None, pr="", extra=None):
    """A workbook with the usual part names: one sheet, optional strings and styles."""
    rels = [("rId1", tipo("worksheet"), "worksheets/sheet1.xml")]
    partes = {"[Content_Types].xml": TIPOS,
              "_rels/.rels": relaciones(("rId1", tipo("officeDocument"), "xl/workbook.xml")),
              "xl/workbook.xml": libro_xml(pr=pr),
              "xl/worksheets/sheet1.xml": sheet}
    if cadenas is not None:
        rels.append(("rId2", tipo("sharedStrings"), "sharedStrings.xml"))
        partes["xl/sharedStrings.xml"] = (f'<?xml version="1.0" encoding="UTF-8"?>\n<sst xmlns="{MAIN}">'
                                          + "".join(f"<si>{s}</si>" for s in cadenas) + "</sst>")
    if estilos is not None:
        rels.append(("rId3", tipo("styles"), "styles.xml"))
        partes["xl/styles.xml"] = estilos
    partes["xl/_rels/workbook.xml.rels"] = relaciones(*rels)
    partes.update(extra or {})
    return escribir_zip(nombre, partes)


def hechos_a_mano():
    # Cell types, cached formula results, errors, booleans, ISO dates, styles.
    libro_simple("tipos.xlsx", hoja_xml(
        '<row r="1">'
        '<c r="A1" t="b"><v>1</v></c><c r="B1" t="b"><v>0</v></c>'
        '<c r="C1" t="e"><v>#DIV/0!</v></c><c r="D1" t="e"><v>#N/A</v></c>'
        '<c r="E1" t="e"><v>#NAME?</v></c><c r="F1" t="e"><v>#NULL!</v></c>'
        '<c r="G1" t="e"><v>#NUM!</v></c><c r="H1" t="e"><v>#REF!</v></c><c r="I1" t="e"><v>#VALUE!</v></c>'
        '</row><row r="2">'
        '<c r="A2"><f>1+1</f><v>2</v></c><c r="B2" t="str"><f>"a"&amp;"b"</f><v>ab</v></c>'
        '<c r="C2" t="b"><f>TRUE()</f><v>1</v></c><c r="D2" t="e"><f>1/0</f><v>#DIV/0!</v></c>'
        '<c r="E2"><f>A2*3</f></c><c r="F2" t="str"><f>""</f><v></v></c>'
        '<c r="G2" t="n"><v>  1.5E+3 </v></c><c r="H2"><v>-0</v></c>'
        '</row><row r="3">'
        '<c r="A3" t="d"><v>2024-03-15</v></c><c r="B3" t="d"><v>2024-03-15T13:45:30Z</v></c>'
        '<c r="C3" t="d"><v>10:30:00</v></c><c r="D3" t="d"><v>1900-01-01</v></c>'
        '<c r="E3" t="d"><v>1800-01-01</v></c>'
        '</row><row r="4">'
        '<c r="A4" s="1"><v>45366</v></c><c r="B4" s="2"><v>45366</v></c><c r="C4" s="3"><v>1.25</v></c>'
        '<c r="D4" s="4"><v>45366.5</v></c><c r="E4" s="1"><v>60</v></c><c r="F4" s="1"><v>61</v></c>'
        '<c r="G4" s="1"><v>1</v></c><c r="H4" s="1"><v>-1</v></c><c r="I4" s="99"><v>45366</v></c>'
        '<c r="J4" s="1"><v>0.75</v></c>'
        '</row>'), estilos=ESTILOS)

    # Strings: shared (rich runs, phonetic runs, escapes), inline, formula text, never trimmed.
    libro_simple("cadenas.xlsx", hoja_xml(
        '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c>'
        '<c r="D1" t="s"><v>3</v></c><c r="E1" t="s"><v>4</v></c></row>'
        '<row r="2"><c r="A2" t="inlineStr"><is><t xml:space="preserve"> en línea </t></is></c>'
        '<c r="B2" t="inlineStr"><is><r><t>rico </t></r><r><rPr><b/></rPr><t>en línea</t></r>'
        '<rPh sb="0" eb="1"><t>FONETICA</t></rPh></is></c>'
        '<c r="C2" t="str"><f>A1</f><v>uno_x000D_dos</v></c>'
        '<c r="D2" t="inlineStr"><is><t>_x005F_x0041_ y _xD83D__xDE00_</t></is></c>'
        '<c r="E2" t="s"><v>5</v></c></row>'),
        cadenas=["<t>simple</t>",
                 "<r><t>Uno </t></r><r><rPr><b/><sz val=\"11\"/></rPr><t>Dos</t></r>",
                 "<t>東京</t><rPh sb=\"0\" eb=\"2\"><t>トウキョウ</t></rPh><phoneticPr fontId=\"1\"/>",
                 "<t>_x0041__x000A_B &amp; &lt;C&gt;</t>",
                 "<t xml:space=\"preserve\">  blancos  </t>",
                 "<t></t>"])

    # Rows and cells without r, mixed with explicit ones.
    libro_simple("sin_referencias.xlsx", hoja_xml(
        '<row><c t="inlineStr"><is><t>a1</t></is></c><c><v>2</v></c><c r="E1"><v>5</v></c><c><v>6</v></c></row>'
        '<row><c><v>21</v></c></row>'
        '<row r="5"><c><v>51</v></c><c r="C5"><v>53</v></c></row>'
        '<row><c r="B"><v>62</v></c></row>'))

    # Parts in other encodings than UTF-8.
    celdas = '<row r="1"><c r="A1" t="inlineStr"><is><t>Ñandú 東京</t></is></c><c r="B1"><v>1.5</v></c></row>'
    libro_simple("utf16.xlsx", hoja_xml(celdas).replace('encoding="UTF-8"', 'encoding="UTF-16"').encode("utf-16"))
    libro_simple("latin1.xlsx", hoja_xml(celdas.replace(" 東京", ""))
                 .replace('encoding="UTF-8"', 'encoding="ISO-8859-1"').encode("latin-1"))

    # Prefixed spreadsheet namespace, and other namespaces that must be skipped.
    prefijo = "http://schemas.openxmlformats.org/markup-compatibility/2006"
    libro_simple("prefijado.xlsx",
                 f'<?xml version="1.0" encoding="UTF-8"?>\n<x:worksheet xmlns:x="{MAIN}" xmlns:mc="{prefijo}" '
                 'xmlns:o="urn:otro"><x:sheetData><x:row r="1"><x:c r="A1" t="s"><x:v>0</x:v></x:c>'
                 '<o:c r="B1"><o:v>99</o:v></o:c><x:c r="C1"><x:v>3.5</x:v></x:c></x:row></x:sheetData>'
                 '</x:worksheet>',
                 cadenas=["<t>con prefijo</t>"],
                 extra={"xl/workbook.xml": f'<?xml version="1.0"?>\n<w:workbook xmlns:w="{MAIN}" xmlns:rr="{REL}">'
                        '<w:workbookPr/><w:sheets><w:sheet name="A" sheetId="1" rr:id="rId1"/></w:sheets>'
                        '</w:workbook>'})

    # Strict conformance: other namespace URIs and relationship types.
    escribir_zip("estricto.xlsx", {
        "[Content_Types].xml": TIPOS,
        "_rels/.rels": relaciones(("rId1", tipo("officeDocument", True), "xl/workbook.xml")),
        "xl/workbook.xml": libro_xml(pr='<workbookPr date1904="true"/>', main=MAIN_S, rel=REL_S)
        .replace("<workbook ", '<workbook conformance="strict" '),
        "xl/_rels/workbook.xml.rels": relaciones(
            ("rId1", tipo("worksheet", True), "worksheets/sheet1.xml"),
            ("rId2", tipo("sharedStrings", True), "sharedStrings.xml"),
            ("rId3", tipo("styles", True), "styles.xml")),
        "xl/worksheets/sheet1.xml": hoja_xml('<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" s="1"><v>0</v></c>'
                                             '<c r="C1"><v>2.25</v></c></row>', main=MAIN_S),
        "xl/sharedStrings.xml": f'<sst xmlns="{MAIN_S}"><si><t>estricto</t></si></sst>',
        "xl/styles.xml": ESTILOS.replace(MAIN, MAIN_S),
    })

    # Workbook found only through the relationships: unusual names, "..", %20, absolute targets,
    # and a first <sheet> that is a chart sheet; the rels list the sheets in another order.
    escribir_zip("rutas_propias.xlsx", {
        "[Content_Types].xml": TIPOS,
        "_rels/.rels": relaciones(("rId9", "http://example.com/otra", "docProps/app.xml"),
                                  ("rId1", tipo("officeDocument"), "/libro/principal.xml")),
        "libro/principal.xml": libro_xml(hojas=("rGraf", "rH2", "rH1")),
        "libro/_rels/principal.xml.rels": relaciones(
            ("rH1", tipo("worksheet"), "hojas/primera.xml"),
            ("rH2", tipo("worksheet"), "../datos/mi%20hoja.xml"),
            ("rGraf", tipo("chartsheet"), "graficos/g1.xml"),
            ("rCad", tipo("sharedStrings"), "/compartidas/cadenas.xml")),
        "libro/hojas/primera.xml": hoja_xml('<row r="1"><c r="A1" t="s"><v>1</v></c></row>'),
        "datos/mi hoja.xml": hoja_xml('<row r="1"><c r="A1" t="s"><v>0</v></c></row>'),
        "libro/graficos/g1.xml": f'<chartsheet xmlns="{MAIN}"/>',
        "compartidas/cadenas.xml": f'<sst xmlns="{MAIN}"><si><t>la segunda del archivo, la primera del libro</t></si>'
                                   '<si><t>NO LEER</t></si></sst>',
    })


# ---------------------------------------------------------------------------------------------
# Hostile packages.

def parchear_tamanos(ruta, parte, tamano):
    """Makes the local and central headers of `parte` state an inflated size of `tamano`."""
    datos = bytearray(open(ruta, "rb").read())
    nombre = parte.encode()
    i = 0
    while True:
        i = datos.find(b"PK\x01\x02", i)
        if i < 0:
            break
        largo = struct.unpack_from("<H", datos, i + 28)[0]
        if datos[i + 46:i + 46 + largo] == nombre:
            struct.pack_into("<I", datos, i + 24, tamano)
            local = struct.unpack_from("<I", datos, i + 42)[0]
            struct.pack_into("<I", datos, local + 22, tamano)
        i += 4
    open(ruta, "wb").write(datos)


def hostiles():
    # 64 MiB of blanks inside the sheet: ~1000:1, while the headers claim 2 KiB.
    relleno = " " * (64 << 20)
    ruta = libro_simple("bomba_zip.xlsx", hoja_xml('<row r="1"><c r="A1"><v>1</v></c></row>' + relleno))
    parchear_tamanos(ruta, "xl/worksheets/sheet1.xml", 2048)

    risa = ('<?xml version="1.0"?>\n<!DOCTYPE lolz [<!ENTITY lol "lol">'
            + "".join(f'<!ENTITY lol{i} "{("&lol%s;" % (i - 1 if i > 1 else "")) * 10}">' for i in range(1, 10))
            + f']>\n<worksheet xmlns="{MAIN}"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&lol9;</t>'
            '</is></c></row></sheetData></worksheet>')
    libro_simple("bomba_entidades.xlsx", risa)

    libro_simple("fila_excesiva.xlsx", hoja_xml('<row r="1048577"><c><v>1</v></c></row>'))
    libro_simple("celda_fila_excesiva.xlsx", hoja_xml('<row r="1"><c r="A1048577"><v>1</v></c></row>'))
    libro_simple("columna_excesiva.xlsx", hoja_xml('<row r="1"><c r="XFE1"><v>1</v></c></row>'))
    libro_simple("columnas_sin_r_excesivas.xlsx", hoja_xml('<row r="1"><c r="XFD1"><v>1</v></c><c><v>2</v></c></row>'))
    libro_simple("referencia_invalida.xlsx", hoja_xml('<row r="1"><c r="1A"><v>1</v></c></row>'))
    libro_simple("cadena_inexistente.xlsx", hoja_xml('<row r="1"><c r="A1" t="s"><v>7</v></c></row>'),
                 cadenas=["<t>sola</t>"])
    libro_simple("numero_invalido.xlsx", hoja_xml('<row r="1"><c r="A1"><v>1,5</v></c></row>'))
    libro_simple("xml_invalido.xlsx", hoja_xml('<row r="1"><c r="A1"><v>1</c></row>'))
    libro_simple("sin_hojas.xlsx", hoja_xml(""), extra={"xl/workbook.xml": libro_xml(hojas=())})
    escribir_zip("zip_sin_libro.xlsx", {"leame.txt": "no es un libro"})

    ruta_entera = os.path.join(DESTINO, "tipos.xlsx")
    datos = open(ruta_entera, "rb").read()
    open(os.path.join(DESTINO, "truncado.xlsx"), "wb").write(datos[:len(datos) // 2])
    open(os.path.join(DESTINO, "no_es_zip.xlsx"), "wb").write("Código;Descripción\nA;B\n".encode("utf-8"))


def main():
    os.makedirs(DESTINO, exist_ok=True)
    openpyxl_factura()
    xlsxwriter_factura()
    xlsxwriter_1904()
    gnumeric_factura()
    hechos_a_mano()
    hostiles()


if __name__ == "__main__":
    main()
