#pragma once

#include "app/controladorprincipal.h"
#include "components/interaccion.h"
#include "components/interaccionguionada.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <memory>

namespace prueba {

// The status label and progress bar, recorded. `fallarEn` makes the message with that text raise,
// to reach the failure report of the procedure that shows it.
class ProgresoGrabado : public tarvix::Progreso {
public:
    void mensaje(const QString& texto) override;
    void barraVisible(bool v) override { visible = v; }
    void barraRango(int minimo, int maximo) override {
        min = minimo;
        max = maximo;
    }
    void barraValor(int v) override {
        valor = v;
        ++pasos;
    }

    QStringList mensajes;
    bool visible = false;
    int min = 0;
    int max = 0;
    int valor = 0;
    int pasos = 0;
    QString fallarEn;
};

// Test data: a column "locale" with the rows es_AR (decimal comma) and en_US.
void datosLocales();

// One run of the program on a fresh data folder, with the embedded customs database, interno
// "24001" chosen and catalog "1" set.
class Entorno {
public:
    Entorno();

    tarvix::Servicios srv;

    tarvix::EstadoAsistente estado;
    tarvix::InteraccionGuionada guion;
    ProgresoGrabado progreso;

    // A statement on the working database or on the customs database ("INTERNOS").
    void trabajo(const QString& sql);
    void aduana(const QString& sql);
    // The rows of a query on the customs database, columns by lower-case name.
    QList<QVariantMap> filasAduana(const QString& sql);
    QVariantMap filaAduana(const QString& sql);
    qint64 contarAduana(const QString& tabla, const QString& condicion = QString());

    // Adds a correct article line of the interno: every column of ART filled, `cambios` on top
    // (an invalid QVariant writes NULL). ARTORD follows the lines already added.
    void linea(const QVariantMap& cambios = {});
    // The values `linea` writes before the changes.
    static QVariantMap lineaBase();

    // The messages the user saw.
    QList<tarvix::InteraccionGuionada::Aviso> mensajes() const { return guion.mensajes(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<tarvix::ControladorPrincipal> m_c;
    int m_orden = 0;
};

} // namespace prueba
