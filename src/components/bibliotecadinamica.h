#pragma once

#include <dlfcn.h>
#include <initializer_list>
#include <type_traits>

namespace Velno {

// A shared library looked up at run time, the first time the program needs it, so that a program
// that never uses it does not load it (nor the libraries it brings) when it starts. It stays loaded.
class BibliotecaDinamica {
public:
    // The first of `nombres` that loads.
    explicit BibliotecaDinamica(std::initializer_list<const char*> nombres) {
        for (const char* nombre : nombres)
            if ((m_manejador = dlopen(nombre, RTLD_NOW | RTLD_LOCAL)))
                break;
    }
    // Points `funcion` at the library's function `nombre` (null when it is not there).
    template <typename F> void tomar(F& funcion, const char* nombre) {
        static_assert(std::is_pointer_v<F>);
        funcion = m_manejador ? reinterpret_cast<F>(dlsym(m_manejador, nombre)) : nullptr;
        m_completa = m_completa && funcion;
    }
    // True when the library loaded and every function asked for was found.
    bool completa() const { return m_manejador && m_completa; }

private:
    void* m_manejador = nullptr;
    bool m_completa = true;
};

} // namespace Velno
