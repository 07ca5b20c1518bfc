#!/usr/bin/python3
"""Writes the delivered data sets and checks them.

  resources/working/paises.sql   rows of PAIS for the working database
  resources/customs/demo.sql     demo rows of the customs-system database

After writing, both files are loaded with their schemas into throw-away SQLite
databases and checked: row counts, every catalog position present in ncm,
every catalog suffix text complete and valid for its position's groups.

Run from anywhere: /usr/bin/python3 tools/generar_datos_demo.py
"""

import os
import sqlite3
import sys

RAIZ = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PAISES_SQL = os.path.join(RAIZ, "resources", "working", "paises.sql")
ESQUEMA_TRABAJO = os.path.join(RAIZ, "resources", "working", "esquema.sql")
ESQUEMA_ADUANA = os.path.join(RAIZ, "resources", "customs", "esquema.sql")
DEMO_SQL = os.path.join(RAIZ, "resources", "customs", "demo.sql")

# ---------------------------------------------------------------------------
# Countries: the numeric country table of the Argentine customs (the same
# three-digit codes that AFIP/DGA use in import and export declarations).
# Free zones, territories and "rest of"/"undetermined" entries are part of it.
# ---------------------------------------------------------------------------
PAISES = [
    ("101", "BURKINA FASO"), ("102", "ARGELIA"), ("103", "BOTSWANA"), ("104", "BURUNDI"),
    ("105", "CAMERUN"), ("107", "REPUBLICA CENTROAFRICANA"), ("108", "CONGO"),
    ("109", "REPUBLICA DEMOCRATICA DEL CONGO"), ("110", "COSTA DE MARFIL"), ("111", "CHAD"),
    ("112", "BENIN"), ("113", "EGIPTO"), ("115", "GABON"), ("116", "GAMBIA"), ("117", "GHANA"),
    ("118", "GUINEA"), ("119", "GUINEA ECUATORIAL"), ("120", "KENIA"), ("121", "LESOTHO"),
    ("122", "LIBERIA"), ("123", "LIBIA"), ("124", "MADAGASCAR"), ("125", "MALAWI"), ("126", "MALI"),
    ("127", "MARRUECOS"), ("128", "MAURICIO"), ("129", "MAURITANIA"), ("130", "NIGER"),
    ("131", "NIGERIA"), ("132", "ZIMBABWE"), ("133", "RUANDA"), ("134", "SENEGAL"),
    ("135", "SIERRA LEONA"), ("136", "SOMALIA"), ("137", "ESWATINI (SUAZILANDIA)"), ("138", "SUDAN"),
    ("139", "TANZANIA"), ("140", "TOGO"), ("141", "TUNEZ"), ("142", "UGANDA"), ("144", "ZAMBIA"),
    ("145", "TERRITORIOS VINCULADOS AL REINO UNIDO (AFRICA)"),
    ("146", "TERRITORIOS VINCULADOS A ESPAÑA (AFRICA)"),
    ("147", "TERRITORIOS VINCULADOS A FRANCIA (AFRICA)"), ("149", "ANGOLA"), ("150", "CABO VERDE"),
    ("151", "MOZAMBIQUE"), ("152", "SEYCHELLES"), ("153", "YIBUTI"), ("155", "COMORAS"),
    ("156", "GUINEA BISSAU"), ("157", "SANTO TOME Y PRINCIPE"), ("158", "NAMIBIA"),
    ("159", "SUDAFRICA"), ("160", "ERITREA"), ("161", "ETIOPIA"), ("197", "RESTO DE AFRICA"),
    ("198", "INDETERMINADO (AFRICA)"),
    ("200", "ARGENTINA"), ("201", "BARBADOS"), ("202", "BOLIVIA"), ("203", "BRASIL"),
    ("204", "CANADA"), ("205", "COLOMBIA"), ("206", "COSTA RICA"), ("207", "CUBA"), ("208", "CHILE"),
    ("209", "REPUBLICA DOMINICANA"), ("210", "ECUADOR"), ("211", "EL SALVADOR"),
    ("212", "ESTADOS UNIDOS"), ("213", "GUATEMALA"), ("214", "GUYANA"), ("215", "HAITI"),
    ("216", "HONDURAS"), ("217", "JAMAICA"), ("218", "MEXICO"), ("219", "NICARAGUA"),
    ("220", "PANAMA"), ("221", "PARAGUAY"), ("222", "PERU"), ("223", "PUERTO RICO"),
    ("224", "TRINIDAD Y TOBAGO"), ("225", "URUGUAY"), ("226", "VENEZUELA"),
    ("227", "TERRITORIOS VINCULADOS AL REINO UNIDO (AMERICA)"),
    ("228", "TERRITORIOS VINCULADOS A DINAMARCA (AMERICA)"),
    ("229", "TERRITORIOS VINCULADOS A FRANCIA (AMERICA)"),
    ("230", "TERRITORIOS VINCULADOS A LOS PAISES BAJOS (AMERICA)"),
    ("231", "TERRITORIOS VINCULADOS A ESTADOS UNIDOS (AMERICA)"), ("232", "SURINAM"),
    ("233", "DOMINICA"), ("234", "SANTA LUCIA"), ("235", "SAN VICENTE Y LAS GRANADINAS"),
    ("236", "BELICE"), ("237", "ANTIGUA Y BARBUDA"), ("238", "SAN CRISTOBAL Y NIEVES"),
    ("239", "BAHAMAS"), ("240", "GRANADA"), ("241", "ANTILLAS NEERLANDESAS"),
    ("250", "AREA ADUANERA ESPECIAL TIERRA DEL FUEGO (ARGENTINA)"),
    ("251", "ZONA FRANCA LA PLATA (ARGENTINA)"), ("252", "ZONA FRANCA JUSTO DARACT (ARGENTINA)"),
    ("253", "ZONA FRANCA RIO GALLEGOS (ARGENTINA)"), ("254", "ISLAS MALVINAS (ARGENTINA)"),
    ("255", "ZONA FRANCA TUCUMAN (ARGENTINA)"), ("256", "ZONA FRANCA CORDOBA (ARGENTINA)"),
    ("257", "ZONA FRANCA MENDOZA (ARGENTINA)"), ("258", "ZONA FRANCA GENERAL PICO (ARGENTINA)"),
    ("259", "ZONA FRANCA COMODORO RIVADAVIA (ARGENTINA)"), ("260", "ZONA FRANCA IQUIQUE (CHILE)"),
    ("261", "ZONA FRANCA PUNTA ARENAS (CHILE)"), ("262", "ZONA FRANCA SALTA (ARGENTINA)"),
    ("263", "ZONA FRANCA PASO DE LOS LIBRES (ARGENTINA)"),
    ("264", "ZONA FRANCA PUERTO IGUAZU (ARGENTINA)"), ("265", "SECTOR ANTARTICO ARGENTINO"),
    ("270", "ZONA FRANCA COLON (PANAMA)"), ("271", "ZONA FRANCA WINNER (BOLIVIA)"),
    ("280", "ZONA FRANCA COLONIA (URUGUAY)"), ("281", "ZONA FRANCA FLORIDA (URUGUAY)"),
    ("282", "ZONA FRANCA LIBERTAD (URUGUAY)"), ("283", "ZONA FRANCA ZONAMERICA (URUGUAY)"),
    ("284", "ZONA FRANCA NUEVA HELVECIA (URUGUAY)"), ("285", "ZONA FRANCA NUEVA PALMIRA (URUGUAY)"),
    ("286", "ZONA FRANCA RIO NEGRO (URUGUAY)"), ("287", "ZONA FRANCA RIVERA (URUGUAY)"),
    ("288", "ZONA FRANCA SAN JOSE (URUGUAY)"), ("291", "ZONA FRANCA MANAOS (BRASIL)"),
    ("295", "MAR ARGENTINO ZONA ECONOMICA EXCLUSIVA"),
    ("296", "RIOS ARGENTINOS DE NAVEGACION INTERNACIONAL"), ("297", "RESTO DE AMERICA"),
    ("298", "INDETERMINADO (AMERICA)"),
    ("301", "AFGANISTAN"), ("302", "ARABIA SAUDITA"), ("303", "BAHREIN"), ("304", "MYANMAR"),
    ("305", "BUTAN"), ("306", "CAMBOYA"), ("307", "SRI LANKA"), ("308", "COREA DEL NORTE"),
    ("309", "COREA DEL SUR"), ("310", "CHINA"), ("312", "FILIPINAS"), ("313", "TAIWAN"),
    ("315", "INDIA"), ("316", "INDONESIA"), ("317", "IRAK"), ("318", "IRAN"), ("319", "ISRAEL"),
    ("320", "JAPON"), ("321", "JORDANIA"), ("322", "QATAR"), ("323", "KUWAIT"), ("324", "LAOS"),
    ("325", "LIBANO"), ("326", "MALASIA"), ("327", "MALDIVAS"), ("328", "OMAN"),
    ("329", "MONGOLIA"), ("330", "NEPAL"), ("331", "EMIRATOS ARABES UNIDOS"), ("332", "PAKISTAN"),
    ("333", "SINGAPUR"), ("334", "SIRIA"), ("335", "TAILANDIA"), ("337", "VIETNAM"),
    ("341", "HONG KONG"), ("344", "MACAO"), ("345", "BANGLADESH"), ("346", "BRUNEI"),
    ("348", "YEMEN"), ("349", "ARMENIA"), ("350", "AZERBAIYAN"), ("351", "GEORGIA"),
    ("352", "KAZAJISTAN"), ("353", "KIRGUISTAN"), ("354", "TAYIKISTAN"), ("355", "TURKMENISTAN"),
    ("356", "UZBEKISTAN"), ("357", "TERRITORIOS AUTONOMOS PALESTINOS"), ("397", "RESTO DE ASIA"),
    ("398", "INDETERMINADO (ASIA)"),
    ("401", "ALBANIA"), ("404", "ANDORRA"), ("405", "AUSTRIA"), ("406", "BELGICA"),
    ("407", "BULGARIA"), ("409", "DINAMARCA"), ("410", "ESPAÑA"), ("411", "FINLANDIA"),
    ("412", "FRANCIA"), ("413", "GRECIA"), ("414", "HUNGRIA"), ("415", "IRLANDA"),
    ("416", "ISLANDIA"), ("417", "ITALIA"), ("418", "LIECHTENSTEIN"), ("419", "LUXEMBURGO"),
    ("420", "MALTA"), ("421", "MONACO"), ("422", "NORUEGA"), ("423", "PAISES BAJOS"),
    ("424", "POLONIA"), ("425", "PORTUGAL"), ("426", "REINO UNIDO"), ("427", "RUMANIA"),
    ("428", "SAN MARINO"), ("429", "SUECIA"), ("430", "SUIZA"), ("431", "SANTA SEDE (VATICANO)"),
    ("433", "TERRITORIOS VINCULADOS AL REINO UNIDO (EUROPA)"), ("435", "CHIPRE"),
    ("436", "TURQUIA"), ("438", "ALEMANIA"), ("439", "BELARUS"), ("440", "ESTONIA"),
    ("441", "LETONIA"), ("442", "LITUANIA"), ("443", "MOLDAVIA"), ("444", "RUSIA"),
    ("445", "UCRANIA"), ("446", "BOSNIA Y HERZEGOVINA"), ("447", "CROACIA"),
    ("448", "ESLOVAQUIA"), ("449", "ESLOVENIA"), ("450", "MACEDONIA DEL NORTE"),
    ("451", "REPUBLICA CHECA"), ("453", "MONTENEGRO"), ("454", "SERBIA"),
    ("497", "RESTO DE EUROPA"), ("498", "INDETERMINADO (EUROPA)"),
    ("501", "AUSTRALIA"), ("503", "NAURU"), ("504", "NUEVA ZELANDA"), ("505", "VANUATU"),
    ("506", "SAMOA"), ("507", "TERRITORIOS VINCULADOS A AUSTRALIA"),
    ("508", "TERRITORIOS VINCULADOS AL REINO UNIDO (OCEANIA)"),
    ("509", "TERRITORIOS VINCULADOS A FRANCIA (OCEANIA)"),
    ("510", "TERRITORIOS VINCULADOS A NUEVA ZELANDA"),
    ("511", "TERRITORIOS VINCULADOS A ESTADOS UNIDOS (OCEANIA)"), ("512", "FIYI"),
    ("513", "PAPUA NUEVA GUINEA"), ("514", "KIRIBATI"), ("515", "MICRONESIA"), ("516", "PALAOS"),
    ("517", "TUVALU"), ("518", "ISLAS SALOMON"), ("519", "TONGA"), ("520", "ISLAS MARSHALL"),
    ("521", "ISLAS MARIANAS DEL NORTE"), ("597", "RESTO DE OCEANIA"),
    ("598", "INDETERMINADO (OCEANIA)"),
    ("997", "RESTO CONTINENTE"), ("998", "INDETERMINADO (CONTINENTE)"),
]

# ---------------------------------------------------------------------------
# Units of measure (customs unit codes, two digits).
# ---------------------------------------------------------------------------
UNIDADES = [
    ("01", "KILOGRAMOS"), ("02", "METROS"), ("03", "METROS CUADRADOS"), ("04", "METROS CÚBICOS"),
    ("05", "LITROS"), ("06", "MILES DE KILOVATIOS HORA"), ("07", "UNIDADES"), ("08", "PARES"),
    ("09", "DOCENAS"), ("10", "QUILATES"), ("11", "MILLARES"), ("14", "GRAMOS"),
    ("15", "MILÍMETROS"), ("17", "KILÓMETROS"), ("18", "HECTOLITROS"), ("20", "CENTÍMETROS"),
    ("25", "JUEGOS"), ("27", "CENTÍMETROS CÚBICOS"), ("29", "TONELADAS"), ("41", "MILIGRAMOS"),
    ("47", "MILILITROS"), ("53", "KILOGRAMOS BASE"), ("54", "GRUESAS"), ("61", "KILOGRAMOS BRUTOS"),
]

# ---------------------------------------------------------------------------
# Nomenclature. One entry per NCM item:
#   (item, statistical unit [012], specific-duty unit [020], LAPI mark [059],
#    export refund % [019], description, openings)
# A "|" in the description splits it into [010] (before) and [004] (after).
# Openings: list of (three-character part, its description for [004]);
# None means the single opening "000".
# ---------------------------------------------------------------------------
P = []


def pos(item, uest, deresp, lapi, rein, descrip, aperturas=None):
    P.append((item, uest, deresp, lapi, rein, descrip, aperturas))


# Chapters 09 to 22: food and drink
pos("0901.21.00", "01", "", "", "0", "Café tostado, sin descafeinar")
pos("0902.30.00", "01", "", "", "0", "Té negro (fermentado) y té parcialmente fermentado, presentados en envases inmediatos con un contenido inferior o igual a 3 kg")
pos("1704.90.90", "01", "", "", "0", "Artículos de confitería sin cacao (incluido el chocolate blanco): los demás")
pos("1905.31.00", "01", "", "", "0", "Galletas (galletitas) dulces (con adición de edulcorante)")
pos("2106.90.90", "01", "", "", "0", "Preparaciones alimenticias no expresadas ni comprendidas en otra parte: las demás")
pos("2203.00.00", "05", "", "", "0", "Cerveza de malta")
pos("2204.21.00", "05", "", "", "0", "Vino de uvas frescas, incluso encabezado, en recipientes con capacidad inferior o igual a 2 l")
# Chapters 32 to 35
pos("3214.10.10", "01", "", "", "0", "Masilla para vidrieros, cementos de resina y demás mástiques, plastes (enduidos) utilizados en pintura: mástiques")
pos("3304.99.90", "01", "", "", "0", "Las demás preparaciones de belleza, maquillaje y para el cuidado de la piel: las demás")
pos("3305.10.00", "01", "", "", "0", "Champúes")
pos("3306.10.00", "01", "", "", "0", "Dentífricos")
pos("3401.11.90", "01", "", "", "0", "Jabón de tocador (incluso los medicinales), en barras, panes, trozos o piezas troqueladas o moldeadas: los demás")
pos("3506.10.90", "01", "", "", "0", "Productos de cualquier clase utilizados como colas o adhesivos, acondicionados para la venta al por menor con un peso neto inferior o igual a 1 kg: los demás")
# Chapter 39: plastics
pos("3917.32.90", "01", "", "", "0", "Los demás tubos de plástico, sin reforzar ni combinar de otro modo con otras materias, sin accesorios: los demás")
pos("3919.10.00", "01", "", "", "0", "Placas, láminas, hojas, cintas, tiras y demás formas planas, autoadhesivas, de plástico, en rollos de anchura inferior o igual a 20 cm")
pos("3923.10.90", "01", "", "", "0", "Cajas, cajones, jaulas y artículos similares, de plástico: los demás")
pos("3923.21.90", "01", "", "", "0", "Sacos (bolsas), bolsitas y cucuruchos, de polímeros de etileno: los demás")
pos("3923.30.00", "07", "", "", "0", "Bombonas (damajuanas), botellas, frascos y artículos similares, de plástico")
pos("3924.10.00", "01", "01", "", "0", "Vajilla y demás artículos para el servicio de mesa o de cocina, de plástico")
pos("3924.90.00", "01", "", "", "0", "Los demás artículos de uso doméstico y artículos de higiene o tocador, de plástico")
pos("3926.10.00", "01", "", "", "0", "Artículos de oficina y artículos escolares, de plástico")
pos("3926.20.00", "01", "", "", "0", "Prendas y complementos (accesorios) de vestir, incluidos los guantes, mitones y manoplas, de plástico")
pos("3926.30.00", "01", "", "", "0", "Guarniciones para muebles, carrocerías o similares, de plástico")
pos("3926.40.00", "01", "", "", "0", "Estatuillas y demás artículos de adorno, de plástico")
pos("3926.90.90", "01", "", "", "0", "Las demás manufacturas de plástico: las demás",
    [("100", "Precintos, grampas y tarugos de plástico"), ("900", "Los demás")])
# Chapter 40: rubber
pos("4009.11.00", "01", "", "", "0", "Tubos de caucho vulcanizado sin endurecer, sin reforzar ni combinar de otro modo con otras materias, sin accesorios")
pos("4010.39.00", "07", "", "", "0", "Las demás correas de transmisión, de caucho vulcanizado")
pos("4011.10.00", "07", "", "*", "0", "Neumáticos (llantas neumáticas) nuevos de caucho, de los tipos utilizados en automóviles de turismo, incluidos los del tipo familiar («break» o «station wagon») y los de carreras",
    [("100", "De construcción radial"), ("900", "Los demás")])
pos("4011.20.90", "07", "", "*", "0", "Neumáticos nuevos de caucho, de los tipos utilizados en autobuses o camiones: los demás")
pos("4015.19.00", "01", "", "", "0", "Guantes, mitones y manoplas, de caucho vulcanizado sin endurecer: los demás")
pos("4016.93.00", "01", "", "", "0", "Juntas o empaquetaduras, de caucho vulcanizado sin endurecer")
pos("4016.99.90", "01", "", "", "0", "Las demás manufacturas de caucho vulcanizado sin endurecer: las demás")
# Chapter 42: leather goods, bags
pos("4202.21.00", "07", "07", "*", "0", "Bolsos de mano (carteras), incluso con bandolera o sin asas, con la superficie exterior de cuero natural, cuero regenerado o cuero charolado")
pos("4202.22.20", "07", "07", "*", "0", "Bolsos de mano (carteras), con la superficie exterior de hojas de plástico o de materia textil: de materia textil")
pos("4202.92.00", "07", "07", "*", "0", "Los demás continentes, con la superficie exterior de hojas de plástico o de materia textil")
pos("4203.30.00", "07", "", "", "0", "Cintos, cinturones y bandoleras, de cuero natural o cuero regenerado")
# Chapters 44 to 49
pos("4417.00.10", "07", "", "", "0", "Herramientas, monturas y mangos de herramientas, de madera: herramientas")
pos("4419.90.00", "07", "", "", "0", "Artículos de mesa o de cocina, de madera: los demás")
pos("4421.99.00", "01", "", "", "0", "Las demás manufacturas de madera")
pos("4819.10.00", "01", "", "", "0", "Cajas de papel o cartón corrugado")
pos("4820.10.00", "07", "", "", "0", "Libros registro, libros de contabilidad, talonarios (de notas, pedidos o recibos), agendas, bloques memorandos, bloques de papel de cartas y artículos similares")
pos("4820.20.00", "07", "", "", "0", "Cuadernos")
pos("4901.99.00", "07", "", "", "0", "Libros, folletos e impresos similares, incluso en hojas sueltas: los demás")
# Chapter 61: knitted apparel
pos("6104.62.00", "07", "07", "*", "0", "Pantalones largos, pantalones con peto, pantalones cortos (calzones) y shorts, de punto, para mujeres o niñas, de algodón")
pos("6105.10.00", "07", "07", "*", "0", "Camisas de punto para hombres o niños, de algodón")
pos("6109.10.00", "07", "07", "*", "0", "«T-shirts» y camisetas, de punto, de algodón")
pos("6109.90.00", "07", "07", "*", "0", "«T-shirts» y camisetas, de punto, de las demás materias textiles")
pos("6110.20.00", "07", "07", "*", "0", "Suéteres (jerseys), pulóveres, cárdigan, chalecos y artículos similares, de punto, de algodón")
pos("6110.30.00", "07", "07", "*", "0", "Suéteres (jerseys), pulóveres, cárdigan, chalecos y artículos similares, de punto, de fibras sintéticas o artificiales")
pos("6115.95.00", "08", "08", "*", "0", "Calcetines y demás artículos de calcetería, de punto, de algodón")
pos("6116.10.00", "08", "08", "*", "0", "Guantes, mitones y manoplas, de punto, impregnados, recubiertos o revestidos con plástico o caucho")
pos("6116.93.00", "08", "08", "*", "0", "Guantes, mitones y manoplas, de punto, de fibras sintéticas")
# Chapter 62: apparel, not knitted
pos("6203.42.00", "07", "07", "*", "0", "Pantalones largos, pantalones con peto, pantalones cortos (calzones) y shorts, para hombres o niños, de algodón")
pos("6204.62.00", "07", "07", "*", "0", "Pantalones largos, pantalones con peto, pantalones cortos (calzones) y shorts, para mujeres o niñas, de algodón")
pos("6205.20.00", "07", "07", "*", "0", "Camisas para hombres o niños, de algodón")
# Chapter 63
pos("6302.60.00", "01", "01", "*", "0", "Ropa de tocador o cocina, de tejido con bucles del tipo toalla, de algodón")
pos("6307.90.90", "01", "01", "", "0", "Los demás artículos confeccionados, incluidos los patrones para prendas de vestir: los demás")
# Chapter 64: footwear
pos("6402.99.90", "08", "08", "*", "0", "Los demás calzados con suela y parte superior de caucho o plástico: los demás")
pos("6403.40.00", "08", "08", "*", "0", "Los demás calzados con suela de caucho, plástico, cuero natural o regenerado y parte superior de cuero natural, con puntera metálica de protección")
pos("6403.99.90", "08", "08", "*", "0", "Los demás calzados con suela de caucho, plástico, cuero natural o regenerado y parte superior de cuero natural: los demás")
pos("6404.11.00", "08", "08", "*", "0", "Calzado de deporte, calzado de tenis, baloncesto, gimnasia, entrenamiento y calzados similares, con suela de caucho o plástico y parte superior de materia textil")
pos("6404.19.00", "08", "08", "*", "0", "Los demás calzados con suela de caucho o plástico y parte superior de materia textil")
pos("6405.20.00", "08", "08", "*", "0", "Los demás calzados, con la parte superior de materia textil")
# Chapters 65 to 71
pos("6506.10.00", "07", "", "", "0", "Cascos de seguridad")
pos("6601.91.00", "07", "", "", "0", "Paraguas con astil o mango telescópico")
pos("6805.10.00", "01", "", "", "0", "Abrasivos naturales o artificiales en polvo o gránulos con soporte constituido solamente por tejido de materia textil")
pos("6805.20.00", "01", "", "", "0", "Abrasivos naturales o artificiales en polvo o gránulos con soporte constituido solamente por papel o cartón")
pos("6912.00.00", "01", "", "", "0", "Vajilla y demás artículos de uso doméstico, higiene o tocador, de cerámica, excepto porcelana")
pos("7009.92.00", "07", "", "", "0", "Espejos de vidrio, enmarcados")
pos("7013.37.00", "07", "", "", "0", "Los demás vasos de vidrio, excepto los de vitrocerámica")
pos("7013.49.00", "07", "", "", "0", "Los demás artículos para servicio de mesa (excepto los vasos) o cocina, de vidrio")
pos("7117.19.00", "01", "", "", "0", "Bisutería de metal común, incluso plateado, dorado o platinado: las demás")
pos("7117.90.00", "01", "", "", "0", "Las demás bisuterías")
# Chapter 73: iron and steel articles
pos("7307.22.00", "01", "", "", "0", "Codos, curvas y manguitos, roscados, de acero inoxidable")
pos("7307.92.00", "01", "", "", "0", "Codos, curvas y manguitos, roscados, de fundición, hierro o acero, excepto de acero inoxidable")
pos("7317.00.90", "01", "", "", "0", "Puntas, clavos, chinchetas (chinches), grapas apuntadas, onduladas o biseladas y artículos similares, de fundición, hierro o acero: los demás")
pos("7318.11.00", "01", "", "", "0", "Tirafondos, de fundición, hierro o acero")
pos("7318.12.00", "01", "", "", "0", "Los demás tornillos para madera, de fundición, hierro o acero")
pos("7318.14.00", "01", "", "", "0", "Tornillos taladradores, de fundición, hierro o acero")
pos("7318.15.00", "01", "", "", "0", "Los demás tornillos y pernos, incluso con sus tuercas y arandelas, de fundición, hierro o acero",
    [("100", "De acero inoxidable"), ("900", "Los demás")])
pos("7318.16.00", "01", "", "", "0", "Tuercas, de fundición, hierro o acero")
pos("7318.21.00", "01", "", "", "0", "Arandelas de muelle (resorte) y las demás de seguridad, de fundición, hierro o acero")
pos("7318.22.00", "01", "", "", "0", "Las demás arandelas, de fundición, hierro o acero")
pos("7318.29.00", "01", "", "", "0", "Los demás artículos sin rosca, de fundición, hierro o acero")
pos("7321.11.00", "07", "", "", "0", "Aparatos de cocción y calientaplatos, de combustibles gaseosos, o de gas y otros combustibles, de fundición, hierro o acero")
pos("7323.93.00", "01", "", "", "0", "Artículos de uso doméstico, de acero inoxidable")
pos("7323.99.00", "01", "", "", "0", "Artículos de uso doméstico, de fundición, hierro o acero: los demás")
pos("7326.20.00", "01", "", "", "0", "Manufacturas de alambre de hierro o acero")
pos("7326.90.90", "01", "", "", "0", "Las demás manufacturas de hierro o acero: las demás")
# Chapters 74 and 76
pos("7412.20.00", "01", "", "", "0", "Accesorios de tuberías, de aleaciones de cobre")
pos("7615.10.00", "01", "", "", "0", "Artículos de uso doméstico y sus partes, esponjas, estropajos, guantes y artículos similares para fregar, lustrar o usos análogos, de aluminio")
pos("7616.10.00", "01", "", "", "0", "Puntas, clavos, grapas apuntadas, tornillos, pernos, tuercas, escarpias roscadas, remaches, pasadores, clavijas, chavetas, arandelas y artículos similares, de aluminio")
# Chapter 82: tools
pos("8201.10.00", "07", "", "", "0", "Layas y palas")
pos("8201.30.00", "07", "", "", "0", "Azadas, picos, binaderas y rastrillos, raederas")
pos("8201.50.00", "07", "", "", "0", "Tijeras de podar (incluidas las de trinchar aves) para usar con una sola mano")
pos("8202.10.00", "07", "", "", "0", "Sierras de mano")
pos("8202.20.00", "07", "", "", "0", "Hojas de sierra de cinta")
pos("8202.31.00", "07", "", "", "0", "Hojas de sierra circulares (incluidas las fresas sierra), con parte operante de acero")
pos("8203.10.10", "07", "", "", "0", "Limas, escofinas y herramientas similares: limas y escofinas")
pos("8203.20.10", "07", "", "", "0", "Alicates (incluso cortantes), tenazas, pinzas y herramientas similares: alicates (incluso cortantes)")
pos("8203.20.90", "07", "", "", "0", "Alicates (incluso cortantes), tenazas, pinzas y herramientas similares: los demás")
pos("8203.30.00", "07", "", "", "0", "Cizallas para metales y herramientas similares")
pos("8204.11.00", "07", "", "", "0", "Llaves de ajuste de mano, de boca fija")
pos("8204.12.00", "07", "", "", "0", "Llaves de ajuste de mano, de boca variable")
pos("8204.20.00", "07", "", "", "0", "Cubos (vasos) de ajuste intercambiables, incluso con mango")
pos("8205.10.00", "07", "", "", "0", "Herramientas de taladrar o roscar (incluidas las terrajas)")
pos("8205.20.00", "07", "", "", "0", "Martillos y mazas")
pos("8205.30.00", "07", "", "", "0", "Cepillos, formones, gubias y herramientas cortantes similares para trabajar madera")
pos("8205.40.00", "07", "", "", "0", "Destornilladores")
pos("8205.59.00", "07", "", "", "0", "Las demás herramientas de mano (incluidos los diamantes de vidriero): las demás")
pos("8205.70.00", "07", "", "", "0", "Tornillos de banco, prensas de carpintero y similares")
pos("8206.00.00", "07", "", "", "0", "Herramientas de dos o más de las partidas 82.02 a 82.05, acondicionadas en juegos para la venta al por menor")
pos("8207.13.00", "07", "", "", "0", "Útiles intercambiables de perforación o sondeo, con parte operante de cermet")
pos("8208.10.00", "07", "", "", "0", "Cuchillas y hojas cortantes, para máquinas o aparatos mecánicos, para trabajar metal")
pos("8211.91.00", "07", "", "", "0", "Cuchillos de mesa de hoja fija")
pos("8213.00.00", "07", "", "", "0", "Tijeras y sus hojas")
pos("8214.10.00", "07", "", "", "0", "Cortapapeles, abrecartas, raspadores, sacapuntas y sus cuchillas")
pos("8215.20.00", "07", "", "", "0", "Los demás surtidos de cucharas, tenedores, cucharones, espumaderas, palas para tartas, cuchillos para pescado o mantequilla, pinzas para azúcar y artículos similares")
# Chapter 83
pos("8301.10.00", "07", "", "", "0", "Candados, de metal común")
pos("8301.40.00", "07", "", "", "0", "Las demás cerraduras, cerrojos, de metal común")
pos("8302.10.00", "01", "", "", "0", "Bisagras de cualquier clase (incluidos los pernios y demás goznes), de metal común")
pos("8302.41.00", "01", "", "", "0", "Las demás guarniciones, herrajes y artículos similares, para edificios, de metal común")
pos("8302.50.00", "01", "", "", "0", "Colgadores, perchas, soportes y artículos similares, de metal común")
pos("8305.10.00", "01", "", "", "0", "Mecanismos para encuadernación de hojas intercambiables o para clasificadores")
# Chapter 84: machinery
pos("8413.70.10", "07", "", "", "3", "Las demás bombas centrífugas: electrobombas sumergibles")
pos("8414.10.00", "07", "", "", "3", "Bombas de vacío")
pos("8414.20.00", "07", "", "", "3", "Bombas de aire, de mano o pedal")
pos("8414.51.10", "07", "", "", "3", "Ventiladores de mesa, pie, pared, cielo raso, techo o ventana, con motor eléctrico incorporado de potencia inferior o igual a 125 W: de mesa")
pos("8414.51.90", "07", "", "", "3", "Ventiladores de mesa, pie, pared, cielo raso, techo o ventana, con motor eléctrico incorporado de potencia inferior o igual a 125 W: los demás")
pos("8414.60.00", "07", "", "", "3", "Campanas aspirantes en las que el mayor lado horizontal sea inferior o igual a 120 cm")
pos("8418.10.00", "07", "", "*", "3", "Combinaciones de refrigerador y congelador con puertas o cajones exteriores separados")
pos("8418.21.00", "07", "", "*", "3", "Refrigeradores domésticos, de compresión")
pos("8421.21.00", "07", "", "", "3", "Aparatos para filtrar o depurar agua")
pos("8422.11.00", "07", "", "*", "3", "Máquinas para lavar vajilla, de tipo doméstico")
pos("8423.10.00", "07", "", "", "3", "Balanzas para pesar personas, incluidos los pesabebés, balanzas domésticas")
pos("8424.10.00", "07", "", "", "3", "Extintores, incluso cargados")
pos("8424.20.00", "07", "", "", "3", "Pistolas aerográficas y aparatos similares")
pos("8425.42.00", "07", "", "", "3", "Los demás gatos, hidráulicos")
pos("8433.11.00", "07", "", "", "3", "Cortadoras de césped con motor, cuyo dispositivo de corte gire en un plano horizontal")
pos("8450.11.00", "07", "", "*", "3", "Máquinas para lavar ropa, de capacidad unitaria expresada en peso de ropa seca inferior o igual a 10 kg, totalmente automáticas")
pos("8452.10.00", "07", "", "", "3", "Máquinas de coser domésticas")
pos("8467.11.10", "07", "", "", "3", "Herramientas neumáticas, rotativas (incluso de percusión): taladradoras, perforadoras y similares")
pos("8467.11.90", "07", "", "", "3", "Herramientas neumáticas, rotativas (incluso de percusión): las demás")
pos("8467.21.00", "07", "", "*", "3", "Taladros de toda clase, incluidas las perforadoras rotativas, con motor eléctrico incorporado")
pos("8467.22.00", "07", "", "*", "3", "Sierras y tronzadoras, con motor eléctrico incorporado")
pos("8467.29.99", "07", "", "*", "3", "Las demás herramientas con motor eléctrico incorporado, de uso manual: las demás")
pos("8470.10.00", "07", "", "", "3", "Calculadoras electrónicas que puedan funcionar sin fuente de energía eléctrica exterior y máquinas de bolsillo con función de cálculo que permitan registrar, reproducir y visualizar información")
pos("8471.30.12", "07", "", "", "3", "Máquinas automáticas para tratamiento o procesamiento de datos, portátiles, de peso inferior o igual a 10 kg, que estén constituidas, al menos, por una unidad central de proceso, un teclado y un visualizador|De peso inferior a 3,5 kg, con teclado alfanumérico de 80 teclas como mínimo y una pantalla de superficie superior a 140 cm² pero inferior o igual a 560 cm²")
pos("8471.30.19", "07", "", "", "3", "Máquinas automáticas para tratamiento o procesamiento de datos, portátiles, de peso inferior o igual a 10 kg|De peso inferior a 3,5 kg: las demás")
pos("8471.30.90", "07", "", "", "3", "Máquinas automáticas para tratamiento o procesamiento de datos, portátiles, de peso inferior o igual a 10 kg|Las demás")
pos("8471.49.00", "07", "", "", "3", "Las demás máquinas automáticas para tratamiento o procesamiento de datos, presentadas en forma de sistemas")
pos("8471.60.52", "07", "", "", "3", "Unidades de entrada o salida, aunque incluyan unidades de memoria en la misma envoltura|Teclados")
pos("8471.60.53", "07", "", "", "3", "Unidades de entrada o salida, aunque incluyan unidades de memoria en la misma envoltura|Dispositivos indicadores o apuntadores (mouse y track-ball, por ejemplo)")
pos("8471.80.00", "07", "", "", "3", "Las demás unidades de máquinas automáticas para tratamiento o procesamiento de datos")
pos("8473.30.41", "07", "", "", "3", "Partes y accesorios de las máquinas de la partida 84.71: placas madre (mother boards)")
pos("8481.10.00", "07", "", "", "3", "Válvulas reductoras de presión")
pos("8481.30.00", "07", "", "", "3", "Válvulas de retención")
pos("8481.80.99", "07", "", "", "3", "Los demás artículos de grifería y órganos similares: los demás")
pos("8482.10.10", "07", "", "", "3", "Rodamientos de bolas: de carga radial")
pos("8484.10.00", "01", "", "", "3", "Juntas metaloplásticas")
# Chapter 85: electrical
pos("8504.40.10", "07", "", "", "3", "Convertidores estáticos: cargadores de acumuladores")
pos("8504.40.40", "07", "", "", "3", "Convertidores estáticos: sistemas de alimentación ininterrumpida (UPS)")
pos("8504.40.90", "07", "", "", "3", "Convertidores estáticos: los demás")
pos("8505.11.00", "01", "", "", "3", "Imanes permanentes y artículos destinados a ser imantados permanentemente, de metal")
pos("8507.60.00", "07", "", "", "3", "Acumuladores eléctricos de iones de litio")
pos("8508.11.00", "07", "", "*", "3", "Aspiradoras, con motor eléctrico incorporado, de potencia inferior o igual a 1.500 W y cuyo volumen del depósito o bolsa para el polvo sea inferior o igual a 20 l")
pos("8509.40.10", "07", "", "*", "3", "Trituradoras y mezcladoras de alimentos, extractoras de jugo de frutos u hortalizas: licuadoras")
pos("8509.40.20", "07", "", "*", "3", "Trituradoras y mezcladoras de alimentos, extractoras de jugo de frutos u hortalizas: batidoras")
pos("8509.40.90", "07", "", "*", "3", "Trituradoras y mezcladoras de alimentos, extractoras de jugo de frutos u hortalizas: los demás")
pos("8510.10.00", "07", "", "", "3", "Afeitadoras, con motor eléctrico incorporado")
pos("8510.30.00", "07", "", "", "3", "Aparatos de depilar, con motor eléctrico incorporado")
pos("8511.10.00", "07", "", "", "3", "Bujías de encendido")
pos("8513.10.10", "07", "", "", "3", "Lámparas eléctricas portátiles concebidas para funcionar con su propia fuente de energía: linternas")
pos("8516.10.00", "07", "", "*", "3", "Calentadores eléctricos de agua de calentamiento instantáneo o acumulación y calentadores eléctricos de inmersión")
pos("8516.29.00", "07", "", "*", "3", "Los demás aparatos eléctricos para calefacción de espacios")
pos("8516.31.00", "07", "", "*", "3", "Aparatos electrotérmicos para el cuidado del cabello: secadores")
pos("8516.32.00", "07", "", "*", "3", "Los demás aparatos electrotérmicos para el cuidado del cabello")
pos("8516.40.00", "07", "", "*", "3", "Planchas eléctricas")
pos("8516.50.00", "07", "", "*", "3", "Hornos de microondas")
pos("8516.60.00", "07", "", "*", "3", "Los demás hornos, cocinas, hornillos (incluidas las mesas de cocción), placas de cocción, parrillas y asadores")
pos("8516.71.00", "07", "", "*", "3", "Aparatos para la preparación de café o té")
pos("8516.72.00", "07", "", "*", "3", "Tostadoras de pan")
pos("8516.79.90", "07", "", "*", "3", "Los demás aparatos electrotérmicos de uso doméstico: los demás",
    [("100", "Pavas (hervidores) eléctricas"), ("900", "Los demás")])
pos("8517.13.00", "07", "", "", "3", "Teléfonos inteligentes (smartphones)")
pos("8517.62.41", "07", "", "", "3", "Aparatos para la recepción, conversión y transmisión o regeneración de voz, imagen u otros datos|Enrutadores (routers) digitales, en redes con o sin cable")
pos("8518.10.90", "07", "", "", "3", "Micrófonos y sus soportes: los demás")
pos("8518.21.00", "07", "", "", "3", "Un altavoz (altoparlante) montado en su caja")
pos("8518.22.00", "07", "", "", "3", "Varios altavoces (altoparlantes) montados en una misma caja")
pos("8518.30.00", "07", "", "", "3", "Auriculares, incluidos los de casco, estén o no combinados con un micrófono, y juegos o conjuntos constituidos por un micrófono y uno o varios altavoces (altoparlantes)")
pos("8523.51.10", "07", "", "", "3", "Dispositivos de almacenamiento permanente de datos a base de semiconductores: sin grabar")
pos("8528.52.00", "07", "", "*", "3", "Los demás monitores, aptos para ser conectados directamente a una máquina automática para tratamiento o procesamiento de datos de la partida 84.71 y diseñados para ser utilizados con esta")
pos("8528.72.00", "07", "", "*", "3", "Los demás aparatos receptores de televisión, en colores",
    [("100", "Con pantalla de tamaño inferior o igual a 32 pulgadas"), ("900", "Los demás")])
pos("8536.10.00", "07", "", "", "3", "Fusibles y cortacircuitos de fusible, para una tensión inferior o igual a 1.000 V")
pos("8536.20.00", "07", "", "", "3", "Disyuntores, para una tensión inferior o igual a 1.000 V")
pos("8536.50.90", "07", "", "", "3", "Los demás interruptores, seccionadores y conmutadores, para una tensión inferior o igual a 1.000 V: los demás")
pos("8536.69.90", "07", "", "", "3", "Clavijas y tomas de corriente (enchufes), para una tensión inferior o igual a 1.000 V: los demás",
    [("100", "Fichas y tomacorrientes de uso domiciliario"), ("900", "Los demás")])
pos("8536.90.90", "07", "", "", "3", "Los demás aparatos para corte, seccionamiento, protección, derivación, empalme o conexión de circuitos eléctricos, para una tensión inferior o igual a 1.000 V: los demás")
pos("8539.22.00", "07", "", "", "3", "Las demás lámparas de incandescencia, de potencia inferior o igual a 200 W y para una tensión superior a 100 V")
pos("8539.52.00", "07", "", "", "3", "Lámparas y tubos de diodos emisores de luz (LED)",
    [("100", "Con casquillo de rosca E27 o E14"), ("900", "Los demás")])
pos("8544.11.00", "01", "", "", "3", "Alambre para bobinar, de cobre")
pos("8544.42.00", "01", "", "", "3", "Los demás conductores eléctricos, para una tensión inferior o igual a 1.000 V, provistos de piezas de conexión",
    [("100", "Cables de datos con conectores USB o HDMI"), ("900", "Los demás")])
pos("8544.49.00", "01", "", "", "3", "Los demás conductores eléctricos, para una tensión inferior o igual a 1.000 V: los demás")
# Chapter 87: vehicles and parts
pos("8708.21.00", "07", "", "", "3", "Cinturones de seguridad")
pos("8708.30.90", "07", "", "", "3", "Frenos y servofrenos, sus partes: los demás")
pos("8708.99.90", "01", "", "", "3", "Las demás partes y accesorios de vehículos automóviles de las partidas 87.01 a 87.05: los demás")
pos("8712.00.10", "07", "", "*", "3", "Bicicletas y demás ciclos (incluidos los triciclos de reparto), sin motor: bicicletas")
pos("8714.10.00", "01", "", "", "3", "Partes y accesorios de motocicletas (incluidos los ciclomotores)")
pos("8716.80.00", "07", "", "", "3", "Los demás vehículos no automóviles (carretillas y similares)")
# Chapters 90 and 91
pos("9004.10.00", "07", "", "", "3", "Gafas (anteojos) de sol")
pos("9004.90.20", "07", "", "", "3", "Gafas (anteojos) correctoras, protectoras u otras, y artículos similares: de protección")
pos("9017.80.10", "07", "", "", "3", "Los demás instrumentos de dibujo, trazado o cálculo, instrumentos de medida de longitud, de uso manual: metros")
pos("9017.80.90", "07", "", "", "3", "Los demás instrumentos de dibujo, trazado o cálculo, instrumentos de medida de longitud, de uso manual: los demás")
pos("9025.11.10", "07", "", "", "3", "Termómetros de líquido, con lectura directa: clínicos")
pos("9025.19.90", "07", "", "", "3", "Los demás termómetros: los demás")
pos("9102.11.00", "07", "", "", "3", "Relojes de pulsera, eléctricos, incluso con contador de tiempo incorporado, con indicador mecánico solamente")
pos("9102.19.00", "07", "", "", "3", "Los demás relojes de pulsera, eléctricos")
pos("9105.21.00", "07", "", "", "3", "Relojes de pared, eléctricos")
# Chapter 94: furniture
pos("9401.61.00", "07", "", "", "3", "Asientos con armazón de madera, con relleno")
pos("9401.71.00", "07", "", "", "3", "Asientos con armazón de metal, con relleno")
pos("9403.10.00", "07", "", "", "3", "Muebles de metal de los tipos utilizados en oficinas")
pos("9403.20.00", "07", "", "", "3", "Los demás muebles de metal")
pos("9403.30.00", "07", "", "", "3", "Muebles de madera de los tipos utilizados en oficinas")
pos("9403.60.00", "07", "", "", "3", "Los demás muebles de madera")
pos("9403.70.00", "07", "", "", "3", "Muebles de plástico")
pos("9404.21.00", "07", "", "", "3", "Colchones de caucho o plástico celulares, recubiertos o no")
# Chapter 95: toys, games, sports
pos("9503.00.10", "07", "07", "*", "3", "Triciclos, patinetes, coches de pedal y juguetes similares con ruedas, coches y sillas de ruedas para muñecas")
pos("9503.00.21", "07", "07", "*", "3", "Muñecas y muñecos que representen solamente seres humanos, incluso vestidos")
pos("9503.00.40", "07", "07", "*", "3", "Rompecabezas de cualquier clase")
pos("9503.00.90", "07", "07", "*", "3", "Los demás juguetes, modelos reducidos y modelos similares para entretenimiento",
    [("100", "De plástico"), ("900", "Los demás")])
pos("9504.40.00", "07", "", "", "3", "Naipes")
pos("9504.50.00", "07", "", "*", "3", "Videoconsolas y máquinas de videojuego, excepto las de la subpartida 9504.30")
pos("9505.10.00", "01", "", "", "3", "Artículos para fiestas de Navidad")
pos("9506.51.00", "07", "", "", "3", "Raquetas de tenis, incluso sin cordaje")
pos("9506.62.00", "07", "", "", "3", "Balones y pelotas, inflables")
pos("9506.70.00", "08", "", "", "3", "Patines para hielo y patines de ruedas, incluido el calzado con patines fijos")
pos("9506.91.00", "07", "", "", "3", "Artículos y material para cultura física, gimnasia o atletismo")
pos("9507.10.00", "07", "", "", "3", "Cañas de pescar")
# Chapter 96
pos("9603.21.00", "07", "", "", "3", "Cepillos de dientes, incluidos los cepillos para dentaduras postizas")
pos("9603.40.10", "07", "", "", "3", "Pinceles y brochas para pintar, enlucir, barnizar o similares: pinceles y brochas")
pos("9603.90.00", "07", "", "", "3", "Escobas, cepillos, brochas y pinceles, escobas mecánicas, fregonas y plumeros: los demás")
pos("9608.10.00", "07", "", "", "3", "Bolígrafos")
pos("9608.20.00", "07", "", "", "3", "Rotuladores y marcadores con punta de fieltro u otra punta porosa")
pos("9609.10.00", "07", "", "", "3", "Lápices con mina de grafito o de colores, con envoltura")
pos("9613.10.00", "07", "", "", "3", "Encendedores de gas no recargables, de bolsillo")
pos("9615.11.00", "07", "", "", "3", "Peines, peinetas, pasadores y artículos similares, de caucho endurecido o plástico")
pos("9617.00.10", "07", "", "", "3", "Termos y demás recipientes isotérmicos montados y aislados por vacío: termos")

# ---------------------------------------------------------------------------
# Value suffixes. Free-value groups have one row with the two-character code;
# option groups have one row per option with a four-character code.
# ---------------------------------------------------------------------------
OPCIONES = {
    "AD": [("AD01", "NUEVO SIN USO"), ("AD02", "USADO"), ("AD03", "REACONDICIONADO")],
    "AG": [("AG01", "ACERO AL CARBONO"), ("AG02", "ACERO INOXIDABLE"), ("AG03", "ACERO AL CROMO VANADIO"),
           ("AG04", "ALUMINIO"), ("AG05", "PLÁSTICO")],
    "AH": [("AH01", "ELÉCTRICA CON CABLE"), ("AH02", "A BATERÍA RECARGABLE"), ("AH03", "NEUMÁTICA"),
           ("AH04", "A EXPLOSIÓN")],
    "BB": [("BB01", "HOMBRE"), ("BB02", "MUJER"), ("BB03", "NIÑOS"), ("BB04", "UNISEX")],
    "BD": [("BD01", "MENORES DE 3 AÑOS"), ("BD02", "DE 3 A 8 AÑOS"), ("BD03", "MAYORES DE 8 AÑOS")],
    "BE": [("BE01", "BOTELLA DE VIDRIO"), ("BE02", "LATA"), ("BE03", "ENVASE DE CARTÓN"),
           ("BE04", "BAG IN BOX")],
}
LIBRES = {
    "AA": "MARCA",
    "AB": "MODELO",
    "AI": "MODELO / VERSIÓN",
    "ZA": "CAPACIDAD DE MEMORIA O ALMACENAMIENTO EN GB",
    "ZB": "POTENCIA EN W",
    "ZC": "CAPACIDAD EN LITROS",
    "ZD": "TAMAÑO DE PANTALLA EN PULGADAS",
    "ZE": "CANTIDAD DE PIEZAS DEL JUEGO",
    "ZF": "RODADO EN PULGADAS",
    "ZG": "ANCHO DE SECCIÓN EN MM",
    "ZH": "CONTENIDO NETO EN ML",
}
MASCARA = "  .  .  .   "  # blanks and points of a 14-character position


def sim(prefijo):
    """Pattern of a chapter ("84"), heading ("8467"), subheading ("8467.21")
    or full position ("8467.21.00.000"), filled to 14 characters."""
    if len(prefijo) == 14:
        return prefijo
    return prefijo + MASCARA[len(prefijo) - 2:]


# pattern prefix -> groups that apply under it
GRUPOS = [
    ("0901", ["AA"]),
    ("2203", ["AA", "ZH"]),
    ("2204", ["AA", "BE", "ZH"]),
    ("4011", ["AA", "AB", "ZG"]),
    ("4202", ["AA"]),
    ("61", ["AA", "BB"]),
    ("62", ["AA", "BB"]),
    ("64", ["AA", "AB"]),
    ("6403", ["BB"]),
    ("6404", ["BB"]),
    ("7321", ["AA", "AB"]),
    ("7323", ["AG"]),
    ("82", ["AA"]),
    ("8203", ["AG"]),
    ("8205", ["AB"]),
    ("8206", ["ZE"]),
    ("8301", ["AA"]),
    ("8413.70.10.000", ["AA", "AB", "ZB"]),
    ("8414.51", ["AA", "AB", "ZB"]),
    ("8418", ["AA", "AB", "ZC"]),
    ("8422", ["AA", "AB"]),
    ("8450", ["AA", "AB"]),
    ("8467", ["AA", "AB", "AH"]),
    ("8467.21", ["ZB"]),
    ("8467.22", ["ZB"]),
    ("8467.29", ["ZB"]),
    ("8471", ["AA", "AB", "AD"]),
    ("8471.30", ["ZA"]),
    ("8504.40.40.000", ["AA", "AB", "ZB"]),
    ("8507.60", ["AA", "AB"]),
    ("8508", ["AA", "AI"]),
    ("8509", ["AA", "AI"]),
    ("8510", ["AA", "AI"]),
    ("8513", ["AA"]),
    ("8516", ["AA", "AI"]),
    ("8516.10", ["ZC"]),
    ("8516.31", ["ZB"]),
    ("8516.50", ["ZC"]),
    ("8517", ["AA", "AB", "AD"]),
    ("8517.13", ["ZA"]),
    ("8518", ["AA"]),
    ("8523.51", ["AA", "ZA"]),
    ("8528", ["AA", "AB", "ZD"]),
    ("8536", ["AA"]),
    ("8539.52", ["AA", "ZB"]),
    ("8708", ["AA"]),
    ("8712", ["AA", "AB", "ZF"]),
    ("9004", ["AA", "AB"]),
    ("9017", ["AA"]),
    ("9102", ["AA", "AB"]),
    ("9105", ["AA"]),
    ("9404", ["AA"]),
    ("95", ["AA"]),
    ("9503", ["AB", "BD"]),
    ("9603", ["AA"]),
    ("9608", ["AA"]),
]


def filas_sufidos():
    filas = []
    for prefijo, grupos in GRUPOS:
        for g in grupos:
            if g in OPCIONES:
                filas.extend((sim(prefijo), c, d) for c, d in OPCIONES[g])
            else:
                filas.append((sim(prefijo), g, LIBRES[g]))
    return filas


# ---------------------------------------------------------------------------
# Positions
# ---------------------------------------------------------------------------
LETRAS = "ABCDEFGHJKLMNPRSTUVWXYZ"


def letra_control(item, apertura):
    """Check letter of a position (the demo set's own rule: a weighted digit sum)."""
    digitos = [int(c) for c in item.replace(".", "") + apertura]
    suma = sum(d * (i % 7 + 2) for i, d in enumerate(digitos))
    return LETRAS[suma % len(LETRAS)]


def filas_ncm():
    filas = []
    for item, uest, deresp, lapi, rein, descrip, aperturas in P:
        principal, _, segunda = descrip.partition("|")
        for apertura, texto in aperturas or [("000", "")]:
            filas.append((item, apertura, letra_control(item, apertura), texto or segunda, principal,
                          uest, rein, deresp, lapi))
    return filas


def texto_posicion(item, apertura="000", con_letra=True):
    """The 15-character position text, or its first 14 characters."""
    t = item + "." + apertura
    return t + letra_control(item, apertura) if con_letra else t


def patrones(posicion):
    return [posicion[:2] + MASCARA, posicion[:4] + MASCARA[2:], posicion[:7] + MASCARA[5:], posicion[:14]]


# ---------------------------------------------------------------------------
# Catalogs and their articles.
# ---------------------------------------------------------------------------
CATALOGOS = [
    ("1", "AUSTRAL HERRAMIENTAS S.A. - FERRETERÍA Y HERRAMIENTAS"),
    ("2", "TECNOSUR S.R.L. - INFORMÁTICA Y ELECTRODOMÉSTICOS"),
]


def ean13(base12):
    suma = sum(int(c) * (3 if i % 2 else 1) for i, c in enumerate(base12))
    return base12 + str((10 - suma % 10) % 10)


# (catalog, article, description, country, unit price, item, opening, with letter,
#  catalog lapi, suffix text, declared unit, MARIA description, kg per unit)
ARTICULOS = [
    ("1", "TX650", "TALADRO PERCUTOR 650W 13MM", "310", 28.5, "8467.21.00", "000", True, "",
     "AA(TOOLMAX)-AB(TX650)-AH01-ZB(000650)-", "07", "TALADRO PERCUTOR ELECTRICO 650 W MANDRIL 13 MM", 1.9),
    ("1", "SC1400", "SIERRA CIRCULAR 1400W 185MM", "310", 46.0, "8467.22.00", "000", True, "",
     "AA(TOOLMAX)-AB(SC1400)-AH01-ZB(001400)-", "07", "SIERRA CIRCULAR ELECTRICA 1400 W DISCO 185 MM", 4.2),
    ("1", "TXB18", "TALADRO ATORNILLADOR A BATERIA 18V", "310", 39.9, "8467.21.00", "000", True, "",
     "AA(TOOLMAX)-AB(TXB18)-AH02-ZB(000300)-", "07", "TALADRO ATORNILLADOR INALAMBRICO 18 V CON BATERIA", 1.6),
    ("1", "JL24", "JUEGO LLAVES COMBINADAS 24 PIEZAS", "313", 17.3, "8204.11.00", "000", True, "",
     "AA(TOOLMAX)-", "07", "JUEGO DE LLAVES COMBINADAS DE BOCA FIJA 24 PIEZAS", 3.1),
    ("1", "DS6", "JUEGO DESTORNILLADORES 6 PIEZAS", "310", 4.1, "8205.40.00", "000", True, "",
     "AA(TOOLMAX)-AB(DS6)-", "07", "JUEGO DE DESTORNILLADORES PUNTA PLANA Y PHILLIPS 6 PIEZAS", 0.6),
    ("1", "MT5M", "CINTA METRICA 5 M", "310", 1.35, "9017.80.10", "000", False, "",
     "AA(TOOLMAX)-", "07", "CINTA METRICA METALICA 5 M CON FRENO", 0.2),
    ("1", "TORN48", "TORNILLO AUTOPERFORANTE 4.8 X 19 (KG)", "310", 3.85, "7318.14.00", "000", True, "N",
     "", "01", "TORNILLOS AUTOPERFORANTES DE ACERO CINCADO 4,8 X 19 MM", 1.0),
    ("1", "TUER10", "TUERCA HEXAGONAL M10 (KG)", "310", 2.4, "7318.16.00", "000", True, "",
     "", "01", "TUERCAS HEXAGONALES DE ACERO M10", 1.0),
    ("1", "CAND40", "CANDADO BRONCE 40 MM", "310", 2.2, "8301.10.00", "000", False, "",
     "AA(TOOLMAX)-", "07", "CANDADO DE BRONCE MACIZO 40 MM CON 3 LLAVES", 0.25),
    ("1", "PINZ8", "PINZA UNIVERSAL 8 PULGADAS", "310", 2.75, "8203.20.10", "000", True, "",
     "AA(TOOLMAX)-AG03-", "07", "PINZA UNIVERSAL 8 PULGADAS MANGO AISLADO", 0.35),
    ("1", "LED9W", "LAMPARA LED 9W E27 LUZ FRIA", "310", 0.62, "8539.52.00", "100", True, "",
     "AA(LUXOR)-ZB(000009)-", "07", "LAMPARA DE LED 9 W ROSCA E27 220 V", 0.05),
    ("1", "ALARG5", "PROLONGADOR 3 TOMAS CABLE 5 M", "310", 3.1, "8544.42.00", "900", True, "",
     "", "07", "PROLONGADOR ELECTRICO 3 TOMAS CON CABLE DE 5 M", 0.45),
    ("1", "GUANTNI", "GUANTE MOTEADO NITRILO (PAR)", "315", 0.48, "6116.10.00", "000", True, "",
     "AA(SAFEGRIP)-BB04-", "08", "GUANTES DE PUNTO RECUBIERTOS DE NITRILO", 0.06),
    ("1", "BOTSEG", "BOTIN DE SEGURIDAD PUNTERA ACERO", "417", 21.0, "6403.40.00", "000", True, "S",
     "AA(SAFEGRIP)-AB(BOTSEG)-BB01-", "08", "BOTIN DE CUERO CON PUNTERA DE ACERO", 1.4),
    ("1", "PINC2", "PINCEL 2 PULGADAS CERDA NATURAL", "310", 0.55, "9603.40.10", "000", True, "",
     "AA(PINTEX)-", "07", "PINCEL DE CERDA NATURAL 2 PULGADAS", 0.04),
    ("1", "SILIC", "SELLADOR SILICONA TRANSPARENTE 280 ML", "212", 1.95, "3214.10.10", "000", True, "",
     "", "07", "SELLADOR DE SILICONA TRANSPARENTE CARTUCHO 280 ML", 0.3),
    ("1", "CINTAE", "CINTA AISLADORA 20 M NEGRA", "310", 0.32, "3919.10.00", "000", True, "",
     "", "07", "CINTA AISLADORA DE PVC 19 MM X 20 M", 0.05),
    ("1", "LINT3", "LINTERNA LED 3 PILAS AA", "310", 1.8, "8513.10.10", "000", True, "",
     "AA(LUXOR)-", "07", "LINTERNA DE LED A PILAS", 0.15),
    ("2", "NB14I5", "NOTEBOOK 14 PULGADAS CORE I5 8GB 512GB", "310", 410.0, "8471.30.12", "000", True, "",
     "AA(NOVATEC)-AB(NB14I5)-AD01-ZA(000008)-", "07", "COMPUTADORA PORTATIL 14 PULGADAS 8 GB RAM SSD 512 GB", 1.45),
    ("2", "TECUSB", "TECLADO USB ESPAÑOL", "310", 4.6, "8471.60.52", "000", True, "",
     "AA(NOVATEC)-AB(TECUSB)-AD01-", "07", "TECLADO USB DISPOSICION ESPAÑOL LATINOAMERICANO", 0.5),
    ("2", "MOUSEO", "MOUSE OPTICO USB", "310", 2.1, "8471.60.53", "000", True, "",
     "AA(NOVATEC)-AB(MOUSEO)-AD01-", "07", "MOUSE OPTICO USB 1000 DPI", 0.09),
    ("2", "MON24", "MONITOR LED 24 PULGADAS FULL HD", "310", 88.0, "8528.52.00", "000", True, "",
     "AA(NOVATEC)-AB(MON24)-ZD(000024)-", "07", "MONITOR LED 24 PULGADAS 1920 X 1080", 3.6),
    ("2", "AURBT", "AURICULAR BLUETOOTH VINCHA", "310", 6.3, "8518.30.00", "000", True, "",
     "AA(NOVATEC)-", "07", "AURICULARES INALAMBRICOS BLUETOOTH DE VINCHA CON MICROFONO", 0.2),
    ("2", "PEN64", "MEMORIA USB 64 GB", "310", 2.9, "8523.51.10", "000", True, "",
     "AA(NOVATEC)-ZA(000064)-", "07", "MEMORIA FLASH USB 64 GB SIN GRABAR", 0.02),
    ("2", "ROUT300", "ROUTER WIFI 300 MBPS", "310", 9.8, "8517.62.41", "000", True, "",
     "AA(NOVATEC)-AB(ROUT300)-AD01-", "07", "ENRUTADOR INALAMBRICO WIFI 300 MBPS 4 PUERTOS", 0.35),
    ("2", "CEL128", "SMARTPHONE 6.5 PULGADAS 128 GB", "310", 96.0, "8517.13.00", "000", True, "",
     "AA(NOVATEC)-AB(CEL128)-AD01-ZA(000128)-", "07", "TELEFONO CELULAR INTELIGENTE 128 GB", 0.3),
    ("2", "PWB10", "CARGADOR PORTATIL 10000 MAH", "310", 5.4, "8507.60.00", "000", True, "",
     "AA(NOVATEC)-AB(PWB10)-", "07", "BATERIA PORTATIL DE IONES DE LITIO 10000 MAH", 0.25),
    ("2", "CABUSB", "CABLE USB TIPO C 1 M", "310", 0.7, "8544.42.00", "100", True, "",
     "", "07", "CABLE USB A USB TIPO C 1 M", 0.03),
    ("2", "MICRO20", "HORNO MICROONDAS 20 LITROS", "310", 52.0, "8516.50.00", "000", True, "",
     "AA(NOVATEC)-AI(MICRO20)-ZC(000020)-", "07", "HORNO A MICROONDAS 20 L 700 W", 10.5),
    ("2", "PAV17", "PAVA ELECTRICA 1.7 L ACERO", "310", 7.9, "8516.79.90", "100", True, "",
     "AA(NOVATEC)-AI(PAV17)-", "07", "PAVA ELECTRICA DE ACERO INOXIDABLE 1,7 L", 0.9),
    ("2", "UPS800", "UPS 800 VA 4 TOMAS", "310", 38.0, "8504.40.40", "000", True, "S",
     "AA(NOVATEC)-AB(UPS800)-ZB(000480)-", "07", "FUENTE DE ALIMENTACION ININTERRUMPIDA 800 VA", 5.2),
    ("2", "LED9W", "LAMPARA LED 9W E27", "310", 0.58, "8539.52.00", "100", True, "",
     "AA(NOVATEC)-ZB(000009)-", "07", "LAMPARA DE LED 9 W ROSCA E27", 0.05),
]

# ---------------------------------------------------------------------------
# SQL writing
# ---------------------------------------------------------------------------


def literal(v):
    if v is None:
        return "NULL"
    if isinstance(v, float):
        return repr(v)
    if isinstance(v, int):
        return str(v)
    return "'" + str(v).replace("'", "''") + "'"


def insert(tabla, columnas, fila):
    return "INSERT INTO %s (%s) VALUES (%s);" % (tabla, ", ".join(columnas), ", ".join(literal(v) for v in fila))


def datos_ncm():
    """Rows of ncm keyed by ([001], [002])."""
    return {(f[0], f[1]): f for f in filas_ncm()}


def filas_catarticulos(ncm):
    filas = []
    for n, a in enumerate(ARTICULOS):
        (cat, art, desc, pais, precio, item, apertura, con_letra, lapi, sufijos, unidad, maria, kg) = a
        fila_ncm = ncm[(item, apertura)]
        prefijo = "779%09d" % (4520000 + n) if pais == "200" else "693%09d" % (7710000 + n * 37)
        filas.append((cat, art, desc, pais, 0.0, precio, texto_posicion(item, apertura, con_letra), lapi,
                      sufijos, unidad, fila_ncm[5], 0.0, "2", fila_ncm[7], maria, 0.0, kg, ean13(prefijo)))
    return filas


COLUMNAS_NCM = ["[001]", "[002]", "[003]", "[004]", "[010]", "[012]", "[019]", "[020]", "[059]"]
COLUMNAS_CATARTICULOS = ["idcatalogo", "idarticulo", "descripcion", "idpais", "cantidad", "Preciounitario",
                         "ncm", "lapi", "sufijos", "idunidad", "estadistica", "valorrelacionestadistica",
                         "EstadoMerc", "deresp", "descripcion_maria", "valorderesp", "artkgunitario",
                         "codigoean"]


def escribir_paises():
    lineas = [
        "-- Countries of the working database (table PAIS).",
        "-- id: the three-digit country code of the Argentine customs country table",
        "-- (the codes used in import and export declarations, e.g. 200 ARGENTINA,",
        "-- 310 CHINA, 212 ESTADOS UNIDOS). Written by tools/generar_datos_demo.py.",
    ]
    lineas += [insert("PAIS", ["id", "descripcion"], p) for p in PAISES]
    guardar(PAISES_SQL, lineas)


def escribir_demo():
    ncm = datos_ncm()
    lineas = [
        "-- Demo data of the customs-system database: units, two catalogs with their",
        "-- articles, and a slice of the nomenclature with its value suffixes.",
        "-- Written by tools/generar_datos_demo.py, do not edit by hand.",
        "",
        "-- Units of measure",
    ]
    lineas += [insert("unidades", ["id", "descripcion"], u) for u in UNIDADES]
    lineas += ["", "-- Catalogs"]
    lineas += [insert("catalogo", ["idcatalogo", "descripcion"], c) for c in CATALOGOS]
    lineas += ["", "-- Nomenclature: [001] position, [002] opening, [003] check letter,",
               "-- [010]/[004] description, [012] statistical unit, [019] export refund %,",
               "-- [020] specific-duty unit, [059] LAPI mark"]
    lineas += [insert("ncm", COLUMNAS_NCM, f) for f in filas_ncm()]
    lineas += ["", "-- Value suffixes by chapter, heading, subheading or full position"]
    lineas += [insert("sufidos", ["sim", "sufijo", "detalle"], f) for f in filas_sufidos()]
    lineas += ["", "-- Catalog articles"]
    lineas += [insert("catarticulos", COLUMNAS_CATARTICULOS, f) for f in filas_catarticulos(ncm)]
    guardar(DEMO_SQL, lineas)


def guardar(ruta, lineas):
    with open(ruta, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lineas) + "\n")


# ---------------------------------------------------------------------------
# Checks
# ---------------------------------------------------------------------------


def sentencias(ruta):
    """Splits a file the way the program's loader does: a statement ends with a
    semicolon at the end of a line."""
    actual, salida = [], []
    with open(ruta, encoding="utf-8") as f:
        for linea in f:
            actual.append(linea)
            if linea.rstrip().endswith(";"):
                salida.append("".join(actual))
                actual = []
    resto = "".join(actual).strip()
    if resto and not all(l.strip().startswith("--") or not l.strip() for l in actual):
        raise SystemExit("%s: texto sin ';' final: %r" % (ruta, resto[:80]))
    return salida


def cargar(con, ruta):
    for s in sentencias(ruta):
        con.execute(s)


def grupos_de(con, posicion):
    filas = con.execute("select sufijo from sufidos where sim in (?,?,?,?)", patrones(posicion)).fetchall()
    grupos = {}
    for (codigo,) in filas:
        grupos.setdefault(codigo[:2], set()).add(codigo)
    return grupos


def errores_sufijos(grupos, texto):
    """Checks a suffix text against the groups of its position: every group once,
    free values in parentheses (six digits for Z groups), options by their code."""
    errores = []
    if not grupos:
        return [] if texto in ("", "SIN SUFIJOS") else ["la posición no tiene sufijos: %r" % texto]
    if not texto.endswith("-"):
        return ["no termina en '-': %r" % texto]
    vistos = []
    for item in texto[:-1].split("-"):
        g = item[:2]
        vistos.append(g)
        if g not in grupos:
            errores.append("grupo ajeno a la posición: %s" % item)
        elif g in grupos[g]:  # free value
            if len(item) < 5 or item[2] != "(" or item[-1] != ")":
                errores.append("valor libre mal formado: %s" % item)
            elif g.startswith("Z") and not (len(item) == 10 and item[3:9].isdigit()):
                errores.append("valor numérico sin seis dígitos: %s" % item)
        elif item not in grupos[g]:
            errores.append("opción inexistente: %s" % item)
    faltan = sorted(set(grupos) - set(vistos))
    if faltan:
        errores.append("faltan grupos %s" % ",".join(faltan))
    if len(vistos) != len(set(vistos)):
        errores.append("grupo repetido")
    if vistos != sorted(vistos):
        errores.append("grupos fuera de orden")
    return errores


def verificar():
    problemas = []
    con = sqlite3.connect(":memory:")
    cargar(con, ESQUEMA_ADUANA)
    cargar(con, DEMO_SQL)
    cuenta = {t: con.execute("select count(*) from " + t).fetchone()[0]
              for t in ("ncm", "sufidos", "unidades", "catalogo", "catarticulos")}
    print("customs:", ", ".join("%s %d" % kv for kv in cuenta.items()))
    if cuenta["ncm"] < 200:
        problemas.append("menos de 200 posiciones")
    for codigo in ("01", "02", "05", "07"):
        if not con.execute("select 1 from unidades where id = ?", (codigo,)).fetchone():
            problemas.append("falta la unidad " + codigo)
    for s, in con.execute("select sim from sufidos"):
        if len(s) != 14:
            problemas.append("sim de largo %d: %r" % (len(s), s))
    uso = {"sin sufijos": 0, "solo AA": 0, "AA+AB+Z": 0, "con opciones": 0, "con posición completa": 0}
    for f1, f2, f3 in con.execute("select [001],[002],[003] from ncm").fetchall():
        p = f1 + "." + f2 + f3
        g = grupos_de(con, p)
        uso["sin sufijos"] += not g
        uso["solo AA"] += set(g) == {"AA"}
        uso["AA+AB+Z"] += {"AA", "AB"} <= set(g) and any(k.startswith("Z") for k in g)
        uso["con opciones"] += any(len(c) == 4 for cs in g.values() for c in cs)
        uso["con posición completa"] += bool(con.execute("select 1 from sufidos where sim = ?", (p[:14],)).fetchone())
    print("posiciones:", ", ".join("%s %d" % kv for kv in uso.items()))
    problemas += ["ninguna posición %s" % k for k, v in uso.items() if not v]
    for cat, art, pos_, lapi, suf, est, der, uni, pais in con.execute(
            "select idcatalogo, idarticulo, ncm, lapi, sufijos, estadistica, deresp, idunidad, idpais "
            "from catarticulos order by 1, 2"):
        fila = con.execute("select [003], [012], [020] from ncm where [001] = ? and [002] = ?",
                           (pos_[:10], pos_[11:14])).fetchone()
        if fila is None or len(pos_) not in (14, 15) or (len(pos_) == 15 and fila[0] != pos_[14]):
            problemas.append("%s/%s: posición %s no está en ncm" % (cat, art, pos_))
            continue
        if (est, der) != (fila[1], fila[2]):
            problemas.append("%s/%s: unidades distintas de ncm" % (cat, art))
        if not con.execute("select 1 from unidades where id = ?", (uni,)).fetchone():
            problemas.append("%s/%s: unidad %s inexistente" % (cat, art, uni))
        if pais not in dict(PAISES):
            problemas.append("%s/%s: país %s inexistente" % (cat, art, pais))
        problemas += ["%s/%s: %s" % (cat, art, e) for e in errores_sufijos(grupos_de(con, pos_), suf)]

    trabajo = sqlite3.connect(":memory:")
    cargar(trabajo, ESQUEMA_TRABAJO)
    cargar(trabajo, PAISES_SQL)
    n = trabajo.execute("select count(*) from PAIS").fetchone()[0]
    print("working: PAIS %d" % n)
    if n != len(PAISES) or len({d for _, d in PAISES}) != len(PAISES):
        problemas.append("países repetidos")
    for ruta in (ESQUEMA_ADUANA, DEMO_SQL, PAISES_SQL):
        with open(ruta, encoding="utf-8") as f:
            texto = f.read()
        if "\"" in texto:
            problemas.append("%s: comillas dobles" % ruta)
    return problemas


def terminar(problemas):
    """Prints the problems found and ends with status 1 when there are any."""
    for p in problemas:
        print("ERROR:", p)
    sys.exit(1 if problemas else 0)


def main():
    escribir_paises()
    escribir_demo()
    terminar(verificar())


if __name__ == "__main__":
    main()
