#include "intake/clecxel.h"

#include "components/vberror.h"
#include "intake/lectorlibro.h"

#include <QLocale>
#include <QVarLengthArray>
#include <algorithm>
#include <new>
#include <span>

namespace tarvix {

namespace {
constexpr qint64 kErrorMemoria = 7;
}

bool clEcxel::Abrir() {
    const QString origen = QStringLiteral("[clExcel.Abrir]");
    CerrarArchivo();
    if (m_archivo.isEmpty())
        throw VbError(kErrorSinArchivo, origen, QStringLiteral("No hay archivo seleccionado"));
    try {
        m_hoja = lector::leerLibro(m_archivo);
    } catch (const VbError& e) {
        throw VbError(e.numero(), origen, e.descripcion());
    } catch (const std::bad_alloc&) {
        throw VbError(kErrorMemoria, origen, QStringLiteral("Memoria insuficiente"));
    }
    return true;
}

void clEcxel::fueraDeLaHoja() {
    throw VbError(lector::kErrorLibro, QStringLiteral("[clExcel.LeerCelda]"),
                  QStringLiteral("Error definido por la aplicación o el objeto"));
}

QString clEcxel::LeerCelda(int fila, int columna) const {
    if (!m_hoja)
        return {};
    if (fila < 1 || columna < 1 || fila > lector::Hoja::kMaxFilas || columna > lector::Hoja::kMaxColumnas)
        fueraDeLaHoja();
    const lector::Celda c = m_hoja->celda(fila, columna);
    switch (c.tipo) {
    case lector::TipoCelda::Vacia:
        return {};
    case lector::TipoCelda::Texto:
        return c.texto;
    default:
        return formato().texto(c);
    }
}

void clEcxel::LeerFila(int fila, int columnas, QString& destino, quint32* fines) const {
    if (!m_hoja) {
        for (int c = 0; c < columnas; ++c)
            fines[c] = static_cast<quint32>(destino.size());
        return;
    }
    if (fila < 1 || fila > lector::Hoja::kMaxFilas || columnas > lector::Hoja::kMaxColumnas)
        fueraDeLaHoja();
    const std::span<const lector::Hoja::Casilla> celdas = m_hoja->fila(fila);
    const int conCeldas = std::min(columnas, static_cast<int>(celdas.size()));
    const lector::FormatoCelda* f = nullptr;
    // The row is written in a buffer of its own, `n` characters of it, and appended to `destino`
    // at once.
    QVarLengthArray<char16_t, 4096> texto(4096);
    qsizetype n = 0;
    const auto sitio = [&texto, &n](qsizetype mas) {
        if (n + mas > texto.size())
            texto.resize(std::max(2 * texto.size(), n + mas));
        return texto.data() + n;
    };
    const auto base = static_cast<quint32>(destino.size());
    for (int c = 0; c < conCeldas; ++c) {
        const lector::Hoja::Casilla& celda = celdas[static_cast<std::size_t>(c)];
        if (celda.tipo == lector::TipoCelda::Texto) {
            const QString& t = m_hoja->texto(celda);
            std::copy_n(reinterpret_cast<const char16_t*>(t.constData()), t.size(), sitio(t.size()));
            n += t.size();
        } else if (celda.tipo != lector::TipoCelda::Vacia) {
            if (!f)
                f = &formato();
            n += f->escribirEn(m_hoja->celda(celda), sitio(lector::FormatoCelda::kMaximoNoTexto));
        }
        fines[c] = base + static_cast<quint32>(n);
    }
    for (int c = conCeldas; c < columnas; ++c)
        fines[c] = base + static_cast<quint32>(n);
    destino.append(reinterpret_cast<const QChar*>(texto.constData()), n);
}

void clEcxel::CerrarArchivo() noexcept {
    m_hoja.reset();
}

const lector::FormatoCelda& clEcxel::formato() const {
    const QLocale actual;
    if (!m_formato || m_formato->locale() != actual)
        m_formato.emplace(actual);
    return *m_formato;
}

} // namespace tarvix
