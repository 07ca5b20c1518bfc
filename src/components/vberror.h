#pragma once

#include <QString>
#include <exception>

namespace tarvix {

// A run-time error as the procedures of the system raise and trap it: a number, the source that
// raised it and a description. Procedures that re-raise an error keep the description and change
// the number or the source as their own convention says.
class VbError : public std::exception {
public:
    VbError(qint64 numero, QString origen, QString descripcion);

    qint64 numero() const { return m_numero; }
    const QString& origen() const { return m_origen; }
    const QString& descripcion() const { return m_descripcion; }

    const char* what() const noexcept override { return m_what.constData(); }

private:
    qint64 m_numero;
    QString m_origen;
    QString m_descripcion;
    QByteArray m_what;
};

// Error numbers of the platform errors the value helpers raise.
namespace errores {
inline constexpr qint64 DivisionPorCero = 11;
inline constexpr qint64 DesbordamientoTipo = 6;
inline constexpr qint64 TipoNoCoincide = 13;
// Generic database failure (provider error), used when a statement or a connection fails.
inline constexpr qint64 BaseDeDatos = -2147467259;
} // namespace errores

// Project part of every report label.
inline const QString kProyecto = QStringLiteral("VezezirAZEDO2_TARVIX");

// The common error report of a trapped failure, built as each procedure words it: the error's
// description and number in one of two orders, then its section label (project, object and
// procedure) with the marks around it, then whatever the procedure adds.
class InformeError {
public:
    // "description CR LF CR LF number"
    static InformeError descripcionYNumero(const VbError& e);
    // "number - description"
    static InformeError numeroYDescripcion(const VbError& e);

    // `antes` + "VezezirAZEDO2_TARVIX" + `separador` + `etiqueta` + `despues`, e.g.
    // seccion(u" - seccion [", u"frmMain.Form_Load", u"]").
    InformeError& seccion(QStringView antes, QStringView etiqueta, QStringView despues,
                          QChar separador = u'.');
    InformeError& mas(QStringView texto);
    InformeError& mas(qint64 numero);

    const QString& texto() const { return m_texto; }
    operator QString() const { return m_texto; } // NOLINT: a report is its text

private:
    explicit InformeError(QString texto) : m_texto(std::move(texto)) {}
    QString m_texto;
};

// Numbered error report: description, CR LF, CR LF, number, " - seccion[", label, " Linea ",
// statement number, " ]::", source. `objetoProcedimiento` is "frmMain.Form_Load" and the like.
QString informeNumerado(const VbError& e, const QString& objetoProcedimiento, int linea);

// Short error report: description, CR LF, CR LF, number, " - seccion [", label, "]".
QString informeCorto(const VbError& e, const QString& objetoProcedimiento);

// Description, CR LF, CR LF, number: the report without label of a few procedures.
QString informeSinEtiqueta(const VbError& e);

} // namespace tarvix
