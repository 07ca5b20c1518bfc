#pragma once

#include <QString>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

namespace tarvix {

class clEcxel;

// The rows of an open worksheet from row 2 on, as clEcxel::LeerFila writes them, taken one after
// the other by the loading scan. With `ayudante`, a second thread formats the rows ahead of the
// scan, a block of rows at a time and at most a few blocks ahead, so that the scan, which stops a
// few rows after the last invoice line, leaves little formatted for nothing. The sheet and the
// default locale must not change while the rows are taken.
class FilasAdelantadas {
public:
    FilasAdelantadas(const clEcxel& excel, int columnas, bool ayudante);
    ~FilasAdelantadas();
    FilasAdelantadas(const FilasAdelantadas&) = delete;
    FilasAdelantadas& operator=(const FilasAdelantadas&) = delete;

    // Row `fila` (from 2 on, each one after the one before): its text into `texto` (its exact
    // size) and where each of its cells ends into fines[0..columnas). A row past the last one of
    // the sheet is empty. Raises what LeerFila raised for it.
    void tomar(int fila, QString& texto, quint32* fines);

    static constexpr int kFilasPorBloque = 256;
    static constexpr int kBloquesAdelante = 4;

private:
    struct Bloque {
        std::vector<QString> textos;
        std::vector<quint32> fines; // columnas per row
        std::exception_ptr falla;
        std::atomic<bool> listo{false};
    };
    void formatear(int bloque);
    void ayudar();

    const clEcxel& m_excel;
    const int m_columnas;
    const int m_ultima;
    const int m_bloques;
    std::unique_ptr<Bloque[]> m_bloque;
    std::atomic<int> m_siguiente{0}; // the next block to format
    std::atomic<int> m_tomados{0};   // blocks the scan is done with
    std::atomic<bool> m_parar{false};
    int m_actual = -1;
    std::thread m_ayudante;
};

} // namespace tarvix
