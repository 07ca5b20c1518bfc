#pragma once

#include "components/vberror.h"
#include "intake/lectorlibro.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace tarvix::fuzz {

// The readers take a path: every input is written to one file of this process in the temporary
// folder (tools/fuzz.sh points TMPDIR at memory) and read from there.
class ArchivoFuzz {
public:
    explicit ArchivoFuzz(const char* extension) {
        m_ruta = QStringLiteral("%1/tarvix-fuzz-%2.%3")
                     .arg(QDir::tempPath())
                     .arg(::getpid())
                     .arg(QString::fromLatin1(extension));
    }
    ~ArchivoFuzz() { QFile::remove(m_ruta); }
    ArchivoFuzz(const ArchivoFuzz&) = delete;
    ArchivoFuzz& operator=(const ArchivoFuzz&) = delete;

    const QString& ruta() const { return m_ruta; }

    const QString& escribir(const std::uint8_t* datos, std::size_t tam) {
        QFile f(m_ruta);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            f.write(reinterpret_cast<const char*>(datos), static_cast<qint64>(tam)) !=
                static_cast<qint64>(tam)) {
            std::fprintf(stderr, "no se puede escribir %s\n", qPrintable(m_ruta));
            std::abort();
        }
        return m_ruta;
    }

private:
    QString m_ruta;
};

// A reader's refusal is the expected outcome of a bad file; it must still be the workbook error
// with a description for the user. Anything else escaping the reader aborts (a finding).
template <typename Lector> void leerOFallar(Lector&& leer) {
    try {
        const lector::Hoja hoja = leer();
        if (hoja.filas() > lector::Hoja::kMaxFilas) {
            std::fprintf(stderr, "hoja de %d filas\n", hoja.filas());
            std::abort();
        }
    } catch (const VbError& e) {
        if (e.numero() != lector::kErrorLibro || e.descripcion().isEmpty()) {
            std::fprintf(stderr, "error inesperado %lld: %s\n", static_cast<long long>(e.numero()), e.what());
            std::abort();
        }
    }
}

} // namespace tarvix::fuzz
