#include "components/clientepg.h"

#include "components/bibliotecadinamica.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdlib>
#include <limits>

namespace Velno {

const Libpq* cargarLibpq() {
    static const Libpq tabla = [] {
        Libpq t;
        BibliotecaDinamica libpq({"libpq.so.5"});
        libpq.tomar(t.PQclear, "PQclear");
        libpq.tomar(t.PQcmdTuples, "PQcmdTuples");
        libpq.tomar(t.PQconsumeInput, "PQconsumeInput");
        libpq.tomar(t.PQenterPipelineMode, "PQenterPipelineMode");
        libpq.tomar(t.PQerrorMessage, "PQerrorMessage");
        libpq.tomar(t.PQexitPipelineMode, "PQexitPipelineMode");
        libpq.tomar(t.PQflush, "PQflush");
        libpq.tomar(t.PQfname, "PQfname");
        libpq.tomar(t.PQfreemem, "PQfreemem");
        libpq.tomar(t.PQftype, "PQftype");
        libpq.tomar(t.PQgetResult, "PQgetResult");
        libpq.tomar(t.PQgetisnull, "PQgetisnull");
        libpq.tomar(t.PQgetlength, "PQgetlength");
        libpq.tomar(t.PQgetvalue, "PQgetvalue");
        libpq.tomar(t.PQisBusy, "PQisBusy");
        libpq.tomar(t.PQnfields, "PQnfields");
        libpq.tomar(t.PQntuples, "PQntuples");
        libpq.tomar(t.PQpipelineSync, "PQpipelineSync");
        libpq.tomar(t.PQresultErrorField, "PQresultErrorField");
        libpq.tomar(t.PQresultErrorMessage, "PQresultErrorMessage");
        libpq.tomar(t.PQresultStatus, "PQresultStatus");
        libpq.tomar(t.PQsendFlushRequest, "PQsendFlushRequest");
        libpq.tomar(t.PQsendQueryParams, "PQsendQueryParams");
        libpq.tomar(t.PQsetnonblocking, "PQsetnonblocking");
        libpq.tomar(t.PQsocket, "PQsocket");
        libpq.tomar(t.PQstatus, "PQstatus");
        libpq.tomar(t.PQunescapeBytea, "PQunescapeBytea");
        if (!libpq.completa())
            t = Libpq{};
        return t;
    }();
    return tabla.PQstatus ? &tabla : nullptr;
}

const Libpq& pq() {
    return *cargarLibpq();
}

namespace {

// Type numbers of the server's catalog that the Qt driver gives a type of its own.
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kRegproc = 24,
    kOid = 26,
    kXid = 28,
    kCid = 29,
    kFloat4 = 700,
    kFloat8 = 701,
    kAbstime = 702,
    kReltime = 703,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kTimeTz = 1266,
    kNumeric = 1700,
};

} // namespace

QMetaType tipoDe(Oid t) {
    switch (t) {
    case kBool:
        return QMetaType(QMetaType::Bool);
    case kInt8:
        return QMetaType(QMetaType::LongLong);
    case kInt2:
    case kInt4:
    case kOid:
    case kRegproc:
    case kXid:
    case kCid:
        return QMetaType(QMetaType::Int);
    case kNumeric:
    case kFloat4:
    case kFloat8:
        return QMetaType(QMetaType::Double);
    case kAbstime:
    case kReltime:
    case kDate:
        return QMetaType(QMetaType::QDate);
    case kTime:
    case kTimeTz:
        return QMetaType(QMetaType::QTime);
    case kTimestamp:
    case kTimestampTz:
        return QMetaType(QMetaType::QDateTime);
    case kBytea:
        return QMetaType(QMetaType::QByteArray);
    default:
        return QMetaType(QMetaType::QString);
    }
}

// The value of one field, as the Qt driver gives it (the connection runs with ISO dates and UTC).
QVariant valorDe(const char* v, int largo, Oid t, const QMetaType& tipo) {
    switch (tipo.id()) {
    case QMetaType::Bool:
        return QVariant(v[0] == 't');
    case QMetaType::LongLong:
        // (the driver gives the unsigned type to a number without sign)
        if (v[0] == '-')
            return QVariant(static_cast<qlonglong>(std::strtoll(v, nullptr, 10)));
        return QVariant(static_cast<qulonglong>(std::strtoull(v, nullptr, 10)));
    case QMetaType::Int:
        return QVariant(std::atoi(v));
    case QMetaType::Double: {
        bool ok = false;
        const double d = QByteArray::fromRawData(v, largo).toDouble(&ok);
        if (ok)
            return QVariant(d);
        if (qstricmp(v, "NaN") == 0)
            return QVariant(std::numeric_limits<double>::quiet_NaN());
        if (qstricmp(v, "Infinity") == 0)
            return QVariant(std::numeric_limits<double>::infinity());
        if (qstricmp(v, "-Infinity") == 0)
            return QVariant(-std::numeric_limits<double>::infinity());
        return QVariant();
    }
    case QMetaType::QDate:
        return QVariant(QDate::fromString(QString::fromLatin1(v, largo), Qt::ISODate));
    case QMetaType::QTime:
        return QVariant(QTime::fromString(QString::fromLatin1(v, largo), Qt::ISODate));
    case QMetaType::QDateTime: {
        const QString texto = QString::fromLatin1(v, largo);
        const QStringView hora = QStringView(texto).mid(11);
        if (hora.contains(u'-') || hora.contains(u'+') || hora.endsWith(u'Z'))
            return QVariant(QDateTime::fromString(texto, Qt::ISODate));
        return QVariant(QDateTime::fromString(texto + u'Z', Qt::ISODate));
    }
    case QMetaType::QByteArray: {
        size_t n = 0;
        unsigned char* datos = pq().PQunescapeBytea(reinterpret_cast<const unsigned char*>(v), &n);
        QByteArray ba(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(n));
        pq().PQfreemem(datos);
        return QVariant(ba);
    }
    default:
        Q_UNUSED(t);
        return QVariant(QString::fromUtf8(v, largo));
    }
}

} // namespace Velno
