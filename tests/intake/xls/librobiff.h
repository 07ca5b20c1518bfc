#pragma once

// Hand-made BIFF workbooks for the reader tests: records built byte by byte, so that a test can
// write what no spreadsheet program writes (damaged, hostile or rare records) and put it in a
// compound document.

#include <QByteArray>
#include <QString>
#include <vector>

namespace librobiff {

QByteArray le16(int v);
QByteArray le32(quint32 v);
QByteArray ieee(double v);

// A record: type, the length of `datos` and `datos`.
QByteArray reg(quint16 tipo, const QByteArray& datos);
// A record header that declares `largo` bytes, followed by `datos` whatever their size.
QByteArray regCrudo(quint16 tipo, int largo, const QByteArray& datos);

QByteArray bof(quint16 version, quint16 tipo);
QByteArray eof();

// BIFF8 string with a 16-bit character count: compressed when every character fits in a byte.
QByteArray texto8(const QString& s);

// Cell records (row and column from 0).
QByteArray celda(quint16 tipo, int fila, int columna, int xf, const QByteArray& resto);
QByteArray numero(int fila, int columna, double v, int xf = 0);
QByteArray rk(int fila, int columna, quint32 v, int xf = 0);
QByteArray labelSst(int fila, int columna, quint32 indice, int xf = 0);
QByteArray boolErr(int fila, int columna, int valor, bool error);
// FORMULA with the 8 bytes of its cached result and no tokens.
QByteArray formula(int fila, int columna, const QByteArray& resultado, int xf = 0);
QByteArray resultadoEspecial(int tipo, int valor = 0); // 0 text, 1 bool, 2 error, 3 empty text
QByteArray sst(const QStringList& textos);

struct HojaBiff {
    QByteArray registros; // between the sheet's BOF and EOF
    quint8 tipo = 0;      // BOUNDSHEET type: 0 worksheet, 2 chart
};

// Workbook stream: globals (BOF, `globales`, one BOUNDSHEET per sheet, EOF), then the sheets in
// the order `ordenEnFlujo` gives (BOUNDSHEET order when empty).
QByteArray libro(const QByteArray& globales, const std::vector<HojaBiff>& hojas,
                 std::vector<int> ordenEnFlujo = {}, bool biff8 = true);
// One worksheet with these cell records.
QByteArray libroSimple(const QByteArray& celdas, const QByteArray& globales = {});

// Writes a compound document with these streams; false when libgsf fails.
bool guardarCompuesto(const QString& ruta, const std::vector<std::pair<QByteArray, QByteArray>>& flujos);

} // namespace librobiff
