#pragma once

#include "framework/core/component.h"

namespace pogoda {

// The root of every component of the HTTP client.
class TNetBaseComponent : public TComponent {
    POGODA_CLASS_NAME(TNetBaseComponent)
public:
    using TComponent::TComponent;
};

}  // namespace pogoda
