#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/core/persistent.h"
#include "framework/core/streams.h"
#include "framework/win32/handles.h"

namespace pogoda {

// An icon image, shared between copies (Assign shares, it does not duplicate).
class TIcon : public TPersistent {
    POGODA_CLASS_NAME(TIcon)
public:
    TIcon() = default;

    bool Empty() const { return m_image == nullptr; }
    HICON Handle() const { return m_image ? m_image->Get() : nullptr; }
    // Takes the stream's bytes from its position as an icon file (.ico) and uses its first
    // image. Raises EInvalidGraphic "Icon image is not valid" for anything else.
    void LoadFromStream(TStream& stream);
    // An icon group resource of the executable, at the system's large icon size.
    void LoadFromResource(const wchar_t* name);
    void Clear() { m_image.reset(); }

    void Assign(const TPersistent* source) override;

private:
    std::shared_ptr<TIconHandle> m_image;
};

}  // namespace pogoda
