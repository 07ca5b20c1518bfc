#include "settings/ventanas/frmconexion.h"

#include "components/espera.h"
#include "components/interaccion.h"
#include "settings/ventanas/controles.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarvix {

frmConexion::frmConexion(Interaccion& interaccion, QString carpetaDatos, QWidget* parent)
    : QDialog(parent), m_interaccion(interaccion), m_carpeta(std::move(carpetaDatos)) {
    setObjectName(QStringLiteral("frmConexion"));
    setWindowTitle(QStringLiteral("Base aduanera"));
    setAccessibleName(windowTitle());

    auto* explicacion = new QLabel(
        QStringLiteral(
            "¿Dónde está la base de datos del sistema aduanero a la que se transfieren los internos?"),
        this);
    explicacion->setWordWrap(true);
    optDemostracion =
        new QRadioButton(QStringLiteral("&Demostración: la base de ejemplo incluida en el programa"), this);
    optServidor = new QRadioButton(QStringLiteral("Servidor &PostgreSQL"), this);
    optOdbc = new QRadioButton(QStringLiteral("Origen de datos &ODBC"), this);
    optDemostracion->setObjectName(QStringLiteral("optDemostracion"));
    optServidor->setObjectName(QStringLiteral("optServidor"));
    optOdbc->setObjectName(QStringLiteral("optOdbc"));

    txtServidor = new QLineEdit(this);
    txtPuerto = new QSpinBox(this);
    txtPuerto->setRange(1, 65535);
    txtBase = new QLineEdit(this);
    txtOrigen = new QLineEdit(this);
    txtUsuario = new QLineEdit(this);
    txtClave = new QLineEdit(this);
    txtClave->setEchoMode(QLineEdit::Password);
    auto* campos = new QFormLayout;
    const auto fila = [&](QWidget* control, const char* nombre, const QString& rotulo) {
        campos->addRow(controles::rotular(control, QString::fromLatin1(nombre), rotulo, this), control);
    };
    fila(txtServidor, "txtServidor", QStringLiteral("&Servidor"));
    fila(txtPuerto, "txtPuerto", QStringLiteral("P&uerto"));
    fila(txtBase, "txtBase", QStringLiteral("&Base de datos"));
    fila(txtOrigen, "txtOrigen", QStringLiteral("Or&igen ODBC"));
    fila(txtUsuario, "txtUsuario", QStringLiteral("Usu&ario"));
    fila(txtClave, "txtClave", QStringLiteral("C&lave"));

    auto* cmdProbar = new QPushButton(QStringLiteral("P&robar conexión"), this);
    cmdProbar->setObjectName(QStringLiteral("cmdProbar"));
    cmdProbar->setAutoDefault(false);
    lbResultado = new QLabel(this);
    lbResultado->setObjectName(QStringLiteral("lbResultado"));
    lbResultado->setAccessibleName(QStringLiteral("Resultado de la prueba"));
    lbResultado->setWordWrap(true);
    lbResultado->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));

    auto* capa = new QVBoxLayout(this);
    capa->addWidget(explicacion);
    capa->addWidget(optDemostracion);
    capa->addWidget(optServidor);
    capa->addWidget(optOdbc);
    capa->addLayout(campos);
    capa->addWidget(cmdProbar, 0, Qt::AlignLeft);
    capa->addWidget(lbResultado);
    capa->addWidget(botones);

    for (QRadioButton* o : {optDemostracion, optServidor, optOdbc})
        connect(o, &QRadioButton::toggled, this, &frmConexion::actualizar);
    connect(cmdProbar, &QPushButton::clicked, this, &frmConexion::probar);
    connect(botones, &QDialogButtonBox::accepted, this, &frmConexion::aceptar);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setConexion(conexion::leerEntidades(m_carpeta));
    resize(520, sizeHint().height());
}

ConexionAduana frmConexion::conexion() const {
    ConexionAduana c;
    c.tipo = optServidor->isChecked() ? ConexionAduana::Tipo::Servidor
             : optOdbc->isChecked()   ? ConexionAduana::Tipo::Odbc
                                      : ConexionAduana::Tipo::Demostracion;
    c.host = txtServidor->text();
    c.puerto = txtPuerto->value();
    c.base = txtBase->text();
    c.origen = txtOrigen->text();
    c.usuario = txtUsuario->text();
    c.clave = txtClave->text();
    return c;
}

void frmConexion::setConexion(const ConexionAduana& c) {
    optDemostracion->setChecked(c.tipo == ConexionAduana::Tipo::Demostracion);
    optServidor->setChecked(c.tipo == ConexionAduana::Tipo::Servidor);
    optOdbc->setChecked(c.tipo == ConexionAduana::Tipo::Odbc);
    txtServidor->setText(c.host);
    txtPuerto->setValue(c.puerto);
    txtBase->setText(c.base);
    txtOrigen->setText(c.origen);
    txtUsuario->setText(c.usuario);
    txtClave->setText(c.clave);
    actualizar();
}

void frmConexion::actualizar() {
    const bool servidor = optServidor->isChecked();
    const bool odbc = optOdbc->isChecked();
    txtServidor->setEnabled(servidor);
    txtPuerto->setEnabled(servidor);
    txtBase->setEnabled(servidor);
    txtOrigen->setEnabled(odbc);
    txtUsuario->setEnabled(servidor || odbc);
    txtClave->setEnabled(servidor || odbc);
    lbResultado->clear();
}

void frmConexion::probar() {
    QString error;
    {
        const PunteroEspera espera(&m_interaccion, PunteroEspera::Ocupado);
        error = conexion::probarConexion(conexion(), m_carpeta);
    }
    lbResultado->setText(error.isEmpty() ? QStringLiteral("Conexión correcta.")
                                         : QStringLiteral("No se pudo conectar: ") + error);
}

void frmConexion::aceptar() {
    QString error;
    if (!conexion::escribirEntidades(m_carpeta, conexion(), &error)) {
        m_interaccion.mensaje(error, Icono::Exclamacion);
        return;
    }
    m_guardado = true;
    accept();
}

} // namespace tarvix
