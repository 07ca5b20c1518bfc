-- Customs-system database: tariff nomenclature (entity NCM) and the brokerage tables
-- (entity INTERNOS). Plain SQL for SQLite and PostgreSQL. The bracketed names of ncm
-- are written the SQLite way and become double-quoted names on PostgreSQL.
-- Every statement ends with a semicolon at the end of a line.

-- Mercosur Common Nomenclature with the customs attributes of each position.
-- A position is [001] (dotted, 10 characters), [002] (3 characters) and the check
-- letter [003]. [001] and [002] alone identify it.
CREATE TABLE ncm (
  [001] varchar(10) COLLATE NOCASE NOT NULL,
  [002] varchar(3) COLLATE NOCASE NOT NULL,
  [003] varchar(1) COLLATE NOCASE NOT NULL,
  [004] varchar(500) COLLATE NOCASE,
  [010] varchar(500) COLLATE NOCASE,
  [012] varchar(2) COLLATE NOCASE,
  [019] varchar(10) COLLATE NOCASE,
  [020] varchar(2) COLLATE NOCASE,
  [059] varchar(1) COLLATE NOCASE,
  PRIMARY KEY ([001], [002])
);

-- Value suffixes. sim is the 14-character pattern of a chapter, heading, subheading
-- or full position (blanks where the digits are not given). A two-character code is
-- a free-value group, a four-character code one option of its group.
CREATE TABLE sufidos (
  sim varchar(14) COLLATE NOCASE NOT NULL,
  sufijo varchar(10) COLLATE NOCASE NOT NULL,
  detalle varchar(100) COLLATE NOCASE,
  PRIMARY KEY (sim, sufijo)
);

CREATE TABLE unidades (
  id varchar(2) COLLATE NOCASE NOT NULL PRIMARY KEY,
  descripcion varchar(50) COLLATE NOCASE
);

CREATE TABLE catalogo (
  idcatalogo varchar(20) COLLATE NOCASE NOT NULL PRIMARY KEY,
  descripcion varchar(100) COLLATE NOCASE
);

CREATE TABLE catarticulos (
  idcatalogo varchar(20) COLLATE NOCASE NOT NULL,
  idarticulo varchar(50) COLLATE NOCASE NOT NULL,
  descripcion varchar(250) COLLATE NOCASE,
  idpais varchar(10) COLLATE NOCASE,
  cantidad double precision,
  Preciounitario double precision,
  ncm varchar(15) COLLATE NOCASE,
  lapi varchar(1) COLLATE NOCASE,
  sufijos varchar(250) COLLATE NOCASE,
  idunidad varchar(10) COLLATE NOCASE,
  estadistica varchar(10) COLLATE NOCASE,
  valorrelacionestadistica double precision,
  EstadoMerc varchar(10) COLLATE NOCASE,
  deresp varchar(10) COLLATE NOCASE,
  descripcion_maria varchar(250) COLLATE NOCASE,
  valorderesp double precision,
  artkgunitario double precision,
  codigoean varchar(250) COLLATE NOCASE,
  PRIMARY KEY (idcatalogo, idarticulo)
);

-- Dispatch header, one row per interno.
CREATE TABLE caratula (
  interno varchar(20) COLLATE NOCASE NOT NULL PRIMARY KEY,
  idsubreg varchar(10) COLLATE NOCASE,
  fechaalta timestamp,
  ONCCAHabilitado varchar(1) COLLATE NOCASE,
  DJAI_FECHA_EMB_APROX timestamp,
  DJAI_FECHA_ARRIB_APROX timestamp,
  fobdivisas double precision,
  fobcoddivisas varchar(3) COLLATE NOCASE,
  fobdivcambio double precision
);

-- Article lines of a dispatch. Descripcion_Maria holds the three MARIA pieces joined.
CREATE TABLE subitems (
  interno varchar(20) COLLATE NOCASE NOT NULL,
  idarticulo varchar(50) COLLATE NOCASE,
  idcatalogo varchar(20) COLLATE NOCASE,
  descripcion varchar(250) COLLATE NOCASE,
  Descripcion_Maria varchar(760) COLLATE NOCASE,
  ncm varchar(15) COLLATE NOCASE,
  IdUnidad varchar(10) COLLATE NOCASE,
  Cantidad double precision,
  Preciounitario double precision,
  IdPais varchar(10) COLLATE NOCASE,
  idpaisproc varchar(10) COLLATE NOCASE,
  KGNETO double precision,
  fob double precision,
  OTROS varchar(250) COLLATE NOCASE,
  CODIGOEAN varchar(250) COLLATE NOCASE,
  EstadoMerc varchar(10) COLLATE NOCASE,
  estadistica varchar(10) COLLATE NOCASE,
  valorrelacionestadistica double precision,
  sufijos varchar(250) COLLATE NOCASE,
  LAPI varchar(1) COLLATE NOCASE,
  valorderesp double precision,
  kgbruto double precision,
  biendeuso varchar(1) COLLATE NOCASE,
  deresp varchar(10) COLLATE NOCASE
);
CREATE INDEX ix_subitems_interno ON subitems (interno);

-- Commercial invoices of a dispatch.
CREATE TABLE facturas (
  interno varchar(20) COLLATE NOCASE NOT NULL,
  nrofactura varchar(30) COLLATE NOCASE NOT NULL,
  fecha timestamp,
  proveedor varchar(100) COLLATE NOCASE,
  coddivisa varchar(3) COLLATE NOCASE,
  importe double precision,
  PRIMARY KEY (interno, nrofactura)
);
