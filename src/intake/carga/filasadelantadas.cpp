#include "intake/carga/filasadelantadas.h"

#include "intake/clecxel.h"

#include <algorithm>

namespace tarvix {

FilasAdelantadas::FilasAdelantadas(const clEcxel& excel, int columnas, bool ayudante)
    : m_excel(excel), m_columnas(columnas), m_ultima(excel.UltimaFila()),
      m_bloques(m_ultima < 2 ? 0 : (m_ultima - 2) / kFilasPorBloque + 1),
      m_bloque(std::make_unique<Bloque[]>(static_cast<std::size_t>(m_bloques))) {
    if (ayudante && m_bloques > 1) {
        m_excel.PrepararLecturaConcurrente();
        m_ayudante = std::thread([this] { ayudar(); });
    }
}

FilasAdelantadas::~FilasAdelantadas() {
    if (m_ayudante.joinable()) {
        m_parar.store(true);
        m_tomados.store(m_bloques);
        m_tomados.notify_all();
        m_ayudante.join();
    }
}

void FilasAdelantadas::formatear(int k) {
    Bloque& b = m_bloque[static_cast<std::size_t>(k)];
    try {
        const int desde = 2 + k * kFilasPorBloque;
        const int hasta = std::min(m_ultima, desde + kFilasPorBloque - 1);
        b.textos.reserve(static_cast<std::size_t>(hasta - desde + 1));
        b.fines.resize(static_cast<std::size_t>(hasta - desde + 1) * static_cast<std::size_t>(m_columnas));
        QString texto;
        for (int fila = desde; fila <= hasta; ++fila) {
            texto.truncate(0);
            m_excel.LeerFila(fila, m_columnas, texto,
                             b.fines.data() + static_cast<std::size_t>(fila - desde) * m_columnas);
            // A copy of its exact size: the grid keeps no spare room, and `texto` is reused.
            b.textos.emplace_back(texto.constData(), texto.size());
        }
    } catch (...) {
        b.falla = std::current_exception();
    }
    b.listo.store(true, std::memory_order_release);
    b.listo.notify_all();
}

void FilasAdelantadas::ayudar() {
    while (!m_parar.load()) {
        const int tomados = m_tomados.load();
        if (m_siguiente.load() >= tomados + kBloquesAdelante) {
            m_tomados.wait(tomados); // far enough ahead: wait for the scan
            continue;
        }
        const int k = m_siguiente.fetch_add(1);
        if (k >= m_bloques)
            return;
        formatear(k);
    }
}

void FilasAdelantadas::tomar(int fila, QString& texto, quint32* fines) {
    if (fila > m_ultima) {
        texto.clear();
        std::fill(fines, fines + m_columnas, 0u);
        return;
    }
    const int k = (fila - 2) / kFilasPorBloque;
    if (k != m_actual) {
        if (m_actual >= 0) {
            // The scan is done with the block before: its memory goes, and the helper may go on.
            Bloque& anterior = m_bloque[static_cast<std::size_t>(m_actual)];
            anterior.textos = {};
            anterior.fines = {};
            m_tomados.store(k);
            m_tomados.notify_all();
        }
        Bloque& b = m_bloque[static_cast<std::size_t>(k)];
        while (!b.listo.load(std::memory_order_acquire)) {
            // Not ready: format the next block not taken yet (this one, when nobody has), or wait
            // for the helper to finish this one.
            const int j = m_siguiente.fetch_add(1);
            if (j < m_bloques)
                formatear(j);
            else
                b.listo.wait(false, std::memory_order_acquire);
        }
        if (b.falla)
            std::rethrow_exception(b.falla);
        m_actual = k;
    }
    Bloque& b = m_bloque[static_cast<std::size_t>(k)];
    const std::size_t i = static_cast<std::size_t>(fila - 2 - k * kFilasPorBloque);
    texto = std::move(b.textos[i]);
    std::copy_n(b.fines.data() + i * static_cast<std::size_t>(m_columnas), m_columnas, fines);
}

} // namespace tarvix
