#include "components/vigia.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <sys/socket.h>
#include <thread>

namespace Velno {

namespace {

using Reloj = std::chrono::steady_clock;

// One thread for the whole process, started with the first watch. The socket is shut down under
// the same lock that ends a watch, so a socket is never touched after its watch ended (and its
// number could belong to another file).
class Guardia {
public:
    static Guardia& unica() {
        static Guardia g;
        return g;
    }
    std::uint64_t armar(int socket, int milisegundos) {
        std::lock_guard<std::mutex> l(m_mutex);
        if (!m_hilo.joinable())
            m_hilo = std::thread([this] { vigilar(); });
        const std::uint64_t id = ++m_ultimo;
        const Reloj::time_point vence = Reloj::now() + std::chrono::milliseconds(milisegundos);
        const bool primero = m_turnos.empty() || vence < proximo();
        m_turnos.emplace(id, Vigilado{socket, vence, false});
        if (primero)
            m_cambio.notify_one();
        return id;
    }
    void desarmar(std::uint64_t id) {
        std::lock_guard<std::mutex> l(m_mutex);
        m_turnos.erase(id);
    }
    bool vencido(std::uint64_t id) {
        std::lock_guard<std::mutex> l(m_mutex);
        const auto it = m_turnos.find(id);
        return it != m_turnos.end() && it->second.vencido;
    }
    ~Guardia() {
        {
            std::lock_guard<std::mutex> l(m_mutex);
            m_fin = true;
        }
        m_cambio.notify_one();
        if (m_hilo.joinable())
            m_hilo.join();
    }

private:
    struct Vigilado {
        int socket;
        Reloj::time_point vence;
        bool vencido;
    };
    Guardia() = default;

    Reloj::time_point proximo() const {
        Reloj::time_point p = Reloj::time_point::max();
        for (const auto& [id, v] : m_turnos)
            if (!v.vencido && v.vence < p)
                p = v.vence;
        return p;
    }
    void vigilar() {
        std::unique_lock<std::mutex> l(m_mutex);
        while (!m_fin) {
            const Reloj::time_point p = proximo();
            if (p == Reloj::time_point::max())
                m_cambio.wait(l);
            else
                m_cambio.wait_until(l, p);
            const Reloj::time_point ahora = Reloj::now();
            for (auto& [id, v] : m_turnos) {
                if (!v.vencido && v.vence <= ahora) {
                    v.vencido = true;
                    ::shutdown(v.socket, SHUT_RDWR);
                }
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cambio;
    std::map<std::uint64_t, Vigilado> m_turnos;
    std::uint64_t m_ultimo = 0;
    bool m_fin = false;
    std::thread m_hilo;
};

} // namespace

Vigia::Turno::Turno(int socket, int milisegundos) {
    if (socket >= 0 && milisegundos > 0)
        m_id = Guardia::unica().armar(socket, milisegundos);
}

Vigia::Turno::~Turno() {
    if (m_id)
        Guardia::unica().desarmar(m_id);
}

bool Vigia::Turno::vencido() const {
    return m_id && Guardia::unica().vencido(m_id);
}

} // namespace Velno
