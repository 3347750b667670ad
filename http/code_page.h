#pragma once

// The lead bytes of the process's ANSI code page. Windows-1251 has none; a double-byte code
// page marks the bytes that start a two-byte character, which text scans must not split.

#include <array>

namespace pogoda {

class TLeadByteTable {
public:
    TLeadByteTable() = default;
    void SetLead(unsigned char byte, bool lead = true);
    bool IsLead(char byte) const { return m_lead[static_cast<unsigned char>(byte)]; }
    bool Any() const { return m_any; }

private:
    std::array<bool, 256> m_lead{};
    bool m_any = false;
};

// Read from the platform on first use.
const TLeadByteTable& AnsiLeadBytes();
// Replaces the process table (tests stand in a double-byte code page); returns the old one.
TLeadByteTable SetAnsiLeadBytes(const TLeadByteTable& table);

// The platform's table; implemented per platform.
TLeadByteTable PlatformLeadBytes();

}  // namespace pogoda
