#include "framework/core/persistent.h"

#include "framework/core/exceptions.h"
#include "framework/core/text.h"

namespace pogoda {

void TPersistent::Assign(const TPersistent* source) {
    if (source != nullptr) {
        source->AssignTo(this);
    } else {
        throw EConvertError(Format(messages::kAssignError, "nil", ClassName()));
    }
}

void TPersistent::AssignTo(TPersistent* dest) const {
    throw EConvertError(Format(messages::kAssignError, ClassName(), dest->ClassName()));
}

}  // namespace pogoda
