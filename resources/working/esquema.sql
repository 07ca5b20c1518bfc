-- Working database of one desk: internos, their article lines, the origin relation and the
-- country list. OTROS and CODIGOCIP of ART are added by the start-up upgrade.
CREATE TABLE INTN (
  INTNRO varchar(20) NOT NULL PRIMARY KEY,
  INTDSC varchar(100)
);
CREATE TABLE ART (
  INTNRO varchar(20) NOT NULL,
  ARTORD integer NOT NULL,
  ARTNRO varchar(50),
  ARTDSC varchar(250),
  ARTCAN double,
  ARTUNI double,
  ARTTOT double,
  ARTKGU double,
  ARTORG varchar(10),
  PROCEDENCIA varchar(10),
  FECHA_EMBARQUE varchar(50),
  FECHA_ARRIBO varchar(50),
  MARCA varchar(20),
  MODELO varchar(20),
  ARTDSCMARIA varchar(250),
  ARTDSCMARIA2 varchar(250),
  ARTDSCMARIA3 varchar(250),
  SUFIJO1 varchar(50),
  VALOR_SUFIJO1 varchar(50),
  SUFIJO2 varchar(50),
  VALOR_SUFIJO2 varchar(50),
  SUFIJO3 varchar(50),
  VALOR_SUFIJO3 varchar(50),
  ARTNAD varchar(15),
  PRCNCM varchar(15),
  PRCSUF varchar(250),
  PRCLAP varchar(1),
  PRCDUN varchar(10),
  PRCCAN double,
  PRCEUN varchar(10),
  PRCECA double,
  PRCSUN varchar(10),
  PRCSCA double,
  PRCESM varchar(10),
  PRCORI varchar(10),
  PRCEST varchar(1),
  PRCCRC varchar(3),
  PRCOBS varchar(250),
  PRIMARY KEY (INTNRO, ARTORD)
);
CREATE TABLE ORG (
  PAI varchar(100) NOT NULL PRIMARY KEY,
  ORI varchar(10),
  ESM varchar(10)
);
CREATE TABLE PAIS (
  id varchar(10) NOT NULL PRIMARY KEY,
  descripcion varchar(100)
);
-- The catalog stage updates the lines of one article and brand at a time.
CREATE INDEX ix_art_articulo ON ART (INTNRO, ARTNRO, MARCA);
