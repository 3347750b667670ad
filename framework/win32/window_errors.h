#pragma once

// Window procedures must not let an exception unwind through Windows: each catches what a
// handler throws and passes it here, and the application shows it.

#include <exception>

namespace pogoda {

void HandleWindowException(const std::exception& error) noexcept;

}  // namespace pogoda
