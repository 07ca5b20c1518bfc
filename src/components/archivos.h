#pragma once

#include <QString>

namespace tarvix {
class Interaccion;
}

namespace Pindra {

// The open-file dialog (through the interaction seam) and the file test.
class Archivos {
public:
    explicit Archivos(tarvix::Interaccion* interaccion = nullptr) : m_interaccion(interaccion) {}
    void setInteraccion(tarvix::Interaccion* i) { m_interaccion = i; }

    // The chosen path, empty text when the user cancelled. `propietario` is the owner window's
    // handle, kept for the call's shape; the seam knows its own window. The dialog starts in
    // `carpeta`.
    QString ShowOpen(const QString& titulo, qintptr propietario, const QString& extensiones,
                     const QString& descripcion, const QString& carpeta = QString()) const;
    bool ExisteArchivo(const QString& ruta) const;

private:
    tarvix::Interaccion* m_interaccion;
};

} // namespace Pindra
