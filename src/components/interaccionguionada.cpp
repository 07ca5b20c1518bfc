#include "components/interaccionguionada.h"

namespace tarvix {

Respuesta InteraccionGuionada::mensaje(const QString& texto, Icono icono, Botones botones,
                                       const QString& titulo, std::optional<Respuesta> porDefecto) {
    const Respuesta boton = botonPorDefecto(botones, porDefecto);
    avisos.append({Aviso::Tipo::Mensaje, texto, icono, botones, titulo, QString(), boton});
    if (!respuestas.isEmpty())
        return respuestas.dequeue();
    return boton;
}

QString InteraccionGuionada::entrada(const QString& pregunta, const QString& titulo,
                                     const QString& porDefecto, bool* cancelado) {
    avisos.append(
        {Aviso::Tipo::Entrada, pregunta, Icono::Ninguno, Botones::AceptarCancelar, titulo, porDefecto});
    QString r = entradas.isEmpty() ? porDefecto : entradas.dequeue();
    if (cancelado)
        *cancelado = r.isNull();
    return r.isNull() ? QStringLiteral("") : r;
}

QString InteraccionGuionada::abrirArchivo(const QString& titulo, const QString& extensiones,
                                          const QString& descripcion, const QString& carpeta) {
    avisos.append({Aviso::Tipo::Abrir, titulo, Icono::Ninguno, Botones::Aceptar,
                   descripcion + QStringLiteral(" (") + extensiones + u')', carpeta});
    return archivos.isEmpty() ? QString() : archivos.dequeue();
}

QString InteraccionGuionada::guardarArchivo(const QString& titulo, const QString& nombrePropuesto,
                                            const QString& filtro) {
    avisos.append({Aviso::Tipo::Guardar, titulo, Icono::Ninguno, Botones::Aceptar, filtro, nombrePropuesto});
    return archivos.isEmpty() ? QString() : archivos.dequeue();
}

void InteraccionGuionada::relacionPais() {
    avisos.append(
        {Aviso::Tipo::RelacionPais, QString(), Icono::Ninguno, Botones::Aceptar, QString(), QString()});
    if (!ventanasRelacionPais.isEmpty())
        ventanasRelacionPais.dequeue()();
    else if (relacionPaisSinGuion)
        relacionPaisSinGuion();
}

void InteraccionGuionada::elegirCampo() {
    avisos.append(
        {Aviso::Tipo::ElegirCampo, QString(), Icono::Ninguno, Botones::Aceptar, QString(), QString()});
    if (!ventanasCampo.isEmpty())
        ventanasCampo.dequeue()();
}

int InteraccionGuionada::elegirOpcion(const QString& titulo, const QStringList& lista, int porDefecto) {
    avisos.append({Aviso::Tipo::ElegirOpcion, titulo, Icono::Ninguno, Botones::Aceptar, lista.join(u'\n'),
                   QString::number(porDefecto)});
    return opciones.isEmpty() ? porDefecto : opciones.dequeue();
}

bool InteraccionGuionada::revisionFactura(const RevisionFactura& revision) {
    revisiones.append(revision.hallazgos);
    return respuestasRevision.isEmpty() ? !revision.hayErrores() : respuestasRevision.dequeue();
}

bool InteraccionGuionada::relacionPaises(std::vector<OrigenNuevo>& origenes,
                                         const std::vector<PaisDisponible>&) {
    origenesMostrados.append(origenes);
    return !ventanasPaises.isEmpty() && ventanasPaises.dequeue()(origenes);
}

QList<InteraccionGuionada::Aviso> InteraccionGuionada::mensajes() const {
    QList<Aviso> r;
    for (const Aviso& a : avisos)
        if (a.tipo == Aviso::Tipo::Mensaje)
            r.append(a);
    return r;
}

} // namespace tarvix
