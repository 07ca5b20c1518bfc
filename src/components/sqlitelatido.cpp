#include "components/sqlitelatido.h"

#include "components/latido.h"

#include <sqlite3.h>

namespace Velno {

namespace {

// The engine's own file system, under ours.
sqlite3_vfs* g_real = nullptr;

// An open file: ours first (the engine sees only this part), the real file's state after it.
struct Archivo {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* real(sqlite3_file* f) {
    return reinterpret_cast<Archivo*>(f)->real;
}

int cerrar(sqlite3_file* f) {
    return real(f)->pMethods->xClose(real(f));
}
int leer(sqlite3_file* f, void* datos, int cuantos, sqlite3_int64 desde) {
    tarvix::latido::latir();
    return real(f)->pMethods->xRead(real(f), datos, cuantos, desde);
}
int escribir(sqlite3_file* f, const void* datos, int cuantos, sqlite3_int64 desde) {
    tarvix::latido::latir();
    return real(f)->pMethods->xWrite(real(f), datos, cuantos, desde);
}
int truncar(sqlite3_file* f, sqlite3_int64 largo) {
    tarvix::latido::latir();
    return real(f)->pMethods->xTruncate(real(f), largo);
}
int sincronizar(sqlite3_file* f, int opciones) {
    tarvix::latido::latir();
    return real(f)->pMethods->xSync(real(f), opciones);
}
int tamano(sqlite3_file* f, sqlite3_int64* largo) {
    return real(f)->pMethods->xFileSize(real(f), largo);
}
int bloquear(sqlite3_file* f, int nivel) {
    return real(f)->pMethods->xLock(real(f), nivel);
}
int desbloquear(sqlite3_file* f, int nivel) {
    return real(f)->pMethods->xUnlock(real(f), nivel);
}
int reservado(sqlite3_file* f, int* salida) {
    return real(f)->pMethods->xCheckReservedLock(real(f), salida);
}
int control(sqlite3_file* f, int operacion, void* argumento) {
    return real(f)->pMethods->xFileControl(real(f), operacion, argumento);
}
int sector(sqlite3_file* f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int caracteristicas(sqlite3_file* f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int shmMapear(sqlite3_file* f, int region, int tamanoRegion, int extender, void volatile** p) {
    return real(f)->pMethods->xShmMap(real(f), region, tamanoRegion, extender, p);
}
int shmBloquear(sqlite3_file* f, int desde, int cuantos, int opciones) {
    return real(f)->pMethods->xShmLock(real(f), desde, cuantos, opciones);
}
void shmBarrera(sqlite3_file* f) {
    real(f)->pMethods->xShmBarrier(real(f));
}
int shmDesmapear(sqlite3_file* f, int borrar) {
    return real(f)->pMethods->xShmUnmap(real(f), borrar);
}
int traer(sqlite3_file* f, sqlite3_int64 desde, int cuantos, void** p) {
    return real(f)->pMethods->xFetch(real(f), desde, cuantos, p);
}
int soltar(sqlite3_file* f, sqlite3_int64 desde, void* p) {
    return real(f)->pMethods->xUnfetch(real(f), desde, p);
}

// One table per version of the real file's methods: the engine calls only what that version has.
constexpr sqlite3_io_methods metodos(int version) {
    return {version,     cerrar,      leer,         escribir, truncar, sincronizar,     tamano,
            bloquear,    desbloquear, reservado,    control,  sector,  caracteristicas, shmMapear,
            shmBloquear, shmBarrera,  shmDesmapear, traer,    soltar};
}
const sqlite3_io_methods kMetodos[] = {metodos(1), metodos(2), metodos(3)};

int abrir(sqlite3_vfs*, sqlite3_filename nombre, sqlite3_file* f, int opciones, int* salida) {
    auto* a = reinterpret_cast<Archivo*>(f);
    a->real = reinterpret_cast<sqlite3_file*>(a + 1);
    a->base.pMethods = nullptr;
    a->real->pMethods = nullptr;
    const int rc = g_real->xOpen(g_real, nombre, a->real, opciones, salida);
    // Without methods of the real file the engine does not close it either.
    if (const sqlite3_io_methods* m = a->real->pMethods) {
        const int version = m->iVersion < 1 ? 1 : (m->iVersion > 3 ? 3 : m->iVersion);
        a->base.pMethods = &kMetodos[version - 1];
    }
    return rc;
}
int borrar(sqlite3_vfs*, const char* nombre, int sincronizarCarpeta) {
    return g_real->xDelete(g_real, nombre, sincronizarCarpeta);
}
int acceso(sqlite3_vfs*, const char* nombre, int opciones, int* salida) {
    return g_real->xAccess(g_real, nombre, opciones, salida);
}
int rutaCompleta(sqlite3_vfs*, const char* nombre, int largo, char* salida) {
    return g_real->xFullPathname(g_real, nombre, largo, salida);
}
void* abrirBiblioteca(sqlite3_vfs*, const char* nombre) {
    return g_real->xDlOpen(g_real, nombre);
}
void errorBiblioteca(sqlite3_vfs*, int largo, char* salida) {
    g_real->xDlError(g_real, largo, salida);
}
void (*simbolo(sqlite3_vfs*, void* biblioteca, const char* nombre))(void) {
    return g_real->xDlSym(g_real, biblioteca, nombre);
}
void cerrarBiblioteca(sqlite3_vfs*, void* biblioteca) {
    g_real->xDlClose(g_real, biblioteca);
}
int azar(sqlite3_vfs*, int largo, char* salida) {
    return g_real->xRandomness(g_real, largo, salida);
}
int dormir(sqlite3_vfs*, int microsegundos) {
    return g_real->xSleep(g_real, microsegundos);
}
int hora(sqlite3_vfs*, double* salida) {
    return g_real->xCurrentTime(g_real, salida);
}
int ultimoError(sqlite3_vfs*, int largo, char* salida) {
    return g_real->xGetLastError ? g_real->xGetLastError(g_real, largo, salida) : 0;
}
int horaEntera(sqlite3_vfs*, sqlite3_int64* salida) {
    return g_real->xCurrentTimeInt64(g_real, salida);
}
int ponerLlamada(sqlite3_vfs*, const char* nombre, sqlite3_syscall_ptr p) {
    return g_real->xSetSystemCall(g_real, nombre, p);
}
sqlite3_syscall_ptr llamada(sqlite3_vfs*, const char* nombre) {
    return g_real->xGetSystemCall(g_real, nombre);
}
const char* siguienteLlamada(sqlite3_vfs*, const char* nombre) {
    return g_real->xNextSystemCall(g_real, nombre);
}

sqlite3_vfs g_vfs;

} // namespace

bool instalarArchivosConLatido() {
    g_real = sqlite3_vfs_find(nullptr);
    // The calls of versions 2 and 3 are passed on only when the real file system has them.
    if (!g_real || g_real->iVersion < 3)
        return false;
    g_vfs = {};
    g_vfs.iVersion = 3;
    g_vfs.szOsFile = static_cast<int>(sizeof(Archivo)) + g_real->szOsFile;
    g_vfs.mxPathname = g_real->mxPathname;
    g_vfs.zName = "tarvix-latido";
    g_vfs.xOpen = abrir;
    g_vfs.xDelete = borrar;
    g_vfs.xAccess = acceso;
    g_vfs.xFullPathname = rutaCompleta;
    g_vfs.xDlOpen = abrirBiblioteca;
    g_vfs.xDlError = errorBiblioteca;
    g_vfs.xDlSym = simbolo;
    g_vfs.xDlClose = cerrarBiblioteca;
    g_vfs.xRandomness = azar;
    g_vfs.xSleep = dormir;
    g_vfs.xCurrentTime = hora;
    g_vfs.xGetLastError = ultimoError;
    g_vfs.xCurrentTimeInt64 = horaEntera;
    g_vfs.xSetSystemCall = ponerLlamada;
    g_vfs.xGetSystemCall = llamada;
    g_vfs.xNextSystemCall = siguienteLlamada;
    return sqlite3_vfs_register(&g_vfs, 1) == SQLITE_OK;
}

} // namespace Velno
