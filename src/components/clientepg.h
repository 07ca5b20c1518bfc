#pragma once

// The PostgreSQL client library, loaded at run time, and the values of a result as the Qt driver
// types them. Only the PostgreSQL engine (motorpostgres.cpp) includes this.

#include <QMetaType>
#include <QVariant>
#include <libpq-fe.h>

namespace Velno {

// The client library is the one the Qt driver loaded for the connection: its functions are looked
// up there when the first connection to a server is opened, so that a program that never talks to a
// server does not load it (nor the libraries it brings) when it starts.
struct Libpq {
    decltype(&::PQclear) PQclear = nullptr;
    decltype(&::PQcmdTuples) PQcmdTuples = nullptr;
    decltype(&::PQconsumeInput) PQconsumeInput = nullptr;
    decltype(&::PQenterPipelineMode) PQenterPipelineMode = nullptr;
    decltype(&::PQerrorMessage) PQerrorMessage = nullptr;
    decltype(&::PQexitPipelineMode) PQexitPipelineMode = nullptr;
    decltype(&::PQflush) PQflush = nullptr;
    decltype(&::PQfname) PQfname = nullptr;
    decltype(&::PQfreemem) PQfreemem = nullptr;
    decltype(&::PQftype) PQftype = nullptr;
    decltype(&::PQgetResult) PQgetResult = nullptr;
    decltype(&::PQgetisnull) PQgetisnull = nullptr;
    decltype(&::PQgetlength) PQgetlength = nullptr;
    decltype(&::PQgetvalue) PQgetvalue = nullptr;
    decltype(&::PQisBusy) PQisBusy = nullptr;
    decltype(&::PQnfields) PQnfields = nullptr;
    decltype(&::PQntuples) PQntuples = nullptr;
    decltype(&::PQpipelineSync) PQpipelineSync = nullptr;
    decltype(&::PQresultErrorField) PQresultErrorField = nullptr;
    decltype(&::PQresultErrorMessage) PQresultErrorMessage = nullptr;
    decltype(&::PQresultStatus) PQresultStatus = nullptr;
    decltype(&::PQsendFlushRequest) PQsendFlushRequest = nullptr;
    decltype(&::PQsendQueryParams) PQsendQueryParams = nullptr;
    decltype(&::PQsetnonblocking) PQsetnonblocking = nullptr;
    decltype(&::PQsocket) PQsocket = nullptr;
    decltype(&::PQstatus) PQstatus = nullptr;
    decltype(&::PQunescapeBytea) PQunescapeBytea = nullptr;
};

// The functions of the client library; nullptr when it cannot be found in the process.
const Libpq* cargarLibpq();
// The functions of the client library, once cargarLibpq found it.
const Libpq& pq();

// The type the Qt driver gives a type number of the server's catalog.
QMetaType tipoDe(Oid t);
// The value of one field, as the Qt driver gives it (the connection runs with ISO dates and UTC).
QVariant valorDe(const char* v, int largo, Oid t, const QMetaType& tipo);

} // namespace Velno
