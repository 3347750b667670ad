#pragma once

// Publishes the HTTP client's components (TNetHTTP, TNetAntiFreeze, TNetCookieManager) to the
// stored window definitions, with the settings a window may store for them.

namespace pogoda {

// Registers the classes once; later calls do nothing.
void RegisterNetClasses();

}  // namespace pogoda
