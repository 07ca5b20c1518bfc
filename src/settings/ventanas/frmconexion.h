#pragma once

#include "data/conexionaduana.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace tarvix {

class Interaccion;

// "Base aduanera": where the customs-system database is (the demonstration database, a PostgreSQL
// server or an ODBC data source), with "Probar conexión". "Aceptar" writes the entity file of the
// data folder; Esc closes without changing it.
class frmConexion : public QDialog {
    Q_OBJECT
public:
    frmConexion(Interaccion& interaccion, QString carpetaDatos, QWidget* parent = nullptr);

    // What the window shows: the file's connection when it opens.
    ConexionAduana conexion() const;
    void setConexion(const ConexionAduana& c);
    // The entity file was written.
    bool guardado() const { return m_guardado; }

private:
    void actualizar();
    void probar();
    void aceptar();

    Interaccion& m_interaccion;
    QString m_carpeta;
    bool m_guardado = false;
    QRadioButton* optDemostracion;
    QRadioButton* optServidor;
    QRadioButton* optOdbc;
    QLineEdit* txtServidor;
    QSpinBox* txtPuerto;
    QLineEdit* txtBase;
    QLineEdit* txtOrigen;
    QLineEdit* txtUsuario;
    QLineEdit* txtClave;
    QLabel* lbResultado;
};

} // namespace tarvix
