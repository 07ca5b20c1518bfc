#pragma once

#include "components/central.h"
#include "components/vberror.h"
#include "programa.h"
#include "testsupport.h"

#include <QTest>
#include <optional>

namespace prueba {

// The error raised by `f`, if any.
template <typename F> std::optional<tarvix::VbError> errorDe(F&& f) {
    try {
        f();
    } catch (const tarvix::VbError& e) {
        return e;
    }
    return std::nullopt;
}

} // namespace prueba
