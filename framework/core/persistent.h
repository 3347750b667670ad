#pragma once

#include "framework/core/object.h"

namespace pogoda {

// An object whose state can be copied from another of a compatible class.
class TPersistent : public TObject {
    POGODA_CLASS_NAME(TPersistent)
public:
    // Copies source into this object; the default asks the source to copy itself here
    // (AssignTo), which fails with EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(const TPersistent* source);

protected:
    virtual void AssignTo(TPersistent* dest) const;
};

}  // namespace pogoda
