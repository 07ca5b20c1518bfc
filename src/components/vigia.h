#pragma once

#include <cstdint>

namespace Velno {

// Gives up a server that does not answer a statement the Qt driver runs. The driver waits for the
// answer without any limit of its own: a link that still takes the packets but passes nothing on
// (or a server process that stopped) would keep the window blocked for good. While a `Turno` is
// alive, a thread of the process watches its time; once it has passed, the connection's socket is
// shut down, so the driver's wait ends at once with a lost connection, and the server, finding the
// connection closed, undoes whatever transaction was open on it.
class Vigia {
public:
    class Turno {
    public:
        // `socket` of the connection, `milisegundos` to wait (0 or less: no watch).
        Turno(int socket, int milisegundos);
        ~Turno();
        Turno(const Turno&) = delete;
        Turno& operator=(const Turno&) = delete;
        // True when the time ran out and the socket was shut down.
        bool vencido() const;

    private:
        std::uint64_t m_id = 0;
    };
};

} // namespace Velno
