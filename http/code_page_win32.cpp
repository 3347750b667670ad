#include "http/code_page.h"

#include <windows.h>

namespace pogoda {

TLeadByteTable PlatformLeadBytes() {
    TLeadByteTable table;
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info)) return table;
    // LeadByte holds pairs of inclusive ranges, ended by a zero pair.
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
        for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) {
            table.SetLead(static_cast<unsigned char>(b));
        }
    }
    return table;
}

}  // namespace pogoda
