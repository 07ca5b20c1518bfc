#pragma once

#include "components/estadoasistente.h"
#include "components/servicios.h"

#include <QString>
#include <QStringList>

namespace tarvix {

// The logic of frmRelPais: relates an origin text of the invoices to a country of table PAIS and a
// goods state, stored as one ORG row. The origin text comes in through g_sRetorno; the chosen
// country id and the goods state go back through g_sRetorno and g_sRetornoESM (g_sRetorno empty
// when nothing was saved).
class LogicaRelPais {
public:
    explicit LogicaRelPais(Servicios& srv, EstadoAsistente& estado);

    // Takes the origin text from g_sRetorno (and clears it) and fills the country list.
    void Form_Load();
    // Validates and inserts the relation. True when it was stored and the window is to close.
    bool f_Grabar();
    // Esc: nothing is handed back.
    void Cancelar();

    // What the window shows.
    QString txtValor;
    QStringList cboPais;
    QStringList cboidPais; // hidden twin: the country ids
    int paisSeleccionado = -1;
    QString txtESM = QStringLiteral("2");

private:
    Servicios& m_srv;
    EstadoAsistente& m_estado;
};

} // namespace tarvix
