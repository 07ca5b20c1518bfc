#include "components/latido.h"

#include <atomic>
#include <thread>

namespace tarvix::latido {

namespace {

// Read on every beat, from any thread that runs statements; written when the window comes and goes.
std::atomic<Accion> g_accion{nullptr};
std::atomic<void*> g_datos{nullptr};
std::atomic<std::thread::id> g_hilo;

} // namespace

void instalar(Accion accion, void* datos) {
    g_accion.store(nullptr);
    g_datos.store(datos);
    g_hilo.store(std::this_thread::get_id());
    g_accion.store(accion);
}

void latir() {
    const Accion accion = g_accion.load(std::memory_order_acquire);
    if (accion && std::this_thread::get_id() == g_hilo.load(std::memory_order_relaxed))
        accion(g_datos.load(std::memory_order_relaxed));
}

} // namespace tarvix::latido
