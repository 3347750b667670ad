#include "framework/win32/icon.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/core/exceptions.h"

namespace pogoda {

namespace {

constexpr const char* kInvalidIcon = "Icon image is not valid";

uint32_t ReadLE(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

}  // namespace

void TIcon::LoadFromStream(TStream& stream) {
    const int64_t size = stream.Size() - stream.Position();
    constexpr int64_t kDirectorySize = 6;
    constexpr int64_t kEntrySize = 16;
    if (size < kDirectorySize + kEntrySize || size > (int64_t{1} << 24)) throw EInvalidGraphic(kInvalidIcon);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    stream.ReadBuffer(bytes.data(), size);
    if (ReadLE(&bytes[0], 2) != 0 || ReadLE(&bytes[2], 2) != 1 || ReadLE(&bytes[4], 2) == 0) {
        throw EInvalidGraphic(kInvalidIcon);
    }
    const uint8_t* entry = &bytes[kDirectorySize];
    const uint64_t imageSize = ReadLE(entry + 8, 4);
    const uint64_t imageOffset = ReadLE(entry + 12, 4);
    if (imageSize == 0 || imageOffset + imageSize > bytes.size()) throw EInvalidGraphic(kInvalidIcon);
    HICON icon = CreateIconFromResourceEx(&bytes[imageOffset], static_cast<DWORD>(imageSize), TRUE,
                                          0x00030000, 0, 0, LR_DEFAULTCOLOR);
    if (icon == nullptr) throw EInvalidGraphic(kInvalidIcon);
    m_image = std::make_shared<TIconHandle>(icon);
}

void TIcon::LoadFromResource(const wchar_t* name) {
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, 0, 0,
                                               LR_DEFAULTSIZE));
    if (icon == nullptr) throw EInvalidGraphic(kInvalidIcon);
    m_image = std::make_shared<TIconHandle>(icon);
}

void TIcon::Assign(const TPersistent* source) {
    if (source == nullptr) {
        m_image.reset();
        return;
    }
    if (const auto* icon = dynamic_cast<const TIcon*>(source)) {
        m_image = icon->m_image;
        return;
    }
    TPersistent::Assign(source);
}

}  // namespace pogoda
