#include "librobiff.h"

#include <QFile>
#include <QtEndian>
#include <bit>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

namespace librobiff {

QByteArray le16(int v) {
    QByteArray b(2, Qt::Uninitialized);
    qToLittleEndian<quint16>(static_cast<quint16>(v), b.data());
    return b;
}

QByteArray le32(quint32 v) {
    QByteArray b(4, Qt::Uninitialized);
    qToLittleEndian<quint32>(v, b.data());
    return b;
}

QByteArray ieee(double v) {
    QByteArray b(8, Qt::Uninitialized);
    qToLittleEndian<quint64>(std::bit_cast<quint64>(v), b.data());
    return b;
}

QByteArray regCrudo(quint16 tipo, int largo, const QByteArray& datos) {
    return le16(tipo) + le16(largo) + datos;
}

QByteArray reg(quint16 tipo, const QByteArray& datos) {
    return regCrudo(tipo, static_cast<int>(datos.size()), datos);
}

QByteArray bof(quint16 version, quint16 tipo) {
    return reg(0x0809, le16(version) + le16(tipo) + QByteArray(version == 0x0600 ? 12 : 4, '\0'));
}

QByteArray eof() {
    return reg(0x000A, {});
}

QByteArray texto8(const QString& s) {
    const bool anchos = std::any_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() > 0xFF; });
    QByteArray b = le16(static_cast<int>(s.size())) + QByteArray(1, anchos ? '\1' : '\0');
    for (const QChar c : s)
        b += anchos ? le16(c.unicode()) : QByteArray(1, static_cast<char>(c.unicode()));
    return b;
}

QByteArray celda(quint16 tipo, int fila, int columna, int xf, const QByteArray& resto) {
    return reg(tipo, le16(fila) + le16(columna) + le16(xf) + resto);
}

QByteArray numero(int fila, int columna, double v, int xf) {
    return celda(0x0203, fila, columna, xf, ieee(v));
}

QByteArray rk(int fila, int columna, quint32 v, int xf) {
    return celda(0x027E, fila, columna, xf, le32(v));
}

QByteArray labelSst(int fila, int columna, quint32 indice, int xf) {
    return celda(0x00FD, fila, columna, xf, le32(indice));
}

QByteArray boolErr(int fila, int columna, int valor, bool error) {
    return celda(0x0205, fila, columna, 0,
                 QByteArray(1, static_cast<char>(valor)) + QByteArray(1, error ? 1 : 0));
}

QByteArray formula(int fila, int columna, const QByteArray& resultado, int xf) {
    return celda(0x0006, fila, columna, xf, resultado + le16(0) + le32(0) + le16(0));
}

QByteArray resultadoEspecial(int tipo, int valor) {
    QByteArray r(8, '\0');
    r[0] = static_cast<char>(tipo);
    r[2] = static_cast<char>(valor);
    r[6] = r[7] = '\xFF';
    return r;
}

QByteArray sst(const QStringList& textos) {
    QByteArray datos = le32(static_cast<quint32>(textos.size())) + le32(static_cast<quint32>(textos.size()));
    for (const QString& t : textos)
        datos += texto8(t);
    return reg(0x00FC, datos);
}

QByteArray libro(const QByteArray& globales, const std::vector<HojaBiff>& hojas,
                 std::vector<int> ordenEnFlujo, bool biff8) {
    const quint16 version = biff8 ? 0x0600 : 0x0500;
    if (ordenEnFlujo.empty())
        for (int i = 0; i < static_cast<int>(hojas.size()); ++i)
            ordenEnFlujo.push_back(i);
    auto nombre = [&](size_t i) -> QByteArray {
        const QByteArray n = "Hoja" + QByteArray::number(static_cast<int>(i) + 1);
        return QByteArray(1, static_cast<char>(n.size())) + (biff8 ? QByteArray(1, '\0') : QByteArray()) + n;
    };
    std::vector<QByteArray> subflujos;
    for (const HojaBiff& h : hojas)
        subflujos.push_back(bof(version, h.tipo == 2 ? 0x0020 : 0x0010) + h.registros + eof());

    qsizetype largoGlobales = bof(version, 0x0005).size() + globales.size() + eof().size();
    for (size_t i = 0; i < hojas.size(); ++i)
        largoGlobales += 4 + 6 + nombre(i).size();
    std::vector<quint32> posicion(hojas.size());
    qsizetype pos = largoGlobales;
    for (const int i : ordenEnFlujo) {
        posicion[static_cast<size_t>(i)] = static_cast<quint32>(pos);
        pos += subflujos[static_cast<size_t>(i)].size();
    }
    QByteArray flujo = bof(version, 0x0005) + globales;
    for (size_t i = 0; i < hojas.size(); ++i)
        flujo += reg(0x0085, le32(posicion[i]) + QByteArray(1, '\0') +
                                 QByteArray(1, static_cast<char>(hojas[i].tipo)) + nombre(i));
    flujo += eof();
    for (const int i : ordenEnFlujo)
        flujo += subflujos[static_cast<size_t>(i)];
    return flujo;
}

QByteArray libroSimple(const QByteArray& celdas, const QByteArray& globales) {
    return libro(globales, {HojaBiff{celdas}});
}

bool guardarCompuesto(const QString& ruta, const std::vector<std::pair<QByteArray, QByteArray>>& flujos) {
    gsf_init();
    GError* error = nullptr;
    GsfOutput* salida = gsf_output_stdio_new(QFile::encodeName(ruta).constData(), &error);
    if (!salida) {
        g_clear_error(&error);
        return false;
    }
    GsfOutfile* ole = gsf_outfile_msole_new(salida);
    bool bien = true;
    for (const auto& [nombre, datos] : flujos) {
        GsfOutput* hijo = gsf_outfile_new_child(ole, nombre.constData(), FALSE);
        bien = bien && hijo &&
               gsf_output_write(hijo, static_cast<size_t>(datos.size()),
                                reinterpret_cast<const guint8*>(datos.constData()));
        if (hijo) {
            gsf_output_close(hijo);
            g_object_unref(hijo);
        }
    }
    bien = gsf_output_close(GSF_OUTPUT(ole)) && bien;
    g_object_unref(ole);
    g_object_unref(salida);
    return bien;
}

} // namespace librobiff
