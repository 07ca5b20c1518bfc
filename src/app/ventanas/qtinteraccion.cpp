#include "app/ventanas/qtinteraccion.h"

#include "intake/carga/ventanas/frmcampos.h"
#include "pipeline/ventanas/frmrevisionfactura.h"
#include "review/ventanas/frmcargasufijos.h"
#include "settings/ventanas/frmpaisesnuevos.h"
#include "settings/ventanas/frmrelpais.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>

namespace tarvix {

QString QtInteraccion::tituloPrograma() {
    return QStringLiteral("VezezirAZEDO2_TARVIX");
}

Respuesta QtInteraccion::mensaje(const QString& texto, Icono icono, Botones botones, const QString& titulo,
                                 std::optional<Respuesta> porDefecto) {
    QMessageBox caja(m_ventana);
    caja.setWindowTitle(titulo.isEmpty() ? tituloPrograma() : titulo);
    // The texts carry CR LF line breaks; a message box breaks lines on LF alone.
    QString t = texto;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    caja.setText(t);
    caja.setTextFormat(Qt::PlainText);
    switch (icono) {
    case Icono::Critico:
        caja.setIcon(QMessageBox::Critical);
        break;
    case Icono::Pregunta:
        caja.setIcon(QMessageBox::Question);
        break;
    case Icono::Exclamacion:
        caja.setIcon(QMessageBox::Warning);
        break;
    case Icono::Informacion:
        caja.setIcon(QMessageBox::Information);
        break;
    case Icono::Ninguno:
        caja.setIcon(QMessageBox::NoIcon);
        break;
    }
    QAbstractButton* si = nullptr;
    QAbstractButton* no = nullptr;
    QAbstractButton* cancelar = nullptr;
    QAbstractButton* aceptar = nullptr;
    switch (botones) {
    case Botones::Aceptar:
        aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
        caja.setEscapeButton(aceptar);
        break;
    case Botones::SiNo:
        si = caja.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
        no = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        caja.setEscapeButton(no);
        break;
    case Botones::SiNoCancelar:
        si = caja.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
        no = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        cancelar = caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
        caja.setEscapeButton(cancelar);
        break;
    case Botones::AceptarCancelar:
        aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
        cancelar = caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
        caja.setEscapeButton(cancelar);
        break;
    }
    switch (botonPorDefecto(botones, porDefecto)) {
    case Respuesta::Aceptar:
        caja.setDefaultButton(qobject_cast<QPushButton*>(aceptar));
        break;
    case Respuesta::Si:
        caja.setDefaultButton(qobject_cast<QPushButton*>(si));
        break;
    case Respuesta::No:
        caja.setDefaultButton(qobject_cast<QPushButton*>(no));
        break;
    case Respuesta::Cancelar:
        caja.setDefaultButton(qobject_cast<QPushButton*>(cancelar));
        break;
    }
    const bool espera = QApplication::overrideCursor() != nullptr;
    if (espera)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    caja.exec();
    if (espera)
        QApplication::restoreOverrideCursor();
    QAbstractButton* pulsado = caja.clickedButton();
    if (pulsado && pulsado == si)
        return Respuesta::Si;
    if (pulsado && pulsado == no)
        return Respuesta::No;
    if (pulsado && pulsado == cancelar)
        return Respuesta::Cancelar;
    if (botones == Botones::SiNo)
        return Respuesta::No;
    return Respuesta::Aceptar;
}

QString QtInteraccion::entrada(const QString& pregunta, const QString& titulo, const QString& porDefecto,
                               bool* cancelado) {
    bool ok = false;
    QString t = pregunta;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString r = QInputDialog::getText(m_ventana, titulo.isEmpty() ? tituloPrograma() : titulo, t,
                                            QLineEdit::Normal, porDefecto, &ok);
    if (cancelado)
        *cancelado = !ok;
    return ok ? r : QStringLiteral("");
}

QString QtInteraccion::abrirArchivo(const QString& titulo, const QString& extensiones,
                                    const QString& descripcion, const QString& carpeta) {
    // "xls;*.xlsx" -> "*.xls *.xlsx"
    QStringList patrones;
    for (QString e : extensiones.split(u';', Qt::SkipEmptyParts)) {
        e = e.trimmed();
        if (!e.startsWith(u'*'))
            e = (e.startsWith(u'.') ? QStringLiteral("*") : QStringLiteral("*.")) + e;
        patrones << e;
    }
    const QString filtro = descripcion + QStringLiteral(" (") + patrones.join(u' ') + u')';
    // An existing folder, so that the dialog does not take a missing one's name as the file name.
    QString inicio = carpeta;
    if (inicio.isEmpty() || !QFileInfo(inicio).isDir())
        inicio = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(inicio).isDir())
        inicio = QDir::homePath();
    return QFileDialog::getOpenFileName(m_ventana, titulo, inicio, filtro);
}

QString QtInteraccion::guardarArchivo(const QString& titulo, const QString& nombrePropuesto,
                                      const QString& filtro) {
    // The caller asks about replacing an existing file itself.
    return QFileDialog::getSaveFileName(m_ventana, titulo, nombrePropuesto, filtro, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QWidget* QtInteraccion::padre() const {
    // Over the window that asked: a modal one (settings, editor) or else the main window.
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : m_ventana.data();
}

void QtInteraccion::relacionPais() {
    frmRelPais ventana(m_srv, m_estado, padre());
    ventana.exec();
}

void QtInteraccion::elegirCampo() {
    frmCampos ventana(m_srv, m_estado, padre());
    ventana.exec();
}

int QtInteraccion::elegirOpcion(const QString& titulo, const QStringList& opciones, int porDefecto) {
    return elegirOpcionSufijo(padre(), titulo, opciones, porDefecto);
}

bool QtInteraccion::revisionFactura(const RevisionFactura& revision) {
    // The hourglass of the run would stay over the window.
    const bool espera = QApplication::overrideCursor() != nullptr;
    if (espera)
        QApplication::restoreOverrideCursor();
    FrmRevisionFactura ventana(revision, *this, padre());
    ventana.exec();
    if (espera)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    return ventana.procesar();
}

bool QtInteraccion::relacionPaises(std::vector<OrigenNuevo>& origenes,
                                   const std::vector<PaisDisponible>& paises) {
    FrmPaisesNuevos ventana(origenes, paises, padre());
    return ventana.exec() == QDialog::Accepted;
}

void QtInteraccion::cursorEspera(bool activo) {
    if (activo)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

QtProgreso::QtProgreso(QLabel* etiqueta, QProgressBar* barra, std::function<void(const QString&)> alMensaje)
    : m_etiqueta(etiqueta), m_barra(barra), m_alMensaje(std::move(alMensaje)) {
    m_resto.setSingleShot(true);
    m_resto.setInterval(kIntervaloBarra);
    QObject::connect(&m_resto, &QTimer::timeout, [this] { mostrarPendiente(); });
}

void QtProgreso::mensaje(const QString& texto) {
    mostrarPendiente();
    if (m_alMensaje)
        m_alMensaje(texto);
    if (m_etiqueta) {
        m_etiqueta->setText(texto);
        m_etiqueta->repaint();
    }
    darVuelta();
}

void QtProgreso::barraVisible(bool visible) {
    mostrarPendiente();
    if (m_barra)
        m_barra->setVisible(visible);
}

void QtProgreso::barraRango(int minimo, int maximo) {
    mostrarPendiente();
    if (m_barra)
        m_barra->setRange(minimo, std::max(minimo, maximo));
}

void QtProgreso::barraValor(int valor) {
    if (!m_barra)
        return;
    // setValue repaints at once whenever the bar's look changes, and measures its text on every
    // call: once per line it would cost a good part of the work it reports.
    m_pendiente = valor;
    if (!m_ultimo.isValid() || m_ultimo.elapsed() >= kIntervaloBarra.count())
        mostrarPendiente();
    else if (!m_resto.isActive())
        m_resto.start();
    darVuelta();
}

void QtProgreso::latido(void* progreso) {
    auto* p = static_cast<QtProgreso*>(progreso);
    if (p->m_corridas == 0 || p->m_enVuelta ||
        (p->m_vuelta.isValid() && p->m_vuelta.elapsed() < kIntervaloBarra.count()) ||
        QApplication::activeModalWidget())
        return;
    p->darVuelta();
}

void QtProgreso::darVuelta() {
    if (m_enVuelta || (m_vuelta.isValid() && m_vuelta.elapsed() < kIntervaloBarra.count()))
        return;
    m_enVuelta = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_enVuelta = false;
    m_vuelta.start();
}

void QtProgreso::mostrarPendiente() {
    if (!m_pendiente)
        return;
    m_resto.stop();
    if (m_barra)
        m_barra->setValue(std::clamp(*m_pendiente, m_barra->minimum(), m_barra->maximum()));
    m_pendiente.reset();
    m_ultimo.start();
}

} // namespace tarvix
