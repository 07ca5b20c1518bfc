#pragma once

// What the benchmarks that drive the real windows read of their own process.

#include <QFile>
#include <QList>
#include <sys/resource.h>

namespace medidas {

// Resident memory of the process now, in MB.
inline double memoriaMb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> campos = f.readAll().split(' ');
    return campos.size() > 1 ? campos[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

// The peak of the resident memory of the process, in MB.
inline double picoMb() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return static_cast<double>(uso.ru_maxrss) / 1024.0;
}

// CPU time of the process so far (user and system), in ms: on a shared machine the wall time
// includes the waits for a core.
inline double cpuMs() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) * 1e3 +
           static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e3;
}

} // namespace medidas
