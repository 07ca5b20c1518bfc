#include "intake/carga/mapeo.h"

#include "components/estadoasistente.h"
#include "components/interaccion.h"
#include "components/servicios.h"
#include "components/vberror.h"
#include "intake/carga/grilla.h"

namespace tarvix {

int buscarEtiqueta(QStringView tecleado, const QStringList& etiquetas) {
    if (tecleado.isEmpty())
        return -1;
    for (int i = 0; i < etiquetas.size(); ++i) {
        QStringView nombre = etiquetas[i];
        if (nombre.startsWith(u"[ "))
            nombre = nombre.sliced(2);
        if (nombre.startsWith(tecleado, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

void FRAM2_EstablecerCampo(ModeloGrilla& grilla, Servicios& srv, EstadoAsistente& estado) {
    try {
        estado.g_sRetorno.clear();
        srv.interaccion().elegirCampo();
        if (estado.g_sRetorno.isEmpty())
            return;
        if (estado.g_sRetorno == kNingunCampo)
            estado.g_sRetorno.clear();
        grilla.setRow(kFilaCampos);
        grilla.setText(estado.g_sRetorno);
    } catch (const VbError& e) {
        srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmMain.FRAM2_EstablecerCampo")),
                                  Icono::Critico);
    }
}

void cmdAutomatico_Click(ModeloGrilla& grilla, Servicios& srv) {
    struct Posicion {
        int columna;
        QStringView etiqueta;
    };
    static constexpr Posicion kDisposicion[] = {
        {4, etiqueta::CANTIDAD},     {5, etiqueta::UNIDAD},          {9, etiqueta::TOTAL},
        {10, etiqueta::ORIGEN},      {12, etiqueta::FECHA_EMBARQUE}, {13, etiqueta::FECHA_ARRIBO},
        {16, etiqueta::PROCEDENCIA}, {20, etiqueta::MARCA},          {22, etiqueta::ARTICULO},
    };
    int linea = 0;
    try {
        for (const Posicion& p : kDisposicion) {
            linea += 10;
            grilla.setTextMatrix(kFilaCampos, p.columna, p.etiqueta.toString());
        }
    } catch (const VbError& e) {
        srv.interaccion().mensaje(informeNumerado(e, QStringLiteral("frmMain.cmdAutomatico_Click"), linea));
    }
}

bool FRAM2_VerificarDatos(const ModeloGrilla& grilla, Servicios& srv) {
    struct Requerido {
        QStringView etiqueta;
        QStringView nombre;
    };
    static constexpr Requerido kRequeridos[] = {
        {etiqueta::ARTICULO, u"ARTICULO"}, {etiqueta::DESCRIPC, u"DESCRIPCION"},
        {etiqueta::ORIGEN, u"ORIGEN"},     {etiqueta::CANTIDAD, u"CANTIDAD"},
        {etiqueta::TOTAL, u"TOTAL"},
    };
    for (const Requerido& r : kRequeridos) {
        int veces = 0;
        for (int c = 0; c < grilla.Cols(); ++c)
            if (grilla.celda(kFilaCampos, c) == r.etiqueta)
                ++veces;
        if (veces == 1)
            continue;
        const QString texto = veces == 0 ? QStringLiteral("Falta establecer el campo ").append(r.nombre)
                                         : QStringLiteral("El campo ")
                                               .append(r.nombre)
                                               .append(QStringLiteral(" solo puede estar en una columna"));
        srv.interaccion().mensaje(texto, Icono::Exclamacion, Botones::Aceptar);
        return false;
    }
    return true;
}

} // namespace tarvix
