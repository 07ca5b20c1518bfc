-- Customs-system database: tariff nomenclature (entity NCM) and the brokerage tables
-- (entity INTERNOS). Plain SQL for SQLite and PostgreSQL. The bracketed names of ncm
-- are written the SQLite way and become double-quoted names on PostgreSQL.
-- Every statement ends with a semicolon at the end of a line.

-- Mercosur Common Nomenclature with the customs attributes of each position.
-- A position is [001] (dotted, 10 characters), [002] (3 characters) and the check
-- letter [003]. [001] and [002] alone identify it.
CREATE TABLE ncm (
  [001] varchar(10) NOT NULL,
  [002] varchar(3) NOT NULL,
  [003] varchar(1) NOT NULL,
  [004] varchar(500),
  [010] varchar(500),
  [012] varchar(2),
  [019] varchar(10),
  [020] varchar(2),
  [059] varchar(1),
  PRIMARY KEY ([001], [002])
);

-- Value suffixes. sim is the 14-character pattern of a chapter, heading, subheading
-- or full position (blanks where the digits are not given). A two-character code is
-- a free-value group, a four-character code one option of its group.
CREATE TABLE sufidos (
  sim varchar(14) NOT NULL,
  sufijo varchar(10) NOT NULL,
  detalle varchar(100),
  PRIMARY KEY (sim, sufijo)
);

CREATE TABLE unidades (
  id varchar(2) NOT NULL PRIMARY KEY,
  descripcion varchar(50)
);

CREATE TABLE catalogo (
  idcatalogo varchar(20) NOT NULL PRIMARY KEY,
  descripcion varchar(100)
);

CREATE TABLE catarticulos (
  idcatalogo varchar(20) NOT NULL,
  idarticulo varchar(50) NOT NULL,
  descripcion varchar(250),
  idpais varchar(10),
  cantidad double precision,
  Preciounitario double precision,
  ncm varchar(15),
  lapi varchar(1),
  sufijos varchar(250),
  idunidad varchar(10),
  estadistica varchar(10),
  valorrelacionestadistica double precision,
  EstadoMerc varchar(10),
  deresp varchar(10),
  descripcion_maria varchar(250),
  valorderesp double precision,
  artkgunitario double precision,
  codigoean varchar(250),
  PRIMARY KEY (idcatalogo, idarticulo)
);

-- Dispatch header, one row per interno.
CREATE TABLE caratula (
  interno varchar(20) NOT NULL PRIMARY KEY,
  idsubreg varchar(10),
  fechaalta timestamp,
  ONCCAHabilitado varchar(1),
  DJAI_FECHA_EMB_APROX timestamp,
  DJAI_FECHA_ARRIB_APROX timestamp,
  fobdivisas double precision,
  fobcoddivisas varchar(3),
  fobdivcambio double precision
);

-- Article lines of a dispatch. Descripcion_Maria holds the three MARIA pieces joined.
CREATE TABLE subitems (
  interno varchar(20) NOT NULL,
  idarticulo varchar(50),
  idcatalogo varchar(20),
  descripcion varchar(250),
  Descripcion_Maria varchar(760),
  ncm varchar(15),
  IdUnidad varchar(10),
  Cantidad double precision,
  Preciounitario double precision,
  IdPais varchar(10),
  idpaisproc varchar(10),
  KGNETO double precision,
  fob double precision,
  OTROS varchar(250),
  CODIGOEAN varchar(250),
  EstadoMerc varchar(10),
  estadistica varchar(10),
  valorrelacionestadistica double precision,
  sufijos varchar(250),
  LAPI varchar(1),
  valorderesp double precision,
  kgbruto double precision,
  biendeuso varchar(1),
  deresp varchar(10)
);
CREATE INDEX ix_subitems_interno ON subitems (interno);

-- Commercial invoices of a dispatch.
CREATE TABLE facturas (
  interno varchar(20) NOT NULL,
  nrofactura varchar(30) NOT NULL,
  fecha timestamp,
  proveedor varchar(100),
  coddivisa varchar(3),
  importe double precision,
  PRIMARY KEY (interno, nrofactura)
);
