#include "http/code_page.h"

namespace pogoda {

namespace {
TLeadByteTable& ProcessTable() {
    static TLeadByteTable table = PlatformLeadBytes();
    return table;
}
}  // namespace

void TLeadByteTable::SetLead(unsigned char byte, bool lead) {
    m_lead[byte] = lead;
    m_any = false;
    for (bool b : m_lead) m_any = m_any || b;
}

const TLeadByteTable& AnsiLeadBytes() { return ProcessTable(); }

TLeadByteTable SetAnsiLeadBytes(const TLeadByteTable& table) {
    TLeadByteTable old = ProcessTable();
    ProcessTable() = table;
    return old;
}

}  // namespace pogoda
