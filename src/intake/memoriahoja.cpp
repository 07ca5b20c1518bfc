#include "intake/memoriahoja.h"

namespace tarvix::lector {

std::int64_t memoriaDe(const Hoja& hoja, std::int64_t tope) {
    std::int64_t bytes = hoja.filas() * coste::kFila;
    // The shared strings, all of them; of the cells' own texts, those a cell holds (the place of one
    // that a cell put over another left is empty, and how many such places there are depends on
    // the order the cells were put in).
    const std::span<const QString> textos = hoja.textos();
    for (std::size_t i = 0; i < textos.size(); ++i)
        if (i < hoja.compartidas() || !textos[i].isEmpty())
            bytes += coste::texto(textos[i].size());
    for (int f = 1; f <= hoja.filas() && bytes <= tope; ++f) {
        const std::span<const Hoja::Casilla> celdas = hoja.fila(f);
        bytes += static_cast<std::int64_t>(celdas.size()) * coste::kCasilla;
        for (const Hoja::Casilla& c : celdas)
            if (c.tipo == TipoCelda::Texto && c.dato < hoja.compartidas())
                bytes += 2 * static_cast<std::int64_t>(hoja.texto(c).size());
    }
    return bytes;
}

QString masMemoriaQue(std::int64_t bytes) {
    if (bytes % (1 << 20) == 0)
        return QStringLiteral("más de %1 MB de memoria").arg(bytes >> 20);
    return QStringLiteral("más de %1 bytes de memoria").arg(bytes);
}

} // namespace tarvix::lector
